// The layout at the display scale the run was started with (./test repeats these at 120, 144 and 192 DPI):
// every tab, the dialogs and the viewer keep their controls inside their parents and apart.
#include "DialogAnswerer.h"
#include "FormFixture.h"
#include "LayoutCheck.h"
#include "messages/TypeCastForm.h"
#include "ui/Dpi.h"
#include "ui/NvClasses.h"
#include "ui/QrAboutBox.h"
#include "ui/QrDialogs.h"

#include <algorithm>
#include <cstdlib>
#include <functional>

namespace {

// Opens a modal dialog with `open` and returns the layout faults of the dialog the answerer found. The
// answerer gives up after its own time, so a dialog that never opens fails instead of hanging.
std::vector<std::string> DialogFaults(const std::string& caption, const std::function<void()>& open) {
    std::vector<std::string> faults;
    bool checked = false;
    TDialogAnswerer answerer({{caption, TAnswer::Escape, "",
                               [&] {
                                   faults = LayoutFaults(FindOwnDialog(caption));
                                   checked = true;
                               }}},
                             10000);
    open();
    answerer.Seen();
    if (!checked) faults.push_back("the dialog \"" + caption + "\" did not open");
    return faults;
}

} // namespace

class DisplayScale : public FormTest {
  protected:
    void SetUp() override {
        FormTest::SetUp();
        RecordProperty("dpi", form->Dpi());
    }
};

// tools/dpitest.sh names the scale it set up; without it the run is at 96 DPI.
TEST_F(DisplayScale, TheRunIsAtTheScaleItWasStartedAt) {
    const char* requested = std::getenv("PANEPROBE_DPI");
    EXPECT_EQ(form->Dpi(), requested ? std::atoi(requested) : BaseDpi);
}

TEST_F(DisplayScale, TheDefaultSizeFollowsTheScaleWithinTheWorkArea) {
    RECT rect = {}, area = {};
    GetWindowRect(form->Handle(), &rect);
    ASSERT_TRUE(SystemParametersInfoA(SPI_GETWORKAREA, 0, &area, 0));
    EXPECT_EQ(rect.right - rect.left,
              std::min<int>(ScaleToDpi(MainDefaultWidth, form->Dpi()), area.right - area.left));
    EXPECT_EQ(rect.bottom - rect.top,
              std::min<int>(ScaleToDpi(MainDefaultHeight, form->Dpi()), area.bottom - area.top));
}

TEST_F(DisplayScale, EveryTabKeepsItsControlsInsideAndApart) {
    for (int page = 0; page < form->PageControl->PageCount(); ++page) {
        form->PageIndex->SetValue(page);
        PumpMessages(30);
        EXPECT_EQ(JoinFaults(LayoutFaults(form->Handle())), "") << "page " << page << " at " << form->Dpi();
    }
}

TEST_F(DisplayScale, TheTabStripShowsEveryTabWithoutArrows) {
    TNvPageControl& pages = *form->PageControl;
    ASSERT_EQ(pages.PageCount(), 9);
    EXPECT_EQ(pages.Scroller(), nullptr);
    RECT last = {}, strip = pages.ClientRect();
    ASSERT_TRUE(TabCtrl_GetItemRect(pages.Handle(), pages.PageCount() - 1, &last));
    EXPECT_LE(last.right, strip.right);
    EXPECT_EQ(TabCtrl_GetRowCount(pages.Handle()), 1);
}

// The panels that draw their own text (the tracked index, the handle and the rectangle) hold it whole.
TEST_F(DisplayScale, StatusPanelsHoldTheirTexts) {
    TNvStatusBar& bar = *form->StatusBar;
    // The form tracks itself at its default place and size, whose texts were cut before the panels scaled.
    form->UpdateStatusBar();
    // The panel's edge and the text's margin take 4 pixels on each side.
    const int frame = 8;
    for (int panel = 2; panel < bar.PanelCount(); ++panel) {
        const std::string& text = bar.PanelText(panel);
        EXPECT_FALSE(text.empty()) << panel;
        EXPECT_LE(TextWidthIn(bar.Handle(), text) + frame, bar.PanelWidth(panel))
            << "panel " << panel << " \"" << text << "\" at " << form->Dpi();
    }
}

TEST_F(DisplayScale, TheDialogsAndTheViewerKeepTheirControlsInsideAndApart) {
    EXPECT_EQ(JoinFaults(DialogFaults("Title",
                                      [] {
                                          std::string value = "12345";
                                          InputDialog(nullptr, "The prompt", value, nullptr, "Title");
                                      })),
              "");
    EXPECT_EQ(JoinFaults(DialogFaults("About Paneprobe",
                                      [] { AboutBox(nullptr, PaneprobeVersion, "Paneprobe", nullptr); })),
              "");
    TTypeCastForm& viewer = TTypeCastForm::Open(nullptr, 0x12345678);
    UpdateWindow(viewer.Handle());
    EXPECT_EQ(JoinFaults(LayoutFaults(viewer.Handle())), "");
    RECT rect = {};
    GetWindowRect(viewer.Handle(), &rect);
    EXPECT_GE(rect.right - rect.left, ScaleToDpi(320, form->Dpi()));
    TTypeCastForm::CloseAll();
}

// The window takes the rectangle the system proposes for a new scale; a WM_DPICHANGED sent without one, or
// naming no scale (as anyone can send it, the Messages tab too), leaves the window as it is.
TEST_F(DisplayScale, ADpiChangeTakesTheProposedRectangleAndAMalformedOneIsIgnored) {
    RECT before = {};
    GetWindowRect(form->Handle(), &before);
    const WPARAM sameScale = MAKEWPARAM(form->Dpi(), form->Dpi());
    SendMessageA(form->Handle(), WM_DPICHANGED, sameScale, 0);
    SendMessageA(form->Handle(), WM_DPICHANGED, 0, 0);
    RECT proposed = {before.left + 10, before.top + 10, before.right, before.bottom};
    SendMessageA(form->Handle(), WM_DPICHANGED, 0, reinterpret_cast<LPARAM>(&proposed));
    RECT after = {};
    GetWindowRect(form->Handle(), &after);
    EXPECT_TRUE(EqualRect(&after, &before)) << "nothing moves without both a scale and a rectangle";
    SendMessageA(form->Handle(), WM_DPICHANGED, sameScale, reinterpret_cast<LPARAM>(&proposed));
    GetWindowRect(form->Handle(), &after);
    EXPECT_TRUE(EqualRect(&after, &proposed));
}
