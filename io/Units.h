#pragma once
#include <array>
#include <string>

// Physical dimensions and units as OpenFOAM writes them: the seven exponents
// "[0 1 -1 0 0 0 0]", named dimensions "[velocity]", and unit expressions "[m^2/s^2]",
// "[kg/m^3]" or "[bar]" with their factor to SI.
namespace units {

// Exponents of mass, length, time, temperature, moles, current and luminous intensity.
using Dimension = std::array<double, 7>;

// Reads the text between the brackets of a dimensions entry or of a unit written after a
// value. factor is what a value in that unit is multiplied by to give SI. False for a name or
// form that is not known.
bool parseUnit(const std::string& text, Dimension* dimension, double* factor);

}  // namespace units
