// The editor's child window: its class, messages, frame timer, painting and tooltip.
#include "platform/win/IGraphicsWin.h"

#include "core/IPluginBase.h"
#include "platform/ResourceName.h"
#include "raster/PIX_PNG.h"
#include "raster/PIX_SysBitmap.h"

#include <commctrl.h>
#include <windowsx.h>

#include <cstring>

namespace {

constexpr const char* kWindowClassName = "IPluginWndClass";
constexpr UINT_PTR kFrameTimerId = 2;
constexpr int kWheelDelta = 120;
// Host codes whose hosts size their own windows around the editor.
constexpr int kHostReaper = 1;
constexpr int kHostCubase = 3;

// Editor windows of the process; the class exists while there is one.
int windowCount = 0;

// The editor's key code of a virtual key, or -1 for keys it does not take.
int EditorKey(WPARAM virtualKey) {
    switch (virtualKey) {
    case VK_SPACE:
        return kKeySpace;
    case VK_UP:
        return kKeyUp;
    case VK_DOWN:
        return kKeyDown;
    case VK_LEFT:
        return kKeyLeft;
    case VK_RIGHT:
        return kKeyRight;
    default:
        break;
    }
    if (virtualKey >= '0' && virtualKey <= '9') {
        return kKeyDigit0 + static_cast<int>(virtualKey - '0');
    }
    if (virtualKey >= 'A' && virtualKey <= 'Z') {
        return kKeyLetterA + static_cast<int>(virtualKey - 'A');
    }
    return -1;
}

IMouseState MouseState(WPARAM wParam) {
    IMouseState mouse;
    mouse.left = (wParam & MK_LBUTTON) != 0;
    mouse.right = (wParam & MK_RBUTTON) != 0;
    mouse.shift = (wParam & MK_SHIFT) != 0;
    mouse.control = (wParam & MK_CONTROL) != 0;
    mouse.alt = GetKeyState(VK_MENU) < 0;
    return mouse;
}

RECT ToRect(const IRectangle& r) {
    return RECT{r.L, r.T, r.R, r.B};
}

bool IsPlainChild(HWND hwnd) {
    return (GetWindowLongA(hwnd, GWL_STYLE) & WS_CHILD) != 0 &&
           (GetWindowLongA(hwnd, GWL_EXSTYLE) & WS_EX_MDICHILD) == 0;
}

void GrowWindow(HWND hwnd, int dw, int dh) {
    RECT r;
    GetWindowRect(hwnd, &r);
    SetWindowPos(hwnd, nullptr, 0, 0, r.right - r.left + dw, r.bottom - r.top + dh,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

struct MainWindowSearch {
    const char* className;
    HWND found;
};

// A top-level window of this process with the class name searched for ends the search.
BOOL CALLBACK MatchMainWindow(HWND candidate, LPARAM data) {
    auto* search = reinterpret_cast<MainWindowSearch*>(data);
    DWORD process = 0;
    GetWindowThreadProcessId(candidate, &process);
    char name[256];
    if (process == GetCurrentProcessId() && GetClassNameA(candidate, name, sizeof name) > 0 &&
        std::strcmp(name, search->className) == 0) {
        search->found = candidate;
        return FALSE;
    }
    return TRUE;
}

} // namespace

IGraphicsWin::IGraphicsWin(IPluginBase* plugin, int width, int height, int frameRate, HMODULE module)
    : IGraphics(plugin, width, height, frameRate), module(module) {}

IGraphicsWin::~IGraphicsWin() {
    IGraphicsWin::CloseWindow();
}

void IGraphicsWin::ReleaseWindowClass(HMODULE module) {
    if (--windowCount == 0) {
        UnregisterClassA(kWindowClassName, module);
    }
}

void* IGraphicsWin::OpenWindow(void* parent) {
    auto* parentHandle = static_cast<HWND>(parent);
    int x = 0;
    int y = 0;
    int w = Width();
    int h = Height();
    if (window != nullptr && parentHandle != nullptr) {
        RECT parentRect;
        RECT windowRect;
        GetWindowRect(parentHandle, &parentRect);
        GetWindowRect(window, &windowRect);
        x = windowRect.left - parentRect.left;
        y = windowRect.top - parentRect.top;
        w = windowRect.right - windowRect.left;
        h = windowRect.bottom - windowRect.top;
    }
    CloseWindow();
    parentWindow = parentHandle;
    // A new parent may sit in another top-level window.
    mainWindow = nullptr;

    if (windowCount++ == 0) {
        WNDCLASSA windowClass = {};
        windowClass.style = CS_DBLCLKS;
        windowClass.lpfnWndProc = EditorWindowProc;
        windowClass.hInstance = module;
        windowClass.hCursor = LoadCursor(nullptr, IDC_ARROW);
        windowClass.lpszClassName = kWindowClassName;
        RegisterClassA(&windowClass);
    }
    window = CreateWindowExA(0, kWindowClassName, "IPlugin", WS_CHILD | WS_VISIBLE, x, y, w, h, parentHandle,
                             nullptr, module, this);
    if (window == nullptr) {
        ReleaseWindowClass(module);
        return nullptr;
    }
    MarkAllDirty();
    if (showTooltips) {
        CreateTooltip();
    }
    return window;
}

void IGraphicsWin::CreateTooltip() {
    INITCOMMONCONTROLSEX controls = {sizeof controls, ICC_BAR_CLASSES};
    if (InitCommonControlsEx(&controls)) {
        tooltipWindow = CreateWindowExA(0, TOOLTIPS_CLASSA, nullptr, WS_POPUP | TTS_NOPREFIX | TTS_ALWAYSTIP,
                                        CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, window,
                                        nullptr, module, nullptr);
    }
    if (tooltipWindow == nullptr) {
        showTooltips = false;
        return;
    }
    SetWindowPos(tooltipWindow, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    TTTOOLINFOA tool = {};
    tool.cbSize = sizeof tool;
    tool.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
    tool.hwnd = window;
    tool.uId = reinterpret_cast<UINT_PTR>(window);
    tool.hinst = module;
    SendMessageA(tooltipWindow, TTM_ADDTOOLA, 0, reinterpret_cast<LPARAM>(&tool));
}

void IGraphicsWin::CloseWindow() {
    if (window == nullptr) {
        if (windowLost) {
            windowLost = false;
            ReleaseWindowClass(module);
        }
        return;
    }
    // The entry goes with the window; what was typed is dropped.
    if (textEntry != nullptr) {
        RemoveTextEntry();
    }
    if (tooltipWindow != nullptr) {
        DestroyWindow(tooltipWindow);
        tooltipWindow = nullptr;
    }
    tooltipShown = false;
    tooltipControl = -1;
    // Forgotten first, so that the messages of the destruction find no editor.
    HWND closing = window;
    window = nullptr;
    DestroyWindow(closing);
    ReleaseCapture();
    ReleaseWindowClass(module);
}

void IGraphicsWin::Resize(int newWidth, int newHeight) {
    const int dw = newWidth - Width();
    const int dh = newHeight - Height();
    if (dw == 0 && dh == 0) {
        return;
    }
    IGraphics::Resize(newWidth, newHeight);
    if (window == nullptr) {
        return;
    }
    HWND parent = nullptr;
    HWND grandparent = nullptr;
    const int hint = Plugin() != nullptr ? Plugin()->GetHostHint() : 0;
    if (hint != kHostReaper && hint != kHostCubase && IsPlainChild(window)) {
        parent = GetParent(window);
        if (parent != nullptr && IsPlainChild(parent)) {
            grandparent = GetParent(parent);
        }
    }
    GrowWindow(window, dw, dh);
    if (parent != nullptr) {
        GrowWindow(parent, dw, dh);
    }
    if (grandparent != nullptr) {
        GrowWindow(grandparent, dw, dh);
    }
    const RECT all = {0, 0, Width(), Height()};
    InvalidateRect(window, &all, FALSE);
}

bool IGraphicsWin::CopyToWindow(const IRectangle& area) {
    const PIX_SysBitmap* surface = Surface();
    if (window == nullptr || surface == nullptr || surface->GetDeviceContext() == nullptr) {
        return false;
    }
    PAINTSTRUCT paint;
    HDC dc = BeginPaint(window, &paint);
    if (dc == nullptr) {
        return false;
    }
    BitBlt(dc, area.L, area.T, area.R - area.L, area.B - area.T, surface->GetDeviceContext(), area.L, area.T,
           SRCCOPY);
    EndPaint(window, &paint);
    return true;
}

int IGraphicsWin::ShowMessageBox(const char* text, const char* caption, int type) {
    return MessageBoxA(FindMainWindow(), text, caption, static_cast<UINT>(type));
}

HWND IGraphicsWin::FindMainWindow() {
    if (mainWindow != nullptr && IsWindow(mainWindow)) {
        return mainWindow;
    }
    mainWindow = nullptr;
    if (parentWindow != nullptr && IsWindow(parentWindow)) {
        HWND top = parentWindow;
        for (HWND up = GetParent(top); up != nullptr; up = GetParent(top)) {
            top = up;
        }
        mainWindow = top;
        GetClassNameA(top, mainWindowClass, sizeof mainWindowClass);
        return mainWindow;
    }
    if (mainWindowClass[0] != '\0') {
        MainWindowSearch search = {mainWindowClass, nullptr};
        EnumWindows(MatchMainWindow, reinterpret_cast<LPARAM>(&search));
        mainWindow = search.found;
    }
    return mainWindow;
}

void IGraphicsWin::HideMouseCursor() {
    if (!cursorHidden) {
        GetCursorPos(&cursorPosition);
        ShowCursor(FALSE);
        cursorHidden = true;
    }
}

void IGraphicsWin::ShowMouseCursor() {
    if (cursorHidden) {
        SetCursorPos(cursorPosition.x, cursorPosition.y);
        ShowCursor(TRUE);
        cursorHidden = false;
    }
}

void IGraphicsWin::SetTooltipText(const char* text) {
    if (tooltipWindow == nullptr) {
        return;
    }
    TTTOOLINFOA tool = {};
    tool.cbSize = sizeof tool;
    tool.hwnd = window;
    tool.uId = reinterpret_cast<UINT_PTR>(window);
    tool.hinst = module;
    tool.lpszText = const_cast<char*>(text != nullptr ? text : "");
    SendMessageA(tooltipWindow, TTM_UPDATETIPTEXTA, 0, reinterpret_cast<LPARAM>(&tool));
}

void IGraphicsWin::ClearTooltip() {
    if (tooltipShown) {
        SetTooltipText(nullptr);
        tooltipShown = false;
    }
}

PIX_IBitmap* IGraphicsWin::LoadBitmapResource(int id, const char* fileName) {
    return IsPngFileName(fileName) ? PIX_ReadPNGResource(module, id) : nullptr;
}

LRESULT CALLBACK IGraphicsWin::EditorWindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_CREATE) {
        const auto* create = reinterpret_cast<const CREATESTRUCTA*>(lParam);
        auto* editor = static_cast<IGraphicsWin*>(create->lpCreateParams);
        SetWindowLongPtrA(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(editor));
        const int frameRate = editor->FrameRate() > 0 ? editor->FrameRate() : 1;
        SetTimer(hwnd, kFrameTimerId, static_cast<UINT>(static_cast<int>(1000.0 / frameRate)), nullptr);
        SetFocus(hwnd);
        return 0;
    }
    auto* editor = reinterpret_cast<IGraphicsWin*>(GetWindowLongPtrA(hwnd, GWLP_USERDATA));
    if (editor == nullptr || editor->window != hwnd) {
        return DefWindowProcA(hwnd, message, wParam, lParam);
    }
    if (message == WM_NCDESTROY) {
        // The host destroyed its window with the editor in it: the child went too.
        // Its class share is given back at the next CloseWindow, once the window is gone.
        editor->window = nullptr;
        editor->tooltipWindow = nullptr;
        editor->tooltipShown = false;
        editor->tooltipControl = -1;
        editor->ForgetTextEntry();
        editor->ReleaseCapture();
        editor->windowLost = true;
        return DefWindowProcA(hwnd, message, wParam, lParam);
    }
    if (editor->textEntry != nullptr && editor->textEntryState == kTextEntryFocused) {
        if (message == WM_LBUTTONDOWN || message == WM_RBUTTONDOWN) {
            editor->textEntryState = kTextEntryCancel;
            return 0;
        }
        return DefWindowProcA(hwnd, message, wParam, lParam);
    }
    return editor->HandleMessage(message, wParam, lParam);
}

LRESULT IGraphicsWin::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    const int x = GET_X_LPARAM(lParam);
    const int y = GET_Y_LPARAM(lParam);
    switch (message) {
    case WM_SETFOCUS:
    case WM_KILLFOCUS:
        return 0;
    case WM_PAINT:
        OnPaint();
        return 0;
    case WM_CLOSE:
        CloseWindow();
        return 0;
    case WM_KEYDOWN: {
        const int key = EditorKey(wParam);
        if (key >= 0) {
            POINT cursor = {0, 0};
            GetCursorPos(&cursor);
            ScreenToClient(window, &cursor);
            if (DispatchKeyDown(cursor.x, cursor.y, key)) {
                return 0;
            }
        }
        return ForwardKey(message, wParam, lParam);
    }
    case WM_KEYUP:
        return ForwardKey(message, wParam, lParam);
    case WM_TIMER:
        if (wParam == kFrameTimerId) {
            OnFrameTimer();
        }
        return 0;
    case WM_CTLCOLOREDIT: {
        if (textEntry == nullptr || editedControl == nullptr) {
            return 0;
        }
        const ITextStyle& style = editedControl->TextStyle();
        const COLORREF background =
            RGB(style.entryBackground.R, style.entryBackground.G, style.entryBackground.B);
        auto* dc = reinterpret_cast<HDC>(wParam);
        SetBkColor(dc, background);
        SetTextColor(dc, RGB(style.entryText.R, style.entryText.G, style.entryText.B));
        SetBkMode(dc, OPAQUE);
        SetDCBrushColor(dc, background);
        return reinterpret_cast<LRESULT>(GetStockObject(DC_BRUSH));
    }
    case WM_MOUSEMOVE:
        return HandleMouseMove(wParam, lParam);
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
    case WM_MBUTTONDOWN:
        ClearTooltip();
        if (textEntry != nullptr) {
            textEntryState = kTextEntryCommit;
            return 0;
        }
        SetFocus(window);
        SetCapture(window);
        DispatchMouseDown(x, y, MouseState(wParam));
        return 0;
    case WM_LBUTTONUP:
    case WM_RBUTTONUP:
    case WM_MBUTTONUP:
        ::ReleaseCapture();
        DispatchMouseUp(x, y, MouseState(wParam));
        return 0;
    case WM_LBUTTONDBLCLK:
        if (DispatchDoubleClick(x, y, MouseState(wParam))) {
            SetCapture(window);
        }
        return 0;
    case WM_MOUSEWHEEL: {
        if (textEntry != nullptr) {
            textEntryState = kTextEntryCancel;
            return 0;
        }
        RECT r;
        GetWindowRect(window, &r);
        const int steps = GET_WHEEL_DELTA_WPARAM(wParam) / kWheelDelta;
        DispatchMouseWheel(x - r.left, y - r.top, MouseState(GET_KEYSTATE_WPARAM(wParam)), steps);
        return 0;
    }
    case WM_MOUSEHOVER: {
        const IControl* control = ControlAt(tooltipControl);
        SetTooltipText(control != nullptr ? control->Tooltip() : "");
        tooltipShown = true;
        return 0;
    }
    case WM_MOUSELEAVE:
        ClearTooltip();
        DispatchMouseOut();
        return 0;
    default:
        return DefWindowProcA(window, message, wParam, lParam);
    }
}

LRESULT IGraphicsWin::HandleMouseMove(WPARAM wParam, LPARAM lParam) {
    const int x = GET_X_LPARAM(lParam);
    const int y = GET_Y_LPARAM(lParam);
    if ((wParam & (MK_LBUTTON | MK_RBUTTON)) != 0) {
        if (GetCapture() == window && textEntry == nullptr) {
            DispatchMouseDrag(x, y, MouseState(wParam));
        }
        return 0;
    }
    if (DispatchMouseOver(x, y, MouseState(wParam))) {
        TRACKMOUSEEVENT track = {sizeof track, TME_LEAVE, window, HOVER_DEFAULT};
        if (showTooltips && MouseOverControl() != tooltipControl) {
            tooltipControl = MouseOverControl();
            if (tooltipControl != -1) {
                track.dwFlags |= TME_HOVER;
            }
            ClearTooltip();
        }
        TrackMouseEvent(&track);
    }
    return 0;
}

LRESULT IGraphicsWin::ForwardKey(UINT message, WPARAM wParam, LPARAM lParam) {
    // Host shortcuts keep working while the editor has the focus.
    HWND root = GetAncestor(window, GA_ROOT);
    if (root != nullptr && root != window) {
        SendMessageA(root, message, wParam, lParam);
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

void IGraphicsWin::OnPaint() {
    RECT update;
    if (GetUpdateRect(window, &update, FALSE) && !IsRectEmpty(&update)) {
        PaintArea(IRectangle{update.left, update.top, update.right, update.bottom});
    }
    // Without controls nothing was copied; the area must not be asked for again and again.
    ValidateRect(window, nullptr);
}

void IGraphicsWin::OnFrameTimer() {
    if (textEntry != nullptr && textEntryState != kTextEntryOpen) {
        TextEntryStep();
        return;
    }
    IRectangle area;
    if (!CollectDirtyArea(area)) {
        return;
    }
    const RECT dirty = ToRect(area);
    InvalidateRect(window, &dirty, FALSE);
    if (textEntry != nullptr && editedControl != nullptr) {
        // The entry covers its control: leave that part alone.
        const RECT covered = ToRect(editedControl->Rect());
        ValidateRect(window, &covered);
        UpdateWindow(window);
        textEntryState = kTextEntryPainted;
        return;
    }
    UpdateWindow(window);
}
