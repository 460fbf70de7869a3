#pragma once

#include <cctype>
#include <cstring>

// [any] No lock. Whether the text after the last dot of fileName is "png", in any case: the
// image resources the editors can load.
inline bool IsPngFileName(const char* fileName) {
    const char* dot = fileName != nullptr ? std::strrchr(fileName, '.') : nullptr;
    if (dot == nullptr || std::strlen(dot + 1) != 3) {
        return false;
    }
    return std::tolower(static_cast<unsigned char>(dot[1])) == 'p' &&
           std::tolower(static_cast<unsigned char>(dot[2])) == 'n' &&
           std::tolower(static_cast<unsigned char>(dot[3])) == 'g';
}
