#include "io/FoamFunctions.h"

#include <algorithm>
#include <utility>

#include "io/NumberParsing.h"

namespace foamfunctions {
namespace {

using foamdict::Token;
using foamdict::TokenKind;
using Value = std::vector<double>;

bool numberOf(const Token& token, double* number) {
    if (token.kind != TokenKind::Number || token.text.empty()) return false;
    const char* begin = token.text.data();
    const char* end = begin + token.text.size();
    return ofnum::parseDouble(begin, end, number) == end;
}

// A value at tokens[*at]: a number, or numbers in parentheses. *at moves behind it.
bool readValue(const std::vector<Token>& tokens, size_t* at, Value* value) {
    value->clear();
    double number = 0;
    if (*at < tokens.size() && numberOf(tokens[*at], &number)) {
        value->push_back(number);
        ++*at;
        return true;
    }
    if (*at >= tokens.size() || !tokens[*at].isPunct('(')) return false;
    for (size_t i = *at + 1; i < tokens.size(); ++i) {
        if (tokens[i].isPunct(')')) {
            *at = i + 1;
            return !value->empty();
        }
        if (!numberOf(tokens[i], &number)) return false;
        value->push_back(number);
    }
    return false;
}

struct Table {
    std::vector<double> times;
    std::vector<Value> values;
};

// "( (t0 v0) (t1 v1) ... )" from tokens[at] to the end; times must increase, as OpenFOAM demands, and every value
// must have as many components as the first.
std::optional<Table> readTable(const std::vector<Token>& tokens, size_t at) {
    if (at >= tokens.size() || !tokens[at].isPunct('(')) return std::nullopt;
    Table table;
    ++at;
    while (at < tokens.size() && tokens[at].isPunct('(')) {
        double time = 0;
        Value value;
        if (at + 1 >= tokens.size() || !numberOf(tokens[at + 1], &time)) return std::nullopt;
        at += 2;
        if (!readValue(tokens, &at, &value) || at >= tokens.size() || !tokens[at].isPunct(')')) return std::nullopt;
        ++at;
        if (!table.times.empty() && (time <= table.times.back() || value.size() != table.values.front().size()))
            return std::nullopt;
        table.times.push_back(time);
        table.values.push_back(std::move(value));
    }
    if (table.times.empty() || at + 1 != tokens.size() || !tokens[at].isPunct(')')) return std::nullopt;
    return table;
}

// A word entry of the dictionary, or `otherwise` when it is not written.
std::optional<std::string> wordEntry(const foamdict::Dictionary& owner, const char* key, const char* otherwise) {
    const foamdict::Entry* entry = owner.findLiteral(key);
    if (!entry) return std::string(otherwise);
    if (entry->dict || entry->tokens.size() != 1 || entry->tokens[0].kind != TokenKind::Word) return std::nullopt;
    return entry->tokens[0].text;
}

// OpenFOAM's linear interpolation: weights 1 - f and f between the last time before `time` and
// the next.
Value interpolate(const Table& table, double time) {
    if (time <= table.times.front()) return table.values.front();
    if (time > table.times.back()) return table.values.back();
    const size_t next = static_cast<size_t>(std::lower_bound(table.times.begin(), table.times.end(), time) - table.times.begin());
    const size_t before = next - 1;
    const double w0 = 1.0 - (time - table.times[before]) / (table.times[next] - table.times[before]);
    const double w1 = 1.0 - w0;
    Value value(table.values[next].size());
    for (size_t c = 0; c < value.size(); ++c) value[c] = w0 * table.values[before][c] + w1 * table.values[next][c];
    return value;
}

}  // namespace

std::optional<Value> valueAt(const std::vector<Token>& tokens, const foamdict::Dictionary& owner, std::optional<double> time) {
    if (tokens.empty()) return std::nullopt;
    size_t at = tokens[0].isWord("constant") ? 1 : 0;
    Value value;
    if (readValue(tokens, &at, &value)) {
        if (at != tokens.size()) return std::nullopt;
        return value;
    }
    if (!tokens[0].isWord("table") || !time) return std::nullopt;
    const std::optional<std::string> bounds = wordEntry(owner, "outOfBounds", "clamp");
    const std::optional<std::string> scheme = wordEntry(owner, "interpolationScheme", "linear");
    if (!bounds || !scheme || *scheme != "linear") return std::nullopt;
    const std::optional<Table> table = readTable(tokens, 1);
    if (!table) return std::nullopt;
    const bool outside = *time < table->times.front() || *time > table->times.back();
    // "error" stops OpenFOAM; "repeat" is left to the stand-in.
    if (outside && *bounds != "clamp" && *bounds != "warn") return std::nullopt;
    return interpolate(*table, *time);
}

}  // namespace foamfunctions
