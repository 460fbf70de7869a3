// ksphaser-snapshot: paints the phaser's editor, without a window, for a program and parameter
// settings, and writes the panel to a PNG file.
#include "effect/KSPhaser.h"
#include "platform/headless/IGraphicsHeadless.h"
#include "raster/PIX_SysBitmap.h"
#include "tests/raster/TestPNGWriter.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>

namespace {

constexpr const char* kUsage =
    "usage: ksphaser-snapshot OUT.png [--program N|NAME] [--set NAME=TEXT]... [--set-normalized NAME=X]...\n"
    "  --program         a factory program by number (0-9) or name\n"
    "  --set             a stepped parameter to one of the texts it shows (Stages=8, Waveform=Sine)\n"
    "  --set-normalized  a parameter to the normalised value X from 0 to 1 that hosts send\n";

bool ParseIndex(const char* text, int count, int& index) {
    char* end = nullptr;
    const long value = std::strtol(text, &end, 10);
    if (end == text || *end != '\0' || value < 0 || value >= count) {
        return false;
    }
    index = static_cast<int>(value);
    return true;
}

bool SelectProgram(KSPhaser& phaser, const char* wanted) {
    int index = -1;
    if (!ParseIndex(wanted, phaser.PresetCount(), index)) {
        for (int i = 0; i < phaser.PresetCount() && index < 0; ++i) {
            index = std::strcmp(phaser.PresetName(i), wanted) == 0 ? i : -1;
        }
    }
    AEffect* effect = phaser.Descriptor();
    return index >= 0 && (effect->dispatcher(effect, effSetProgram, 0, index, nullptr, 0.0f), true);
}

// NAME=TEXT: a stepped parameter to the step that shows TEXT; with normalized, NAME=X from 0
// to 1 as a host sends it.
bool SetParameter(KSPhaser& phaser, const std::string& setting, bool normalized) {
    const size_t equals = setting.find('=');
    if (equals == std::string::npos) {
        return false;
    }
    const std::string name = setting.substr(0, equals);
    const std::string value = setting.substr(equals + 1);
    AEffect* effect = phaser.Descriptor();
    for (int i = 0; i < phaser.ParameterCount(); ++i) {
        const IParameter* parameter = phaser.ParameterAt(i);
        if (name != parameter->Name()) {
            continue;
        }
        if (normalized) {
            char* end = nullptr;
            const double x = std::strtod(value.c_str(), &end);
            if (end == value.c_str() || *end != '\0' || !(x >= 0.0 && x <= 1.0)) {
                return false;
            }
            effect->setParameter(effect, i, static_cast<float>(x));
            return true;
        }
        for (double plain = parameter->Min();
             parameter->Type() != kParameterContinuous && plain <= parameter->Max();
             plain += parameter->Step()) {
            char shown[kParameterTextCapacity];
            parameter->FormatDisplay(plain, false, shown, true);
            if (value == shown) {
                effect->setParameter(effect, i, static_cast<float>(parameter->NormalizedOf(plain)));
                return true;
            }
        }
        return false;
    }
    return false;
}

int Fail(const char* message, const char* detail) {
    std::fprintf(stderr, "ksphaser-snapshot: %s%s\n", message, detail);
    return 1;
}

} // namespace

int main(int argc, char** argv) {
    if (argc < 2 || std::strcmp(argv[1], "--help") == 0 || argv[1][0] == '-') {
        std::fputs(kUsage, argc < 2 || argv[1][0] == '-' ? stderr : stdout);
        return argc >= 2 && std::strcmp(argv[1], "--help") == 0 ? 0 : 2;
    }
    auto phaser = std::make_unique<KSPhaser>(nullptr);
    auto* editor = static_cast<IGraphicsHeadless*>(phaser->Editor());
    if (editor == nullptr || editor->Surface() == nullptr) {
        return Fail("the editor could not be made", "");
    }
    for (int i = 2; i < argc; ++i) {
        const bool hasValue = i + 1 < argc;
        if (std::strcmp(argv[i], "--program") == 0 && hasValue) {
            if (!SelectProgram(*phaser, argv[++i])) {
                return Fail("no such program: ", argv[i]);
            }
        } else if ((std::strcmp(argv[i], "--set") == 0 || std::strcmp(argv[i], "--set-normalized") == 0) &&
                   hasValue) {
            const bool normalized = argv[i][5] == '-';
            if (!SetParameter(*phaser, argv[++i], normalized)) {
                return Fail("cannot set ", argv[i]);
            }
        } else {
            std::fputs(kUsage, stderr);
            return 2;
        }
    }
    editor->MarkAllDirty();
    while (editor->RunFrame()) {
    }
    if (!WriteSnapshotPNG(*editor->Surface(), argv[1])) {
        return Fail("cannot write ", argv[1]);
    }
    return 0;
}
