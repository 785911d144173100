#include "model/OFUnit.h"

#include "io/Units.h"

#include <limits>

namespace {
const char* const SYMBOLS[OFUnit::EXPONENT_COUNT] = {"Kg", "m", "s", "K", "mol", "A", "cd"};
}

OFUnit OFUnit::fromBase(int8_t mass, int8_t length, int8_t time, int8_t temperature, int8_t moles,
                        int8_t current, int8_t luminousIntensity) {
    OFUnit unit;
    unit.m_exponents = {mass, length, time, temperature, moles, current, luminousIntensity};
    return unit;
}

OFUnit OFUnit::fromString(const std::vector<vx::Str>& tokens, bool* known) {
    if (known) *known = true;
    // Writers differ in the blanks around the brackets, so the unit is taken from the text
    // between "[" and "]" whatever the tokenisation: seven (or five) exponents, a named
    // dimension ("velocity") or a unit expression ("m^2/s^2").
    vx::Str line;
    for (const vx::Str& token : tokens) line += token + " ";
    const size_t open = line.find("[");
    if (open == vx::Str::npos) return OFUnit();
    const size_t close = line.find("]", open + 1);
    if (close == vx::Str::npos) return OFUnit();
    units::Dimension dimension;
    double factor = 1;
    if (!units::parseUnit(line.subStr(open + 1, close - open - 1).toUtf8(), &dimension, &factor)) {
        if (known) *known = false;
        return OFUnit();
    }
    OFUnit unit;
    for (size_t i = 0; i < EXPONENT_COUNT; ++i) {
        const double value = dimension[i];
        if (value != static_cast<double>(static_cast<int>(value)) || value < std::numeric_limits<int8_t>::min() ||
            value > std::numeric_limits<int8_t>::max()) {
            if (known) *known = false;
            return OFUnit();
        }
        unit.m_exponents[i] = static_cast<int8_t>(value);
    }
    return unit;
}

vx::Str OFUnit::translate() const {
    vx::Str text;
    for (size_t i = 0; i < EXPONENT_COUNT; ++i) text += unitString(m_exponents[i], SYMBOLS[i]);
    return text.isEmpty() ? vx::Str("DIMENSIONLESS") : text;
}

vx::Str unitString(int8_t exponent, const vx::Str& symbol) {
    if (exponent == 0) return vx::Str();
    if (exponent == 1) return vx::Str("%1 ").arg(symbol);
    return vx::Str("%1%2 ").arg(symbol).arg(static_cast<int>(exponent));
}
