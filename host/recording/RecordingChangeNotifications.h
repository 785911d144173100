#pragma once
// Records the state changes a provider reports while polling, in call order.
#include <map>
#include <string>
#include <vector>

#include "vxp/VXPApi.h"

namespace vxphost {

enum class NotificationKind { Update, Add, Remove };

const char* notificationKindName(NotificationKind kind);  // "update", "add", "remove"

struct NotificationCall {
    NotificationKind kind = NotificationKind::Update;
    int id = 0;
    std::string name;    // empty for Remove
    double value = 0.0;  // 0 for Remove
};

// The states a host holds, by id with their reference values, kept up to date with each poll's
// calls: an update or an add names a state that exists from then on, a remove one that is gone.
using HostStates = std::map<int, double>;
void applyStateCalls(const std::vector<NotificationCall>& calls, HostStates* states);

class RecordingChangeNotifications final : public VXPChangeNotifications {
public:
    void updateState(int id, const VXPString& name, double referenceValue) override;
    void addState(int id, const VXPString& name, double referenceValue) override;
    void removeState(int id) override;

    const std::vector<NotificationCall>& calls() const { return m_calls; }
    // Hands out the calls recorded so far and starts a new list.
    std::vector<NotificationCall> takeCalls();

private:
    std::vector<NotificationCall> m_calls;
};

}  // namespace vxphost
