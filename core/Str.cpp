#include "core/Str.h"

#include <algorithm>
#include <charconv>
#include <cstdint>
#include <cwctype>

namespace vx {
namespace {

// A byte that is not part of a valid UTF-8 sequence is kept as one character of this reserved
// range (lone low surrogates, which valid UTF-8 never holds), so that encoding gives the same
// byte back: any byte string survives the trip through Str unchanged.
constexpr char32_t RAW_BYTE_BASE = 0xDC00;

bool isRawByte(char32_t c) { return c >= RAW_BYTE_BASE + 0x80 && c <= RAW_BYTE_BASE + 0xFF; }

// Length of the valid UTF-8 sequence at text[i] (0 when it is not one) and its code point.
size_t utf8Sequence(const unsigned char* text, size_t length, size_t i, char32_t* code) {
    const unsigned char lead = text[i];
    size_t extra = 0;
    char32_t value = 0;
    char32_t smallest = 0;
    if (lead >= 0xC2 && lead < 0xE0) {
        extra = 1; value = lead & 0x1F; smallest = 0x80;
    } else if (lead >= 0xE0 && lead < 0xF0) {
        extra = 2; value = lead & 0x0F; smallest = 0x800;
    } else if (lead >= 0xF0 && lead < 0xF5) {
        extra = 3; value = lead & 0x07; smallest = 0x10000;
    } else {
        return 0;
    }
    if (i + extra >= length) return 0;
    for (size_t k = 1; k <= extra; ++k) {
        const unsigned char c = text[i + k];
        if ((c & 0xC0) != 0x80) return 0;
        value = (value << 6) | (c & 0x3F);
    }
    if (value < smallest || value > 0x10FFFF || (value >= 0xD800 && value <= 0xDFFF)) return 0;
    *code = value;
    return extra + 1;
}

std::u32string decodeUtf8(const char* text, size_t length) {
    const auto* bytes = reinterpret_cast<const unsigned char*>(text);
    std::u32string out;
    out.reserve(length);
    size_t i = 0;
    while (i < length) {
        if (bytes[i] < 0x80) {
            out.push_back(bytes[i++]);
            continue;
        }
        char32_t code = 0;
        const size_t taken = utf8Sequence(bytes, length, i, &code);
        if (taken == 0) {
            out.push_back(RAW_BYTE_BASE + bytes[i++]);
        } else {
            out.push_back(code);
            i += taken;
        }
    }
    return out;
}

bool isBlank(char32_t c) { return c == ' ' || (c >= 0x09 && c <= 0x0D); }

// Narrow ASCII copy of the text for number parsing; other characters stop any number.
std::string asciiText(const std::u32string& chars) {
    std::string out;
    out.reserve(chars.size());
    for (char32_t c : chars) out.push_back(c < 0x80 ? static_cast<char>(c) : '\x7f');
    return out;
}

// Leading white space, then an optional sign: returns the start of the digits and the sign.
const char* skipBlanksAndSign(const char* p, const char* end, bool* negative) {
    while (p < end && isBlank(static_cast<unsigned char>(*p))) ++p;
    *negative = false;
    if (p < end && (*p == '+' || *p == '-')) {
        *negative = *p == '-';
        ++p;
    }
    return p;
}

bool parseInteger(const std::u32string& chars, long long* value) {
    const std::string text = asciiText(chars);
    const char* end = text.data() + text.size();
    bool negative = false;
    const char* p = skipBlanksAndSign(text.data(), end, &negative);
    if (p == end || *p < '0' || *p > '9') return false;
    unsigned long long magnitude = 0;
    const auto res = std::from_chars(p, end, magnitude);
    if (res.ec != std::errc()) return false;
    constexpr unsigned long long limit = 1ULL << 63;
    if (negative ? magnitude > limit : magnitude >= limit) return false;
    *value = negative ? static_cast<long long>(0 - magnitude) : static_cast<long long>(magnitude);
    return true;
}

void appendUtf8(std::string& out, char32_t c) {
    const uint32_t u = c;
    if (u < 0x80) {
        out.push_back(static_cast<char>(u));
    } else if (u < 0x800) {
        out.push_back(static_cast<char>(0xC0 | (u >> 6)));
        out.push_back(static_cast<char>(0x80 | (u & 0x3F)));
    } else if (u < 0x10000) {
        out.push_back(static_cast<char>(0xE0 | (u >> 12)));
        out.push_back(static_cast<char>(0x80 | ((u >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (u & 0x3F)));
    } else if (u < 0x200000) {
        out.push_back(static_cast<char>(0xF0 | (u >> 18)));
        out.push_back(static_cast<char>(0x80 | ((u >> 12) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | ((u >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (u & 0x3F)));
    } else if (u < 0x4000000) {
        out.push_back(static_cast<char>(0xF8 | (u >> 24)));
        for (int shift = 18; shift >= 0; shift -= 6) out.push_back(static_cast<char>(0x80 | ((u >> shift) & 0x3F)));
    } else {
        out.push_back(static_cast<char>(0xFC | ((u >> 30) & 0x01)));
        for (int shift = 24; shift >= 0; shift -= 6) out.push_back(static_cast<char>(0x80 | ((u >> shift) & 0x3F)));
    }
}

struct Escape {
    size_t position;
    size_t length;
    int number;
};

std::vector<Escape> findEscapes(const std::u32string& s) {
    std::vector<Escape> escapes;
    for (size_t i = 0; i + 1 < s.size(); ++i) {
        if (s[i] != '%' || s[i + 1] < '0' || s[i + 1] > '9') continue;
        int number = static_cast<int>(s[i + 1] - '0');
        size_t length = 2;
        if (i + 2 < s.size() && s[i + 2] >= '0' && s[i + 2] <= '9') {
            number = number * 10 + static_cast<int>(s[i + 2] - '0');
            length = 3;
        }
        escapes.push_back({i, length, number});
        i += length - 1;
    }
    return escapes;
}

std::u32string pad(const std::u32string& text, int fieldWidth, char fillChar) {
    const size_t width = static_cast<size_t>(fieldWidth < 0 ? -static_cast<long long>(fieldWidth) : fieldWidth);
    if (text.size() >= width) return text;
    const std::u32string fill(width - text.size(), static_cast<unsigned char>(fillChar));
    return fieldWidth > 0 ? fill + text : text + fill;
}

}  // namespace

Str::Str(const char* text) {
    if (text) m_chars = decodeUtf8(text, std::char_traits<char>::length(text));
}

Str::Str(const std::string& text) : m_chars(decodeUtf8(text.data(), text.size())) {}

Str Str::fromUtf8(const std::string& text) { return Str(text); }


Str& Str::operator+=(const Str& other) {
    m_chars += other.m_chars;
    return *this;
}

Str Str::operator+(const Str& other) const { return Str(m_chars + other.m_chars); }

Str operator+(const char* left, const Str& right) { return Str(left) + right; }

std::string Str::toStdString() const { return toUtf8(); }

std::string Str::toUtf8() const {
    std::string out;
    out.reserve(m_chars.size());
    for (char32_t c : m_chars) {
        if (isRawByte(c)) {
            out.push_back(static_cast<char>(c - RAW_BYTE_BASE));
        } else {
            appendUtf8(out, c);
        }
    }
    return out;
}

double Str::toDouble(bool* ok) const {
    if (ok) *ok = false;
    const std::string text = asciiText(m_chars);
    const char* end = text.data() + text.size();
    bool negative = false;
    const char* p = skipBlanksAndSign(text.data(), end, &negative);
    // Only decimal numbers: no inf, nan or hexadecimal forms.
    if (p == end || !((*p >= '0' && *p <= '9') || *p == '.')) return 0.0;
    double value = 0.0;
    const auto res = std::from_chars(p, end, value, std::chars_format::general);
    if (res.ec != std::errc()) return 0.0;
    if (ok) *ok = true;
    return negative ? -value : value;
}

double Str::toDouble(double defaultValue) const {
    bool ok = false;
    const double value = toDouble(&ok);
    return ok ? value : defaultValue;
}

int Str::toInt(bool* ok) const {
    long long value = 0;
    const bool parsed = parseInteger(m_chars, &value) && value >= INT32_MIN && value <= INT32_MAX;
    if (ok) *ok = parsed;
    return parsed ? static_cast<int>(value) : 0;
}

int Str::toInt(int defaultValue) const {
    bool ok = false;
    const int value = toInt(&ok);
    return ok ? value : defaultValue;
}

unsigned int Str::toUInt(bool* ok) const {
    long long value = 0;
    const bool parsed = parseInteger(m_chars, &value) && value >= 0 && value <= 4294967295LL;
    if (ok) *ok = parsed;
    return parsed ? static_cast<unsigned int>(value) : 0u;
}

size_t Str::find(const Str& sub, size_t start) const {
    if (start > m_chars.size()) return npos;
    return m_chars.find(sub.m_chars, start);
}

bool Str::startsWith(const Str& prefix) const {
    return m_chars.size() >= prefix.m_chars.size() &&
           std::equal(prefix.m_chars.begin(), prefix.m_chars.end(), m_chars.begin());
}

bool Str::endsWith(const Str& suffix) const {
    return m_chars.size() >= suffix.m_chars.size() &&
           std::equal(suffix.m_chars.rbegin(), suffix.m_chars.rend(), m_chars.rbegin());
}

Str& Str::replace(const Str& before, const Str& after) {
    if (before.m_chars.empty()) return *this;
    std::u32string out;
    size_t pos = 0;
    while (true) {
        const size_t hit = m_chars.find(before.m_chars, pos);
        if (hit == std::u32string::npos) break;
        out.append(m_chars, pos, hit - pos);
        out += after.m_chars;
        pos = hit + before.m_chars.size();
    }
    out.append(m_chars, pos, std::u32string::npos);
    m_chars = std::move(out);
    return *this;
}

Str Str::toUpper() const {
    std::u32string out(m_chars);
    for (char32_t& c : out) c = static_cast<char32_t>(std::towupper(static_cast<wint_t>(c)));
    return Str(std::move(out));
}

Str Str::toLower() const {
    std::u32string out(m_chars);
    for (char32_t& c : out) c = static_cast<char32_t>(std::towlower(static_cast<wint_t>(c)));
    return Str(std::move(out));
}

Str Str::trimmed() const {
    size_t first = 0;
    size_t last = m_chars.size();
    while (first < last && isBlank(m_chars[first])) ++first;
    while (last > first && isBlank(m_chars[last - 1])) --last;
    return Str(m_chars.substr(first, last - first));
}

Str Str::subStr(size_t start, size_t length) const {
    if (start >= m_chars.size()) return Str();
    return Str(m_chars.substr(start, length));
}

std::vector<Str> Str::split(const Str& separators) const {
    std::vector<Str> tokens;
    const std::u32string& seps = separators.m_chars;
    size_t i = 0;
    while (i < m_chars.size()) {
        while (i < m_chars.size() && seps.find(m_chars[i]) != std::u32string::npos) ++i;
        const size_t start = i;
        while (i < m_chars.size() && seps.find(m_chars[i]) == std::u32string::npos) ++i;
        if (i > start) tokens.push_back(Str(m_chars.substr(start, i - start)));
    }
    return tokens;
}

Str Str::number(double value, char format, int precision) {
    char buffer[512];
    std::to_chars_result res{};
    char* const end = buffer + sizeof(buffer);
    const char lower = static_cast<char>(format | 0x20);
    const bool upper = format == 'F' || format == 'E' || format == 'G';
    if (lower == 'f' && (format == 'f' || format == 'F')) {
        res = std::to_chars(buffer, end, value, std::chars_format::fixed, precision < 0 ? 6 : precision);
    } else if (lower == 'e' && (format == 'e' || format == 'E')) {
        res = std::to_chars(buffer, end, value, std::chars_format::scientific, precision < 0 ? 6 : precision);
    } else {
        const int digits = (format == 'g' || format == 'G') && precision >= 0 ? precision : 6;
        res = std::to_chars(buffer, end, value, std::chars_format::general, digits);
    }
    if (res.ec != std::errc()) return Str("?");
    std::string text(buffer, res.ptr);
    if (upper) std::transform(text.begin(), text.end(), text.begin(), [](char c) { return c == 'e' ? 'E' : c == 'n' ? 'N' : c == 'i' ? 'I' : c == 'f' ? 'F' : c == 'a' ? 'A' : c; });
    return Str(text);
}

Str Str::arg(const Str& a, int fieldWidth, char fillChar) const {
    const std::vector<Escape> escapes = findEscapes(m_chars);
    if (escapes.empty()) return *this;
    int lowest = 100;
    for (const Escape& e : escapes) lowest = std::min(lowest, e.number);
    const std::u32string replacement = pad(a.m_chars, fieldWidth, fillChar);
    std::u32string out;
    size_t pos = 0;
    for (const Escape& e : escapes) {
        if (e.number != lowest) continue;
        out.append(m_chars, pos, e.position - pos);
        out += replacement;
        pos = e.position + e.length;
    }
    out.append(m_chars, pos, std::u32string::npos);
    return Str(std::move(out));
}

Str Str::arg(int a, int fieldWidth, char fillChar) const { return arg(static_cast<long long>(a), fieldWidth, fillChar); }

Str Str::arg(long long a, int fieldWidth, char fillChar) const {
    return arg(Str(std::to_string(a)), fieldWidth, fillChar);
}

Str Str::arg(unsigned long long a, int fieldWidth, char fillChar) const {
    return arg(Str(std::to_string(a)), fieldWidth, fillChar);
}

Str Str::arg(double a, int fieldWidth, char format, int precision, char fillChar) const {
    return arg(number(a, format, precision), fieldWidth, fillChar);
}

}  // namespace vx
