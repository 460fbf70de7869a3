// The CLAP binding's state (the core's host state, the VST 2.4 program chunk) and the factory
// programs as presets inside the plug-in.
#include "formats/clap/IPluginCLAP.h"

#include <cstdlib>

bool CLAP_CALL IPluginCLAP::SaveState(const clap::clap_plugin* plugin, const clap::clap_ostream* stream) {
    IPluginCLAP* self = Of(plugin);
    if (stream == nullptr || stream->write == nullptr) {
        return false;
    }
    IByteBuffer bytes;
    {
        LockGuard guard(self->plugin->Lock());
        if (!self->plugin->SaveHostState(bytes)) {
            return false;
        }
    }
    const uint8_t* data = bytes.Data();
    uint64_t left = static_cast<uint64_t>(bytes.Size());
    while (left > 0) {
        const int64_t written = stream->write(stream, data, left);
        if (written <= 0 || static_cast<uint64_t>(written) > left) {
            return false;
        }
        data += written;
        left -= static_cast<uint64_t>(written);
    }
    return true;
}

bool CLAP_CALL IPluginCLAP::LoadState(const clap::clap_plugin* plugin, const clap::clap_istream* stream) {
    IPluginCLAP* self = Of(plugin);
    if (stream == nullptr || stream->read == nullptr) {
        return false;
    }
    IByteBuffer bytes;
    uint8_t piece[4096];
    for (;;) {
        const int64_t read = stream->read(stream, piece, sizeof piece);
        if (read == 0) {
            break;
        }
        const int32_t before = bytes.Size();
        if (read < 0 || read > static_cast<int64_t>(sizeof piece) || before + read > kLargestHostState ||
            bytes.PutBytes(piece, static_cast<int32_t>(read)) != before + read) {
            return false;
        }
    }
    LockGuard guard(self->plugin->Lock());
    if (!self->plugin->LoadHostState(bytes, self->processing)) {
        return false;
    }
    self->TellValuesChanged();
    return true;
}

bool CLAP_CALL IPluginCLAP::LoadPreset(const clap::clap_plugin* plugin, uint32_t kind, const char* location,
                                       const char* loadKey) {
    IPluginCLAP* self = Of(plugin);
    char* end = nullptr;
    const long index = loadKey != nullptr ? std::strtol(loadKey, &end, 10) : -1;
    bool loaded = kind == clap::CLAP_PRESET_DISCOVERY_LOCATION_PLUGIN && end != loadKey && end != nullptr &&
                  *end == '\0' && index >= 0 && index < self->plugin->PresetCount();
    if (loaded) {
        LockGuard guard(self->plugin->Lock());
        self->plugin->ModifyCurrentPreset(nullptr);
        loaded = self->plugin->LoadPreset(static_cast<int>(index));
        self->TellValuesChanged();
    }
    const clap::clap_host_preset_load* presets = self->hostPresetLoad;
    if (loaded && presets != nullptr && presets->loaded != nullptr) {
        presets->loaded(self->host, kind, location, loadKey);
    } else if (!loaded && presets != nullptr && presets->on_error != nullptr) {
        presets->on_error(self->host, kind, location, loadKey, 0, "no such factory program");
    }
    return loaded;
}
