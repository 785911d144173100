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

// The run of digits that starts at p, read from the eight bytes at p: its length (8 when all
// eight are digits, the run may then go on) and, up to that length, its value.
inline unsigned digitRun8(const char* p, uint64_t* value) {
    uint64_t bytes;
    std::memcpy(&bytes, p, 8);  // p[0] in the lowest byte
    // Digit values per byte; a byte below '0' borrows from the bytes after it, which only
    // matters behind the first non-digit.
    const uint64_t digits = bytes - 0x3030303030303030ULL;
    const uint64_t nonDigits = ((digits + 0x7676767676767676ULL) | digits) & 0x8080808080808080ULL;
    const unsigned length = nonDigits ? trailingZeros(nonDigits) / 8 : 8;
    if (length == 0) {
        *value = 0;
        return 0;
    }
    // The digits moved to the top, as the last digits of eight with leading zeros.
    uint64_t v = digits << (8 * (8 - length));
    v = (v * 10 + (v >> 8)) & 0x00FF00FF00FF00FFULL;
    v = (v * 100 + (v >> 16)) & 0x0000FFFF0000FFFFULL;
    v = (v * 10000 + (v >> 32)) & 0xFFFFFFFFULL;
    *value = v;
    return length;
}

constexpr double POWERS_OF_TEN[] = {1e0,  1e1,  1e2,  1e3,  1e4,  1e5,  1e6,  1e7,  1e8,  1e9,  1e10, 1e11,
                                    1e12, 1e13, 1e14, 1e15, 1e16, 1e17, 1e18, 1e19, 1e20, 1e21, 1e22};

// parseDouble for the numbers OpenFOAM writes (at most seven digits before and seven behind the
// point, an exponent of at most three digits), their digits read eight at a time; needs 32
// readable bytes at p. nullptr when the number is not of that kind: parseDouble then reads it
// digit by digit. Where both read a number they compute the same double the same way.
inline const char* parseShortDouble(const char* p, double* value) {
    static constexpr uint64_t SCALE[] = {1, 10, 100, 1000, 10000, 100000, 1000000, 10000000};
    const char* q = p;
    const bool negative = *q == '-';
    if (*q == '+' || *q == '-') ++q;
    uint64_t whole = 0, fraction = 0;
    const unsigned wholeDigits = digitRun8(q, &whole);
    if (wholeDigits == 8) return nullptr;
    q += wholeDigits;
    unsigned fractionDigits = 0;
    if (*q == '.') {
        fractionDigits = digitRun8(q + 1, &fraction);
        if (fractionDigits == 8) return nullptr;
        q += 1 + fractionDigits;
    }
    if (wholeDigits + fractionDigits == 0) return nullptr;
    int exponent = -static_cast<int>(fractionDigits);
    if (*q == 'e' || *q == 'E') {
        const char* r = q + 1;
        const bool negativeExponent = *r == '-';
        if (*r == '+' || *r == '-') ++r;
        if (isDigit(*r)) {
            int e = 0;
            for (int k = 0; isDigit(*r); ++k, ++r) {
                if (k == 3) return nullptr;
                e = e * 10 + (*r - '0');
            }
            exponent += negativeExponent ? -e : e;
            q = r;
        }
    }
    if (exponent < -22 || exponent > 22) return nullptr;
    const double m = static_cast<double>(whole * SCALE[fractionDigits] + fraction);
    const double parsed = exponent < 0 ? m / POWERS_OF_TEN[-exponent] : m * POWERS_OF_TEN[exponent];
    *value = negative ? -parsed : parsed;
    return q;
}

// Parses a decimal floating-point number at [p, end): optional sign, digits with an optional
// fraction and exponent. No inf, nan or hexadecimal forms. Independent of the C locale.
// Returns the position behind the number, or nullptr when none could be read.
//
// Numbers of at most 19 significant digits whose value is m * 10^e with m <= 2^53 and
// |e| <= 22 (the numbers OpenFOAM writes) are converted by one correctly rounded multiplication
// or division of two exactly representable doubles (Clinger's fast path), which gives the same
// double as std::from_chars; all others go to std::from_chars.
inline const char* parseDouble(const char* p, const char* end, double* value) {
    if (end - p >= 32)
        if (const char* q = parseShortDouble(p, value)) return q;
    bool negative = false;
    if (p < end && (*p == '+' || *p == '-')) {
        negative = *p == '-';
        ++p;
    }
    if (p >= end || !(isDigit(*p) || *p == '.')) return nullptr;

    const char* q = p;
    uint64_t mantissa = 0;
    int significant = 0;
    int exponent = 0;
    bool anyDigit = false;
    auto take = [&](char c, bool fraction) {
        anyDigit = true;
        const unsigned digit = static_cast<unsigned>(c - '0');
        if (mantissa == 0 && digit == 0) {
            exponent -= fraction;
            return;
        }
        ++significant;
        if (significant <= 19) {
            mantissa = mantissa * 10 + digit;
            exponent -= fraction;
        }
    };
    while (q < end && isDigit(*q)) take(*q++, false);
    if (q < end && *q == '.') {
        ++q;
        while (q < end && isDigit(*q)) take(*q++, true);
    }
    if (q < end && (*q == 'e' || *q == 'E')) {
        const char* r = q + 1;
        bool negativeExponent = false;
        if (r < end && (*r == '+' || *r == '-')) {
            negativeExponent = *r == '-';
            ++r;
        }
        if (r < end && isDigit(*r)) {
            int e = 0;
            while (r < end && isDigit(*r)) {
                if (e < 100000) e = e * 10 + (*r - '0');
                ++r;
            }
            exponent += negativeExponent ? -e : e;
            q = r;
        }
    }
    if (anyDigit && significant <= 19 && mantissa <= (uint64_t(1) << 53) && exponent >= -22 && exponent <= 22) {
        const double m = static_cast<double>(mantissa);
        const double parsed = exponent < 0 ? m / POWERS_OF_TEN[-exponent] : m * POWERS_OF_TEN[exponent];
        *value = negative ? -parsed : parsed;
        return q;
    }
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

// parseLabel, reading the digits eight at a time where eight bytes are left before end: a label
// of up to seven digits then costs a few arithmetic steps instead of a loop over its digits.
inline const char* parseLabelWide(const char* p, const char* end, int32_t* value) {
    if (end - p >= 8) {
        uint64_t v = 0;
        const unsigned length = digitRun8(p, &v);
        if (length == 0) return nullptr;
        if (length < 8) {
            *value = static_cast<int32_t>(v);
            return p + length;
        }
    }
    return parseLabel(p, end, value);
}

}  // namespace ofnum
