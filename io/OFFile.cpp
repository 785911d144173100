#include "io/OFFile.h"

#include <zlib.h>

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <system_error>

#include "io/FoamDictionary.h"
#include "io/CollatedFiles.h"
#include "io/NumberParsing.h"
#include "plugin/OFLogger.h"

namespace fs = std::filesystem;

namespace {

gzFile handle(void* file) { return static_cast<gzFile>(file); }

fs::path toPath(const std::string& utf8) {
#if defined(__cpp_char8_t)
    return fs::path(std::u8string(utf8.begin(), utf8.end()));
#else
    return fs::u8path(utf8);
#endif
}

bool isExistingFile(const std::string& utf8) {
    std::error_code ec;
    const fs::path p = toPath(utf8);
    return fs::exists(p, ec) && !fs::is_directory(p, ec);
}

gzFile openGz(const std::string& utf8) {
#if defined(_WIN32)
    return gzopen_w(toPath(utf8).wstring().c_str(), "rb");
#else
    return gzopen(utf8.c_str(), "rb");
#endif
}

}  // namespace

void logParseProblems(const std::vector<foamdict::Problem>& problems, const vx::Str& path) {
    for (const foamdict::Problem& p : problems) {
        const vx::Str message = vx::Str::fromUtf8(p.message);
        if (p.info)
            OFLogger::get()->logInfo("OFFile", message);
        else
            OFLogger::get()->logError("OFFile", p.fatal ? vx::Str("Could not read %1: %2").arg(path).arg(message) : message);
    }
}

// Splits a header-style entry: keyword = first run of non-space characters, value = from the
// first non-space character after it to the end.
void OFFile::splitEntry(const std::string& entry, std::string* keyword, std::string* value) {
    size_t i = 0;
    while (i < entry.size() && entry[i] == ' ') ++i;
    const size_t keyStart = i;
    while (i < entry.size() && entry[i] != ' ') ++i;
    if (i >= entry.size()) {
        keyword->clear();
        value->clear();
        return;
    }
    *keyword = entry.substr(keyStart, i - keyStart);
    while (i < entry.size() && entry[i] == ' ') ++i;
    *value = entry.substr(i);
}

OFFile::OFFile(bool readHeader) : m_readHeaderFlag(readHeader) {}

OFFile::~OFFile() { close(); }

std::string OFFile::headerValue(const std::string& key) const {
    const auto it = m_header.find(key);
    return it == m_header.end() ? std::string() : it->second;
}

void OFFile::close() {
    if (m_file) gzclose(handle(m_file));
    m_file = nullptr;
    m_memoryOwner.reset();
    m_countsFromLists = false;
    m_failureReported = false;
    m_segments.clear();
    m_segment = 0;
    m_segmentPos = 0;
    m_pushedBack = -1;
    m_chunk.reset();
    m_line.reset();
    m_cursor = nullptr;
    m_chunkEnd = nullptr;
    m_lineStart = nullptr;
    m_chunkActive = false;
    m_text.reset();
    m_elided = BlockPlacement{};
}

bool OFFile::open(const vx::Str& path) {
    close();
    m_overflow = false;
    if (path.isEmpty()) return false;
    const std::string plain = path.toUtf8();
    collated::RankText text;
    const RankFile rank = rankText(plain, &text);
    if (rank == RankFile::FAILED) return false;
    if (rank == RankFile::FOUND) {
        if (!openText(std::move(text.segments), std::move(text.owner), vx::Str::fromUtf8(text.shownPath), text.header))
            return false;
        // Block 0's note counts rank 0's mesh: the lists themselves tell this rank's counts.
        if (text.borrowedHeader) m_header.erase("note");
        m_countsFromLists = text.borrowedHeader;
        return true;
    }
    const std::string compressed = plain + ".gz";
    std::string chosen;
    if (isExistingFile(compressed)) {
        chosen = compressed;
    } else if (isExistingFile(plain)) {
        chosen = plain;
    } else {
        return false;
    }
    gzFile file = openGz(chosen);
    if (!file) return false;
    std::error_code ec;
    const auto size = fs::file_size(toPath(chosen), ec);
    gzbuffer(file, zlibBufferSize(chosen, ec ? ~0ull : size));
    m_file = file;
    m_openedPath = vx::Str::fromUtf8(chosen);
    m_plainFileSize = -1;
    // Deflate expands at most 1032-fold: a compressed file's text is bounded by its length too.
    if (!ec) m_plainFileSize = static_cast<long long>(gzdirect(file) ? size : size * 1032 + 1024);
    return startReading();
}

OFFile::RankFile OFFile::rankText(const std::string& path, collated::RankText* text) {
    std::vector<collated::Location> places;
    if (!collated::locations(path, &places)) return RankFile::NONE;
    if (collated::openRankFile(path, text)) return RankFile::FOUND;
    m_failureReported = text->failureReported;
    return RankFile::FAILED;
}

bool OFFile::openText(std::vector<std::pair<const char*, size_t>> segments, std::shared_ptr<const void> owner,
                      const vx::Str& shownPath, const blockdata::Header* header) {
    close();
    m_overflow = false;
    m_segments = std::move(segments);
    m_memoryOwner = owner ? std::move(owner) : std::make_shared<int>(0);
    m_openedPath = shownPath;
    long long size = 0;
    for (const auto& segment : m_segments) size += static_cast<long long>(segment.second);
    m_plainFileSize = size;
    return startReading(header);
}

// The header and the buffers, once the stream is there.
bool OFFile::startReading(const blockdata::Header* known) {
    m_line.reset(new char[LINE_BUFFER_SIZE]);
    m_line[0] = '\0';
    m_binary = false;
    m_labelBytes = 4;
    m_scalarBytes = 8;
    m_bigEndian = false;
    if (m_readHeaderFlag) {
        m_header.clear();
        if (!readHeader(known)) {
            close();
            return false;
        }
        m_binary = headerValue("format") == "binary";
        parseArch();
    }
    return true;
}

void OFFile::parseArch() {
    const std::string arch = headerValue("arch");
    if (arch.find("label=64") != std::string::npos) m_labelBytes = 8;
    if (arch.find("scalar=32") != std::string::npos) m_scalarBytes = 4;
    if (arch.find("MSB") != std::string::npos) m_bigEndian = true;
}

bool OFFile::readHeaderText(const char* text, size_t start, size_t end, const std::string& fileName,
                            std::map<std::string, std::string>* entries) {
    if (end <= start) return false;
    auto shared = std::make_shared<const std::string>(text + start, end - start);
    foamdict::Dictionary dict;
    foamdict::Parser parser;
    if (!parser.parseText(shared, 0, fileName, &dict)) return false;
    const foamdict::Dictionary* header = dict.subDict("FoamFile");
    if (!header) return false;
    // Sub-dictionaries of the header (the "meta" block of zone files) are not needed here.
    for (const auto& entry : header->entries())
        if (!entry->isDict()) entries->emplace(entry->key, foamdict::joinTokens(entry->tokens));
    return true;
}

bool OFFile::setHeaderFromText(const char* text, size_t start, size_t end) {
    return readHeaderText(text, start, end, m_openedPath.toUtf8(), &m_header);
}

bool OFFile::readHeader(const blockdata::Header* known) {
    if (known) {
        if (known->end == 0 || !seekFromStart(known->end)) return false;
        skipRestOfHeaderLine();
        if (!known->read) return false;
        m_header = known->entries;
        return true;
    }
    // The FoamFile dictionary is looked for in a first block of the file, then in blocks twice as
    // long while it runs past their end, so the text is lexed a bounded number of times; the
    // stream is then put right behind its "}".
    constexpr size_t FIRST_BLOCK = 4 << 10;
    constexpr size_t MAX_HEADER_BYTES = 1 << 20;
    std::string text;
    size_t start = 0;
    size_t end = std::string::npos;
    for (size_t want = FIRST_BLOCK;; want *= 2) {
        const size_t had = text.size();
        text.resize(want);
        const int got = sourceRead(&text[had], static_cast<unsigned>(want - had));
        text.resize(had + static_cast<size_t>(std::max(got, 0)));
        end = foamdict::headerEnd(text, &start);
        const bool found = end != 0 && end != std::string::npos;
        if (found || text.size() < want || want >= MAX_HEADER_BYTES) break;
    }
    if (end == 0 || end == std::string::npos || !seekFromStart(end)) return false;
    skipRestOfHeaderLine();
    return setHeaderFromText(text.data(), start, end);
}

// The rest of the header's last line belongs to it.
void OFFile::skipRestOfHeaderLine() {
    int d = nextByte();
    while (d == ' ' || d == '\t' || d == '\r') d = nextByte();
    if (d != '\n') ungetByte(d);
}

bool OFFile::seekFromStart(size_t offset) {
    m_pushedBack = -1;
    if (m_file) return gzseek(handle(m_file), static_cast<z_off_t>(offset), SEEK_SET) == static_cast<z_off_t>(offset);
    m_segment = 0;
    m_segmentPos = 0;
    while (m_segment < m_segments.size() && offset >= m_segments[m_segment].second) {
        offset -= m_segments[m_segment].second;
        ++m_segment;
    }
    m_segmentPos = offset;
    return m_segment < m_segments.size() || offset == 0;
}

bool OFFile::loadWhole(const vx::Str& path) { return loadWholeAround(path, nullptr); }

bool OFFile::loadWholeAround(const vx::Str& path, const std::function<BlockPlacement(const std::string&)>* place) {
    // The beginning of a file that holds its header and the head of a solver's first entries.
    constexpr size_t HEAD_BYTES = 16 << 10;
    close();
    m_header.clear();
    m_tree.reset();
    m_text.reset();
    m_binary = false;
    m_labelBytes = 4;
    m_scalarBytes = 8;
    m_bigEndian = false;
    if (path.isEmpty()) return false;
    const std::string plain = path.toUtf8();
    auto text = std::make_shared<std::string>();
    collated::RankText rank;
    const RankFile kind = rankText(plain, &rank);
    if (kind == RankFile::FAILED) return false;
    if (kind == RankFile::FOUND) {
        for (const auto& segment : rank.segments) text->append(segment.first, segment.second);
        m_openedPath = vx::Str::fromUtf8(rank.shownPath);
        m_countsFromLists = rank.borrowedHeader;
    } else {
        const std::string chosen = isExistingFile(plain + ".gz") ? plain + ".gz" : plain;
        if (!isExistingFile(chosen)) return false;
        const bool read = place ? readFileAroundBlock(chosen, HEAD_BYTES, *place, text.get(), &m_elided)
                                : FoamFileSource::disk().read(chosen, text.get());
        if (!read) return false;
        m_openedPath = vx::Str::fromUtf8(chosen);
    }
    m_plainFileSize = static_cast<long long>(text->size() + m_elided.bytes);
    m_bodyOffset = 0;
    if (m_readHeaderFlag) {
        size_t end = 0;
        if (rank.header) {
            if (rank.header->end == 0 || !rank.header->read) return false;
            m_header = rank.header->entries;
            end = rank.header->end;
        } else {
            size_t start = 0;
            end = foamdict::headerEnd(*text, &start);
            if (end == 0 || end == std::string::npos || !setHeaderFromText(text->data(), start, end)) return false;
        }
        if (m_countsFromLists) m_header.erase("note");
        m_bodyOffset = end;
        m_binary = headerValue("format") == "binary";
        parseArch();
    }
    m_text = std::move(text);
    return true;
}

bool OFFile::parseBody() {
    if (!m_text) return false;
    foamdict::ParseOptions options;
    options.binary = m_binary;
    options.labelBytes = m_labelBytes;
    options.scalarBytes = m_scalarBytes;
    foamdict::Parser parser(options);
    m_tree = std::make_shared<foamdict::Dictionary>();
    const bool ok = parser.parseText(m_text, m_bodyOffset, m_openedPath.toUtf8(), m_tree.get());
    logParseProblems(parser.problems(), m_openedPath);
    return ok;
}

// Most files are read whole or line by line; the chunk buffer is made for those read in chunks.
char* OFFile::chunk() {
    if (!m_chunk && isOpen()) {
        m_chunkCapacity = slotCapacity();
        m_chunk.reset(new char[m_chunkCapacity]);
        m_chunk[0] = '\0';
    }
    return m_chunk.get();
}

int OFFile::sourceGetc() {
    if (m_file) return gzgetc(handle(m_file));
    if (m_pushedBack >= 0) {
        const int byte = m_pushedBack;
        m_pushedBack = -1;
        return byte;
    }
    while (m_segment < m_segments.size()) {
        const auto& segment = m_segments[m_segment];
        if (m_segmentPos < segment.second) return static_cast<unsigned char>(segment.first[m_segmentPos++]);
        ++m_segment;
        m_segmentPos = 0;
    }
    return -1;
}

void OFFile::sourceUngetc(int byte) {
    if (m_file) {
        gzungetc(byte, handle(m_file));
    } else {
        m_pushedBack = byte;
    }
}

bool OFFile::sourceEof() const {
    if (m_file) return gzeof(handle(m_file)) != 0;
    if (m_pushedBack >= 0) return false;
    for (size_t s = m_segment; s < m_segments.size(); ++s)
        if ((s == m_segment ? m_segmentPos : 0) < m_segments[s].second) return false;
    return true;
}

int OFFile::sourceRead(char* target, unsigned bytes) {
    if (m_file) return gzread(handle(m_file), target, bytes);
    size_t done = 0;
    if (m_pushedBack >= 0 && bytes > 0) {
        target[done++] = static_cast<char>(m_pushedBack);
        m_pushedBack = -1;
    }
    while (done < bytes && m_segment < m_segments.size()) {
        const auto& segment = m_segments[m_segment];
        const size_t take = std::min<size_t>(bytes - done, segment.second - m_segmentPos);
        std::memcpy(target + done, segment.first + m_segmentPos, take);
        done += take;
        m_segmentPos += take;
        if (m_segmentPos >= segment.second) {
            ++m_segment;
            m_segmentPos = 0;
        }
    }
    return static_cast<int>(done);
}

bool OFFile::sourceGets(char* line, int capacity) {
    if (m_file) return gzgets(handle(m_file), line, capacity) != nullptr;
    int n = 0;
    while (n < capacity - 1) {
        const int c = sourceGetc();
        if (c < 0) break;
        line[n++] = static_cast<char>(c);
        if (c == '\n') break;
    }
    line[n] = '\0';
    return n > 0;
}

int OFFile::nextByte() {
    if (m_chunkActive) {
        if (m_cursor && m_cursor < m_chunkEnd) {
            m_lastByteFromChunk = true;
            return static_cast<unsigned char>(*m_cursor++);
        }
        m_chunkActive = false;
        m_cursor = nullptr;
    }
    m_lastByteFromChunk = false;
    return sourceGetc();
}

void OFFile::ungetByte(int byte) {
    if (byte < 0) return;
    if (m_lastByteFromChunk && m_cursor) {
        --m_cursor;
        m_chunkActive = true;
    } else {
        sourceUngetc(byte);
    }
}

bool OFFile::readNextInt(int* value, char delimiter) {
    int64_t v = 0;
    bool digits = false;
    while (true) {
        const int c = nextByte();
        if (c < 0) return false;
        if (ofnum::isDigit(static_cast<char>(c))) {
            v = v * 10 + (c - '0');
            if (v > INT32_MAX) {
                m_lastIntOverflowed = true;
                return false;
            }
            digits = true;
            continue;
        }
        if (c == '(') {
            // Left for the list reader behind a count; consumed as the offending byte otherwise.
            if (!digits) return false;
            ungetByte(c);
            break;
        }
        if (c == delimiter || c == '\r') {
            if (!digits) return false;
            break;
        }
        return false;
    }
    *value = static_cast<int>(v);
    return true;
}

bool OFFile::readNextIntLine(int* value) {
    m_lastIntOverflowed = false;
    while (isOpen()) {
        if (readNextInt(value, '\n')) return true;
        if (m_lastIntOverflowed) return false;
        // End of file ends the search.
        if (!m_chunkActive && sourceEof()) return false;
    }
    return false;
}

bool OFFile::readNextDouble(double* value, char delimiter) {
    std::string token;
    while (true) {
        const int c = nextByte();
        if (c < 0) return false;
        if (c == delimiter) break;
        if (token.size() >= LINE_BUFFER_SIZE - 1) {
            m_overflow = true;
            return false;
        }
        token.push_back(static_cast<char>(c));
    }
    const char* p = token.data();
    const char* end = p + token.size();
    while (p < end && ofnum::isBlank(*p)) ++p;
    const char* stop = ofnum::parseDouble(p, end, value);
    return stop == end;
}

bool OFFile::chunkSkipAfterNext(char c) {
    if (!m_chunkActive || !m_cursor) return false;
    const void* hit = std::memchr(m_cursor, c, static_cast<size_t>(m_chunkEnd - m_cursor));
    if (hit) {
        m_cursor = static_cast<char*>(const_cast<void*>(hit)) + 1;
        return true;
    }
    m_chunkActive = false;
    m_cursor = nullptr;
    return false;
}

bool OFFile::skipAfterNext(char c) {
    if (!isOpen()) return false;
    if (chunkSkipAfterNext(c)) return true;
    while (true) {
        const int byte = nextByte();
        if (byte < 0) return false;
        if (byte == static_cast<unsigned char>(c)) return true;
    }
}

bool OFFile::skipEmptyLines() {
    if (!isOpen()) return false;
    if (m_chunkActive && m_cursor) {
        while (m_cursor < m_chunkEnd && (*m_cursor == '\n' || *m_cursor == '\r')) ++m_cursor;
        if (m_cursor < m_chunkEnd) return true;
        m_chunkActive = false;
        m_cursor = nullptr;
    }
    int byte = nextByte();
    while (byte == '\n' || byte == '\r') byte = nextByte();
    if (byte < 0) return false;
    ungetByte(byte);
    return true;
}

bool OFFile::readNextBufInt(char** cursor, int* value, char delimiter, bool endAtNewline) {
    char* p = *cursor;
    const char first = *p;
    if (first == '\0' || first == delimiter || !ofnum::isDigit(first)) return false;
    int64_t v = 0;
    while (ofnum::isDigit(*p)) {
        v = v * 10 + (*p - '0');
        if (v > INT32_MAX) return false;
        ++p;
    }
    const char end = *p;
    if (end == '\0') {
        // The text ended the number.
    } else if (end == ' ' || end == '\t' || end == '\r' || end == delimiter) {
        ++p;
    } else if (end == '\n') {
        ++p;
        if (delimiter != '\n' && !endAtNewline) {
            while (*p != '\0' && *p != delimiter) ++p;
            if (*p == '\0') return false;
            ++p;
        }
    } else {
        return false;
    }
    *value = static_cast<int>(v);
    *cursor = p;
    return true;
}

bool OFFile::readNextBufDouble(char** cursor, double* value, char delimiter) {
    char* p = *cursor;
    const char first = *p;
    if (first == '\0' || first == delimiter || first == ' ' || first == '\n' || first == ')') return false;
    char* tokenEnd = p;
    while (*tokenEnd != '\0' && *tokenEnd != ' ' && *tokenEnd != '\t' && *tokenEnd != ')' &&
           *tokenEnd != delimiter && *tokenEnd != '\n' && *tokenEnd != '\r')
        ++tokenEnd;
    double parsed = 0.0;
    const char* stop = ofnum::parseDouble(p, tokenEnd, &parsed);
    *value = parsed;
    char* next = tokenEnd;
    if (*next == '\n' && delimiter != '\n') {
        while (*next != '\0' && *next != delimiter) ++next;
        if (*next == '\0') return false;
        ++next;
    } else if (*next != '\0') {
        ++next;
    }
    *cursor = next;
    return stop == tokenEnd;
}

bool OFFile::getNonTreatedChunk(char** buffer) {
    *buffer = m_cursor;
    m_chunkActive = false;
    m_cursor = nullptr;
    return true;
}

bool OFFile::getNextChunkOfLines(char** buffer, size_t capacity) {
    if (!isOpen() || capacity <= LINE_BUFFER_SIZE) return false;
    if (m_chunkActive && m_cursor && m_cursor < m_chunkEnd) return getNonTreatedChunk(buffer);
    m_chunkActive = false;
    m_cursor = nullptr;
    char* target = *buffer;
    const int n = sourceRead(target, static_cast<unsigned>(std::min(CHUNK_READ_SIZE, capacity - LINE_BUFFER_SIZE)));
    if (n <= 0) {
        target[0] = '\0';
        return false;
    }
    size_t length = static_cast<size_t>(n);
    while (target[length - 1] != '\n') {
        const int c = sourceGetc();
        if (c < 0) break;
        if (length >= capacity - 1) {
            m_overflow = true;
            target[0] = '\0';
            return false;
        }
        target[length++] = static_cast<char>(c);
    }
    target[length] = '\0';
    if (target == m_chunk.get()) m_chunkEnd = target + length;
    return true;
}

bool OFFile::getNonTreatedLine(char** line) {
    if (!m_cursor) return false;
    char* p = m_cursor;
    while (p < m_chunkEnd && (*p == '\n' || *p == '\r')) ++p;
    char* start = p;
    while (p < m_chunkEnd && *p != '\n' && *p != '\r') ++p;
    const size_t length = static_cast<size_t>(p - start);
    if (p >= m_chunkEnd || length >= LINE_BUFFER_SIZE) {
        if (length >= LINE_BUFFER_SIZE) m_overflow = true;
        m_line[0] = '\0';
        m_chunkActive = false;
        m_cursor = nullptr;
        return false;
    }
    std::memcpy(m_line.get(), start, length);
    m_line[length] = '\0';
    m_lineStart = m_cursor;
    m_cursor = p;
    *line = m_line.get();
    return true;
}

bool OFFile::getNextLine(char** line) {
    if (!isOpen()) return false;
    m_overflow = false;
    if (m_chunkActive) {
        if (getNonTreatedLine(line)) return true;
        if (m_overflow) return false;
    }
    m_lineStart = nullptr;
    if (!sourceGets(m_line.get(), static_cast<int>(LINE_BUFFER_SIZE))) return false;
    const size_t n = std::strlen(m_line.get());
    if (n == LINE_BUFFER_SIZE - 1 && m_line[n - 1] != '\n' && !sourceEof()) {
        m_overflow = true;
        return false;
    }
    *line = m_line.get();
    return true;
}

bool OFFile::getNextLineUsingChunk(char** line) {
    if (!isOpen()) return false;
    if (!m_chunkActive || !m_cursor || m_cursor >= m_chunkEnd) {
        char* buffer = chunk();
        if (!buffer || !getNextChunkOfLines(&buffer, m_chunkCapacity)) return false;
        m_cursor = buffer;
        m_chunkActive = true;
    }
    return getNextLine(line);
}

bool OFFile::readNextIntLineFromCurrentChunk(int* value) {
    char* line = nullptr;
    while (getNextLine(&line)) {
        char* cursor = line;
        if (readNextBufInt(&cursor, value, '\n', true)) return true;
    }
    return false;
}

bool OFFile::getNextLineStartingWith(const std::string& prefix, std::string* line) {
    char* text = nullptr;
    while (getNextLine(&text)) {
        if (std::strncmp(text, prefix.c_str(), prefix.size()) == 0) {
            *line = text;
            return true;
        }
    }
    return false;
}

bool OFFile::readDimensions(std::vector<vx::Str>* tokens) {
    std::string line;
    if (!getNextLineStartingWith("dimensions", &line)) return false;
    // Writers differ in the blanks they put inside the brackets ("[0 1 -1 0 0 0 0]" against
    // "[ 0 1 -1 0 0 0 0 ]") and between the words; bring both to the first form.
    std::string normal;
    for (size_t i = 0; i < line.size(); ++i) {
        char c = line[i];
        if (c == '\t' || c == '\r' || c == '\n') c = ' ';
        if (c == ' ' && !normal.empty() && normal.back() == '[') continue;
        if (c == ']') {
            while (!normal.empty() && normal.back() == ' ') normal.pop_back();
        }
        normal.push_back(c);
    }
    *tokens = vx::Str(normal).split(" ");
    return tokens->size() == 8;
}

bool OFFile::countFitsFile(long long count, size_t minBytesPerItem) const {
    if (count < 0) return false;
    if (m_plainFileSize < 0) return true;
    return static_cast<unsigned long long>(count) <=
           static_cast<unsigned long long>(m_plainFileSize) / (minBytesPerItem ? minBytesPerItem : 1);
}

bool OFFile::readRaw(void* target, size_t itemBytes, size_t count) {
    if (!isOpen()) return false;
    size_t needed = itemBytes * count;
    char* out = static_cast<char*>(target);
    if (m_chunkActive && m_cursor && m_cursor < m_chunkEnd) {
        const size_t available = static_cast<size_t>(m_chunkEnd - m_cursor);
        const size_t take = available < needed ? available : needed;
        std::memcpy(out, m_cursor, take);
        m_cursor += take;
        out += take;
        needed -= take;
        if (m_cursor >= m_chunkEnd) {
            m_chunkActive = false;
            m_cursor = nullptr;
        }
    }
    while (needed > 0) {
        const unsigned step = needed > (1u << 30) ? (1u << 30) : static_cast<unsigned>(needed);
        const int n = sourceRead(out, step);
        if (n <= 0) return false;
        out += n;
        needed -= static_cast<size_t>(n);
    }
    return true;
}
