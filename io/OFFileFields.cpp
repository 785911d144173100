// Field files: the internalField of a result and the values of its boundaryField patches.
//
// The file is read as a stream of tokens (words, numbers, strings, punctuation; comments and
// blanks skipped), byte by byte from the chunk buffer for ascii files and from the zlib stream
// for binary ones, so that raw binary lists are never taken for text. Long value lists are
// handed to the chunk parsers (ascii) or read raw (binary).
#include <tbb/blocked_range.h>
#include <tbb/parallel_for.h>

#include <algorithm>
#include <atomic>
#include <charconv>
#include <cstring>
#include <exception>
#include <functional>
#include <map>
#include <new>
#include <optional>
#include <stdexcept>

#include "core/Timer.h"
#include "core/Undefined.h"
#include "io/FoamDictionary.h"
#include "io/FoamFieldValues.h"
#include "io/FoamFunctions.h"
#include "io/NumberParsing.h"
#include "io/OFFile.h"
#include "model/OFBoundary.h"
#include "plugin/OFLogger.h"

using vx::Str;

namespace {

const char* const SOURCE = "OFFile";

void logError(const Str& message) { OFLogger::get()->logError(SOURCE, message); }
void logInfo(const Str& message) { OFLogger::get()->logInfo(SOURCE, message); }
void logDebug(const Str& message) { OFLogger::get()->logDebug(SOURCE, message); }

// Longest word, number or string of a field file.
constexpr size_t MAX_TOKEN_LENGTH = 4096;
// Tokens of one uniform value: "( 1 2 3 4 5 6 7 8 9 )" has eleven.
constexpr size_t MAX_VALUE_TOKENS = 64;
// Entry texts kept in the boundary entry maps are cut at this length.
constexpr size_t MAX_ENTRY_TEXT = 256;

struct FieldClass {
    const char* name;
    int fileComponents;  // numbers per item in the file
};

const FieldClass FIELD_CLASSES[] = {
    {"volScalarField", 1},   {"volVectorField", 3},   {"volTensorField", 9},   {"volSymmTensorField", 6},
    {"pointScalarField", 1}, {"pointVectorField", 3}, {"pointTensorField", 9}, {"pointSymmTensorField", 6},
    {"volScalarField::Internal", 1}, {"volVectorField::Internal", 3}, {"volTensorField::Internal", 9},
    {"volSymmTensorField::Internal", 6},
};

// Cell-value files of lagrangian solvers keep their values under "value" and have no boundaryField.
bool isInternalClass(const std::string& className) {
    return className.size() > 10 && className.compare(className.size() - 10, 10, "::Internal") == 0;
}

// Numbers per item in files of the class; 0 for a class that is not read.
// Axial-vector results of full tensor fields read their file under the class name with this
// suffix: the file is the tensor file, each item delivered as its axial vector.
const char* const AXIAL_SUFFIX = "|axial";

bool isAxialView(const std::string& className) {
    const size_t n = std::strlen(AXIAL_SUFFIX);
    return className.size() > n && className.compare(className.size() - n, n, AXIAL_SUFFIX) == 0;
}

// The class a file must carry to be read as className.
std::string fileClassOf(const std::string& className) {
    return isAxialView(className) ? className.substr(0, className.size() - std::strlen(AXIAL_SUFFIX)) : className;
}

foamvalues::TensorView viewOf(const std::string& className) {
    return isAxialView(className) ? foamvalues::TensorView::Axial : foamvalues::TensorView::Symmetric;
}

int fileComponentsOf(const std::string& rawClassName) {
    const std::string className = fileClassOf(rawClassName);
    for (const FieldClass& c : FIELD_CLASSES)
        if (className == c.name) return c.fileComponents;
    return 0;
}

// Components delivered per item: a full tensor is delivered as its symmetric part.
int deliveredComponents(int fileComponents) { return fileComponents == 9 ? 6 : fileComponents; }

bool isTensorKind(int fileComponents) { return fileComponents == 6 || fileComponents == 9; }

// Numbers per item of a "List<T>" value list; 0 for a type that is not a field value.
int listTypeComponents(const std::string& word) {
    if (word == "List<scalar>") return 1;
    if (word == "List<vector>") return 3;
    if (word == "List<tensor>") return 9;
    if (word == "List<symmTensor>") return 6;
    return 0;
}

// Bytes per item of a binary "List<T>"; 0 for types whose binary lists are written as text.
size_t rawItemBytes(const std::string& word, int labelBytes, int scalarBytes) {
    const size_t s = static_cast<size_t>(scalarBytes);
    if (word == "List<scalar>" || word == "List<sphericalTensor>") return s;
    if (word == "List<vector>") return 3 * s;
    if (word == "List<symmTensor>") return 6 * s;
    if (word == "List<tensor>") return 9 * s;
    if (word == "List<vector2D>") return 2 * s;
    if (word == "List<label>") return static_cast<size_t>(labelBytes);
    if (word == "List<bool>") return 1;
    return 0;
}

bool isPunct(int c) {
    switch (c) {
        case '(': case ')': case '{': case '}': case '[': case ']': case ';': case ',': return true;
        default: return false;
    }
}

// A count: decimal digits only, below INT32_MAX.
bool parseCount(const std::string& text, long long* count) {
    if (text.empty()) return false;
    int32_t parsed = 0;
    const char* end = text.data() + text.size();
    if (ofnum::parseLabel(text.data(), end, &parsed) != end || parsed == INT32_MAX) return false;
    *count = parsed;
    return true;
}

bool parseItemsText(const std::string& text, size_t items, int fileComponents, double* out) {
    return foamvalues::parseItemsText(text.data(), text.data() + text.size(), items, fileComponents, out);
}

// The list text of a target: its size must be a whole number of items.
bool getFieldFromText(std::vector<double>* values, const Str& text, int fileComponents) {
    if (!values) return false;
    const size_t components = static_cast<size_t>(deliveredComponents(fileComponents));
    if (values->size() % components != 0) return false;
    return parseItemsText(text.toStdString(), values->size() / components, fileComponents, values->data());
}

// Parses one item from value tokens (parentheses may stand alone or stick to the numbers, a
// trailing ";" is tolerated) and fills every whole item of the target with it.
bool fillWithValueText(const std::string& valueText, int fileComponents, std::vector<double>* values) {
    std::string text = valueText;
    while (!text.empty() && (ofnum::isBlank(text.back()) || text.back() == ';')) text.pop_back();
    double item[6];
    if (!parseItemsText(text, 1, fileComponents, item)) return false;
    const size_t components = static_cast<size_t>(deliveredComponents(fileComponents));
    if (values->size() % components != 0) return false;
    for (size_t i = 0; i < values->size(); i += components) std::copy(item, item + components, values->data() + i);
    return true;
}

std::string joinTokens(const std::vector<Str>& tokens, size_t first) {
    std::string text;
    for (size_t i = first; i < tokens.size(); ++i) {
        if (i > first) text += ' ';
        text += tokens[i].toStdString();
    }
    return text;
}

template <typename V>
bool resizeSafely(V& v, size_t n) {
    try {
        v.resize(n);
        return true;
    } catch (const std::bad_alloc&) {
    } catch (const std::length_error&) {
    }
    return false;
}

void fillUndefined(std::vector<double>* values) {
    if (values) std::fill(values->begin(), values->end(), vx::UNDEFINED_DOUBLE);
}

}  // namespace

// ----------------------------------------------------------------------------------------
// Classes and sizes.

int OFFile::resultSizeFromName(const Str& className) {
    const int fileComponents = fileComponentsOf(className.toStdString());
    if (fileComponents == 0) {
        logError(Str("Unexpected result class name. Not supported %1").arg(className));
        return -1;
    }
    return foamvalues::deliveredComponents(fileComponents, viewOf(className.toStdString()));
}

long long OFFile::calculateNumberOfValues(const Str& className, long long count) {
    const int fileComponents = fileComponentsOf(className.toStdString());
    if (fileComponents == 0) {
        logError(Str("Invalid resultClassName in open foam file. We do not recognize:  %1").arg(className));
        return -1;
    }
    if (count < 0 || count > INT32_MAX) return -1;
    return count * foamvalues::deliveredComponents(fileComponents, viewOf(className.toStdString()));
}

// ----------------------------------------------------------------------------------------
// Tokens.

int OFFile::fieldGetByte() {
    if (!m_binary && !ensureChunkText()) return -1;
    return nextByte();
}

int OFFile::peekFieldChar() {
    while (true) {
        const int c = fieldGetByte();
        if (c < 0) return -1;
        if (ofnum::isBlank(static_cast<char>(c)) || c == '\f' || c == '\v') continue;
        if (c == '/') {
            const int d = fieldGetByte();
            if (d == '/') {
                skipFieldLine();
                continue;
            }
            if (d == '*') {
                int previous = 0;
                int e = fieldGetByte();
                while (e >= 0 && !(previous == '*' && e == '/')) {
                    previous = e;
                    e = fieldGetByte();
                }
                if (e < 0) return -1;
                continue;
            }
            ungetByte(d);
            return -2;
        }
        ungetByte(c);
        return c;
    }
}

void OFFile::skipFieldLine() {
    int c = fieldGetByte();
    while (c >= 0 && c != '\n') c = fieldGetByte();
}

bool OFFile::nextFieldToken(FieldToken* token) {
    token->text.clear();
    token->punct = 0;
    const int first = peekFieldChar();
    if (first == -1) {
        token->kind = FieldTokenKind::End;
        return false;
    }
    if (first == -2) {
        token->kind = FieldTokenKind::Bad;
        return false;
    }
    const int c = fieldGetByte();
    if (isPunct(c)) {
        token->kind = FieldTokenKind::Punct;
        token->punct = static_cast<char>(c);
        token->text.assign(1, static_cast<char>(c));
        return true;
    }
    if (c == '"') {
        while (true) {
            int d = fieldGetByte();
            if (d == '\\') {
                d = fieldGetByte();
            } else if (d == '"') {
                token->kind = FieldTokenKind::String;
                return true;
            }
            if (d < 0 || token->text.size() >= MAX_TOKEN_LENGTH) {
                token->kind = FieldTokenKind::Bad;
                return false;
            }
            token->text.push_back(static_cast<char>(d));
        }
    }
    token->text.push_back(static_cast<char>(c));
    while (true) {
        const int d = fieldGetByte();
        if (d < 0) break;
        if (ofnum::isBlank(static_cast<char>(d)) || isPunct(d) || d == '"') {
            ungetByte(d);
            break;
        }
        if (token->text.size() >= MAX_TOKEN_LENGTH) {
            token->kind = FieldTokenKind::Bad;
            return false;
        }
        token->text.push_back(static_cast<char>(d));
    }
    double number = 0;
    const char* begin = token->text.data();
    const char* end = begin + token->text.size();
    token->kind = ofnum::parseDouble(begin, end, &number) == end ? FieldTokenKind::Number : FieldTokenKind::Word;
    return true;
}

bool OFFile::skipRawList(long long count, size_t itemBytes) {
    if (count < 0 || count > INT32_MAX || !countFitsFile(count, itemBytes)) return false;
    unsigned long long remaining = static_cast<unsigned long long>(count) * itemBytes;
    std::vector<char> scratch(static_cast<size_t>(std::min<unsigned long long>(remaining, 65536)) + 1);
    while (remaining > 0) {
        const size_t step = static_cast<size_t>(std::min<unsigned long long>(remaining, scratch.size()));
        if (!readRaw(scratch.data(), 1, step)) return false;
        remaining -= step;
    }
    return fieldGetByte() == ')';
}

bool OFFile::skipFieldTokens(int depth, std::string* text, char* ending) {
    const bool block = depth > 0;
    size_t itemBytes = 0;  // raw item size of the binary list announced by the last "List<T>" word
    long long count = -1;  // and the count behind it
    FieldToken t;
    while (nextFieldToken(&t)) {
        if (text && text->size() < MAX_ENTRY_TEXT) {
            if (!text->empty()) *text += ' ';
            *text += t.text;
        }
        if (t.kind == FieldTokenKind::Punct) {
            const char p = t.punct;
            if (p == '(' && m_binary && itemBytes && count >= 0) {
                if (!skipRawList(count, itemBytes)) return false;
                itemBytes = 0;
                count = -1;
                continue;
            }
            itemBytes = 0;
            count = -1;
            if (p == ';' && !block && depth == 0) {
                *ending = ';';
                return true;
            }
            if (p == '(' || p == '[' || p == '{') {
                ++depth;
            } else if (p == ')' || p == ']' || p == '}') {
                if (depth == 0) {
                    // The closing brace of the dictionary around an entry without ";".
                    if (p != '}') return false;
                    *ending = '}';
                    return true;
                }
                if (--depth == 0 && block) {
                    *ending = p;
                    return true;
                }
            }
        } else if (t.kind == FieldTokenKind::Word) {
            count = -1;
            itemBytes = t.text.compare(0, 5, "List<") == 0 ? rawItemBytes(t.text, m_labelBytes, m_scalarBytes) : 0;
        } else if (t.kind == FieldTokenKind::Number && itemBytes && count < 0 && parseCount(t.text, &count)) {
            // The count of the announced list; its "(" comes next.
        } else {
            itemBytes = 0;
            count = -1;
        }
    }
    return false;
}

bool OFFile::collectValueTokens(char end, std::vector<Str>* tokens) {
    FieldToken t;
    while (nextFieldToken(&t)) {
        if (t.kind == FieldTokenKind::Punct && t.punct == end) return true;
        if (t.kind == FieldTokenKind::Punct && (t.punct == '{' || t.punct == '}' || t.punct == ';')) return false;
        if (tokens->size() >= MAX_VALUE_TOKENS) return false;
        tokens->push_back(Str(t.text));
    }
    return false;
}

// ----------------------------------------------------------------------------------------
// List bodies.

bool OFFile::readTensorsAscii(std::vector<double>* values, size_t* read) {
    const size_t n = values->size() / 6;
    for (*read = 0; *read < n; ++*read) {
        if (peekNonBlank() != '(') return false;
        const char* p = m_cursor + 1;
        double numbers[9];
        int k = 0;
        while (true) {
            while (p < m_chunkEnd && ofnum::isSpaceOrTab(*p)) ++p;
            if (p >= m_chunkEnd) return false;
            if (*p == ')') break;
            if (k == 9) return false;
            p = ofnum::parseDouble(p, m_chunkEnd, &numbers[k]);
            if (!p || (p < m_chunkEnd && !ofnum::isSpaceOrTab(*p) && *p != ')')) return false;
            ++k;
        }
        if (k != 6 && k != 9) return false;
        foamvalues::storeItem(numbers, k, values->data() + *read * 6);
        m_cursor = const_cast<char*>(p + 1);
    }
    return true;
}

bool OFFile::readTensorsBinary(std::vector<double>* values, int fileComponents) {
    if (fileComponents == 6) return readNextScalarsBinary(values);
    const size_t n = values->size() / 6;
    std::vector<double> block;
    for (size_t done = 0; done < n;) {
        const size_t count = std::min<size_t>(n - done, 8192);
        block.resize(count * 9);
        if (!readNextScalarsBinary(&block)) return false;
        for (size_t k = 0; k < count; ++k) foamvalues::storeItem(&block[k * 9], 9, values->data() + (done + k) * 6);
        done += count;
    }
    return true;
}

bool OFFile::readListBody(int fileComponents, std::vector<double>* values) {
    if (!isOpen() || peekFieldChar() != '(') return false;
    fieldGetByte();
    bool ok = false;
    if (m_binary) {
        if (m_bigEndian) return false;
        ok = isTensorKind(fileComponents) ? readTensorsBinary(values, fileComponents) : readNextScalarsBinary(values);
        return ok && fieldGetByte() == ')';
    }
    size_t read = 0;
    if (fileComponents == 1)
        ok = readScalarsAscii(values, &read);
    else if (fileComponents == 3)
        ok = readVectorsAscii(values, &read);
    else
        ok = readTensorsAscii(values, &read);
    if (!ok || peekFieldChar() != ')') return false;
    fieldGetByte();
    return true;
}

bool OFFile::readNextVolScalarField(std::vector<double>* values) { return readListBody(1, values); }

bool OFFile::readNextVolVectorField(std::vector<double>* values) {
    return values->size() % 3 == 0 && readListBody(3, values);
}

bool OFFile::readNextVolTensorField(std::vector<double>* values, int fileComponents) {
    return isTensorKind(fileComponents) && values->size() % 6 == 0 && readListBody(fileComponents, values);
}

// ----------------------------------------------------------------------------------------
// Value lists.

bool OFFile::getVolScalarFieldFromLine(std::vector<double>* values, const Str& text) {
    return getFieldFromText(values, text, 1);
}

bool OFFile::getVolVectorFieldFromLine(std::vector<double>* values, const Str& text) {
    return getFieldFromText(values, text, 3);
}

bool OFFile::getVolTensorFieldFromLine(std::vector<double>* values, const Str& text) {
    return getFieldFromText(values, text, 9);
}

bool OFFile::singleLineListAhead(std::string* line, char** lineEnd) {
    if (m_binary || !ensureChunkText()) return false;
    char* const begin = m_chunk.get();
    char* end = static_cast<char*>(std::memchr(m_cursor, '\n', static_cast<size_t>(m_chunkEnd - m_cursor)));
    if (!end) end = m_chunkEnd;
    const char* open = m_cursor;
    while (open < end && *open != '(' && *open != '{') ++open;
    if (open == end) return false;
    const char* last = end;
    while (last > open && (ofnum::isBlank(last[-1]) || last[-1] == ';')) --last;
    if (last == open || (last[-1] != ')' && last[-1] != '}')) return false;
    char* start = m_cursor;
    while (start > begin && start[-1] != '\n') --start;
    line->assign(static_cast<const char*>(start), last);
    *lineEnd = end;
    return true;
}

bool OFFile::readSingleLineList(const std::string& s, const Str& path, const Str& className,
                                std::vector<double>* values, size_t sizedUpTo) {
    const int fileComponents = fileComponentsOf(className.toStdString());
    if (fileComponents == 0) {
        resultSizeFromName(className);
        return false;
    }
    const size_t open = s.find_first_of("({");
    if (open == std::string::npos) {
        logError(Str("Failed to read number of items in result file. File basename is %1").arg(path));
        return false;
    }
    const size_t blank = open == 0 ? std::string::npos : s.find_last_of(" \t", open - 1);
    const size_t countStart = blank == std::string::npos ? 0 : blank + 1;
    const std::string countText = s.substr(countStart, open - countStart);
    long long count = 0;
    if (!parseCount(countText, &count)) {
        const bool digits = !countText.empty() && countText.find_first_not_of("0123456789") == std::string::npos;
        logError(Str(digits ? "Invalid number of items in result file. File basename is %1"
                            : "Failed to read number of items in result file. File basename is %1")
                     .arg(path));
        return false;
    }
    const long long expected = calculateNumberOfValues(className, count);
    if (expected < 0) {
        logError(Str("Unrecognized result class name %1. File basename is %2").arg(className).arg(path));
        return false;
    }
    if (sizedUpTo) {
        // Each item of a "(...)" list takes at least two characters of the line.
        const bool plausible = s[open] == '{' || static_cast<unsigned long long>(count) <= s.size() / 2;
        if (!plausible || static_cast<unsigned long long>(expected) > sizedUpTo ||
            !resizeSafely(*values, static_cast<size_t>(expected))) {
            logError(Str("Invalid number of items in result file. File basename is %1").arg(path));
            return false;
        }
    } else if (static_cast<unsigned long long>(expected) != values->size()) {
        logError(Str("Error reading result, values buffer is not correctly dimensioned. File basename is %1").arg(path));
        return false;
    }
    const char close = s[open] == '(' ? ')' : '}';
    const size_t closeAt = s.find_last_of(close);
    bool ok = closeAt != std::string::npos && closeAt > open &&
              s.find_first_not_of(" \t\r;", closeAt + 1) == std::string::npos;
    if (ok) {
        const std::string body = s.substr(open + 1, closeAt - open - 1);
        if (close == ')')
            ok = parseItemsText(body, static_cast<size_t>(count), fileComponents, values->data());
        else
            ok = count == 0 || fillWithValueText(body, fileComponents, values);
    }
    if (!ok) {
        fillUndefined(values);
        logError(Str("Error reading result. File basename is %1").arg(path));
    }
    return ok;
}

bool OFFile::readResultInSingleLineFormat(const Str& line, const Str& path, const Str& className,
                                          std::vector<double>* values) {
    if (!values) return false;
    try {
        return readSingleLineList(line.toStdString(), path, className, values, 0);
    } catch (const std::exception&) {
        logError(Str("Error reading result. File basename is %1").arg(path));
        return false;
    }
}

OFFile::ListStatus OFFile::readStreamList(int fileComponents, std::vector<double>* values, size_t sizedUpTo,
                                          const std::string* patchName) {
    const Str& path = m_openedPath;
    const size_t components = static_cast<size_t>(deliveredComponents(fileComponents));
    auto fail = [&](const char* internalText, const char* patchText) {
        if (patchName)
            logError(Str(patchText).arg(Str(*patchName)).arg(path));
        else
            logError(Str(internalText).arg(path));
    };
    auto failBody = [&]() {
        fail("Error reading result. File basename is %1",
             "Error reading values of boundary %1 in result file. File basename is %2");
    };
    auto failDimension = [&](long long count) {
        if (patchName)
            logError(Str("Unexpected number of values for boundary %1 in result file: %2 items for a target of %3. "
                         "File basename is %4")
                         .arg(Str(*patchName))
                         .arg(static_cast<unsigned long long>(count))
                         .arg(static_cast<unsigned long long>(values->size() / components))
                         .arg(path));
        else
            logError(Str("Error reading result, values buffer is not correctly dimensioned. File basename is %1").arg(path));
    };

    FieldToken t;
    long long count = 0;
    if (!ofnum::isDigit(static_cast<char>(peekFieldChar())) || !nextFieldToken(&t) || !parseCount(t.text, &count)) {
        const bool tooLarge = t.kind == FieldTokenKind::Number && t.text.find_first_not_of("0123456789") == std::string::npos;
        fail(tooLarge ? "Invalid number of items in result file. File basename is %1"
                      : "Failed to read number of items in result file. File basename is %1",
             "Failed to read number of values of boundary %1 in result file. File basename is %2");
        return ListStatus::Broken;
    }
    const int open = peekFieldChar();
    if (open != '(' && open != '{') {
        if (count != 0) {
            failBody();
            return ListStatus::Broken;
        }
        // A binary empty list has no parentheses: "value nonuniform 0;".
        if (values && sizedUpTo) values->clear();
        if (values && !patchName && !values->empty()) {
            failDimension(count);
            return ListStatus::Rejected;
        }
        return ListStatus::Read;
    }
    const unsigned long long expected = static_cast<unsigned long long>(count) * components;

    std::vector<double>* target = values;
    bool rejected = false;
    if (target && sizedUpTo) {
        const size_t itemBytes = m_binary ? static_cast<size_t>(fileComponents * m_scalarBytes)
                                          : static_cast<size_t>(2 * fileComponents);
        if ((open == '(' && !countFitsFile(count, itemBytes)) || expected > sizedUpTo ||
            !resizeSafely(*target, static_cast<size_t>(expected))) {
            fail("Invalid number of items in result file. File basename is %1",
                 "Failed to read number of values of boundary %1 in result file. File basename is %2");
            return ListStatus::Broken;
        }
    }
    // Empty patches write an empty list ("0()"): their target is left as it is.
    if (target && patchName && count == 0) target = nullptr;
    if (target && expected != target->size()) {
        failDimension(count);
        if (!patchName) return ListStatus::Rejected;
        target = nullptr;
        rejected = true;
    }

    if (!target) {
        // Passed over whole, so that reading goes on behind the list.
        fieldGetByte();
        char ending = 0;
        const bool skipped = open == '(' && m_binary
                                 ? skipRawList(count, static_cast<size_t>(fileComponents * m_scalarBytes))
                                 : skipFieldTokens(1, nullptr, &ending);
        if (!skipped) {
            failBody();
            return ListStatus::Broken;
        }
        return rejected ? ListStatus::Rejected : ListStatus::Read;
    }

    if (open == '{') {
        fieldGetByte();
        std::vector<Str> tokens;
        const bool closed = collectValueTokens('}', &tokens);
        if (closed && (count == 0 || fillWithValueText(joinTokens(tokens, 0), fileComponents, target)))
            return ListStatus::Read;
        fillUndefined(target);
        failBody();
        return closed ? ListStatus::Rejected : ListStatus::Broken;
    }
    if (!readListBody(fileComponents, target)) {
        fillUndefined(target);
        failBody();
        return ListStatus::Broken;
    }
    return ListStatus::Read;
}

bool OFFile::readResultInMultipleLineFormat(const Str&, const Str& className, std::vector<double>* values) {
    const int fileComponents = fileComponentsOf(className.toStdString());
    if (fileComponents == 0) {
        resultSizeFromName(className);
        return false;
    }
    if (!values || !isOpen()) return false;
    try {
        return readStreamList(fileComponents, values, 0, nullptr) == ListStatus::Read;
    } catch (const std::exception&) {
        logError(Str("Error reading result. File basename is %1").arg(m_openedPath));
        return false;
    }
}

OFFile::ListStatus OFFile::readNonUniformList(const Str& className, const std::vector<Str>& tokens,
                                              std::vector<double>* values, const std::string* patchName) {
    int fileComponents = fileComponentsOf(className.toStdString());
    if (tokens.size() > 1) {
        const int listComponents = listTypeComponents(tokens[1].toStdString());
        const bool compatible = listComponents == fileComponents ||
                                (isTensorKind(listComponents) && isTensorKind(fileComponents));
        if (!compatible) {
            const Str where = patchName ? Str(" of boundary ") + Str(*patchName) : Str();
            logError(Str("Unexpected value list %1%2 in result file. File basename is %3")
                         .arg(tokens[1])
                         .arg(where)
                         .arg(m_openedPath));
            // Skipped like any other entry value, so that the patches behind it can be read.
            const size_t itemBytes = rawItemBytes(tokens[1].toStdString(), m_labelBytes, m_scalarBytes);
            if (m_binary && itemBytes == 0) return ListStatus::Broken;
            FieldToken t;
            long long count = 0;
            if (!nextFieldToken(&t) || !parseCount(t.text, &count)) return ListStatus::Broken;
            const int open = peekFieldChar();
            if (open != '(' && open != '{') return count == 0 ? ListStatus::Rejected : ListStatus::Broken;
            fieldGetByte();
            char ending = 0;
            const bool skipped = open == '(' && m_binary ? skipRawList(count, itemBytes)
                                                         : skipFieldTokens(1, nullptr, &ending);
            return skipped ? ListStatus::Rejected : ListStatus::Broken;
        }
        fileComponents = listComponents;
    }
    return readStreamList(fileComponents, values, 0, patchName);
}

// ----------------------------------------------------------------------------------------
// The internal field.

bool OFFile::readInternalList(const Str& className, int fileComponents, std::vector<double>* values,
                              size_t sizedUpTo) {
    std::string line;
    char* lineEnd = nullptr;
    if (singleLineListAhead(&line, &lineEnd)) {
        m_cursor = lineEnd;
        return readSingleLineList(line, m_openedPath, className, values, sizedUpTo);
    }
    return readStreamList(fileComponents, values, sizedUpTo, nullptr) == ListStatus::Read;
}

namespace {

size_t skipFieldBlanks(const std::string& text, size_t p) {
    while (p < text.size() && ofnum::isBlank(text[p])) ++p;
    return p;
}

// The word at p, up to the next blank or "(".
std::string wordAt(const std::string& text, size_t p) {
    size_t end = p;
    while (end < text.size() && !ofnum::isBlank(text[end]) && text[end] != '(') ++end;
    return text.substr(p, end - p);
}

// The internal field's list as a solver writes it: "internalField nonuniform List<T> N (",
// blanks only between. Found in text from `from` on; false when it is not written so there.
bool findInternalList(const std::string& text, size_t from, std::string* type, long long* count, size_t* itemsAt) {
    const std::string key = "internalField";
    const size_t at = text.find(key, from);
    if (at == std::string::npos || (at > 0 && !ofnum::isBlank(text[at - 1]) && text[at - 1] != ';')) return false;
    size_t p = at + key.size();
    if (p >= text.size() || !ofnum::isBlank(text[p])) return false;
    p = skipFieldBlanks(text, p);
    if (wordAt(text, p) != "nonuniform") return false;
    p = skipFieldBlanks(text, p + 10);
    *type = wordAt(text, p);
    p = skipFieldBlanks(text, p + type->size());
    const std::string countText = wordAt(text, p);
    if (!parseCount(countText, count)) return false;
    p = skipFieldBlanks(text, p + countText.size());
    if (p >= text.size() || text[p] != '(') return false;
    *itemsAt = p + 1;
    return true;
}

// Where the internal field's binary items lie in the head of a result file, when they are
// stored as the target takes them (64-bit scalars, little-endian, as many components as
// delivered) and fill it exactly: they are then read straight into the target.
BlockPlacement placeInternalList(const std::string& head, const std::string& objectName, const std::string& fileClass,
                                 int fileComponents, std::vector<double>* values) {
    size_t start = 0;
    const size_t end = foamdict::headerEnd(head, &start);
    std::map<std::string, std::string> header;
    if (end == 0 || end == std::string::npos || !OFFile::readHeaderText(head.data(), start, end, "", &header))
        return {};
    const std::string arch = header["arch"];
    if (header["format"] != "binary" || header["object"] != objectName || header["class"] != fileClass ||
        arch.find("scalar=32") != std::string::npos || arch.find("MSB") != std::string::npos)
        return {};
    std::string type;
    long long count = 0;
    size_t itemsAt = 0;
    if (!findInternalList(head, end, &type, &count, &itemsAt) || listTypeComponents(type) != fileComponents ||
        rawItemBytes(type, 4, 8) != 8 * static_cast<size_t>(fileComponents))
        return {};
    const size_t numbers = static_cast<size_t>(count) * static_cast<size_t>(fileComponents);
    if (count <= 0 || numbers != values->size()) return {};
    return {itemsAt, numbers * sizeof(double), reinterpret_cast<char*>(values->data())};
}

// "uniform" followed by tokens[first...]: a bare value read as a field value.
std::vector<foamdict::Token> uniformValueTokens(const std::vector<foamdict::Token>& tokens, size_t first) {
    std::vector<foamdict::Token> uniform(1);
    uniform[0].text = "uniform";
    if (first < tokens.size()) uniform.insert(uniform.end(), tokens.begin() + static_cast<std::ptrdiff_t>(first), tokens.end());
    return uniform;
}

// OpenFOAM adds a field file's reference level to every value it reads, internal and boundary.
void addReferenceLevel(std::vector<double>* values, const std::vector<double>& level) {
    if (level.empty()) return;
    for (size_t i = 0; i < values->size(); ++i) {
        double& value = (*values)[i];
        if (value != vx::UNDEFINED_DOUBLE) value += level[i % level.size()];
    }
}

}  // namespace

// A binary result file as solvers write it has its internal field read from the file straight
// into the target, not through the file's text: for millions of cells that text would be as
// large as the target. Anything else about the file, or a parse that does not take the list for
// the internal field as it stands, has the file read the usual way.
OFFile::ResultLoad OFFile::loadResultInPlace(const Str& path, const Str& objectName, const Str& className,
                                             std::vector<double>* values) {
    const std::string fileClass = fileClassOf(className.toStdString());
    const int fileComponents = fileComponentsOf(className.toStdString());
    if (isInternalClass(fileClass) || isAxialView(className.toStdString()) || fileComponents == 9) {
        return loadWhole(path) ? ResultLoad::LOADED : ResultLoad::UNREADABLE;
    }
    const std::string object = objectName.toStdString();
    const std::function<BlockPlacement(const std::string&)> place = [&](const std::string& head) {
        return placeInternalList(head, object, fileClass, fileComponents, values);
    };
    const bool loaded = loadWholeAround(path, &place);
    if (m_elided.bytes == 0) return loaded ? ResultLoad::LOADED : ResultLoad::UNREADABLE;
    if (loaded) {
        foamdict::ParseOptions options;
        options.binary = true;
        options.labelBytes = m_labelBytes;
        options.scalarBytes = m_scalarBytes;
        foamdict::Parser parser(options);
        const foamdict::ElidedList elided{m_elided.offset, m_elided.bytes, m_elided.destination};
        m_tree = std::make_shared<foamdict::Dictionary>();
        const bool clean = parser.parseText(m_text, m_bodyOffset, m_openedPath.toUtf8(), m_tree.get(), &elided) &&
                           parser.problems().empty() && parser.elidedListTaken();
        const foamdict::Entry* entry = clean ? m_tree->findLiteral("internalField") : nullptr;
        const bool inPlace = entry && !entry->dict && entry->unresolved.empty() && entry->tokens.size() == 3 &&
                             entry->tokens[2].kind == foamdict::TokenKind::List &&
                             entry->tokens[2].list->external == m_elided.destination;
        if (inPlace) return ResultLoad::IN_PLACE;
    }
    fillUndefined(values);
    close();
    m_tree.reset();
    return ResultLoad::RELOAD;
}

std::vector<double> OFFile::readReferenceLevel(const Str& className) {
    const foamdict::Entry* entry = m_tree ? m_tree->findLiteral("referenceLevel") : nullptr;
    if (!entry || entry->dict || !entry->unresolved.empty()) return {};
    const std::string name = className.toStdString();
    const int fileComponents = fileComponentsOf(name);
    std::vector<double> level(static_cast<size_t>(foamvalues::deliveredComponents(fileComponents, viewOf(name))));
    if (foamvalues::readFieldValue(uniformValueTokens(entry->tokens, 0), fileComponents, &level, 0, viewOf(name)).status !=
        foamvalues::ValueStatus::Read) {
        logInfo(Str("Could not read the referenceLevel of result file. File basename is %1").arg(m_openedPath));
        return {};
    }
    return level;
}

bool OFFile::readResultImpl(const Str& path, const Str& objectName, const Str& className, std::vector<double>* values,
                            size_t sizedUpTo) {
    if (!values) return false;
    const int fileComponents = fileComponentsOf(className.toStdString());
    if (fileComponents == 0) {
        resultSizeFromName(className);
        return false;
    }
    const Str& opened = m_openedPath;
    m_referenceLevel.clear();
    try {
        if (!m_readHeaderFlag) {
            if (!open(path)) {
                if (!failureReported()) logError(Str("Failed to open result file. File basename is %1").arg(path));
                return false;
            }
            return readInternalList(className, fileComponents, values, sizedUpTo);
        }
        const ResultLoad load = sizedUpTo ? ResultLoad::RELOAD : loadResultInPlace(path, objectName, className, values);
        if (load == ResultLoad::IN_PLACE) {
            m_parseComplete = true;
            if (readEntryValues(className, *m_tree->findLiteral("internalField"), values, 0, nullptr) != ListStatus::Read)
                return false;
            m_referenceLevel = readReferenceLevel(className);
            addReferenceLevel(values, m_referenceLevel);
            return true;
        }
        if (load == ResultLoad::UNREADABLE || (load == ResultLoad::RELOAD && !loadWhole(path))) {
            if (!failureReported()) logError(Str("Failed to open result file. File basename is %1").arg(path));
            return false;
        }
        if (Str(headerValue("object")) != objectName) {
            logError(Str("Unexpected object in result file. File basename is %1").arg(opened));
            return false;
        }
        if (headerValue("class") != fileClassOf(className.toStdString())) {
            fillUndefined(values);
            return true;
        }
        if (m_binary && m_bigEndian) {
            logError(Str("Big-endian binary files are not supported. File basename is %1").arg(opened));
            return false;
        }
        m_parseComplete = parseBody();
        const char* key = isInternalClass(fileClassOf(className.toStdString())) ? "value" : "internalField";
        const foamdict::Entry* entry = m_tree->findLiteral(key);
        if (!entry || entry->dict) {
            // A file that could not be read to its end has had its message.
            if (m_parseComplete) logError(Str("Could not find internalField in File %1").arg(opened));
            fillUndefined(values);
            return false;
        }
        if (!entry->unresolved.empty()) {
            // The reader has said why (an evaluation directive, an undefined variable).
            fillUndefined(values);
            return false;
        }
        if (readEntryValues(className, *entry, values, sizedUpTo, nullptr) != ListStatus::Read) return false;
        if (!isInternalClass(fileClassOf(className.toStdString()))) m_referenceLevel = readReferenceLevel(className);
        addReferenceLevel(values, m_referenceLevel);
        return true;
    } catch (const std::exception&) {
        fillUndefined(values);
        logError(Str("Error reading result. File basename is %1").arg(opened));
        return false;
    }
}

OFFile::ListStatus OFFile::readEntryValues(const Str& className, const foamdict::Entry& entry,
                                           std::vector<double>* values, size_t sizedUpTo,
                                           const std::string* patchName) {
    const int fileComponents = fileComponentsOf(className.toStdString());
    const Str& path = m_openedPath;
    const foamvalues::ValueRead read =
        foamvalues::readFieldValue(entry.tokens, fileComponents, values, sizedUpTo, viewOf(className.toStdString()));
    if (read.status == foamvalues::ValueStatus::Read) return ListStatus::Read;
    fillUndefined(values);
    if (patchName) {
        const size_t components =
            static_cast<size_t>(foamvalues::deliveredComponents(fileComponents, viewOf(className.toStdString())));
        if (read.status == foamvalues::ValueStatus::WrongCount)
            logInfo(Str("Unexpected number of values for boundary %1 in result file: %2 items for a target of %3. "
                        "File basename is %4")
                        .arg(Str(*patchName))
                        .arg(static_cast<long long>(read.count))
                        .arg(static_cast<unsigned long long>(values->size() / components))
                        .arg(path));
        else
            logInfo(Str("Could not read the values of boundary %1 in result file. File basename is %2")
                        .arg(Str(*patchName))
                        .arg(path));
        return ListStatus::Rejected;
    }
    switch (read.status) {
        case foamvalues::ValueStatus::WrongCount:
            logError(Str("Error reading result, values buffer is not correctly dimensioned. File basename is %1").arg(path));
            break;
        case foamvalues::ValueStatus::WrongType:
            logError(Str("Unexpected value list %1 in result file. File basename is %2").arg(Str(read.listType)).arg(path));
            break;
        default:
            logError(Str(read.uniform ? "Could not convert uniform value to a double. File basename is %1"
                                      : "Error reading result. File basename is %1")
                         .arg(path));
            break;
    }
    return ListStatus::Rejected;
}

bool OFFile::readResult(const Str& path, const Str& objectName, const Str& className, std::vector<double>* values) {
    return readResultImpl(path, objectName, className, values, 0);
}

bool OFFile::readResultSizedFromFile(const Str& path, const Str& objectName, const Str& className,
                                     std::vector<double>* values, size_t maxValues) {
    return readResultImpl(path, objectName, className, values, std::max<size_t>(maxValues, 1));
}

// ----------------------------------------------------------------------------------------
// The boundary field.

namespace {
bool isNoSlipWithoutValue(const std::map<std::string, std::string>& entries) {
    const auto type = entries.find("type");
    return type != entries.end() && type->second == "noSlip" && entries.find("value") == entries.end();
}
}  // namespace

bool OFFile::shouldApplyCellValueInBoundaryFace(const std::map<std::string, std::string>& entries) {
    const auto it = entries.find("type");
    if (it == entries.end()) return false;
    // A time-varying fixed value written by a solver carries its value at that time; only a
    // hand-written one (its table or function but no value yet) stands in with the cells' values.
    if (it->second == "uniformFixedValue" && entries.count("value")) return false;
    static const char* const TYPES[] = {"zeroGradient", "empty", "uniformFixedValue", "slip", "symmetry",
                                        "symmetryPlane", "wedge"};
    for (const char* type : TYPES)
        if (it->second == type) return true;
    // Without a value: OpenFOAM writes none for a cyclic patch (its value interpolates the cells on
    // both sides, for which the cells next to the patch stand in), and takes the cells' values for
    // these types when a hand-written file gives none. A value that is written is shown as it stands.
    static const char* const TYPES_WITHOUT_VALUE[] = {"cyclic",           "cyclicSlip", "nonuniformTransformCyclic",
                                                      "cyclicAMI",        "cyclicACMI", "fixedFluxPressure",
                                                      "advective",        "waveTransmissive"};
    if (entries.count("value")) return false;
    for (const char* type : TYPES_WITHOUT_VALUE)
        if (it->second == type) return true;
    return false;
}

bool OFFile::applyMeshItemValueInBoundaryItem(std::vector<double>* itemValues, size_t components,
                                              const std::vector<double>* meshValues, const std::vector<int>& mapping) {
    if (!itemValues || !meshValues || components == 0) return false;
    const size_t items = itemValues->size() / components;
    const size_t meshItems = meshValues->size() / components;
    const size_t mapped = std::min(items, mapping.size());
    std::atomic<bool> complete{mapped == items};
    double* out = itemValues->data();
    const double* in = meshValues->data();
    tbb::parallel_for(tbb::blocked_range<size_t>(0, mapped), [&](const tbb::blocked_range<size_t>& range) {
        for (size_t i = range.begin(); i != range.end(); ++i) {
            const int m = mapping[i];
            if (m < 0 || static_cast<size_t>(m) >= meshItems) {
                complete.store(false, std::memory_order_relaxed);
                continue;
            }
            std::copy(in + static_cast<size_t>(m) * components, in + (static_cast<size_t>(m) + 1) * components,
                      out + i * components);
        }
    });
    logDebug(Str("copy Cell data into Face : values copied %1").arg(static_cast<unsigned long long>(itemValues->size())));
    return complete.load();
}

namespace {

// The boundaryField entry of a patch, chosen as OpenFOAM chooses it: the patch's own name, then
// its groups (the last group entry written wins), then nothing for an empty patch, then the
// quoted patterns matching the whole name (the last one written wins).
// The quoted keys of a boundaryField with their compiled expressions, from the last written.
std::vector<std::pair<const foamdict::Entry*, foamdict::PatternMatcher>> patternEntries(const foamdict::Dictionary& field) {
    std::vector<std::pair<const foamdict::Entry*, foamdict::PatternMatcher>> patterns;
    const auto& entries = field.entries();
    for (auto it = entries.rbegin(); it != entries.rend(); ++it)
        if ((*it)->dict && (*it)->pattern) patterns.emplace_back(it->get(), foamdict::PatternMatcher((*it)->key));
    return patterns;
}

const foamdict::Entry* entryForPatch(
    const foamdict::Dictionary& field, const std::vector<std::pair<const foamdict::Entry*, foamdict::PatternMatcher>>& patterns,
    const OFBoundary& patch, bool* emptyPatch) {
    const std::string name = patch.patchName().toStdString();
    *emptyPatch = false;
    const foamdict::Entry* own = field.findLiteral(name);
    if (own && own->dict) return own;
    const auto& entries = field.entries();
    for (auto it = entries.rbegin(); it != entries.rend(); ++it)
        if ((*it)->dict && !(*it)->pattern && patch.inGroup((*it)->key)) return it->get();
    if (patch.type() == Str("empty")) {
        *emptyPatch = true;
        return nullptr;
    }
    for (const auto& [entry, matcher] : patterns)
        if (matcher.matches(name)) return entry;
    return nullptr;
}

// The entry holding a patch's value: "value", or for a hand-written patch without one, the entry
// that OpenFOAM then takes the value from for the patch's type.
const foamdict::Entry* valueEntryOf(const foamdict::Dictionary& patch, const std::map<std::string, std::string>& entries) {
    if (const foamdict::Entry* value = patch.findLiteral("value")) return value;
    static const std::pair<const char*, const char*> STAND_INS[] = {{"inletOutlet", "inletValue"},
                                                                    {"outletInlet", "outletValue"},
                                                                    {"totalPressure", "p0"},
                                                                    {"fanPressure", "p0"},
                                                                    {"freestream", "freestreamValue"},
                                                                    {"freestreamPressure", "freestreamValue"},
                                                                    {"freestreamVelocity", "freestreamValue"},
                                                                    {"prghTotalPressure", "p0"},
                                                                    {"prghPressure", "p"},
                                                                    {"freeSurfacePressure", "pa"}};
    const auto type = entries.find("type");
    if (type == entries.end()) return nullptr;
    for (const auto& [patchType, key] : STAND_INS)
        if (type->second == patchType) return patch.findLiteral(key);
    return nullptr;
}

// A number as a token that reads back as the same double.
foamdict::Token numberToken(double number) {
    char text[32];
    const auto written = std::to_chars(text, text + sizeof text, number);
    foamdict::Token token;
    token.kind = foamdict::TokenKind::Number;
    token.text.assign(text, written.ptr);
    return token;
}

foamdict::Token punctToken(char c) {
    foamdict::Token token;
    token.kind = foamdict::TokenKind::Punct;
    token.punct = c;
    token.text = std::string(1, c);
    return token;
}

// A hand-written patch of these types carries a function of time (its table, its constant) and
// no value; OpenFOAM gives it the function's value at the time of the folder.
const std::pair<const char*, const char*> VALUE_FUNCTIONS[] = {{"uniformFixedValue", "uniformValue"},
                                                               {"uniformTotalPressure", "p0"},
                                                               {"uniformInletOutlet", "uniformInletValue"}};

// That value as a "value uniform ..." entry, when the file alone determines it; otherwise nullptr.
std::unique_ptr<foamdict::Entry> functionValue(const foamdict::Dictionary& patch,
                                               const std::map<std::string, std::string>& entries,
                                               std::optional<double> time) {
    const auto type = entries.find("type");
    if (type == entries.end() || entries.count("value")) return nullptr;
    const char* key = nullptr;
    for (const auto& [patchType, functionKey] : VALUE_FUNCTIONS)
        if (type->second == patchType) key = functionKey;
    const foamdict::Entry* function = key ? patch.findLiteral(key) : nullptr;
    if (!function || function->dict || !function->unresolved.empty()) return nullptr;
    const std::optional<std::vector<double>> components = foamfunctions::valueAt(function->tokens, patch, time);
    if (!components) return nullptr;
    auto value = std::make_unique<foamdict::Entry>();
    value->key = "value";
    value->tokens.resize(1);
    value->tokens[0].text = "uniform";
    if (components->size() > 1) value->tokens.push_back(punctToken('('));
    for (double c : *components) value->tokens.push_back(numberToken(c));
    if (components->size() > 1) value->tokens.push_back(punctToken(')'));
    return value;
}

// OpenFOAM's value of a fixed gradient is the cells' value plus the gradient times the distance
// to the cell centres: for a hand-written patch (no value) whose gradient is zero, the cells' value.
bool isZeroFixedGradient(const foamdict::Dictionary& patch, const std::map<std::string, std::string>& entries,
                         const std::string& className) {
    const auto type = entries.find("type");
    if (type == entries.end() || type->second != "fixedGradient" || entries.count("value")) return false;
    const foamdict::Entry* gradient = patch.findLiteral("gradient");
    if (!gradient || gradient->dict || !gradient->unresolved.empty()) return false;
    const int fileComponents = fileComponentsOf(className);
    std::vector<double> item(static_cast<size_t>(foamvalues::deliveredComponents(fileComponents, viewOf(className))));
    if (item.empty() || foamvalues::readFieldValue(gradient->tokens, fileComponents, &item, 0, viewOf(className)).status !=
                            foamvalues::ValueStatus::Read)
        return false;
    return std::all_of(item.begin(), item.end(), [](double v) { return v == 0; });
}

// The entries of a patch as a keyword map (type and the other plain entries).
std::map<std::string, std::string> entryMap(const foamdict::Dictionary& dict) {
    std::map<std::string, std::string> map;
    for (const auto& e : dict.entries())
        if (!e->dict) map.emplace(e->key, foamdict::joinTokens(e->tokens));
    return map;
}

}  // namespace

bool OFFile::readValuesOfCellAndBoundaries(const Str& path, const Str& objectName, const Str& className,
                                           std::vector<double>* cellValues, std::vector<OFBoundary>& boundaries,
                                           std::vector<std::vector<double>>& boundaryValues) {
    m_patchesRead = 0;
    if (!readResult(path, objectName, className, cellValues)) {
        logInfo("Could not read result values for Cells");
        return false;
    }
    if (!m_readHeaderFlag || headerValue("class") != fileClassOf(className.toStdString()) || !m_tree) return true;
    if (isInternalClass(fileClassOf(className.toStdString()))) return true;
    try {
        logDebug(Str("readed cells values for result %1").arg(objectName));
        const foamdict::Dictionary* field = m_tree->subDict("boundaryField");
        if (!field) {
            logInfo("Problem parsing file");
            return true;
        }
        const std::string name = className.toStdString();
        const bool vol = name.compare(0, 3, "vol") == 0;
        const bool point = name.compare(0, 5, "point") == 0;
        const size_t components = static_cast<size_t>(resultSizeFromName(className));
        const size_t count = std::min(boundaries.size(), boundaryValues.size());
        const auto patterns = patternEntries(*field);
        const std::vector<double>& level = m_referenceLevel;
        bool mapped = true;
        for (size_t b = 0; b < count; ++b) {
            const OFBoundary& patch = boundaries[b];
            const std::string patchName = patch.patchName().toStdString();
            bool emptyPatch = false;
            const foamdict::Entry* entry = entryForPatch(*field, patterns, patch, &emptyPatch);
            if (!entry && !emptyPatch) {
                logInfo(Str("No boundaryField entry for patch %1 in result file. File basename is %2")
                            .arg(patch.patchName())
                            .arg(m_openedPath));
                continue;
            }
            std::map<std::string, std::string> entries = entry ? entryMap(*entry->dict) : std::map<std::string, std::string>{};
            if (emptyPatch) entries["type"] = "empty";
            std::vector<double>& target = boundaryValues[b];
            if (isNoSlipWithoutValue(entries)) {
                // A no-slip wall holds the zero vector; OpenFOAM writes no value for it.
                std::fill(target.begin(), target.end(), 0.0);
                addReferenceLevel(&target, level);
                ++m_patchesRead;
                continue;
            }
            if (const auto evaluated = entry ? functionValue(*entry->dict, entries, m_time) : nullptr) {
                if (readEntryValues(className, *evaluated, &target, 0, &patchName) == ListStatus::Read) {
                    addReferenceLevel(&target, level);
                    ++m_patchesRead;
                }
                continue;
            }
            if (shouldApplyCellValueInBoundaryFace(entries) || (entry && isZeroFixedGradient(*entry->dict, entries, name))) {
                if (!(vol || point)) continue;
                const std::vector<int>& mapping = vol ? patch.faceToCellMapping() : patch.faceNodeToNodeMapping();
                if (!applyMeshItemValueInBoundaryItem(&target, components, cellValues, mapping))
                    mapped = false;
                else
                    ++m_patchesRead;
                continue;
            }
            const foamdict::Entry* value = entry ? valueEntryOf(*entry->dict, entries) : nullptr;
            if (!value || value->dict) continue;
            if (!value->unresolved.empty()) {
                fillUndefined(&target);
                continue;
            }
            if (readEntryValues(className, *value, &target, 0, &patchName) == ListStatus::Read) {
                addReferenceLevel(&target, level);
                ++m_patchesRead;
            }
        }
        if (!mapped) {
            logError(Str("Boundary mapping does not fit the values of result file. File basename is %1").arg(m_openedPath));
            return false;
        }
        // A file cut off or broken inside boundaryField keeps what was read before, and fails.
        return m_parseComplete;
    } catch (const std::exception&) {
        logError(Str("Error reading boundary values. File basename is %1").arg(m_openedPath));
        return false;
    }
}
