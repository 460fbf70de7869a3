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

extern char** environ;

namespace {

constexpr auto kClipboardTimeout = std::chrono::milliseconds(500);

// A path of the kernel's largest size, terminator included.
using PathText = char[PATH_MAX];

// Writes first and second one after the other into path; false when they do not fit.
bool JoinPath(PathText& path, const char* first, const char* second) {
    const int n = std::snprintf(path, sizeof path, "%s%s", first, second);
    return n >= 0 && n < static_cast<int>(sizeof path);
}

// Appends the directory part of path, with its closing slash, to out; the empty text when
// there is none.
void PutDirectoryOf(IByteBuffer& out, const char* path) {
    const char* slash = std::strrchr(path, '/');
    const bool found = slash != nullptr && slash[1] != '\0';
    out.PutText(path, found ? static_cast<int32_t>(slash + 1 - path) : 0);
}

// The variable's value; the empty text when it is not set.
const char* Environment(const char* name) {
    const char* value = std::getenv(name);
    return value != nullptr ? value : "";
}

const char* Home() {
    return Environment("HOME");
}

// $XDG_CONFIG_HOME/user-dirs.dirs names the desktop as XDG_DESKTOP_DIR="$HOME/..." or as an
// absolute path; without it the desktop is ~/Desktop. False when the path does not fit.
bool DesktopDirectory(PathText& desktop) {
    bool found = JoinPath(desktop, Home(), "/Desktop");
    const char* config = Environment("XDG_CONFIG_HOME");
    PathText dirs;
    const bool named = config[0] == '/' ? JoinPath(dirs, config, "/user-dirs.dirs")
                                        : JoinPath(dirs, Home(), "/.config/user-dirs.dirs");
    FILE* file = named ? std::fopen(dirs, "r") : nullptr;
    if (file == nullptr) {
        return found;
    }
    char line[1024];
    const char* key = "XDG_DESKTOP_DIR=\"";
    while (std::fgets(line, sizeof line, file) != nullptr) {
        if (std::strncmp(line, key, std::strlen(key)) != 0) {
            continue;
        }
        char* value = line + std::strlen(key);
        char* quote = std::strchr(value, '"');
        if (quote == nullptr) {
            break;
        }
        *quote = '\0';
        if (std::strncmp(value, "$HOME", 5) == 0) {
            found = JoinPath(desktop, Home(), value + 5);
        } else if (value[0] == '/') {
            found = JoinPath(desktop, value, "");
        }
        break;
    }
    std::fclose(file);
    return found;
}

// The first executable named name in the directories of PATH (an empty entry is the working
// directory); false when there is none.
bool FindOnPath(const char* name, PathText& found) {
    const char* directory = Environment("PATH");
    for (;;) {
        const char* end = std::strchr(directory, ':');
        if (end == nullptr) {
            end = directory + std::strlen(directory);
        }
        const auto length = static_cast<int>(end - directory);
        const int n = length > 0 ? std::snprintf(found, sizeof found, "%.*s/%s", length, directory, name)
                                 : std::snprintf(found, sizeof found, "./%s", name);
        if (n >= 0 && n < static_cast<int>(sizeof found) && access(found, X_OK) == 0) {
            return true;
        }
        if (*end == '\0') {
            return false;
        }
        directory = end + 1;
    }
}

// Starts program with one argument, detached: an intermediate child starts it and ends at
// once, so the program belongs to init and nothing is left to reap. Its standard streams are
// /dev/null and it inherits none of the host's other descriptors. True when it was started.
bool StartDetached(const char* program, const char* argument) {
    const int devNull = open("/dev/null", O_RDWR | O_CLOEXEC);
    if (devNull < 0) {
        return false;
    }
    char* const argv[] = {const_cast<char*>(program), const_cast<char*>(argument), nullptr};
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
    PathText opener;
    if (FindOnPath("xdg-open", opener) && StartDetached(opener, url)) {
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
                const int32_t before = out.Size();
                taken =
                    out.PutText(reinterpret_cast<const char*>(data), static_cast<int32_t>(count)) != before;
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
    PutDirectoryOf(out, path);
}

void IGraphicsX11::GetPluginDirectory(IByteBuffer& out) {
    Dl_info info = {};
    const bool found =
        dladdr(reinterpret_cast<void*>(&CreateX11Window), &info) != 0 && info.dli_fname != nullptr;
    PutDirectoryOf(out, found ? info.dli_fname : "");
}

void IGraphicsX11::GetDesktopDirectory(IByteBuffer& out) {
    PathText desktop;
    if (DesktopDirectory(desktop)) {
        out.PutText(desktop);
    }
}

void IGraphicsX11::GetAppDataDirectory(IByteBuffer& out, bool allUsers) {
    if (allUsers) {
        // The first of XDG_DATA_DIRS.
        const char* dirs = Environment("XDG_DATA_DIRS");
        if (dirs[0] == '/') {
            out.PutText(dirs, static_cast<int32_t>(std::strcspn(dirs, ":")));
        } else {
            out.PutText("/usr/local/share");
        }
        return;
    }
    const char* data = Environment("XDG_DATA_HOME");
    PathText home;
    if (data[0] == '/') {
        out.PutText(data);
    } else if (JoinPath(home, Home(), "/.local/share")) {
        out.PutText(home);
    }
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
