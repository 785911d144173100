// Mutations of real cases, every file of them in turn: truncated, bytes flipped, numbers made
// huge, negative or 64-bit wide (in text and in binary payloads), compressed files broken. Each
// mutated case is opened as a host opens it, its geometry built, every result requested at
// every state, and everything exported. Nothing may crash or allocate beyond a limit (the test
// runs with one: an address-space limit here, the sanitizer's allocation limits in sanitizer
// builds), and what is delivered must stay consistent: a value group holds its piece's values
// or none, and no "Read N of M items" claims more than the file announced.
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <zlib.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>

#include "host/recording/CaseExporter.h"
#include "host/recording/PieceCatalog.h"
#include "tests/support/CaseWriter.h"
#include "tests/support/LogCapture.h"
#include "tests/support/ProviderHarness.h"

namespace fs = std::filesystem;

namespace {

#if defined(__SANITIZE_ADDRESS__)
constexpr bool UNDER_SANITIZER = true;
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
constexpr bool UNDER_SANITIZER = true;
#else
constexpr bool UNDER_SANITIZER = false;
#endif
#else
constexpr bool UNDER_SANITIZER = false;
#endif

std::string readBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

void writeBytes(const std::string& path, const std::string& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

std::string gunzip(const std::string& path) {
    std::string text;
    if (gzFile file = gzopen(path.c_str(), "rb")) {
        char buffer[65536];
        int n = 0;
        while ((n = gzread(file, buffer, sizeof(buffer))) > 0) text.append(buffer, static_cast<size_t>(n));
        gzclose(file);
    }
    return text;
}

void writeGzip(const std::string& path, const std::string& text) {
    if (gzFile file = gzopen(path.c_str(), "wb")) {
        if (!text.empty()) gzwrite(file, text.data(), static_cast<unsigned>(text.size()));
        gzclose(file);
    }
}

struct Mutation {
    std::string what;
    std::string text;
};

// Integer tokens of the text parts: runs of digits that are not inside a word or a real number.
std::vector<std::pair<size_t, size_t>> integerTokens(const std::string& text, size_t end) {
    std::vector<std::pair<size_t, size_t>> tokens;
    size_t i = 0;
    while (i < end) {
        if (!std::isdigit(static_cast<unsigned char>(text[i]))) {
            ++i;
            continue;
        }
        size_t j = i;
        while (j < end && std::isdigit(static_cast<unsigned char>(text[j]))) ++j;
        const bool inWord = i > 0 && (std::isalpha(static_cast<unsigned char>(text[i - 1])) || text[i - 1] == '.' ||
                                      text[i - 1] == '_' || text[i - 1] == '-');
        const bool real = j < end && (text[j] == '.' || text[j] == 'e' || std::isalpha(static_cast<unsigned char>(text[j])));
        if (!inWord && !real) tokens.emplace_back(i, j - i);
        i = j;
    }
    return tokens;
}

// Where the binary payload of a binary file starts (behind its first "(" after the header), or npos.
size_t binaryPayload(const std::string& text) {
    if (text.find("format      binary") == std::string::npos && text.find("format binary") == std::string::npos)
        return std::string::npos;
    const size_t header = text.find("FoamFile");
    const size_t open = text.find('(', text.find('}', header == std::string::npos ? 0 : header));
    return open == std::string::npos || open + 1 >= text.size() ? std::string::npos : open + 1;
}

std::vector<Mutation> mutationsOf(const std::string& text, uint32_t seed) {
    std::vector<Mutation> out;
    std::mt19937 rng(seed);
    const size_t n = text.size();
    for (size_t keep : {n / 3, n - std::min<size_t>(n, 3)})
        out.push_back({"truncated to " + std::to_string(keep) + " bytes", text.substr(0, keep)});
    for (int k = 0; k < 2 && n > 0; ++k) {
        std::string flipped = text;
        const size_t at = std::uniform_int_distribution<size_t>(0, n - 1)(rng);
        flipped[at] = static_cast<char>(flipped[at] ^ (1 << (k * 3 % 8)) ^ (k == 2 ? 0xff : 0));
        out.push_back({"byte " + std::to_string(at) + " flipped", flipped});
    }
    const size_t payload = binaryPayload(text);
    const std::vector<std::pair<size_t, size_t>> numbers = integerTokens(text, std::min(payload, n));
    static const char* const replacements[] = {"2147483647", "-1", "9223372036854775807", "4294967296",
                                               "-2147483648", "0", "99999999999999999999"};
    if (!numbers.empty()) {
        // The first integer of a body is usually a list's count; then integers at random.
        std::vector<size_t> picks;
        for (size_t t = 0; t < numbers.size() && picks.size() < 2; ++t)
            if (numbers[t].first > text.find("// * *")) picks.push_back(t);
        for (int k = 0; k < 2; ++k) picks.push_back(std::uniform_int_distribution<size_t>(0, numbers.size() - 1)(rng));
        size_t r = seed % 7;
        for (size_t t : picks) {
            const auto& [at, length] = numbers[t];
            const std::string value = replacements[r++ % 7];
            std::string changed = text;
            changed.replace(at, length, value);
            out.push_back({"number at " + std::to_string(at) + " made " + value, changed});
        }
    }
    if (payload != std::string::npos && payload + 16 < n) {
        static const uint64_t wide[] = {0x7fffffffull, 0xffffffffull, 0x80000000ull, 0x7fffffffffffffffull};
        for (int k = 0; k < 2; ++k) {
            std::string changed = text;
            const size_t at = std::uniform_int_distribution<size_t>(payload, n - 9)(rng);
            const int which = static_cast<int>((seed + static_cast<uint32_t>(k)) % 4);
            const size_t bytes = which == 3 ? 8 : 4;
            for (size_t b = 0; b < bytes; ++b) changed[at + b] = static_cast<char>((wide[which] >> (8 * b)) & 0xff);
            out.push_back({"binary value at " + std::to_string(at) + " overwritten", changed});
        }
    }
    return out;
}

// Files the plug-in reads (the other dictionaries of system/ and constant/ are never opened).
bool isReadByThePlugin(const fs::path& relative) {
    const std::string first = relative.begin()->string();
    if (first == "system") return relative.filename() == "controlDict";
    if (first == "constant") return relative.string().find("polyMesh") != std::string::npos;
    return relative.filename() != "case.foam";
}

// The tuples a value group must hold when it holds any: its piece's node or element count.
size_t pieceItems(const vxphost::RecordingGeometry& geometry, const vxphost::Piece& piece, bool elementResult) {
    const auto& elements = geometry.elementGroup(piece.groupIndex);
    const auto* nodes = geometry.nodeGroupOf(elements);
    return elementResult ? elements.elementCount() : (nodes ? nodes->nodeCount() : 0);
}

// The two counts of a "Read N of M items" message; false when the line holds none.
bool readCounts(const std::string& line, unsigned long long* read, unsigned long long* announced) {
    const size_t at = line.find("Read ");
    if (at == std::string::npos) return false;
    char* end = nullptr;
    *read = std::strtoull(line.c_str() + at + 5, &end, 10);
    if (end == line.c_str() + at + 5 || std::strncmp(end, " of ", 4) != 0) return false;
    *announced = std::strtoull(end + 4, &end, 10);
    return std::strncmp(end, " items", 6) == 0;
}

void checkReadCounts(const LogCapture& capture, const std::string& what) {
    for (const std::string& line : capture.texts(0)) {
        unsigned long long read = 0, announced = 0;
        if (readCounts(line, &read, &announced)) {
            EXPECT_LE(read, announced) << what << ": " << line;
        }
        EXPECT_EQ(line.find("out of memory"), std::string::npos) << what << ": " << line;
    }
}

// Opens the case as a host does, builds its geometry, requests every result at every state,
// exports everything, and checks what came back.
void driveAndCheck(const std::string& folder, const std::string& exportFolder, const std::string& what) {
    LogCapture capture;
    {
        ProviderHarness host;
        host.options().setBool("LOAD_FACE_ZONES", true);
        if (!host.open(folder)) return checkReadCounts(capture, what);
        host.geometry();
        const auto& geometry = host.geometryRecord();
        const auto pieces = vxphost::matchPiecesToParts(host.metaData(), geometry);
        for (const auto& state : host.metaData().states()) {
            for (const auto& result : host.metaData().results()) {
                vxphost::RecordingResult values;
                host.result(result.id, state.id, &values);
                const auto owners = vxphost::valueGroupPieces(pieces, values.valueGroupCount());
                for (size_t v = 0; v < owners.size(); ++v) {
                    ASSERT_NE(owners[v], vxphost::NO_PIECE) << what << ": value group " << v << " of " << result.name;
                    const size_t tuples = values.valueGroup(v).tuples();
                    const size_t items = pieceItems(geometry, pieces[owners[v]], result.elementResult);
                    EXPECT_TRUE(tuples == 0 || tuples == items)
                        << what << ": " << result.name << " at " << state.name << ", " << pieces[owners[v]].name
                        << " holds " << tuples << " values for " << items << " items";
                }
            }
        }
        // The export takes each result again: the last state is enough for its own sizing.
        vxphost::ExportRequest request;
        request.outputFolder = exportFolder;
        request.caseName = "sweep";
        if (!host.metaData().states().empty()) request.stateIds.push_back(host.metaData().states().back().id);
        for (const auto& result : host.metaData().results()) request.results.push_back(&result);
        vxphost::exportCase(*host.provider(), host.metaData(), geometry, request);
    }
    checkReadCounts(capture, what);
}

class MutationSweep : public ::testing::TestWithParam<std::string> {
protected:
    static void SetUpTestSuite() {
        if (UNDER_SANITIZER) return;  // the sanitizer's own limits apply (see tests/CMakeLists.txt)
        const rlim_t limit = rlim_t(6) << 30;
        rlimit current{};
        getrlimit(RLIMIT_AS, &current);
        if (current.rlim_cur == RLIM_INFINITY || current.rlim_cur > limit) {
            const rlimit wanted{limit, current.rlim_max};
            setrlimit(RLIMIT_AS, &wanted);
        }
    }
};

TEST_P(MutationSweep, EveryFileOfTheCase) {
    const std::string name = GetParam();
    const std::string work = testsupport::makeTempFolder("sweep-" + name);
    const std::string folder = work + "/case";
    fs::copy(fs::path(FOAMPROVIDER_TEST_DATA_DIR) / name, folder, fs::copy_options::recursive);
    std::vector<fs::path> files;
    for (const auto& entry : fs::recursive_directory_iterator(folder))
        if (entry.is_regular_file() && isReadByThePlugin(fs::relative(entry.path(), folder))) files.push_back(entry.path());
    std::sort(files.begin(), files.end());
    size_t cases = 0;
    uint32_t seed = 1;
    for (const fs::path& file : files) {
        const std::string path = file.string();
        const std::string original = readBytes(path);
        const bool compressed = file.extension() == ".gz";
        const std::string text = compressed ? gunzip(path) : original;
        std::vector<Mutation> mutations = mutationsOf(text, seed++);
        if (compressed) mutations.push_back({"compressed stream cut", original.substr(0, original.size() / 2)});
        for (size_t m = 0; m < mutations.size(); ++m) {
            const bool raw = compressed && m + 1 == mutations.size();
            if (compressed && !raw)
                writeGzip(path, mutations[m].text);
            else
                writeBytes(path, mutations[m].text);
            driveAndCheck(folder, work + "/export", fs::relative(file, folder).string() + ": " + mutations[m].what);
            ++cases;
        }
        writeBytes(path, original);
    }
    std::cout << "[ sweep    ] " << name << ": " << cases << " mutated cases over " << files.size() << " files\n";
    EXPECT_GT(cases, 0u);
    testsupport::removeFolder(work);
}

INSTANTIATE_TEST_SUITE_P(RealCases, MutationSweep,
                         ::testing::Values("cavity_multi_time", "cavity_binary_gz", "zones", "polyhedra",
                                           "sampled_surfaces", "handwritten", "decomposed", "tensors",
                                           "moving_mesh", "collated_binary"),
                         [](const ::testing::TestParamInfo<std::string>& info) { return info.param; });

}  // namespace
