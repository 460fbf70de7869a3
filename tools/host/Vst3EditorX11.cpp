// A VST 3 editor view in the snapshot's X11 window, driven by a run loop of the host's.
#include "formats/vst3/Vst3View.h"
#include "tools/host/EditorSnapshot.h"
#include "tools/host/EditorWindowX11.h"
#include "tools/host/RunLoop.h"
#include "tools/host/Vst3Support.h"

#include <algorithm>
#include <vector>

namespace ksphost {

namespace {

using vst3::Linux::IEventHandler;
using vst3::Linux::ITimerHandler;

// The host's side of the view: a frame that keeps its size and the run loop the view registers
// its display connection and timers with: a handler is called whenever its descriptor is
// readable, a timer every interval.
class Vst3Frame final : public vst3::IPlugFrame, public vst3::Linux::IRunLoop {
public:
    Vst3Frame() = default;
    ~Vst3Frame() {
        for (const Watch& watch : watches) {
            watch.handler->release();
        }
        for (const Timer& timer : timers) {
            timer.handler->release();
        }
    }
    Vst3Frame(const Vst3Frame&) = delete;
    Vst3Frame& operator=(const Vst3Frame&) = delete;

    vst3::tresult VST3_CALL queryInterface(const vst3::TUID interfaceId, void** obj) override {
        void* found = nullptr;
        if (SameUid(interfaceId, vst3::kFUnknownIid) || SameUid(interfaceId, vst3::kIPlugFrameIid)) {
            found = static_cast<vst3::IPlugFrame*>(this);
        } else if (SameUid(interfaceId, vst3::Linux::kIRunLoopIid)) {
            found = static_cast<vst3::Linux::IRunLoop*>(this);
        }
        return AnswerInterface(this, found, obj);
    }
    // The host owns the frame: references are counted, the last one leaves it alone.
    vst3::uint32 VST3_CALL addRef() override { return references.Add(); }
    vst3::uint32 VST3_CALL release() override { return references.Drop(); }

    // The snapshot's window keeps the size the view asked for.
    vst3::tresult VST3_CALL resizeView(vst3::IPlugView* /*view*/, vst3::ViewRect* /*newSize*/) override {
        return vst3::kResultFalse;
    }

    vst3::tresult VST3_CALL registerEventHandler(IEventHandler* handler,
                                                 vst3::Linux::FileDescriptor fd) override {
        if (handler == nullptr ||
            !loop.AddDescriptor(fd, RunLoop::kReadable,
                                [handler](int ready, uint32_t /*found*/) { handler->onFDIsSet(ready); })) {
            return vst3::kInvalidArgument;
        }
        handler->addRef();
        watches.push_back({handler, fd});
        return vst3::kResultOk;
    }
    vst3::tresult VST3_CALL unregisterEventHandler(IEventHandler* handler) override {
        return Drop(watches, handler, [this](int fd) { loop.RemoveDescriptor(fd); });
    }
    vst3::tresult VST3_CALL registerTimer(ITimerHandler* handler,
                                          vst3::Linux::TimerInterval milliseconds) override {
        if (handler == nullptr || milliseconds == 0) {
            return vst3::kInvalidArgument;
        }
        handler->addRef();
        const uint32_t id = loop.AddTimer(std::chrono::milliseconds(milliseconds),
                                          [handler](uint32_t /*id*/) { handler->onTimer(); });
        timers.push_back({handler, id});
        return vst3::kResultOk;
    }
    vst3::tresult VST3_CALL unregisterTimer(ITimerHandler* handler) override {
        return Drop(timers, handler, [this](uint32_t id) { loop.RemoveTimer(id); });
    }

    void Run() { loop.Run(kEditorRunTime); }

private:
    struct Watch {
        IEventHandler* handler;
        int key;
    };
    struct Timer {
        ITimerHandler* handler;
        uint32_t key;
    };

    // Ends the handler's first registration.
    template <typename Entry, typename Handler, typename Remove>
    static vst3::tresult Drop(std::vector<Entry>& entries, Handler* handler, Remove remove) {
        const auto found = std::find_if(entries.begin(), entries.end(),
                                        [handler](const Entry& e) { return e.handler == handler; });
        if (found == entries.end()) {
            return vst3::kInvalidArgument;
        }
        remove(found->key);
        entries.erase(found);
        handler->release();
        return vst3::kResultOk;
    }

    RunLoop loop;
    std::vector<Watch> watches;
    std::vector<Timer> timers;
    Vst3References references;
};

// The view in the window: setFrame and attached; the run loop; setFrame(null) and removed.
class Vst3Editor final : public EditorInWindow {
public:
    Vst3Editor(vst3::IPlugView& v, Vst3Frame& f, const std::string& name)
        : view(v), frame(f), library(name) {}

    Status Open(unsigned long window) override {
        view.setFrame(&frame);
        if (view.attached(reinterpret_cast<void*>(window), vst3::kPlatformTypeX11EmbedWindowID) !=
            vst3::kResultOk) {
            view.setFrame(nullptr);
            return Status::Error(library + " did not open its editor");
        }
        return Status();
    }
    void Run() override { frame.Run(); }
    void Close() override {
        view.setFrame(nullptr);
        view.removed();
    }

private:
    vst3::IPlugView& view;
    Vst3Frame& frame;
    const std::string& library;
};

} // namespace

Status SnapshotView(vst3::IEditController& controller, const std::string& library,
                    const std::string& output) {
    // The frame outlives the view, which may call it until released.
    Vst3Frame frame;
    Vst3Ref<vst3::IPlugView> view(controller.createView(vst3::ViewType::kEditor));
    if (!view) {
        return Status::Error(library + " has no editor");
    }
    vst3::ViewRect size = {};
    if (view->getSize(&size) != vst3::kResultOk || size.right <= size.left || size.bottom <= size.top) {
        return Status::Error(library + " tells no editor size");
    }
    if (view->isPlatformTypeSupported(vst3::kPlatformTypeX11EmbedWindowID) != vst3::kResultTrue) {
        return Status::Error(library + ": its editor does not open in an X11 window");
    }
    Vst3Editor editor(*view, frame, library);
    return CaptureEditor(size.right - size.left, size.bottom - size.top, editor, output);
}

} // namespace ksphost
