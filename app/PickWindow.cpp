// The one way an explicit pick tracks a window and outlines it.
#include "app/PickWindow.h"

#include "app/PickOutline.h"
#include "app/Shared.h"

// The handle is a copy: tracking replaces the record, and a list it came from may be rebuilt meanwhile.
void PickWindow(HWND window, const std::function<void(HWND)>& track) {
    if (track)
        track(window);
    else
        TrackWindow(window, false, true);
    FlashPickedWindow(window);
}

void PickWindows(const std::vector<HWND>& windows, bool append) {
    StopFollowingMouse();
    if (!TrackedList) return;
    if (!append) TrackedList->Clear();
    for (HWND window : windows)
        TrackWindow(window, true, false);
    if (!windows.empty()) FlashPickedWindow(windows.front());
}
