#pragma once
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "core/Str.h"
#include "io/FacesData.h"
#include "io/FoamFileSource.h"

class OFBoundary;
namespace blockdata {
struct Header;
}
namespace collated {
struct RankText;
}
class OFCellZone;
class OFFaceZone;
namespace foamdict {
class Dictionary;
class Parser;
struct Entry;
}

// Reader of one OpenFOAM file, plain or gzip-compressed: the FoamFile header, token reading
// from the stream, line reading, and reading in chunks of whole lines that are parsed in
// memory. One object per file read, used by one thread.
namespace foamdict {
struct Problem;
}
// Logs what the dictionary reader met in a file: notes as information, the rest as errors.
void logParseProblems(const std::vector<foamdict::Problem>& problems, const vx::Str& path);

class OFFile {
public:
    static constexpr size_t LINE_BUFFER_SIZE = 4096;
    static constexpr size_t CHUNK_READ_SIZE = 262144;
    // A read block plus room to finish its last line and the terminating zero.
    static constexpr size_t CHUNK_BUFFER_SIZE = CHUNK_READ_SIZE + LINE_BUFFER_SIZE;

    explicit OFFile(bool readHeader);
    ~OFFile();
    OFFile(const OFFile&) = delete;
    OFFile& operator=(const OFFile&) = delete;

    // Opens the file (path.gz when that exists) and reads its header. A path that names a rank's
    // file of a collated run (io/CollatedFiles.h) opens that rank's block in memory.
    bool open(const vx::Str& path);
    // Reads the whole file (path.gz first) into memory with its header; the readers of
    // dictionary-shaped files parse it from there. False when it cannot be read.
    bool loadWhole(const vx::Str& path);
    // Parses the text behind the header of a file loaded with loadWhole into the entry tree,
    // logging what the dictionary reader met; false when the text could not be read to its end.
    bool parseBody();
    // Parses the body of a file loaded with loadWhole as a list of named dictionaries.
    bool parseEntryList(foamdict::Parser* parser, foamdict::Dictionary* list, long long* count);
    // The entry tree of the last parseBody (null before).
    const foamdict::Dictionary* tree() const { return m_tree.get(); }
    // Reads from memory: the text is the concatenation of the segments; owner keeps them alive.
    // A header found already (kept alive by owner) is not searched for again.
    bool openText(std::vector<std::pair<const char*, size_t>> segments, std::shared_ptr<const void> owner,
                  const vx::Str& shownPath, const blockdata::Header* header = nullptr);
    void close();
    bool isOpen() const { return m_file != nullptr || m_memoryOwner != nullptr; }

    const std::map<std::string, std::string>& headerMap() const { return m_header; }
    std::string headerValue(const std::string& key) const;
    bool isBinary() const { return m_binary; }
    bool hasHeaderFlag() const { return m_readHeaderFlag; }
    // Binary storage widths from the header's arch entry (32-bit labels, 64-bit scalars without one).
    int labelBytes() const { return m_labelBytes; }
    int scalarBytes() const { return m_scalarBytes; }
    bool isBigEndian() const { return m_bigEndian; }
    // The path that was opened (the .gz form when that was chosen).
    const vx::Str& openedPath() const { return m_openedPath; }
    // The cell count of an owner or neighbour file's header note ("nPoints:882  nCells:400
    // nFaces:1640 ..."); false when the header has no such note.
    bool noteCellCount(int* cellCount) const;
    // A collated rank's body read with rank 0's header: its counts come from the lists (the
    // label list reader gives the cell count -1).
    bool countsFromLists() const { return m_countsFromLists; }

    // Stream token reading.
    bool readNextInt(int* value, char delimiter);
    bool readNextIntLine(int* value);
    bool readNextDouble(double* value, char delimiter);
    bool skipAfterNext(char c);
    bool skipEmptyLines();

    // Token reading in a zero-terminated text in memory.
    static bool readNextBufInt(char** cursor, int* value, char delimiter, bool endAtNewline);
    static bool readNextBufDouble(char** cursor, double* value, char delimiter);

    // Line and chunk reading. Lines are handed out in the line buffer (or in the chunk).
    bool getNextLine(char** line);
    bool getNonTreatedLine(char** line);
    // *buffer points to capacity bytes (more than LINE_BUFFER_SIZE); the chunk read into it leaves
    // room for its last line to be completed. *buffer is redirected to the rest of the active
    // chunk when there is one.
    bool getNextChunkOfLines(char** buffer, size_t capacity = CHUNK_BUFFER_SIZE);
    bool getNonTreatedChunk(char** buffer);
    bool getNextLineUsingChunk(char** line);
    bool readNextIntLineFromCurrentChunk(int* value);
    bool getNextLineStartingWith(const std::string& prefix, std::string* line);
    bool readDimensions(std::vector<vx::Str>* tokens);

    // Chunk state, for readers that go back to re-read a line.
    char* chunkBuffer() { return chunk(); }
    char* chunkCursor() const { return m_cursor; }
    void setChunkCursor(char* cursor) { m_cursor = cursor; }
    char* lineStart() const { return m_lineStart; }
    void setLineStart(char* start) { m_lineStart = start; }
    bool isChunkActive() const { return m_chunkActive; }
    void setChunkActive(bool active) { m_chunkActive = active; }
    bool rereadFlag() const { return m_reread; }
    void setRereadFlag(bool reread) { m_reread = reread; }
    // Set when a line did not fit a buffer; the read that met it failed.
    bool lineOverflowed() const { return m_overflow; }

    // Parallel and sequential list parsers, entered just behind the list's "(" and its line feeds.
    // Each fills the presized target and reports how many items it could read.
    bool readNextVectorFieldAsciiPar(std::vector<double>* values);
    bool readNextFaceListAsciiPar(FacesData* faces);
    bool readNextVolScalarFieldAscii(std::vector<double>* values);
    bool readNextVectorFieldAscii(std::vector<double>* values);

    // Mesh list files.
    bool readVectorField(const vx::Str& path, const vx::Str& objectName, std::vector<double>* values);
    // Labels: std::vector<int> or vx::UnsetVector<int>.
    template <typename Labels>
    bool readLabelList(const vx::Str& path, const vx::Str& objectName, Labels* labels, int* cellCount);
    bool readFaceList(const vx::Str& path, const vx::Str& objectName, FacesData* faces);

    // List bodies, entered after the count line.
    // Labels fill the list as sized (count items at out).
    bool readNextLabelList(std::vector<int>* labels) { return readNextLabelList(labels->data(), labels->size()); }
    bool readNextLabelList(int* out, size_t count);
    bool readNextFaceList(FacesData* faces);
    bool readNextFaceCompactList(FacesData* faces);
    bool readNextLabelListAscii(int* out, size_t count);
    bool readNextLabelListBinary(int* out, size_t count);
    bool readNextVectorFieldBinary(std::vector<double>* values);
    bool readNextScalarsBinary(std::vector<double>* values);
    bool readNextFaceCompactListAscii(FacesData* faces);
    bool readNextFaceCompactListBinary(FacesData* faces);
    bool readNextFaceListBinary(FacesData* faces);

    // Dictionary, boundary and zone files.
    bool readDictionary(const vx::Str& path, const vx::Str& objectName, std::map<vx::Str, vx::Str>* entries);
    bool readBoundary(const vx::Str& path, const vx::Str& objectName, std::vector<OFBoundary>& boundaries,
                      size_t partId);
    bool readCellZones(const vx::Str& path, const vx::Str& objectName, std::vector<OFCellZone>& zones,
                       size_t partId);
    bool readFaceZones(const vx::Str& path, const vx::Str& objectName, std::vector<OFFaceZone>& zones,
                       size_t partId);

    // Items read by the last list body that failed, for its error message.
    size_t lastItemsRead() const { return m_itemsRead; }

    // Splits a header-style entry: the keyword is the first run of non-space characters, the
    // value everything from the first non-space character behind it; without a blank behind
    // the keyword both are empty.
    static void splitEntry(const std::string& entry, std::string* keyword, std::string* value);

    // Whether an item count announced by the file could be stored in it: its text must be at
    // least minBytesPerItem bytes per item long (the text of a gzip file is bounded by the
    // largest expansion deflate allows).
    bool countFitsFile(long long count, size_t minBytesPerItem) const;
    // Reads count raw items of itemBytes each from the stream; false on a short read.
    bool readRaw(void* target, size_t itemBytes, size_t count);

private:
    bool readHeader(const blockdata::Header* known);
    void skipRestOfHeaderLine();
    bool seekFromStart(size_t offset);
    char* chunk();
    // A chunk buffer no longer than the file's text needs.
    size_t slotCapacity() const;
    // The next chunk of lines behind the carried text, in the slot's buffer (made on first use).
    bool readIntoSlot(std::unique_ptr<char[]>* buffer, size_t capacity, const std::string& carry, char** text);
    bool setHeaderFromText(const char* text, size_t start, size_t end);
    // A path that names a collated rank's file (FOUND with its text, or FAILED), or NONE.
    enum class RankFile { NONE, FOUND, FAILED };
    RankFile rankText(const std::string& path, collated::RankText* text);

public:
    // The entries (sub-dictionaries aside) of the FoamFile header that text[start, end) holds,
    // start and end as foamdict::headerEnd finds them.
    static bool readHeaderText(const char* text, size_t start, size_t end, const std::string& fileName,
                               std::map<std::string, std::string>* entries);
    // Whether the last open or loadWhole that failed has logged why already (a collated rank's
    // block that cannot be read): its callers then add no message of their own.
    bool failureReported() const { return m_failureReported; }

private:
    void parseArch();
    // Next byte of the active chunk, else of the stream; -1 at the end of the file.
    int nextByte();
    void ungetByte(int byte);
    bool chunkSkipAfterNext(char c);
    // Makes the active chunk hold unread text, reading the next chunk when needed.
    bool ensureChunkText();
    // Skips blanks across chunks; the current character, or -1 at the end of the file.
    int peekNonBlank();
    bool readScalarsAscii(std::vector<double>* values, size_t* read);
    bool readVectorsAscii(std::vector<double>* values, size_t* read);
    bool finishValueList();
    void logShortList(const char* kind, size_t read, size_t expected) const;

    // The stream under everything: the gzip (or plain) file, or the text segments in memory.
    bool startReading(const blockdata::Header* known = nullptr);
    int sourceGetc();
    void sourceUngetc(int byte);
    bool sourceEof() const;
    int sourceRead(char* target, unsigned bytes);
    bool sourceGets(char* line, int capacity);

    std::map<std::string, std::string> m_header;
    void* m_file = nullptr;  // gzFile
    std::shared_ptr<const void> m_memoryOwner;
    std::vector<std::pair<const char*, size_t>> m_segments;
    size_t m_segment = 0;
    size_t m_segmentPos = 0;
    int m_pushedBack = -1;
    bool m_countsFromLists = false;
    bool m_failureReported = false;
    std::unique_ptr<char[]> m_chunk;
    size_t m_chunkCapacity = 0;
    std::unique_ptr<char[]> m_line;
    bool m_binary = false;
    char* m_cursor = nullptr;
    char* m_chunkEnd = nullptr;
    bool m_lastByteFromChunk = false;
    bool m_lastIntOverflowed = false;
    size_t m_itemsRead = 0;
    bool m_faceTooLarge = false;
    char* m_lineStart = nullptr;
    bool m_chunkActive = false;
    bool m_reread = false;
    bool m_readHeaderFlag;
    bool m_overflow = false;
    int m_labelBytes = 4;
    int m_scalarBytes = 8;
    bool m_bigEndian = false;
    long long m_plainFileSize = -1;  // length of the file's text, or its bound for gzip files; -1 unknown
    vx::Str m_openedPath;
    std::shared_ptr<const std::string> m_text;  // the whole file, for loadWhole
    // The block cut out of m_text and read into a buffer of its own (bytes 0 when none was).
    BlockPlacement m_elided;
    std::vector<double> m_referenceLevel;  // of the result file read last
    std::optional<double> m_time;          // of the folder whose files are read
    size_t m_bodyOffset = 0;
    std::shared_ptr<foamdict::Dictionary> m_tree;
    size_t m_patchesRead = 0;
    bool m_parseComplete = true;

    // Field files.
    // Result classes: vol and point fields of scalars (1 component), vectors (3), tensors and
    // symmetric tensors (6 each: xx xy xz yy yz zz; a full tensor gives its symmetric part).
    // Targets are presized by the caller to items x components.
public:
    // Internal values of a field file (cells or points). A file of another class than className
    // fills the target with the undefined value and succeeds.
    bool readResult(const vx::Str& path, const vx::Str& objectName, const vx::Str& className,
                    std::vector<double>* values);
    // As readResult, with the target sized to the item count the file announces, which may
    // not exceed maxValues values.
    bool readResultSizedFromFile(const vx::Str& path, const vx::Str& objectName, const vx::Str& className,
                                 std::vector<double>* values, size_t maxValues);
    // A value list read from the stream: its count, then "(...)" or "{value}", in any layout.
    bool readResultInMultipleLineFormat(const vx::Str& path, const vx::Str& className, std::vector<double>* values);
    // A value list standing on one line of text, such as "internalField nonuniform List<scalar> 3(1 2 3);"
    // or "10{(1 0 0)}".
    bool readResultInSingleLineFormat(const vx::Str& line, const vx::Str& path, const vx::Str& className,
                                      std::vector<double>* values);
    // The items of a list text without its parentheses ("1 2 3", "(1 0 0) (0 1 0)"); exactly as
    // many as the target holds.
    static bool getVolScalarFieldFromLine(std::vector<double>* values, const vx::Str& text);
    static bool getVolVectorFieldFromLine(std::vector<double>* values, const vx::Str& text);
    static bool getVolTensorFieldFromLine(std::vector<double>* values, const vx::Str& text);
    // List bodies "(...)" behind their count, ascii or binary; the list's ")" is consumed.
    // fileComponents: 9 for full tensors, 6 for symmetric ones (binary files only; ascii
    // items are recognised by their number count).
    bool readNextVolScalarField(std::vector<double>* values);
    bool readNextVolVectorField(std::vector<double>* values);
    bool readNextVolTensorField(std::vector<double>* values, int fileComponents = 9);
    // The time of the folder whose field files are read: patches that carry a function of time
    // instead of a value are given its value at that time.
    void setTime(std::optional<double> time) { m_time = time; }
    // Patches that received values in the last readValuesOfCellAndBoundaries.
    size_t patchesRead() const { return m_patchesRead; }
    // Internal values, then the values of every patch, its boundaryField entry chosen as
    // OpenFOAM chooses it. A patch without an entry or whose entry cannot be read is left
    // undefined with a note; false when the internal values or the file cannot be read.
    bool readValuesOfCellAndBoundaries(const vx::Str& path, const vx::Str& objectName, const vx::Str& className,
                                       std::vector<double>* cellValues, std::vector<OFBoundary>& boundaries,
                                       std::vector<std::vector<double>>& boundaryValues);
    static bool shouldApplyCellValueInBoundaryFace(const std::map<std::string, std::string>& entries);
    // itemValues[i] = meshValues[mapping[i]] per component; items whose mapping is missing or
    // out of range keep their values and make the result false.
    static bool applyMeshItemValueInBoundaryItem(std::vector<double>* itemValues, size_t components,
                                                 const std::vector<double>* meshValues,
                                                 const std::vector<int>& mapping);
    // Doubles in a target of count items of the class; -1 for an unknown class.
    static long long calculateNumberOfValues(const vx::Str& className, long long count);
    // Components per item: 1, 3 or 6; -1 for an unknown class.
    static int resultSizeFromName(const vx::Str& className);

private:
    enum class FieldTokenKind { End, Bad, Punct, Word, Number, String };
    struct FieldToken {
        FieldTokenKind kind = FieldTokenKind::End;
        char punct = 0;
        std::string text;
    };
    // Read: the list is in its target. Rejected: the list was passed over, reading goes on.
    // Broken: the file cannot be read on.
    enum class ListStatus { Read, Rejected, Broken };

    int fieldGetByte();
    // Skips blanks and comments; the next character (not consumed), -1 at the end, -2 for a
    // lone "/" (consumed).
    int peekFieldChar();
    bool nextFieldToken(FieldToken* token);
    void skipFieldLine();
    // Skips tokens up to the ";" or "}" that ends an entry (depth 0), or up to the bracket that
    // closes an open block (depth 1). Binary lists are skipped by their byte count.
    bool skipFieldTokens(int depth, std::string* text, char* ending);
    bool skipRawList(long long count, size_t itemBytes);
    bool collectValueTokens(char end, std::vector<vx::Str>* tokens);
    bool singleLineListAhead(std::string* line, char** lineEnd);
    bool readResultImpl(const vx::Str& path, const vx::Str& objectName, const vx::Str& className,
                        std::vector<double>* values, size_t sizedUpTo);
    // How a result file was loaded for reading its internal field straight into the target.
    enum class ResultLoad {
        IN_PLACE,    // values hold the internal field's items; the tree has been read
        LOADED,      // the whole text is loaded, nothing read into the target
        RELOAD,      // the target was written to and filled undefined again; load the file anew
        UNREADABLE,  // the file could not be read
    };
    ResultLoad loadResultInPlace(const vx::Str& path, const vx::Str& objectName, const vx::Str& className,
                                 std::vector<double>* values);
    bool loadWholeAround(const vx::Str& path, const std::function<BlockPlacement(const std::string&)>* place);
    bool readInternalList(const vx::Str& className, int fileComponents, std::vector<double>* values,
                          size_t sizedUpTo);
    bool readSingleLineList(const std::string& line, const vx::Str& path, const vx::Str& className,
                            std::vector<double>* values, size_t sizedUpTo);
    ListStatus readStreamList(int fileComponents, std::vector<double>* values, size_t sizedUpTo,
                              const std::string* patchName);
    ListStatus readNonUniformList(const vx::Str& className, const std::vector<vx::Str>& tokens,
                                  std::vector<double>* values, const std::string* patchName);
    ListStatus readEntryValues(const vx::Str& className, const foamdict::Entry& entry, std::vector<double>* values,
                               size_t sizedUpTo, const std::string* patchName);
    bool readListBody(int fileComponents, std::vector<double>* values);
    // The file's "referenceLevel" as one delivered item; empty when it has none.
    std::vector<double> readReferenceLevel(const vx::Str& className);
    bool readTensorsAscii(std::vector<double>* values, size_t* read);
    bool readTensorsBinary(std::vector<double>* values, int fileComponents);

};
