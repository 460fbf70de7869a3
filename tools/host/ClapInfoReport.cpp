// What a host sees of a CLAP plug-in: the factory and descriptor, extensions, ports, parameters,
// latency and tail, the editor and the presets.
#include "tools/host/ClapInstance.h"
#include "tools/host/InfoReport.h"
#include "tools/host/Text.h"

namespace ksphost {

namespace {

std::string ParameterFlags(uint32_t flags) {
    static const FlagName names[] = {
        {clap::CLAP_PARAM_IS_STEPPED, "Stepped"},
        {clap::CLAP_PARAM_IS_PERIODIC, "Periodic"},
        {clap::CLAP_PARAM_IS_HIDDEN, "Hidden"},
        {clap::CLAP_PARAM_IS_READONLY, "ReadOnly"},
        {clap::CLAP_PARAM_IS_BYPASS, "Bypass"},
        {clap::CLAP_PARAM_IS_AUTOMATABLE, "Automatable"},
        {clap::CLAP_PARAM_IS_AUTOMATABLE_PER_NOTE_ID, "AutomatablePerNoteId"},
        {clap::CLAP_PARAM_IS_AUTOMATABLE_PER_KEY, "AutomatablePerKey"},
        {clap::CLAP_PARAM_IS_AUTOMATABLE_PER_CHANNEL, "AutomatablePerChannel"},
        {clap::CLAP_PARAM_IS_AUTOMATABLE_PER_PORT, "AutomatablePerPort"},
        {clap::CLAP_PARAM_IS_MODULATABLE, "Modulatable"},
        {clap::CLAP_PARAM_IS_MODULATABLE_PER_NOTE_ID, "ModulatablePerNoteId"},
        {clap::CLAP_PARAM_IS_MODULATABLE_PER_KEY, "ModulatablePerKey"},
        {clap::CLAP_PARAM_IS_MODULATABLE_PER_CHANNEL, "ModulatablePerChannel"},
        {clap::CLAP_PARAM_IS_MODULATABLE_PER_PORT, "ModulatablePerPort"},
        {clap::CLAP_PARAM_REQUIRES_PROCESS, "RequiresProcess"},
        {clap::CLAP_PARAM_IS_ENUM, "Enum"},
    };
    return FlagNames(flags, names, sizeof names / sizeof names[0]);
}

std::string PortFlags(uint32_t flags) {
    static const FlagName names[] = {
        {clap::CLAP_AUDIO_PORT_IS_MAIN, "Main"},
        {clap::CLAP_AUDIO_PORT_SUPPORTS_64BITS, "Supports64Bits"},
        {clap::CLAP_AUDIO_PORT_PREFERS_64BITS, "Prefers64Bits"},
        {clap::CLAP_AUDIO_PORT_REQUIRES_COMMON_SAMPLE_SIZE, "RequiresCommonSampleSize"},
    };
    return FlagNames(flags, names, sizeof names / sizeof names[0]);
}

std::string LocationFlags(uint32_t flags) {
    static const FlagName names[] = {
        {clap::CLAP_PRESET_DISCOVERY_IS_FACTORY_CONTENT, "FactoryContent"},
        {clap::CLAP_PRESET_DISCOVERY_IS_USER_CONTENT, "UserContent"},
        {clap::CLAP_PRESET_DISCOVERY_IS_DEMO_CONTENT, "DemoContent"},
        {clap::CLAP_PRESET_DISCOVERY_IS_FAVORITE, "Favorite"},
    };
    return FlagNames(flags, names, sizeof names / sizeof names[0]);
}

std::string Features(const char* const* features) {
    std::string text;
    for (size_t i = 0; features != nullptr && features[i] != nullptr; ++i) {
        text += (text.empty() ? "" : ", ") + std::string(features[i]);
    }
    return text.empty() ? "none" : text;
}

std::string SamplesText(uint32_t samples) {
    return samples >= static_cast<uint32_t>(INT32_MAX) ? std::string("infinite")
                                                       : std::to_string(samples) + " samples";
}

} // namespace

std::string ClapInstance::Describe() {
    DeliverValues();
    std::string out;
    const clap::clap_plugin_entry& entry = module->Entry();
    Append(out, "Plug-in          %s (CLAP %u.%u.%u, entry point clap_entry)\n", module->Path().c_str(),
           entry.clap_version.major, entry.clap_version.minor, entry.clap_version.revision);
    Append(out, "\nFactory plug-ins (%u)\n", module->PluginCount());
    for (uint32_t i = 0; i < module->PluginCount(); ++i) {
        const clap::clap_plugin_descriptor* plugin = module->Plugin(i);
        Append(out, "  %-3u %-32s %s\n", i, plugin != nullptr ? ClapText(plugin->id) : "(no descriptor)",
               plugin != nullptr ? ClapText(plugin->name) : "");
    }
    Append(out, "\nId               %s\n", ClapText(descriptor->id));
    Append(out, "Name             %s\n", ClapText(descriptor->name));
    Append(out, "Vendor           %s\n", ClapText(descriptor->vendor));
    Append(out, "URL              %s\n", ClapText(descriptor->url));
    Append(out, "Manual URL       %s\n", ClapText(descriptor->manual_url));
    Append(out, "Support URL      %s\n", ClapText(descriptor->support_url));
    Append(out, "Version          %s\n", ClapText(descriptor->version));
    Append(out, "Description      %s\n", ClapText(descriptor->description));
    Append(out, "Features         %s\n", Features(descriptor->features).c_str());

    std::string extensions;
    for (const char* id :
         {clap::CLAP_EXT_AUDIO_PORTS, clap::CLAP_EXT_NOTE_PORTS, clap::CLAP_EXT_PARAMS, clap::CLAP_EXT_STATE,
          clap::CLAP_EXT_STATE_CONTEXT, clap::CLAP_EXT_LATENCY, clap::CLAP_EXT_TAIL, clap::CLAP_EXT_RENDER,
          clap::CLAP_EXT_GUI, clap::CLAP_EXT_TIMER_SUPPORT, clap::CLAP_EXT_POSIX_FD_SUPPORT,
          clap::CLAP_EXT_PRESET_LOAD, clap::CLAP_EXT_PRESET_LOAD_COMPAT}) {
        if (ClapExtension<void>(plugin, id) != nullptr) {
            extensions += (extensions.empty() ? "" : ", ") + std::string(id);
        }
    }
    Append(out, "Extensions       %s\n", extensions.empty() ? "none" : extensions.c_str());
    // The latency is told while the plug-in is active.
    if (latencyExtension == nullptr) {
        Append(out, "Latency          not told\n");
    } else if (plugin->activate(plugin, sampleRate, 1, static_cast<uint32_t>(blockSize))) {
        Append(out, "Latency          %s\n", SamplesText(latencyExtension->get(plugin)).c_str());
        plugin->deactivate(plugin);
    } else {
        Append(out, "Latency          not known: the plug-in did not activate\n");
    }
    Append(out, "Tail             %s\n",
           tail != nullptr ? SamplesText(tail->get(plugin)).c_str() : "not told");
    const bool x11 = gui != nullptr && gui->is_api_supported(plugin, clap::CLAP_WINDOW_API_X11, false);
    const bool win32 = gui != nullptr && gui->is_api_supported(plugin, clap::CLAP_WINDOW_API_WIN32, false);
    Append(out, "Editor           %s\n",
           gui == nullptr ? "none"
                          : (x11 ? "embedded, x11" : (win32 ? "embedded, win32" : "not embedded here")));
    const ClapHostRequests requests = host.Requests();
    Append(out,
           "Host requests    %d parameter rescans, %d clears, %d flushes; %d restarts, %d processes, "
           "%d callbacks\n",
           requests.rescans, requests.clears, requests.flushes, requests.restarts, requests.processes,
           requests.callbacks);

    for (bool input : {true, false}) {
        Append(out, "\nAudio %s (%u)\n", input ? "inputs" : "outputs", PortCount(input));
        for (uint32_t i = 0; i < PortCount(input); ++i) {
            clap::clap_audio_port_info port = {};
            if (!audioPorts->get(plugin, i, input, &port)) {
                Append(out, "  %-3u (no information)\n", i);
                continue;
            }
            port.name[sizeof port.name - 1] = '\0';
            Append(out, "  %-3u id %-4u %-20s %u channels, %s, %s", i, port.id, Quoted(port.name).c_str(),
                   port.channel_count,
                   port.port_type != nullptr && port.port_type[0] != '\0' ? port.port_type : "-",
                   PortFlags(port.flags).c_str());
            if (port.in_place_pair != clap::CLAP_INVALID_ID) {
                Append(out, ", in place with %u", port.in_place_pair);
            }
            out += "\n";
        }
    }

    Append(out, "\nParameters (%d; # numbers the %d that --set takes)\n", static_cast<int>(parameters.size()),
           ParameterCount());
    Append(out, "  %-3s %-6s %-16s %-10s %-10s %-10s %-10s %-14s %s\n", "#", "Id", "Name", "Min", "Max",
           "Default", "Value", "Display", "Flags");
    for (size_t i = 0; i < parameters.size(); ++i) {
        const clap::clap_param_info& info = parameters[i];
        std::string number = "-";
        for (size_t s = 0; s < settable.size(); ++s) {
            number = settable[s] == i ? std::to_string(s) : number;
        }
        const double value = CurrentValue(info);
        std::string name = info.module[0] != '\0' ? std::string(info.module) + "/" + info.name : info.name;
        Append(out, "  %-3s %-6u %-16s %-10g %-10g %-10g %-10.9g %-14s %s\n", number.c_str(), info.id,
               name.c_str(), info.min_value, info.max_value, info.default_value, value,
               Text(info, value).c_str(), ParameterFlags(info.flags).c_str());
    }

    const ClapPresetIndex& index = Presets();
    if (!index.hasFactory) {
        Append(out, "\nPresets: no preset-discovery factory\n");
        return out;
    }
    Append(out, "\nPreset locations (%d)\n", static_cast<int>(index.locations.size()));
    for (const ClapPresetLocation& location : index.locations) {
        const bool inside = location.kind == clap::CLAP_PRESET_DISCOVERY_LOCATION_PLUGIN;
        Append(out, "  %s: %s, %s, %s\n", location.provider.c_str(), Quoted(location.name).c_str(),
               inside ? "inside the plug-in" : ("file " + location.location + " (not searched)").c_str(),
               LocationFlags(location.flags).c_str());
    }
    for (const std::string& error : index.errors) {
        Append(out, "  error: %s\n", error.c_str());
    }
    Append(out, "\nPresets (%d%s)\n", ProgramCount(),
           presetLoad != nullptr ? "" : "; no preset-load extension");
    for (int i = 0; i < ProgramCount(); ++i) {
        const ClapPreset& preset = index.presets[static_cast<size_t>(i)];
        Append(out, "  %-3d %-24s load key %s%s\n", i, preset.name.c_str(), Quoted(preset.loadKey).c_str(),
               i == currentPreset ? ", loaded" : "");
    }
    return out;
}

} // namespace ksphost
