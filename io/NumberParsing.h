#pragma once
#include <charconv>
#include <cstdint>
#include <cstring>

#if defined(_MSC_VER)
#include <intrin.h>
#endif

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

// Number of trailing zero bits of a non-zero value.
inline unsigned trailingZeros(uint64_t v) {
#if defined(_MSC_VER)
    unsigned long index = 0;
    _BitScanForward64(&index, v);
    return static_cast<unsigned>(index);
#else
    return static_cast<unsigned>(__builtin_ctzll(v));
#endif
}

// parseLabel, reading the digits eight at a time where eight bytes are left before end: a label
// of up to seven digits then costs a few arithmetic steps instead of a loop over its digits.
inline const char* parseLabelWide(const char* p, const char* end, int32_t* value) {
    if (end - p >= 8) {
        uint64_t bytes;
        std::memcpy(&bytes, p, 8);  // p[0] in the lowest byte
        // Digit values per byte; a byte below '0' borrows from the bytes after it, which only
        // matters behind the first non-digit.
        const uint64_t digits = bytes - 0x3030303030303030ULL;
        const uint64_t nonDigits = ((digits + 0x7676767676767676ULL) | digits) & 0x8080808080808080ULL;
        if (nonDigits != 0) {
            const unsigned length = trailingZeros(nonDigits) / 8;
            if (length == 0) return nullptr;
            // The digits moved to the top, as the last digits of eight with leading zeros.
            uint64_t v = digits << (8 * (8 - length));
            v = (v * 10 + (v >> 8)) & 0x00FF00FF00FF00FFULL;
            v = (v * 100 + (v >> 16)) & 0x0000FFFF0000FFFFULL;
            v = (v * 10000 + (v >> 32)) & 0xFFFFFFFFULL;
            *value = static_cast<int32_t>(v);
            return p + length;
        }
    }
    return parseLabel(p, end, value);
}

}  // namespace ofnum
