#pragma once

#include "tools/host/Status.h"

#include <chrono>
#include <string>

namespace ksphost {

// How long an editor's loop runs before the picture is taken: many frames of its timer.
constexpr auto kEditorRunTime = std::chrono::milliseconds(500);

// An editor as the snapshot drives it in its window, whatever the plug-in's format.
class EditorInWindow {
public:
    virtual ~EditorInWindow() = default;
    // Opens the editor in the X11 window; an error when it does not open.
    virtual Status Open(unsigned long window) = 0;
    // Lets it run for about half a second, as a host's user-interface loop would.
    virtual void Run() = 0;
    virtual void Close() = 0;
};

// Opens a top-level X11 window of width × height on DISPLAY, or on a private Xvfb started and
// stopped for it when DISPLAY is not set, opens the editor in it, lets it run, saves the window's
// pixels as a PNG file at output and closes the editor.
Status CaptureEditor(int width, int height, EditorInWindow& editor, const std::string& output);

} // namespace ksphost
