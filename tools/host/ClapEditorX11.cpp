// A CLAP plug-in's editor embedded in the snapshot's X11 window, driven by the host's run loop.
#include "tools/host/ClapHost.h"
#include "tools/host/EditorSnapshot.h"
#include "tools/host/EditorWindowX11.h"

namespace ksphost {

namespace {

// The created editor in the window: set_parent and show; the host's loop; hide and destroy, while
// the window's display is still there.
class ClapEditor final : public EditorInWindow {
public:
    ClapEditor(const clap::clap_plugin& p, const clap::clap_plugin_gui& g, ClapHost& h,
               const std::string& name)
        : plugin(p), gui(g), host(h), path(name) {}
    ~ClapEditor() override { Destroy(); }
    ClapEditor(const ClapEditor&) = delete;
    ClapEditor& operator=(const ClapEditor&) = delete;

    Status Open(unsigned long window) override {
        clap::clap_window parent = {};
        parent.api = clap::CLAP_WINDOW_API_X11;
        parent.x11 = window;
        if (!gui.set_parent(&plugin, &parent)) {
            Destroy();
            return Status::Error(path + " did not open its editor");
        }
        gui.show(&plugin);
        return Status();
    }
    void Run() override { host.RunEditor(kEditorRunTime); }
    void Close() override {
        gui.hide(&plugin);
        Destroy();
    }

private:
    void Destroy() {
        if (created) {
            gui.destroy(&plugin);
            created = false;
        }
    }

private:
    const clap::clap_plugin& plugin;
    const clap::clap_plugin_gui& gui;
    ClapHost& host;
    const std::string& path;
    bool created = true;
};

} // namespace

Status SnapshotClapEditor(const clap::clap_plugin& plugin, const clap::clap_plugin_gui* gui, ClapHost& host,
                          const std::string& path, const std::string& output) {
    if (gui == nullptr) {
        return Status::Error(path + " has no editor");
    }
    if (!gui->is_api_supported(&plugin, clap::CLAP_WINDOW_API_X11, false)) {
        return Status::Error(path + ": its editor does not open in an X11 window");
    }
    if (!gui->create(&plugin, clap::CLAP_WINDOW_API_X11, false)) {
        return Status::Error(path + " did not create its editor");
    }
    ClapEditor editor(plugin, *gui, host, path);
    uint32_t width = 0;
    uint32_t height = 0;
    if (!gui->get_size(&plugin, &width, &height) || width == 0 || height == 0) {
        return Status::Error(path + " tells no editor size");
    }
    return CaptureEditor(static_cast<int>(width), static_cast<int>(height), editor, output);
}

} // namespace ksphost
