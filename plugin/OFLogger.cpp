#include "plugin/OFLogger.h"

#include <string>

namespace {
constexpr int LEVEL_ERROR = 1;
constexpr int LEVEL_INFO = 3;
constexpr int LEVEL_DEVELOPER = 4;
}  // namespace

OFLogger* OFLogger::get() {
    static OFLogger instance;
    return &instance;
}

void OFLogger::init(Callback callback) { m_callback.store(callback); }

void OFLogger::send(int level, const vx::Str& source, const vx::Str& message) {
    const Callback callback = m_callback.load();
    if (!callback) return;
    const std::string text = source.toStdString() + " : " + message.toStdString();
    callback(level, text.c_str());
}

void OFLogger::logError(const vx::Str& source, const vx::Str& message) { send(LEVEL_ERROR, source, message); }
void OFLogger::logInfo(const vx::Str& source, const vx::Str& message) { send(LEVEL_INFO, source, message); }
void OFLogger::logDeveloper(const vx::Str& source, const vx::Str& message) { send(LEVEL_DEVELOPER, source, message); }
void OFLogger::logDebug(const vx::Str&, const vx::Str&) {}
void OFLogger::track(const vx::Str&, double) {}
void OFLogger::printTrackedData() {}
