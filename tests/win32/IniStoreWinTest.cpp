// The settings store on a real Windows path: backslashes and a folder with spaces.
#include "config/EasyConfig.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <string>

namespace {

std::string ReadWholeFile(const std::string& path) {
    std::string bytes;
    HANDLE file = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                              OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) return bytes;
    char buffer[4096];
    DWORD got = 0;
    while (ReadFile(file, buffer, sizeof buffer, &got, nullptr) && got > 0)
        bytes.append(buffer, got);
    CloseHandle(file);
    return bytes;
}

TEST(IniStoreOnWindows, SavesAndLoadsInAFolderWithSpaces) {
    char temp[MAX_PATH] = {};
    GetTempPathA(MAX_PATH, temp);
    std::string folder = std::string(temp) + "Paneprobe settings test\\";
    CreateDirectoryA(folder.c_str(), nullptr);
    std::string fileName = folder + "Paneprobe.ini";
    DeleteFileA(fileName.c_str());
    {
        TEasyConfigIni config(fileName);
        TConfigVarBool::Get(&config, "system", "stay_on_top", false).SetValue(true);
        TConfigVarStr::Get(&config, "tabs.messages", "filter", "").SetValue(" wm_\t");
        TConfigVarInt::Get(&config, "window", "left", 0).SetValue(-20);
        config.Save(true);
    }
    EXPECT_EQ(
        ReadWholeFile(fileName),
        "[system]\r\nstay_on_top=true\r\n[tabs.messages]\r\nfilter=\" wm_\t\"\r\n[window]\r\nleft=-20\r\n");
    // The platform's own profile reader agrees with ours on what we wrote.
    char value[256] = {};
    GetPrivateProfileStringA("tabs.messages", "filter", "\x1B", value, sizeof value, fileName.c_str());
    EXPECT_STREQ(value, " wm_\t");
    {
        TEasyConfigIni config(fileName);
        TConfigVarBool& top = TConfigVarBool::Get(&config, "system", "stay_on_top", false);
        TConfigVarStr& filter = TConfigVarStr::Get(&config, "tabs.messages", "filter", "");
        TConfigVarInt& left = TConfigVarInt::Get(&config, "window", "left", 0);
        config.Load();
        EXPECT_TRUE(top.Value);
        EXPECT_EQ(filter.Value, " wm_\t");
        EXPECT_EQ(left.Value, -20);
        left.SetValue(5);
        config.Save(true);
    }
    EXPECT_EQ(GetPrivateProfileIntA("window", "left", 0, fileName.c_str()), 5);
    EXPECT_TRUE(DeleteFileA(fileName.c_str()));
    EXPECT_TRUE(RemoveDirectoryA(folder.c_str())) << "no temporary file may be left in the folder";
}

TEST(IniStoreOnWindows, AReadOnlySettingsFileStaysAsItWas) {
    char temp[MAX_PATH] = {};
    GetTempPathA(MAX_PATH, temp);
    std::string fileName = std::string(temp) + "Paneprobe read only.ini";
    SetFileAttributesA(fileName.c_str(), FILE_ATTRIBUTE_NORMAL);
    WritePrivateProfileStringA("system", "stay_on_top", "false", fileName.c_str());
    WritePrivateProfileStringA(nullptr, nullptr, nullptr, fileName.c_str());
    std::string before = ReadWholeFile(fileName);
    ASSERT_FALSE(before.empty());
    SetFileAttributesA(fileName.c_str(), FILE_ATTRIBUTE_READONLY);
    {
        TEasyConfigIni config(fileName);
        TConfigVarBool::Get(&config, "system", "stay_on_top", false).SetValue(true);
        config.Save(true);
    }
    EXPECT_EQ(ReadWholeFile(fileName), before);
    SetFileAttributesA(fileName.c_str(), FILE_ATTRIBUTE_NORMAL);
    DeleteFileA(fileName.c_str());
}

} // namespace
