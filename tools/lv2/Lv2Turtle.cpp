// Writes the Turtle of the LV2 bundle (manifest.ttl, KSPhaser.ttl, presets.ttl) from the plug-in's
// own tables: it creates the plug-in through CreatePlugin() and describes its parameters as
// control ports and its factory programs as presets, so the bundle always says what the code does.
//   ksphaser-lv2-turtle BUNDLE_DIR
#include "core/ParameterText.h"
#include "core/PluginFactory.h"
#include "core/TextCopy.h"
#include "formats/lv2/Lv2Ports.h"
#include "graphics/GraphicsCaches.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iostream>
#include <memory>
#include <sstream>
#include <string>

namespace {

const char* const kPrefixes = "@prefix atom: <http://lv2plug.in/ns/ext/atom#> .\n"
                              "@prefix doap: <http://usefulinc.com/ns/doap#> .\n"
                              "@prefix foaf: <http://xmlns.com/foaf/0.1/> .\n"
                              "@prefix lv2: <http://lv2plug.in/ns/lv2core#> .\n"
                              "@prefix pset: <http://lv2plug.in/ns/ext/presets#> .\n"
                              "@prefix rdf: <http://www.w3.org/1999/02/22-rdf-syntax-ns#> .\n"
                              "@prefix rdfs: <http://www.w3.org/2000/01/rdf-schema#> .\n"
                              "@prefix state: <http://lv2plug.in/ns/ext/state#> .\n"
                              "@prefix time: <http://lv2plug.in/ns/ext/time#> .\n"
                              "@prefix ui: <http://lv2plug.in/ns/extensions/ui#> .\n"
                              "@prefix units: <http://lv2plug.in/ns/extensions/units#> .\n"
                              "@prefix urid: <http://lv2plug.in/ns/ext/urid#> .\n\n";

std::string Quoted(const char* text) {
    std::string out = "\"";
    for (const char* c = text; *c != '\0'; ++c) {
        if (*c == '"' || *c == '\\') {
            out += '\\';
        }
        out += *c;
    }
    return out + "\"";
}

// The shortest decimal that reads back as the same float, with a decimal point (a Turtle decimal,
// not an integer); an exponent only where no twelve decimals do.
std::string FloatLiteral(double value) {
    const auto single = static_cast<float>(value);
    char text[64] = {};
    for (int decimals = 1; decimals <= 12; ++decimals) {
        std::snprintf(text, sizeof text, "%.*f", decimals, static_cast<double>(single));
        if (std::strtof(text, nullptr) == single) {
            return text;
        }
    }
    std::snprintf(text, sizeof text, "%.9e", static_cast<double>(single));
    return text;
}

std::string Display(const IParameter& parameter, double plain) {
    char text[kParameterTextCapacity] = {};
    parameter.FormatDisplay(plain, false, text, true);
    return text;
}

// The units vocabulary's unit of a parameter whose port holds the number its display shows.
const char* UnitOf(const IParameter& parameter) {
    if (parameter.StepCount() > 0 || parameter.UnitScale() == 1.0) {
        return nullptr;
    }
    const std::string shown = Display(parameter, parameter.DefaultValue());
    double number = 0.0;
    const char* unit = nullptr;
    size_t length = 0;
    if (!ReadNumberWithUnit(shown.c_str(), number, unit, length)) {
        return nullptr;
    }
    const std::string name(unit, length);
    return name == "Hz" ? "units:hz" : (name == "%" ? "units:pc" : nullptr);
}

// A boolean shown as off and on is a toggle; other stepped parameters are enumerations of their
// display texts.
bool IsToggle(const IParameter& parameter) {
    if (parameter.Type() != kParameterBoolean) {
        return false;
    }
    return SameTextAnyCase(Display(parameter, 0.0).c_str(), "off") &&
           SameTextAnyCase(Display(parameter, 1.0).c_str(), "on");
}

std::string ControlPort(const IParameter& parameter, uint32_t index) {
    std::ostringstream port;
    const bool stepped = parameter.StepCount() > 0;
    auto number = [stepped, &parameter](double plain) {
        return stepped ? std::to_string(static_cast<int>(plain)) : FloatLiteral(parameter.UnitValue(plain));
    };
    port << "[\n        a lv2:InputPort, lv2:ControlPort ;\n        lv2:index " << index
         << " ;\n        lv2:symbol " << Quoted(kLv2ParameterSymbols[index]) << " ;\n        lv2:name "
         << Quoted(parameter.Name()) << " ;\n        lv2:default " << number(parameter.DefaultValue())
         << " ;\n        lv2:minimum " << number(parameter.Min()) << " ;\n        lv2:maximum "
         << number(parameter.Max());
    if (const char* unit = UnitOf(parameter)) {
        port << " ;\n        units:unit " << unit;
    }
    if (stepped) {
        port << " ;\n        lv2:portProperty lv2:integer, "
             << (IsToggle(parameter) ? "lv2:toggled" : "lv2:enumeration");
        for (int step = 0; step <= parameter.StepCount(); ++step) {
            const double plain = parameter.Min() + step;
            port << (step == 0 ? " ;\n        lv2:scalePoint " : " , ") << "[ rdfs:label "
                 << Quoted(Display(parameter, plain).c_str()) << " ; rdf:value " << number(plain) << " ]";
        }
    }
    port << "\n    ]";
    return port.str();
}

std::string AudioPort(uint32_t index, bool input, const char* symbol, const char* name) {
    std::ostringstream port;
    port << "[\n        a lv2:" << (input ? "InputPort" : "OutputPort")
         << ", lv2:AudioPort ;\n        lv2:index " << index << " ;\n        lv2:symbol " << Quoted(symbol)
         << " ;\n        lv2:name " << Quoted(name) << "\n    ]";
    return port.str();
}

std::string PluginDescription(IPluginBase& plugin) {
    std::ostringstream ttl;
    const int32_t version = plugin.Version();
    ttl << kPrefixes << "<" << kLv2PluginUri
        << ">\n    a lv2:Plugin, lv2:PhaserPlugin, doap:Project ;\n    doap:name "
        << Quoted(plugin.EffectName()) << " ;\n    doap:license <http://opensource.org/licenses/MIT> ;\n"
        << "    doap:maintainer [ foaf:name " << Quoted(plugin.MakerName()) << " ] ;\n"
        << "    lv2:minorVersion " << ((version >> 8) & 0xFF) << " ;\n    lv2:microVersion "
        << (version & 0xFF) << " ;\n    lv2:optionalFeature lv2:hardRTCapable, urid:map ;\n"
        << "    lv2:extensionData state:interface ;\n    ui:ui <" << kLv2UiUri << "> ;\n    lv2:port ";
    for (uint32_t i = 0; i < kLv2ParameterPortCount; ++i) {
        ttl << ControlPort(*plugin.ParameterAt(static_cast<int>(i)), i) << " , ";
    }
    ttl << AudioPort(kLv2AudioInPorts[0], true, "in_l", "In L") << " , "
        << AudioPort(kLv2AudioInPorts[1], true, "in_r", "In R") << " , "
        << AudioPort(kLv2AudioOutPorts[0], false, "out_l", "Out L") << " , "
        << AudioPort(kLv2AudioOutPorts[1], false, "out_r", "Out R") << " , [\n"
        << "        a lv2:InputPort, atom:AtomPort ;\n        atom:bufferType atom:Sequence ;\n"
        << "        atom:supports time:Position ;\n        lv2:designation lv2:control ;\n"
        << "        lv2:portProperty lv2:connectionOptional ;\n        lv2:index " << kLv2TransportPort
        << " ;\n        lv2:symbol \"control\" ;\n        lv2:name \"Transport\"\n    ] .\n\n";
    ttl << "<" << kLv2UiUri << ">\n    a ui:X11UI ;\n    lv2:requiredFeature ui:parent, ui:idleInterface ;\n"
        << "    lv2:optionalFeature ui:touch, ui:resize, ui:noUserResize ;\n"
        << "    lv2:extensionData ui:idleInterface .\n";
    return ttl.str();
}

std::string PresetUri(int program) {
    return std::string("<") + kLv2PluginUri + "#program-" + std::to_string(program) + ">";
}

std::string Manifest(IPluginBase& plugin) {
    std::ostringstream ttl;
    ttl << kPrefixes << "<" << kLv2PluginUri << ">\n    a lv2:Plugin ;\n    lv2:binary <" << kLv2LibraryName
        << "> ;\n    rdfs:seeAlso <KSPhaser.ttl> .\n\n<" << kLv2UiUri
        << ">\n    a ui:X11UI ;\n    ui:binary <" << kLv2LibraryName
        << "> ;\n    rdfs:seeAlso <KSPhaser.ttl> .\n";
    for (int p = 0; p < plugin.PresetCount(); ++p) {
        ttl << "\n"
            << PresetUri(p) << "\n    a pset:Preset ;\n    lv2:appliesTo <" << kLv2PluginUri
            << "> ;\n    rdfs:label " << Quoted(plugin.PresetName(p))
            << " ;\n    rdfs:seeAlso <presets.ttl> .\n";
    }
    return ttl.str();
}

std::string Presets(IPluginBase& plugin) {
    std::ostringstream ttl;
    ttl << kPrefixes;
    for (int p = 0; p < plugin.PresetCount(); ++p) {
        // As a host's program change: the current values stay in the program left, so program 0
        // holds a new instance's values, as every other format's program list gives it.
        plugin.ModifyCurrentPreset(nullptr);
        plugin.LoadPreset(p);
        ttl << PresetUri(p) << "\n    a pset:Preset ;\n    lv2:appliesTo <" << kLv2PluginUri
            << "> ;\n    rdfs:label " << Quoted(plugin.PresetName(p)) << " ;\n    lv2:port ";
        for (uint32_t i = 0; i < kLv2ParameterPortCount; ++i) {
            const IParameter& parameter = *plugin.ParameterAt(static_cast<int>(i));
            ttl << (i == 0 ? "" : " ,\n        ") << "[ lv2:symbol " << Quoted(kLv2ParameterSymbols[i])
                << " ; pset:value " << FloatLiteral(parameter.UnitValue(parameter.Value())) << " ]";
        }
        ttl << " .\n\n";
    }
    return ttl.str();
}

bool Write(const std::string& path, const std::string& text) {
    std::ofstream file(path, std::ios::binary | std::ios::trunc);
    file << text;
    file.close();
    if (!file) {
        std::cerr << "ksphaser-lv2-turtle: cannot write " << path << "\n";
    }
    return static_cast<bool>(file);
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::cerr << "usage: ksphaser-lv2-turtle BUNDLE_DIR\n";
        return 2;
    }
    bool written = false;
    {
        std::unique_ptr<IPluginBase> plugin = CreatePlugin();
        if (!plugin || plugin->ParameterCount() != static_cast<int>(kLv2ParameterPortCount)) {
            std::cerr << "ksphaser-lv2-turtle: the plug-in does not have the ports' parameters\n";
            return 1;
        }
        LockGuard guard(plugin->Lock());
        const std::string bundle = argv[1];
        written = Write(bundle + "/manifest.ttl", Manifest(*plugin)) &&
                  Write(bundle + "/KSPhaser.ttl", PluginDescription(*plugin)) &&
                  Write(bundle + "/presets.ttl", Presets(*plugin));
    }
    ReleaseGraphicsCaches();
    return written ? 0 : 1;
}
