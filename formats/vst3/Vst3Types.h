#pragma once

// The VST 3 binary interface: the basic types, result codes and identifiers every
// other part uses, and the two base interfaces. These headers declare only what hosts and
// plug-ins exchange; formats/vst3/Vst3Interface.cpp checks the layouts for each target.

#include <cstdint>

#if !defined(_WIN32) && !defined(__x86_64__)
#error "VST 3 layouts are known for Windows x86 and x86_64 and for x86_64 Linux only"
#endif

// Every interface method and GetPluginFactory: hosts on 32-bit Windows call them as COM does,
// with the callee popping the arguments.
#if defined(_WIN32) && !defined(_WIN64)
#define VST3_CALL __stdcall
#else
#define VST3_CALL
#endif

namespace vst3 {

using int16 = int16_t;
using int32 = int32_t;
using int64 = int64_t;
using uint8 = uint8_t;
using uint32 = uint32_t;
using uint64 = uint64_t;

using tresult = int32;
using TBool = uint8;
using char8 = char;
// UTF-16 on every platform; wchar_t has 4 bytes on Linux.
using char16 = char16_t;
using TChar = char16;
using String128 = char16[128];
using FIDString = const char8*;
using TUID = char[16];

using ParamID = uint32;
using ParamValue = double;
using UnitID = int32;
using ProgramListID = int32;
using MediaType = int32;
using BusDirection = int32;
using BusType = int32;
using IoMode = int32;
using SpeakerArrangement = uint64;
using Speaker = uint64;
using TSamples = int64;
using TQuarterNotes = double;
using SampleRate = double;
using Sample32 = float;
using Sample64 = double;

// "Boolean" methods answer kResultTrue for yes and kResultFalse for no. The errors are COM's
// HRESULTs on Windows and small numbers elsewhere, so a failure is anything but kResultOk, never
// just a negative value.
constexpr tresult kResultOk = 0;
constexpr tresult kResultTrue = kResultOk;
constexpr tresult kResultFalse = 1;
#ifdef _WIN32
constexpr tresult kNoInterface = static_cast<tresult>(0x80004002u);
constexpr tresult kInvalidArgument = static_cast<tresult>(0x80070057u);
constexpr tresult kNotImplemented = static_cast<tresult>(0x80004001u);
constexpr tresult kInternalError = static_cast<tresult>(0x80004005u);
constexpr tresult kNotInitialized = static_cast<tresult>(0x8000FFFFu);
constexpr tresult kOutOfMemory = static_cast<tresult>(0x8007000Eu);
#else
constexpr tresult kNoInterface = -1;
constexpr tresult kInvalidArgument = 2;
constexpr tresult kNotImplemented = 3;
constexpr tresult kInternalError = 4;
constexpr tresult kNotInitialized = 5;
constexpr tresult kOutOfMemory = 6;
#endif

// An interface or class identifier, its 16 bytes in the order hosts compare them on this
// platform. The identifier of interface IFoo is kIFooIid, declared after the interface.
struct Uid {
    TUID bytes;
};

// The identifier written as four numbers l1 l2 l3 l4 (read as 32 hex digits, the same on every
// platform). Linux stores the four big-endian. Windows stores the COM GUID
// {l1-l2hi-l2lo-l3hi-l3lo l4}: l1 and each half of l2 little-endian, l3 and l4 big-endian.
constexpr Uid MakeUid(uint32 l1, uint32 l2, uint32 l3, uint32 l4) {
#ifdef _WIN32
    l1 = (l1 >> 24) | ((l1 >> 8) & 0xFF00u) | ((l1 << 8) & 0xFF0000u) | (l1 << 24);
    l2 = ((l2 >> 8) & 0x00FF00FFu) | ((l2 << 8) & 0xFF00FF00u);
#endif
    const uint32 words[4] = {l1, l2, l3, l4};
    Uid uid{};
    for (int i = 0; i < 16; ++i) {
        uid.bytes[i] = static_cast<char>(words[i / 4] >> (24 - 8 * (i % 4)));
    }
    return uid;
}

// Every object's base: the same slots and identifier as COM's IUnknown. All interfaces of one
// object share one reference count.
class FUnknown {
public:
    // [any] Stores the sub-object that implements interfaceId in *obj with a reference added and
    // answers kResultOk; otherwise stores null and answers kNoInterface.
    virtual tresult VST3_CALL queryInterface(const TUID interfaceId, void** obj) = 0;
    // [any] Both answer the new count; release destroys the object when it reaches 0.
    virtual uint32 VST3_CALL addRef() = 0;
    virtual uint32 VST3_CALL release() = 0;

protected:
    ~FUnknown() = default;
};

inline constexpr Uid kFUnknownIid = MakeUid(0x00000000, 0x00000000, 0xC0000000, 0x00000046);

// The first interface of a component or controller.
class IPluginBase : public FUnknown {
public:
    // [ui] context is the host's object (IHostApplication, IPlugInterfaceSupport), borrowed.
    // May follow terminate on the same object; after a failure the host releases the object
    // without terminate.
    virtual tresult VST3_CALL initialize(FUnknown* context) = 0;
    // [ui] Drops what initialize took.
    virtual tresult VST3_CALL terminate() = 0;

protected:
    ~IPluginBase() = default;
};

inline constexpr Uid kIPluginBaseIid = MakeUid(0x22888DDB, 0x156E45AE, 0x8358B348, 0x08190625);

} // namespace vst3
