// Every message number below WM_USER, with a few parameter values, sent to the main window and to every
// window inside it: whatever another program sends, Paneprobe must neither crash nor stop answering. Sent
// from a second thread, as another program's messages arrive: sent in-process on the window's own thread,
// the platform's own ANSI/Unicode conversion of WM_CREATE reads the missing structure in the sender (Wine).
#include "DialogAnswerer.h"
#include "FormFixture.h"

#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <set>
#include <string>
#include <thread>
#include <typeinfo>
#include <vector>

namespace {

// The messages not sent, each because it legitimately ends a window or the program.
bool EndsAWindow(UINT message) {
    switch (message) {
    case WM_DESTROY:    // the destruction notices: a window told it is gone lets go of its object
    case WM_NCDESTROY:  // while the window itself stays
    case WM_CLOSE:      // closes the main window, which ends the program
    case WM_QUIT:       // the end of the message loop
    case WM_ENDSESSION: // with a non-zero wParam the session is ending and the program may end
        return true;
    default:
        return false;
    }
}

BOOL CALLBACK CollectWindow(HWND window, LPARAM windows) {
    reinterpret_cast<std::vector<HWND>*>(windows)->push_back(window);
    return TRUE;
}

// One window of every kind: the window class together with the kit class that handles it, since the
// handling is the same for every window of a kind. The nine tabs hold a few hundred windows, and every one
// of them would take the storm well past the suite's time; PANEPROBE_STORM_ALL sends to all (./stress).
std::vector<HWND> OneWindowOfEachKind(const std::vector<HWND>& windows) {
    if (std::getenv("PANEPROBE_STORM_ALL")) return windows;
    std::vector<HWND> kinds;
    std::set<std::string> seen;
    for (HWND window : windows) {
        char className[128] = "";
        GetClassNameA(window, className, sizeof className);
        TNvWindow* object = TNvWindow::FromHandle(window);
        std::string kind = std::string(className) + "/" + (object ? typeid(*object).name() : "");
        if (seen.insert(kind).second) kinds.push_back(window);
    }
    return kinds;
}

// A message can start a modal loop on the user-interface thread (a popup menu, a list view's mouse
// tracking, a dialog). That is no fault, and the message is answered when the loop ends: a third thread ends
// such loops as the user would.
void EndModalStates(DWORD uiThread, std::atomic<int>& modal) {
    GUITHREADINFO info = {};
    info.cbSize = sizeof info;
    if (!GetGUIThreadInfo(uiThread, &info)) return;
    if (info.flags & (GUI_INMENUMODE | GUI_POPUPMENUMODE | GUI_SYSTEMMENUMODE)) {
        ++modal;
        EndMenu();
        if (info.hwndMenuOwner) PostMessageA(info.hwndMenuOwner, WM_CANCELMODE, 0, 0);
    }
    if (info.hwndCapture) {
        ++modal;
        DWORD_PTR unused = 0;
        SendMessageTimeoutA(info.hwndCapture, WM_CANCELMODE, 0, 0, SMTO_NORMAL, 1000, &unused);
    }
    modal += CancelOwnDialogs();
}

class MessageStorm : public FormTest {};

TEST_F(MessageStorm, EveryMessageToEveryWindowLeavesTheMainWindowAliveAndAnswering) {
    std::vector<HWND> windows = {form->Handle()};
    EnumChildWindows(form->Handle(), CollectWindow, reinterpret_cast<LPARAM>(&windows));
    windows = OneWindowOfEachKind(windows);
    ASSERT_GT(windows.size(), 5u);
    const DWORD uiThread = GetCurrentThreadId();
    std::vector<char> zeroes(65536);
    std::atomic<bool> done{false}, stop{false};
    std::atomic<int> modal{0};
    int timedOut = 0, sent = 0;
    bool answersAfterwards = false;

    std::thread storm([&] {
        const WPARAM wParams[] = {0, 1, static_cast<WPARAM>(-1)};
        for (HWND window : windows) {
            char className[64] = "";
            GetClassNameA(window, className, sizeof className);
            DWORD began = GetTickCount();
            for (UINT message = 0; message < WM_USER && !stop; ++message) {
                if (EndsAWindow(message)) continue;
                for (WPARAM wParam : wParams) {
                    for (bool withBuffer : {false, true}) {
                        std::fill(zeroes.begin(), zeroes.end(), 0);
                        LPARAM lParam = withBuffer ? reinterpret_cast<LPARAM>(zeroes.data()) : 0;
                        DWORD_PTR result = 0;
                        bool answered = SendMessageTimeoutA(window, message, wParam, lParam, SMTO_NORMAL,
                                                            5000, &result) != 0;
                        ++sent;
                        if (!answered) {
                            ++timedOut;
                            std::printf("  no answer from %s to 0x%x (%u, %u)\n", className, message,
                                        static_cast<unsigned>(wParam & 0xFFFF), withBuffer ? 1u : 0u);
                        }
                    }
                }
            }
            std::printf("  %s: %lu ms\n", className, static_cast<unsigned long>(GetTickCount() - began));
            std::fflush(stdout);
        }
        DWORD_PTR result = 0;
        answersAfterwards =
            SendMessageTimeoutA(windows[0], WM_NULL, 0, 0, SMTO_ABORTIFHUNG, 5000, &result) != 0;
        done = true;
    });
    std::thread unwinder([&] {
        while (!done) {
            EndModalStates(uiThread, modal);
            Sleep(20);
        }
    });
    // The storm's messages are handled here, as the program's message loop would; the watchdog fails the
    // test instead of letting a hang stop the suite.
    const DWORD watchdogMs = std::getenv("PANEPROBE_STORM_ALL") ? 3000000 : 480000;
    DWORD start = GetTickCount();
    auto pump = [] {
        // Woken by each sent message at once: a sleeping pump would make every message wait.
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 20, QS_ALLINPUT);
        PumpMessages();
    };
    while (!done && GetTickCount() - start < watchdogMs)
        pump();
    if (!done) stop = true;
    while (!done)
        pump();
    storm.join();
    unwinder.join();
    std::printf("%d messages sent to %d windows; %d timed out; %d modal states ended\n", sent,
                static_cast<int>(windows.size()), timedOut, modal.load());
    ASSERT_LT(GetTickCount() - start, watchdogMs) << "the storm did not end in time";
    ASSERT_TRUE(IsWindow(form->Handle()));
    EXPECT_TRUE(answersAfterwards);
    EXPECT_EQ(timedOut, 0) << "a message that is not answered in five seconds has hung the window";
    // And it still works: a key changes the tab, a tick re-reads the tracked window into the status bar.
    PressKey(form->Handle(), '2', ssCtrl);
    EXPECT_EQ(form->PageControl->ActivePageIndex(), 1);
    TrackWindow(form->Handle(), false, true);
    form->FastTick();
    EXPECT_EQ(form->StatusBar->PanelText(2), "1 / 1");
    EXPECT_EQ(TNvWindow::FromHandle(form->Handle()), form.get()) << "the window still has its object";
}

} // namespace
