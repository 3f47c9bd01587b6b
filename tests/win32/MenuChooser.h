// Chooses an item of the popup menu that the code under test opens: a second thread waits for the menu
// window of this process and moves to the item with the arrow keys, then presses Enter. A menu that does not
// take its answer is cancelled, so that a regression fails instead of leaving the test in the menu's loop.
#pragma once

#include <windows.h>

#include <atomic>
#include <thread>

class TMenuChooser {
  public:
    explicit TMenuChooser(int downPresses, DWORD timeoutMs = 5000)
        : worker([this, downPresses, timeoutMs] { Run(downPresses, timeoutMs); }) {}
    ~TMenuChooser() {
        if (worker.joinable()) worker.join();
    }
    TMenuChooser(const TMenuChooser&) = delete;
    TMenuChooser& operator=(const TMenuChooser&) = delete;

    // Waits for the thread; true when a menu was seen and chosen from.
    bool Chosen() {
        if (worker.joinable()) worker.join();
        return chosen;
    }

  private:
    static HWND OwnMenu() {
        for (HWND menu = FindWindowExA(nullptr, nullptr, "#32768", nullptr); menu;
             menu = FindWindowExA(nullptr, menu, "#32768", nullptr)) {
            DWORD processId = 0;
            GetWindowThreadProcessId(menu, &processId);
            if (processId == GetCurrentProcessId() && IsWindowVisible(menu)) return menu;
        }
        return nullptr;
    }
    void Run(int downPresses, DWORD timeoutMs) {
        DWORD start = GetTickCount();
        HWND menu = nullptr;
        while (!(menu = OwnMenu()) && GetTickCount() - start < timeoutMs)
            Sleep(20);
        if (!menu) return;
        for (int i = 0; i < downPresses; ++i)
            PostMessageA(menu, WM_KEYDOWN, VK_DOWN, 0);
        PostMessageA(menu, WM_KEYDOWN, VK_RETURN, 0);
        chosen = true;
        start = GetTickCount();
        while (OwnMenu() && GetTickCount() - start < timeoutMs)
            Sleep(20);
        if (HWND left = OwnMenu()) {
            chosen = false;
            PostMessageA(left, WM_KEYDOWN, VK_ESCAPE, 0);
            PostMessageA(left, WM_KEYDOWN, VK_ESCAPE, 0);
        }
    }
    std::atomic<bool> chosen{false};
    std::thread worker;
};
