// The settings file that the kill runs save over and over: foreign sections and comments around the
// program's keys, and the two contents it alternates between, written out by hand as the expected bytes.
#pragma once

#include "config/EasyConfig.h"

#include <string>

namespace settings_kill {

inline std::string LongValue(char fill) {
    return std::string(180, fill);
}

// The file with every value of the first kind ('a'); the second kind has 'b' in the same places.
inline std::string Content(char kind) {
    return "; written by hand, kept byte for byte\r\n"
           "[foreign]\r\n"
           "colour = teal ; not ours\r\n"
           "\r\n"
           "# another comment style\r\n"
           "[system]\r\n"
           "stay_on_top=" +
           std::string(kind == 'a' ? "false" : "true") +
           "\r\n"
           "update_interval_ms=" +
           std::string(kind == 'a' ? "33" : "44") +
           "\r\n"
           "\r\n"
           "[gui]\r\n"
           "font_main=" +
           LongValue(kind) +
           "\r\n"
           "[other.tool]\r\n"
           "path=C:\\somewhere\\else\r\n"
           "[window]\r\n"
           "caption=ignored\r\n"
           "width=" +
           std::string(kind == 'a' ? "720" : "640") +
           "\r\n"
           "; trailing comment\r\n";
}

// Saves the file in a loop, switching every value to the other kind each time, until the process is
// killed. Never returns.
[[noreturn]] inline void SaveForever(const std::string& fileName, void (*started)()) {
    TEasyConfigIni store(fileName);
    auto& top = TConfigVarBool::Get(&store, "system", "stay_on_top", false);
    auto& interval = TConfigVarInt::Get(&store, "system", "update_interval_ms", 33);
    auto& font = TConfigVarStr::Get(&store, "gui", "font_main", "");
    auto& width = TConfigVarInt::Get(&store, "window", "width", 720);
    store.Load();
    bool first = true;
    for (;;) {
        bool toB = !top.Value;
        top.SetValue(toB);
        interval.SetValue(toB ? 44 : 33);
        font.SetValue(LongValue(toB ? 'b' : 'a'));
        width.SetValue(toB ? 640 : 720);
        store.Save(true);
        if (first && started) started();
        first = false;
    }
}

} // namespace settings_kill
