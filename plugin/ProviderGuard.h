#pragma once
#include <exception>
#include <new>

#include "core/Str.h"
#include "plugin/OFLogger.h"

// Runs one host-called operation so that no exception crosses into the host: anything thrown
// is logged once, naming the operation, and the operation fails.
template <typename F>
bool runGuarded(const char* source, const char* operation, F&& body) {
    try {
        return body();
    } catch (const std::bad_alloc&) {
        OFLogger::get()->logError(source, vx::Str("%1 failed: out of memory").arg(operation));
    } catch (const std::exception& e) {
        OFLogger::get()->logError(source, vx::Str("%1 failed: %2").arg(operation).arg(e.what()));
    } catch (...) {
        OFLogger::get()->logError(source, vx::Str("%1 failed: unknown exception").arg(operation));
    }
    return false;
}
