#pragma once

#include <windows.h>

#include <atomic>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

class PIX_SysBitmap;

// A host's top-level window of 720 x 174 client pixels that keeps the keys it receives.
class HostWindow {
public:
    HostWindow();
    ~HostWindow();
    HostWindow(const HostWindow&) = delete;
    HostWindow& operator=(const HostWindow&) = delete;

    HWND Handle() const { return hwnd; }
    // The virtual keys of the WM_KEYDOWN messages that reached the window.
    std::vector<WPARAM> keys;

private:
    static LRESULT CALLBACK Proc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
    HWND hwnd = nullptr;
};

// Handles the thread's messages for ms milliseconds.
void Pump(int ms);
// Handles messages until done answers true or ms milliseconds have passed; answers done().
bool PumpUntil(const std::function<bool()>& done, int ms);

// Real input through SendInput, at client positions of window.
void MoveMouse(HWND window, int x, int y);
void MouseButton(bool left, bool down);
// The same, then handling messages until this thread has taken the input from its queue.
void MoveMouseHandled(HWND window, int x, int y);
void MouseButtonHandled(bool left, bool down);
void Click(HWND window, int x, int y, bool left = true);
void Wheel(int delta);
void Key(WORD virtualKey, bool down);
void TypeKey(WORD virtualKey);
// Types each character of text as a character (not as a key).
void TypeText(const char* text);

// The window's client pixels as they are on the screen.
std::unique_ptr<PIX_SysBitmap> CaptureWindow(HWND window, int width, int height);

// What a watcher saw of a message box.
struct SeenBox {
    std::string caption;
    std::string text;
    int type = -1; // buttons and icon as the MessageBox type word
};

// What a watcher saw of a pop-up menu.
struct SeenMenu {
    std::vector<std::string> texts;
    std::vector<bool> checked;
};

// A thread that waits for this process's message boxes and pop-up menus, reads them and answers
// them in turn: a box with the given button id, a menu by choosing the given position (keyboard,
// through SendInput) or dismissing it (-1). Stops when destroyed.
class DialogWatcher {
public:
    DialogWatcher();
    ~DialogWatcher();
    DialogWatcher(const DialogWatcher&) = delete;
    DialogWatcher& operator=(const DialogWatcher&) = delete;

    void AnswerBox(int button);
    void AnswerMenu(int position);
    std::vector<SeenBox> Boxes();
    std::vector<SeenMenu> Menus();
    // Whether every answer given has been used.
    bool Done();

private:
    void Run();
    void ReadBox(HWND box);
    void ReadMenu(HWND menu);

    std::mutex mutex;
    std::deque<int> boxAnswers;
    std::deque<int> menuAnswers;
    std::vector<SeenBox> boxes;
    std::vector<SeenMenu> menus;
    std::atomic<bool> stop{false};
    std::thread thread;
};
