// What a host sees of a VST 3 plug-in: factory and classes, buses, processing, parameters, units
// and programs.
#include "tools/host/InfoReport.h"
#include "tools/host/Text.h"
#include "tools/host/Vst3Instance.h"

namespace ksphost {

namespace {

using Flags = vst3::ParameterInfo::ParameterFlags;

std::string ParameterFlags(vst3::int32 flags) {
    static const FlagName names[] = {
        {Flags::kCanAutomate, "CanAutomate"},   {Flags::kIsReadOnly, "IsReadOnly"},
        {Flags::kIsWrapAround, "IsWrapAround"}, {Flags::kIsList, "IsList"},
        {Flags::kIsHidden, "IsHidden"},         {Flags::kIsProgramChange, "IsProgramChange"},
        {Flags::kIsBypass, "IsBypass"},
    };
    return FlagNames(static_cast<uint32_t>(flags), names, sizeof names / sizeof names[0]);
}

std::string ContextNeeds(uint32_t flags) {
    using Needs = vst3::IProcessContextRequirements;
    static const FlagName names[] = {
        {Needs::kNeedSystemTime, "SystemTime"},
        {Needs::kNeedContinousTimeSamples, "ContinousTimeSamples"},
        {Needs::kNeedProjectTimeMusic, "ProjectTimeMusic"},
        {Needs::kNeedBarPositionMusic, "BarPositionMusic"},
        {Needs::kNeedCycleMusic, "CycleMusic"},
        {Needs::kNeedSamplesToNextClock, "SamplesToNextClock"},
        {Needs::kNeedTempo, "Tempo"},
        {Needs::kNeedTimeSignature, "TimeSignature"},
        {Needs::kNeedChord, "Chord"},
        {Needs::kNeedFrameRate, "FrameRate"},
        {Needs::kNeedTransportState, "TransportState"},
    };
    return FlagNames(flags, names, sizeof names / sizeof names[0]);
}

std::string SamplesText(vst3::uint32 samples) {
    return samples == vst3::kInfiniteTail ? std::string("infinite") : std::to_string(samples) + " samples";
}

void DescribeBuses(vst3::IComponent& component, vst3::IAudioProcessor& processor,
                   vst3::BusDirection direction, std::string& out) {
    const vst3::int32 count = component.getBusCount(vst3::kAudio, direction);
    Append(out, "\nAudio %s (%d)\n", direction == vst3::kInput ? "inputs" : "outputs", count);
    for (vst3::int32 i = 0; i < count; ++i) {
        vst3::BusInfo bus = {};
        if (component.getBusInfo(vst3::kAudio, direction, i, bus) != vst3::kResultOk) {
            Append(out, "  %-3d (no information)\n", i);
            continue;
        }
        vst3::SpeakerArrangement arrangement = 0;
        const bool arranged = processor.getBusArrangement(direction, i, arrangement) == vst3::kResultOk;
        Append(out, "  %-3d %-28s %d channels, %s%s", i, ("\"" + Utf8(bus.name) + "\"").c_str(),
               bus.channelCount, bus.busType == vst3::kMain ? "main" : "aux",
               (bus.flags & vst3::BusInfo::kDefaultActive) != 0 ? ", default active" : "");
        const auto high = static_cast<unsigned>(arrangement >> 32);
        const auto low = static_cast<unsigned>(arrangement);
        if (arranged && high != 0) {
            Append(out, ", speakers 0x%X%08X", high, low);
        } else if (arranged) {
            Append(out, ", speakers 0x%X", low);
        }
        out += "\n";
    }
}

} // namespace

std::string Vst3Instance::Describe() {
    DeliverValues();
    std::string out;
    const vst3::PFactoryInfo& factory = module->FactoryInfo();
    Append(out, "Plug-in          %s (VST 3, entry point GetPluginFactory)\n", module->Library().c_str());
    Append(out, "Factory vendor   %.64s\n", factory.vendor);
    Append(out, "Factory URL      %.256s\n", factory.url);
    Append(out, "Factory e-mail   %.128s\n", factory.email);
    static const FlagName factoryFlags[] = {
        {vst3::PFactoryInfo::kClassesDiscardable, "ClassesDiscardable"},
        {vst3::PFactoryInfo::kLicenseCheck, "LicenseCheck"},
        {vst3::PFactoryInfo::kComponentNonDiscardable, "ComponentNonDiscardable"},
        {vst3::PFactoryInfo::kUnicode, "Unicode"}};
    Append(out, "Factory flags    0x%X: %s\n", static_cast<unsigned>(factory.flags),
           FlagNames(static_cast<uint32_t>(factory.flags), factoryFlags, 4).c_str());
    const std::vector<Vst3ClassInfo>& classes = module->Classes();
    Append(out, "\nClasses (%d)\n", static_cast<int>(classes.size()));
    for (size_t i = 0; i < classes.size(); ++i) {
        const Vst3ClassInfo& info = classes[i];
        Append(out, "  %-3d %s %-28s %s\n", static_cast<int>(i), UidText(info.id.bytes).c_str(),
               ("\"" + info.category + "\"").c_str(), info.name.c_str());
        if (info.detailed) {
            Append(out, "      %s, vendor %s, version %s, %s, flags 0x%X, cardinality %d\n",
                   info.subCategories.c_str(), info.vendor.c_str(), info.version.c_str(),
                   info.sdkVersion.c_str(), info.flags, info.cardinality);
        }
    }

    Append(out, "\nComponent        %s (%s), its own controller\n", classInfo.name.c_str(),
           UidText(classInfo.id.bytes).c_str());
    Append(out, "Sample sizes     32-bit %s, 64-bit %s\n",
           processor->canProcessSampleSize(vst3::kSample32) == vst3::kResultTrue ? "yes" : "no",
           processor->canProcessSampleSize(vst3::kSample64) == vst3::kResultTrue ? "yes" : "no");
    Append(out, "Latency          %s\n", SamplesText(processor->getLatencySamples()).c_str());
    Append(out, "Tail size        %s\n", SamplesText(processor->getTailSamples()).c_str());
    auto requirements =
        QueryVst3<vst3::IProcessContextRequirements>(component.Get(), vst3::kIProcessContextRequirementsIid);
    if (requirements) {
        const uint32_t needs = requirements->getProcessContextRequirements();
        Append(out, "Context needs    0x%X: %s\n", needs, ContextNeeds(needs).c_str());
    } else {
        Append(out, "Context needs    not told\n");
    }
    DescribeBuses(*component, *processor, vst3::kInput, out);
    DescribeBuses(*component, *processor, vst3::kOutput, out);
    Append(out, "Event buses      %d in, %d out\n", component->getBusCount(vst3::kEvent, vst3::kInput),
           component->getBusCount(vst3::kEvent, vst3::kOutput));

    Append(out, "\nParameters (%d; # numbers the %d that --set takes)\n", static_cast<int>(parameters.size()),
           static_cast<int>(settable.size()));
    Append(out, "  %-3s %-10s %-20s %-5s %-8s %-8s %-14s %-5s %s\n", "#", "Id", "Name", "Steps", "Default",
           "Value", "Display", "Units", "Flags");
    for (size_t i = 0; i < parameters.size(); ++i) {
        const vst3::ParameterInfo& info = parameters[i];
        std::string number = "-";
        for (size_t s = 0; s < settable.size(); ++s) {
            number = settable[s] == i ? std::to_string(s) : number;
        }
        const double value = controller->getParamNormalized(info.id);
        Append(out, "  %-3s %-10u %-20s %-5d %-8.6f %-8.6f %-14s %-5s %s\n", number.c_str(), info.id,
               Utf8(info.title).c_str(), info.stepCount, info.defaultNormalizedValue, value,
               Display(info, value).c_str(), Utf8(info.units).c_str(), ParameterFlags(info.flags).c_str());
    }

    if (!units) {
        Append(out, "\nUnits: none described\n");
    } else {
        Append(out, "\nUnits (%d)\n", units->getUnitCount());
        for (vst3::int32 i = 0; i < units->getUnitCount(); ++i) {
            vst3::UnitInfo unit = {};
            if (units->getUnitInfo(i, unit) == vst3::kResultOk) {
                Append(out, "  %-3d id %d, parent %d, \"%s\", program list %d\n", i, unit.id,
                       unit.parentUnitId, Utf8(unit.name).c_str(), unit.programListId);
            }
        }
        for (vst3::int32 i = 0; i < units->getProgramListCount(); ++i) {
            vst3::ProgramListInfo list = {};
            if (units->getProgramListInfo(i, list) == vst3::kResultOk) {
                Append(out, "Program list %d \"%s\" (%d programs)\n", list.id, Utf8(list.name).c_str(),
                       list.programCount);
            }
        }
    }
    if (ProgramCount() < 1) {
        Append(out, "\nPrograms: none\n");
        return out;
    }
    const vst3::ParamID program = parameters[static_cast<size_t>(programParameter)].id;
    const int current = ProgramIndex(controller->getParamNormalized(program));
    Append(out, "\nPrograms (%d, current %d: %s)\n", ProgramCount(), current, ProgramName(current).c_str());
    for (int i = 0; i < ProgramCount(); ++i) {
        Append(out, "  %-3d %s\n", i, ProgramName(i).c_str());
    }
    return out;
}

} // namespace ksphost
