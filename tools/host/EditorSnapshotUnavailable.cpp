// Builds without X11 (Windows) take no snapshots.
#include "tools/host/EditorSnapshot.h"

namespace ksphost {

Status SnapshotEditor(Plugin& /*plugin*/, const std::string& /*output*/) {
    return Status::Error("snapshot needs X11: it works in the Linux build only");
}

} // namespace ksphost
