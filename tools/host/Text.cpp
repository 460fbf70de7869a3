#include "tools/host/Text.h"

#include <cctype>
#include <cstdarg>
#include <cstdio>

namespace ksphost {

namespace {

char Lower(char c) {
    return static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
}

} // namespace

std::string Trimmed(const std::string& text) {
    size_t begin = 0;
    size_t end = text.size();
    while (begin < end && std::isspace(static_cast<unsigned char>(text[begin])) != 0) {
        ++begin;
    }
    while (end > begin && std::isspace(static_cast<unsigned char>(text[end - 1])) != 0) {
        --end;
    }
    return text.substr(begin, end - begin);
}

bool SameText(const std::string& a, const std::string& b) {
    const std::string x = Trimmed(a);
    const std::string y = Trimmed(b);
    if (x.size() != y.size()) {
        return false;
    }
    for (size_t i = 0; i < x.size(); ++i) {
        if (Lower(x[i]) != Lower(y[i])) {
            return false;
        }
    }
    return true;
}

std::string LowerExtension(const std::string& path) {
    const size_t slash = path.find_last_of("/\\");
    const size_t dot = path.find_last_of('.');
    if (dot == std::string::npos || (slash != std::string::npos && dot < slash)) {
        return std::string();
    }
    std::string extension = path.substr(dot + 1);
    for (char& c : extension) {
        c = Lower(c);
    }
    return extension;
}

std::string Quoted(const std::string& text) {
    return "'" + text + "'";
}

void Append(std::string& out, const char* format, ...) {
    char line[1024];
    va_list arguments;
    va_start(arguments, format);
    vsnprintf(line, sizeof line, format, arguments);
    va_end(arguments);
    out += line;
}

} // namespace ksphost
