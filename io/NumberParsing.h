#pragma once
#include <charconv>
#include <cstdint>

namespace ofnum {

inline bool isBlank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }
inline bool isSpaceOrTab(char c) { return c == ' ' || c == '\t'; }
inline bool isDigit(char c) { return c >= '0' && c <= '9'; }

// Parses a decimal floating-point number at [p, end): optional sign, digits with an optional
// fraction and exponent. No inf, nan or hexadecimal forms. Independent of the C locale.
// Returns the position behind the number, or nullptr when none could be read.
inline const char* parseDouble(const char* p, const char* end, double* value) {
    bool negative = false;
    if (p < end && (*p == '+' || *p == '-')) {
        negative = *p == '-';
        ++p;
    }
    if (p >= end || !(isDigit(*p) || *p == '.')) return nullptr;
    double parsed = 0.0;
    const auto res = std::from_chars(p, end, parsed, std::chars_format::general);
    if (res.ec != std::errc()) return nullptr;
    *value = negative ? -parsed : parsed;
    return res.ptr;
}

// Parses an unsigned decimal integer that fits a non-negative int32.
inline const char* parseLabel(const char* p, const char* end, int32_t* value) {
    if (p >= end || !isDigit(*p)) return nullptr;
    int64_t v = 0;
    while (p < end && isDigit(*p)) {
        v = v * 10 + (*p - '0');
        if (v > INT32_MAX) return nullptr;
        ++p;
    }
    *value = static_cast<int32_t>(v);
    return p;
}

}  // namespace ofnum
