#pragma once

// The tests' VST 3 host, from the published binary layouts: the structures and constants the tests
// use, the host's objects, and the plug-in's module loaded as hosts load a bundle. The plug-in's
// methods are called by vtable slot as a C host calls them: the function in slot n of the
// object's table, with the object as first argument.
#include "tests/integration/PluginLibrary.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <deque>
#include <sstream>
#include <string>
#include <tuple>
#include <vector>

#ifdef _WIN32
#define KSP_V3CALL __stdcall
#else
#define KSP_V3CALL
#endif

namespace v3 {

using tresult = int32_t;
using Bytes = std::vector<uint8_t>;

#ifdef _WIN32
constexpr tresult kNoInterface = static_cast<tresult>(0x80004002);
#else
constexpr tresult kNoInterface = -1;
#endif
constexpr tresult kResultOk = 0, kResultFalse = 1;

struct Uid {
    char bytes[16];
};
// An id's 16 bytes from its four numbers: in reading order on Linux, as a COM GUID on Windows.
constexpr Uid MakeUid(uint32_t l1, uint32_t l2, uint32_t l3, uint32_t l4) {
    const uint32_t words[4] = {l1, l2, l3, l4};
    Uid uid = {};
    for (int i = 0; i < 16; ++i) {
#ifdef _WIN32
        const int from = i < 4 ? 3 - i : i < 6 ? 9 - i : i < 8 ? 13 - i : i;
#else
        const int from = i;
#endif
        uid.bytes[i] = static_cast<char>(words[from / 4] >> (24 - 8 * (from % 4)));
    }
    return uid;
}
inline bool Same(const char* bytes, const Uid& uid) {
    return std::memcmp(bytes, uid.bytes, 16) == 0;
}

inline constexpr Uid kFUnknown = MakeUid(0x00000000, 0x00000000, 0xC0000000, 0x00000046);
inline constexpr Uid kIPluginFactory3 = MakeUid(0x4555A2AB, 0xC1234E57, 0x9B122910, 0x36878931);
inline constexpr Uid kIComponent = MakeUid(0xE831FF31, 0xF2D54301, 0x928EBBEE, 0x25697802);
inline constexpr Uid kIAudioProcessor = MakeUid(0x42043F99, 0xB7DA453C, 0xA569E79D, 0x9AAEC33D);
inline constexpr Uid kIProcessContextRequirements = MakeUid(0x2A654303, 0xEF764E3D, 0x95B5FE83, 0x730EF6D0);
inline constexpr Uid kIEditController = MakeUid(0xDCD7BBE3, 0x7742448D, 0xA874AACC, 0x979C759E);
inline constexpr Uid kIUnitInfo = MakeUid(0x3D4BD6B5, 0x913A4FD2, 0xA886E768, 0xA5EB92C1);
inline constexpr Uid kIHostApplication = MakeUid(0x58E595CC, 0xDB2D4969, 0x8B6AAF8C, 0x36A664E5);
inline constexpr Uid kIComponentHandler = MakeUid(0x93A0BEA3, 0x0BD045DB, 0x8E890B0C, 0xC1E46AC6);
inline constexpr Uid kIBStream = MakeUid(0xC3BF6EA2, 0x30994752, 0x9B6BF990, 0x1EE33E9B);
inline constexpr Uid kIParameterChanges = MakeUid(0xA4779663, 0x0BB64A56, 0xB44384A8, 0x466FEB9D);
inline constexpr Uid kIParamValueQueue = MakeUid(0x01263A18, 0xED074F6F, 0x98C9D356, 0x4686F9BA);
inline constexpr Uid kIPlugFrame = MakeUid(0x367FAF01, 0xAFA94693, 0x8D4DA2A0, 0xED0882A3);
inline constexpr Uid kIRunLoop = MakeUid(0x18C35366, 0x97764F1A, 0x9C5B8385, 0x7A871389);
inline constexpr Uid kPhaserClass = MakeUid(0x5653546B, 0x7370686B, 0x65737472, 0x756E656C);

// The plug-in's methods the tests call, by slot: FUnknown, IPluginFactory3, IComponent,
// IAudioProcessor, IEditController, IUnitInfo, IPlugView, and the Linux IEventHandler and
// ITimerHandler.
constexpr int kQueryInterface = 0, kAddRef = 1, kRelease = 2;
constexpr int kGetFactoryInfo = 3, kCountClasses = 4, kGetClassInfo = 5, kCreateInstance = 6,
              kGetClassInfo2 = 7, kGetClassInfoUnicode = 8;
constexpr int kInitialize = 3, kTerminate = 4, kGetControllerClassId = 5, kGetBusCount = 7, kGetBusInfo = 8,
              kSetActive = 11, kSetState = 12, kGetState = 13;
constexpr int kSetBusArrangements = 3, kGetBusArrangement = 4, kCanProcessSampleSize = 5,
              kSetupProcessing = 7, kSetProcessing = 8, kProcess = 9, kGetTailSamples = 10;
constexpr int kSetComponentState = 5, kGetParameterCount = 8, kGetParameterInfo = 9,
              kGetParamStringByValue = 10, kGetParamValueByString = 11, kGetParamNormalized = 14,
              kSetParamNormalized = 15, kSetComponentHandler = 16, kCreateView = 17;
constexpr int kGetUnitCount = 3, kGetUnitInfo = 4, kGetProgramListCount = 5, kGetProgramListInfo = 6,
              kGetProgramName = 7;
constexpr int kIsPlatformTypeSupported = 3, kAttached = 4, kRemoved = 5, kGetSize = 9, kSetFrame = 12,
              kCanResize = 13;
constexpr int kOnFDIsSet = 3, kOnTimer = 3;

template <class R = tresult, class... A>
R Call(void* object, int slot, A... arguments) {
    using Method = R(KSP_V3CALL*)(void*, A...);
    return (*static_cast<Method**>(object))[slot](object, arguments...);
}
// The object's interface iid, with a reference for the caller; null when it has none.
inline void* Query(void* object, const Uid& iid) {
    void* found = nullptr;
    return object != nullptr && Call(object, kQueryInterface, iid.bytes, &found) == kResultOk ? found
                                                                                              : nullptr;
}
inline void Release(void* object) {
    if (object != nullptr) {
        Call<uint32_t>(object, kRelease);
    }
}

enum : int32_t { kAudio = 0, kEvent = 1, kInput = 0, kOutput = 1, kSample32 = 0, kSample64 = 1 };
constexpr uint8_t kOn = 1, kOff = 0;
constexpr uint64_t kStereoArrangement = 3, kMonoArrangement = 0x80000;
constexpr int32_t kCanAutomate = 1, kIsList = 8, kIsProgramChange = 0x8000, kIsBypass = 0x10000;
constexpr uint32_t kInfiniteTail = 0xFFFFFFFF;

struct PFactoryInfo {
    char vendor[64], url[256], email[128];
    int32_t flags;
};
// Its first 116 bytes are a PClassInfo.
struct PClassInfo2 {
    char cid[16];
    int32_t cardinality;
    char category[32], name[64];
    uint32_t classFlags;
    char subCategories[128], vendor[64], version[64], sdkVersion[64];
};
struct PClassInfoW {
    char cid[16];
    int32_t cardinality;
    char category[32];
    char16_t name[64];
    uint32_t classFlags;
    char subCategories[128];
    char16_t vendor[64], version[64], sdkVersion[64];
};
struct BusInfo {
    int32_t mediaType, direction, channelCount;
    char16_t name[128];
    int32_t busType;
    uint32_t flags;
};
struct ProcessSetup {
    int32_t processMode, symbolicSampleSize, maxSamplesPerBlock;
    double sampleRate;
};
struct AudioBusBuffers {
    int32_t numChannels;
    uint64_t silenceFlags;
    void** channelBuffers; // float** or double**, as the sample size says
};
struct ProcessData {
    int32_t processMode, symbolicSampleSize, numSamples, numInputs, numOutputs;
    AudioBusBuffers *inputs, *outputs;
    void *inputParameterChanges, *outputParameterChanges, *inputEvents, *outputEvents, *processContext;
};
struct ParameterInfo {
    uint32_t id;
    char16_t title[128], shortTitle[128], units[128];
    int32_t stepCount;
    double defaultNormalizedValue;
    int32_t unitId, flags;
};
struct UnitInfo {
    int32_t id, parentUnitId;
    char16_t name[128];
    int32_t programListId;
};
struct ProgramListInfo {
    int32_t id;
    char16_t name[128];
    int32_t programCount;
};
struct ViewRect {
    int32_t left, top, right, bottom;
};
static_assert(sizeof(PFactoryInfo) == 452 && sizeof(PClassInfo2) == 440 && sizeof(PClassInfoW) == 696);
static_assert(sizeof(BusInfo) == 276 && sizeof(ParameterInfo) == 792 && sizeof(UnitInfo) == 268);
static_assert(sizeof(ProcessData) == (sizeof(void*) == 8 ? 80 : 48) && sizeof(AudioBusBuffers) == 24);

// ASCII text from UTF-16.
inline std::string Narrow(const char16_t* text) {
    return std::string(text, text + std::char_traits<char16_t>::length(text));
}
// The values, each followed by a space.
template <class... T>
std::string Join(const T&... values) {
    std::ostringstream out;
    ((out << values << ' '), ...);
    return out.str();
}

// A host object: FUnknown's three slots, answering FUnknown and iid, then its interface's own
// methods in slot order. The test owns it: the count only tells whether the plug-in gave back
// every reference it took.
template <const Uid& iid>
struct HostObject {
    virtual tresult KSP_V3CALL queryInterface(const char* asked, void** object) {
        const bool known = Same(asked, kFUnknown) || Same(asked, iid);
        *object = known ? this : nullptr;
        references += known ? 1 : 0;
        return known ? kResultOk : kNoInterface;
    }
    virtual uint32_t KSP_V3CALL addRef() { return static_cast<uint32_t>(++references); }
    virtual uint32_t KSP_V3CALL release() { return static_cast<uint32_t>(--references); }

    int references = 0;
};

struct HostApplication final : HostObject<kIHostApplication> {
    virtual tresult KSP_V3CALL getName(char16_t* name) {
        std::char_traits<char16_t>::copy(name, u"KSPhaser tests", 15);
        return kResultOk;
    }
    virtual tresult KSP_V3CALL createInstance(char*, char*, void** object) {
        *object = nullptr;
        return kResultFalse;
    }
};

// Records the plug-in's calls as "begin 3", "perform 3", "end 3", "restart 4".
struct ComponentHandler final : HostObject<kIComponentHandler> {
    virtual tresult KSP_V3CALL beginEdit(uint32_t id) { return Record("begin", id); }
    virtual tresult KSP_V3CALL performEdit(uint32_t id, double) { return Record("perform", id); }
    virtual tresult KSP_V3CALL endEdit(uint32_t id) { return Record("end", id); }
    virtual tresult KSP_V3CALL restartComponent(int32_t flags) { return Record("restart", flags); }
    tresult Record(const char* call, int64_t value) {
        calls.push_back(call + (" " + std::to_string(value)));
        return kResultOk;
    }

    std::vector<std::string> calls;
};

// A stream over bytes that hands out at most readLimit bytes per read.
struct MemoryStream final : HostObject<kIBStream> {
    explicit MemoryStream(Bytes bytes = {}, size_t readLimit = SIZE_MAX)
        : bytes(bytes), readLimit(readLimit) {}
    virtual tresult KSP_V3CALL read(void* to, int32_t count, int32_t* done) {
        const size_t start = std::min(position, bytes.size());
        const size_t n = std::min({Count(count), readLimit, bytes.size() - start});
        std::copy_n(bytes.begin() + start, n, static_cast<uint8_t*>(to));
        return Moved(n, done);
    }
    virtual tresult KSP_V3CALL write(void* from, int32_t count, int32_t* done) {
        bytes.resize(std::max(bytes.size(), position + Count(count)));
        std::copy_n(static_cast<uint8_t*>(from), Count(count), bytes.begin() + position);
        return Moved(Count(count), done);
    }
    virtual tresult KSP_V3CALL seek(int64_t to, int32_t mode, int64_t* result) {
        const size_t from = mode == 1 ? position : mode == 2 ? bytes.size() : 0;
        position = static_cast<size_t>(std::max<int64_t>(static_cast<int64_t>(from) + to, 0));
        return Moved(0, nullptr, result);
    }
    virtual tresult KSP_V3CALL tell(int64_t* result) { return Moved(0, nullptr, result); }
    // Moves on by n bytes; tells the count and the new position where asked.
    tresult Moved(size_t n, int32_t* done, int64_t* at = nullptr) {
        position += n;
        *(done != nullptr ? done : &lastCount) = static_cast<int32_t>(n);
        *(at != nullptr ? at : &lastPosition) = static_cast<int64_t>(position);
        return kResultOk;
    }
    static size_t Count(int32_t count) { return static_cast<size_t>(std::max(count, 0)); }

    Bytes bytes;
    size_t readLimit;
    size_t position = 0;
    int32_t lastCount = 0;
    int64_t lastPosition = 0;
};

struct ValueQueue final : HostObject<kIParamValueQueue> {
    virtual uint32_t KSP_V3CALL getParameterId() { return id; }
    virtual int32_t KSP_V3CALL getPointCount() { return static_cast<int32_t>(points.size()); }
    virtual tresult KSP_V3CALL getPoint(int32_t index, int32_t& offset, double& value) {
        const bool valid = index >= 0 && index < getPointCount();
        std::tie(offset, value) = valid ? points[static_cast<size_t>(index)] : std::pair(offset, value);
        return valid ? kResultOk : kResultFalse;
    }
    virtual tresult KSP_V3CALL addPoint(int32_t offset, double value, int32_t& index) {
        index = getPointCount();
        points.emplace_back(offset, value);
        return kResultOk;
    }

    uint32_t id = 0;
    std::vector<std::pair<int32_t, double>> points;
};

// Parameter changes in or out: a queue for each parameter, its points in the order added.
struct ParameterChanges final : HostObject<kIParameterChanges> {
    virtual int32_t KSP_V3CALL getParameterCount() { return static_cast<int32_t>(queues.size()); }
    virtual ValueQueue* KSP_V3CALL getParameterData(int32_t index) {
        return index >= 0 && index < getParameterCount() ? &queues[static_cast<size_t>(index)] : nullptr;
    }
    virtual ValueQueue* KSP_V3CALL addParameterData(const uint32_t& id, int32_t& index) {
        auto queue =
            std::find_if(queues.begin(), queues.end(), [id](const ValueQueue& q) { return q.id == id; });
        if (queue == queues.end()) {
            queue = queues.emplace(queues.end());
            queue->id = id;
        }
        index = static_cast<int32_t>(queue - queues.begin());
        return &*queue;
    }
    void Add(uint32_t id, int32_t offset, double value) {
        int32_t index = 0;
        addParameterData(id, index)->points.emplace_back(offset, value);
    }

    std::deque<ValueQueue> queues;
};

// The binary in the bundle, loaded and entered as hosts do it, and its factory; the reverse when
// destroyed.
struct Module : PluginLibrary {
    explicit Module(const std::string& bundle) : PluginLibrary(Binary(bundle)) {
#ifdef _WIN32
        auto enter = Function<bool (*)()>("InitDll");
        exit = Function<bool (*)()>("ExitDll");
        entered = exit != nullptr && enter != nullptr && enter();
#else
        auto enter = Function<bool (*)(void*)>("ModuleEntry");
        exit = Function<bool (*)()>("ModuleExit");
        entered = exit != nullptr && enter != nullptr && enter(Handle());
#endif
        auto getFactory = Function<void*(KSP_V3CALL*)()>("GetPluginFactory");
        void* unknown = entered && getFactory != nullptr ? getFactory() : nullptr;
        factory = Query(unknown, kIPluginFactory3);
        Release(unknown);
    }
    ~Module() {
        Release(factory);
        if (entered) {
            exit();
        }
    }
    // The bundle's binary for this platform, named after the bundle.
    static std::string Binary(const std::string& bundle) {
        const size_t name = bundle.rfind('/') + 1;
        const std::string stem = bundle.substr(name, bundle.rfind('.') - name);
#ifdef _WIN32
        return bundle + "/Contents/x86_64-win/" + stem + ".vst3";
#else
        return bundle + "/Contents/x86_64-linux/" + stem + ".so";
#endif
    }
    template <class F>
    F Function(const char* name) const {
        return reinterpret_cast<F>(reinterpret_cast<void (*)()>(Entry(name)));
    }

    bool (*exit)() = nullptr;
    bool entered = false;
    void* factory = nullptr;
};

// One instance of the phaser class initialised with the tests' host application, its other
// interfaces queried from the component; stopped, terminated and released when destroyed.
struct Instance {
    explicit Instance(Module& module) {
        void* factory = module.factory;
        if (factory != nullptr &&
            Call(factory, kCreateInstance, kPhaserClass.bytes, kIComponent.bytes, &component) == kResultOk &&
            Call(component, kInitialize, &host) == kResultOk) {
            processor = Query(component, kIAudioProcessor);
            controller = Query(component, kIEditController);
            units = Query(component, kIUnitInfo);
        }
    }
    ~Instance() {
        if (processor != nullptr) {
            Call(processor, kSetProcessing, kOff);
            Call(component, kSetActive, kOff);
            Call(component, kTerminate);
        }
        for (void* object : {processor, controller, units, component}) {
            Release(object);
        }
    }
    Instance(const Instance&) = delete;
    Instance& operator=(const Instance&) = delete;

    // setupProcessing at 44.1 kHz, setActive, setProcessing: whether each answered kResultOk.
    bool Start(int32_t sampleSize) {
        ProcessSetup setup = {0, sampleSize, 512, 44100.0};
        return Call(processor, kSetupProcessing, &setup) == kResultOk &&
               Call(component, kSetActive, kOn) == kResultOk &&
               Call(processor, kSetProcessing, kOn) == kResultOk;
    }
    // One process call with the channels (float* or double*) of an input and an output bus, or
    // with no buses when inputs is null.
    tresult Process(int32_t sampleSize, int32_t samples, void** inputs, void** outputs,
                    ParameterChanges* changes = nullptr, ParameterChanges* reported = nullptr) {
        AudioBusBuffers in = {2, 0, inputs}, out = {2, 0, outputs};
        ProcessData data = {};
        data.symbolicSampleSize = sampleSize;
        data.numSamples = samples;
        data.numInputs = data.numOutputs = inputs != nullptr ? 1 : 0;
        data.inputs = inputs != nullptr ? &in : nullptr;
        data.outputs = inputs != nullptr ? &out : nullptr;
        data.inputParameterChanges = changes;
        data.outputParameterChanges = reported;
        return Call(processor, kProcess, &data);
    }
    Bytes State() {
        MemoryStream stream;
        return Call(component, kGetState, &stream) == kResultOk ? stream.bytes : Bytes();
    }
    tresult SetState(const Bytes& bytes, size_t readLimit = SIZE_MAX) {
        MemoryStream stream(bytes, readLimit);
        return Call(component, kSetState, &stream);
    }

    HostApplication host;
    void* component = nullptr;
    void* processor = nullptr;
    void* controller = nullptr;
    void* units = nullptr;
};

} // namespace v3
