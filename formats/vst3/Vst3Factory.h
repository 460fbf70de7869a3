#pragma once

// The VST 3 binary interface: the module's entry points and the factory that describes and
// creates its classes.

#include "formats/vst3/Vst3Types.h"

namespace vst3 {

struct PFactoryInfo {
    enum FactoryFlags : int32 {
        kNoFlags = 0,
        kClassesDiscardable = 1,
        kLicenseCheck = 2,
        kComponentNonDiscardable = 8,
        kUnicode = 0x10,
    };

    char8 vendor[64];
    char8 url[256];
    char8 email[128];
    int32 flags;
};

constexpr int32 kDefaultFactoryFlags = PFactoryInfo::kUnicode;

struct PClassInfo {
    // The cardinality of a class with no limit on its instances.
    static constexpr int32 kManyInstances = 0x7FFFFFFF;

    TUID cid;
    int32 cardinality;
    char8 category[32];
    char8 name[64];
};

// PClassInfo2 and PClassInfoW classFlags.
enum ComponentFlags : uint32 {
    // Component and controller may run in different processes or on different machines.
    kDistributable = 1,
    kSimpleModeSupported = 2,
};

// PClassInfo plus flags, sub-categories ("Fx|Modulation|Stereo"), vendor and versions.
struct PClassInfo2 {
    TUID cid;
    int32 cardinality;
    char8 category[32];
    char8 name[64];
    uint32 classFlags;
    char8 subCategories[128];
    char8 vendor[64];
    char8 version[64];
    char8 sdkVersion[64];
};

// PClassInfo2 with UTF-16 name, vendor and versions.
struct PClassInfoW {
    TUID cid;
    int32 cardinality;
    char8 category[32];
    char16 name[64];
    uint32 classFlags;
    char8 subCategories[128];
    char16 vendor[64];
    char16 version[64];
    char16 sdkVersion[64];
};

// Class categories: a processing component, a separate controller.
inline constexpr char8 kVstAudioEffectClass[] = "Audio Module Class";
inline constexpr char8 kVstComponentControllerClass[] = "Component Controller Class";
// The SDK version these declarations follow, for sdkVersion; hosts parse it.
inline constexpr char8 kVstVersionString[] = "VST 3.7.14";

class IPluginFactory : public FUnknown {
public:
    // [ui] Vendor, URL, e-mail and FactoryFlags.
    virtual tresult VST3_CALL getFactoryInfo(PFactoryInfo* info) = 0;
    // [ui] The classes, described by index; an index out of range answers kInvalidArgument.
    virtual int32 VST3_CALL countClasses() = 0;
    virtual tresult VST3_CALL getClassInfo(int32 index, PClassInfo* info) = 0;
    // [ui] classId and interfaceId point to 16 bytes each (a Uid), not text. Stores a new
    // instance's interfaceId in *obj with one reference for the caller, or null with
    // kNoInterface.
    virtual tresult VST3_CALL createInstance(FIDString classId, FIDString interfaceId, void** obj) = 0;

protected:
    ~IPluginFactory() = default;
};

inline constexpr Uid kIPluginFactoryIid = MakeUid(0x7A4D811C, 0x52114A1F, 0xAED9D2EE, 0x0B43BF9F);

class IPluginFactory2 : public IPluginFactory {
public:
    // [ui] Hosts prefer it to getClassInfo.
    virtual tresult VST3_CALL getClassInfo2(int32 index, PClassInfo2* info) = 0;

protected:
    ~IPluginFactory2() = default;
};

inline constexpr Uid kIPluginFactory2Iid = MakeUid(0x0007B650, 0xF24B4C0B, 0xA464EDB9, 0xF00B2ABB);

class IPluginFactory3 : public IPluginFactory2 {
public:
    // [ui] Hosts prefer it to getClassInfo2.
    virtual tresult VST3_CALL getClassInfoUnicode(int32 index, PClassInfoW* info) = 0;
    // [ui] The host's context (on Linux it may offer the run loop), borrowed.
    virtual tresult VST3_CALL setHostContext(FUnknown* context) = 0;

protected:
    ~IPluginFactory3() = default;
};

inline constexpr Uid kIPluginFactory3Iid = MakeUid(0x4555A2AB, 0xC1234E57, 0x9B122910, 0x36878931);

// The module's exports, which the binding defines and exports under these plain names (MinGW
// would name the 32-bit GetPluginFactory GetPluginFactory@0, which hosts do not look up).
extern "C" {
// [ui] The module's one factory, with a reference for the caller.
IPluginFactory* VST3_CALL GetPluginFactory();
#ifdef _WIN32
// [ui] Optional. The host calls them after loading and before unloading the library, perhaps
// more than once: only the first InitDll and the last ExitDll count. false stops the load.
bool InitDll();
bool ExitDll();
#else
// [ui] Required. As InitDll and ExitDll, with the handle dlopen gave the host.
bool ModuleEntry(void* sharedLibraryHandle);
bool ModuleExit();
#endif
}

// How a host that loaded the library calls them.
using GetFactoryProc = IPluginFactory*(VST3_CALL*)();
// InitDll, ExitDll, ModuleExit.
using ModuleHookProc = bool (*)();
using ModuleEntryProc = bool (*)(void* sharedLibraryHandle);

} // namespace vst3
