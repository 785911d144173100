#include "plugin/VXPUtils.h"

#include <ciso646>

namespace VXPUtils {

std::string compilerInfoString() {
    std::string text;
#if defined(__clang__)
    text = "Clang " + std::to_string(__clang_major__) + "." + std::to_string(__clang_minor__) + "." +
           std::to_string(__clang_patchlevel__);
#elif defined(__GNUC__)
    text = "GCC " + std::to_string(__GNUC__) + "." + std::to_string(__GNUC_MINOR__) + "." +
           std::to_string(__GNUC_PATCHLEVEL__);
#elif defined(_MSC_VER)
    text = "MSVC " + std::to_string(_MSC_VER);
#else
    text = "unknown compiler";
#endif
    text += ", C++: " + std::to_string(__cplusplus);
#if defined(__GLIBCXX__)
    text += " (libstdc++:" + std::to_string(__GLIBCXX__) + ")";
#elif defined(_LIBCPP_VERSION)
    text += " (libc++:" + std::to_string(_LIBCPP_VERSION) + ")";
#endif
    return text;
}

}  // namespace VXPUtils
