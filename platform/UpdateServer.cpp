#include "platform/HttpGet.h"

#include <cstdio>
#include <cstdlib>

namespace {

constexpr bool IsAsciiLetterOrDigit(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9');
}

// Splits "host" or "host:port" into the host's length and the port. Host names take letters,
// digits, '.', '-' and '_' only, so that the text cannot change the meaning of an address built
// around it (no '/', '@', spaces or brackets).
constexpr bool SplitServer(const char* text, size_t& hostLength, int& port) {
    if (text == nullptr || !IsAsciiLetterOrDigit(text[0])) {
        return false;
    }
    size_t n = 0;
    while (IsAsciiLetterOrDigit(text[n]) || text[n] == '.' || text[n] == '-' || text[n] == '_') {
        ++n;
    }
    if (n >= sizeof UpdateServer::host) {
        return false;
    }
    hostLength = n;
    port = 80;
    if (text[n] == '\0') {
        return true;
    }
    if (text[n] != ':') {
        return false;
    }
    const char* digits = text + n + 1;
    long value = 0;
    size_t count = 0;
    for (; digits[count] >= '0' && digits[count] <= '9'; ++count) {
        if (count == 5) {
            return false;
        }
        value = value * 10 + (digits[count] - '0');
    }
    if (count == 0 || digits[count] != '\0' || value < 1 || value > 65535) {
        return false;
    }
    port = static_cast<int>(value);
    return true;
}

constexpr bool IsWellFormedServer(const char* text) {
    size_t hostLength = 0;
    int port = 0;
    return SplitServer(text, hostLength, port);
}

static_assert(IsWellFormedServer(KSP_UPDATE_SERVER), "KSP_UPDATE_SERVER must be \"host\" or \"host:port\"");

bool ParseServer(const char* text, UpdateServer& out) {
    size_t hostLength = 0;
    int port = 80;
    if (!SplitServer(text, hostLength, port)) {
        return false;
    }
    const int length = static_cast<int>(hostLength);
    std::snprintf(out.host, sizeof out.host, "%.*s", length, text);
    out.port = port;
    if (port == 80) {
        std::snprintf(out.authority, sizeof out.authority, "%.*s", length, text);
    } else {
        std::snprintf(out.authority, sizeof out.authority, "%.*s:%d", length, text, port);
    }
    return true;
}

} // namespace

void ReadUpdateServer(UpdateServer& out) {
    if (!ParseServer(std::getenv("KSPHASER_UPDATE_SERVER"), out)) {
        ParseServer(KSP_UPDATE_SERVER, out);
    }
}
