// The VST 3 binding's edit controller: parameters, units and programs, as the host sees them.
#include "formats/vst3/IPluginVST3.h"

#include "core/ParameterText.h"
#include "core/TextCopy.h"
#include "formats/vst3/Vst3PluginView.h"
#include "formats/vst3/Vst3Text.h"

#include <cmath>
#include <cstring>

namespace {

constexpr int kTextUnits = 128; // a String128

// The step a discrete parameter of steps steps shows at normalised x, as hosts map it.
int StepAt(double x, int steps) {
    const int step = static_cast<int>(std::floor(x * (steps + 1)));
    return step < steps ? step : steps;
}

} // namespace

vst3::tresult VST3_CALL IPluginVST3::setControllerState(vst3::IBStream* /*state*/) {
    return vst3::kResultOk; // everything lives in the component's state
}

vst3::tresult VST3_CALL IPluginVST3::getControllerState(vst3::IBStream* /*state*/) {
    return vst3::kResultOk;
}

vst3::int32 VST3_CALL IPluginVST3::getParameterCount() {
    return plugin->ParameterCount() + 2;
}

vst3::tresult VST3_CALL IPluginVST3::getParameterInfo(vst3::int32 paramIndex, vst3::ParameterInfo& info) {
    const int parameters = plugin->ParameterCount();
    if (paramIndex < 0 || paramIndex >= parameters + 2) {
        return vst3::kInvalidArgument;
    }
    std::memset(&info, 0, sizeof info);
    info.unitId = vst3::kRootUnitId;
    if (paramIndex == parameters) {
        info.id = kVst3BypassId;
        Vst3CopyToUtf16(info.title, "Bypass", kTextUnits);
        info.stepCount = 1;
        info.flags = vst3::ParameterInfo::kCanAutomate | vst3::ParameterInfo::kIsBypass;
    } else if (paramIndex == parameters + 1) {
        info.id = kVst3ProgramId;
        Vst3CopyToUtf16(info.title, "Program", kTextUnits);
        info.stepCount = plugin->PresetCount() > 1 ? plugin->PresetCount() - 1 : 0;
        info.flags = vst3::ParameterInfo::kCanAutomate | vst3::ParameterInfo::kIsProgramChange |
                     vst3::ParameterInfo::kIsList;
    } else {
        LockGuard guard(plugin->Lock());
        const IParameter* parameter = plugin->ParameterAt(paramIndex);
        info.id = static_cast<vst3::ParamID>(paramIndex);
        Vst3CopyToUtf16(info.title, parameter->Name(), kTextUnits);
        info.stepCount = parameter->StepCount();
        info.defaultNormalizedValue = parameter->NormalizedOf(parameter->DefaultValue());
        info.flags = vst3::ParameterInfo::kCanAutomate;
    }
    std::memcpy(info.shortTitle, info.title, sizeof info.title);
    return vst3::kResultOk;
}

vst3::tresult VST3_CALL IPluginVST3::getParamStringByValue(vst3::ParamID id, vst3::ParamValue valueNormalized,
                                                           vst3::String128 string) {
    if (string == nullptr || !std::isfinite(valueNormalized)) {
        return vst3::kInvalidArgument;
    }
    const double x = valueNormalized < 0.0 ? 0.0 : (valueNormalized > 1.0 ? 1.0 : valueNormalized);
    LockGuard guard(plugin->Lock());
    char text[kParameterTextCapacity] = {};
    if (id == kVst3BypassId) {
        CopyText(text, x >= 0.5 ? "on" : "off", sizeof text);
    } else if (id == kVst3ProgramId) {
        CopyText(text, plugin->PresetName(StepAt(x, plugin->PresetCount() - 1)), sizeof text);
    } else if (const IParameter* parameter = plugin->ParameterAt(static_cast<int>(id))) {
        parameter->FormatDisplay(parameter->ValueFromNormalized(x), false, text, true);
    } else {
        return vst3::kInvalidArgument;
    }
    Vst3CopyToUtf16(string, text, kTextUnits);
    return vst3::kResultOk;
}

vst3::tresult VST3_CALL IPluginVST3::getParamValueByString(vst3::ParamID id, vst3::TChar* string,
                                                           vst3::ParamValue& valueNormalized) {
    if (string == nullptr) {
        return vst3::kInvalidArgument;
    }
    char text[kParameterTextCapacity * 2];
    Vst3CopyFromUtf16(text, string, sizeof text);
    LockGuard guard(plugin->Lock());
    if (id == kVst3BypassId || id == kVst3ProgramId) {
        const int count = id == kVst3BypassId ? 2 : plugin->PresetCount();
        for (int i = 0; i < count; ++i) {
            const char* name = id == kVst3BypassId ? (i == 0 ? "off" : "on") : plugin->PresetName(i);
            if (SameTextAnyCase(name, text)) {
                valueNormalized = count > 1 ? static_cast<double>(i) / (count - 1) : 0.0;
                return vst3::kResultOk;
            }
        }
        return vst3::kResultFalse;
    }
    const IParameter* parameter = plugin->ParameterAt(static_cast<int>(id));
    double normalized = 0.0;
    if (parameter == nullptr || !ParameterValueFromText(*parameter, text, normalized)) {
        return vst3::kResultFalse;
    }
    valueNormalized = normalized;
    return vst3::kResultOk;
}

vst3::ParamValue VST3_CALL IPluginVST3::normalizedParamToPlain(vst3::ParamID id,
                                                               vst3::ParamValue valueNormalized) {
    const IParameter* parameter = id < static_cast<vst3::ParamID>(plugin->ParameterCount())
                                      ? plugin->ParameterAt(static_cast<int>(id))
                                      : nullptr;
    if (parameter == nullptr) {
        // Bypass and program: their steps.
        return StepAt(valueNormalized, id == kVst3ProgramId ? plugin->PresetCount() - 1 : 1);
    }
    return parameter->ValueFromNormalized(valueNormalized);
}

vst3::ParamValue VST3_CALL IPluginVST3::plainParamToNormalized(vst3::ParamID id,
                                                               vst3::ParamValue plainValue) {
    const IParameter* parameter = id < static_cast<vst3::ParamID>(plugin->ParameterCount())
                                      ? plugin->ParameterAt(static_cast<int>(id))
                                      : nullptr;
    if (parameter == nullptr) {
        const int steps = id == kVst3ProgramId ? plugin->PresetCount() - 1 : 1;
        return steps > 0 ? plainValue / steps : 0.0;
    }
    return parameter->NormalizedOf(plainValue);
}

vst3::ParamValue VST3_CALL IPluginVST3::getParamNormalized(vst3::ParamID id) {
#ifdef _WIN32
    // Without a run loop of the host's, the next look at the values tells it of a change.
    TellPendingProgramChange();
#endif
    const int parameters = plugin->ParameterCount();
    if (id < static_cast<vst3::ParamID>(parameters)) {
        return controllerValues[id];
    }
    if (id == kVst3BypassId || id == kVst3ProgramId) {
        return controllerValues[parameters + (id == kVst3BypassId ? 0 : 1)];
    }
    return 0.0;
}

vst3::tresult VST3_CALL IPluginVST3::setParamNormalized(vst3::ParamID id, vst3::ParamValue value) {
    if (!std::isfinite(value)) {
        return vst3::kInvalidArgument;
    }
    value = value < 0.0 ? 0.0 : (value > 1.0 ? 1.0 : value);
    const int parameters = plugin->ParameterCount();
    LockGuard guard(plugin->Lock());
    if (id < static_cast<vst3::ParamID>(parameters)) {
        controllerValues[id] = value;
        if (processing) {
            // The processor takes the value at its place in the host's blocks: set now, it could
            // undo a newer one there. Only the editor shows it now.
            if (IEditor* editor = plugin->Editor()) {
                editor->SetParameterFromHost(static_cast<int>(id), value, true);
            }
        } else {
            plugin->SetParameterFromHost(static_cast<int>(id), value);
        }
        return vst3::kResultOk;
    }
    if (id == kVst3BypassId) {
        controllerValues[parameters] = value >= 0.5 ? 1.0 : 0.0;
        if (!processing) {
            plugin->SetBypass(value >= 0.5, false);
        }
        return vst3::kResultOk;
    }
    if (id == kVst3ProgramId) {
        // The program's values are the controller's at once; the processor loads the same program
        // again with the host's next block, which changes nothing. The host is inside its own
        // program change here and may hold its locks: its controls learn the values from the
        // next block's output and, where it has a run loop, from a restart called from there.
        plugin->ModifyCurrentPreset(nullptr);
        plugin->LoadPreset(StepAt(value, plugin->PresetCount() - 1));
        FollowPlugin(false);
        valuesToHost = true;
#ifndef _WIN32
        restartPending = runLoop != nullptr;
#endif
        return vst3::kResultOk;
    }
    return vst3::kInvalidArgument;
}

vst3::tresult VST3_CALL IPluginVST3::setComponentHandler(vst3::IComponentHandler* newHandler) {
    if (newHandler != nullptr) {
        newHandler->addRef();
    }
    if (handler != nullptr) {
        handler->release();
    }
    handler = newHandler;
    return vst3::kResultOk;
}

vst3::IPlugView* VST3_CALL IPluginVST3::createView(vst3::FIDString name) {
    if (name == nullptr || std::strcmp(name, vst3::ViewType::kEditor) != 0 || plugin->Editor() == nullptr ||
        !plugin->Editor()->CanOpenWindow()) {
        return nullptr;
    }
    return Vst3PluginView::Create(this);
}

vst3::int32 VST3_CALL IPluginVST3::getUnitCount() {
    return 1;
}

vst3::tresult VST3_CALL IPluginVST3::getUnitInfo(vst3::int32 unitIndex, vst3::UnitInfo& info) {
    if (unitIndex != 0) {
        return vst3::kInvalidArgument;
    }
    info.id = vst3::kRootUnitId;
    info.parentUnitId = vst3::kNoParentUnitId;
    Vst3CopyToUtf16(info.name, "Root", kTextUnits);
    info.programListId = kVst3ProgramListId;
    return vst3::kResultOk;
}

vst3::int32 VST3_CALL IPluginVST3::getProgramListCount() {
    return 1;
}

vst3::tresult VST3_CALL IPluginVST3::getProgramListInfo(vst3::int32 listIndex, vst3::ProgramListInfo& info) {
    if (listIndex != 0) {
        return vst3::kInvalidArgument;
    }
    info.id = kVst3ProgramListId;
    Vst3CopyToUtf16(info.name, "Factory Programs", kTextUnits);
    info.programCount = plugin->PresetCount();
    return vst3::kResultOk;
}

vst3::tresult VST3_CALL IPluginVST3::getProgramName(vst3::ProgramListID listId, vst3::int32 programIndex,
                                                    vst3::String128 name) {
    if (listId != kVst3ProgramListId || programIndex < 0 || programIndex >= plugin->PresetCount() ||
        name == nullptr) {
        return vst3::kInvalidArgument;
    }
    LockGuard guard(plugin->Lock());
    Vst3CopyToUtf16(name, plugin->PresetName(programIndex), kTextUnits);
    return vst3::kResultOk;
}

vst3::tresult VST3_CALL IPluginVST3::getProgramInfo(vst3::ProgramListID /*listId*/,
                                                    vst3::int32 /*programIndex*/,
                                                    vst3::FIDString /*attributeId*/,
                                                    vst3::String128 /*value*/) {
    return vst3::kResultFalse;
}

vst3::tresult VST3_CALL IPluginVST3::hasProgramPitchNames(vst3::ProgramListID /*listId*/,
                                                          vst3::int32 /*programIndex*/) {
    return vst3::kResultFalse;
}

vst3::tresult VST3_CALL IPluginVST3::getProgramPitchName(vst3::ProgramListID /*listId*/,
                                                         vst3::int32 /*programIndex*/,
                                                         vst3::int16 /*midiPitch*/,
                                                         vst3::String128 /*name*/) {
    return vst3::kResultFalse;
}

vst3::UnitID VST3_CALL IPluginVST3::getSelectedUnit() {
    return vst3::kRootUnitId;
}

vst3::tresult VST3_CALL IPluginVST3::selectUnit(vst3::UnitID /*unitId*/) {
    return vst3::kResultTrue;
}

vst3::tresult VST3_CALL IPluginVST3::getUnitByBus(vst3::MediaType /*type*/, vst3::BusDirection /*dir*/,
                                                  vst3::int32 /*busIndex*/, vst3::int32 /*channel*/,
                                                  vst3::UnitID& /*unitId*/) {
    return vst3::kResultFalse;
}

vst3::tresult VST3_CALL IPluginVST3::setUnitProgramData(vst3::int32 /*listOrUnitId*/,
                                                        vst3::int32 /*programIndex*/,
                                                        vst3::IBStream* /*data*/) {
    return vst3::kNotImplemented;
}
