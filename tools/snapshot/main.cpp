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
    "usage: ksphaser-snapshot OUT.png [--program N|NAME] [--set NAME=VALUE]...\n"
    "  --program  a factory program by number (0-9) or name\n"
    "  --set      a parameter by name: a number from 0 to 1 is the normalised value a host\n"
    "             sends; any other value is one of the texts the parameter shows, or text\n"
    "             the plug-in parses itself (e.g. Stages=8, Waveform=Sine, Manual=2000)\n";

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

// A number from 0 to 1, a text the parameter shows for one of its steps, or text it parses.
bool SetParameter(KSPhaser& phaser, const std::string& setting) {
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
        char* end = nullptr;
        const double number = std::strtod(value.c_str(), &end);
        if (end != value.c_str() && *end == '\0' && number >= 0.0 && number <= 1.0) {
            effect->setParameter(effect, i, static_cast<float>(number));
            return true;
        }
        if (parameter->Type() != kParameterContinuous) {
            for (double plain = parameter->Min(); plain <= parameter->Max(); plain += parameter->Step()) {
                char shown[kParameterTextCapacity];
                parameter->FormatDisplay(plain, false, shown, true);
                if (value == shown) {
                    effect->setParameter(effect, i, static_cast<float>(parameter->NormalizedOf(plain)));
                    return true;
                }
            }
        }
        std::string text = value;
        return effect->dispatcher(effect, effString2Parameter, i, 0, &text[0], 0.0f) == 1;
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
        } else if (std::strcmp(argv[i], "--set") == 0 && hasValue) {
            if (!SetParameter(*phaser, argv[++i])) {
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
