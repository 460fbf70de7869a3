#include "formats/vst3/Vst3PluginView.h"

#include "formats/vst3/IPluginVST3.h"

#include <cstring>
#include <new>

namespace {

#ifdef _WIN32
constexpr const char* kPlatformType = vst3::kPlatformTypeHWND;
#else
constexpr const char* kPlatformType = vst3::kPlatformTypeX11EmbedWindowID;
#endif

} // namespace

Vst3PluginView::Vst3PluginView(IPluginVST3* owner) : owner(owner) {
    owner->addRef();
}

Vst3PluginView::~Vst3PluginView() {
    removed();
    setFrame(nullptr);
    owner->release();
}

Vst3PluginView* Vst3PluginView::Create(IPluginVST3* owner) {
    return new (std::nothrow) Vst3PluginView(owner);
}

vst3::tresult VST3_CALL Vst3PluginView::queryInterface(const vst3::TUID interfaceId, void** obj) {
    if (obj == nullptr) {
        return vst3::kInvalidArgument;
    }
    void* found = nullptr;
    if (SameUid(interfaceId, vst3::kFUnknownIid) || SameUid(interfaceId, vst3::kIPlugViewIid)) {
        found = static_cast<vst3::IPlugView*>(this);
    } else if (SameUid(interfaceId, vst3::kIPlugViewContentScaleSupportIid)) {
        found = static_cast<vst3::IPlugViewContentScaleSupport*>(this);
    }
#ifndef _WIN32
    else if (SameUid(interfaceId, vst3::Linux::kIEventHandlerIid)) {
        found = static_cast<vst3::Linux::IEventHandler*>(this);
    } else if (SameUid(interfaceId, vst3::Linux::kITimerHandlerIid)) {
        found = static_cast<vst3::Linux::ITimerHandler*>(this);
    }
#endif
    return AnswerInterface(this, found, obj);
}

vst3::uint32 VST3_CALL Vst3PluginView::addRef() {
    return references.Add();
}

vst3::uint32 VST3_CALL Vst3PluginView::release() {
    const vst3::uint32 left = references.Drop();
    if (left == 0) {
        delete this;
    }
    return left;
}

vst3::tresult VST3_CALL Vst3PluginView::isPlatformTypeSupported(vst3::FIDString type) {
    return type != nullptr && std::strcmp(type, kPlatformType) == 0 ? vst3::kResultTrue : vst3::kResultFalse;
}

vst3::tresult VST3_CALL Vst3PluginView::attached(void* parent, vst3::FIDString type) {
    ::IPluginBase* plugin = owner->Plugin();
    IEditor* editor = plugin->Editor();
    if (open || editor == nullptr || isPlatformTypeSupported(type) != vst3::kResultTrue) {
        return vst3::kResultFalse;
    }
#ifndef _WIN32
    // Without the host's run loop nothing would drive the window: no editor rather than a frozen one.
    void* loop = nullptr;
    if (frame == nullptr ||
        frame->queryInterface(vst3::Linux::kIRunLoopIid.bytes, &loop) != vst3::kResultOk || loop == nullptr) {
        return vst3::kResultFalse;
    }
    runLoop = static_cast<vst3::Linux::IRunLoop*>(loop);
#endif
    {
        LockGuard guard(plugin->Lock());
        open = editor->OpenWindow(parent) != nullptr;
        if (open) {
            plugin->OnEditorOpen();
        }
    }
#ifndef _WIN32
    const int rate = editor->FrameRate() > 0 ? editor->FrameRate() : 25;
    const auto period = static_cast<vst3::Linux::TimerInterval>(1000 / rate);
    if (!open || runLoop->registerEventHandler(this, editor->EventDescriptor()) != vst3::kResultOk ||
        runLoop->registerTimer(this, period) != vst3::kResultOk) {
        removed();
        return vst3::kResultFalse;
    }
#endif
    return open ? vst3::kResultOk : vst3::kResultFalse;
}

void Vst3PluginView::Unregister() {
#ifndef _WIN32
    if (runLoop != nullptr) {
        runLoop->unregisterEventHandler(this);
        runLoop->unregisterTimer(this);
        runLoop->release();
        runLoop = nullptr;
    }
#endif
}

vst3::tresult VST3_CALL Vst3PluginView::removed() {
    Unregister();
    if (!open) {
        return vst3::kResultOk;
    }
    ::IPluginBase* plugin = owner->Plugin();
    LockGuard guard(plugin->Lock());
    plugin->OnEditorClose();
    plugin->Editor()->CloseWindow();
    open = false;
    return vst3::kResultOk;
}

vst3::tresult VST3_CALL Vst3PluginView::onWheel(float /*distance*/) {
    return vst3::kResultFalse;
}

vst3::tresult VST3_CALL Vst3PluginView::onKeyDown(vst3::char16 /*key*/, vst3::int16 /*keyCode*/,
                                                  vst3::int16 /*modifiers*/) {
    return vst3::kResultFalse;
}

vst3::tresult VST3_CALL Vst3PluginView::onKeyUp(vst3::char16 /*key*/, vst3::int16 /*keyCode*/,
                                                vst3::int16 /*modifiers*/) {
    return vst3::kResultFalse;
}

vst3::tresult VST3_CALL Vst3PluginView::getSize(vst3::ViewRect* size) {
    const IEditor* editor = owner->Plugin()->Editor();
    if (size == nullptr || editor == nullptr) {
        return vst3::kInvalidArgument;
    }
    *size = {0, 0, editor->Width(), editor->Height()};
    return vst3::kResultOk;
}

vst3::tresult VST3_CALL Vst3PluginView::onSize(vst3::ViewRect* newSize) {
    return newSize != nullptr ? vst3::kResultOk : vst3::kInvalidArgument;
}

vst3::tresult VST3_CALL Vst3PluginView::onFocus(vst3::TBool /*state*/) {
    return vst3::kResultOk;
}

vst3::tresult VST3_CALL Vst3PluginView::setFrame(vst3::IPlugFrame* newFrame) {
    if (newFrame != nullptr) {
        newFrame->addRef();
    }
    if (frame != nullptr) {
        frame->release();
    }
    frame = newFrame;
    return vst3::kResultOk;
}

vst3::tresult VST3_CALL Vst3PluginView::canResize() {
    return vst3::kResultFalse;
}

vst3::tresult VST3_CALL Vst3PluginView::checkSizeConstraint(vst3::ViewRect* rect) {
    if (rect == nullptr) {
        return vst3::kInvalidArgument;
    }
    getSize(rect);
    return vst3::kResultTrue;
}

vst3::tresult VST3_CALL Vst3PluginView::setContentScaleFactor(float /*factor*/) {
    return vst3::kResultFalse;
}

void Vst3PluginView::Run() {
    owner->TellPendingProgramChange();
    if (open) {
        owner->Plugin()->Editor()->Idle();
    }
}

#ifndef _WIN32
void VST3_CALL Vst3PluginView::onFDIsSet(vst3::Linux::FileDescriptor /*fd*/) {
    Run();
}

void VST3_CALL Vst3PluginView::onTimer() {
    Run();
}
#endif
