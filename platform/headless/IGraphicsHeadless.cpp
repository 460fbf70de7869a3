#include "platform/headless/IGraphicsHeadless.h"

#include "platform/ResourceName.h"
#include "raster/PIX_PNG.h"

namespace {

constexpr int kMenuTextCapacity = 512;

template <typename T>
bool TakeFirst(std::deque<T>& queue, T& out) {
    if (queue.empty()) {
        return false;
    }
    out = queue.front();
    queue.pop_front();
    return true;
}

} // namespace

IGraphicsHeadless::IGraphicsHeadless(IPluginBase* plugin, int width, int height, int frameRate, void* module,
                                     bool windowed)
    : IGraphics(plugin, width, height, frameRate), module(module), windowed(windowed) {}

void IGraphicsHeadless::Resize(int newWidth, int newHeight) {
    if (newWidth != Width() || newHeight != Height()) {
        IGraphics::Resize(newWidth, newHeight);
    }
}

bool IGraphicsHeadless::CopyToWindow(const IRectangle& area) {
    copiedAreas.push_back(area);
    return true;
}

void IGraphicsHeadless::CancelTextEntry() {
    ++cancelledEntries;
}

int IGraphicsHeadless::ShowMessageBox(const char* text, const char* caption, int type) {
    messageBoxes.push_back({text != nullptr ? text : "", caption != nullptr ? caption : "", type});
    int answer = 0;
    if (TakeFirst(script.messageBoxAnswers, answer)) {
        return answer;
    }
    return (type & 0xF) == kMessageBoxYesNo ? kMessageBoxAnswerNo : kMessageBoxAnswerOk;
}

IMenu* IGraphicsHeadless::ShowPopupMenu(IMenu& menu, const IRectangle& area) {
    MenuRecord record;
    record.area = area;
    for (int i = 0; i < menu.EntryCount(); ++i) {
        char text[kMenuTextCapacity];
        menu.DisplayText(i, text, sizeof text);
        record.texts.emplace_back(text);
        record.flags.push_back(menu.EntryAt(i)->Flags());
    }
    menus.push_back(record);
    ReleaseCapture();
    int choice = -1;
    if (!TakeFirst(script.menuChoices, choice) || choice < 0 || choice >= menu.EntryCount()) {
        return nullptr;
    }
    menu.SetChosen(choice);
    return &menu;
}

void IGraphicsHeadless::ShowTextEntry(IControl* control, const ITextStyle& /*style*/, const IRectangle& area,
                                      const char* text, IParameter* parameter) {
    textEntries.push_back({control, text != nullptr ? text : "", area, parameter});
}

void IGraphicsHeadless::GetHostDirectory(IByteBuffer& out) {
    out.PutText("");
}

void IGraphicsHeadless::GetPluginDirectory(IByteBuffer& out) {
    out.PutText("");
}

void IGraphicsHeadless::GetDesktopDirectory(IByteBuffer& out) {
    out.PutText("");
}

void IGraphicsHeadless::GetAppDataDirectory(IByteBuffer& out, bool /*allUsers*/) {
    out.PutText("");
}

void IGraphicsHeadless::GetUserAppDataDirectory(IByteBuffer& out) {
    out.PutText("");
}

void IGraphicsHeadless::PromptForFile(IByteBuffer& path, int /*action*/, IByteBuffer& /*directory*/,
                                      const char* extensions) {
    filePrompts.emplace_back(extensions != nullptr ? extensions : "");
    std::string chosen;
    if (TakeFirst(script.files, chosen)) {
        path.Clear();
        path.PutText(chosen.c_str());
    }
}

bool IGraphicsHeadless::PromptForColour(IColour& colour, const char* prompt) {
    colourPrompts.emplace_back(prompt != nullptr ? prompt : "");
    return TakeFirst(script.colours, colour);
}

bool IGraphicsHeadless::OpenUrl(const char* url, const char* caption, const char* /*confirmText*/,
                                const char* /*errorText*/) {
    urls.push_back({url != nullptr ? url : "", caption != nullptr});
    return script.openUrlSucceeds;
}

void* IGraphicsHeadless::OpenWindow(void* parent) {
    if (!windowed) {
        return nullptr;
    }
    window = parent != nullptr ? parent : this;
    MarkAllDirty();
    return window;
}

void IGraphicsHeadless::CloseWindow() {
    window = nullptr;
}

bool IGraphicsHeadless::GetClipboardText(IByteBuffer& /*out*/) {
    return false;
}

PIX_IBitmap* IGraphicsHeadless::LoadBitmapResource(int id, const char* fileName) {
    if (!IsPngFileName(fileName)) {
        return nullptr;
    }
    ++resourceLoads;
    return PIX_ReadPNGResource(static_cast<PIX_ModuleHandle>(module), id);
}

bool IGraphicsHeadless::RunFrame() {
    IRectangle area;
    if (!CollectDirtyArea(area)) {
        return false;
    }
    return PaintArea(area);
}
