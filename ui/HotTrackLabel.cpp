// TStaticLabel, THotTrackLabel and TLinkLabel.
#include "ui/HotTrackLabel.h"

#include "ui/AccelChar.h"

HFONT CopyFont(HFONT font) {
    LOGFONTA description = {};
    if (!font || GetObjectA(font, sizeof description, &description) != sizeof description) return nullptr;
    return CreateFontIndirectA(&description);
}

TStaticLabel::TStaticLabel(TNvWindow& owner, const std::string& caption) {
    // SS_NOTIFY lets the label see the mouse and report clicks.
    CreateControl("STATIC", WS_VISIBLE | SS_LEFT | SS_NOTIFY, 0, owner.Handle());
    SetCaption(caption);
}

void TStaticLabel::SetCaption(const std::string& caption) {
    SetText(caption);
    Invalidate();
}

SIZE TStaticLabel::TextExtent() const {
    SIZE size = {0, 0};
    if (!Handle()) return size;
    TWindowDc dc(Handle());
    if (!dc) return size;
    HFONT font = Font();
    TSelectGuard select(dc.Get(), font ? static_cast<HGDIOBJ>(font) : GetStockObject(DEFAULT_GUI_FONT));
    RECT rect = {0, 0, 0, 0};
    std::string text = Text();
    DrawTextA(dc.Get(), text.empty() ? " " : text.c_str(), -1, &rect, DT_CALCRECT | DT_SINGLELINE);
    size.cx = text.empty() ? 0 : rect.right;
    size.cy = rect.bottom;
    return size;
}

void TStaticLabel::AutoSize() {
    SIZE size = TextExtent();
    if (Handle())
        SetWindowPos(Handle(), nullptr, 0, 0, size.cx, size.cy, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

bool TStaticLabel::MatchesAccelerator(WORD key) const {
    char accelerator = AcceleratorOf(Text());
    return accelerator && (VkKeyScanA(accelerator) & 0xFF) == key;
}

bool TStaticLabel::DialogChar(WORD key) {
    if (!FocusControl || !IsWindowEnabled(Handle()) || !MatchesAccelerator(key) ||
        !IsWindowVisible(FocusControl))
        return false;
    SetFocus(FocusControl);
    return true;
}

COLORREF TStaticLabel::ShownColor() const {
    return Color == CLR_DEFAULT ? GetSysColor(COLOR_BTNTEXT) : Color;
}

void TStaticLabel::Paint(HDC dc) {
    RECT client = ClientRect();
    FillRect(dc, &client, GetSysColorBrush(COLOR_BTNFACE));
    HFONT font = Font();
    TSelectGuard select(dc, font ? static_cast<HGDIOBJ>(font) : GetStockObject(DEFAULT_GUI_FONT));
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, IsWindowEnabled(Handle()) ? ShownColor() : GetSysColor(COLOR_GRAYTEXT));
    std::string text = Text();
    DrawTextA(dc, text.c_str(), -1, &client, DT_SINGLELINE | DT_LEFT | DT_TOP);
}

LRESULT TStaticLabel::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_ERASEBKGND:
        return 1;
    case WM_PAINT: {
        TPaintDc dc(Handle());
        if (dc) Paint(dc.Get());
        return 0;
    }
    case WM_ENABLE:
        Invalidate();
        break;
    default:
        break;
    }
    return TNvWindow::HandleMessage(message, wParam, lParam);
}

THotTrackLabel::THotTrackLabel(TNvWindow& owner, const std::string& caption) : TStaticLabel(owner, caption) {}

bool THotTrackLabel::DialogChar(WORD key) {
    if (!OnClick || !IsWindowEnabled(Handle()) || !MatchesAccelerator(key))
        return TStaticLabel::DialogChar(key);
    OnClick(*this);
    return true;
}

void THotTrackLabel::MouseEnter() {
    if (OnMouseEnter) OnMouseEnter(*this);
}

void THotTrackLabel::MouseLeave() {
    if (OnMouseLeave) OnMouseLeave(*this);
}

LRESULT THotTrackLabel::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_SETCURSOR:
        SetCursor(LoadCursor(nullptr, IDC_HAND));
        return TRUE;
    case WM_MOUSEMOVE:
        if (!inside) {
            inside = true;
            TRACKMOUSEEVENT track = {sizeof track, TME_LEAVE, Handle(), 0};
            TrackMouseEvent(&track);
            MouseEnter();
        }
        break;
    case WM_MOUSELEAVE:
        // Only a leave that follows an enter counts: a stray one must not swap fonts.
        if (inside) {
            inside = false;
            MouseLeave();
        }
        return 0;
    default:
        break;
    }
    return TStaticLabel::HandleMessage(message, wParam, lParam);
}

bool THotTrackLabel::HandleNotify(UINT message, WPARAM wParam, LPARAM, LRESULT& result) {
    if (message != WM_COMMAND || HIWORD(wParam) != STN_CLICKED || !OnClick) return false;
    OnClick(*this);
    result = 0;
    return true;
}

TLinkLabel::TLinkLabel(TNvWindow& owner, const std::string& caption) : THotTrackLabel(owner, caption) {}

void TLinkLabel::SetHotFont(HFONT font) {
    hotFont.Reset(CopyFont(font));
    if (MouseInside() && hotFont) ShowFont(hotFont.Get());
}

void TLinkLabel::ShowFont(HFONT font) {
    TFont copy(CopyFont(font));
    if (!copy) return;
    settingFont = true;
    SendMessageA(Handle(), WM_SETFONT, reinterpret_cast<WPARAM>(copy.Get()), TRUE);
    settingFont = false;
    shownFont = std::move(copy);
}

COLORREF TLinkLabel::ShownColor() const {
    if (MouseInside() && HotColor != CLR_DEFAULT) return HotColor;
    return TStaticLabel::ShownColor();
}

void TLinkLabel::MouseEnter() {
    savedFont.Reset(CopyFont(Font()));
    if (hotFont) ShowFont(hotFont.Get());
    Invalidate();
    THotTrackLabel::MouseEnter();
}

void TLinkLabel::MouseLeave() {
    if (savedFont) ShowFont(savedFont.Get());
    savedFont.Reset();
    Invalidate();
    THotTrackLabel::MouseLeave();
}

LRESULT TLinkLabel::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    // A font given from outside while the hot font shows is the new normal font: it comes back on leaving,
    // and the hot font stays until then.
    if (message == WM_SETFONT && !settingFont && MouseInside()) {
        TFont given(CopyFont(reinterpret_cast<HFONT>(wParam)));
        if (given) savedFont = std::move(given);
        return 0;
    }
    return THotTrackLabel::HandleMessage(message, wParam, lParam);
}
