#include "host/recording/CaseExporter.h"

#include <filesystem>
#include <system_error>

#include "host/recording/PieceCatalog.h"
#include "host/recording/RecordingResult.h"
#include "host/recording/VtkExport.h"
#include "host/recording/VtkWriter.h"

namespace vxphost {

namespace {

class Exporter {
public:
    Exporter(VXPDataProvider& provider, const RecordingMetaData& metaData, const RecordingGeometry& geometry,
             const ExportRequest& request, const ExportProgress& progress)
        : m_provider(provider),
          m_metaData(metaData),
          m_request(request),
          m_progress(progress),
          m_pieces(matchPiecesToParts(metaData, geometry)),
          m_stems(pieceFileStems(m_pieces)) {
        for (const Piece& piece : m_pieces) {
            std::vector<std::string> problems;
            m_geometryPieces.push_back(buildGeometryPiece(geometry, piece.groupIndex, &problems));
            for (const std::string& problem : problems) addProblem(piece, problem);
        }
    }

    ExportReport run() {
        if (m_request.stateIds.empty()) {
            writeBlockSet(m_geometryPieces, m_request.caseName);
            return m_report;
        }
        std::vector<PvdEntry> series;
        for (size_t s = 0; s < m_request.stateIds.size(); ++s) {
            const int stateId = m_request.stateIds[s];
            const std::string setName = m_request.caseName + "_" + std::to_string(stateId);
            writeBlockSet(piecesAtState(stateId, s), setName);
            series.push_back({stateValue(stateId), setName + ".vtm"});
        }
        writeFile(m_request.caseName + ".pvd",
                  [&](const std::string& path, std::string* error) { return writePvdFile(path, series, error); });
        return m_report;
    }

private:
    double stateValue(int stateId) const {
        const PublishedState* state = m_metaData.findState(stateId);
        return state ? state->value : static_cast<double>(stateId);
    }

    void addProblem(const Piece& piece, const std::string& problem) {
        m_report.problems.push_back(piece.name + " (group " + std::to_string(piece.groupIndex) + "): " + problem);
    }

    void reportProgress(const std::string& step) const {
        if (m_progress) m_progress(step);
    }

    std::vector<VtkPiece> piecesAtState(int stateId, size_t stateIndex) {
        std::vector<VtkPiece> pieces = m_geometryPieces;
        for (const PublishedResult* result : m_request.results) {
            reportProgress("state " + std::to_string(stateIndex + 1) + "/" + std::to_string(m_request.stateIds.size()) +
                           ": " + result->name);
            attachResult(*result, stateId, pieces);
        }
        return pieces;
    }

    void attachResult(const PublishedResult& published, int stateId, std::vector<VtkPiece>& pieces) {
        RecordingResult result;
        if (!m_provider.getResult(RecordingResultSpec(published.id, stateId), &result)) {
            m_report.ok = false;
            m_report.problems.push_back("getResult " + published.name + " at state " + std::to_string(stateId) +
                                        " returned false");
            return;
        }
        const std::vector<size_t> owners = valueGroupPieces(m_pieces, result.valueGroupCount());
        for (size_t g = 0; g < owners.size(); ++g) {
            if (owners[g] == NO_PIECE) {
                m_report.problems.push_back(published.name + ": value group " + std::to_string(g) +
                                            " has no piece to go to");
                continue;
            }
            const RecordingResultValueGroup& values = result.valueGroup(g);
            VtkPiece& piece = pieces[owners[g]];
            const std::string problem = published.displacementMode
                                            ? applyDisplacedPositions(piece, values)
                                            : addResultArray(piece, published.name, published.elementResult, values);
            if (!problem.empty()) addProblem(m_pieces[owners[g]], published.name + ": " + problem);
        }
    }

    void writeBlockSet(const std::vector<VtkPiece>& pieces, const std::string& setName) {
        std::error_code error;
        std::filesystem::create_directories(std::filesystem::path(m_request.outputFolder) / setName, error);
        std::vector<VtmEntry> entries;
        for (size_t p = 0; p < pieces.size(); ++p) {
            const std::string file = setName + "/" + m_stems[p] + ".vtu";
            const bool written = writeFile(file, [&](const std::string& path, std::string* failure) {
                return writeVtuFile(path, pieces[p], failure);
            });
            if (written) entries.push_back({m_pieces[p].name, file});
        }
        writeFile(setName + ".vtm",
                  [&](const std::string& path, std::string* failure) { return writeVtmFile(path, entries, failure); });
    }

    template <typename WriteFunction>
    bool writeFile(const std::string& relativePath, WriteFunction write) {
        const std::string path = (std::filesystem::path(m_request.outputFolder) / relativePath).string();
        std::string error;
        if (write(path, &error)) {
            m_report.files.push_back(path);
            return true;
        }
        m_report.ok = false;
        m_report.problems.push_back(error);
        return false;
    }

    VXPDataProvider& m_provider;
    const RecordingMetaData& m_metaData;
    const ExportRequest& m_request;
    const ExportProgress& m_progress;
    std::vector<Piece> m_pieces;
    std::vector<std::string> m_stems;
    std::vector<VtkPiece> m_geometryPieces;
    ExportReport m_report;
};

}  // namespace

ExportReport exportCase(VXPDataProvider& provider, const RecordingMetaData& metaData, const RecordingGeometry& geometry,
                        const ExportRequest& request, const ExportProgress& progress) {
    return Exporter(provider, metaData, geometry, request, progress).run();
}

}  // namespace vxphost
