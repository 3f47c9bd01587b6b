// TPlacementTab: the placement map, its canvas, its panel and what dragging and the arrow keys do.
#include "tabs/TabPlacement.h"

#include "app/WinApiEx.h"
#include "ui/Monitors.h"

#include <windowsx.h>

namespace {

const UINT ReportMessage = WM_APP + 1;
const char* const LabelFont = "\"Verdana\" 7";
const int PointerSize = 8;

static_assert(NudgeShiftBit == ssShift, "the nudge rules read the kit's modifier bits");

bool IsLiveChild(const TWindowDetails& record) {
    return (record.Style & WS_CHILD) && IsWindow(record.Parent);
}

} // namespace

const char* const TPlacementTab::ErrorCaption = "Paneprobe";

TPlacementWindowDetails::TPlacementWindowDetails(HWND handle, COLORREF windowColor, COLORREF clientColor)
    : TWindowDetails(handle), WindowBrush(CreateSolidBrush(windowColor)),
      ClientBrush(CreateSolidBrush(clientColor)) {}

TPlacementCanvas::TPlacementCanvas(COLORREF background)
    : labelFont(FontFromText(LabelFont)), backgroundBrush(CreateSolidBrush(background)) {
    if (labelFont) SelectObject(Dc(), labelFont.Get());
    SetBkMode(Dc(), TRANSPARENT);
    SetTextColor(Dc(), RGB(255, 255, 255));
}

// The font and brush are deleted by their owners after this, once nothing of ours is selected.
TPlacementCanvas::~TPlacementCanvas() {
    ResetObjects();
}

void TPlacementCanvas::FillBackground(const RECT& rect) {
    FillRect(Dc(), &rect, backgroundBrush.Get());
}

std::string TPlacementCanvas::DrawWindow(const TPlacementWindowDetails& record, const TMapScale& scale) {
    RECT outer = {};
    if (!GetWindowRect(record.Handle, &outer)) return std::string();
    RECT scaled = ToRect(ScreenToMap(ToIntRect(outer), scale));
    FillRect(Dc(), &scaled, record.WindowBrush.Get());

    RECT client = {};
    GetClientRect(record.Handle, &client);
    MapWindowPoints(record.Handle, nullptr, reinterpret_cast<POINT*>(&client), 2);
    RECT scaledClient = ToRect(ScreenToMap(ToIntRect(client), scale));
    FillRect(Dc(), &scaledClient, record.ClientBrush.Get());

    // A child's position is the one its parent places it at.
    if (IsLiveChild(record)) MapWindowPoints(nullptr, record.Parent, reinterpret_cast<POINT*>(&outer), 2);
    std::string label = PlacementLabel(ToIntRect(outer));
    DrawTextA(Dc(), label.c_str(), -1, &scaledClient, DT_NOPREFIX | DT_SINGLELINE | DT_VCENTER | DT_CENTER);
    return label;
}

void TPlacementCanvas::DrawPointer(const TMapScale& scale, int size) {
    POINT cursor = {};
    GetCursorPos(&cursor);
    const TIntRect at = ScreenToMap({cursor.x, cursor.y, cursor.x, cursor.y}, scale);
    const int x = at.Left, y = at.Top;
    SelectObject(Dc(), GetStockObject(WHITE_BRUSH));
    const int half = size / 2;
    POINT triangle[3] = {{x, y}, {x + half, y + size}, {x + size, y + half}};
    Polygon(Dc(), triangle, 3);
}

// One monitor is the whole map and needs no outline.
void TPlacementCanvas::DrawMonitors(const std::vector<TMonitorArea>& monitors, const TMapScale& scale) {
    if (monitors.size() < 2) return;
    for (const TMonitorArea& monitor : monitors) {
        const RECT outline = ToRect(ScreenToMap(monitor.Bounds, scale));
        FrameRect(Dc(), &outline, static_cast<HBRUSH>(GetStockObject(LTGRAY_BRUSH)));
    }
}

TPlacementMapPanel::TPlacementMapPanel(TNvWindow& owner) : TNvPanel(owner, "TPlacementMapPanel") {
    HWND h = Handle();
    SetWindowLongPtrA(h, GWL_STYLE, GetWindowLongPtrA(h, GWL_STYLE) | WS_BORDER | WS_TABSTOP);
    SetWindowPos(h, nullptr, 0, 0, 0, 0,
                 SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
}

void TPlacementMapPanel::PostReport() {
    if (Handle()) PostMessageA(Handle(), ReportMessage, 0, 0);
}

LRESULT TPlacementMapPanel::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_PAINT: {
        TPaintDc paint(Handle());
        if (OnPaintMap) OnPaintMap(paint.Get(), ClientRect());
        return 0;
    }
    case WM_ERASEBKGND:
        return 1;
    case WM_GETDLGCODE:
        return DLGC_WANTARROWS;
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
        SetFocus(Handle());
        SetCapture(Handle());
        if (OnMouseMoveMap)
            OnMouseMoveMap(static_cast<unsigned>(wParam), GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam));
        return 0;
    case WM_LBUTTONUP:
    case WM_RBUTTONUP:
        if (!(wParam & (MK_LBUTTON | MK_RBUTTON)) && GetCapture() == Handle()) ReleaseCapture();
        return 0;
    case WM_MOUSEMOVE:
        if (OnMouseMoveMap)
            OnMouseMoveMap(static_cast<unsigned>(wParam), GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam));
        return 0;
    case WM_KEYDOWN:
        if (OnKeyDownMap) OnKeyDownMap(static_cast<WORD>(wParam), TNvForm::ShiftStateNow());
        return 0;
    case ReportMessage:
        if (OnReport) OnReport();
        return 0;
    default:
        return TNvPanel::HandleMessage(message, wParam, lParam);
    }
}

TPlacementTab::TPlacementTab(TNvTabSheet* sheet) : TPaneprobeTab(sheet) {
    SetCaption("Placement");
    Canvas = std::make_unique<TPlacementCanvas>(MapBackgroundColor);
    WindowRecord =
        std::make_unique<TPlacementWindowDetails>(nullptr, MapWindowColor, MapClientColor(MapWindowColor));
    ParentRecord =
        std::make_unique<TPlacementWindowDetails>(nullptr, MapParentColor, MapClientColor(MapParentColor));
    MapPanel = &Sheet->MakeChild<TPlacementMapPanel>();
    MapPanel->OnPaintMap = [this](HDC dc, const RECT& client) { PaintMap(dc, client); };
    MapPanel->OnMouseMoveMap = [this](unsigned buttons, int x, int y) { DragTo(buttons, x, y); };
    MapPanel->OnKeyDownMap = [this](WORD key, unsigned shift) { Nudge(key, shift); };
    MapPanel->OnReport = [this] { ReportCanvasError(); };
    Sheet->OnResize = [this](TNvPanel&) {
        Layout();
        Redraw();
    };
    Layout();
    Redraw();
}

TPlacementTab::~TPlacementTab() {
    Sheet->OnResize = nullptr;
    if (MapPanel) {
        MapPanel->OnPaintMap = nullptr;
        MapPanel->OnMouseMoveMap = nullptr;
        MapPanel->OnKeyDownMap = nullptr;
        MapPanel->OnReport = nullptr;
    }
}

void TPlacementTab::Activate() {
    TPaneprobeTab::Activate();
    canvasFailing = false; // another try at making the canvas
}

void TPlacementTab::Layout() {
    // The whole virtual screen: every monitor, also those left of or above the primary one.
    Monitors = DisplayMonitors();
    const TIntRect screen = VirtualScreenOf(Monitors);
    const int screenWidth = screen.Right - screen.Left, screenHeight = screen.Bottom - screen.Top;
    RECT sheet = Sheet ? Sheet->ClientRect() : RECT{};
    TMapSize map;
    if (!MapLayout(screenWidth, screenHeight, sheet.right, sheet.bottom, map)) return;
    MapPanel->SetBounds(0, 0, map.Width, map.Height);
    Scale = {map.Width, screenWidth, screen.Left, screen.Top};
    canvasFailing = false;
    try {
        Canvas->SetSize(map.Width, map.Height);
    } catch (const ECanvasError& error) {
        CanvasFailed(error.what());
    }
}

void TPlacementTab::Redraw() {
    Labels.clear();
    HWND panel = MapPanel->Handle();
    if (!canvasFailing) {
        try {
            DrawMap();
            // The frame goes to the screen at once: a paint message per frame costs Wine several times the
            // copy itself, 60 times a second. Exposed parts still repaint from the canvas.
            TWindowDc dc(panel);
            if (dc && Canvas->Blit(dc.Get(), 0, 0) == 0) {
                ValidateRect(panel, nullptr);
                return;
            }
        } catch (const ECanvasError& error) {
            CanvasFailed(error.what());
        }
    }
    if (panel) InvalidateRect(panel, nullptr, FALSE);
}

void TPlacementTab::DrawMap() {
    Canvas->Prepare();
    Canvas->FillBackground(MapPanel->ClientRect());
    Canvas->DrawMonitors(Monitors, Scale);
    if (TWindowDetails* current = LiveTracked()) {
        WindowRecord->SetHandle(current->Handle);
        WindowRecord->Refresh();
        ParentRecord->SetHandle(WindowRecord->Parent);
        if (WindowRecord->Parent) {
            ParentRecord->Refresh();
            Labels.push_back(Canvas->DrawWindow(*ParentRecord, Scale));
        }
        Labels.push_back(Canvas->DrawWindow(*WindowRecord, Scale));
        Canvas->DrawPointer(Scale, Sheet->Scaled(PointerSize));
    }
    errorReported = false;
}

// Without a canvas the panel shows the bare background.
void TPlacementTab::PaintMap(HDC dc, const RECT& client) {
    if (!canvasFailing) {
        try {
            Canvas->Blit(dc, 0, 0);
            return;
        } catch (const ECanvasError& error) {
            CanvasFailed(error.what());
        }
    }
    TBrush background(CreateSolidBrush(MapBackgroundColor));
    FillRect(dc, &client, background.Get());
}

// Redraws come every 16 ms: the user hears of a failure once, from the message loop, not from every frame.
void TPlacementTab::CanvasFailed(const char* message) {
    canvasFailing = true;
    if (errorReported) return;
    errorReported = true;
    pendingError = message;
    MapPanel->PostReport();
}

void TPlacementTab::ReportCanvasError() {
    if (pendingError.empty()) return;
    std::string text = std::move(pendingError);
    pendingError.clear();
    ShowMessageBox(text, ErrorCaption, MB_OK | MB_ICONERROR, GetAncestor(MapPanel->Handle(), GA_ROOT));
}

TWindowDetails* TPlacementTab::LiveTracked() const {
    TWindowDetails* current = TrackedList ? TrackedList->Current() : nullptr;
    return current && IsWindow(current->Handle) ? current : nullptr;
}

// Requests to other programs' windows are posted (SWP_ASYNCWINDOWPOS), so a hung window cannot stop the map.
void TPlacementTab::DragTo(unsigned buttons, int x, int y) {
    TDragKind kind = DragKindOf((buttons & MK_LBUTTON) != 0, (buttons & MK_RBUTTON) != 0);
    if (kind == TDragKind::None) return;
    TWindowDetails* current = LiveTracked();
    if (!current) return;
    // Dragging our own window would move the map under the pointer that drags it.
    DWORD ownThread =
        MainWindowHandle ? GetWindowThreadProcessId(MainWindowHandle, nullptr) : GetCurrentThreadId();
    if (current->ThreadId == ownThread) return;
    POINT point = {};
    int32_t screenX = 0, screenY = 0;
    if (!MapToScreen(x, y, Scale, screenX, screenY)) return;
    point = {screenX, screenY};
    HWND h = current->Handle;
    const bool child = IsLiveChild(*current);
    if (child) MapWindowPoints(nullptr, current->Parent, &point, 1);
    RECT window = {};
    if (kind == TDragKind::Size) {
        if (!GetWindowRect(h, &window)) return;
        if (child) MapWindowPoints(nullptr, current->Parent, reinterpret_cast<POINT*>(&window), 2);
    }
    TPlacement p = DragPlacement(kind, ToIntRect(window), point.x, point.y);
    UINT flags = SWP_NOZORDER | SWP_NOACTIVATE | SWP_ASYNCWINDOWPOS |
                 (kind == TDragKind::Move ? SWP_NOSIZE : SWP_NOMOVE);
    SetWindowPos(h, nullptr, p.Left, p.Top, p.Width, p.Height, flags);
}

void TPlacementTab::Nudge(WORD key, unsigned shift) {
    if (key < VK_LEFT || key > VK_DOWN) return;
    TWindowDetails* current = LiveTracked();
    if (!current) return;
    HWND h = current->Handle;
    RECT window = {};
    if (!GetWindowRect(h, &window)) return;
    if (IsLiveChild(*current))
        MapWindowPoints(nullptr, current->Parent, reinterpret_cast<POINT*>(&window), 2);
    TPlacement p;
    if (!NudgePlacement(key, shift, ToIntRect(window), p)) return;
    SetWindowPos(h, nullptr, p.Left, p.Top, p.Width, p.Height,
                 SWP_NOZORDER | SWP_NOACTIVATE | SWP_ASYNCWINDOWPOS);
}
