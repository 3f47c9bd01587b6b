// The kit's smaller controls: tree view, status bar, edit, button, combo box, panel, pages, image list.
#include "ui/NvButton.h"
#include "ui/NvComboBox.h"
#include "ui/NvEdit.h"
#include "ui/NvImageList.h"
#include "ui/NvPageControl.h"
#include "ui/NvPanel.h"
#include "ui/NvPopupMenu.h"
#include "ui/NvStatusBar.h"
#include "ui/NvTreeView.h"

#include "app/Utf8Text.h"
#include "app/WinApiEx.h"
#include "ui/AccelChar.h"
#include "ui/Dpi.h"
#include "ui/EditMargins.h"

#include <windowsx.h>

#include <algorithm>
#include <cstring>

TNvTreeView::TNvTreeView(TNvWindow& owner) {
    CreateControl(WC_TREEVIEWA,
                  WS_VISIBLE | WS_TABSTOP | TVS_SHOWSELALWAYS | TVS_HASLINES | TVS_HASBUTTONS |
                      TVS_LINESATROOT,
                  WS_EX_CLIENTEDGE, owner.Handle());
}

// The tree's own handling of the button sends the right-click notification and opens the popup before it
// returns, so the node under the pointer is selected first: the popup then acts on the clicked node.
LRESULT TNvTreeView::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    if (message != WM_RBUTTONDOWN) return TNvWindow::HandleMessage(message, wParam, lParam);
    TVHITTESTINFO hit = {};
    hit.pt = {GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
    HTREEITEM item = TreeView_HitTest(Handle(), &hit);
    if (!(hit.flags & TVHT_ONITEM)) item = nullptr;
    TreeView_SelectItem(Handle(), item);
    return DefaultHandling(message, wParam, lParam);
}

TNvStatusBar::TNvStatusBar(TNvWindow& owner) {
    // Placed by its owner, who gives it its fixed height.
    CreateControl(STATUSCLASSNAMEA, WS_VISIBLE | CCS_NOPARENTALIGN | CCS_NORESIZE | CCS_NODIVIDER, 0,
                  owner.Handle());
}

int TNvStatusBar::AddPanels(const int* widths, int lastIndex) {
    if (Panels.empty()) Total = 0;
    const int defaultWidth = 50;
    for (int i = 0; i <= lastIndex; ++i) {
        int w = widths[i];
        int width = w < 0 ? -w : w;
        Panels.push_back({width == 0 ? defaultWidth : width, w < 0, width != 0, ""});
        Total += width;
    }
    ApplyParts();
    return Total;
}

// As the control has it: the distance between the panel's right edge and the previous one.
int TNvStatusBar::PanelWidth(int index) const {
    if (index < 0 || index >= PanelCount() || !Handle()) return 0;
    std::vector<int> edges(Panels.size());
    SendMessageA(Handle(), SB_GETPARTS, edges.size(), reinterpret_cast<LPARAM>(edges.data()));
    return edges[static_cast<size_t>(index)] - (index > 0 ? edges[static_cast<size_t>(index) - 1] : 0);
}

const std::string& TNvStatusBar::PanelText(int index) const {
    static const std::string none;
    return index < 0 || index >= PanelCount() ? none : Panels[static_cast<size_t>(index)].Text;
}

// The bar paints itself and answers SB_GETTEXT and WM_GETTEXT (screen readers, inspection tools) from its
// own panels: the control is not told the texts, since under Wine every SB_SETTEXT invalidates and repaints
// its panel, a round trip to the display for each panel on every tick.
void TNvStatusBar::SetPanelText(int index, const std::string& text) {
    if (index < 0 || index >= PanelCount()) return;
    Panels[static_cast<size_t>(index)].Text = text;
}

namespace {

// The length in the low word, the drawing type (none) in the high word, as the control answers.
LRESULT PanelTextReply(size_t length) {
    return MAKELRESULT(static_cast<WORD>(std::min<size_t>(length, 0xFFFF)), 0);
}

} // namespace

LRESULT TNvStatusBar::AnswerText(UINT message, WPARAM wParam, LPARAM lParam) const {
    const bool ofPanel = message != WM_GETTEXT && message != WM_GETTEXTLENGTH;
    const int index = ofPanel ? static_cast<int>(LOBYTE(LOWORD(wParam))) : 0;
    const std::string& text = PanelText(index);
    switch (message) {
    case SB_GETTEXTLENGTHA:
        return PanelTextReply(text.size());
    case SB_GETTEXTLENGTHW:
        return PanelTextReply(WideText(text).size());
    case WM_GETTEXTLENGTH:
        return static_cast<LRESULT>(IsWindowUnicode(Handle()) ? WideText(text).size() : text.size());
    case SB_GETTEXTA:
        // No size comes with it: the caller asked for the length first.
        if (lParam) std::memcpy(reinterpret_cast<char*>(lParam), text.c_str(), text.size() + 1);
        return PanelTextReply(text.size());
    case SB_GETTEXTW: {
        const std::wstring wide = WideText(text);
        if (lParam)
            std::memcpy(reinterpret_cast<wchar_t*>(lParam), wide.c_str(),
                        (wide.size() + 1) * sizeof(wchar_t));
        return PanelTextReply(wide.size());
    }
    case WM_GETTEXT: {
        // The message comes in the window's own form: the common controls are Unicode windows.
        if (!lParam || wParam == 0) return 0;
        if (IsWindowUnicode(Handle())) {
            const std::wstring wide = WideText(text);
            size_t length = std::min(wide.size(), static_cast<size_t>(wParam) - 1);
            if (length > 0 && length < wide.size() && IS_HIGH_SURROGATE(wide[length - 1])) --length;
            std::memcpy(reinterpret_cast<wchar_t*>(lParam), wide.data(), length * sizeof(wchar_t));
            reinterpret_cast<wchar_t*>(lParam)[length] = L'\0';
            return static_cast<LRESULT>(length);
        }
        const size_t length = Utf8CutLength(text, static_cast<size_t>(wParam) - 1);
        std::memcpy(reinterpret_cast<char*>(lParam), text.data(), length);
        reinterpret_cast<char*>(lParam)[length] = '\0';
        return static_cast<LRESULT>(length);
    }
    default:
        return 0;
    }
}

// Drawn whole, so whatever a new text invalidated needs no second paint.
void TNvStatusBar::RepaintNow() {
    if (!Handle() || !IsWindowVisible(Handle())) return;
    TWindowDc dc(Handle());
    if (!dc) return;
    PaintBuffered(dc.Get());
    ValidateRect(Handle(), nullptr);
}

// The spring panel takes whatever the client width leaves after the fixed total.
void TNvStatusBar::ApplyParts() {
    if (!Handle() || Panels.empty()) return;
    RECT client = ClientRect();
    // The table gives widths at 96 DPI; the spring panel takes what the scaled ones leave.
    const int dpi = Dpi();
    int fixed = 0;
    for (int i = 0; i < PanelCount(); ++i)
        if (i != SpringPanel) fixed += ScaleToDpi(Panels[static_cast<size_t>(i)].Width, dpi);
    if (SpringPanel >= 0 && SpringPanel < PanelCount())
        fixed += ScaleToDpi(Panels[static_cast<size_t>(SpringPanel)].Width, dpi);
    std::vector<int> edges;
    int right = 0;
    for (int i = 0; i < PanelCount(); ++i) {
        TPanel& panel = Panels[static_cast<size_t>(i)];
        if (i == SpringPanel) {
            int rest = static_cast<int>(client.right) - fixed;
            panel.Shown = rest > 0 ? rest : 0;
        } else {
            panel.Shown = ScaleToDpi(panel.Width, dpi);
        }
        right += panel.Shown;
        edges.push_back(right);
    }
    SendMessageA(Handle(), SB_SETPARTS, edges.size(), reinterpret_cast<LPARAM>(edges.data()));
}

// The bar draws itself: the common control's own painting costs milliseconds under Wine's themes, which a
// bar rewritten 30 times a second cannot afford.
void TNvStatusBar::PaintInto(HDC dc) {
    RECT client = ClientRect();
    FillRect(dc, &client, GetSysColorBrush(COLOR_BTNFACE));
    int left = 0;
    for (int i = 0; i < PanelCount(); ++i) {
        PaintPanel(dc, i, left, client);
        left += Panels[static_cast<size_t>(i)].Shown;
    }
}

void TNvStatusBar::PaintPanel(HDC dc, int index, int left, const RECT& client) {
    const TPanel& panel = Panels[static_cast<size_t>(index)];
    RECT bound = {left, client.top + 2, left + panel.Shown - 2, client.bottom};
    if (bound.right <= bound.left) return;
    HFONT font = reinterpret_cast<HFONT>(SendMessageA(Handle(), WM_GETFONT, 0, 0));
    TSelectGuard selectFont(dc, font ? static_cast<HGDIOBJ>(font) : GetStockObject(DEFAULT_GUI_FONT));
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, GetSysColor(COLOR_BTNTEXT));
    DrawEdge(dc, &bound, BDR_SUNKENOUTER, BF_RECT | BF_ADJUST);
    if (panel.OwnerDraw) {
        if (OnDrawPanel) OnDrawPanel(*this, index, dc, bound);
        return;
    }
    RECT text = {bound.left + 2, bound.top, bound.right - 2, bound.bottom};
    UINT format =
        DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX | DT_END_ELLIPSIS | (panel.Centred ? DT_CENTER : DT_LEFT);
    DrawProgramText(dc, panel.Text, &text, format);
}

// Painted into a memory bitmap and copied at once, so that 30 updates a second do not flicker.
void TNvStatusBar::PaintBuffered(HDC screen) {
    RECT client = ClientRect();
    if (HDC buffer = backBuffer.Prepare(screen, client.right, client.bottom)) {
        PaintInto(buffer);
        BitBlt(screen, 0, 0, client.right, client.bottom, buffer, 0, 0, SRCCOPY);
        bufferedSize = {client.right, client.bottom};
    } else {
        PaintInto(screen);
        bufferedSize = {0, 0};
    }
}

// While the pointer moves, most ticks change two or three panels: the others are neither drawn nor copied.
void TNvStatusBar::RepaintPanelsNow(const std::vector<bool>& changed) {
    RECT client = ClientRect();
    if (bufferedSize.cx != client.right || bufferedSize.cy != client.bottom) {
        RepaintNow();
        return;
    }
    if (!Handle() || !IsWindowVisible(Handle())) return;
    TWindowDc dc(Handle());
    HDC buffer = dc ? backBuffer.Prepare(dc.Get(), client.right, client.bottom) : nullptr;
    if (!buffer) return;
    // The buffer holds the whole bar as last drawn: one copy of the span from the first changed panel to
    // the last, since each copy is a round trip to the display under Wine.
    RECT span = {};
    int left = 0;
    for (int i = 0; i < PanelCount(); ++i) {
        const int width = Panels[static_cast<size_t>(i)].Shown;
        if (static_cast<size_t>(i) < changed.size() && changed[static_cast<size_t>(i)] && width > 0) {
            RECT cell = {left, client.top, left + width, client.bottom};
            FillRect(buffer, &cell, GetSysColorBrush(COLOR_BTNFACE));
            PaintPanel(buffer, i, left, client);
            UnionRect(&span, &span, &cell);
        }
        left += width;
    }
    if (IsRectEmpty(&span)) return;
    BitBlt(dc.Get(), span.left, span.top, span.right - span.left, span.bottom - span.top, buffer, span.left,
           span.top, SRCCOPY);
    ValidateRect(Handle(), &span);
}

LRESULT TNvStatusBar::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_SIZE: {
        LRESULT result = DefaultHandling(message, wParam, lParam);
        ApplyParts();
        return result;
    }
    case WM_ERASEBKGND:
        return 1;
    case SB_GETTEXTA:
    case SB_GETTEXTW:
    case SB_GETTEXTLENGTHA:
    case SB_GETTEXTLENGTHW:
    case WM_GETTEXT:
    case WM_GETTEXTLENGTH:
        return AnswerText(message, wParam, lParam);
    case WM_PAINT:
    case WM_PRINTCLIENT:
        if (wParam != 0) {
            PaintInto(reinterpret_cast<HDC>(wParam));
        } else {
            TPaintDc paint(Handle());
            if (paint) PaintBuffered(paint.Get());
        }
        return 0;
    default:
        break;
    }
    return TNvWindow::HandleMessage(message, wParam, lParam);
}

bool TNvStatusBar::HandleNotify(UINT message, WPARAM, LPARAM lParam, LRESULT& result) {
    if (message != WM_DRAWITEM) return false;
    auto& draw = *reinterpret_cast<DRAWITEMSTRUCT*>(lParam);
    if (OnDrawPanel) OnDrawPanel(*this, static_cast<int>(draw.itemID), draw.hDC, draw.rcItem);
    result = TRUE;
    return true;
}

TNvEdit::TNvEdit(TNvWindow& owner, DWORD extraStyle) {
    CreateControl("EDIT", WS_VISIBLE | WS_TABSTOP | ES_AUTOHSCROLL | extraStyle, WS_EX_CLIENTEDGE,
                  owner.Handle());
    RefuseUndrawableMargins(Handle());
}

TNvButton::TNvButton(TNvWindow& owner, const std::string& caption) {
    CreateControl("BUTTON", WS_VISIBLE | WS_TABSTOP | BS_PUSHBUTTON, 0, owner.Handle());
    SetText(caption);
}

bool TNvButton::DialogChar(WORD key) {
    char accelerator = AcceleratorOf(Text());
    if (!accelerator || (VkKeyScanA(accelerator) & 0xFF) != key) return false;
    SendMessageA(Handle(), BM_CLICK, 0, 0);
    return true;
}

bool TNvButton::HandleNotify(UINT message, WPARAM wParam, LPARAM, LRESULT& result) {
    if (message != WM_COMMAND || HIWORD(wParam) != BN_CLICKED || !OnClick) return false;
    OnClick(*this);
    result = 0;
    return true;
}

TNvComboBox::TNvComboBox(TNvWindow& owner) {
    CreateControl("COMBOBOX", WS_VISIBLE | WS_TABSTOP | WS_VSCROLL | CBS_DROPDOWNLIST, 0, owner.Handle());
}

bool TNvComboBox::HandleNotify(UINT message, WPARAM wParam, LPARAM, LRESULT& result) {
    if (message != WM_COMMAND || HIWORD(wParam) != CBN_SELCHANGE || !OnChange) return false;
    OnChange(*this);
    result = 0;
    return true;
}

TNvPanel::TNvPanel(TNvWindow& owner, const char* className) {
    CreateOwnWindow(className, "", WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN, WS_EX_CONTROLPARENT,
                    owner.Handle(), RECT{0, 0, 0, 0});
}

LRESULT TNvPanel::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_SIZE) {
        LRESULT result = TNvWindow::HandleMessage(message, wParam, lParam);
        if (OnResize) OnResize(*this);
        return result;
    }
    if (message != WM_PAINT) return TNvWindow::HandleMessage(message, wParam, lParam);
    TPaintDc paint(Handle());
    if (!paint) return 0;
    RECT client = ClientRect();
    FillRect(paint.Get(), &client, GetSysColorBrush(COLOR_BTNFACE));
    if (OnPaint) OnPaint(*this, paint.Get());
    return 0;
}

TNvTabSheet::TNvTabSheet(TNvWindow& owner, TNvPageControl& pageControl)
    : TNvPanel(owner, "TNvTabSheet"), PageControl(pageControl) {}

int TNvTabSheet::PageIndex() const {
    return PageControl.IndexOf(*this);
}

void TNvTabSheet::SetCaption(const std::string& caption) {
    PageControl.SetPageCaption(PageIndex(), caption);
}

TNvPageControl::TNvPageControl(TNvWindow& owner) {
    CreateControl(WC_TABCONTROLA, WS_VISIBLE | WS_TABSTOP | WS_CLIPCHILDREN | WS_CLIPSIBLINGS, 0,
                  owner.Handle());
}

TNvTabSheet& TNvPageControl::AddPage(const std::string& caption) {
    TNvTabSheet& page = MakeChild<TNvTabSheet>(*this);
    TCITEMA item = {};
    item.mask = TCIF_TEXT;
    item.pszText = const_cast<char*>(caption.c_str());
    addingPage = true;
    TabCtrl_InsertItem(Handle(), PageCount(), &item);
    addingPage = false;
    Pages.push_back(&page);
    LayoutPages();
    ShowActivePage();
    return page;
}

TNvTabSheet* TNvPageControl::Page(int index) const {
    return index < 0 || index >= PageCount() ? nullptr : Pages[static_cast<size_t>(index)];
}

int TNvPageControl::IndexOf(const TNvTabSheet& page) const {
    for (int i = 0; i < PageCount(); ++i)
        if (Pages[static_cast<size_t>(i)] == &page) return i;
    return -1;
}

int TNvPageControl::ActivePageIndex() const {
    return Handle() ? TabCtrl_GetCurSel(Handle()) : -1;
}

void TNvPageControl::SetActivePageIndex(int index) {
    int current = ActivePageIndex();
    if (index == current || index < 0 || index >= PageCount()) return;
    PreviousPageIndex = current;
    TabCtrl_SetCurSel(Handle(), index);
    ShowActivePage();
}

void TNvPageControl::SetPageCaption(int index, const std::string& caption) {
    if (index < 0 || index >= PageCount()) return;
    TCITEMA item = {};
    item.mask = TCIF_TEXT;
    item.pszText = const_cast<char*>(caption.c_str());
    TabCtrl_SetItem(Handle(), index, &item);
    LayoutPages();
}

HWND TNvPageControl::Scroller() const {
    HWND scroller = Handle() ? FindWindowExA(Handle(), nullptr, "msctls_updown32", nullptr) : nullptr;
    return scroller && IsWindowVisible(scroller) ? scroller : nullptr;
}

// Moves the first visible tab by the given number of positions, as the scroller's arrows do.
void TNvPageControl::ScrollTabs(int positions) {
    HWND scroller = Scroller();
    if (!scroller || positions == 0) return;
    int low = 0, high = 0;
    SendMessageA(scroller, UDM_GETRANGE32, reinterpret_cast<WPARAM>(&low), reinterpret_cast<LPARAM>(&high));
    int position = static_cast<int>(SendMessageA(scroller, UDM_GETPOS32, 0, 0)) + positions;
    if (position < low) position = low;
    if (position > high) position = high;
    SendMessageA(Handle(), WM_HSCROLL, MAKEWPARAM(SB_THUMBPOSITION, position), 0);
    SendMessageA(scroller, UDM_SETPOS32, 0, position);
}

void TNvPageControl::LayoutPages() {
    if (!Handle()) return;
    RECT display = ClientRect();
    TabCtrl_AdjustRect(Handle(), FALSE, &display);
    for (TNvTabSheet* page : Pages)
        SetWindowPos(page->Handle(), nullptr, display.left, display.top, display.right - display.left,
                     display.bottom - display.top, SWP_NOZORDER | SWP_NOACTIVATE);
}

void TNvPageControl::ShowActivePage() {
    int active = ActivePageIndex();
    for (int i = 0; i < PageCount(); ++i)
        ShowWindow(Pages[static_cast<size_t>(i)]->Handle(), i == active ? SW_SHOWNA : SW_HIDE);
}

// Double-buffered: the control paints its background and tabs into a memory bitmap that is then copied at
// once, so that the main window's frequent repaints do not flicker.
void TNvPageControl::PaintBuffered() {
    TPaintDc paint(Handle());
    if (!paint) return;
    RECT client = ClientRect();
    HDC buffer = backBuffer.Prepare(paint.Get(), client.right, client.bottom);
    HDC target = buffer ? buffer : paint.Get();
    DefaultHandling(WM_ERASEBKGND, reinterpret_cast<WPARAM>(target), 0);
    DefaultHandling(WM_PAINT, reinterpret_cast<WPARAM>(target), 0);
    if (buffer) BitBlt(paint.Get(), 0, 0, client.right, client.bottom, buffer, 0, 0, SRCCOPY);
}

LRESULT TNvPageControl::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_SIZE: {
        LRESULT result = DefaultHandling(message, wParam, lParam);
        LayoutPages();
        return result;
    }
    case WM_ERASEBKGND:
        return 1; // erased in the buffer with the rest
    // Each tab stands for a page: a tab that another program adds or removes would leave tabs without pages
    // (and pages without tabs), so only the control's own AddPage changes them.
    case TCM_INSERTITEMA:
    case TCM_INSERTITEMW:
        if (!addingPage) return -1;
        break;
    case TCM_DELETEITEM:
    case TCM_DELETEALLITEMS:
        return FALSE;
    // The tabs' sizes are the program's too: a size of tens of thousands of pixels from a sender made every
    // later paint of the control take seconds.
    case TCM_SETITEMSIZE:
    case TCM_SETPADDING:
    case TCM_SETMINTABWIDTH:
        return 0;
    case WM_PAINT:
        if (wParam != 0) break; // painting into a given device context
        PaintBuffered();
        return 0;
    default:
        break;
    }
    return TNvWindow::HandleMessage(message, wParam, lParam);
}

bool TNvPageControl::HandleNotify(UINT message, WPARAM, LPARAM lParam, LRESULT& result) {
    if (message != WM_NOTIFY) return false;
    switch (reinterpret_cast<NMHDR*>(lParam)->code) {
    case TCN_SELCHANGING:
        PreviousPageIndex = ActivePageIndex();
        result = FALSE; // the switch is allowed
        return true;
    case TCN_SELCHANGE:
        ShowActivePage();
        if (OnChange) OnChange(*this);
        result = 0;
        return true;
    default:
        return false;
    }
}

TNvImageList::TNvImageList(int width, int height)
    : hList(ImageList_Create(width, height, ILC_COLOR24 | ILC_MASK, 0, 4)), Width(width), Height(height) {}

TNvImageList::~TNvImageList() {
    if (hList) ImageList_Destroy(hList);
}

int TNvImageList::LoadBitmaps(int firstId) {
    HINSTANCE instance = GetModuleHandleA(nullptr);
    int loaded = 0;
    for (int id = firstId; id <= 65534; ++id) {
        TBitmap bitmap(static_cast<HBITMAP>(
            LoadImageA(instance, MAKEINTRESOURCEA(id), IMAGE_BITMAP, Width, Height, LR_DEFAULTCOLOR)));
        if (!bitmap) break;
        // The top-left pixel's colour is the transparent one.
        ImageList_AddMasked(hList, bitmap.Get(), CLR_DEFAULT);
        ++loaded;
    }
    return loaded;
}
