// Text labels: a plain one whose accelerator focuses its control, a hot-track label that acts like a
// clickable control, and a link label that changes its font while the mouse is over it.
#pragma once

#include "ui/NvClasses.h"

#include <functional>
#include <string>

// A static text that draws itself in its own colour and sizes itself to its caption.
class TStaticLabel : public TNvWindow {
  public:
    explicit TStaticLabel(TNvWindow& owner, const std::string& caption = "");

    HWND FocusControl = nullptr;  // what the accelerator focuses
    COLORREF Color = CLR_DEFAULT; // the text colour; CLR_DEFAULT is the system's button text
    void SetCaption(const std::string& caption);
    // Width and height of the caption in the current font.
    SIZE TextExtent() const;
    void AutoSize();
    bool DialogChar(WORD key) override;

  protected:
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
    bool MatchesAccelerator(WORD key) const;
    virtual COLORREF ShownColor() const;

  private:
    void Paint(HDC dc);
};

// A label with the hand cursor that clicks itself on its accelerator.
class THotTrackLabel : public TStaticLabel {
  public:
    explicit THotTrackLabel(TNvWindow& owner, const std::string& caption = "");

    std::function<void(THotTrackLabel&)> OnClick;
    std::function<void(THotTrackLabel&)> OnMouseEnter;
    std::function<void(THotTrackLabel&)> OnMouseLeave;

    bool DialogChar(WORD key) override;
    bool MouseInside() const { return inside; }

  protected:
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
    bool HandleNotify(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override;
    virtual void MouseEnter();
    virtual void MouseLeave();

  private:
    bool inside = false;
};

// A hot-track label drawn with HotFont in HotColor while the mouse is over it.
class TLinkLabel : public THotTrackLabel {
  public:
    explicit TLinkLabel(TNvWindow& owner, const std::string& caption = "");

    COLORREF HotColor = CLR_DEFAULT;
    // The label keeps its own copy.
    void SetHotFont(HFONT font);
    HFONT HotFont() const { return hotFont.Get(); }

  protected:
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
    COLORREF ShownColor() const override;
    void MouseEnter() override;
    void MouseLeave() override;

  private:
    void ShowFont(HFONT font);
    TFont hotFont;
    TFont savedFont; // the normal font while the hot one is shown
    TFont shownFont; // the copy the label shows
    bool settingFont = false;
};

// A new font with the same description; null for a handle that is no font.
HFONT CopyFont(HFONT font);
