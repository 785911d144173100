#include "io/DecomposedBlockData.h"

#include <cstring>

namespace blockdata {

namespace {

// A FoamFile header longer than this is no header.
constexpr size_t MAX_HEADER_SEARCH = 1 << 20;

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

// Steps over a quoted string starting at pos (on the opening quote).
size_t skipString(const char* text, size_t size, size_t pos) {
    for (++pos; pos < size; ++pos) {
        if (text[pos] == '\\') {
            ++pos;
        } else if (text[pos] == '"') {
            return pos + 1;
        }
    }
    return size;
}

// The position of "FoamFile" as a keyword before any other token, or npos.
size_t findFoamFileKeyword(const char* text, size_t size) {
    const size_t pos = skipBlanksAndComments(text, size, 0);
    static const char keyword[] = "FoamFile";
    const size_t n = sizeof(keyword) - 1;
    if (pos + n > size || std::memcmp(text + pos, keyword, n) != 0) return std::string::npos;
    if (pos + n < size && !(isBlank(text[pos + n]) || text[pos + n] == '{' || text[pos + n] == '/'))
        return std::string::npos;
    return pos + n;
}

}  // namespace

size_t headerEnd(const char* text, size_t size) {
    const size_t limit = size < MAX_HEADER_SEARCH ? size : MAX_HEADER_SEARCH;
    const size_t after = findFoamFileKeyword(text, limit);
    if (after == std::string::npos) return 0;
    size_t pos = skipBlanksAndComments(text, limit, after);
    if (pos >= limit || text[pos] != '{') return 0;
    int depth = 0;
    while (pos < limit) {
        const char c = text[pos];
        if (c == '"') {
            pos = skipString(text, limit, pos);
            continue;
        }
        if (c == '/' && pos + 1 < limit && (text[pos + 1] == '/' || text[pos + 1] == '*')) {
            pos = skipBlanksAndComments(text, limit, pos);
            continue;
        }
        if (c == '{') ++depth;
        if (c == '}' && --depth == 0) return pos + 1;
        ++pos;
    }
    return 0;
}

std::string headerEntry(const char* text, size_t end, const std::string& key) {
    const size_t after = findFoamFileKeyword(text, end);
    if (after == std::string::npos) return std::string();
    size_t pos = skipBlanksAndComments(text, end, after);
    if (pos >= end || text[pos] != '{') return std::string();
    ++pos;
    while (true) {
        pos = skipBlanksAndComments(text, end, pos);
        if (pos >= end || text[pos] == '}') return std::string();
        const size_t keyStart = pos;
        while (pos < end && !isBlank(text[pos]) && text[pos] != ';' && text[pos] != '{') ++pos;
        const std::string keyword(text + keyStart, pos - keyStart);
        pos = skipBlanksAndComments(text, end, pos);
        if (pos < end && text[pos] == '{') {
            // A sub-dictionary: skip it whole.
            int depth = 0;
            for (; pos < end; ++pos) {
                if (text[pos] == '"') pos = skipString(text, end, pos) - 1;
                if (text[pos] == '{') ++depth;
                if (text[pos] == '}' && --depth == 0) break;
            }
            ++pos;
            continue;
        }
        std::string value;
        while (pos < end && text[pos] != ';') {
            if (text[pos] == '"') {
                const size_t close = skipString(text, end, pos);
                value.append(text + pos + 1, close > pos + 1 ? close - pos - 2 : 0);
                pos = close;
                continue;
            }
            value.push_back(text[pos++]);
        }
        ++pos;
        while (!value.empty() && isBlank(value.back())) value.pop_back();
        if (keyword == key) return value;
    }
}

bool isContainer(const char* text, size_t size) {
    const size_t end = headerEnd(text, size);
    return end > 0 && headerEntry(text, end, "class") == "decomposedBlockData";
}

bool indexBlocks(const char* text, size_t size, std::vector<Block>* blocks, std::string* error) {
    blocks->clear();
    size_t pos = headerEnd(text, size);
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
