#include "WindowTestSupport.h"

#include "raster/PIX_SysBitmap.h"

#include <chrono>
#include <cstring>

namespace {

constexpr int kClientWidth = 720;
constexpr int kClientHeight = 174;
constexpr int kWatchPeriodMs = 20;
// How long a window, an input or a key may take to be handled; past it the caller goes on, and
// the test fails on what it checks next.
constexpr int kHandledWaitMs = 2000;
constexpr WPARAM kMessageTextId = 0xFFFF;

void Send(INPUT& input) {
    SendInput(1, &input, sizeof input);
}

std::string WindowText(HWND hwnd) {
    char text[1024] = {};
    GetWindowTextA(hwnd, text, sizeof text);
    return text;
}

std::string ClassOf(HWND hwnd) {
    char name[64] = {};
    GetClassNameA(hwnd, name, sizeof name);
    return name;
}

// Polls done until it answers true or ms milliseconds have passed; answers done(). For a thread
// without windows, which has no messages to handle meanwhile.
bool WaitUntil(const std::function<bool()>& done, int ms) {
    const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
    while (!done()) {
        if (std::chrono::steady_clock::now() >= end) {
            return done();
        }
        Sleep(1);
    }
    return true;
}

// Whether this thread's queue holds nothing left to handle.
bool QueueEmpty() {
    return HIWORD(GetQueueStatus(QS_ALLINPUT)) == 0;
}

// Whether the cursor is at the client position (x, y) of window.
bool CursorAt(HWND window, int x, int y) {
    POINT target = {x, y};
    ClientToScreen(window, &target);
    POINT cursor = {};
    return GetCursorPos(&cursor) && cursor.x == target.x && cursor.y == target.y;
}

// Whether the mouse button is down as far as this thread knows: the state changes when the thread
// takes the press or the release from its queue.
bool ButtonDown(bool left) {
    return (GetKeyState(left ? VK_LBUTTON : VK_RBUTTON) & 0x8000) != 0;
}

// The position of the menu's highlighted item; -1 for none.
int Highlighted(HMENU menu) {
    for (int i = 0; i < GetMenuItemCount(menu); ++i) {
        if ((GetMenuState(menu, static_cast<UINT>(i), MF_BYPOSITION) & MF_HILITE) != 0) {
            return i;
        }
    }
    return -1;
}

// The visible top-level windows of this process with the class name.
std::vector<HWND> VisibleWindowsOfClass(const char* className) {
    struct Search {
        const char* className;
        std::vector<HWND> found;
    } search{className, {}};
    EnumWindows(
        [](HWND hwnd, LPARAM data) -> BOOL {
            auto* s = reinterpret_cast<Search*>(data);
            DWORD process = 0;
            GetWindowThreadProcessId(hwnd, &process);
            if (process == GetCurrentProcessId() && IsWindowVisible(hwnd) && ClassOf(hwnd) == s->className) {
                s->found.push_back(hwnd);
            }
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&search));
    return search.found;
}

// The message box's icon as its type bits: 0x10 error, 0x40 information, 0 none.
int IconType(HWND box) {
    int type = 0;
    for (HWND child = GetWindow(box, GW_CHILD); child != nullptr; child = GetWindow(child, GW_HWNDNEXT)) {
        if (ClassOf(child) != "Static" || (GetWindowLongA(child, GWL_STYLE) & SS_TYPEMASK) != SS_ICON) {
            continue;
        }
        const auto icon = reinterpret_cast<HICON>(SendMessageA(child, STM_GETICON, 0, 0));
        if (icon != nullptr && icon == LoadIcon(nullptr, IDI_HAND)) {
            type = MB_ICONERROR;
        } else if (icon != nullptr && icon == LoadIcon(nullptr, IDI_ASTERISK)) {
            type = MB_ICONINFORMATION;
        }
    }
    return type;
}

} // namespace

HostWindow::HostWindow() {
    WNDCLASSA windowClass = {};
    windowClass.lpfnWndProc = Proc;
    windowClass.hInstance = GetModuleHandleA(nullptr);
    windowClass.hCursor = LoadCursor(nullptr, IDC_ARROW);
    windowClass.hbrBackground = static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH));
    windowClass.lpszClassName = "KSPTestHost";
    RegisterClassA(&windowClass);
    RECT frame = {0, 0, kClientWidth, kClientHeight};
    AdjustWindowRect(&frame, WS_OVERLAPPEDWINDOW, FALSE);
    hwnd = CreateWindowExA(0, "KSPTestHost", "Test host", WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN, 40, 40,
                           frame.right - frame.left, frame.bottom - frame.top, nullptr, nullptr,
                           GetModuleHandleA(nullptr), this);
    ShowWindow(hwnd, SW_SHOW);
    SetForegroundWindow(hwnd);
    // Until the window is shown, in front and painted.
    PumpUntil(
        [this] {
            return IsWindowVisible(hwnd) && GetForegroundWindow() == hwnd &&
                   !GetUpdateRect(hwnd, nullptr, FALSE) && QueueEmpty();
        },
        kHandledWaitMs);
}

HostWindow::~HostWindow() {
    if (IsWindow(hwnd)) {
        DestroyWindow(hwnd);
    }
    // Handles what destroying the window left in the queue, such as another window's activation.
    PumpUntil(QueueEmpty, kHandledWaitMs);
}

LRESULT CALLBACK HostWindow::Proc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCCREATE) {
        const auto* create = reinterpret_cast<const CREATESTRUCTA*>(lParam);
        SetWindowLongPtrA(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
    }
    auto* self = reinterpret_cast<HostWindow*>(GetWindowLongPtrA(hwnd, GWLP_USERDATA));
    if (message == WM_KEYDOWN && self != nullptr) {
        self->keys.push_back(wParam);
        return 0;
    }
    return DefWindowProcA(hwnd, message, wParam, lParam);
}

void Pump(int ms) {
    PumpUntil([] { return false; }, ms);
}

bool PumpUntil(const std::function<bool()>& done, int ms) {
    const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
    while (!done()) {
        MSG msg;
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        }
        if (std::chrono::steady_clock::now() >= end) {
            return done();
        }
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 5, QS_ALLINPUT);
    }
    return true;
}

void MoveMouse(HWND window, int x, int y) {
    POINT p = {x, y};
    ClientToScreen(window, &p);
    INPUT input = {};
    input.type = INPUT_MOUSE;
    input.mi.dx = (p.x * 65535 + GetSystemMetrics(SM_CXSCREEN) / 2) / (GetSystemMetrics(SM_CXSCREEN) - 1);
    input.mi.dy = (p.y * 65535 + GetSystemMetrics(SM_CYSCREEN) / 2) / (GetSystemMetrics(SM_CYSCREEN) - 1);
    input.mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE;
    Send(input);
}

void MouseButton(bool left, bool down) {
    INPUT input = {};
    input.type = INPUT_MOUSE;
    if (left) {
        input.mi.dwFlags = down ? MOUSEEVENTF_LEFTDOWN : MOUSEEVENTF_LEFTUP;
    } else {
        input.mi.dwFlags = down ? MOUSEEVENTF_RIGHTDOWN : MOUSEEVENTF_RIGHTUP;
    }
    Send(input);
}

void MoveMouseHandled(HWND window, int x, int y) {
    MoveMouse(window, x, y);
    PumpUntil([&] { return CursorAt(window, x, y) && HIWORD(GetQueueStatus(QS_MOUSEMOVE)) == 0; },
              kHandledWaitMs);
}

void MouseButtonHandled(bool left, bool down) {
    MouseButton(left, down);
    PumpUntil([left, down] { return ButtonDown(left) == down; }, kHandledWaitMs);
}

void Click(HWND window, int x, int y, bool left) {
    MoveMouseHandled(window, x, y);
    MouseButtonHandled(left, true);
    MouseButtonHandled(left, false);
}

void Wheel(int delta) {
    INPUT input = {};
    input.type = INPUT_MOUSE;
    input.mi.mouseData = static_cast<DWORD>(delta);
    input.mi.dwFlags = MOUSEEVENTF_WHEEL;
    Send(input);
}

void Key(WORD virtualKey, bool down) {
    INPUT input = {};
    input.type = INPUT_KEYBOARD;
    input.ki.wVk = virtualKey;
    input.ki.wScan = static_cast<WORD>(MapVirtualKeyA(virtualKey, MAPVK_VK_TO_VSC));
    input.ki.dwFlags = down ? 0 : KEYEVENTF_KEYUP;
    Send(input);
}

void TypeKey(WORD virtualKey) {
    Key(virtualKey, true);
    Key(virtualKey, false);
}

void TypeText(const char* text) {
    for (const char* c = text; *c != '\0'; ++c) {
        INPUT input = {};
        input.type = INPUT_KEYBOARD;
        input.ki.wScan = static_cast<unsigned char>(*c);
        input.ki.dwFlags = KEYEVENTF_UNICODE;
        Send(input);
        input.ki.dwFlags = KEYEVENTF_UNICODE | KEYEVENTF_KEYUP;
        Send(input);
    }
}

std::unique_ptr<PIX_SysBitmap> CaptureWindow(HWND window, int width, int height) {
    auto picture = std::make_unique<PIX_SysBitmap>(width, height);
    HDC dc = GetDC(window);
    BitBlt(picture->GetDeviceContext(), 0, 0, width, height, dc, 0, 0, SRCCOPY);
    ReleaseDC(window, dc);
    GdiFlush();
    return picture;
}

DialogWatcher::DialogWatcher() : thread([this] { Run(); }) {}

DialogWatcher::~DialogWatcher() {
    stop = true;
    thread.join();
}

void DialogWatcher::AnswerBox(int button) {
    std::lock_guard<std::mutex> guard(mutex);
    boxAnswers.push_back(button);
}

void DialogWatcher::AnswerMenu(int position) {
    std::lock_guard<std::mutex> guard(mutex);
    menuAnswers.push_back(position);
}

std::vector<SeenBox> DialogWatcher::Boxes() {
    std::lock_guard<std::mutex> guard(mutex);
    return boxes;
}

std::vector<SeenMenu> DialogWatcher::Menus() {
    std::lock_guard<std::mutex> guard(mutex);
    return menus;
}

bool DialogWatcher::Done() {
    std::lock_guard<std::mutex> guard(mutex);
    return boxAnswers.empty() && menuAnswers.empty();
}

void DialogWatcher::Run() {
    HWND handled = nullptr;
    while (!stop) {
        Sleep(kWatchPeriodMs);
        // One window at a time: wait until the one answered has gone.
        if (handled != nullptr && IsWindow(handled) && IsWindowVisible(handled)) {
            continue;
        }
        handled = nullptr;
        for (HWND box : VisibleWindowsOfClass("#32770")) {
            ReadBox(box);
            handled = box;
        }
        for (HWND menu : VisibleWindowsOfClass("#32768")) {
            ReadMenu(menu);
            handled = menu;
        }
    }
}

void DialogWatcher::ReadBox(HWND box) {
    // Waits until the box has its text and its buttons in place.
    WaitUntil(
        [box] {
            return GetWindowTextLengthA(GetDlgItem(box, static_cast<int>(kMessageTextId))) > 0 &&
                   (GetDlgItem(box, IDOK) != nullptr || GetDlgItem(box, IDYES) != nullptr);
        },
        kHandledWaitMs);
    SeenBox seen;
    seen.caption = WindowText(box);
    seen.text = WindowText(GetDlgItem(box, static_cast<int>(kMessageTextId)));
    const bool yes = GetDlgItem(box, IDYES) != nullptr;
    const bool no = GetDlgItem(box, IDNO) != nullptr;
    seen.type = (yes && no ? MB_YESNO : MB_OK) | IconType(box);
    int answer = IDOK;
    {
        std::lock_guard<std::mutex> guard(mutex);
        boxes.push_back(seen);
        if (!boxAnswers.empty()) {
            answer = boxAnswers.front();
            boxAnswers.pop_front();
        }
    }
    PostMessageA(box, WM_COMMAND, MAKEWPARAM(answer, BN_CLICKED),
                 reinterpret_cast<LPARAM>(GetDlgItem(box, answer)));
}

void DialogWatcher::ReadMenu(HWND menuWindow) {
    // Waits until the menu window answers with its menu, items and all.
    HMENU menu = nullptr;
    WaitUntil(
        [&] {
            menu = reinterpret_cast<HMENU>(SendMessageA(menuWindow, MN_GETHMENU, 0, 0));
            return menu != nullptr && GetMenuItemCount(menu) > 0;
        },
        kHandledWaitMs);
    SeenMenu seen;
    for (int i = 0; menu != nullptr && i < GetMenuItemCount(menu); ++i) {
        char text[256] = {};
        GetMenuStringA(menu, static_cast<UINT>(i), text, sizeof text, MF_BYPOSITION);
        seen.texts.emplace_back(text);
        seen.checked.push_back((GetMenuState(menu, static_cast<UINT>(i), MF_BYPOSITION) & MF_CHECKED) != 0);
    }
    int answer = -1;
    {
        std::lock_guard<std::mutex> guard(mutex);
        menus.push_back(seen);
        if (!menuAnswers.empty()) {
            answer = menuAnswers.front();
            menuAnswers.pop_front();
        }
    }
    // The keys go to the menu's own message loop; each counts as handled once the highlight has
    // moved on or the menu has closed.
    const auto press = [menuWindow](WPARAM key, const std::function<bool()>& handled) {
        PostMessageA(menuWindow, WM_KEYDOWN, key, 1);
        PostMessageA(menuWindow, WM_KEYUP, key, static_cast<LPARAM>(0xC0000001u));
        WaitUntil(handled, kHandledWaitMs);
    };
    const auto closed = [menuWindow] { return !IsWindow(menuWindow) || !IsWindowVisible(menuWindow); };
    if (answer < 0) {
        press(VK_ESCAPE, closed);
        return;
    }
    for (int i = 0; i <= answer; ++i) {
        const int before = Highlighted(menu);
        press(VK_DOWN, [menu, before] { return Highlighted(menu) != before; });
    }
    press(VK_RETURN, closed);
}
