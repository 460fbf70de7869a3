#pragma once

#include "formats/vst3/Vst3Host.h"
#include "formats/vst3/Vst3Object.h"
#include "formats/vst3/Vst3Processor.h"
#include "formats/vst3/Vst3Types.h"

#include <cstddef>
#include <memory>
#include <string>
#include <utility>
#include <vector>

namespace ksphost {

// One reference to a plug-in's object, released when dropped.
template <typename Interface>
class Vst3Ref {
public:
    Vst3Ref() = default;
    // Takes over a reference the caller was given.
    explicit Vst3Ref(Interface* adopted) : object(adopted) {}
    ~Vst3Ref() { Reset(); }
    Vst3Ref(Vst3Ref&& other) noexcept : object(std::exchange(other.object, nullptr)) {}
    Vst3Ref& operator=(Vst3Ref&& other) noexcept {
        if (this != &other) {
            Reset();
            object = std::exchange(other.object, nullptr);
        }
        return *this;
    }
    Vst3Ref(const Vst3Ref&) = delete;
    Vst3Ref& operator=(const Vst3Ref&) = delete;

    Interface* Get() const { return object; }
    Interface* operator->() const { return object; }
    Interface& operator*() const { return *object; }
    explicit operator bool() const { return object != nullptr; }
    void Reset() {
        if (object != nullptr) {
            object->release();
            object = nullptr;
        }
    }

private:
    Interface* object = nullptr;
};

// The interface iid of object, or none when it does not answer it.
template <typename Interface>
Vst3Ref<Interface> QueryVst3(vst3::FUnknown* object, const vst3::Uid& iid) {
    void* found = nullptr;
    if (object == nullptr || object->queryInterface(iid.bytes, &found) != vst3::kResultOk) {
        return Vst3Ref<Interface>();
    }
    return Vst3Ref<Interface>(static_cast<Interface*>(found));
}

// An object of the host's that the host owns: the plug-in's references are counted, and the last
// one leaves it alone. It answers FUnknown and Interface (iid).
template <typename Interface, const vst3::Uid& iid>
class Vst3HostObject : public Interface {
public:
    vst3::tresult VST3_CALL queryInterface(const vst3::TUID interfaceId, void** obj) override {
        const bool known = SameUid(interfaceId, iid) || SameUid(interfaceId, vst3::kFUnknownIid);
        return AnswerInterface(this, known ? static_cast<Interface*>(this) : nullptr, obj);
    }
    vst3::uint32 VST3_CALL addRef() override { return references.Add(); }
    vst3::uint32 VST3_CALL release() override { return references.Drop(); }

protected:
    ~Vst3HostObject() = default;

private:
    Vst3References references;
};

// Texts between UTF-8 and the interface's UTF-16: a text of capacity units, or a whole field.
std::string Utf8(const vst3::char16* text, size_t capacity);
template <size_t N>
std::string Utf8(const vst3::char16 (&field)[N]) {
    return Utf8(field, N);
}
std::u16string Utf16(const std::string& text);
// An identifier as 32 hexadecimal digits, the same on every platform.
std::string UidText(const char* bytes);

// The context the plug-in is initialised with: a name, and no objects to make.
class Vst3HostApplication final : public Vst3HostObject<vst3::IHostApplication, vst3::kIHostApplicationIid> {
public:
    vst3::tresult VST3_CALL getName(vst3::String128 name) override;
    vst3::tresult VST3_CALL createInstance(vst3::TUID classId, vst3::TUID interfaceId, void** obj) override;
};

// One parameter's points in a block.
class Vst3ParamQueue final : public Vst3HostObject<vst3::IParamValueQueue, vst3::kIParamValueQueueIid> {
public:
    explicit Vst3ParamQueue(vst3::ParamID parameter) : id(parameter) {}

    vst3::ParamID VST3_CALL getParameterId() override { return id; }
    vst3::int32 VST3_CALL getPointCount() override { return static_cast<vst3::int32>(points.size()); }
    vst3::tresult VST3_CALL getPoint(vst3::int32 index, vst3::int32& sampleOffset,
                                     vst3::ParamValue& value) override;
    vst3::tresult VST3_CALL addPoint(vst3::int32 sampleOffset, vst3::ParamValue value,
                                     vst3::int32& index) override;

private:
    vst3::ParamID id;
    std::vector<std::pair<vst3::int32, vst3::ParamValue>> points;
};

// The parameter changes of a block, one queue per parameter in the order they were added.
class Vst3ParameterChanges final
    : public Vst3HostObject<vst3::IParameterChanges, vst3::kIParameterChangesIid> {
public:
    vst3::int32 VST3_CALL getParameterCount() override { return static_cast<vst3::int32>(queues.size()); }
    vst3::IParamValueQueue* VST3_CALL getParameterData(vst3::int32 index) override;
    vst3::IParamValueQueue* VST3_CALL addParameterData(const vst3::ParamID& id, vst3::int32& index) override;

    void Clear() { queues.clear(); }

private:
    std::vector<std::unique_ptr<Vst3ParamQueue>> queues;
};

} // namespace ksphost
