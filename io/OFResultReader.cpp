#include "io/OFResultReader.h"

#include <exception>

#include "core/Timer.h"
#include "io/OFFile.h"
#include "model/OFBoundary.h"
#include "plugin/OFLogger.h"

using vx::Str;

namespace {

const char* const SOURCE = "OFResultReader";

Str filePath(const Str& folder, const Str& name) {
    Str path = folder + "/" + name;
    path.replace("\\", "/");
    return path;
}

void logDone(const Str& name, size_t items, double seconds) {
    OFLogger::get()->logInfo(SOURCE, Str("Result %1 file done. Read %2 items. Time used : %3")
                                         .arg(name)
                                         .arg(static_cast<unsigned long long>(items))
                                         .arg(seconds));
}

void logFailure(const Str& path) {
    OFLogger::get()->logError(SOURCE, Str("Error reading result. File basename is %1").arg(path));
}

}  // namespace

namespace {

// Reads one value file with the given OFFile operation, timing it and logging its outcome.
template <typename Read>
bool readTimed(const Str& folder, const Str& name, bool withHeader, std::vector<double>* values, Read read) {
    const vx::Timer timer;
    const Str path = filePath(folder, name);
    try {
        OFFile file(withHeader);
        if (!read(file, path)) return false;
    } catch (const std::exception&) {
        logFailure(path);
        return false;
    }
    logDone(name, values->size(), timer.time());
    return true;
}

}  // namespace

bool OFResultReader::readValues(const Str& folder, const Str& name, const Str& className, std::vector<double>* values) {
    return readTimed(folder, name, true, values,
                     [&](OFFile& file, const Str& path) { return file.readResult(path, name, className, values); });
}

bool OFResultReader::readNonHeaderValues(const Str& folder, const Str& name, const Str& className,
                                         std::vector<double>* values) {
    return readTimed(folder, name, false, values,
                     [&](OFFile& file, const Str& path) { return file.readResult(path, name, className, values); });
}

bool OFResultReader::readNonHeaderValuesUpTo(const Str& folder, const Str& name, const Str& className,
                                             std::vector<double>* values, size_t maxValues) {
    return readTimed(folder, name, false, values, [&](OFFile& file, const Str& path) {
        return file.readResultSizedFromFile(path, name, className, values, maxValues);
    });
}

bool OFResultReader::readValuesForCellAndBoundaries(const Str& folder, const Str& name, const Str& className,
                                                    std::vector<double>* cellValues,
                                                    std::vector<OFBoundary>& boundaries,
                                                    std::vector<std::vector<double>>& boundaryValues) {
    const vx::Timer timer;
    const Str path = filePath(folder, name);
    size_t patchesRead = 0;
    try {
        OFFile file(true);
        file.setTime(m_time);
        if (!file.readValuesOfCellAndBoundaries(path, name, className, cellValues, boundaries, boundaryValues))
            return false;
        patchesRead = file.patchesRead();
    } catch (const std::exception&) {
        logFailure(path);
        return false;
    }
    size_t boundaryItems = 0;
    for (const std::vector<double>& values : boundaryValues) boundaryItems += values.size();
    OFLogger::get()->logInfo(
        SOURCE, Str("Result %1 file done. Read %2 cellItems. Read %3 boundary patches containing %4 boundaryItems. "
                    "Time used : %5")
                    .arg(name)
                    .arg(static_cast<unsigned long long>(cellValues->size()))
                    .arg(static_cast<unsigned long long>(patchesRead))
                    .arg(static_cast<unsigned long long>(boundaryItems))
                    .arg(timer.time()));
    return true;
}
