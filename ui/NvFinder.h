// The finder: a crosshair to press and drag onto a window, which names the window under the pointer while
// the drag lasts and the one where it ends.
#pragma once

#include "ui/NvClasses.h"

#include <functional>

class TNvFinder : public TNvWindow {
  public:
    explicit TNvFinder(TNvWindow& owner);
    static const int Size = 19;

    // The window under the pointer while dragging; null over the finder itself or over no window.
    std::function<void(HWND)> OnHover;
    // The drag ended over a window: add is true when Shift was held at the release.
    std::function<void(HWND, bool add)> OnPick;
    // The drag ended without a pick: Escape, a release over the finder, or the capture taken away.
    std::function<void()> OnCancel;

    bool Dragging() const { return dragging; }
    // Looks again at the window under the pointer: it may change while the pointer rests.
    void Track() {
        if (dragging) Hover();
    }
    bool HandlesKey(WORD key, unsigned shift) const override;

  protected:
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

  private:
    void Start();
    void Hover();
    void Finish(bool pick, bool add);
    HWND WindowAtPointer() const;
    void Paint();

    bool dragging = false;
    HWND hovered = nullptr;
    HWND focusBefore = nullptr; // the control that had the keys when the drag began
};
