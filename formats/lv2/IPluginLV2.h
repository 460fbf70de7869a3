#pragma once

#include "core/IPluginBase.h"
#include "core/IPluginHost.h"
#include "formats/lv2/Lv2Ports.h"

#include <lv2/atom/atom.h>
#include <lv2/core/lv2.h>
#include <lv2/state/state.h>
#include <lv2/urid/urid.h>

#include <memory>

// The LV2 binding's plug-in: one instance of the core's plug-in behind the ports of Lv2Ports.h,
// the state interface (the core's host state, the VST 2.4 program chunk) and the host's transport
// from the atom port, answering the plug-in's calls to the host.
//
// Threads and the plug-in lock: the host calls each function in the threading class LV2 gives it
// (instantiation and state: [ui]; run and connect_port: [audio]); each holds the plug-in lock
// while it works on the plug-in. A control port's change takes effect at the start of the run in
// which it is seen.
class IPluginLV2 final : public QuietPluginHost {
public:
    // [ui] No lock. An instance at sampleRate, with the host's URID map when it offers one (without
    // it the transport and the state are left out); none when memory ran out.
    static LV2_Handle Instantiate(const LV2_Descriptor* descriptor, double sampleRate, const char* bundlePath,
                                  const LV2_Feature* const* features);
    // [ui] No lock: no other call runs on the instance any more.
    static void Cleanup(LV2_Handle instance);
    // [ui] Take the plug-in lock. Processing starts and stops.
    static void Activate(LV2_Handle instance);
    static void Deactivate(LV2_Handle instance);
    // [audio] No lock: the host never calls it during run.
    static void ConnectPort(LV2_Handle instance, uint32_t port, void* data);
    // [audio] Takes the plug-in lock. Changed control ports first, then the block in pieces that
    // start at the time:Position events of the atom port.
    static void Run(LV2_Handle instance, uint32_t sampleCount);
    // [any] No lock. The state interface; nothing else.
    static const void* ExtensionData(const char* uri);

    IPluginLV2(const IPluginLV2&) = delete;
    IPluginLV2& operator=(const IPluginLV2&) = delete;

    // IPluginHost: the transport of the block being processed. LV2 plug-ins cannot move their own
    // control ports: gestures and values reach the host through the panel's instance.
    int SamplePosition() override;
    double HostTempo() override;
    void HostTimeSignature(int& beatsPerBar, int& beatUnit) override;
    void HostTime(HostTimeInfo& info) override;

private:
    IPluginLV2(std::unique_ptr<::IPluginBase> plugin, const LV2_URID_Map* map);
    ~IPluginLV2() = default;

    // The URIDs the binding reads, all 0 without the host's map.
    struct Urids {
        LV2_URID atomObject = 0, atomBlank = 0, atomSequence = 0, atomInt = 0, atomLong = 0, atomFloat = 0,
                 atomDouble = 0, atomChunk = 0, stateKey = 0, position = 0, bar = 0, barBeat = 0,
                 beatsPerBar = 0, beatUnit = 0, beatsPerMinute = 0, speed = 0, frame = 0;
    };
    // The host's transport at the start of the piece being processed.
    struct Transport {
        bool known = false;
        double beats = 0.0; // beats of beatUnit since the start of bar 0
        double beatsPerBar = 4.0;
        double beatUnit = 4.0;
        double beatsPerMinute = 0.0;
        double speed = 0.0;
        double frame = 0.0;
    };

    // [audio] Plug-in lock held. Changes at offset 0 for the control ports whose values differ
    // from the last seen; answers how many.
    int CollectPortChanges();
    // [audio] Plug-in lock held. Runs frames start to end with changeCount changes at start,
    // then moves the transport past them.
    void ProcessPiece(int start, int end, int changeCount);
    // [audio] Plug-in lock held. Takes the fields a time:Position object carries.
    void ReadPosition(const LV2_Atom_Object* position);
    // [any] Plug-in lock held. The last seen value of every control port becomes its value of the
    // plug-in's parameter.
    void SeeParameterValues();
    // [any] Takes the plug-in lock (save may run beside run). Saves the core's host state under
    // the state key as an atom:Chunk.
    static LV2_State_Status SaveState(LV2_Handle instance, LV2_State_Store_Function store,
                                      LV2_State_Handle handle, uint32_t flags,
                                      const LV2_Feature* const* features);
    // [ui] Takes the plug-in lock. Loads such a chunk; refuses a missing key (NO_PROPERTY), another
    // type (BAD_TYPE) or bytes the core cannot read (UNKNOWN), and then changes nothing.
    static LV2_State_Status RestoreState(LV2_Handle instance, LV2_State_Retrieve_Function retrieve,
                                         LV2_State_Handle handle, uint32_t flags,
                                         const LV2_Feature* const* features);

    std::unique_ptr<::IPluginBase> plugin;
    Urids urids;
    bool active = false;
    const float* controls[kLv2ParameterPortCount] = {};
    float lastSeen[kLv2ParameterPortCount];
    const float* inputs[2] = {};
    float* outputs[2] = {};
    const LV2_Atom_Sequence* events = nullptr;
    ParameterChange changes[kLv2ParameterPortCount];
    Transport transport;
};
