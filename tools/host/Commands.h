#pragma once

#include <string>
#include <vector>

namespace ksphost {

// Where the program's messages go: standard output, or one line per error on stderr.
class Console {
public:
    virtual ~Console() = default;
    virtual void Out(const std::string& text) = 0;
    virtual void Error(const std::string& line) = 0;
};

constexpr int kExitOk = 0;
constexpr int kExitFailure = 1;
constexpr int kExitUsage = 2;

// Runs the command line args (without the program name); answers the exit status.
int RunHost(const std::vector<std::string>& args, Console& console);

} // namespace ksphost
