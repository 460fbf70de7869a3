#pragma once

#include "formats/vst3/Vst3Factory.h"
#include "formats/vst3/Vst3Object.h"

#include <atomic>

// The module's factory: one class, the phaser's component (which is its own controller), whose
// id follows the VST 2 to VST 3 rule so hosts offer it in place of a saved VST 2.4 instance.
// The module hands out one factory at a time; it goes with the host's last reference.
//
// Threads: the host's user-interface thread; the reference count is atomic.
class Vst3PluginFactory final : public vst3::IPluginFactory3 {
public:
    // [ui] Takes the module's factory lock. The module's factory with a reference for the caller,
    // made on first use; none when memory ran out.
    static Vst3PluginFactory* Get();
    Vst3PluginFactory(const Vst3PluginFactory&) = delete;
    Vst3PluginFactory& operator=(const Vst3PluginFactory&) = delete;

    vst3::tresult VST3_CALL queryInterface(const vst3::TUID interfaceId, void** obj) override;
    vst3::uint32 VST3_CALL addRef() override;
    // Takes the module's factory lock when the last reference goes.
    vst3::uint32 VST3_CALL release() override;

    vst3::tresult VST3_CALL getFactoryInfo(vst3::PFactoryInfo* info) override;
    vst3::int32 VST3_CALL countClasses() override;
    vst3::tresult VST3_CALL getClassInfo(vst3::int32 index, vst3::PClassInfo* info) override;
    // Creates a new instance for the class id and hands out interfaceId of it.
    vst3::tresult VST3_CALL createInstance(vst3::FIDString classId, vst3::FIDString interfaceId,
                                           void** obj) override;
    vst3::tresult VST3_CALL getClassInfo2(vst3::int32 index, vst3::PClassInfo2* info) override;
    vst3::tresult VST3_CALL getClassInfoUnicode(vst3::int32 index, vst3::PClassInfoW* info) override;
    // Nothing of the host is kept: kResultOk.
    vst3::tresult VST3_CALL setHostContext(vst3::FUnknown* context) override;

private:
    Vst3PluginFactory() = default;
    ~Vst3PluginFactory() = default;

    Vst3References references;
};
