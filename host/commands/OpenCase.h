#pragma once
// Opening a case the way every case command does, and the steps they share afterwards.
#include <chrono>
#include <memory>
#include <string>

#include "host/CaseSession.h"
#include "host/HostContext.h"
#include "host/recording/RecordingGeometry.h"

namespace vxphost {

// Opens the case named on the command line (a folder stands for its case.foam). On failure prints
// the reason (and, with --json, {"ok": false, "error": ...}) and returns null.
std::unique_ptr<CaseSession> openCaseOrReport(HostContext& host, const std::string& caseArgument);

// Prints an error, with --json also as {"ok": false, "error": ...} on stdout.
void reportFailure(const HostContext& host, const std::string& message);

struct GeometryRequest {
    bool ok = false;
    double seconds = 0.0;
};

// getGeometry for geometry index 0 into *geometry, timed, with a progress line.
GeometryRequest requestGeometry(CaseSession& session, RecordingGeometry* geometry);

double secondsSince(std::chrono::steady_clock::time_point start);

// The published result named key (id, name or id string), after the geometry that results need
// has been read; null, after reporting why, when there is no such result or the geometry failed.
const PublishedResult* resultReadyToRead(HostContext& host, CaseSession& session, const std::string& key);

}  // namespace vxphost
