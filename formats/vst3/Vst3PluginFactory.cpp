#include "formats/vst3/Vst3PluginFactory.h"

#include "core/StaticLock.h"
#include "core/TextCopy.h"
#include "formats/vst3/IPluginVST3.h"
#include "formats/vst3/Vst3Processor.h"
#include "formats/vst3/Vst3Text.h"

#include <cstring>
#include <new>
#include <type_traits>

namespace {

// "VST", the VST 2.4 unique id "ksph", the effect name's first nine characters in lower case.
constexpr vst3::Uid kClassId = vst3::MakeUid(0x5653546B, 0x7370686B, 0x65737472, 0x756E656C);
constexpr const char* kSubCategories = "Fx|Modulation";

// The one factory of the module, made and destroyed under the lock; compile-time initialised,
// so nothing runs at load.
StaticLock factoryLock;
Vst3PluginFactory* factory = nullptr;

// The class's texts, in the field's own encoding.
void PutText(vst3::char8* out, const char* text, size_t capacity) {
    CopyText(out, text, capacity);
}

void PutText(vst3::char16* out, const char* text, size_t capacity) {
    Vst3CopyToUtf16(out, text, capacity);
}

// The one class, in any of the three forms of class information.
template <typename Info>
vst3::tresult DescribeClass(vst3::int32 index, Info* info) {
    if (index != 0 || info == nullptr) {
        return vst3::kInvalidArgument;
    }
    std::memset(info, 0, sizeof *info);
    std::memcpy(info->cid, kClassId.bytes, sizeof info->cid);
    info->cardinality = vst3::PClassInfo::kManyInstances;
    CopyText(info->category, vst3::kVstAudioEffectClass, sizeof info->category);
    PutText(info->name, KSP_PRODUCT_NAME, sizeof info->name / sizeof info->name[0]);
    if constexpr (!std::is_same_v<Info, vst3::PClassInfo>) {
        CopyText(info->subCategories, kSubCategories, sizeof info->subCategories);
        PutText(info->vendor, KSP_VENDOR, sizeof info->vendor / sizeof info->vendor[0]);
        PutText(info->version, KSP_VERSION_TEXT, sizeof info->version / sizeof info->version[0]);
        PutText(info->sdkVersion, vst3::kVstVersionString,
                sizeof info->sdkVersion / sizeof info->sdkVersion[0]);
    }
    return vst3::kResultOk;
}

} // namespace

Vst3PluginFactory* Vst3PluginFactory::Get() {
    factoryLock.Lock();
    if (factory != nullptr) {
        factory->addRef();
    } else {
        factory = new (std::nothrow) Vst3PluginFactory();
    }
    Vst3PluginFactory* answer = factory;
    factoryLock.Unlock();
    return answer;
}

vst3::tresult VST3_CALL Vst3PluginFactory::queryInterface(const vst3::TUID interfaceId, void** obj) {
    if (obj == nullptr) {
        return vst3::kInvalidArgument;
    }
    const bool known =
        SameUid(interfaceId, vst3::kFUnknownIid) || SameUid(interfaceId, vst3::kIPluginFactoryIid) ||
        SameUid(interfaceId, vst3::kIPluginFactory2Iid) || SameUid(interfaceId, vst3::kIPluginFactory3Iid);
    return AnswerInterface(this, known ? static_cast<vst3::IPluginFactory3*>(this) : nullptr, obj);
}

vst3::uint32 VST3_CALL Vst3PluginFactory::addRef() {
    return references.Add();
}

vst3::uint32 VST3_CALL Vst3PluginFactory::release() {
    factoryLock.Lock();
    const vst3::uint32 left = references.Drop();
    if (left == 0 && factory == this) {
        factory = nullptr;
    }
    factoryLock.Unlock();
    if (left == 0) {
        delete this;
    }
    return left;
}

vst3::tresult VST3_CALL Vst3PluginFactory::getFactoryInfo(vst3::PFactoryInfo* info) {
    if (info == nullptr) {
        return vst3::kInvalidArgument;
    }
    std::memset(info, 0, sizeof *info);
    CopyText(info->vendor, KSP_VENDOR, sizeof info->vendor);
    CopyText(info->url, KSP_VENDOR_URL, sizeof info->url);
    info->flags = vst3::kDefaultFactoryFlags;
    return vst3::kResultOk;
}

vst3::int32 VST3_CALL Vst3PluginFactory::countClasses() {
    return 1;
}

vst3::tresult VST3_CALL Vst3PluginFactory::getClassInfo(vst3::int32 index, vst3::PClassInfo* info) {
    return DescribeClass(index, info);
}

vst3::tresult VST3_CALL Vst3PluginFactory::getClassInfo2(vst3::int32 index, vst3::PClassInfo2* info) {
    return DescribeClass(index, info);
}

vst3::tresult VST3_CALL Vst3PluginFactory::getClassInfoUnicode(vst3::int32 index, vst3::PClassInfoW* info) {
    return DescribeClass(index, info);
}

vst3::tresult VST3_CALL Vst3PluginFactory::createInstance(vst3::FIDString classId,
                                                          vst3::FIDString interfaceId, void** obj) {
    if (obj == nullptr) {
        return vst3::kInvalidArgument;
    }
    *obj = nullptr;
    if (!SameUid(classId, kClassId)) {
        return vst3::kNoInterface;
    }
    IPluginVST3* instance = IPluginVST3::Create();
    if (instance == nullptr) {
        return vst3::kOutOfMemory;
    }
    const vst3::tresult answer = instance->queryInterface(interfaceId, obj);
    instance->release();
    return answer;
}

vst3::tresult VST3_CALL Vst3PluginFactory::setHostContext(vst3::FUnknown* /*context*/) {
    return vst3::kResultOk;
}
