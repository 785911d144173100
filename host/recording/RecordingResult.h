#pragma once
// Records the values a provider sends for one result request, value group by value group in
// creation order. Groups are created from one thread and may then be filled concurrently.
#include <deque>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "host/recording/RecordingGeometry.h"
#include "vxp/VXPApi.h"

namespace vxphost {

class RecordingResultSpec final : public VXPResultSpec {
public:
    RecordingResultSpec(int resultId, int stateId) : m_resultId(resultId), m_stateId(stateId) {}
    int resultId() const override { return m_resultId; }
    int stateId() const override { return m_stateId; }

private:
    int m_resultId;
    int m_stateId;
};

class RecordingResultValueGroup final : public VXPResultValueGroup {
public:
    // A later call replaces the values.
    void setValues(const double* values, int components, size_t tuples) override;

    int components() const { return m_components; }
    size_t tuples() const { return m_tuples; }
    const std::vector<double>& values() const { return m_values; }  // components per tuple
    int setValuesCalls() const { return m_setValuesCalls; }
    // Calls that passed a null array for a non-zero size (their values read as 0).
    const std::vector<std::string>& callProblems() const { return m_callProblems; }
    int overlappingCalls() const { return m_guard.overlaps(); }

private:
    int m_components = 0;
    size_t m_tuples = 0;
    std::vector<double> m_values;
    int m_setValuesCalls = 0;
    std::vector<std::string> m_callProblems;
    OverlapGuard m_guard;
};

class RecordingResult final : public VXPResult {
public:
    VXPResultValueGroup* addValueGroup() override;

    size_t valueGroupCount() const;
    const RecordingResultValueGroup& valueGroup(size_t index) const;

private:
    mutable std::mutex m_mutex;
    std::deque<std::unique_ptr<RecordingResultValueGroup>> m_groups;
};

}  // namespace vxphost
