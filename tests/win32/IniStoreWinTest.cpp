// The settings store on a real Windows path: backslashes, a folder with spaces, files that other programs
// hold open, file attributes, and the settings file name of a long executable path.
#include "ShellTestSupport.h"
#include "WholeFile.h"
#include "app/WinApiEx.h"
#include "config/EasyConfig.h"
#include "config/IniFile.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <string>

namespace {

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
        WholeFile(fileName),
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
    std::string before = WholeFile(fileName);
    ASSERT_FALSE(before.empty());
    SetFileAttributesA(fileName.c_str(), FILE_ATTRIBUTE_READONLY);
    {
        TEasyConfigIni config(fileName);
        TConfigVarBool::Get(&config, "system", "stay_on_top", false).SetValue(true);
        config.Save(true);
    }
    EXPECT_EQ(WholeFile(fileName), before);
    SetFileAttributesA(fileName.c_str(), FILE_ATTRIBUTE_NORMAL);
    DeleteFileA(fileName.c_str());
}

// The settings file beside a test executable; the program's attribute keeper is in place, as at start-up.
class IniStoreFile : public ::testing::Test {
  protected:
    std::string fileName;
    void SetUp() override {
        char temp[MAX_PATH] = {};
        GetTempPathA(MAX_PATH, temp);
        fileName = std::string(temp) + "Paneprobe guarded.ini";
        SetFileAttributesA(fileName.c_str(), FILE_ATTRIBUTE_NORMAL);
        DeleteFileA(fileName.c_str());
        DeleteFileA(TemporaryFileName(fileName).c_str());
        SetFileAttributeKeeper(KeepFileAttributes);
    }
    void TearDown() override {
        SetFileAttributesA(fileName.c_str(), FILE_ATTRIBUTE_NORMAL);
        DeleteFileA(fileName.c_str());
        DeleteFileA(TemporaryFileName(fileName).c_str());
        SetFileAttributeKeeper(nullptr);
    }
    void Write(const std::string& bytes) {
        HANDLE file = CreateFileA(fileName.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
        DWORD written = 0;
        WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
        CloseHandle(file);
    }
    void SaveStayOnTop() {
        TEasyConfigIni config(fileName);
        TConfigVarBool::Get(&config, "system", "stay_on_top", false).SetValue(true);
        config.Save(true);
    }
};

TEST_F(IniStoreFile, AFileThatCannotBeReadIsLeftUntouched) {
    const std::string original = "; kept\r\n[other]\r\nkey=1\r\n[system]\r\nstay_on_top=false\r\n";
    Write(original);
    // Another program holds the file open for writing and lets nobody read it, but allows it to be
    // replaced: a save would succeed in replacing what it could not read.
    HANDLE holder = CreateFileA(fileName.c_str(), GENERIC_WRITE, FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(holder, INVALID_HANDLE_VALUE);
    std::string bytes;
    EXPECT_EQ(::ReadWholeFile(fileName, bytes), TFileRead::Failed);
    SaveStayOnTop();
    CloseHandle(holder);
    EXPECT_EQ(::ReadWholeFile(fileName, bytes), TFileRead::Complete);
    EXPECT_EQ(bytes, original);
    EXPECT_EQ(GetFileAttributesA(TemporaryFileName(fileName).c_str()), INVALID_FILE_ATTRIBUTES);
}

TEST_F(IniStoreFile, TheReplacementKeepsTheFileAttributes) {
    Write("[system]\r\nstay_on_top=false\r\n");
    const DWORD kept = FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM;
    ASSERT_TRUE(SetFileAttributesA(fileName.c_str(), kept));
    ASSERT_EQ(GetFileAttributesA(fileName.c_str()) & kept, kept) << "the file system keeps attributes";
    SaveStayOnTop();
    char value[16] = {};
    GetPrivateProfileStringA("system", "stay_on_top", "", value, sizeof value, fileName.c_str());
    EXPECT_STREQ(value, "true");
    EXPECT_EQ(GetFileAttributesA(fileName.c_str()) & kept, kept);
}

TEST_F(IniStoreFile, ALeftOverTemporaryFileIsRemovedByTheNextSave) {
    Write("[system]\r\nstay_on_top=true\r\n");
    const std::string temporary = TemporaryFileName(fileName);
    HANDLE file = CreateFileA(temporary.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    ASSERT_NE(file, INVALID_HANDLE_VALUE);
    CloseHandle(file);
    TEasyConfigIni config(fileName);
    config.Save(true); // nothing to write
    EXPECT_EQ(GetFileAttributesA(temporary.c_str()), INVALID_FILE_ATTRIBUTES);
}

TEST(ModuleFileName, GrowsUntilTheWholePathFits) {
    char path[MAX_PATH] = {};
    DWORD length = GetModuleFileNameA(nullptr, path, MAX_PATH);
    ASSERT_GT(length, 10u);
    EXPECT_EQ(ModuleFileName(nullptr), std::string(path, length));
    EXPECT_EQ(ModuleFileName(nullptr, 4), std::string(path, length)) << "a first buffer far too small";
    EXPECT_EQ(ModuleFileName(nullptr, length), std::string(path, length)) << "one short of the terminator";
    EXPECT_EQ(SettingsFileNameFor(ModuleFileName(nullptr, 4)), SettingsPath());
}

} // namespace
