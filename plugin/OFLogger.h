#pragma once
#include <atomic>

#include "core/Str.h"

// Process-wide logger forwarding "source : message" to the host's log callback.
class OFLogger {
public:
    using Callback = void (*)(int level, const char* text);

    static OFLogger* get();

    void init(Callback callback);

    void logError(const vx::Str& source, const vx::Str& message);
    void logInfo(const vx::Str& source, const vx::Str& message);
    void logDeveloper(const vx::Str& source, const vx::Str& message);
    void logDebug(const vx::Str& source, const vx::Str& message);
    void track(const vx::Str& name, double seconds);
    void printTrackedData();

private:
    OFLogger() = default;
    void send(int level, const vx::Str& source, const vx::Str& message);

    std::atomic<Callback> m_callback{nullptr};
};
