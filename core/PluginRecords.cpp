#include "core/PluginRecords.h"

#include "core/TextCopy.h"

#include <cstring>

IPresetSlot::IPresetSlot() {
    CopyText(name, "empty", sizeof name);
}

void AudioChannel::Silence() {
    if (scratch.Size() > 0) {
        std::memset(scratch.Data(), 0, static_cast<size_t>(scratch.Size()));
    }
    if (dataSlot != nullptr) {
        *dataSlot = Scratch();
    }
}

const char* AudioChannel::Label() const {
    return label.Size() > 0 ? reinterpret_cast<const char*>(label.Data()) : "";
}

bool AudioChannel::SetLabel(const char* text) {
    const size_t length = text != nullptr ? std::strlen(text) : 0;
    if (length >= static_cast<size_t>(INT32_MAX)) {
        return false;
    }
    const auto size = static_cast<int32_t>(length + 1);
    label.Resize(size, true);
    if (label.Size() != size) {
        return false;
    }
    std::memcpy(label.Data(), text != nullptr ? text : "", length + 1);
    return true;
}
