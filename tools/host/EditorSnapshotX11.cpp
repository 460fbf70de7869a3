// The editor's picture through X11: a top-level window as a host makes one, on DISPLAY or on a
// private Xvfb.
#include <X11/Xlib.h>
// Xlib names a macro Status; the host's own Status is meant below.
#undef Status

#include "platform/linux/X11Support.h"
#include "raster/PIX_MemBitmap.h"
#include "raster/PIX_PNGWriter.h"
#include "tools/host/EditorSnapshot.h"
#include "tools/host/EditorWindowX11.h"
#include "tools/host/SafeFile.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <string>
#include <thread>

extern char** environ;

namespace ksphost {

namespace {

// effEditIdle calls before the picture is taken: half a second at 60 calls a second, many
// frames of the editor's timer.
constexpr int kIdleCalls = 30;
constexpr auto kIdleInterval = std::chrono::milliseconds(16);
constexpr int kServerStartMs = 10000;

// An X server of our own for machines without DISPLAY: Xvfb finds a free display number and
// writes it to the pipe given with -displayfd once it accepts connections. Stopped, and DISPLAY
// unset again, when destroyed.
class PrivateXServer {
public:
    PrivateXServer() = default;
    ~PrivateXServer();
    PrivateXServer(const PrivateXServer&) = delete;
    PrivateXServer& operator=(const PrivateXServer&) = delete;

    Status Start();

private:
    pid_t pid = -1;
};

PrivateXServer::~PrivateXServer() {
    if (pid > 0) {
        kill(pid, SIGTERM);
        int status = 0;
        while (waitpid(pid, &status, 0) < 0 && errno == EINTR) {
        }
        unsetenv("DISPLAY");
    }
}

Status PrivateXServer::Start() {
    int fds[2];
    if (pipe(fds) != 0) {
        return Status::Error("cannot start Xvfb: no pipe");
    }
    const std::string fdText = std::to_string(fds[1]);
    char* const argv[] = {
        const_cast<char*>("Xvfb"),      const_cast<char*>("-displayfd"), const_cast<char*>(fdText.c_str()),
        const_cast<char*>("-screen"),   const_cast<char*>("0"),          const_cast<char*>("1280x1024x24"),
        const_cast<char*>("-nolisten"), const_cast<char*>("tcp"),        nullptr};
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addclose(&actions, fds[0]);
    posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
    const int spawned = posix_spawnp(&pid, "Xvfb", &actions, nullptr, argv, environ);
    posix_spawn_file_actions_destroy(&actions);
    close(fds[1]);
    if (spawned != 0) {
        pid = -1;
        close(fds[0]);
        return Status::Error("DISPLAY is not set and Xvfb cannot be started (Debian's xvfb provides it)");
    }
    std::string number;
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(kServerStartMs);
    while (number.find('\n') == std::string::npos && std::chrono::steady_clock::now() < deadline) {
        pollfd readable = {fds[0], POLLIN, 0};
        if (poll(&readable, 1, 100) <= 0) {
            continue;
        }
        char buffer[16];
        const ssize_t n = read(fds[0], buffer, sizeof buffer);
        if (n <= 0) {
            break;
        }
        number.append(buffer, static_cast<size_t>(n));
    }
    close(fds[0]);
    if (number.empty() || number.find('\n') == std::string::npos) {
        return Status::Error("the private Xvfb did not start");
    }
    setenv("DISPLAY", (":" + number.substr(0, number.find('\n'))).c_str(), 1);
    return Status();
}

} // namespace

Status CaptureEditor(int width, int height, EditorInWindow& editor, const std::string& output) {
    PrivateXServer server;
    const char* display = std::getenv("DISPLAY");
    if (display == nullptr || display[0] == '\0') {
        const Status started = server.Start();
        if (!started.Ok()) {
            return started;
        }
    }
    Display* connection = XOpenDisplay(nullptr);
    if (connection == nullptr) {
        return Status::Error(std::string("cannot open the X display ") + std::getenv("DISPLAY"));
    }
    const int screen = DefaultScreen(connection);
    const Window window = XCreateSimpleWindow(connection, RootWindow(connection, screen), 0, 0,
                                              static_cast<unsigned>(width), static_cast<unsigned>(height), 0,
                                              BlackPixel(connection, screen), BlackPixel(connection, screen));
    XStoreName(connection, window, "ksphaser-host snapshot");
    XSelectInput(connection, window, StructureNotifyMask);
    XMapWindow(connection, window);
    XEvent event;
    do {
        XWindowEvent(connection, window, StructureNotifyMask, &event);
    } while (event.type != MapNotify);

    Status status = editor.Open(window);
    PIX_MemBitmap picture;
    if (status.Ok()) {
        editor.Run();
        XSync(connection, False);
        if (!ReadX11Window(connection, window, width, height, picture)) {
            status = Status::Error("cannot read the editor's window");
        }
        editor.Close();
    }
    XDestroyWindow(connection, window);
    XCloseDisplay(connection);
    if (!status.Ok()) {
        return status;
    }
    const OutputFile file = PlanOutput(output);
    if (!PIX_WritePNGFile(picture, file.temporary.c_str())) {
        return Status::Error("cannot write " + output);
    }
    return CommitFile(file);
}

namespace {

// A VST 2.4 editor: effEditOpen, effEditIdle 60 times a second, effEditClose.
class Vst2Editor final : public EditorInWindow {
public:
    explicit Vst2Editor(Plugin& p) : plugin(p) {}

    Status Open(unsigned long window) override {
        if (plugin.Dispatch(effEditOpen, 0, 0, reinterpret_cast<void*>(window)) == 0) {
            return Status::Error(plugin.Path() + " did not open its editor");
        }
        return Status();
    }
    void Run() override {
        for (int i = 0; i < kIdleCalls; ++i) {
            plugin.Dispatch(effEditIdle);
            std::this_thread::sleep_for(kIdleInterval);
        }
    }
    void Close() override { plugin.Dispatch(effEditClose); }

private:
    Plugin& plugin;
};

} // namespace

Status SnapshotEditor(Plugin& plugin, const std::string& output) {
    if ((plugin.Effect().flags & effFlagsHasEditor) == 0) {
        return Status::Error(plugin.Path() + " has no editor");
    }
    ERect* rect = nullptr;
    if (plugin.Dispatch(effEditGetRect, 0, 0, &rect) == 0 || rect == nullptr || rect->right <= rect->left ||
        rect->bottom <= rect->top) {
        return Status::Error(plugin.Path() + " tells no editor size");
    }
    Vst2Editor editor(plugin);
    return CaptureEditor(rect->right - rect->left, rect->bottom - rect->top, editor, output);
}

} // namespace ksphost
