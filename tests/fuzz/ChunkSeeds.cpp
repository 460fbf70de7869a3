// Writes the fuzzer's seed corpus: the phaser's own program and bank chunks for every factory
// program, for both host kinds, and bare states, each behind the mode byte the fuzzer reads.
#include "FuzzHost.h"

#include <cstdio>
#include <filesystem>
#include <string>

namespace {

bool WriteSeed(const std::string& path, uint8_t mode, const void* data, size_t size) {
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (file == nullptr) {
        return false;
    }
    const bool ok = std::fwrite(&mode, 1, 1, file) == 1 && std::fwrite(data, 1, size, file) == size;
    return std::fclose(file) == 0 && ok;
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: chunk_seeds DIRECTORY\n");
        return 2;
    }
    const std::string directory = argv[1];
    std::error_code error;
    std::filesystem::create_directories(directory, error);
    AEffect* effect = OpenInstance(FuzzHostCallback<false>, 44100.0f, 64);
    if (effect == nullptr) {
        std::fprintf(stderr, "chunk_seeds: the plug-in could not be created\n");
        return 1;
    }
    int written = 0;
    for (VstInt32 program = 0; program < effect->numPrograms; ++program) {
        effect->dispatcher(effect, effSetProgram, 0, program, nullptr, 0.0f);
        for (VstInt32 isProgram = 0; isProgram < 2; ++isProgram) {
            void* data = nullptr;
            const VstIntPtr size = effect->dispatcher(effect, effGetChunk, isProgram, 0, &data, 0.0f);
            if (size <= 0 || data == nullptr) {
                std::fprintf(stderr, "chunk_seeds: no chunk for program %d\n", program);
                return 1;
            }
            const auto bytes = static_cast<size_t>(size);
            const std::string stem =
                directory + "/p" + std::to_string(program) + (isProgram ? "-program" : "-bank");
            // Mode bits: 1 program chunk, 2 chunk-quirk host, 4 bare state at position 0.
            const uint8_t chunkMode = static_cast<uint8_t>(isProgram);
            bool ok = WriteSeed(stem, chunkMode, data, bytes) &&
                      WriteSeed(stem + "-quirk", chunkMode | 2, data, bytes);
            if (isProgram) {
                // The state alone starts after the 8-byte chunk header.
                ok = ok &&
                     WriteSeed(stem + "-state", 4 | (1 << 3), static_cast<uint8_t*>(data) + 8, bytes - 8);
            }
            if (!ok) {
                std::fprintf(stderr, "chunk_seeds: cannot write into %s\n", directory.c_str());
                return 1;
            }
            written += isProgram ? 3 : 2;
        }
    }
    effect->dispatcher(effect, effClose, 0, 0, nullptr, 0.0f);
    std::printf("%d seeds in %s\n", written, directory.c_str());
    return 0;
}
