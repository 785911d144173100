#include "tests/support/CaseTree.h"

#include <zlib.h>

#include <atomic>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <stdexcept>
#include <system_error>

namespace fs = std::filesystem;

namespace {

fs::path nativePath(const std::string& utf8) { return fs::u8path(utf8); }

std::string forwardSlashes(std::string text) {
    for (char& c : text)
        if (c == '\\') c = '/';
    return text;
}

}  // namespace

CaseTree::CaseTree() {
    static std::atomic<unsigned> counter{0};
    const auto stamp = std::chrono::steady_clock::now().time_since_epoch().count();
    const fs::path base = fs::temp_directory_path();
    for (int attempt = 0; attempt < 100; ++attempt) {
        const fs::path candidate =
            base / ("foamprovider-case-" + std::to_string(stamp) + "-" + std::to_string(counter++));
        std::error_code ec;
        if (fs::create_directory(candidate, ec)) {
            const auto text = candidate.u8string();
            m_root = forwardSlashes(std::string(text.begin(), text.end()));
            return;
        }
    }
    throw std::runtime_error("cannot create a temporary case folder");
}

CaseTree::~CaseTree() {
    std::error_code ec;
    fs::remove_all(nativePath(m_root), ec);
}

vx::Str CaseTree::root() const { return vx::Str::fromUtf8(m_root); }

vx::Str CaseTree::path(const std::string& relative) const { return vx::Str::fromUtf8(m_root + "/" + relative); }

void CaseTree::write(const std::string& relative, const std::string& bytes) const {
    const fs::path file = nativePath(m_root + "/" + relative);
    fs::create_directories(file.parent_path());
    std::ofstream out(file, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    if (!out) throw std::runtime_error("cannot write " + relative);
}

void CaseTree::writeGz(const std::string& relative, const std::string& content) const {
    const fs::path file = nativePath(m_root + "/" + relative);
    fs::create_directories(file.parent_path());
    gzFile gz = gzopen(file.string().c_str(), "wb");
    if (!gz) throw std::runtime_error("cannot write " + relative);
    const int written = content.empty() ? 0 : gzwrite(gz, content.data(), static_cast<unsigned>(content.size()));
    gzclose(gz);
    if (written != static_cast<int>(content.size())) throw std::runtime_error("cannot compress " + relative);
}

void CaseTree::mkdir(const std::string& relative) const { fs::create_directories(nativePath(m_root + "/" + relative)); }

bool CaseTree::symlink(const std::string& target, const std::string& linkRelative, bool toFolder) const {
    const fs::path link = nativePath(m_root + "/" + linkRelative);
    fs::create_directories(link.parent_path());
    std::error_code ec;
    if (toFolder)
        fs::create_directory_symlink(nativePath(target), link, ec);
    else
        fs::create_symlink(nativePath(target), link, ec);
    return !ec;
}

void CaseTree::remove(const std::string& relative) const {
    std::error_code ec;
    fs::remove_all(nativePath(m_root + "/" + relative), ec);
}

std::string CaseTree::header(const std::string& className, const std::string& object, const std::string& format,
                             const std::string& location) {
    std::string text =
        "/*--------------------------------*- C++ -*----------------------------------*\\\n"
        "  =========                 |\n"
        "  \\\\      /  F ield         | OpenFOAM: The Open Source CFD Toolbox\n"
        "\\*---------------------------------------------------------------------------*/\n"
        "FoamFile\n"
        "{\n"
        "    version     2.0;\n"
        "    format      " + format + ";\n"
        "    class       " + className + ";\n";
    if (!location.empty()) text += "    location    \"" + location + "\";\n";
    text += "    object      " + object + ";\n"
            "}\n"
            "// * * * * * * * * * * * * * * * * * * * * * * * * * * * * * * * * * * * * * //\n\n";
    return text;
}

void CaseTree::writeControlDict(const std::string& extraEntries) const {
    write("system/controlDict", header("dictionary", "controlDict", "ascii", "system") +
                                    "application     icoFoam;\n"
                                    "startFrom       startTime;\n"
                                    "startTime       0;\n" +
                                    extraEntries + "\n// ************************************************************************* //\n");
}

void CaseTree::writeBoundary(const std::string& relative, const std::vector<Patch>& patches) const {
    std::string text = header("polyBoundaryMesh", "boundary", "ascii", "constant/polyMesh");
    text += std::to_string(patches.size()) + "\n(\n";
    int start = 100;
    for (const Patch& patch : patches) {
        text += "    " + patch.name + "\n    {\n        type            " + patch.type + ";\n";
        if (patch.type == "wall") text += "        inGroups        List<word> 1(wall);\n";
        text += "        nFaces          " + std::to_string(patch.faces) + ";\n";
        text += "        startFace       " + std::to_string(start) + ";\n    }\n";
        start += patch.faces;
    }
    text += ")\n\n// ************************************************************************* //\n";
    write(relative, text);
}

void CaseTree::writeZones(const std::string& relative, const std::string& object, const std::vector<Zone>& zones) const {
    const bool faces = object == "faceZones";
    std::string text = header("regIOobject", object, "ascii", "constant/polyMesh") + std::to_string(zones.size()) + "\n(\n";
    const auto list = [](const std::vector<int>& values, bool zeros) {
        std::string out = std::to_string(values.size()) + "(";
        for (size_t i = 0; i < values.size(); ++i) out += (i ? " " : "") + std::to_string(zeros ? 0 : values[i]);
        return out + ");\n";
    };
    for (const Zone& zone : zones) {
        text += zone.first + "\n{\n    type " + (faces ? "faceZone" : "cellZone") + ";\n";
        text += (faces ? "faceLabels      List<label> " : "cellLabels      List<label> ") + list(zone.second, false);
        if (faces) text += "flipMap         List<bool> " + list(zone.second, true);
        text += "}\n\n";
    }
    write(relative, text + ")\n");
}
