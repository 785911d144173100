// Change polling: time folders that appear and disappear while the case is open.
#include <algorithm>
#include <iterator>

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

std::vector<int> stateIds(const OFReader& reader) {
    std::vector<int> ids;
    for (size_t i = 0; i < reader.stateCount(); ++i) ids.push_back(reader.state(i).id());
    std::sort(ids.begin(), ids.end());
    return ids;
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

void OpenFoamProvider::runVerificationForChanges(VXPChangeNotifications* notifications) {
    for (size_t i = 0; i < m_reader.stateCount(); ++i) {
        const OFState& state = m_reader.state(i);
        notifications->updateState(state.id(), toHost(state.name()), state.referenceValue());
    }
    m_verificationPending = false;
}

void OpenFoamProvider::handleRemovedStates(VXPChangeNotifications* notifications, const std::vector<vx::Str>& current,
                                           const std::vector<vx::Str>& previous) {
    const std::vector<vx::Str> removed = sortedDifference(previous, current);
    if (removed.empty()) return;
    m_verificationPending = true;
    const std::vector<int> oldIds = stateIds(m_reader);
    for (const vx::Str& name : removed) m_reader.deleteState(name);
    for (size_t i = 0; i < m_reader.stateCount(); ++i) {
        const OFState& state = m_reader.state(i);
        notifications->updateState(state.id(), toHost(state.name()), state.referenceValue());
    }
    // The remaining states were renumbered from the first id, so the ids the host must drop are the
    // ones no state carries any more: the tail of the old numbering.
    const std::vector<int> newIds = stateIds(m_reader);
    for (int id : oldIds)
        if (!std::binary_search(newIds.begin(), newIds.end(), id)) notifications->removeState(id);
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
        if (id == last.id()) {
            notifications->addState(state->id(), toHost(state->name()), state->referenceValue());
        } else {
            notifications->updateState(id, toHost(state->name()), state->referenceValue());
            notifications->addState(last.id(), toHost(last.name()), last.referenceValue());
        }
    }
    addResultInfo(nullptr);
}
