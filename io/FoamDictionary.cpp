#include "io/FoamDictionary.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <cstring>
// GCC, optimising with the sanitizers, takes members of std::function inside the regex engine
// for uninitialised (-Wmaybe-uninitialized in <bits/std_function.h>); they are not.
#if defined(__GNUC__) && !defined(__clang__)
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wmaybe-uninitialized"
#include <regex>
#pragma GCC diagnostic pop
#else
#include <regex>
#endif
#include <utility>

#if defined(__SSE2__) && defined(__GNUC__)
#include <emmintrin.h>
#endif

#include "io/NumberParsing.h"

namespace foamdict {

namespace {

constexpr size_t MAX_WORD = 65536;
constexpr size_t MAX_STRING = 1 << 20;
constexpr int MAX_INCLUDE_DEPTH = 16;
constexpr int MAX_DICT_DEPTH = 64;
constexpr size_t MAX_ENTRY_TOKENS = 1 << 18;
constexpr size_t MAX_TOTAL_TOKENS = 1 << 19;
constexpr size_t MAX_PATTERN = 1024;

enum InputMode { MERGE = 0, OVERWRITE, PROTECT, WARN, ERROR };

// What each byte is to the lexer, looked up rather than compared: the lexer's loops visit every
// byte of a dictionary.
constexpr char BLANKS[] = " \t\r\n\f\v";
constexpr char PUNCTUATION[] = "(){}[];,";
constexpr char WORD_ENDS[] = " \t\r\n\f\v(){}[];,\"";  // blanks, punctuation and the quote

enum CharClass : uint8_t { BLANK = 1, PUNCT = 2 };

constexpr std::array<uint8_t, 256> charClasses() {
    std::array<uint8_t, 256> classes{};
    for (const char* c = BLANKS; *c; ++c) classes[static_cast<unsigned char>(*c)] = BLANK;
    for (const char* c = PUNCTUATION; *c; ++c) classes[static_cast<unsigned char>(*c)] = PUNCT;
    return classes;
}

constexpr std::array<uint8_t, 256> CHAR_CLASSES = charClasses();

inline uint8_t charClass(char c) { return CHAR_CLASSES[static_cast<unsigned char>(c)]; }
inline bool isBlank(char c) { return charClass(c) & BLANK; }
inline bool isPunctChar(char c) { return charClass(c) & PUNCT; }

// The first position at or behind pos that is not blank (s.size() when none is). The library's
// scans stop at the terminating zero of the string, which is no blank either.
size_t skipBlanks(const std::string& s, size_t pos) {
    return pos >= s.size() ? s.size() : pos + std::strspn(s.c_str() + pos, BLANKS);
}

// The first position at or behind pos that holds no word character (s.size() when none does).
// A zero byte inside the text is a word character: the scan goes on behind it.
size_t endOfWordChars(const std::string& s, size_t pos) {
    while (pos < s.size()) {
        pos += std::strcspn(s.c_str() + pos, WORD_ENDS);
        if (pos >= s.size() || s[pos] != '\0') break;
        ++pos;
    }
    return std::min(pos, s.size());
}

// Bytes per item of a binary "List<T>"; 0 for types written as text even in binary files.
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

bool isCount(const std::string& text, long long* count) {
    int32_t value = 0;
    const char* end = text.data() + text.size();
    if (ofnum::parseLabel(text.data(), end, &value) != end) return false;
    *count = value;
    return true;
}

}  // namespace

// ------------------------------------------------------------------------------------------
// Lexer.

class Lexer {
public:
    Lexer(std::shared_ptr<const std::string> text, size_t pos, const ParseOptions& options,
          const ElidedList* elided = nullptr)
        : m_text(std::move(text)), m_pos(pos), m_options(options), m_elided(elided) {}

    // The next token; false at the end of the text or on an error (then error() is set).
    bool next(Token* t) {
        if (m_hasPending) {
            *t = std::move(m_pending);
            m_hasPending = false;
            return true;
        }
        const bool ok = read(t);
        // Only the type word of a binary list ("List<scalar>") tells how its items are stored.
        if (ok && t->kind == TokenKind::Word && t->text.compare(0, 5, "List<") == 0)
            m_previousWord = t->text;
        else
            m_previousWord.clear();
        return ok;
    }
    bool peek(Token* t) {
        if (!m_hasPending) {
            m_hasPending = next(&m_pending);
            if (!m_hasPending) return false;
        }
        *t = m_pending;
        return true;
    }
    // Whether counted lists become one List token (not for the list of a boundary or zone file).
    void setLongLists(bool on) { m_longLists = on; }
    void putBack(Token t) {
        m_pending = std::move(t);
        m_hasPending = true;
    }
    void skipLine() {
        m_hasPending = false;
        const std::string& s = *m_text;
        while (m_pos < s.size() && s[m_pos] != '\n') ++m_pos;
    }
    const std::string& error() const { return m_error; }
    size_t position() const { return m_pos; }
    bool elidedListTaken() const { return m_elidedTaken; }

private:
    bool skipBlanksAndComments() {
        const std::string& s = *m_text;
        while (m_pos < s.size()) {
            const char c = s[m_pos];
            if (isBlank(c)) {
                m_pos = skipBlanks(s, m_pos);
            } else if (c == '/' && m_pos + 1 < s.size() && s[m_pos + 1] == '/') {
                while (m_pos < s.size() && s[m_pos] != '\n') ++m_pos;
            } else if (c == '/' && m_pos + 1 < s.size() && s[m_pos + 1] == '*') {
                const size_t close = s.find("*/", m_pos + 2);
                m_pos = close == std::string::npos ? s.size() : close + 2;
            } else {
                return true;
            }
        }
        return false;
    }

    bool fail(const std::string& message) {
        m_error = message;
        return false;
    }

    bool read(Token* t) {
        t->list.reset();
        t->punct = 0;
        t->text.clear();
        if (!skipBlanksAndComments()) return false;
        const std::string& s = *m_text;
        const char c = s[m_pos];
        if (isPunctChar(c)) {
            t->kind = TokenKind::Punct;
            t->punct = c;
            ++m_pos;
            return true;
        }
        if (c == '"') return readString(t);
        if (c == '#' && m_pos + 1 < s.size() && s[m_pos + 1] == '{') {
            const size_t close = s.find("#}", m_pos + 2);
            if (close == std::string::npos) return fail("a #{ code block is not closed");
            t->kind = TokenKind::Verbatim;
            t->text = s.substr(m_pos + 2, close - m_pos - 2);
            m_pos = close + 2;
            return true;
        }
        if (c == '$' && m_pos + 1 < s.size() && s[m_pos + 1] == '{') {
            const size_t close = s.find('}', m_pos + 2);
            if (close == std::string::npos || close - m_pos > MAX_WORD) return fail("a ${ name is not closed");
            t->kind = TokenKind::Variable;
            t->text = s.substr(m_pos + 2, close - m_pos - 2);
            m_pos = close + 1;
            return true;
        }
        const size_t start = m_pos;
        const bool numeric = ofnum::isDigit(c) || c == '-' || c == '+' || c == '.';
        if (numeric) {
            m_pos = endOfWordChars(s, m_pos);
        } else {
            // Words may hold balanced parentheses, as OpenFOAM reads them: grad(U), div(phi,U).
            int depth = 0;
            for (; m_pos < s.size(); ++m_pos) {
                m_pos = endOfWordChars(s, m_pos);
                if (m_pos == s.size()) break;
                const char d = s[m_pos];
                if (d == '(') {
                    ++depth;
                } else if (d == ')') {
                    if (depth == 0) break;
                    --depth;
                } else if (!(d == ',' && depth > 0)) {
                    break;
                }
            }
        }
        const size_t length = m_pos - start;
        if (length > MAX_WORD) return fail("a word is too long");
        if ((c == '#' || c == '$') && length > 1) {
            t->kind = c == '#' ? TokenKind::Directive : TokenKind::Variable;
            t->text.assign(s, start + 1, length - 1);
            return true;
        }
        t->text.assign(s, start, length);
        double number = 0;
        const char* end = t->text.data() + t->text.size();
        t->kind = ofnum::parseDouble(t->text.data(), end, &number) == end ? TokenKind::Number : TokenKind::Word;
        long long count = 0;
        if (m_longLists && t->kind == TokenKind::Number && isCount(t->text, &count)) return readLongList(t, count);
        return true;
    }

    bool readString(Token* t) {
        const std::string& s = *m_text;
        ++m_pos;
        t->kind = TokenKind::String;
        // A run of plain characters at a time, up to the next quote or backslash. The next quote
        // is looked for again only once an escaped one has been passed.
        size_t quote = s.find('"', m_pos);
        while (m_pos < s.size()) {
            if (quote < m_pos) quote = s.find('"', m_pos);
            const size_t limit = quote == std::string::npos ? s.size() : quote;
            const void* backslash = std::memchr(s.data() + m_pos, '\\', limit - m_pos);
            const size_t runEnd = backslash ? static_cast<size_t>(static_cast<const char*>(backslash) - s.data()) : limit;
            if (runEnd - m_pos > MAX_STRING - t->text.size()) return fail("a string is too long");
            t->text.append(s, m_pos, runEnd - m_pos);
            m_pos = runEnd;
            if (m_pos == s.size()) break;
            char c = s[m_pos++];
            if (c == '"') return true;
            if (m_pos < s.size() && (s[m_pos] == '"' || s[m_pos] == '\\')) c = s[m_pos++];
            if (t->text.size() >= MAX_STRING) return fail("a string is too long");
            t->text.push_back(c);
        }
        return fail("a string is not closed");
    }

    // Set bits of a 16-bit mask, without the library call a target without a count instruction
    // makes of the builtin.
    static int bitCount16(unsigned v) {
        v = v - ((v >> 1) & 0x5555u);
        v = (v & 0x3333u) + ((v >> 2) & 0x3333u);
        v = (v + (v >> 4)) & 0x0F0Fu;
        return static_cast<int>((v + (v >> 8)) & 0x1Fu);
    }

    // The ")" that closes a list whose "(" lies just before begin; s.size() when none does.
    // Sixteen bytes at a time where the processor allows: a block with fewer ")" than the depth
    // cannot close the list, and in any other block only the parentheses are visited.
    static size_t closingParenthesis(const std::string& s, size_t begin) {
        const char* text = s.data();
        const size_t size = s.size();
        long long depth = 1;
        size_t q = begin;
#if defined(__SSE2__) && defined(__GNUC__)
        const __m128i open = _mm_set1_epi8('(');
        const __m128i close = _mm_set1_epi8(')');
        for (; q + 16 <= size; q += 16) {
            const __m128i block = _mm_loadu_si128(reinterpret_cast<const __m128i*>(text + q));
            const unsigned opens = static_cast<unsigned>(_mm_movemask_epi8(_mm_cmpeq_epi8(block, open)));
            const unsigned closes = static_cast<unsigned>(_mm_movemask_epi8(_mm_cmpeq_epi8(block, close)));
            const int closeCount = bitCount16(closes);
            if (closeCount < depth) {
                depth += bitCount16(opens) - closeCount;
                continue;
            }
            for (unsigned parens = opens | closes; parens != 0; parens &= parens - 1) {
                const unsigned bit = parens & (~parens + 1);
                if (opens & bit)
                    ++depth;
                else if (--depth == 0)
                    return q + static_cast<size_t>(__builtin_ctz(bit));
            }
        }
#endif
        for (; q < size; ++q) {
            if (text[q] == '(')
                ++depth;
            else if (text[q] == ')' && --depth == 0)
                return q;
        }
        return size;
    }

    // A count followed by "(": long lists and every raw binary list become one List token.
    bool readLongList(Token* t, long long count) {
        const std::string& s = *m_text;
        size_t p = m_pos;
        p = skipBlanks(s, p);
        if (p >= s.size() || s[p] != '(') return true;
        const size_t rawBytes =
            m_options.binary ? rawItemBytes(m_previousWord, m_options.labelBytes, m_options.scalarBytes) : 0;
        auto span = std::make_shared<ListSpan>();
        span->text = m_text;
        span->begin = p + 1;
        span->count = count;
        if (rawBytes > 0) {
            const unsigned long long bytes = static_cast<unsigned long long>(count) * rawBytes;
            if (takesElided(span->begin, bytes)) {
                span->itemBytes = rawBytes;
                span->end = span->begin;
                span->external = m_elided->data;
                span->externalBytes = m_elided->bytes;
                m_elidedTaken = true;
                m_pos = span->end + 1;
                t->kind = TokenKind::List;
                t->list = std::move(span);
                return true;
            }
            if (bytes >= s.size() - span->begin || s[span->begin + bytes] != ')')
                return fail("a binary list of " + t->text + " items does not fit the file");
            span->itemBytes = rawBytes;
            span->end = span->begin + static_cast<size_t>(bytes);
        } else {
            if (count < m_options.longListItems) return true;
            const size_t q = closingParenthesis(s, span->begin);
            if (q >= s.size()) return fail("a list of " + t->text + " items is not closed");
            span->end = q;
        }
        m_pos = span->end + 1;
        t->kind = TokenKind::List;
        t->list = std::move(span);
        return true;
    }

    // Whether the binary list of `bytes` starting at begin is the one cut out of the text.
    bool takesElided(size_t begin, unsigned long long bytes) const {
        const std::string& s = *m_text;
        return m_elided && !m_elidedTaken && begin == m_elided->at && bytes == m_elided->bytes && begin < s.size() &&
               s[begin] == ')';
    }

    std::shared_ptr<const std::string> m_text;
    size_t m_pos;
    const ParseOptions& m_options;
    const ElidedList* m_elided;
    bool m_elidedTaken = false;
    std::string m_error;
    std::string m_previousWord;
    Token m_pending;
    bool m_hasPending = false;
    bool m_longLists = true;
};

size_t headerEnd(const std::string& text, size_t* start) {
    auto shared = std::shared_ptr<const std::string>(&text, [](const std::string*) {});
    const ParseOptions options;
    Lexer lexer(shared, 0, options);
    Token t;
    int depth = 0;
    bool inHeader = false;
    size_t before = 0;
    while (lexer.next(&t)) {
        if (!inHeader) {
            if (t.isWord("FoamFile")) {
                inHeader = true;
                if (start) *start = before;
            }
            before = lexer.position();
            continue;
        }
        if (t.isPunct('{')) {
            ++depth;
        } else if (t.isPunct('}')) {
            if (depth == 0) return std::string::npos;
            if (--depth == 0) return lexer.position();
        } else if (depth == 0) {
            return std::string::npos;
        }
    }
    return inHeader ? std::string::npos : 0;
}

// ------------------------------------------------------------------------------------------
// Tokens as text.

std::string joinTokens(const std::vector<Token>& tokens, size_t first) {
    std::string out;
    bool glue = true;
    for (size_t i = first; i < tokens.size(); ++i) {
        const Token& t = tokens[i];
        const bool closing = t.kind == TokenKind::Punct && (t.punct == ')' || t.punct == ']' || t.punct == ';');
        if (!glue && !closing) out += ' ';
        switch (t.kind) {
            case TokenKind::Punct: out += t.punct; break;
            case TokenKind::String: out += '"' + t.text + '"'; break;
            case TokenKind::Variable: out += '$' + t.text; break;
            case TokenKind::Directive: out += '#' + t.text; break;
            case TokenKind::Verbatim: out += "#{" + t.text + "#}"; break;
            case TokenKind::List: out += std::to_string(t.list->count) + "(...)"; break;
            default: out += t.text; break;
        }
        glue = t.kind == TokenKind::Punct && (t.punct == '(' || t.punct == '[');
    }
    return out;
}

// ------------------------------------------------------------------------------------------
// Patterns.

struct PatternMatcher::Compiled {
    std::regex expression;
};

namespace {
// Repeat counts ("{n}", "{n,m}") of at most four digits: the regex compiler overflows on longer
// ones, and no key is that long.
bool repeatCountsBounded(const std::string& expression) {
    for (size_t open = expression.find('{'); open != std::string::npos; open = expression.find('{', open + 1)) {
        size_t digits = 0;
        for (size_t i = open + 1; i < expression.size() && expression[i] != '}'; ++i) {
            const bool digit = expression[i] >= '0' && expression[i] <= '9';
            digits = digit ? digits + 1 : 0;
            if (digits > 4) return false;
        }
    }
    return true;
}
}  // namespace

PatternMatcher::PatternMatcher(const std::string& pattern) {
    if (pattern.size() > MAX_PATTERN) return;
    std::string expression = pattern;
    auto flags = std::regex::extended | std::regex::nosubs;
#ifdef __GLIBCXX__
    // Matched by the engine that follows all alternatives at once: the default one backtracks,
    // and a key of nested repeats (".??????*??") then takes hours on a ten-letter name.
    flags |= std::regex_constants::__polynomial;
#endif
    if (expression.compare(0, 4, "(?i)") == 0) {
        expression = expression.substr(4);
        flags |= std::regex::icase;
    }
    if (!repeatCountsBounded(expression)) return;
    try {
        m_compiled = std::make_unique<Compiled>(Compiled{std::regex(expression, flags)});
    } catch (const std::exception&) {
        m_compiled.reset();
    }
}

PatternMatcher::~PatternMatcher() = default;
PatternMatcher::PatternMatcher(PatternMatcher&&) noexcept = default;

bool PatternMatcher::matches(const std::string& name) const {
    // The regex engine recurses per character: names beyond any real key are not matched.
    if (!m_compiled || name.size() > MAX_PATTERN) return false;
    try {
        return std::regex_match(name, m_compiled->expression);
    } catch (const std::exception&) {
        return false;
    }
}

bool patternMatches(const std::string& pattern, const std::string& name) { return PatternMatcher(pattern).matches(name); }

// ------------------------------------------------------------------------------------------
// Dictionary.

namespace {

std::unique_ptr<Entry> cloneEntry(const Entry& e, const Dictionary* parent) {
    auto copy = std::make_unique<Entry>();
    copy->key = e.key;
    copy->pattern = e.pattern;
    copy->tokens = e.tokens;
    copy->unresolved = e.unresolved;
    if (e.dict) {
        copy->dict = std::make_unique<Dictionary>(parent);
        copy->dict->copyEntriesFrom(*e.dict, MERGE);
    }
    return copy;
}

void reparent(Entry& e, const Dictionary* parent) {
    if (e.dict) e.dict->setParent(parent);
}

}  // namespace

const Entry* Dictionary::findLiteral(const std::string& key) const {
    for (const auto& e : m_entries)
        if (e->key == key) return e.get();
    return nullptr;
}

const Entry* Dictionary::find(const std::string& key, bool recursive) const {
    for (const Dictionary* d = this; d; d = recursive ? d->m_parent : nullptr) {
        if (const Entry* e = d->findLiteral(key)) return e;
        for (auto it = d->m_entries.rbegin(); it != d->m_entries.rend(); ++it)
            if ((*it)->pattern && patternMatches((*it)->key, key)) return it->get();
    }
    return nullptr;
}

// $-names are looked up by their literal keys (no patterns), here and then outwards.
const Entry* Dictionary::findLiteralUp(const std::string& key) const {
    for (const Dictionary* d = this; d; d = d->m_parent)
        if (const Entry* e = d->findLiteral(key)) return e;
    return nullptr;
}

const Entry* Dictionary::findDotScoped(const std::string& name) const {
    // Called for names that begin with ".": every further "." goes one level up.
    const Dictionary* d = this;
    size_t i = 1;
    for (; i < name.size() && name[i] == '.'; ++i) {
        d = d->m_parent;
        if (!d) return nullptr;
    }
    const std::string rest = name.substr(i);
    const size_t dot = rest.find('.');
    if (dot == std::string::npos) return d->findLiteral(rest);
    const Entry* e = d->findLiteral(rest.substr(0, dot));
    if (!e || !e->dict) return e;
    return e->dict->findDotScoped(rest.substr(dot));
}

const Entry* Dictionary::findScoped(const std::string& name) const {
    if (name.empty()) return nullptr;
    if (name[0] == ':') {
        const Dictionary* top = this;
        while (top->m_parent) top = top->m_parent;
        return top->findDotScoped("." + name.substr(1));
    }
    if (name.find('/') != std::string::npos) {
        const Dictionary* d = this;
        size_t start = 0;
        if (name[0] == '/') {
            while (d->m_parent) d = d->m_parent;
            start = 1;
        }
        while (true) {
            const size_t slash = name.find('/', start);
            const std::string part = name.substr(start, slash == std::string::npos ? std::string::npos : slash - start);
            if (slash == std::string::npos) return d->findLiteral(part);
            if (part == "..") {
                d = d->m_parent;
                if (!d) return nullptr;
            } else if (!part.empty() && part != ".") {
                const Entry* e = d->findLiteral(part);
                if (!e || !e->dict) return nullptr;
                d = e->dict.get();
            }
            start = slash + 1;
        }
    }
    if (name[0] == '.') return findDotScoped(name);
    size_t dot = name.find('.');
    if (dot == std::string::npos) return findLiteralUp(name);
    const Entry* e = findLiteralUp(name.substr(0, dot));
    // Keys may hold dots themselves: try "a.b", "a.b.c", ... until one names a dictionary.
    while (!e) {
        dot = name.find('.', dot + 1);
        e = findLiteralUp(name.substr(0, dot));
        if (dot == std::string::npos) return e;
        if (e && !e->dict) e = nullptr;
    }
    if (!e->dict) return e;
    return e->dict->findDotScoped(name.substr(dot));
}

const Dictionary* Dictionary::subDict(const std::string& key) const {
    const Entry* e = find(key, false);
    return e ? e->dict.get() : nullptr;
}

std::string Dictionary::text(const std::string& key) const {
    const Entry* e = find(key, false);
    return e && !e->dict ? joinTokens(e->tokens) : std::string();
}

Entry* Dictionary::add(std::unique_ptr<Entry> entry, int inputMode) {
    for (auto& existing : m_entries) {
        if (existing->key != entry->key) continue;
        if (inputMode == PROTECT || inputMode == WARN || inputMode == ERROR) return existing.get();
        if (inputMode == MERGE && existing->dict && entry->dict) {
            for (auto& e : entry->dict->m_entries) {
                reparent(*e, existing->dict.get());
                existing->dict->add(std::move(e), MERGE);
            }
            return existing.get();
        }
        reparent(*entry, this);
        existing = std::move(entry);
        return existing.get();
    }
    reparent(*entry, this);
    m_entries.push_back(std::move(entry));
    return m_entries.back().get();
}

void Dictionary::remove(const std::string& keyOrPattern) {
    for (auto it = m_entries.begin(); it != m_entries.end();) {
        if ((*it)->key == keyOrPattern)
            it = m_entries.erase(it);
        else
            ++it;
    }
}

void Dictionary::copyEntriesFrom(const Dictionary& other, int inputMode) {
    if (&other == this) return;
    std::vector<std::unique_ptr<Entry>> copies;
    for (const auto& e : other.m_entries) copies.push_back(cloneEntry(*e, this));
    for (auto& c : copies) add(std::move(c), inputMode);
}

// ------------------------------------------------------------------------------------------
// Parser.

class Parser::Impl {
public:
    Impl(ParseOptions options, std::vector<Problem>* problems) : m_options(std::move(options)), m_problems(problems) {}

    bool parseBody(Lexer& lexer, const std::string& file, Dictionary* dict, bool braced, int depth);
    bool parseEntryList(Lexer& lexer, const std::string& file, Dictionary* dict, long long* count);
    bool parseFileInto(const std::string& file, Dictionary* dict, int depth);

    std::vector<std::string> includeStack;
    const ParseOptions& options() const { return m_options; }

private:
    void problem(const std::string& message, bool fatal, bool info = false) {
        if (m_problems->size() < 100) m_problems->push_back({fatal, info, message});
    }
    // A name that cannot be resolved where a file of the OpenFOAM installation was left unread
    // (#includeEtc) may well be defined there: a note, not an error in the file.
    void undefinedVariable(const Dictionary* dict, const std::string& message) {
        for (const Dictionary* d = dict; d; d = d->parent()) {
            if (!d->skippedEtcIncludes().empty()) {
                problem(message + " (it may come from the unread file " + d->skippedEtcIncludes().front() + ")", false, true);
                return;
            }
        }
        problem(message, false);
    }
    bool lexError(const Lexer& lexer, const std::string& file) {
        problem(lexer.error().empty() ? "unexpected end of file in " + file : lexer.error() + " in " + file, true);
        return false;
    }
    bool readValue(Lexer& lexer, const std::string& file, Dictionary* dict, Entry* entry);
    bool directive(Lexer& lexer, const std::string& file, Dictionary* dict, const std::string& name, int depth);
    bool expandInto(const Dictionary* dict, const std::string& name, std::vector<Token>* out);
    void appendDictTokens(const Dictionary& d, std::vector<Token>* out);
    static size_t treeSize(const Dictionary& d);
    std::string includePath(const std::string& raw, const std::string& file, const Dictionary* dict);
    std::string caseFolder(const std::string& file) {
        if (m_options.caseFolder.empty()) m_options.caseFolder = foampath::caseFolderOf(file, *m_options.files);
        return m_options.caseFolder;
    }
    bool countTokens(size_t n, const std::string& file) {
        m_totalTokens += n;
        if (m_totalTokens <= MAX_TOTAL_TOKENS) return true;
        problem("too many tokens after substitution in " + file, true);
        return false;
    }

    ParseOptions m_options;
    std::vector<Problem>* m_problems;
    int m_inputMode = MERGE;
    size_t m_totalTokens = 0;
};

size_t Parser::Impl::treeSize(const Dictionary& d) {
    size_t n = 0;
    for (const auto& e : d.entries()) n += 1 + (e->dict ? treeSize(*e->dict) : e->tokens.size());
    return n;
}

void Parser::Impl::appendDictTokens(const Dictionary& d, std::vector<Token>* out) {
    Token open;
    open.kind = TokenKind::Punct;
    open.punct = '{';
    out->push_back(open);
    for (const auto& e : d.entries()) {
        Token key;
        key.kind = e->pattern ? TokenKind::String : TokenKind::Word;
        key.text = e->key;
        out->push_back(key);
        if (e->dict) {
            appendDictTokens(*e->dict, out);
        } else {
            out->insert(out->end(), e->tokens.begin(), e->tokens.end());
            Token end;
            end.kind = TokenKind::Punct;
            end.punct = ';';
            out->push_back(end);
        }
    }
    Token close = open;
    close.punct = '}';
    out->push_back(close);
}

bool Parser::Impl::expandInto(const Dictionary* dict, const std::string& name, std::vector<Token>* out) {
    const Entry* e = dict->findScoped(name);
    if (!e || !e->unresolved.empty()) return false;
    if (e->dict)
        appendDictTokens(*e->dict, out);
    else
        out->insert(out->end(), e->tokens.begin(), e->tokens.end());
    return true;
}

bool Parser::Impl::readValue(Lexer& lexer, const std::string& file, Dictionary* dict, Entry* entry) {
    int depth = 0;
    Token t;
    while (true) {
        if (!lexer.next(&t)) {
            if (!lexer.error().empty()) return lexError(lexer, file);
            // An entry cut off by the end of the file ends there.
            return true;
        }
        if (t.kind == TokenKind::Punct) {
            if (t.punct == ';' && depth == 0) return true;
            if (t.punct == '}' && depth == 0) {
                // The dictionary closes around an entry without ";".
                lexer.putBack(std::move(t));
                return true;
            }
            if (t.punct == '(' || t.punct == '[' || t.punct == '{') ++depth;
            if (t.punct == ')' || t.punct == ']' || t.punct == '}') --depth;
        }
        if (t.kind == TokenKind::Variable) {
            const size_t before = entry->tokens.size();
            if (!expandInto(dict, t.text, &entry->tokens)) {
                if (entry->unresolved.empty()) {
                    entry->unresolved = "$" + t.text;
                    undefinedVariable(dict, "Undefined variable $" + t.text + " in entry " + entry->key + " of " + file);
                }
            }
            if (!countTokens(entry->tokens.size() - before, file)) return false;
            if (entry->tokens.size() > MAX_ENTRY_TOKENS) {
                problem("entry " + entry->key + " is too long after substitution in " + file, true);
                return false;
            }
            continue;
        }
        if (t.kind == TokenKind::Directive) {
            // #calc, #eval, #codeStream ...: the value needs evaluation, which is not done here.
            Token arg;
            if (lexer.peek(&arg) && (arg.kind == TokenKind::String || arg.kind == TokenKind::Verbatim)) lexer.next(&arg);
            if (entry->unresolved.empty()) {
                entry->unresolved = "#" + t.text;
                problem("Entry " + entry->key + " needs #" + t.text + ", which is not evaluated: its value is undefined. File basename is " + file,
                        false, true);
            }
            continue;
        }
        if (!countTokens(1, file)) return false;
        entry->tokens.push_back(std::move(t));
        if (entry->tokens.size() > MAX_ENTRY_TOKENS) {
            problem("entry " + entry->key + " is too long in " + file, true);
            return false;
        }
    }
}

std::string Parser::Impl::includePath(const std::string& raw, const std::string& file, const Dictionary* dict) {
    std::string name = raw;
    const std::string root = caseFolder(file);
    const std::pair<const char*, std::string> tags[] = {
        {"<case>", root}, {"<system>", root + "/system"}, {"<constant>", root + "/constant"}};
    // A path that starts at the case folder is complete already: the case folder may be a relative
    // path (a case opened as "run/case.foam"), which must not be taken again from the file's folder.
    bool fromCaseFolder = name == "$FOAM_CASE" || name.compare(0, 11, "$FOAM_CASE/") == 0 ||
                          name.compare(0, 12, "${FOAM_CASE}") == 0;
    for (const auto& [tag, folder] : tags) {
        const size_t n = std::string(tag).size();
        if (name.compare(0, n, tag) == 0) {
            name = folder + name.substr(n);
            fromCaseFolder = true;
        }
    }
    // $FOAM_CASE and $-names of the dictionary.
    std::string out;
    for (size_t i = 0; i < name.size();) {
        if (name[i] != '$') {
            out += name[i++];
            continue;
        }
        size_t start = i + 1;
        size_t end = start;
        std::string var;
        if (start < name.size() && name[start] == '{') {
            end = name.find('}', start);
            if (end == std::string::npos) return raw;
            var = name.substr(start + 1, end - start - 1);
            ++end;
        } else {
            while (end < name.size() && (std::isalnum(static_cast<unsigned char>(name[end])) || name[end] == '_')) ++end;
            var = name.substr(start, end - start);
        }
        if (var == "FOAM_CASE") {
            out += root;
        } else if (const Entry* e = dict->findScoped(var); e && !e->dict) {
            std::string value = joinTokens(e->tokens);
            if (e->tokens.size() == 1 && e->tokens[0].kind == TokenKind::String) value = e->tokens[0].text;
            out += value;
        } else {
            out += name.substr(i, end - i);
        }
        i = end;
    }
    return foampath::join(fromCaseFolder ? std::string() : foampath::folderOf(file), out);
}

namespace {

const char* const CONSTRAINT_TYPES[] = {"cyclic",         "cyclicAMI",        "cyclicACMI",
                                         "cyclicSlip",     "empty",            "nonuniformTransformCyclic",
                                         "processor",      "processorCyclic",  "symmetryPlane",
                                         "symmetry",       "wedge"};

// The entries of caseDicts/setConstraintTypes: one group entry per constraint type giving the
// patches of that type their own type.
void addConstraintTypeEntries(Dictionary* dict, int inputMode) {
    for (const char* type : CONSTRAINT_TYPES) {
        auto e = std::make_unique<Entry>();
        e->key = type;
        e->dict = std::make_unique<Dictionary>(dict);
        auto t = std::make_unique<Entry>();
        t->key = "type";
        Token word;
        word.text = type;
        t->tokens.push_back(word);
        e->dict->add(std::move(t), MERGE);
        dict->add(std::move(e), inputMode);
    }
}

}  // namespace

bool Parser::Impl::directive(Lexer& lexer, const std::string& file, Dictionary* dict, const std::string& name,
                             int depth) {
    Token arg;
    const bool include = name == "include";
    const bool optionalInclude = name == "includeIfPresent" || name == "sinclude" || name == "includeOptional";
    if (include || optionalInclude) {
        if (!lexer.next(&arg) || (arg.kind != TokenKind::String && arg.kind != TokenKind::Word)) {
            problem("#" + name + " without a file name in " + file, false);
            return lexer.error().empty() || lexError(lexer, file);
        }
        const std::string path = includePath(arg.text, file, dict);
        for (const std::string& open : includeStack) {
            if (open == path) {
                problem("Include cycle: " + path + " includes itself (from " + file + ")", true);
                return false;
            }
        }
        if (static_cast<int>(includeStack.size()) >= MAX_INCLUDE_DEPTH) {
            problem("Includes nested too deeply at " + path + " (from " + file + ")", true);
            return false;
        }
        if (!m_options.files->exists(path)) {
            if (include) problem("Cannot find include file " + path + " (from " + file + ")", false);
            return true;
        }
        return parseFileInto(path, dict, depth);
    }
    if (name == "includeEtc" || name == "includeEtcIfPresent") {
        if (!lexer.next(&arg)) return lexer.error().empty() || lexError(lexer, file);
        dict->noteEtcInclude(arg.text);
        const bool constraints = arg.text.find("setConstraintTypes") != std::string::npos;
        if (constraints) addConstraintTypeEntries(dict, m_inputMode);
        problem("#" + name + " \"" + arg.text + "\" is not read (files of the OpenFOAM installation are not read)" +
                    (constraints ? "; constraint patches take the behaviour of their type" : "") +
                    ". File basename is " + file,
                false, true);
        return true;
    }
    if (name == "inputMode") {
        if (!lexer.next(&arg)) return lexer.error().empty() || lexError(lexer, file);
        if (arg.text == "merge" || arg.text == "default") m_inputMode = MERGE;
        else if (arg.text == "overwrite") m_inputMode = OVERWRITE;
        else if (arg.text == "protect") m_inputMode = PROTECT;
        else if (arg.text == "warn") m_inputMode = WARN;
        else if (arg.text == "error") m_inputMode = ERROR;
        return true;
    }
    if (name == "remove") {
        if (!lexer.next(&arg)) return lexer.error().empty() || lexError(lexer, file);
        std::vector<Token> keys;
        if (arg.isPunct('(')) {
            while (lexer.next(&arg) && !arg.isPunct(')')) keys.push_back(arg);
        } else {
            keys.push_back(arg);
        }
        for (const Token& key : keys) {
            if (key.kind == TokenKind::String) {
                std::vector<std::string> matching;
                for (const auto& e : dict->entries())
                    if (patternMatches(key.text, e->key)) matching.push_back(e->key);
                for (const std::string& k : matching) dict->remove(k);
            } else {
                dict->remove(key.text);
            }
        }
        return true;
    }
    // Function inclusions and anything else: the line is passed over.
    if (name != "includeFunc" && name != "includeModel")
        problem("Directive #" + name + " is not supported; its line is passed over. File basename is " + file, false,
                true);
    lexer.skipLine();
    return true;
}

bool Parser::Impl::parseFileInto(const std::string& file, Dictionary* dict, int depth) {
    auto text = std::make_shared<std::string>();
    if (!m_options.files->read(file, text.get())) {
        problem("Cannot read " + file, true);
        return false;
    }
    includeStack.push_back(file);
    Lexer lexer(std::move(text), 0, m_options);
    const bool ok = parseBody(lexer, file, dict, false, depth);
    includeStack.pop_back();
    return ok;
}

bool Parser::Impl::parseBody(Lexer& lexer, const std::string& file, Dictionary* dict, bool braced, int depth) {
    if (depth > MAX_DICT_DEPTH) {
        problem("dictionaries nested too deeply in " + file, true);
        return false;
    }
    Token t;
    while (true) {
        if (!lexer.next(&t)) {
            if (!lexer.error().empty()) return lexError(lexer, file);
            if (!braced) return true;
            problem("unexpected end of file inside a dictionary in " + file, true);
            return false;
        }
        if (t.isPunct('}')) {
            if (braced) return true;
            problem("unexpected } in " + file, true);
            return false;
        }
        if (t.isPunct(';') || t.kind == TokenKind::Verbatim) continue;
        if (t.kind == TokenKind::Directive) {
            if (!directive(lexer, file, dict, t.text, depth)) return false;
            continue;
        }
        if (t.kind == TokenKind::Variable) {
            // "$name;" as an entry: the entries of the dictionary it names are merged in.
            const Entry* e = dict->findScoped(t.text);
            if (e && e->dict) {
                if (!countTokens(treeSize(*e->dict), file)) return false;
                dict->copyEntriesFrom(*e->dict, m_inputMode);
            } else
                undefinedVariable(dict, "Undefined variable $" + t.text + " in " + file);
            Token next;
            if (lexer.peek(&next) && next.isPunct(';')) lexer.next(&next);
            continue;
        }
        if (t.kind != TokenKind::Word && t.kind != TokenKind::String && t.kind != TokenKind::Number) {
            problem("unexpected " + joinTokens({t}) + " in " + file, true);
            return false;
        }
        auto entry = std::make_unique<Entry>();
        entry->key = t.text;
        entry->pattern = t.kind == TokenKind::String;
        Token next;
        if (lexer.peek(&next) && next.isPunct('{')) {
            lexer.next(&next);
            entry->dict = std::make_unique<Dictionary>(dict);
            if (!parseBody(lexer, file, entry->dict.get(), true, depth + 1)) {
                dict->add(std::move(entry), m_inputMode);
                return false;
            }
        } else if (!readValue(lexer, file, dict, entry.get())) {
            return false;
        }
        if (m_inputMode == ERROR && dict->findLiteral(entry->key))
            problem("entry " + entry->key + " is defined twice in " + file, false);
        dict->add(std::move(entry), m_inputMode);
    }
}

bool Parser::Impl::parseEntryList(Lexer& lexer, const std::string& file, Dictionary* dict, long long* count) {
    Token t;
    *count = -1;
    lexer.setLongLists(false);
    const bool read = lexer.next(&t);
    lexer.setLongLists(true);
    if (!read) return lexer.error().empty() ? false : lexError(lexer, file);
    long long announced = 0;
    if (t.kind == TokenKind::Number && isCount(t.text, &announced)) {
        *count = announced;
        if (!lexer.next(&t)) return lexer.error().empty() ? (announced == 0) : lexError(lexer, file);
    }
    if (!t.isPunct('(')) {
        problem("a list of entries was expected in " + file, true);
        return false;
    }
    while (true) {
        if (!lexer.next(&t)) {
            if (!lexer.error().empty()) return lexError(lexer, file);
            problem("the list of entries is not closed in " + file, true);
            return false;
        }
        if (t.isPunct(')')) {
            if (*count < 0) *count = static_cast<long long>(dict->entries().size());
            return true;
        }
        if (t.kind != TokenKind::Word && t.kind != TokenKind::String && t.kind != TokenKind::Number) {
            problem("unexpected " + joinTokens({t}) + " in the list of entries of " + file, true);
            return false;
        }
        auto entry = std::make_unique<Entry>();
        entry->key = t.text;
        if (!lexer.next(&t) || !t.isPunct('{')) {
            problem("entry " + entry->key + " is not a dictionary in " + file, true);
            return false;
        }
        entry->dict = std::make_unique<Dictionary>(dict);
        const bool ok = parseBody(lexer, file, entry->dict.get(), true, 1);
        // Entries keep their order and their duplicates here: the list is positional.
        dict->appendUnmerged(std::move(entry));
        if (!ok) return false;
    }
}

Parser::Parser(ParseOptions options) : m_impl(std::make_unique<Impl>(std::move(options), &m_problems)) {}
Parser::~Parser() = default;

bool Parser::parseFile(const std::string& fileName, Dictionary* dict) { return m_impl->parseFileInto(fileName, dict, 0); }

bool Parser::parseText(std::shared_ptr<const std::string> text, size_t offset, const std::string& fileName,
                       Dictionary* dict, const ElidedList* elided) {
    m_impl->includeStack.push_back(fileName);
    Lexer lexer(std::move(text), offset, m_impl->options(), elided);
    const bool ok = m_impl->parseBody(lexer, fileName, dict, false, 0);
    m_impl->includeStack.pop_back();
    m_elidedListTaken = lexer.elidedListTaken();
    return ok;
}

bool Parser::parseEntryList(std::shared_ptr<const std::string> text, size_t offset, const std::string& fileName,
                            Dictionary* dict, long long* announcedCount) {
    m_impl->includeStack.push_back(fileName);
    Lexer lexer(std::move(text), offset, m_impl->options());
    const bool ok = m_impl->parseEntryList(lexer, fileName, dict, announcedCount);
    m_impl->includeStack.pop_back();
    return ok;
}

std::string Parser::firstProblem() const {
    for (const Problem& p : m_problems)
        if (p.fatal) return p.message;
    return m_problems.empty() ? std::string() : m_problems.front().message;
}

}  // namespace foamdict
