#include "formats/vst3/IPluginVST3.h"

#include "core/PluginFactory.h"
#include "formats/vst3/Vst3Text.h"

#include <cstring>
#include <new>

namespace {

#ifndef _WIN32
// How often the run loop lets the plug-in tell the host what changed.
constexpr vst3::Linux::TimerInterval kRestartTimerMs = 50;
#endif

} // namespace

IPluginVST3::IPluginVST3(std::unique_ptr<::IPluginBase> owned) : plugin(std::move(owned)) {
    const int values = plugin->ParameterCount() + 2;
    controllerValues.reset(new (std::nothrow) double[static_cast<size_t>(values)]());
    inGesture.reset(new (std::nothrow) bool[static_cast<size_t>(values)]());
    LockGuard guard(plugin->Lock());
    plugin->ConnectAllChannels();
    plugin->ApplyBlockSize(setup.maxSamplesPerBlock);
    plugin->SetHost(this);
    if (controllerValues) {
        FollowPlugin(false);
    }
}

IPluginVST3::~IPluginVST3() {
    terminate();
}

IPluginVST3* IPluginVST3::Create() {
    std::unique_ptr<::IPluginBase> plugin = CreatePlugin();
    if (!plugin) {
        return nullptr;
    }
    plugin->FillUnusedPresets(plugin->PresetCount());
    auto* created = new (std::nothrow) IPluginVST3(std::move(plugin));
    if (created != nullptr && (!created->controllerValues || !created->inGesture)) {
        created->release();
        return nullptr;
    }
    return created;
}

vst3::tresult VST3_CALL IPluginVST3::queryInterface(const vst3::TUID interfaceId, void** obj) {
    if (obj == nullptr) {
        return vst3::kInvalidArgument;
    }
    void* found = nullptr;
    if (SameUid(interfaceId, vst3::kFUnknownIid) || SameUid(interfaceId, vst3::kIPluginBaseIid) ||
        SameUid(interfaceId, vst3::kIComponentIid)) {
        found = static_cast<vst3::IComponent*>(this);
    } else if (SameUid(interfaceId, vst3::kIAudioProcessorIid)) {
        found = static_cast<vst3::IAudioProcessor*>(this);
    } else if (SameUid(interfaceId, vst3::kIProcessContextRequirementsIid)) {
        found = static_cast<vst3::IProcessContextRequirements*>(this);
    } else if (SameUid(interfaceId, vst3::kIEditControllerIid)) {
        found = static_cast<vst3::IEditController*>(this);
    } else if (SameUid(interfaceId, vst3::kIUnitInfoIid)) {
        found = static_cast<vst3::IUnitInfo*>(this);
    }
#ifndef _WIN32
    else if (SameUid(interfaceId, vst3::Linux::kITimerHandlerIid)) {
        found = static_cast<vst3::Linux::ITimerHandler*>(this);
    }
#endif
    return AnswerInterface(this, found, obj);
}

vst3::uint32 VST3_CALL IPluginVST3::addRef() {
    return references.Add();
}

vst3::uint32 VST3_CALL IPluginVST3::release() {
    const vst3::uint32 left = references.Drop();
    if (left == 0) {
        delete this;
    }
    return left;
}

vst3::tresult VST3_CALL IPluginVST3::initialize(vst3::FUnknown* context) {
    if (initialized) {
        return vst3::kResultFalse;
    }
    if (context != nullptr) {
        context->addRef();
    }
    hostContext = context;
    initialized = true;
#ifndef _WIN32
    void* loop = nullptr;
    if (context != nullptr &&
        context->queryInterface(vst3::Linux::kIRunLoopIid.bytes, &loop) == vst3::kResultOk &&
        loop != nullptr) {
        runLoop = static_cast<vst3::Linux::IRunLoop*>(loop);
        if (runLoop->registerTimer(this, kRestartTimerMs) != vst3::kResultOk) {
            runLoop->release();
            runLoop = nullptr;
        }
    }
#endif
    LockGuard guard(plugin->Lock());
    plugin->NotifyAllParameters();
    return vst3::kResultOk;
}

vst3::tresult VST3_CALL IPluginVST3::terminate() {
    if (active) {
        setActive(0);
    }
#ifndef _WIN32
    if (runLoop != nullptr) {
        runLoop->unregisterTimer(this);
        runLoop->release();
        runLoop = nullptr;
    }
#endif
    setComponentHandler(nullptr);
    if (hostContext != nullptr) {
        hostContext->release();
        hostContext = nullptr;
    }
    initialized = false;
    setUp = false;
    return vst3::kResultOk;
}

vst3::tresult VST3_CALL IPluginVST3::getControllerClassId(vst3::TUID /*classId*/) {
    return vst3::kResultFalse;
}

vst3::tresult VST3_CALL IPluginVST3::setIoMode(vst3::IoMode /*mode*/) {
    return vst3::kResultOk;
}

vst3::int32 VST3_CALL IPluginVST3::getBusCount(vst3::MediaType type, vst3::BusDirection dir) {
    return type == vst3::kAudio && (dir == vst3::kInput || dir == vst3::kOutput) ? 1 : 0;
}

vst3::tresult VST3_CALL IPluginVST3::getBusInfo(vst3::MediaType type, vst3::BusDirection dir,
                                                vst3::int32 index, vst3::BusInfo& bus) {
    if (type != vst3::kAudio || index != 0 || (dir != vst3::kInput && dir != vst3::kOutput)) {
        return vst3::kInvalidArgument;
    }
    bus.mediaType = vst3::kAudio;
    bus.direction = dir;
    bus.channelCount = 2;
    Vst3CopyToUtf16(bus.name, dir == vst3::kInput ? "Stereo In" : "Stereo Out", sizeof bus.name / 2);
    bus.busType = vst3::kMain;
    bus.flags = vst3::BusInfo::kDefaultActive;
    return vst3::kResultOk;
}

vst3::tresult VST3_CALL IPluginVST3::getRoutingInfo(vst3::RoutingInfo& /*inInfo*/,
                                                    vst3::RoutingInfo& /*outInfo*/) {
    return vst3::kNotImplemented;
}

vst3::tresult VST3_CALL IPluginVST3::activateBus(vst3::MediaType type, vst3::BusDirection dir,
                                                 vst3::int32 index, vst3::TBool /*state*/) {
    const bool valid = type == vst3::kAudio && index == 0 && (dir == vst3::kInput || dir == vst3::kOutput);
    return valid ? vst3::kResultOk : vst3::kInvalidArgument;
}

vst3::tresult VST3_CALL IPluginVST3::setActive(vst3::TBool state) {
    if (!initialized || !setUp || (state != 0) == active) {
        return vst3::kResultFalse;
    }
    LockGuard guard(plugin->Lock());
    active = state != 0;
    processing = false;
    plugin->OnActiveChange(active);
    if (!active) {
        plugin->OnReset();
    }
    return vst3::kResultOk;
}

void IPluginVST3::FollowPlugin(bool tellHost) {
    for (int i = 0; i < plugin->ParameterCount(); ++i) {
        controllerValues[i] = plugin->ParameterAt(i)->Normalized();
    }
    const int programs = plugin->PresetCount();
    controllerValues[plugin->ParameterCount()] = plugin->Bypassed() ? 1.0 : 0.0;
    controllerValues[plugin->ParameterCount() + 1] =
        programs > 1 ? static_cast<double>(plugin->CurrentPreset()) / (programs - 1) : 0.0;
    if (!tellHost) {
        return;
    }
#ifndef _WIN32
    if (runLoop != nullptr) {
        restartPending = true;
        return;
    }
#endif
    if (handler != nullptr) {
        handler->restartComponent(vst3::kParamValuesChanged);
    }
}

void IPluginVST3::TellPendingProgramChange() {
    if (programChanged.exchange(false)) {
        LockGuard guard(plugin->Lock());
        FollowPlugin(true);
    }
    if (restartPending && handler != nullptr) {
        restartPending = false;
        handler->restartComponent(vst3::kParamValuesChanged);
    }
}

#ifndef _WIN32
void VST3_CALL IPluginVST3::onTimer() {
    TellPendingProgramChange();
}
#endif

void IPluginVST3::BeginParameterGesture(int index) {
    if (index >= 0 && index < plugin->ParameterCount()) {
        inGesture[index] = true;
        if (handler != nullptr) {
            handler->beginEdit(static_cast<vst3::ParamID>(index));
        }
    }
}

void IPluginVST3::EndParameterGesture(int index) {
    if (index >= 0 && index < plugin->ParameterCount()) {
        inGesture[index] = false;
        if (handler != nullptr) {
            handler->endEdit(static_cast<vst3::ParamID>(index));
        }
    }
}

void IPluginVST3::AutomateParameter(int index, double normalized) {
    if (index < 0 || index >= plugin->ParameterCount()) {
        return;
    }
    controllerValues[index] = normalized;
    if (handler == nullptr) {
        return;
    }
    // Hosts record edits only between a begin and an end.
    const auto id = static_cast<vst3::ParamID>(index);
    if (!inGesture[index]) {
        handler->beginEdit(id);
    }
    handler->performEdit(id, normalized);
    if (!inGesture[index]) {
        handler->endEdit(id);
    }
}

void IPluginVST3::RequestHostDisplayUpdate() {
    FollowPlugin(true);
}

bool IPluginVST3::IsOfflineRendering() {
    return setup.processMode == vst3::kOffline;
}

void IPluginVST3::SetLatencySamples(int /*samples*/) {
    if (handler != nullptr) {
        handler->restartComponent(vst3::kLatencyChanged);
    }
}
