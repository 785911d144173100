#include "host/recording/RecordingChangeNotifications.h"

#include <utility>

namespace vxphost {

const char* notificationKindName(NotificationKind kind) {
    switch (kind) {
        case NotificationKind::Update: return "update";
        case NotificationKind::Add: return "add";
        case NotificationKind::Remove: return "remove";
    }
    return "unknown";
}

void applyStateCalls(const std::vector<NotificationCall>& calls, HostStates* states) {
    for (const NotificationCall& call : calls) {
        if (call.kind == NotificationKind::Remove)
            states->erase(call.id);
        else
            (*states)[call.id] = call.value;
    }
}

void RecordingChangeNotifications::updateState(int id, const VXPString& name, double referenceValue) {
    m_calls.push_back({NotificationKind::Update, id, name.utf8(), referenceValue});
}

void RecordingChangeNotifications::addState(int id, const VXPString& name, double referenceValue) {
    m_calls.push_back({NotificationKind::Add, id, name.utf8(), referenceValue});
}

void RecordingChangeNotifications::removeState(int id) { m_calls.push_back({NotificationKind::Remove, id, {}, 0.0}); }

std::vector<NotificationCall> RecordingChangeNotifications::takeCalls() {
    std::vector<NotificationCall> calls;
    calls.swap(m_calls);
    return calls;
}

}  // namespace vxphost
