// The settings file that the kill runs save over and over: foreign sections and comments around the
// program's keys, and the two contents it alternates between, written out by hand as the expected bytes.
#pragma once

#include "config/EasyConfig.h"
#include "config/IniFile.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
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

// Writes the bytes as the whole file.
inline void WriteContent(const std::string& fileName, const std::string& bytes) {
    std::ofstream file(fileName, std::ios::binary | std::ios::trunc);
    file.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    EXPECT_TRUE(file.good()) << "could not write " << fileName;
}

// What the kills left in the file: the old or the new content, counted; anything else is a broken file,
// reported and replaced by the first content so that the next kill starts from a known file.
struct TKillTally {
    int SawA = 0, SawB = 0, Broken = 0;

    // False when the file could not be read at all.
    bool Check(const std::string& fileName, const std::string& a, const std::string& b, int kill) {
        std::string bytes;
        if (!ReadFileBytes(fileName, bytes)) return false;
        if (bytes == a) {
            ++SawA;
        } else if (bytes == b) {
            ++SawB;
        } else {
            ++Broken;
            ADD_FAILURE() << "kill " << kill << " left " << bytes.size() << " bytes that are neither content";
            WriteContent(fileName, a);
        }
        return true;
    }
};

// Every temporary that the killed savers left beside the file: each process saves through a name of its own.
inline void RemoveTemporaries(const std::string& fileName) {
    namespace fs = std::filesystem;
    const fs::path file(fileName);
    const std::string prefix = file.filename().string() + ".";
    std::error_code error;
    for (const fs::directory_entry& entry : fs::directory_iterator(file.parent_path(), error)) {
        const std::string name = entry.path().filename().string();
        if (name.compare(0, prefix.size(), prefix) == 0 && entry.path().extension() == ".tmp")
            fs::remove(entry.path(), error);
    }
}

} // namespace settings_kill
