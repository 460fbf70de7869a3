// Dialogs and shell services: file and colour choosers, web addresses, clipboard, directories.
#include "platform/win/FileFilter.h"
#include "platform/win/IGraphicsWin.h"

#include <commdlg.h>
#include <shellapi.h>
#include <shlobj.h>
#include <wininet.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <new>

namespace {

constexpr int kPathCapacity = 256;
constexpr int kDefaultExtensionCapacity = 16;
constexpr int kCustomColourCount = 16;
constexpr int kActionSave = 1;

// The folder of module's file, up to and including its last backslash; nothing when the path
// cannot be read, has no backslash or ends with one.
void PutModuleDirectory(HMODULE module, IByteBuffer& out) {
    char path[kPathCapacity];
    const DWORD n = GetModuleFileNameA(module, path, sizeof path);
    const char* slash = n > 0 && n < sizeof path ? std::strrchr(path, '\\') : nullptr;
    if (slash != nullptr && slash[1] != '\0') {
        out.PutText(path, static_cast<int>(slash - path) + 1);
    } else {
        out.PutText("");
    }
}

void PutShellFolder(int folder, IByteBuffer& out) {
    char path[MAX_PATH] = {};
    if (SHGetFolderPathA(nullptr, folder, nullptr, SHGFP_TYPE_CURRENT, path) != S_OK) {
        path[0] = '\0';
    }
    out.PutText(path);
}

UINT_PTR CALLBACK ColourHook(HWND dialog, UINT message, WPARAM /*wParam*/, LPARAM lParam) {
    if (message == WM_INITDIALOG) {
        const auto* chooser = reinterpret_cast<const CHOOSECOLORA*>(lParam);
        if (chooser != nullptr && chooser->lCustData != 0) {
            SetWindowTextA(dialog, reinterpret_cast<const char*>(chooser->lCustData));
        }
    }
    return 0;
}

} // namespace

int BuildExtensionPattern(const char* extensions, char* out, int capacity) {
    int n = 0;
    auto put = [&](char c) {
        if (n + 1 < capacity) {
            out[n++] = c;
        }
    };
    for (int i = 0; extensions != nullptr && extensions[i] != '\0'; ++i) {
        if (i == 0 || extensions[i - 1] == ' ') {
            if (n > 0) {
                put(';');
            }
            put('*');
            put('.');
        }
        if (extensions[i] != ' ') {
            put(extensions[i]);
        }
    }
    if (capacity > 0) {
        out[n] = '\0';
    }
    return n;
}

void IGraphicsWin::PromptForFile(IByteBuffer& path, int action, IByteBuffer& directory,
                                 const char* extensions) {
    if (window == nullptr) {
        path.Clear();
        path.PutText("");
        return;
    }
    char file[kPathCapacity] = {};
    std::snprintf(file, sizeof file, "%s", path.Text());
    if (directory.Text()[0] == '\0') {
        directory.Clear();
        GetDesktopDirectory(directory);
    }
    char folder[kPathCapacity] = {};
    std::snprintf(folder, sizeof folder, "%s", directory.Text());

    OPENFILENAMEA dialog = {};
    dialog.lStructSize = sizeof dialog;
    dialog.hwndOwner = window;
    dialog.lpstrFile = file;
    dialog.nMaxFile = sizeof file - 1;
    dialog.lpstrInitialDir = folder;
    // The pattern twice (description and filter), each with its terminator, and a final zero.
    char filter[kPathCapacity] = {};
    char defaultExtension[kDefaultExtensionCapacity] = {};
    if (extensions != nullptr && extensions[0] != '\0') {
        const int half = (static_cast<int>(sizeof filter) - 1) / 2;
        const int n = BuildExtensionPattern(extensions, filter, half);
        std::memcpy(filter + n + 1, filter, static_cast<size_t>(n) + 1);
        dialog.lpstrFilter = filter;
        const char* space = std::strchr(extensions, ' ');
        const int length = space != nullptr ? static_cast<int>(space - extensions)
                                            : static_cast<int>(std::strlen(extensions));
        std::snprintf(defaultExtension, sizeof defaultExtension, "%.*s", length, extensions);
        dialog.lpstrDefExt = defaultExtension;
    }
    BOOL chosen = FALSE;
    if (action == kActionSave) {
        dialog.Flags = OFN_PATHMUSTEXIST | OFN_OVERWRITEPROMPT;
        chosen = GetSaveFileNameA(&dialog);
    } else {
        dialog.Flags = OFN_PATHMUSTEXIST | OFN_FILEMUSTEXIST;
        chosen = GetOpenFileNameA(&dialog);
    }
    path.Clear();
    if (!chosen) {
        path.PutText("");
        return;
    }
    char drive[_MAX_DRIVE];
    char folderPart[_MAX_DIR];
    if (_splitpath_s(file, drive, sizeof drive, folderPart, sizeof folderPart, nullptr, 0, nullptr, 0) == 0) {
        char joined[kPathCapacity];
        std::snprintf(joined, sizeof joined, "%s%s", drive, folderPart);
        directory.Clear();
        directory.PutText(joined);
    }
    path.PutText(file);
}

bool IGraphicsWin::PromptForColour(IColour& colour, const char* prompt) {
    if (window == nullptr) {
        return false;
    }
    if (!customColours) {
        customColours.reset(new (std::nothrow) COLORREF[kCustomColourCount]());
        if (!customColours) {
            return false;
        }
    }
    CHOOSECOLORA chooser = {};
    chooser.lStructSize = sizeof chooser;
    chooser.hwndOwner = window;
    chooser.rgbResult = RGB(colour.R, colour.G, colour.B);
    chooser.lpCustColors = customColours.get();
    chooser.Flags = CC_RGBINIT | CC_FULLOPEN | CC_ENABLEHOOK | CC_SOLIDCOLOR | CC_ANYCOLOR;
    chooser.lCustData = reinterpret_cast<LPARAM>(prompt);
    chooser.lpfnHook = ColourHook;
    if (!ChooseColorA(&chooser)) {
        return false;
    }
    colour.R = GetRValue(chooser.rgbResult);
    colour.G = GetGValue(chooser.rgbResult);
    colour.B = GetBValue(chooser.rgbResult);
    return true;
}

bool IGraphicsWin::OpenUrl(const char* url, const char* caption, const char* confirmText,
                           const char* errorText) {
    if (confirmText != nullptr && MessageBoxA(window, confirmText, caption, MB_YESNO) != IDYES) {
        return false;
    }
    DWORD state = 0;
    if (url != nullptr && InternetGetConnectedState(&state, 0) &&
        reinterpret_cast<INT_PTR>(ShellExecuteA(window, "open", url, nullptr, nullptr, SW_SHOWNORMAL)) > 32) {
        return true;
    }
    if (errorText != nullptr) {
        MessageBoxA(window, errorText, caption, MB_OK);
    }
    return false;
}

bool IGraphicsWin::GetClipboardText(IByteBuffer& out) {
    bool taken = false;
    if (IsClipboardFormatAvailable(CF_UNICODETEXT) && OpenClipboard(window)) {
        HANDLE data = GetClipboardData(CF_UNICODETEXT);
        const auto* wide = data != nullptr ? static_cast<const wchar_t*>(GlobalLock(data)) : nullptr;
        if (wide != nullptr) {
            const int size = WideCharToMultiByte(CP_UTF8, 0, wide, -1, nullptr, 0, nullptr, nullptr);
            char* text = size > 0 ? static_cast<char*>(std::malloc(static_cast<size_t>(size) + 1)) : nullptr;
            if (text != nullptr &&
                WideCharToMultiByte(CP_UTF8, 0, wide, -1, text, size + 1, nullptr, nullptr) > 0) {
                text[size] = '\0';
                out.PutText(text);
                taken = true;
            }
            std::free(text);
            GlobalUnlock(data);
        }
        CloseClipboard();
    }
    if (!taken) {
        out.PutText("");
    }
    return taken;
}

void IGraphicsWin::GetHostDirectory(IByteBuffer& out) {
    PutModuleDirectory(nullptr, out);
}

void IGraphicsWin::GetPluginDirectory(IByteBuffer& out) {
    PutModuleDirectory(module, out);
}

void IGraphicsWin::GetDesktopDirectory(IByteBuffer& out) {
    PutShellFolder(CSIDL_DESKTOP, out);
}

void IGraphicsWin::GetAppDataDirectory(IByteBuffer& out, bool allUsers) {
    PutShellFolder(allUsers ? CSIDL_COMMON_APPDATA : CSIDL_LOCAL_APPDATA, out);
}

void IGraphicsWin::GetUserAppDataDirectory(IByteBuffer& out) {
    GetAppDataDirectory(out, false);
}
