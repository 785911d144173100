#include "io/DecomposedBlockData.h"

#include <map>

#include "io/FoamDictionary.h"
#include "io/OFFile.h"

namespace blockdata {

namespace {

// A FoamFile header longer than this is no header.
constexpr size_t MAX_HEADER_SEARCH = 1 << 16;

bool isBlank(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\f' || c == '\v'; }

// Steps over blanks and comments (// to the line end, /* ... */); returns the next position.
size_t skipBlanksAndComments(const char* text, size_t size, size_t pos) {
    while (pos < size) {
        if (isBlank(text[pos])) {
            ++pos;
        } else if (text[pos] == '/' && pos + 1 < size && text[pos + 1] == '/') {
            while (pos < size && text[pos] != '\n') ++pos;
        } else if (text[pos] == '/' && pos + 1 < size && text[pos + 1] == '*') {
            const char* end = nullptr;
            for (size_t i = pos + 2; i + 1 < size; ++i)
                if (text[i] == '*' && text[i + 1] == '/') {
                    end = text + i + 2;
                    break;
                }
            pos = end ? static_cast<size_t>(end - text) : size;
        } else {
            break;
        }
    }
    return pos;
}

// The first bytes of a text, where a header is looked for.
std::string headOf(const char* text, size_t size) {
    return std::string(text, size < MAX_HEADER_SEARCH ? size : MAX_HEADER_SEARCH);
}

}  // namespace

size_t headerEnd(const char* text, size_t size) {
    const size_t end = foamdict::headerEnd(headOf(text, size));
    return end == std::string::npos ? 0 : end;
}

Header findHeader(const char* text, size_t size, const std::string& fileName) {
    Header header;
    header.wholeText = size <= MAX_HEADER_SEARCH;
    const size_t end = foamdict::headerEnd(headOf(text, size), &header.start);
    if (end == 0 || end == std::string::npos) {
        header.start = 0;
        return header;
    }
    header.end = end;
    header.read = OFFile::readHeaderText(text, header.start, header.end, fileName, &header.entries);
    return header;
}

bool isContainerHeader(const Header& header) {
    const auto found = header.entries.find("class");
    return header.read && found != header.entries.end() && found->second == "decomposedBlockData";
}

bool isContainer(const char* text, size_t size) { return isContainerHeader(findHeader(text, size, std::string())); }

bool indexBlocks(const char* text, size_t size, std::vector<Block>* blocks, std::string* error) {
    return indexBlocksBehindHeader(text, size, headerEnd(text, size), blocks, error);
}

bool indexBlocksBehindHeader(const char* text, size_t size, size_t end, std::vector<Block>* blocks,
                             std::string* error) {
    blocks->clear();
    size_t pos = end;
    if (pos == 0) {
        *error = "no FoamFile header";
        return false;
    }
    while (true) {
        pos = skipBlanksAndComments(text, size, pos);
        if (pos == size) return true;
        // The byte count, 64-bit: counts past the text's size are refused before any use.
        uint64_t count = 0;
        size_t digits = 0;
        while (pos < size && text[pos] >= '0' && text[pos] <= '9') {
            if (count > size) {
                *error = "a byte count past the end of the file";
                return false;
            }
            count = count * 10 + static_cast<uint64_t>(text[pos] - '0');
            ++pos;
            ++digits;
        }
        if (digits == 0) {
            *error = "text where a byte count should stand";
            return false;
        }
        size_t open = skipBlanksAndComments(text, size, pos);
        if (count == 0) {
            // An empty block is the count alone; "0()" is read as well.
            if (open + 1 < size && text[open] == '(' && text[open + 1] == ')') pos = open + 2;
            blocks->push_back({static_cast<uint64_t>(pos), 0});
            continue;
        }
        if (open >= size || text[open] != '(') {
            *error = "no \"(\" after a byte count";
            return false;
        }
        const size_t start = open + 1;
        if (count > size - start || count == size - start) {
            *error = "a byte count past the end of the file";
            return false;
        }
        if (text[start + count] != ')') {
            *error = "no \")\" where a block ends";
            return false;
        }
        blocks->push_back({static_cast<uint64_t>(start), count});
        pos = start + count + 1;
    }
}

}  // namespace blockdata
