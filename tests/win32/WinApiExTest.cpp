// Shared helpers that need the platform, checked against what the platform reports back.
#include "app/WinApiEx.h"

#include "Watchdog.h"
#include "app/Shared.h"
#include "app/TimeUtils.h"

#include <gtest/gtest.h>

#include <cmath>
#include <thread>

namespace {

int ScreenDpi() {
    HDC screen = GetDC(nullptr);
    const int dpi = GetDeviceCaps(screen, LOGPIXELSY);
    ReleaseDC(nullptr, screen);
    return dpi;
}

LOGFONTA FontRecord(const std::string& text) {
    LOGFONTA record = {};
    HFONT font = FontFromText(text);
    EXPECT_NE(font, nullptr) << text;
    if (font) {
        EXPECT_EQ(GetObjectA(font, sizeof record, &record), static_cast<int>(sizeof record)) << text;
        DeleteObject(font);
    }
    return record;
}

TEST(FontFromText, BuildsTheDescribedFontOnTheIconTitleFont) {
    LOGFONTA iconTitle = {};
    ASSERT_TRUE(SystemParametersInfoA(SPI_GETICONTITLELOGFONT, sizeof iconTitle, &iconTitle, 0));
    const int dpi = ScreenDpi();

    const struct {
        const char* Text;
        LONG Height;
        LONG Weight;
        bool Italic, Underline, StrikeOut;
        const char* Face;
    } cases[] = {
        {"Tahoma, 9; bi", -MulDiv(9, dpi, 72), FW_BOLD, true, false, false, "Tahoma"},
        {"\"Courier New\" 10", -MulDiv(10, dpi, 72), FW_NORMAL, false, false, false, "Courier New"},
        {"12", -MulDiv(12, dpi, 72), FW_NORMAL, false, false, false, iconTitle.lfFaceName},
        {"", iconTitle.lfHeight, FW_NORMAL, false, false, false, iconTitle.lfFaceName},
        {"Arial 8 us", -MulDiv(8, dpi, 72), FW_NORMAL, false, true, true, "Arial"},
    };
    for (const auto& c : cases) {
        const LOGFONTA font = FontRecord(c.Text);
        EXPECT_EQ(font.lfHeight, c.Height) << c.Text;
        EXPECT_EQ(font.lfWeight, c.Weight) << c.Text;
        EXPECT_EQ(font.lfItalic != 0, c.Italic) << c.Text;
        EXPECT_EQ(font.lfUnderline != 0, c.Underline) << c.Text;
        EXPECT_EQ(font.lfStrikeOut != 0, c.StrikeOut) << c.Text;
        EXPECT_EQ(font.lfCharSet, DEFAULT_CHARSET) << c.Text;
        EXPECT_EQ(font.lfEscapement, 0) << c.Text;
        EXPECT_STREQ(font.lfFaceName, c.Face) << c.Text;
    }
}

std::string ClipboardText() {
    std::string text;
    if (!OpenClipboard(nullptr)) return "<clipboard busy>";
    if (HANDLE data = GetClipboardData(CF_TEXT)) {
        if (const char* bytes = static_cast<const char*>(GlobalLock(data))) {
            text = bytes;
            GlobalUnlock(data);
        }
    }
    CloseClipboard();
    return text;
}

// A window of another thread of this program whose thread does not answer: its caption is read without
// waiting for that thread (GetWindowText would send it WM_GETTEXT and wait without limit).
TEST(CaptionNoWait, ReadsTheStoredTitleOfABusyThreadsWindowWithoutWaiting) {
    HANDLE ready = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    HANDLE release = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    HWND window = nullptr;
    std::thread busy([&] {
        window = CreateWindowExA(0, "STATIC", "Stored title", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr,
                                 nullptr, nullptr);
        SetEvent(ready);
        WaitForSingleObject(release, INFINITE); // answers nothing meanwhile
        DestroyWindow(window);
    });
    WaitForSingleObject(ready, INFINITE);
    ASSERT_NE(window, nullptr);
    {
        TWatchdog watchdog(10000, [release] { SetEvent(release); });
        char text[64] = {};
        EXPECT_EQ(CaptionNoWait(window, text, sizeof text), 12);
        EXPECT_STREQ(text, "Stored title");
        char shortText[6] = {};
        EXPECT_EQ(CaptionNoWait(window, shortText, sizeof shortText), 5);
        EXPECT_STREQ(shortText, "Store");
        TWindowDetails details(window);
        details.Refresh();
        EXPECT_STREQ(details.Caption, "Stored title");
        EXPECT_FALSE(watchdog.Fired()) << "the caption waited for the busy thread";
    }
    SetEvent(release);
    busy.join();
    CloseHandle(ready);
    CloseHandle(release);
}

TEST(CopyTextToClipboard, LeavesTheTextOnTheClipboard) {
    for (const std::string text : {"0x0001002A", "two\r\nlines", ""}) {
        ASSERT_TRUE(CopyTextToClipboard(nullptr, text)) << text;
        EXPECT_EQ(ClipboardText(), text);
    }
}

TEST(CopyTextToClipboard, FailsWhileAnotherWindowHoldsTheClipboard) {
    HWND holder =
        CreateWindowA("STATIC", "holder", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
    ASSERT_NE(holder, nullptr);
    HWND other = CreateWindowA("STATIC", "other", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
    ASSERT_NE(other, nullptr);
    ASSERT_TRUE(CopyTextToClipboard(nullptr, "before"));
    ASSERT_TRUE(OpenClipboard(holder));
    EXPECT_FALSE(CopyTextToClipboard(other, "after"));
    CloseClipboard();
    EXPECT_EQ(ClipboardText(), "before");
    DestroyWindow(other);
    DestroyWindow(holder);
}

TEST(VersionText, LongFormIsTheLocalesDateOrEmpty) {
    EXPECT_EQ(VersionText(0x10061C, true), "16.06.28");
    const std::string longDate = VersionText(0x10061C, false);
    EXPECT_NE(longDate.find("2016"), std::string::npos) << longDate;
    EXPECT_NE(longDate.find("28"), std::string::npos) << longDate;
    EXPECT_EQ(VersionText(0x100600, false), "");
    EXPECT_EQ(VersionText(0x100D01, false), "");
    EXPECT_EQ(VersionText(0x11021D, false), "");
    EXPECT_NE(VersionText(0x10021D, false), "");
}

TEST(LastErrorText, IsTheSystemsTextWithoutTheLineBreak) {
    SetLastError(ERROR_INVALID_WINDOW_HANDLE);
    const std::string text = LastErrorText();
    EXPECT_FALSE(text.empty());
    EXPECT_EQ(text.find_first_of("\r\n"), std::string::npos) << text;
    EXPECT_EQ(text, ErrorText(ERROR_INVALID_WINDOW_HANDLE));
    EXPECT_NE(ErrorText(ERROR_FILE_NOT_FOUND), text);
}

TEST(FindText, UsesTheLocalesUpperCasing) {
    EXPECT_EQ(FindText(std::string("Hello World"), std::string("world"), 1, false, false), 7);
    EXPECT_EQ(FindText(std::string("Hello World"), std::string("world"), 1, true, false), 0);
    // UTF-8, the program's code page: "café CRÈME" and "crème"; the position counts bytes.
    EXPECT_EQ(FindText(std::string("caf\xC3\xA9 CR\xC3\x88ME"), std::string("cr\xC3\xA8me"), 1, false, true),
              7);
}

TEST(FileTimeToLocalDateTime, AgreesWithTheLocalClock) {
    SYSTEMTIME local = {};
    FILETIME now = {};
    GetLocalTime(&local);
    GetSystemTimeAsFileTime(&now);
    const double expected = EncodeDateTime(local.wYear, local.wMonth, local.wDay, local.wHour, local.wMinute,
                                           local.wSecond, local.wMilliseconds);
    EXPECT_NEAR(FileTimeToLocalDateTime(now), expected, 2.0 / 86400);
    const uint64_t raw = (static_cast<uint64_t>(now.dwHighDateTime) << 32) | now.dwLowDateTime;
    // Local time differs from UTC by less than a day.
    EXPECT_NEAR(FileTimeToLocalDateTime(now), FileTimeToDateTime(raw), 1.0);
}

} // namespace
