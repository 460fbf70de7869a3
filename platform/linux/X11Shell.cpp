// The editor's shell services on Linux: web addresses through xdg-open, the clipboard, the
// standard directories; the file and colour prompts answer as cancelled dialogs.
#include "platform/linux/IGraphicsX11.h"

#include <X11/Xatom.h>
#include <dlfcn.h>
#include <fcntl.h>
#include <poll.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

extern char** environ;

namespace {

constexpr auto kClipboardTimeout = std::chrono::milliseconds(500);

// The directory part of path, with its closing slash; empty when there is none.
std::string DirectoryOf(const char* path) {
    const char* slash = std::strrchr(path, '/');
    if (slash == nullptr || slash[1] == '\0') {
        return std::string();
    }
    return std::string(path, slash + 1);
}

std::string Environment(const char* name) {
    const char* value = std::getenv(name);
    return value != nullptr ? value : "";
}

std::string Home() {
    return Environment("HOME");
}

// $XDG_CONFIG_HOME/user-dirs.dirs names the desktop as XDG_DESKTOP_DIR="$HOME/..." or as an
// absolute path; without it the desktop is ~/Desktop.
std::string DesktopDirectory() {
    std::string config = Environment("XDG_CONFIG_HOME");
    if (config.empty() || config[0] != '/') {
        config = Home() + "/.config";
    }
    std::string desktop = Home() + "/Desktop";
    FILE* file = std::fopen((config + "/user-dirs.dirs").c_str(), "r");
    if (file == nullptr) {
        return desktop;
    }
    char line[1024];
    const char* key = "XDG_DESKTOP_DIR=\"";
    while (std::fgets(line, sizeof line, file) != nullptr) {
        if (std::strncmp(line, key, std::strlen(key)) != 0) {
            continue;
        }
        std::string value = line + std::strlen(key);
        const size_t quote = value.find('"');
        if (quote == std::string::npos) {
            break;
        }
        value.resize(quote);
        if (value.compare(0, 5, "$HOME") == 0) {
            desktop = Home() + value.substr(5);
        } else if (!value.empty() && value[0] == '/') {
            desktop = value;
        }
        break;
    }
    std::fclose(file);
    return desktop;
}

// The first executable named name in the directories of PATH; empty when there is none.
std::string FindOnPath(const char* name) {
    const std::string path = Environment("PATH");
    size_t start = 0;
    while (start <= path.size()) {
        size_t end = path.find(':', start);
        if (end == std::string::npos) {
            end = path.size();
        }
        const std::string directory = end > start ? path.substr(start, end - start) : ".";
        std::string candidate = directory + "/" + name;
        if (access(candidate.c_str(), X_OK) == 0) {
            return candidate;
        }
        start = end + 1;
    }
    return std::string();
}

// Starts program with one argument, detached: an intermediate child starts it and ends at
// once, so the program belongs to init and nothing is left to reap. Its standard streams are
// /dev/null and it inherits none of the host's other descriptors. True when it was started.
bool StartDetached(const std::string& program, const char* argument) {
    const int devNull = open("/dev/null", O_RDWR | O_CLOEXEC);
    if (devNull < 0) {
        return false;
    }
    char* const argv[] = {const_cast<char*>(program.c_str()), const_cast<char*>(argument), nullptr};
    const pid_t child = fork();
    if (child == 0) {
        // Only async-signal-safe calls from here on: the host may have other threads.
        if (fork() == 0) {
            dup2(devNull, 0);
            dup2(devNull, 1);
            dup2(devNull, 2);
            if (close_range(3, ~0U, 0) != 0) {
                for (int fd = 3; fd < 1024; ++fd) {
                    close(fd);
                }
            }
            execve(argv[0], argv, environ);
            _exit(127);
        }
        _exit(0);
    }
    close(devNull);
    if (child < 0) {
        return false;
    }
    int status = 0;
    while (waitpid(child, &status, 0) < 0 && errno == EINTR) {
    }
    return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

} // namespace

bool IGraphicsX11::OpenUrl(const char* url, const char* caption, const char* confirmText,
                           const char* errorText) {
    if (url == nullptr) {
        return false;
    }
    if (confirmText != nullptr &&
        ShowMessageBox(confirmText, caption, kMessageBoxYesNo) != kMessageBoxAnswerYes) {
        return false;
    }
    // There is no connection test here: the machine counts as connected.
    const std::string opener = FindOnPath("xdg-open");
    if (!opener.empty() && StartDetached(opener, url)) {
        return true;
    }
    if (errorText != nullptr) {
        ShowMessageBox(errorText, caption, kMessageBoxIconError);
    }
    return false;
}

bool IGraphicsX11::GetClipboardText(IByteBuffer& out) {
    Display* display = screen.display;
    if (window == 0 || windowGone) {
        out.PutText("");
        return false;
    }
    const Atom clipboard = XInternAtom(display, "CLIPBOARD", False);
    const Atom utf8 = XInternAtom(display, "UTF8_STRING", False);
    const Atom target = XInternAtom(display, "KSPHASER_CLIPBOARD", False);
    {
        X11ErrorTrap trap(display);
        if (XGetSelectionOwner(display, clipboard) == None) {
            out.PutText("");
            return false;
        }
        XConvertSelection(display, clipboard, utf8, target, window, CurrentTime);
    }
    // The owner answers with a SelectionNotify; other events stay queued for Idle.
    const auto deadline = std::chrono::steady_clock::now() + kClipboardTimeout;
    XEvent event;
    bool answered = XCheckTypedWindowEvent(display, window, SelectionNotify, &event) != 0;
    while (!answered) {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
            deadline - std::chrono::steady_clock::now());
        if (left.count() <= 0) {
            break;
        }
        pollfd readable = {ConnectionNumber(display), POLLIN, 0};
        poll(&readable, 1, static_cast<int>(left.count()));
        answered = XCheckTypedWindowEvent(display, window, SelectionNotify, &event) != 0;
    }
    bool taken = false;
    if (answered && event.xselection.property != None) {
        X11ErrorTrap trap(display);
        Atom type = None;
        int format = 0;
        unsigned long count = 0;
        unsigned long after = 0;
        unsigned char* data = nullptr;
        if (XGetWindowProperty(display, window, target, 0, 1 << 20, True, AnyPropertyType, &type, &format,
                               &count, &after, &data) == Success &&
            data != nullptr) {
            if (type == utf8 && format == 8 && count > 0) {
                out.PutText(reinterpret_cast<const char*>(data), static_cast<int32_t>(count));
                taken = true;
            }
            XFree(data);
        }
    }
    if (!taken) {
        out.PutText("");
    }
    return taken;
}

void IGraphicsX11::GetHostDirectory(IByteBuffer& out) {
    char path[PATH_MAX];
    const ssize_t length = readlink("/proc/self/exe", path, sizeof path - 1);
    path[length > 0 ? length : 0] = '\0';
    out.PutText(DirectoryOf(path).c_str());
}

void IGraphicsX11::GetPluginDirectory(IByteBuffer& out) {
    Dl_info info = {};
    const bool found =
        dladdr(reinterpret_cast<void*>(&CreateX11Window), &info) != 0 && info.dli_fname != nullptr;
    out.PutText(found ? DirectoryOf(info.dli_fname).c_str() : "");
}

void IGraphicsX11::GetDesktopDirectory(IByteBuffer& out) {
    out.PutText(DesktopDirectory().c_str());
}

void IGraphicsX11::GetAppDataDirectory(IByteBuffer& out, bool allUsers) {
    if (allUsers) {
        // The first of XDG_DATA_DIRS.
        std::string dirs = Environment("XDG_DATA_DIRS");
        dirs = dirs.substr(0, dirs.find(':'));
        out.PutText(!dirs.empty() && dirs[0] == '/' ? dirs.c_str() : "/usr/local/share");
        return;
    }
    const std::string data = Environment("XDG_DATA_HOME");
    out.PutText((!data.empty() && data[0] == '/' ? data : Home() + "/.local/share").c_str());
}

void IGraphicsX11::GetUserAppDataDirectory(IByteBuffer& out) {
    GetAppDataDirectory(out, false);
}

void IGraphicsX11::PromptForFile(IByteBuffer& path, int /*action*/, IByteBuffer& /*directory*/,
                                 const char* /*extensions*/) {
    path.Clear();
    path.PutText("");
}

bool IGraphicsX11::PromptForColour(IColour& /*colour*/, const char* /*prompt*/) {
    return false;
}
