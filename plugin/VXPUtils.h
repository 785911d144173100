#pragma once
#include <string>

namespace VXPUtils {
// Describes the toolchain that built the plug-in, for the log and the plug-in properties.
std::string compilerInfoString();
}  // namespace VXPUtils
