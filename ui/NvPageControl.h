// TNvPageControl and its TNvTabSheet pages: a tab control that shows one page at a time.
#pragma once

#include "ui/NvPanel.h"
#include "ui/WinHandles.h"

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

class TNvPageControl;

// One page of a page control; tabs build their controls on it.
class TNvTabSheet : public TNvPanel {
  public:
    TNvTabSheet(TNvWindow& owner, TNvPageControl& pageControl);
    TNvPageControl& PageControl;
    int PageIndex() const;
    void SetCaption(const std::string& caption);
};

// A tab control with pages that remembers the page that was active before the last change.
class TNvPageControl : public TNvWindow {
  public:
    explicit TNvPageControl(TNvWindow& owner);

    int PreviousPageIndex = 0;
    std::function<void(TNvPageControl&)> OnChange; // the user picked another page

    TNvTabSheet& AddPage(const std::string& caption);
    int PageCount() const { return static_cast<int>(Pages.size()); }
    TNvTabSheet* Page(int index) const;
    int IndexOf(const TNvTabSheet& page) const;
    int ActivePageIndex() const;
    void SetActivePageIndex(int index);
    void SetPageCaption(int index, const std::string& caption);
    // The tab scroller, shown when the tabs do not all fit; null otherwise.
    HWND Scroller() const;
    void ScrollTabs(int positions);

  protected:
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
    bool HandleNotify(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override;

  private:
    void LayoutPages();
    void ShowActivePage();
    void PaintBuffered();
    std::vector<TNvTabSheet*> Pages; // owned as children of this control
    TBackBuffer backBuffer;
    bool addingPage = false;
};
