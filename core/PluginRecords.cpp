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
    return label.Text();
}

bool AudioChannel::SetLabel(const char* text) {
    return label.SetText(text);
}
