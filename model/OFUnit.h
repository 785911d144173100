#pragma once
#include <array>
#include <cstdint>
#include <vector>

#include "core/Str.h"

// Physical dimensions of a field: the exponents of mass, length, time, temperature, amount of
// substance, electric current and luminous intensity, in this order.
class OFUnit {
public:
    static constexpr size_t EXPONENT_COUNT = 7;

    OFUnit() = default;

    static OFUnit fromBase(int8_t mass, int8_t length, int8_t time, int8_t temperature, int8_t moles,
                           int8_t current, int8_t luminousIntensity);
    // From the blank-separated tokens of a field's dimensions line, keyword included, as in
    // "dimensions [0 1 -1 0 0 0 0];", "dimensions [velocity];" or "dimensions [m^2/s^2];". A
    // form or name that is not known gives a dimensionless unit and clears *known.
    static OFUnit fromString(const std::vector<vx::Str>& tokens, bool* known = nullptr);

    // The unit text, for example "m s-1 " or "Kg m-3 ", or "DIMENSIONLESS".
    vx::Str translate() const;

    int8_t exponent(size_t i) const { return m_exponents[i]; }
    bool operator==(const OFUnit& other) const { return m_exponents == other.m_exponents; }
    bool operator!=(const OFUnit& other) const { return m_exponents != other.m_exponents; }

private:
    std::array<int8_t, EXPONENT_COUNT> m_exponents{};
};

// One term of a unit text: empty for exponent 0, "m " for 1, "m-2 " for -2.
vx::Str unitString(int8_t exponent, const vx::Str& symbol);
