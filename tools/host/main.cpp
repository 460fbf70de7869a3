#include "tools/host/Commands.h"
#include "tools/host/System.h"

#include <cstdio>

namespace {

class StandardConsole : public ksphost::Console {
public:
    void Out(const std::string& text) override {
        std::fputs(text.c_str(), stdout);
        std::fflush(stdout);
    }
    void Error(const std::string& line) override {
        std::fprintf(stderr, "%s\n", line.c_str());
        std::fflush(stderr);
    }
};

} // namespace

int main(int argc, char** argv) {
    StandardConsole console;
    return ksphost::RunHost(ksphost::ProgramArguments(argc, argv), console);
}
