#include "host/recording/VtkWriter.h"

#include <cstdio>
#include <fstream>
#include <functional>
#include <sstream>

namespace vxphost {

namespace {

const char* byteOrder() {
    const uint16_t one = 1;
    return *reinterpret_cast<const uint8_t*>(&one) == 1 ? "LittleEndian" : "BigEndian";
}

std::string fileHeader(const char* type) {
    return std::string("<?xml version=\"1.0\"?>\n<VTKFile type=\"") + type + "\" version=\"1.0\" byte_order=\"" +
           byteOrder() + "\" header_type=\"UInt64\">\n";
}

// The binary blocks of the appended section, each written as its byte count and its bytes.
class AppendedBlocks {
public:
    // Returns the offset of the new block from the start of the appended data.
    template <typename T>
    uint64_t add(const std::vector<T>& values) {
        const uint64_t offset = m_size;
        const uint64_t bytes = values.size() * sizeof(T);
        m_blocks.push_back({values.empty() ? nullptr : values.data(), bytes});
        m_size += sizeof(uint64_t) + bytes;
        return offset;
    }

    void write(std::ostream& out) const {
        for (const Block& block : m_blocks) {
            out.write(reinterpret_cast<const char*>(&block.bytes), sizeof(block.bytes));
            if (block.bytes) out.write(static_cast<const char*>(block.data), static_cast<std::streamsize>(block.bytes));
        }
    }

private:
    struct Block {
        const void* data;
        uint64_t bytes;
    };
    std::vector<Block> m_blocks;
    uint64_t m_size = 0;
};

std::string dataArrayTag(const char* type, const std::string& name, int components, uint64_t offset) {
    std::ostringstream tag;
    tag << "<DataArray type=\"" << type << "\"";
    if (!name.empty()) tag << " Name=\"" << xmlEscaped(name) << "\"";
    if (components > 1) tag << " NumberOfComponents=\"" << components << "\"";
    tag << " format=\"appended\" offset=\"" << offset << "\"/>\n";
    return tag.str();
}

void writeFieldData(std::ostream& out, const char* section, const std::vector<VtkDataArray>& doubles,
                    const std::vector<VtkIntArray>& ints, AppendedBlocks& blocks) {
    if (doubles.empty() && ints.empty()) return;
    out << "<" << section << ">\n";
    for (const VtkDataArray& array : doubles) {
        out << dataArrayTag("Float64", array.name, array.components, blocks.add(array.values));
    }
    for (const VtkIntArray& array : ints) out << dataArrayTag("Int32", array.name, 1, blocks.add(array.values));
    out << "</" << section << ">\n";
}

void writeCells(std::ostream& out, const VtkCells& cells, AppendedBlocks& blocks) {
    out << "<Cells>\n";
    out << dataArrayTag("Int64", "connectivity", 1, blocks.add(cells.connectivity));
    out << dataArrayTag("Int64", "offsets", 1, blocks.add(cells.offsets));
    out << dataArrayTag("UInt8", "types", 1, blocks.add(cells.types));
    if (!cells.faceOffsets.empty()) {
        out << dataArrayTag("Int64", "faces", 1, blocks.add(cells.faces));
        out << dataArrayTag("Int64", "faceoffsets", 1, blocks.add(cells.faceOffsets));
    }
    out << "</Cells>\n";
}

bool writeFile(const std::string& path, const std::function<void(std::ostream&)>& write, std::string* error) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    if (out) write(out);
    out.flush();
    if (out) return true;
    if (error) *error = "cannot write " + path;
    return false;
}

std::string timeText(double time) {
    char buffer[32];
    std::snprintf(buffer, sizeof(buffer), "%.17g", time);
    return buffer;
}

}  // namespace

std::string xmlEscaped(const std::string& text) {
    std::string escaped;
    for (char c : text) {
        switch (c) {
            case '&': escaped += "&amp;"; break;
            case '<': escaped += "&lt;"; break;
            case '>': escaped += "&gt;"; break;
            case '"': escaped += "&quot;"; break;
            case '\'': escaped += "&apos;"; break;
            default: escaped += c;
        }
    }
    return escaped;
}

void writeVtu(std::ostream& out, const VtkPiece& piece) {
    AppendedBlocks blocks;
    out << fileHeader("UnstructuredGrid") << "<UnstructuredGrid>\n";
    out << "<Piece NumberOfPoints=\"" << piece.pointCount() << "\" NumberOfCells=\"" << piece.cells.count() << "\">\n";
    writeFieldData(out, "PointData", piece.pointData, piece.pointIntData, blocks);
    writeFieldData(out, "CellData", piece.cellData, piece.cellIntData, blocks);
    out << "<Points>\n" << dataArrayTag("Float64", "Points", 3, blocks.add(piece.points)) << "</Points>\n";
    writeCells(out, piece.cells, blocks);
    out << "</Piece>\n</UnstructuredGrid>\n<AppendedData encoding=\"raw\">\n_";
    blocks.write(out);
    out << "\n</AppendedData>\n</VTKFile>\n";
}

void writeVtm(std::ostream& out, const std::vector<VtmEntry>& entries) {
    out << fileHeader("vtkMultiBlockDataSet") << "<vtkMultiBlockDataSet>\n";
    for (size_t i = 0; i < entries.size(); ++i) {
        out << "<DataSet index=\"" << i << "\" name=\"" << xmlEscaped(entries[i].name) << "\" file=\""
            << xmlEscaped(entries[i].file) << "\"/>\n";
    }
    out << "</vtkMultiBlockDataSet>\n</VTKFile>\n";
}

void writePvd(std::ostream& out, const std::vector<PvdEntry>& entries) {
    out << "<?xml version=\"1.0\"?>\n<VTKFile type=\"Collection\" version=\"0.1\" byte_order=\"" << byteOrder()
        << "\">\n<Collection>\n";
    for (const PvdEntry& entry : entries) {
        out << "<DataSet timestep=\"" << timeText(entry.time) << "\" group=\"\" part=\"0\" file=\""
            << xmlEscaped(entry.file) << "\"/>\n";
    }
    out << "</Collection>\n</VTKFile>\n";
}

bool writeVtuFile(const std::string& path, const VtkPiece& piece, std::string* error) {
    return writeFile(
        path, [&](std::ostream& out) { writeVtu(out, piece); }, error);
}

bool writeVtmFile(const std::string& path, const std::vector<VtmEntry>& entries, std::string* error) {
    return writeFile(
        path, [&](std::ostream& out) { writeVtm(out, entries); }, error);
}

bool writePvdFile(const std::string& path, const std::vector<PvdEntry>& entries, std::string* error) {
    return writeFile(
        path, [&](std::ostream& out) { writePvd(out, entries); }, error);
}

}  // namespace vxphost
