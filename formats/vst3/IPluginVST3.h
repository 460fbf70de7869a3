#pragma once

#include "core/IPluginBase.h"
#include "core/IPluginHost.h"
#include "formats/vst3/Vst3Controller.h"
#include "formats/vst3/Vst3Object.h"
#include "formats/vst3/Vst3Processor.h"
#include "formats/vst3/Vst3View.h"

#include <atomic>
#include <memory>

// The parameters beyond the effect's own, whose ids are their indices.
constexpr vst3::ParamID kVst3BypassId = 100;
constexpr vst3::ParamID kVst3ProgramId = 101;
// The one program list, the factory programs of the root unit.
constexpr vst3::ProgramListID kVst3ProgramListId = 1;
// The most host changes one block takes point by point; a parameter whose points do not fit
// takes only its last point.
constexpr int kVst3MaxChanges = 512;

// The VST 3 binding: one object that is the component, its audio processor and its edit
// controller, around one plug-in of the core, whose calls to the host it answers through the
// process context and the host's component handler.
//
// Threads and the plug-in lock: the controller's operations, the component's setup and state and
// the view run on the host's user-interface thread, process on the audio thread (setProcessing
// on either); each holds the plug-in lock while it works on the plug-in. The reference count is
// atomic; everything else belongs to the thread its operation names.
class IPluginVST3 final : public vst3::IComponent,
                          public vst3::IAudioProcessor,
                          public vst3::IProcessContextRequirements,
                          public vst3::IEditController,
                          public vst3::IUnitInfo,
#ifndef _WIN32
                          public vst3::Linux::ITimerHandler,
#endif
                          public QuietPluginHost {
public:
    // [ui] Takes over the plug-in (which must exist); reference count 1, the creator's.
    explicit IPluginVST3(std::unique_ptr<::IPluginBase> plugin);
    IPluginVST3(const IPluginVST3&) = delete;
    IPluginVST3& operator=(const IPluginVST3&) = delete;

    // [ui] An object for a new instance of this library's plug-in; none when memory ran out.
    static IPluginVST3* Create();

    // [any] No lock. The plug-in (owned by this object).
    ::IPluginBase* Plugin() const {
        return plugin.get();
    }
    // [ui] Takes the plug-in lock when there is news: tells the host of a program change that
    // came with a block, or that the host made itself, so its controls follow. Called where the
    // host is not inside a call of its own into the plug-in.
    void TellPendingProgramChange();

    // FUnknown.
    vst3::tresult VST3_CALL queryInterface(const vst3::TUID interfaceId, void** obj) override;
    vst3::uint32 VST3_CALL addRef() override;
    vst3::uint32 VST3_CALL release() override;

    // IPluginBase (both the component's and the controller's).
    vst3::tresult VST3_CALL initialize(vst3::FUnknown* context) override;
    vst3::tresult VST3_CALL terminate() override;

    // IComponent.
    vst3::tresult VST3_CALL getControllerClassId(vst3::TUID classId) override;
    vst3::tresult VST3_CALL setIoMode(vst3::IoMode mode) override;
    vst3::int32 VST3_CALL getBusCount(vst3::MediaType type, vst3::BusDirection dir) override;
    vst3::tresult VST3_CALL getBusInfo(vst3::MediaType type, vst3::BusDirection dir, vst3::int32 index,
                                       vst3::BusInfo& bus) override;
    vst3::tresult VST3_CALL getRoutingInfo(vst3::RoutingInfo& inInfo, vst3::RoutingInfo& outInfo) override;
    vst3::tresult VST3_CALL activateBus(vst3::MediaType type, vst3::BusDirection dir, vst3::int32 index,
                                        vst3::TBool state) override;
    vst3::tresult VST3_CALL setActive(vst3::TBool state) override;
    // The state is the VST 2.4 program chunk; setState also takes a VST 2.4 bank chunk and the
    // contents of .fxp and .fxb files, and refuses anything else without a change.
    vst3::tresult VST3_CALL setState(vst3::IBStream* state) override;
    vst3::tresult VST3_CALL getState(vst3::IBStream* state) override;

    // IAudioProcessor.
    vst3::tresult VST3_CALL setBusArrangements(vst3::SpeakerArrangement* inputs, vst3::int32 numIns,
                                               vst3::SpeakerArrangement* outputs,
                                               vst3::int32 numOuts) override;
    vst3::tresult VST3_CALL getBusArrangement(vst3::BusDirection dir, vst3::int32 index,
                                              vst3::SpeakerArrangement& arr) override;
    vst3::tresult VST3_CALL canProcessSampleSize(vst3::int32 symbolicSampleSize) override;
    vst3::uint32 VST3_CALL getLatencySamples() override;
    vst3::tresult VST3_CALL setupProcessing(vst3::ProcessSetup& setup) override;
    vst3::tresult VST3_CALL setProcessing(vst3::TBool state) override;
    vst3::tresult VST3_CALL process(vst3::ProcessData& data) override;
    vst3::uint32 VST3_CALL getTailSamples() override;

    // IProcessContextRequirements.
    vst3::uint32 VST3_CALL getProcessContextRequirements() override;

    // IEditController.
    vst3::tresult VST3_CALL setComponentState(vst3::IBStream* state) override;
    vst3::tresult VST3_CALL setControllerState(vst3::IBStream* state) override;
    vst3::tresult VST3_CALL getControllerState(vst3::IBStream* state) override;
    vst3::int32 VST3_CALL getParameterCount() override;
    vst3::tresult VST3_CALL getParameterInfo(vst3::int32 paramIndex, vst3::ParameterInfo& info) override;
    vst3::tresult VST3_CALL getParamStringByValue(vst3::ParamID id, vst3::ParamValue valueNormalized,
                                                  vst3::String128 string) override;
    vst3::tresult VST3_CALL getParamValueByString(vst3::ParamID id, vst3::TChar* string,
                                                  vst3::ParamValue& valueNormalized) override;
    vst3::ParamValue VST3_CALL normalizedParamToPlain(vst3::ParamID id,
                                                      vst3::ParamValue valueNormalized) override;
    vst3::ParamValue VST3_CALL plainParamToNormalized(vst3::ParamID id, vst3::ParamValue plainValue) override;
    vst3::ParamValue VST3_CALL getParamNormalized(vst3::ParamID id) override;
    vst3::tresult VST3_CALL setParamNormalized(vst3::ParamID id, vst3::ParamValue value) override;
    vst3::tresult VST3_CALL setComponentHandler(vst3::IComponentHandler* handler) override;
    vst3::IPlugView* VST3_CALL createView(vst3::FIDString name) override;

    // IUnitInfo: one root unit with the factory programs.
    vst3::int32 VST3_CALL getUnitCount() override;
    vst3::tresult VST3_CALL getUnitInfo(vst3::int32 unitIndex, vst3::UnitInfo& info) override;
    vst3::int32 VST3_CALL getProgramListCount() override;
    vst3::tresult VST3_CALL getProgramListInfo(vst3::int32 listIndex, vst3::ProgramListInfo& info) override;
    vst3::tresult VST3_CALL getProgramName(vst3::ProgramListID listId, vst3::int32 programIndex,
                                           vst3::String128 name) override;
    vst3::tresult VST3_CALL getProgramInfo(vst3::ProgramListID listId, vst3::int32 programIndex,
                                           vst3::FIDString attributeId, vst3::String128 value) override;
    vst3::tresult VST3_CALL hasProgramPitchNames(vst3::ProgramListID listId,
                                                 vst3::int32 programIndex) override;
    vst3::tresult VST3_CALL getProgramPitchName(vst3::ProgramListID listId, vst3::int32 programIndex,
                                                vst3::int16 midiPitch, vst3::String128 name) override;
    vst3::UnitID VST3_CALL getSelectedUnit() override;
    vst3::tresult VST3_CALL selectUnit(vst3::UnitID unitId) override;
    vst3::tresult VST3_CALL getUnitByBus(vst3::MediaType type, vst3::BusDirection dir, vst3::int32 busIndex,
                                         vst3::int32 channel, vst3::UnitID& unitId) override;
    vst3::tresult VST3_CALL setUnitProgramData(vst3::int32 listOrUnitId, vst3::int32 programIndex,
                                               vst3::IBStream* data) override;

#ifndef _WIN32
    // Linux::ITimerHandler: the host's run loop, between the host's own calls.
    void VST3_CALL onTimer() override;
#endif

    // IPluginHost: the plug-in's calls to the host that this format answers (QuietPluginHost answers
    // the rest), on the threads and under the locks IPluginHost states.
    void BeginParameterGesture(int index) override;
    void EndParameterGesture(int index) override;
    void AutomateParameter(int index, double normalized) override;
    void RequestHostDisplayUpdate() override;
    bool IsOfflineRendering() override;
    int SamplePosition() override;
    double HostTempo() override;
    void HostTimeSignature(int& beatsPerBar, int& beatUnit) override;
    void HostTime(HostTimeInfo& info) override;
    void SetLatencySamples(int samples) override;

private:
    ~IPluginVST3();

    // [ui] Plug-in lock held. The controller's values follow the plug-in's; with tellHost the host
    // learns that they changed: at once, or where a host's run loop lets the plug-in call it back
    // outside the host's own calls, from there (a host may hold its own locks around a program
    // change it makes, and wait for itself when told inside it).
    void FollowPlugin(bool tellHost);
    // [audio] Plug-in lock held. The host's changes for this block, in rising order of offset,
    // into changes; answers how many.
    int CollectChanges(vst3::IParameterChanges* queues, int frames);
    // [audio] Plug-in lock held. Reports every parameter's value to the host at the block's start.
    void ReportValues(vst3::IParameterChanges* out);
    // [audio] Plug-in lock held. The piece's position in quarter notes past the block's.
    double PieceQuarterNotes() const;
    // [ui] No lock. Reads a whole stream into buffer; false when it fails or grows beyond any
    // state's size.
    static bool ReadStream(vst3::IBStream* stream, IByteBuffer& buffer);

    Vst3References references;
    std::unique_ptr<::IPluginBase> plugin;
    vst3::FUnknown* hostContext = nullptr;
    vst3::IComponentHandler* handler = nullptr;
    bool initialized = false;
    bool setUp = false;
    bool active = false;
    // Set on the user-interface or the audio thread, read on both.
    std::atomic<bool> processing{false};
    vst3::ProcessSetup setup = {vst3::kRealtime, vst3::kSample32, 1024, 44100.0};
    // The host's transport for the block being processed; none outside processing or without one.
    const vst3::ProcessContext* context = nullptr;
    ParameterChange changes[kVst3MaxChanges];
    // What the host sees of each parameter (the effect's, bypass, program).
    std::unique_ptr<double[]> controllerValues;
    std::unique_ptr<bool[]> inGesture;
    // Set by the audio thread when a program change came with a block.
    std::atomic<bool> programChanged{false};
    // Set when the host changed the program: the next block reports every value to the host.
    std::atomic<bool> valuesToHost{false};
    // The values changed; the host is told from the run loop's next timer.
    bool restartPending = false;
#ifndef _WIN32
    // The host's run loop, from initialize's context, with a timer of ours while initialised.
    vst3::Linux::IRunLoop* runLoop = nullptr;
#endif
};
