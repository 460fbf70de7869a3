// Stands in for the browser in the window tests: writes the address it is asked to open into
// the file that KSP_TEST_URL_LOG names.
#include <cstdio>
#include <cstdlib>

int main(int argc, char** argv) {
    const char* log = std::getenv("KSP_TEST_URL_LOG");
    if (argc < 2 || log == nullptr) {
        return 1;
    }
    std::FILE* file = std::fopen(log, "w");
    if (file == nullptr) {
        return 1;
    }
    std::fprintf(file, "%s\n", argv[1]);
    std::fclose(file);
    return 0;
}
