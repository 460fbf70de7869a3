#include "tools/host/Vst3Support.h"

#include "formats/vst3/Vst3Text.h"
#include "raster/PIX_Utf8.h"
#include "tools/host/Instance.h"

#include <cstdio>

namespace ksphost {

std::string Utf8(const vst3::char16* text, size_t capacity) {
    // Every UTF-16 unit takes at most three bytes.
    std::vector<char> bytes(3 * capacity + 1);
    std::vector<vst3::char16> terminated(text, text + capacity);
    terminated.push_back(0);
    Vst3CopyFromUtf16(bytes.data(), terminated.data(), bytes.size());
    return bytes.data();
}

std::u16string Utf16(const std::string& text) {
    // Each character decoded within the text's own bytes, so none past its end is read.
    std::u16string units;
    for (size_t at = 0; at < text.size();) {
        uint16_t unit = 0;
        at += static_cast<size_t>(PIX_DecodeUtf8(text.data() + at, static_cast<int>(text.size() - at), unit));
        units.push_back(static_cast<char16_t>(unit));
    }
    return units;
}

std::string UidText(const char* bytes) {
    std::string text;
    for (int i = 0; i < 16; ++i) {
        char digits[3];
        std::snprintf(digits, sizeof digits, "%02X", static_cast<unsigned char>(bytes[i]));
        text += digits;
    }
#ifdef _WIN32
    // The COM layout keeps the first word and the two halves of the second little-endian.
    const std::string com = text;
    for (int i = 0; i < 4; ++i) {
        text.replace(2 * i, 2, com, 6 - 2 * i, 2);
    }
    for (int half = 0; half < 2; ++half) {
        text.replace(8 + 4 * half, 2, com, 10 + 4 * half, 2);
        text.replace(10 + 4 * half, 2, com, 8 + 4 * half, 2);
    }
#endif
    return text;
}

vst3::tresult VST3_CALL Vst3HostApplication::getName(vst3::String128 name) {
    if (name == nullptr) {
        return vst3::kInvalidArgument;
    }
    Vst3CopyToUtf16(name, kHostName, sizeof(vst3::String128) / sizeof(vst3::char16));
    return vst3::kResultOk;
}

vst3::tresult VST3_CALL Vst3HostApplication::createInstance(vst3::TUID /*classId*/,
                                                            vst3::TUID /*interfaceId*/, void** obj) {
    // Messages and attribute lists serve a component and controller apart, which this host
    // does not drive.
    if (obj != nullptr) {
        *obj = nullptr;
    }
    return vst3::kNotImplemented;
}

vst3::tresult VST3_CALL Vst3ParamQueue::getPoint(vst3::int32 index, vst3::int32& sampleOffset,
                                                 vst3::ParamValue& value) {
    if (index < 0 || index >= getPointCount()) {
        return vst3::kInvalidArgument;
    }
    sampleOffset = points[static_cast<size_t>(index)].first;
    value = points[static_cast<size_t>(index)].second;
    return vst3::kResultOk;
}

vst3::tresult VST3_CALL Vst3ParamQueue::addPoint(vst3::int32 sampleOffset, vst3::ParamValue value,
                                                 vst3::int32& index) {
    index = getPointCount();
    points.emplace_back(sampleOffset, value);
    return vst3::kResultOk;
}

vst3::IParamValueQueue* VST3_CALL Vst3ParameterChanges::getParameterData(vst3::int32 index) {
    return index >= 0 && index < getParameterCount() ? queues[static_cast<size_t>(index)].get() : nullptr;
}

vst3::IParamValueQueue* VST3_CALL Vst3ParameterChanges::addParameterData(const vst3::ParamID& id,
                                                                         vst3::int32& index) {
    for (size_t i = 0; i < queues.size(); ++i) {
        if (queues[i]->getParameterId() == id) {
            index = static_cast<vst3::int32>(i);
            return queues[i].get();
        }
    }
    index = getParameterCount();
    queues.push_back(std::make_unique<Vst3ParamQueue>(id));
    return queues.back().get();
}

} // namespace ksphost
