// Plain, hot-track and link labels on a form of the test's own: accelerators, the hand cursor, and the
// link's hover font.
#include "ShellTestSupport.h"
#include "ui/HotTrackLabel.h"

#include <gtest/gtest.h>

namespace {

LOGFONTA Describe(HFONT font) {
    LOGFONTA description = {};
    GetObjectA(font, sizeof description, &description);
    return description;
}

bool SameFont(HFONT a, HFONT b) {
    LOGFONTA x = Describe(a), y = Describe(b);
    return x.lfHeight == y.lfHeight && x.lfWeight == y.lfWeight && x.lfUnderline == y.lfUnderline &&
           x.lfItalic == y.lfItalic && std::string(x.lfFaceName) == y.lfFaceName;
}

class Labels : public ::testing::Test {
  protected:
    std::unique_ptr<TNvForm> form;
    TNvEdit* edit = nullptr;
    TNvEdit* other = nullptr;
    TFont normal{CreateFontA(-13, 0, 0, 0, FW_NORMAL, 0, 0, 0, DEFAULT_CHARSET, 0, 0, 0, 0, "Tahoma")};
    TFont hot{CreateFontA(-13, 0, 0, 0, FW_NORMAL, 0, TRUE, 0, DEFAULT_CHARSET, 0, 0, 0, 0, "Tahoma")};
    TFont bigger{CreateFontA(-20, 0, 0, 0, FW_BOLD, 0, 0, 0, DEFAULT_CHARSET, 0, 0, 0, 0, "Arial")};

    void SetUp() override {
        form = std::make_unique<TNvForm>();
        form->SetBounds(100, 100, 400, 300);
        ShowWindow(form->Handle(), SW_SHOW);
        edit = &form->MakeChild<TNvEdit>();
        other = &form->MakeChild<TNvEdit>();
        PumpMessages();
    }
    void TearDown() override { form.reset(); }
    void Hover(HWND label) { SendMessageA(label, WM_MOUSEMOVE, 0, MAKELPARAM(2, 2)); }
    void Leave(HWND label) { SendMessageA(label, WM_MOUSELEAVE, 0, 0); }
};

TEST_F(Labels, AcceleratorOfAHotTrackLabelClicksIt) {
    THotTrackLabel& label = form->MakeChild<THotTrackLabel>("&Go there");
    label.FocusControl = edit->Handle();
    int clicks = 0;
    label.OnClick = [&clicks](THotTrackLabel&) { ++clicks; };
    SetFocus(other->Handle());
    PressKey(other->Handle(), 'G', ssAlt);
    EXPECT_EQ(clicks, 1);
    EXPECT_EQ(GetFocus(), other->Handle());
    // Another letter, or Alt with Ctrl, is not the label's.
    PressKey(other->Handle(), 'O', ssAlt);
    PressKey(other->Handle(), 'G', ssAlt | ssCtrl);
    EXPECT_EQ(clicks, 1);
}

TEST_F(Labels, DisabledLabelsIgnoreTheAcceleratorWithoutHandlerItFocuses) {
    struct {
        bool Enabled, Handler;
    } cases[] = {{false, true}, {true, false}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Enabled ? "without handler" : "disabled");
        THotTrackLabel& label = form->MakeChild<THotTrackLabel>("&Find");
        label.FocusControl = edit->Handle();
        int clicks = 0;
        if (c.Handler) label.OnClick = [&clicks](THotTrackLabel&) { ++clicks; };
        EnableWindow(label.Handle(), c.Enabled);
        SetFocus(other->Handle());
        // A disabled label takes no accelerator at all; an enabled one without handler focuses its control.
        EXPECT_EQ(label.DialogChar('F'), c.Enabled);
        EXPECT_EQ(GetFocus(), c.Enabled ? edit->Handle() : other->Handle());
        EXPECT_EQ(clicks, 0);
        DestroyWindow(label.Handle());
    }
}

TEST_F(Labels, APlainLabelFocusesItsControlAndShowsAmpersandsAsAccelerators) {
    TStaticLabel& label = form->MakeChild<TStaticLabel>("Save && &quit");
    label.FocusControl = edit->Handle();
    SetFocus(other->Handle());
    PressKey(other->Handle(), 'S', ssAlt);
    EXPECT_EQ(GetFocus(), other->Handle());
    PressKey(other->Handle(), 'Q', ssAlt);
    EXPECT_EQ(GetFocus(), edit->Handle());
}

TEST_F(Labels, HotTrackLabelsShowTheHandCursor) {
    THotTrackLabel& label = form->MakeChild<THotTrackLabel>("&Link");
    SendMessageA(label.Handle(), WM_SETCURSOR, reinterpret_cast<WPARAM>(label.Handle()),
                 MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
    EXPECT_EQ(GetCursor(), LoadCursor(nullptr, IDC_HAND));
}

TEST_F(Labels, LinkHoverFontComesAndTheFontInUseReturns) {
    TLinkLabel& link = form->MakeChild<TLinkLabel>("&Google Message Name");
    int enters = 0, leaves = 0;
    link.OnMouseEnter = [&enters](THotTrackLabel&) { ++enters; };
    link.OnMouseLeave = [&leaves](THotTrackLabel&) { ++leaves; };
    SendMessageA(link.Handle(), WM_SETFONT, reinterpret_cast<WPARAM>(normal.Get()), FALSE);
    link.SetHotFont(hot.Get());

    // A stray leave changes nothing.
    Leave(link.Handle());
    EXPECT_EQ(link.Font(), normal.Get());
    EXPECT_EQ(leaves, 0);

    Hover(link.Handle());
    EXPECT_TRUE(link.MouseInside());
    EXPECT_TRUE(SameFont(link.Font(), hot.Get()));
    Hover(link.Handle());
    EXPECT_EQ(enters, 1);
    Leave(link.Handle());
    EXPECT_EQ(leaves, 1);
    EXPECT_TRUE(SameFont(link.Font(), normal.Get()));

    // After the font was changed from outside, leaving brings back that font.
    SendMessageA(link.Handle(), WM_SETFONT, reinterpret_cast<WPARAM>(bigger.Get()), FALSE);
    Hover(link.Handle());
    EXPECT_TRUE(SameFont(link.Font(), hot.Get()));
    Leave(link.Handle());
    EXPECT_TRUE(SameFont(link.Font(), bigger.Get()));

    // Also when the change comes while the mouse is over the link.
    Hover(link.Handle());
    SendMessageA(link.Handle(), WM_SETFONT, reinterpret_cast<WPARAM>(normal.Get()), FALSE);
    EXPECT_TRUE(SameFont(link.Font(), hot.Get()));
    Leave(link.Handle());
    EXPECT_TRUE(SameFont(link.Font(), normal.Get()));
}

TEST_F(Labels, LinkHoverColourIsUsedOnlyWhileHot) {
    TLinkLabel& link = form->MakeChild<TLinkLabel>("&Link");
    link.Color = RGB(0, 0, 128);
    link.HotColor = RGB(0, 0, 255);
    link.SetBounds(10, 10, 100, 20);
    auto pixelsOf = [&link](COLORREF colour) {
        UpdateWindow(link.Handle());
        HDC dc = GetDC(link.Handle());
        int count = 0;
        for (int x = 0; x < 60; ++x)
            for (int y = 0; y < 20; ++y)
                count += GetPixel(dc, x, y) == colour;
        ReleaseDC(link.Handle(), dc);
        return count;
    };
    InvalidateRect(link.Handle(), nullptr, TRUE);
    EXPECT_GT(pixelsOf(RGB(0, 0, 128)), 0);
    Hover(link.Handle());
    InvalidateRect(link.Handle(), nullptr, TRUE);
    EXPECT_GT(pixelsOf(RGB(0, 0, 255)), 0);
    EXPECT_EQ(pixelsOf(RGB(0, 0, 128)), 0);
}

} // namespace
