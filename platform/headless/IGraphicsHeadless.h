#pragma once

#include "graphics/IGraphics.h"

#include <deque>
#include <string>
#include <vector>

// An editor without a window, for tests, tools and targets whose window does not exist yet.
// It paints into a real surface; CopyToWindow records the area. Pop-up menus, message boxes,
// prompts and OpenUrl answer from a script the caller fills and record what they were asked.
// Everything here belongs to the user interface thread; nothing is locked.
class IGraphicsHeadless : public IGraphics {
public:
    struct MenuRecord {
        std::vector<std::string> texts;
        std::vector<int> flags;
        IRectangle area;
    };
    struct MessageBoxRecord {
        std::string text;
        std::string caption;
        int type;
    };
    struct TextEntryRecord {
        IControl* control;
        std::string text;
        IRectangle area;
        IParameter* parameter;
    };
    struct UrlRecord {
        std::string url;
        bool withCaption;
    };
    // Answers given in order; an empty queue dismisses a menu, answers OK to an OK box and No
    // to a Yes/No box, cancels the file and colour prompts.
    struct Script {
        std::deque<int> menuChoices; // index chosen in the menu shown, -1 dismisses
        std::deque<int> messageBoxAnswers;
        std::deque<std::string> files;
        std::deque<IColour> colours;
        bool openUrlSucceeds = true;
    };

    // [ui] module: where the image resources are read (none: the program itself). With
    // windowed, OpenWindow answers a stand-in window so the binding's window paths can be
    // exercised; otherwise this target has no window.
    IGraphicsHeadless(IPluginBase* plugin, int width, int height, int frameRate, void* module = nullptr,
                      bool windowed = false);

    bool CopyToWindow(const IRectangle& area) override;
    // [ui] Like a window's: the size the editor already has is nothing to do.
    void Resize(int newWidth, int newHeight) override;
    void CancelTextEntry() override;
    const char* GetBackendName() override { return "Headless"; }
    int ShowMessageBox(const char* text, const char* caption, int type) override;
    IMenu* ShowPopupMenu(IMenu& menu, const IRectangle& area) override;
    void ShowTextEntry(IControl* control, const ITextStyle& style, const IRectangle& area, const char* text,
                       IParameter* parameter) override;
    void GetHostDirectory(IByteBuffer& out) override;
    void GetPluginDirectory(IByteBuffer& out) override;
    void GetDesktopDirectory(IByteBuffer& out) override;
    void GetAppDataDirectory(IByteBuffer& out, bool allUsers) override;
    void GetUserAppDataDirectory(IByteBuffer& out) override;
    void PromptForFile(IByteBuffer& path, int action, IByteBuffer& directory,
                       const char* extensions) override;
    bool PromptForColour(IColour& colour, const char* prompt) override;
    bool OpenUrl(const char* url, const char* caption, const char* confirmText,
                 const char* errorText) override;
    bool CanOpenWindow() const override { return windowed; }
    void* OpenWindow(void* parent) override;
    void CloseWindow() override;
    void* GetWindow() override { return window; }
    bool GetClipboardText(IByteBuffer& out) override;
    PIX_IBitmap* LoadBitmapResource(int id, const char* fileName) override;

    // [ui] One tick of the frame timer: collects the dirty area and paints it. Answers
    // whether anything was painted.
    bool RunFrame();

    Script script;
    std::vector<MenuRecord> menus;
    std::vector<MessageBoxRecord> messageBoxes;
    std::vector<TextEntryRecord> textEntries;
    std::vector<std::string> filePrompts;
    std::vector<std::string> colourPrompts;
    std::vector<UrlRecord> urls;
    std::vector<IRectangle> copiedAreas;
    int resourceLoads = 0;
    int cancelledEntries = 0;

private:
    void* module;
    void* window = nullptr;
    bool windowed;
};
