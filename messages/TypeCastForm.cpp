// TTypeCastForm: the kind of a value, a copy of its memory, and the painting of each kind.
#include "messages/TypeCastForm.h"

#include "app/WinApiEx.h"
#include "messages/WindowMessage.h"

#include <algorithm>
#include <cstring>
#include <memory>
#include <vector>

namespace {

const int ViewerWidth = 320;
const int ViewerHeight = 220;
const int ViewInset = 6;

// The viewers free themselves when closed; until then this list owns them.
std::vector<std::unique_ptr<TTypeCastForm>>& Viewers() {
    static std::vector<std::unique_ptr<TTypeCastForm>> viewers;
    return viewers;
}

// Viewers whose windows went by some other way than closing.
void DropDestroyedViewers() {
    auto& viewers = Viewers();
    viewers.erase(std::remove_if(viewers.begin(), viewers.end(),
                                 [](const std::unique_ptr<TTypeCastForm>& v) { return !v->Handle(); }),
                  viewers.end());
}

bool IsFontHandle(uintptr_t value, LOGFONTA* font) {
    LOGFONTA description = {};
    HGDIOBJ object = reinterpret_cast<HGDIOBJ>(value);
    if (!value || GetObjectType(object) != OBJ_FONT) return false;
    if (GetObjectA(object, sizeof description, &description) == 0) return false;
    if (font) *font = description;
    return true;
}

bool IconInfoOf(uintptr_t value, ICONINFO* result) {
    ICONINFO info = {};
    if (!value || !GetIconInfo(reinterpret_cast<HICON>(value), &info)) return false;
    if (info.hbmMask) DeleteObject(info.hbmMask);
    if (info.hbmColor) DeleteObject(info.hbmColor);
    if (result) *result = info;
    return true;
}

} // namespace

TTypeCastForm& TTypeCastForm::Open(HWND owner, uintptr_t value) {
    return Open(owner, value, nullptr, 0);
}

TTypeCastForm& TTypeCastForm::Open(HWND owner, uintptr_t value, const void* bytes, size_t size) {
    DropDestroyedViewers();
    Viewers().push_back(std::make_unique<TTypeCastForm>(owner, value, bytes, size, bytes != nullptr));
    return *Viewers().back();
}

void TTypeCastForm::CloseAll() {
    // Moved out first: a viewer's destruction must not meet a list that is changing under it.
    std::vector<std::unique_ptr<TTypeCastForm>> closing;
    closing.swap(Viewers());
    closing.clear();
}

int TTypeCastForm::OpenCount() {
    DropDestroyedViewers();
    return static_cast<int>(Viewers().size());
}

TTypeCastForm::TTypeCastForm(HWND owner, uintptr_t value, const void* bytes, size_t size, bool known)
    : TNvForm("TTypeCastForm") {
    if (!Handle()) return;
    if (owner) SetWindowLongPtrA(Handle(), GWLP_HWNDPARENT, reinterpret_cast<LONG_PTR>(owner));
    SetWindowLongPtrA(Handle(), GWL_EXSTYLE, GetWindowLongPtrA(Handle(), GWL_EXSTYLE) | WS_EX_TOOLWINDOW);
    SetCaption("TypeCast");
    ViewFont.Reset(FontFromText("\"Courier New\" 10"));
    if (ViewFont) SendMessageA(Handle(), WM_SETFONT, reinterpret_cast<WPARAM>(ViewFont.Get()), FALSE);
    int ppi = ScreenPixelsPerInch();
    paintPpi = ppi;
    SetWindowPos(Handle(), nullptr, 0, 0, MulDiv(ViewerWidth, ppi, 96), MulDiv(ViewerHeight, ppi, 96),
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
    CenterOnScreen();
    if (known) {
        snapshot.assign(static_cast<const char*>(bytes), std::min(size, MaxSnapshot));
        Value = value;
        Kind = tkString;
    } else {
        SetValue(value);
    }
    ShowWindow(Handle(), SW_SHOWNOACTIVATE);
}

TTypeCastForm::~TTypeCastForm() = default;

void TTypeCastForm::SetValue(uintptr_t value) {
    Value = value;
    TTypeCastProbe probe;
    probe.ReadableBytes = ReadableBytesAt(value, MaxSnapshot);
    probe.StringReadable = probe.ReadableBytes >= 1;
    probe.IsFont = IsFontHandle(value, nullptr);
    probe.IsIcon = IconInfoOf(value, nullptr);
    Kind = ChooseTypeCastKind(probe);
    snapshot.clear();
    if (probe.ReadableBytes) snapshot.assign(reinterpret_cast<const char*>(value), probe.ReadableBytes);
    Invalidate();
}

std::string TTypeCastForm::Caption() const {
    std::string caption = TypeCastCaption(Kind, Value);
    if (Kind == tkFont) {
        LOGFONTA font = {};
        if (IsFontHandle(Value, &font)) {
            font.lfFaceName[LF_FACESIZE - 1] = '\0';
            caption += std::string(" = ") + font.lfFaceName;
        }
    } else if (Kind == tkIcon) {
        ICONINFO info = {};
        if (IconInfoOf(Value, &info)) caption += std::string(" = ") + IconTypeName(info.fIcon != FALSE);
    }
    return caption;
}

std::string TTypeCastForm::ViewText() const {
    switch (Kind) {
    case tkString:
        return StringViewText(snapshot);
    case tkByte:
    case tkWord:
    case tkDword:
        return NumberViewText(Kind, snapshot);
    case tkFont: {
        LOGFONTA font = {};
        if (!IsFontHandle(Value, &font)) return std::string();
        font.lfFaceName[LF_FACESIZE - 1] = '\0';
        return FontViewText(font.lfFaceName, font.lfHeight, font.lfWidth, font.lfWeight, paintPpi);
    }
    case tkIcon: {
        ICONINFO info = {};
        if (!IconInfoOf(Value, &info)) return std::string();
        return IconViewText(static_cast<int32_t>(info.xHotspot), static_cast<int32_t>(info.yHotspot),
                            info.fIcon != FALSE);
    }
    default:
        return "n/a";
    }
}

void TTypeCastForm::Paint(HDC dc) {
    RECT client = ClientRect();
    FillRect(dc, &client, GetSysColorBrush(COLOR_WINDOW));
    const int inset = Scaled(ViewInset);
    RECT area = {client.left + inset, client.top + inset, client.right - inset, client.bottom - inset};
    paintPpi = GetDeviceCaps(dc, LOGPIXELSY);
    std::string caption = Caption();
    if (caption != Text()) SetCaption(caption);
    if (Kind == tkIcon) {
        ICONINFO info = {};
        if (!IconInfoOf(Value, &info)) return;
        DrawIconEx(dc, area.left, area.top, reinterpret_cast<HICON>(Value), 0, 0, 0, nullptr, DI_NORMAL);
        area.top += 2 * static_cast<LONG>(info.yHotspot) + 8;
    }
    std::string text = ViewText();
    TSelectGuard select(dc,
                        ViewFont ? static_cast<HGDIOBJ>(ViewFont.Get()) : GetStockObject(ANSI_FIXED_FONT));
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, GetSysColor(COLOR_WINDOWTEXT));
    DrawProgramText(dc, text, &area, DT_WORDBREAK | DT_EXPANDTABS | DT_NOPREFIX);
}

LRESULT TTypeCastForm::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_ERASEBKGND:
        return 1;
    case WM_PAINT: {
        TPaintDc paint(Handle());
        HDC screen = paint.Get();
        RECT client = ClientRect();
        // Drawn off-screen and copied at once, so that resizing does not flicker.
        TMemoryDc buffer(screen);
        TBitmap bitmap(CreateCompatibleBitmap(screen, std::max<LONG>(client.right, 1),
                                              std::max<LONG>(client.bottom, 1)));
        if (buffer && bitmap) {
            TSelectGuard select(buffer.Get(), bitmap.Get());
            Paint(buffer.Get());
            BitBlt(screen, 0, 0, client.right, client.bottom, buffer.Get(), 0, 0, SRCCOPY);
        } else {
            Paint(screen);
        }
        return 0;
    }
    case WM_SIZE:
        Invalidate();
        break;
    case WM_CLOSE: {
        // Closing frees the viewer: the list lets go of it, and its destructor destroys the window.
        auto& viewers = Viewers();
        auto self = std::find_if(viewers.begin(), viewers.end(),
                                 [this](const std::unique_ptr<TTypeCastForm>& v) { return v.get() == this; });
        if (self == viewers.end()) break;
        std::unique_ptr<TTypeCastForm> doomed = std::move(*self);
        viewers.erase(self);
        doomed.reset(); // nothing of this object may be touched after this line
        return 0;
    }
    default:
        break;
    }
    return TNvForm::HandleMessage(message, wParam, lParam);
}
