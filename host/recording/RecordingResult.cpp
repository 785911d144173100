#include "host/recording/RecordingResult.h"

#include <string>

#include "host/recording/LargeStorage.h"

namespace vxphost {

void RecordingResultValueGroup::setValues(const double* values, int components, size_t tuples) {
    OverlapGuard::Scope scope(m_guard);
    ++m_setValuesCalls;
    m_components = components;
    m_tuples = tuples;
    const size_t count = components > 0 ? static_cast<size_t>(components) * tuples : 0;
    if (values) {
        if (count > m_values.capacity()) {
            m_values.clear();
            reserveToAppend(m_values, count);
        }
        m_values.assign(values, values + count);
    } else {
        m_values.assign(count, 0.0);
        if (count > 0) m_callProblems.push_back("setValues: null values with " + std::to_string(tuples) + " tuples");
    }
}

VXPResultValueGroup* RecordingResult::addValueGroup() {
    std::lock_guard<std::mutex> lock(m_mutex);
    m_groups.push_back(std::make_unique<RecordingResultValueGroup>());
    return m_groups.back().get();
}

size_t RecordingResult::valueGroupCount() const {
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_groups.size();
}

const RecordingResultValueGroup& RecordingResult::valueGroup(size_t index) const {
    std::lock_guard<std::mutex> lock(m_mutex);
    return *m_groups.at(index);
}

}  // namespace vxphost
