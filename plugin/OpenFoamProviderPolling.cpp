// Change polling: time folders that appear and disappear while the case is open.
#include <algorithm>
#include <iterator>
#include <set>

#include "io/CollatedFiles.h"
#include "model/OFUtilities.h"
#include "plugin/OpenFoamProvider.h"
#include "plugin/ProviderGuard.h"

namespace {

VXPString toHost(const vx::Str& text) { return VXPString::fromUtf8(text.toUtf8().c_str()); }

std::vector<vx::Str> sortedDifference(const std::vector<vx::Str>& a, const std::vector<vx::Str>& b) {
    std::vector<vx::Str> out;
    std::set_difference(a.begin(), a.end(), b.begin(), b.end(), std::back_inserter(out));
    return out;
}

}  // namespace

bool OpenFoamProvider::pollForChanges(VXPChangeNotifications* notifications) {
    return runGuarded("OpenFoamProvider", "pollForChanges", [&] { return pollOnCallingThread(notifications); });
}

bool OpenFoamProvider::pollOnCallingThread(VXPChangeNotifications* notifications) {
    const collated::RequestScope scope;
    const std::vector<vx::Str> current = m_reader.listStateFolders();
    if (m_verificationPending) {
        runVerificationForChanges(notifications);
        return true;
    }
    const std::vector<vx::Str> previous = m_reader.statesFolder();
    handleRemovedStates(notifications, current, previous);
    handleAddedStates(notifications, current, previous);
    return true;
}

// The states of the case are numbered by position once anything changed, while the host holds the
// ids it was given. A state goes to the host as an update under an id the host holds, otherwise as
// an addition; the ids no state carries any more are removed, so that every state the host holds
// can be read.
void OpenFoamProvider::reportState(VXPChangeNotifications* notifications, const OFState& state) {
    if (m_hostStateIds.insert(state.id()).second)
        notifications->addState(state.id(), toHost(state.name()), state.referenceValue());
    else
        notifications->updateState(state.id(), toHost(state.name()), state.referenceValue());
}

void OpenFoamProvider::reconcileHostStates(VXPChangeNotifications* notifications) {
    std::set<int> current;
    for (size_t i = 0; i < m_reader.stateCount(); ++i) current.insert(m_reader.state(i).id());
    for (auto it = m_hostStateIds.begin(); it != m_hostStateIds.end();) {
        if (current.count(*it)) {
            ++it;
            continue;
        }
        notifications->removeState(*it);
        it = m_hostStateIds.erase(it);
    }
    for (size_t i = 0; i < m_reader.stateCount(); ++i)
        if (!m_hostStateIds.count(m_reader.state(i).id())) reportState(notifications, m_reader.state(i));
}

void OpenFoamProvider::runVerificationForChanges(VXPChangeNotifications* notifications) {
    for (size_t i = 0; i < m_reader.stateCount(); ++i) reportState(notifications, m_reader.state(i));
    m_verificationPending = false;
}

void OpenFoamProvider::handleRemovedStates(VXPChangeNotifications* notifications, const std::vector<vx::Str>& current,
                                           const std::vector<vx::Str>& previous) {
    const std::vector<vx::Str> removed = sortedDifference(previous, current);
    if (removed.empty()) return;
    m_verificationPending = true;
    for (const vx::Str& name : removed) m_reader.deleteState(name);
    for (size_t i = 0; i < m_reader.stateCount(); ++i) reportState(notifications, m_reader.state(i));
    reconcileHostStates(notifications);
}

void OpenFoamProvider::handleAddedStates(VXPChangeNotifications* notifications, const std::vector<vx::Str>& current,
                                         const std::vector<vx::Str>& previous) {
    const std::vector<vx::Str> added = sortedDifference(current, previous);
    if (added.empty()) return;
    m_verificationPending = true;
    for (const vx::Str& name : added) {
        const int id = m_reader.addState(name);
        if (id == -1) continue;
        const OFState* state = m_reader.stateById(id);
        if (!state || m_reader.stateCount() == 0) continue;
        const OFState& last = m_reader.state(m_reader.stateCount() - 1);
        reportState(notifications, *state);
        if (id != last.id()) reportState(notifications, last);
    }
    reconcileHostStates(notifications);
    addResultInfo(nullptr);
}
