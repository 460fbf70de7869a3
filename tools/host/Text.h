#pragma once

#include <string>

namespace ksphost {

// Text without leading and trailing white space.
std::string Trimmed(const std::string& text);
// Equal after trimming, ignoring the case of ASCII letters.
bool SameText(const std::string& a, const std::string& b);
// The extension of a file name in lower case, without the dot; empty if there is none.
std::string LowerExtension(const std::string& path);
std::string Quoted(const std::string& text);
// Appends what printf makes of format and the arguments, cut at 1023 bytes.
__attribute__((format(printf, 2, 3))) void Append(std::string& out, const char* format, ...);

} // namespace ksphost
