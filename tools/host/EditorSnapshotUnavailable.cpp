// Builds without X11 (Windows) take no snapshots.
#include "tools/host/EditorSnapshot.h"

namespace ksphost {

namespace {

Status NoX11() {
    return Status::Error("snapshot needs X11: it works in the Linux build only");
}

} // namespace

Status SnapshotEditor(Plugin& /*plugin*/, const std::string& /*output*/) {
    return NoX11();
}

Status SnapshotView(vst3::IEditController& /*controller*/, const std::string& /*library*/,
                    const std::string& /*output*/) {
    return NoX11();
}

Status SnapshotClapEditor(const clap::clap_plugin& /*plugin*/, const clap::clap_plugin_gui* /*gui*/,
                          ClapHost& /*host*/, const std::string& /*path*/, const std::string& /*output*/) {
    return NoX11();
}

} // namespace ksphost
