// A tab page laid out as a row of controls in a panel along the top, above a body that takes the rest.
#pragma once

#include "ui/NvClasses.h"

#include <utility>

// Builds the top panel on a page, places the row's controls left to right, and keeps the panel, a control
// that stretches to the end of the row, and the body sized to the page for as long as it lives.
class TTopPanelLayout {
  public:
    static const int PanelHeight = 32;
    static const int Margin = 2;
    static const int Top = 4;
    static const int ButtonWidth = 64;
    static const int ButtonHeight = 21;
    static const int Gap = 6;
    static const int DropHeight = 200; // a combo box's height with its list dropped down

    explicit TTopPanelLayout(TNvTabSheet& sheet);
    // The page outlives its tab: its resizes must no longer reach this object.
    ~TTopPanelLayout();
    TTopPanelLayout(const TTopPanelLayout&) = delete;
    TTopPanelLayout& operator=(const TTopPanelLayout&) = delete;

    TNvPanel& TopPanel;
    TNvPanel* Body = nullptr;

    // Makes a control in the top panel at the row's next place, a gap after the one before. Sizes here are
    // at 96 DPI; the row is laid out at the page's.
    template <class T, class... Args> T& AddToRow(int width, int height, Args&&... args) {
        T& control = TopPanel.MakeChild<T>(std::forward<Args>(args)...);
        control.SetBounds(TopPanel.Scaled(nextLeft), TopPanel.Scaled(Top), TopPanel.Scaled(width),
                          TopPanel.Scaled(height));
        nextLeft += width + Gap;
        return control;
    }
    // Makes the row's last control, which reaches to the margin at the right whatever the page's width.
    template <class T, class... Args> T& AddStretched(int height, Args&&... args) {
        T& control = TopPanel.MakeChild<T>(std::forward<Args>(args)...);
        stretched = &control;
        stretchedHeight = height;
        return control;
    }
    // Makes the body below the top panel; the tab lays the page out once it has built the body's content.
    template <class T = TNvPanel, class... Args> T& MakeBody(Args&&... args) {
        T& body = sheet.MakeChild<T>(std::forward<Args>(args)...);
        Body = &body;
        return body;
    }
    void Layout();

  private:
    TNvTabSheet& sheet;
    int nextLeft = Margin;
    TNvWindow* stretched = nullptr;
    int stretchedHeight = 0;
};
