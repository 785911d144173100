#pragma once
#include <cstddef>
#include <memory>
#include <string>
#include <vector>

#include "io/FoamFileSource.h"

// The one reader of OpenFOAM dictionary text: a lexer and an entry tree with the directives
// (#include and its kin, #inputMode, #remove, code blocks) and $-substitutions resolved as
// OpenFOAM resolves them while reading. Long lists are not tokenised: they stay in the text
// they came from as one token that names their span, for the list parsers to read.
namespace foamdict {

enum class TokenKind { Word, Number, String, Punct, Variable, Directive, Verbatim, List };

// A list left in its source text: "count(" ... ")" with begin just behind the "(" and end on
// the ")". Binary lists hold count raw items of itemBytes each. A binary list whose bytes were
// read into a buffer of their own rather than into the text (see ElidedList) has begin == end
// and its bytes at external.
struct ListSpan {
    std::shared_ptr<const std::string> text;
    size_t begin = 0;
    size_t end = 0;
    long long count = 0;
    size_t itemBytes = 0;  // 0 for text lists
    const char* external = nullptr;
    size_t externalBytes = 0;
    const char* data() const { return external ? external : text->data() + begin; }
    size_t size() const { return external ? externalBytes : end - begin; }
};

// The raw bytes of one binary list, cut out of a text while it was read and put elsewhere: the
// text goes on at `at` with what followed them (the list's ")"). The reader takes them for the
// list whose items would have started at `at`, when that list has exactly `bytes` of them.
struct ElidedList {
    size_t at = 0;
    size_t bytes = 0;
    const char* data = nullptr;
};

struct Token {
    TokenKind kind = TokenKind::Word;
    char punct = 0;
    std::string text;  // words, numbers, strings (without quotes), names of variables and directives
    std::shared_ptr<ListSpan> list;
    bool isPunct(char c) const { return kind == TokenKind::Punct && punct == c; }
    bool isWord(const char* w) const { return kind == TokenKind::Word && text == w; }
};

class Dictionary;

struct Entry {
    std::string key;
    bool pattern = false;  // a quoted key: a regular expression matched against whole names
    std::unique_ptr<Dictionary> dict;  // set for dictionary entries
    std::vector<Token> tokens;         // the value of other entries, without the ";"
    // Why the value is not usable (an evaluation directive, an undefined variable); empty
    // when it is.
    std::string unresolved;
    bool isDict() const { return dict != nullptr; }
};

class Dictionary {
public:
    explicit Dictionary(const Dictionary* parent = nullptr) : m_parent(parent) {}
    Dictionary(const Dictionary&) = delete;
    Dictionary& operator=(const Dictionary&) = delete;

    const Dictionary* parent() const { return m_parent; }
    const std::vector<std::unique_ptr<Entry>>& entries() const { return m_entries; }

    // An entry of this dictionary by its literal key.
    const Entry* findLiteral(const std::string& key) const;
    // As OpenFOAM looks a keyword up: the literal key, else the quoted patterns from the last
    // one written, optionally in the enclosing dictionaries as well.
    const Entry* find(const std::string& key, bool recursive = false) const;
    // A $-name, by literal keys only: "a" (here or outwards), "a.b", ":a.b" (from the top),
    // "..a" (one level up), "a/b".
    const Entry* findScoped(const std::string& name) const;
    const Dictionary* subDict(const std::string& key) const;
    // The value of a plain entry as text, tokens joined by one blank; empty when missing.
    std::string text(const std::string& key) const;
    // The words of the "#includeEtc" files that were met in this dictionary, in order.
    const std::vector<std::string>& skippedEtcIncludes() const { return m_etcIncludes; }

    // Building.
    Entry* add(std::unique_ptr<Entry> entry, int inputMode);
    void remove(const std::string& keyOrPattern);
    void copyEntriesFrom(const Dictionary& other, int inputMode);
    // Adds at the end even when the key is there already (lists of named dictionaries).
    void appendUnmerged(std::unique_ptr<Entry> entry) {
        if (entry->dict) entry->dict->setParent(this);
        m_entries.push_back(std::move(entry));
    }
    void noteEtcInclude(const std::string& name) { m_etcIncludes.push_back(name); }
    Dictionary* mutableSubDict(Entry* entry) { return entry ? entry->dict.get() : nullptr; }
    void setParent(const Dictionary* parent) { m_parent = parent; }

private:
    const Entry* findDotScoped(const std::string& name) const;
    const Entry* findLiteralUp(const std::string& key) const;

    const Dictionary* m_parent;
    std::vector<std::unique_ptr<Entry>> m_entries;
    std::vector<std::string> m_etcIncludes;
};

// Whether a whole name matches a key written in quotes (POSIX extended expression; a leading
// "(?i)" ignores case). Invalid expressions match nothing.
bool patternMatches(const std::string& pattern, const std::string& name);

// A quoted key compiled once, for matching it against many names.
class PatternMatcher {
public:
    explicit PatternMatcher(const std::string& pattern);
    ~PatternMatcher();
    PatternMatcher(PatternMatcher&&) noexcept;
    bool matches(const std::string& name) const;

private:
    struct Compiled;
    std::unique_ptr<Compiled> m_compiled;  // null for an expression that does not compile
};
// The tokens of a value joined by single blanks (strings in double quotes, lists as "N(...)").
std::string joinTokens(const std::vector<Token>& tokens, size_t first = 0);

struct ParseOptions {
    const FoamFileSource* files = &FoamFileSource::disk();
    // The case folder for <case>, <system>, <constant> and $FOAM_CASE; found from the file's
    // path when empty.
    std::string caseFolder;
    bool binary = false;
    int labelBytes = 4;
    int scalarBytes = 8;
    // Lists of at least this many items are left in the text as one token.
    long long longListItems = 32;
};

// A problem met while reading; fatal ones stopped the read.
struct Problem {
    bool fatal = false;
    bool info = false;  // a note rather than an error
    std::string message;
};

class Parser {
public:
    explicit Parser(ParseOptions options = {});
    ~Parser();

    // Reads the text of fileName (through the file source) into dict.
    bool parseFile(const std::string& fileName, Dictionary* dict);
    // Reads text (named fileName for messages and relative includes) from offset on.
    bool parseText(std::shared_ptr<const std::string> text, size_t offset, const std::string& fileName,
                   Dictionary* dict, const ElidedList* elided = nullptr);
    // Whether the last parseText took its elided list for the list it stood for.
    bool elidedListTaken() const { return m_elidedListTaken; }
    // Reads the body of a file that is a list of named dictionaries ("N ( name { ... } ... )",
    // the boundary and zone files): one entry per item, in order. A list written without its
    // count, as OpenFOAM also reads it, announces the items it holds once it is read whole.
    bool parseEntryList(std::shared_ptr<const std::string> text, size_t offset, const std::string& fileName,
                        Dictionary* dict, long long* announcedCount);

    const std::vector<Problem>& problems() const { return m_problems; }
    // The first fatal problem, or the first problem, or "".
    std::string firstProblem() const;

    class Impl;

private:
    std::unique_ptr<Impl> m_impl;
    std::vector<Problem> m_problems;
    bool m_elidedListTaken = false;
};

// Finds the end of the FoamFile header in text: the offset behind its closing "}" (0 when the
// text has no header, npos when the header does not close); start receives the offset from
// which the header's text begins (behind anything written before it).
size_t headerEnd(const std::string& text, size_t* start = nullptr);

}  // namespace foamdict
