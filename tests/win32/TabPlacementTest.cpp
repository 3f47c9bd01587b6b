// The Placement tab in a real main window: the map's layout and pixels, dragging and nudging windows of the
// target program, the program's own window, and a canvas that cannot be made.
#include "DialogAnswerer.h"
#include "FormFixture.h"
#include "tabs/TabPlacement.h"

#include <functional>

namespace {

// Handles messages until the condition holds or the time is up; the answer is the condition's last value.
bool WaitFor(const std::function<bool()>& condition, DWORD timeoutMs = 3000) {
    DWORD start = GetTickCount();
    while (!condition()) {
        if (GetTickCount() - start > timeoutMs) return false;
        PumpMessages(10);
    }
    return true;
}

RECT WindowRectOf(HWND window) {
    RECT rect = {};
    GetWindowRect(window, &rect);
    return rect;
}

// A window's rectangle in its parent's client coordinates.
RECT RectInParent(HWND window) {
    RECT rect = WindowRectOf(window);
    MapWindowPoints(nullptr, GetParent(window), reinterpret_cast<POINT*>(&rect), 2);
    return rect;
}

bool RectIs(HWND window, LONG left, LONG top, LONG width, LONG height, bool inParent = false) {
    RECT r = inParent ? RectInParent(window) : WindowRectOf(window);
    return r.left == left && r.top == top && r.right - r.left == width && r.bottom - r.top == height;
}

std::string Describe(HWND window) {
    RECT r = WindowRectOf(window);
    return FormatText("%d x %d / %d x %d", static_cast<int>(r.left), static_cast<int>(r.top),
                      static_cast<int>(r.right - r.left), static_cast<int>(r.bottom - r.top));
}

HBITMAP WINAPI FailingDibSection(HDC, const BITMAPINFO*, UINT, void**, HANDLE, DWORD) {
    SetLastError(ERROR_NOT_ENOUGH_MEMORY);
    return nullptr;
}

class PlacementTab : public FormTest {
  protected:
    TTargetProcess target{"placement"};
    TPlacementTab* tab = nullptr;
    int screenWidth = GetSystemMetrics(SM_CXSCREEN);

    void SetUp() override {
        FormTest::SetUp();
        ASSERT_NE(target.MainWindow(), nullptr);
        tab = &Tab<TPlacementTab>();
        // A resting pointer in the screen's bottom-right corner, away from every window the tests draw.
        SetCursorPos(screenWidth - 20, GetSystemMetrics(SM_CYSCREEN) - 20);
        SetWindowPos(target.MainWindow(), HWND_TOP, 100, 120, 500, 400, SWP_NOACTIVATE);
    }
    void TearDown() override {
        CanvasCreateDibSection = CreateDIBSection;
        FormTest::TearDown();
    }

    int MapX(int screenX) const { return ScaleCoordinate(screenX, tab->Scale.Num, tab->Scale.Den); }
    COLORREF MapPixel(int screenX, int screenY) const {
        return GetPixel(tab->Canvas->Dc(), MapX(screenX), MapX(screenY));
    }
    // The map point over a screen point, and the screen point that a map point stands for: the map has fewer
    // pixels than the screen, so a round trip may land a few pixels short.
    POINT MapPointFor(int screenX, int screenY) const {
        return {screenX * tab->Scale.Num / tab->Scale.Den, screenY * tab->Scale.Num / tab->Scale.Den};
    }
    POINT ScreenOf(POINT mapPoint) const {
        return {mapPoint.x * tab->Scale.Den / tab->Scale.Num, mapPoint.y * tab->Scale.Den / tab->Scale.Num};
    }
    LPARAM At(POINT p) const { return MAKELPARAM(p.x, p.y); }
    void Drag(UINT down, UINT up, WPARAM buttons, POINT from, POINT to) {
        HWND panel = tab->MapPanel->Handle();
        SendMessageA(panel, down, buttons, At(from));
        SendMessageA(panel, WM_MOUSEMOVE, buttons, At(to));
        SendMessageA(panel, up, 0, At(to));
    }
};

TEST_F(PlacementTab, IsTheSecondTabAndAsksForSixtyFramesASecond) {
    EXPECT_EQ(form->TabManager->TabAt(1), tab);
    EXPECT_EQ(tab->Caption, "Placement");
    form->PageIndex->SetValue(1);
    EXPECT_EQ(form->TabInterval->Value, 16);
    form->PageIndex->SetValue(0);
    EXPECT_EQ(form->TabInterval->Value, 2500);
}

TEST_F(PlacementTab, TheMapKeepsTheScreensAspectInTheSheetsCorner) {
    const int screenHeight = GetSystemMetrics(SM_CYSCREEN);
    const struct {
        int FormWidth, FormHeight;
        bool AsHighAsTheSheet;
    } cases[] = {{1000, 400, true}, {420, 700, false}, {720, 533, true}};
    for (const auto& c : cases) {
        SetWindowPos(form->Handle(), nullptr, 0, 0, c.FormWidth, c.FormHeight, SWP_NOZORDER | SWP_NOMOVE);
        PumpMessages();
        RECT sheet = tab->Sheet->ClientRect();
        RECT panel = WindowRectOf(tab->MapPanel->Handle());
        MapWindowPoints(nullptr, tab->Sheet->Handle(), reinterpret_cast<POINT*>(&panel), 2);
        const int width = panel.right - panel.left, height = panel.bottom - panel.top;
        EXPECT_EQ(panel.left, 0);
        EXPECT_EQ(panel.top, 0);
        if (c.AsHighAsTheSheet) {
            EXPECT_EQ(height, sheet.bottom) << c.FormWidth;
            EXPECT_LE(width, sheet.right);
        } else {
            EXPECT_EQ(width, sheet.right) << c.FormWidth;
            EXPECT_LE(height, sheet.bottom);
        }
        // Within a pixel of the screen's shape.
        EXPECT_NEAR(static_cast<double>(width) / height, static_cast<double>(screenWidth) / screenHeight,
                    2.0 / height);
        EXPECT_EQ(tab->Scale.Num, width);
        EXPECT_EQ(tab->Scale.Den, screenWidth);
        EXPECT_EQ(tab->Canvas->Width(), width);
        EXPECT_EQ(tab->Canvas->Height(), height);
    }
    HBITMAP surface = tab->Canvas->Bitmap();
    SetWindowPos(form->Handle(), nullptr, 0, 0, 720, 533, SWP_NOZORDER | SWP_NOMOVE);
    for (int i = 0; i < 5; ++i)
        tab->Redraw();
    EXPECT_EQ(tab->Canvas->Bitmap(), surface) << "redraws and an unchanged size keep the surface";
}

TEST_F(PlacementTab, DrawsATopLevelWindowAloneWithItsLabelAndThePointer) {
    TrackWindow(target.MainWindow(), false, true);
    const POINT pointer = {900, 100};
    SetCursorPos(pointer.x, pointer.y);
    tab->Redraw();
    ASSERT_EQ(tab->Labels.size(), 1u) << "no parent, no owner: drawn alone";
    EXPECT_EQ(tab->Labels[0], "100 x 120 / 500 x 400");

    RECT client = {};
    GetClientRect(target.MainWindow(), &client);
    MapWindowPoints(target.MainWindow(), nullptr, reinterpret_cast<POINT*>(&client), 2);
    EXPECT_EQ(MapPixel(1000, 900), MapBackgroundColor) << "background";
    EXPECT_EQ(MapPixel(20, 20), MapBackgroundColor) << "background";
    // The title and menu bars lie between the outer rectangle and the client area.
    EXPECT_EQ(GetPixel(tab->Canvas->Dc(), MapX(350), (MapX(120) + MapX(client.top)) / 2), MapWindowColor);
    EXPECT_EQ(GetPixel(tab->Canvas->Dc(), MapX(client.left) + 2, MapX(client.bottom) - 2),
              MapClientColor(MapWindowColor));
    const int x = MapX(pointer.x), y = MapX(pointer.y);
    EXPECT_EQ(GetPixel(tab->Canvas->Dc(), x + 4, y + 4), RGB(255, 255, 255)) << "the pointer's marker";
    EXPECT_EQ(GetPixel(tab->Canvas->Dc(), x, y), RGB(0, 0, 0)) << "its outline";
    EXPECT_EQ(GetPixel(tab->Canvas->Dc(), x - 2, y + 6), MapBackgroundColor);

    // The panel shows the canvas once it has painted.
    UpdateWindow(tab->MapPanel->Handle());
    RECT empty = {};
    EXPECT_FALSE(GetUpdateRect(tab->MapPanel->Handle(), &empty, FALSE));
}

TEST_F(PlacementTab, DrawsAChildOverItsParentWithAPositionInsideIt) {
    HWND button = target.Child(TTargetProcess::ButtonId);
    SetWindowPos(button, nullptr, 30, 40, 300, 200, SWP_NOZORDER | SWP_NOACTIVATE);
    TrackWindow(button, false, true);
    tab->Redraw();
    ASSERT_EQ(tab->Labels.size(), 2u);
    EXPECT_EQ(tab->Labels[0], "100 x 120 / 500 x 400") << "the parent";
    EXPECT_EQ(tab->Labels[1], "30 x 40 / 300 x 200") << "relative to the parent's client area";

    RECT parentClient = {}, child = WindowRectOf(button);
    GetClientRect(target.MainWindow(), &parentClient);
    MapWindowPoints(target.MainWindow(), nullptr, reinterpret_cast<POINT*>(&parentClient), 2);
    EXPECT_EQ(GetPixel(tab->Canvas->Dc(), MapX(parentClient.right) - 2, MapX(parentClient.bottom) - 2),
              MapClientColor(MapParentColor));
    EXPECT_EQ(GetPixel(tab->Canvas->Dc(), MapX(300), (MapX(120) + MapX(parentClient.top)) / 2),
              MapParentColor);
    // A button's client area is all of it.
    EXPECT_EQ(GetPixel(tab->Canvas->Dc(), MapX(child.left) + 2, MapX(child.bottom) - 2),
              MapClientColor(MapWindowColor));
}

TEST_F(PlacementTab, WithoutALiveTrackedWindowTheMapIsBackgroundOnly) {
    HWND doomed = CreateWindowExA(0, "STATIC", "doomed", WS_POPUP | WS_VISIBLE, 0, 0, 1280, 1024, nullptr,
                                  nullptr, nullptr, nullptr);
    TrackWindow(doomed, false, true);
    DestroyWindow(doomed);
    tab->Redraw();
    EXPECT_TRUE(tab->Labels.empty());
    EXPECT_EQ(MapPixel(640, 512), MapBackgroundColor);
    // Nor do the mouse and the keys act on anything.
    Drag(WM_LBUTTONDOWN, WM_LBUTTONUP, MK_LBUTTON, {5, 5}, {50, 50});
    PressKey(tab->MapPanel->Handle(), VK_RIGHT, ssNone);
    EXPECT_TRUE(RectIs(target.MainWindow(), 100, 120, 500, 400));
}

TEST_F(PlacementTab, DraggingMovesWithTheLeftButtonAndSizesWithTheRight) {
    TrackWindow(target.MainWindow(), false, true);
    HWND window = target.MainWindow();
    POINT to = MapPointFor(320, 160);
    POINT corner = ScreenOf(to);
    Drag(WM_LBUTTONDOWN, WM_LBUTTONUP, MK_LBUTTON, MapPointFor(100, 120), to);
    EXPECT_TRUE(WaitFor([&] { return RectIs(window, corner.x, corner.y, 500, 400); })) << Describe(window);
    EXPECT_EQ(GetFocus(), tab->MapPanel->Handle()) << "a press gives the map the keyboard focus";
    EXPECT_NE(GetCapture(), tab->MapPanel->Handle()) << "released with the button";

    POINT reach = ScreenOf(MapPointFor(960, 640));
    Drag(WM_RBUTTONDOWN, WM_RBUTTONUP, MK_RBUTTON, MapPointFor(700, 500), MapPointFor(960, 640));
    const LONG width = reach.x - corner.x, height = reach.y - corner.y;
    EXPECT_TRUE(WaitFor([&] { return RectIs(window, corner.x, corner.y, width, height); }))
        << Describe(window);

    // Both buttons: the left one wins.
    POINT moved = ScreenOf(MapPointFor(160, 80));
    Drag(WM_LBUTTONDOWN, WM_LBUTTONUP, MK_LBUTTON | MK_RBUTTON, MapPointFor(320, 160), MapPointFor(160, 80));
    EXPECT_TRUE(WaitFor([&] { return RectIs(window, moved.x, moved.y, width, height); })) << Describe(window);

    // A move without a button held does nothing.
    SendMessageA(tab->MapPanel->Handle(), WM_MOUSEMOVE, 0, At(MapPointFor(0, 0)));
    PumpMessages(100);
    EXPECT_TRUE(RectIs(window, moved.x, moved.y, width, height)) << Describe(window);
}

TEST_F(PlacementTab, DraggingAChildPlacesItInItsParentsClientArea) {
    HWND button = target.Child(TTargetProcess::ButtonId);
    TrackWindow(button, false, true);
    RECT parentClient = {};
    GetClientRect(target.MainWindow(), &parentClient);
    MapWindowPoints(target.MainWindow(), nullptr, reinterpret_cast<POINT*>(&parentClient), 2);
    POINT to = MapPointFor(parentClient.left + 160, parentClient.top + 80);
    POINT screen = ScreenOf(to);
    Drag(WM_LBUTTONDOWN, WM_LBUTTONUP, MK_LBUTTON, to, to);
    EXPECT_TRUE(WaitFor([&] {
        RECT r = RectInParent(button);
        return r.left == screen.x - parentClient.left && r.top == screen.y - parentClient.top;
    })) << Describe(button);
    RECT placed = RectInParent(button);
    EXPECT_EQ(placed.right - placed.left, 120) << "a move keeps the size";
}

TEST_F(PlacementTab, ArrowKeysMoveShiftArrowsSizeAndOtherModifiersMove) {
    TrackWindow(target.MainWindow(), false, true);
    HWND window = target.MainWindow(), panel = tab->MapPanel->Handle();
    const struct {
        WORD Key;
        unsigned Shift;
        LONG Left, Top, Width, Height;
    } steps[] = {
        {VK_RIGHT, ssNone, 101, 120, 500, 400},  {VK_DOWN, ssNone, 101, 121, 500, 400},
        {VK_RIGHT, ssShift, 101, 121, 501, 400}, {VK_UP, ssShift, 101, 121, 501, 399},
        {VK_RIGHT, ssCtrl, 102, 121, 501, 399},  {VK_LEFT, ssShift | ssCtrl, 101, 121, 501, 399},
        {VK_HOME, ssNone, 101, 121, 501, 399},
    };
    for (const auto& s : steps) {
        PressKey(panel, s.Key, s.Shift);
        EXPECT_TRUE(WaitFor([&] { return RectIs(window, s.Left, s.Top, s.Width, s.Height); }))
            << s.Key << " " << s.Shift << ": " << Describe(window);
    }
}

TEST_F(PlacementTab, ItsOwnWindowIsNeverDraggedButTheArrowsMoveIt) {
    HWND own = form->Handle();
    SetWindowPos(own, nullptr, 200, 150, 720, 533, SWP_NOZORDER | SWP_NOACTIVATE);
    TrackWindow(own, false, true);
    Drag(WM_LBUTTONDOWN, WM_LBUTTONUP, MK_LBUTTON, MapPointFor(200, 150), MapPointFor(10, 10));
    Drag(WM_RBUTTONDOWN, WM_RBUTTONUP, MK_RBUTTON, MapPointFor(900, 700), MapPointFor(1000, 900));
    PumpMessages(100);
    EXPECT_TRUE(RectIs(own, 200, 150, 720, 533)) << Describe(own);
    PressKey(tab->MapPanel->Handle(), VK_RIGHT, ssNone);
    EXPECT_TRUE(WaitFor([&] { return RectIs(own, 201, 150, 720, 533); })) << Describe(own);
    PressKey(tab->MapPanel->Handle(), VK_DOWN, ssShift);
    EXPECT_TRUE(WaitFor([&] { return RectIs(own, 201, 150, 720, 534); })) << Describe(own);
}

TEST_F(PlacementTab, ACanvasThatCannotBeMadeIsReportedOnceAndTriedAgain) {
    TrackWindow(target.MainWindow(), false, true);
    form->PageIndex->SetValue(1);
    TDialogAnswerer answerer(
        {{TPlacementTab::ErrorCaption, TAnswer::Ok, ""}, {TPlacementTab::ErrorCaption, TAnswer::Ok, ""}},
        2000);
    CanvasCreateDibSection = FailingDibSection;
    SetWindowPos(form->Handle(), nullptr, 0, 0, 700, 520, SWP_NOZORDER | SWP_NOMOVE);
    PumpMessages(200);
    EXPECT_TRUE(tab->CanvasFailing());
    // Frames and further size changes while it still fails: no more messages, and the panel still repaints.
    for (int i = 0; i < 20; ++i) {
        form->RefreshActiveTab();
        RECT update = {};
        EXPECT_TRUE(GetUpdateRect(tab->MapPanel->Handle(), &update, FALSE)) << "the panel is invalidated";
        PumpMessages(20);
    }
    SetWindowPos(form->Handle(), nullptr, 0, 0, 710, 525, SWP_NOZORDER | SWP_NOMOVE);
    PumpMessages(100);
    form->PageIndex->SetValue(0);
    form->PageIndex->SetValue(1);
    PumpMessages(100);
    const std::vector<TSeenDialog>& seen = answerer.Seen();
    ASSERT_EQ(seen.size(), 1u) << "one message, not one per frame";
    EXPECT_EQ(seen[0].Prompt, "CreateDIBSection() FAILED to create a bitmap / LastError = 8");
    EXPECT_TRUE(tab->Labels.empty()) << "no map while there is no canvas";

    CanvasCreateDibSection = CreateDIBSection;
    SetWindowPos(form->Handle(), nullptr, 0, 0, 720, 533, SWP_NOZORDER | SWP_NOMOVE);
    PumpMessages(50);
    EXPECT_FALSE(tab->CanvasFailing()) << "a size change tries again";
    tab->Redraw();
    EXPECT_EQ(tab->Labels.size(), 1u);
    EXPECT_EQ(MapPixel(1000, 900), MapBackgroundColor);
}

} // namespace
