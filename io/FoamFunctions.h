#pragma once
#include <optional>
#include <vector>

#include "io/FoamDictionary.h"

// Functions of time that hand-written patches carry in place of a value ("uniformValue", "p0",
// "uniformInletValue"), evaluated where the file alone determines them.
namespace foamfunctions {

// The components of the function at `time`. Read are a bare value ("300", "(1 0 0)"), a
// "constant" one, and an inline "table" of (time value) pairs, which OpenFOAM interpolates
// linearly and, outside its times, clamps to its first or last value. `owner` is the dictionary
// holding the entry: its "outOfBounds" and "interpolationScheme" apply to the table. Empty when
// the function needs more than the file (other files, other kinds of function, another
// handling of the bounds), when a table is asked for without a time, or when it is malformed.
std::optional<std::vector<double>> valueAt(const std::vector<foamdict::Token>& tokens, const foamdict::Dictionary& owner,
                                           std::optional<double> time);

}  // namespace foamfunctions
