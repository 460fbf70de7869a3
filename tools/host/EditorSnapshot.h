#pragma once

#include "formats/clap/ClapGui.h"
#include "formats/vst3/Vst3Controller.h"
#include "tools/host/Plugin.h"
#include "tools/host/Status.h"

#include <string>

namespace ksphost {

class ClapHost;

// Opens the plug-in's editor (effEditOpen) in a top-level X11 window of the size it asks
// for, calls effEditIdle until it has painted, saves the window's pixels as a PNG file at
// output and closes the editor. Uses DISPLAY, or a private Xvfb that it starts and stops when
// DISPLAY is not set. Fails on builds without X11 (Windows) and for plug-ins without an editor.
Status SnapshotEditor(Plugin& plugin, const std::string& output);

// The same for the editor view of a VST 3 controller (library names it in messages): a window of
// the view's size, a frame whose run loop drives the view, attached, half a second of the loop,
// the picture, removed.
Status SnapshotView(vst3::IEditController& controller, const std::string& library, const std::string& output);

// The same for the editor of a CLAP plug-in's gui extension (none: the plug-in has no editor),
// embedded through "x11" in a window of the size it tells; host runs the timers and descriptors
// it registers meanwhile. path names the plug-in in messages.
Status SnapshotClapEditor(const clap::clap_plugin& plugin, const clap::clap_plugin_gui* gui, ClapHost& host,
                          const std::string& path, const std::string& output);

} // namespace ksphost
