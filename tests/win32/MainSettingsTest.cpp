// The main window's settings over a session: saved when the session ends, and kept within their bounds.
#include "ShellTestSupport.h"

#include "config/EasyConfig.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>

namespace {

class MainSettings : public ::testing::Test {
  protected:
    void SetUp() override { DeleteFileA(SettingsPath().c_str()); }
    void TearDown() override {
        form.reset();
        DeleteFileA(SettingsPath().c_str());
    }
    TPaneprobeForm& Start(int tabs = 3) {
        tabClasses = RecordingTabs(tabs);
        form = std::make_unique<TPaneprobeForm>(tabClasses);
        PumpMessages();
        return *form;
    }
    static bool Saved(const std::string& key) {
        std::vector<std::string> keys = SettingsKeys();
        return std::find(keys.begin(), keys.end(), key) != keys.end();
    }
    std::vector<TTabClass> tabClasses;
    std::unique_ptr<TPaneprobeForm> form;
};

// Logging off ends the process after WM_ENDSESSION, without the normal exit that saves.
TEST_F(MainSettings, TheEndOfTheSessionSavesWhatChangedAndACancelledEndDoesNot) {
    const struct {
        const char* name;
        WPARAM ending;
        bool saved;
    } cases[] = {{"the session ends", TRUE, true}, {"the end is cancelled", FALSE, false}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        DeleteFileA(SettingsPath().c_str());
        TPaneprobeForm& f = Start();
        f.StayOnTop->SetValue(true);
        EXPECT_TRUE(SendMessageA(f.Handle(), WM_QUERYENDSESSION, 0, ENDSESSION_LOGOFF))
            << "the program never holds up the end of a session";
        SendMessageA(f.Handle(), WM_ENDSESSION, c.ending, ENDSESSION_LOGOFF);
        EXPECT_EQ(Saved("system.stay_on_top"), c.saved);
        form.reset();
        EXPECT_TRUE(Saved("system.stay_on_top")) << "the normal exit saves in either case";
    }
}

// A stored value outside its bounds keeps the default, as a value that is no number does; one at a bound
// is taken.
TEST_F(MainSettings, StoredValuesOutsideTheirBoundsKeepTheDefault) {
    const int minWidth = GetSystemMetrics(SM_CXMINTRACK), minHeight = GetSystemMetrics(SM_CYMINTRACK);
    const struct {
        std::string file;
        int interval, width, height, page;
    } cases[] = {
        {"[system]\r\nupdate_interval_ms=0\r\n[window]\r\nwidth=32768\r\nheight=0\r\n[tabs]\r\npage_index="
         "9\r\n",
         33, 720, 533, 0},
        {"[system]\r\nupdate_interval_ms=9\r\n[window]\r\nwidth=" + std::to_string(minWidth - 1) +
             "\r\nheight=-5\r\n[tabs]\r\npage_index=-1\r\n",
         33, 720, 533, 0},
        {"[system]\r\nupdate_interval_ms=60001\r\n", 33, 720, 533, 0},
        {"[system]\r\nupdate_interval_ms=10\r\n[window]\r\nwidth=" + std::to_string(minWidth) +
             "\r\nheight=" + std::to_string(minHeight) + "\r\n[tabs]\r\npage_index=8\r\n",
         10, minWidth, minHeight, 8},
        {"[system]\r\nupdate_interval_ms=60000\r\n[window]\r\nwidth=32767\r\nheight=32767\r\n", 60000, 32767,
         32767, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.file);
        WriteSettings(c.file);
        TPaneprobeForm& f = Start();
        EXPECT_EQ(f.UpdateInterval->Value, c.interval);
        EXPECT_EQ(f.Width->Value, c.width);
        EXPECT_EQ(f.Height->Value, c.height);
        EXPECT_EQ(f.PageIndex->Value, c.page);
        // A position among the program's nine tabs: with three, the last one shows.
        EXPECT_EQ(f.PageControl->ActivePageIndex(), std::min(c.page, 2));
        form.reset();
        DeleteFileA(SettingsPath().c_str());
    }
}

TEST_F(MainSettings, BothTimerIntervalsKeepTrackingAlive) {
    TPaneprobeForm& f = Start();
    for (TConfigVarInt* interval : {f.UpdateInterval, f.TabInterval}) {
        SCOPED_TRACE(interval->FullName());
        interval->SetValue(0);
        EXPECT_EQ(interval->Value, 10) << "0 would stop the timer for good";
        interval->SetValue(1000000);
        EXPECT_EQ(interval->Value, 60000);
        interval->SetAsText("5");
        EXPECT_EQ(interval->Value, 60000) << "text outside the bounds is refused";
    }
}

} // namespace
