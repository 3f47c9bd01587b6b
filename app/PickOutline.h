// The picked window shown on screen: a blinking frame around it in a click-through window of our own.
#pragma once

#include "ui/NvClasses.h"

#include <windows.h>

// A top-most, layered, click-through frame around a rectangle that blinks a few times and then destroys
// its window by itself. It draws only into its own window, so nothing of the picked window is touched.
class TPickOutline : public TNvWindow {
  public:
    static constexpr int FrameWidth = 4;
    static constexpr int Blinks = 3;
    static constexpr UINT BlinkMs = 170; // three blinks in under a second
    static constexpr COLORREF FrameColour = RGB(0xE0, 0x20, 0x20);

    // Shows the frame around the rectangle (screen coordinates) at once; no window when nothing of it would
    // be on the screen. A steady frame does not blink and stays until its owner destroys it.
    explicit TPickOutline(const RECT& picked, bool steady = false);
    ~TPickOutline() override;

  protected:
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

  private:
    void Blink();
    int phase = 0; // even phases show the frame, odd ones hide it
};

// The one call for an explicit pick (a list's double-click, Enter or "&Monitor Selected", the Windows menu):
// outlines the window unless "gui"/"flash_picked_window" is off or scanning follows the mouse. A new pick
// replaces an outline that still shows.
void FlashPickedWindow(HWND window);
// The outline window while it shows; null otherwise.
HWND PickOutlineWindow();
