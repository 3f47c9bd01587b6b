// The INI store: reading and writing rules, the settings file written at exit, and damaged files.
#include "config/EasyConfig.h"
#include "config/IniFile.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <sys/wait.h>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

class IniStore : public ::testing::Test {
  protected:
    fs::path Folder;
    std::string FileName;

    void SetUp() override {
        Folder =
            fs::temp_directory_path() / ("paneprobe-ini-" + std::to_string(::getpid()) + "-" +
                                         ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(Folder);
        fs::create_directories(Folder);
        FileName = (Folder / "Paneprobe.ini").string();
    }
    void TearDown() override {
        std::error_code error;
        fs::permissions(Folder, fs::perms::owner_all, fs::perm_options::add, error);
        fs::remove_all(Folder, error);
    }
    void WriteFile(const std::string& bytes) {
        std::ofstream file(FileName, std::ios::binary | std::ios::trunc);
        file << bytes;
    }
    std::string ReadFile() {
        std::ifstream file(FileName, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
    }
};

// The settings the program declares, in its order, with the centring defaults of a 1280 x 1024 screen.
struct TProgramSettings {
    TConfigVarBool& StayOnTop;
    TConfigVarInt& UpdateInterval;
    TConfigVarBool& ScanAtMouse;
    TConfigVarInt& PageIndex;
    TConfigVarInt& TabInterval;
    TConfigVarStr& FontMain;
    TConfigVarInt& Width;
    TConfigVarInt& Height;
    TConfigVarInt& Left;
    TConfigVarInt& Top;
    TConfigVarBool& Maxed;
    TConfigVarBool& VisibleOnly;
    TConfigVarStr& Filter;

    explicit TProgramSettings(TEasyConfig& c)
        : StayOnTop(TConfigVarBool::Get(&c, "system", "stay_on_top", false)),
          UpdateInterval(TConfigVarInt::Get(&c, "system", "update_interval_ms", 33)),
          ScanAtMouse(TConfigVarBool::Get(&c, "system", "scan_window_at_mouse", true)),
          PageIndex(TConfigVarInt::Get(&c, "tabs", "page_index", 0)),
          TabInterval(TConfigVarInt::Get(&c, "tabs", "update_interval_ms", 2500)),
          FontMain(TConfigVarStr::Get(&c, "gui", "font_main", "")),
          Width(TConfigVarInt::Get(&c, "window", "width", 720)),
          Height(TConfigVarInt::Get(&c, "window", "height", 533)),
          Left(TConfigVarInt::Get(&c, "window", "left", (1280 - 720) / 2)),
          Top(TConfigVarInt::Get(&c, "window", "top", (1024 - 533) / 2)),
          Maxed(TConfigVarBool::Get(&c, "window", "maxed", false)),
          VisibleOnly(TConfigVarBool::Get(&c, "tabs.enum", "show_visible_only", false)),
          Filter(TConfigVarStr::Get(&c, "tabs.messages", "filter", "")) {
        TabInterval.Stored = false;
    }
};

TEST_F(IniStore, WithoutAFileEverythingIsDefaultAndLoadingCreatesNoFile) {
    TEasyConfigIni config(FileName);
    TProgramSettings settings(config);
    settings.UpdateInterval.SetValue(99);
    config.Load();
    EXPECT_EQ(settings.UpdateInterval.Value, 33);
    EXPECT_TRUE(settings.ScanAtMouse.Value);
    EXPECT_EQ(settings.Left.Value, 280);
    EXPECT_FALSE(fs::exists(FileName));
    settings.ScanAtMouse.SetValue(false);
    config.Save(true);
    EXPECT_EQ(ReadFile(), "[system]\r\nupdate_interval_ms=33\r\nscan_window_at_mouse=false\r\n")
        << "only variables changed outside loading are written";
    std::filesystem::remove(FileName);
    config.Save(true);
    EXPECT_FALSE(fs::exists(FileName)) << "nothing modified since, nothing written";
}

TEST_F(IniStore, WritesTheDocumentedExampleFileFromScratch) {
    {
        TEasyConfigIni config(FileName);
        TProgramSettings settings(config);
        config.Load();
        config.AutoLoad = true;
        settings.ScanAtMouse.SetValue(false);
        settings.StayOnTop.SetValue(true);
        settings.UpdateInterval.SetValue(50);
        settings.PageIndex.SetValue(4);
        settings.TabInterval.SetValue(100);
        settings.Width.SetValue(900);
        settings.Height.SetValue(640);
        settings.Left.SetValue(120);
        settings.Top.SetValue(80);
        config.Save(true);
    }
    EXPECT_EQ(ReadFile(),
              "[system]\r\nstay_on_top=true\r\nupdate_interval_ms=50\r\nscan_window_at_mouse=false\r\n"
              "[tabs]\r\npage_index=4\r\n"
              "[window]\r\nwidth=900\r\nheight=640\r\nleft=120\r\ntop=80\r\n");
}

TEST_F(IniStore, ReadsNamesWithoutCaseAndValuesByTheVariablesRules) {
    WriteFile("[SYSTEM]\r\nStay_On_Top=TRUE\r\nupdate_interval_ms=fast\r\n"
              "[system]\r\nscan_window_at_mouse=true\r\n"
              "[window]\r\nwidth = 0x10 \r\nheight=\r\nmaxed=yes\r\nleft='12'\r\ntop=\"  34\"\r\n"
              "[gui]\r\nfont_main=\r\n[tabs]\r\nupdate_interval_ms=7\r\n"
              "[tabs.messages]\r\nfilter=  \"  wm_  \"  \r\n");
    TEasyConfigIni config(FileName);
    TProgramSettings settings(config);
    settings.FontMain.SetValue("Tahoma");
    settings.TabInterval.SetValue(16);
    config.Load();
    EXPECT_TRUE(settings.StayOnTop.Value);
    EXPECT_EQ(settings.UpdateInterval.Value, 33);
    EXPECT_TRUE(settings.ScanAtMouse.Value)
        << "only the first [system] section counts, so this is the default";
    EXPECT_EQ(settings.Width.Value, 16);
    EXPECT_EQ(settings.Height.Value, 533) << "an empty integer keeps its value";
    EXPECT_FALSE(settings.Maxed.Value);
    EXPECT_EQ(settings.Left.Value, 12);
    EXPECT_EQ(settings.Top.Value, 34);
    EXPECT_EQ(settings.FontMain.Value, "") << "an empty string value is read as empty";
    EXPECT_EQ(settings.TabInterval.Value, 16) << "a variable that is not stored is never read";
    EXPECT_EQ(settings.Filter.Value, "  wm_  ");
}

TEST_F(IniStore, RoundTripsEveryTypeThroughSaveAndLoad) {
    {
        TEasyConfigIni config(FileName);
        TConfigVarBool::Get(&config, "t", "flag", false).SetValue(true);
        TConfigVarInt::Get(&config, "t", "number", 0).SetValue(-123456);
        TConfigVarInt& hex = TConfigVarInt::Get(&config, "t", "hex", 0);
        hex.Hex = true;
        hex.SetValue(-2);
        TConfigVarFloat::Create(&config, "t", "real", 0).SetValue(-0.125L);
        TConfigVarStr::Get(&config, "t", "leading", "").SetValue("  two blanks");
        TConfigVarStr::Get(&config, "t", "trailing", "").SetValue("tab\t");
        TConfigVarStr::Get(&config, "t", "inside", "").SetValue("a  b");
        TConfigVarStr::Get(&config, "t", "quoted", "").SetValue("\"q\"");
        TConfigVarStr::Get(&config, "t", "high", "").SetValue("caf\xE9 \x80\xFF");
        config.Save(true);
    }
    std::string bytes = ReadFile();
    EXPECT_NE(bytes.find("leading=\"  two blanks\"\r\n"), std::string::npos);
    EXPECT_NE(bytes.find("inside=a  b\r\n"), std::string::npos);
    EXPECT_NE(bytes.find("hex=0xFFFFFFFE\r\n"), std::string::npos);
    TEasyConfigIni config(FileName);
    TConfigVarBool& flag = TConfigVarBool::Get(&config, "t", "flag", false);
    TConfigVarInt& number = TConfigVarInt::Get(&config, "t", "number", 0);
    TConfigVarInt& hex = TConfigVarInt::Get(&config, "t", "hex", 0);
    TConfigVarFloat& real = TConfigVarFloat::Create(&config, "t", "real", 0);
    TConfigVarStr& leading = TConfigVarStr::Get(&config, "t", "leading", "");
    TConfigVarStr& trailing = TConfigVarStr::Get(&config, "t", "trailing", "");
    TConfigVarStr& inside = TConfigVarStr::Get(&config, "t", "inside", "");
    TConfigVarStr& quoted = TConfigVarStr::Get(&config, "t", "quoted", "");
    TConfigVarStr& high = TConfigVarStr::Get(&config, "t", "high", "");
    config.Load();
    EXPECT_TRUE(flag.Value);
    EXPECT_EQ(number.Value, -123456);
    EXPECT_EQ(hex.Value, -2);
    EXPECT_EQ(real.Value, -0.125L);
    EXPECT_EQ(leading.Value, "  two blanks");
    EXPECT_EQ(trailing.Value, "tab\t");
    EXPECT_EQ(inside.Value, "a  b");
    EXPECT_EQ(quoted.Value, "q") << "one enclosing pair of quotes is always removed on reading";
    EXPECT_EQ(high.Value, "caf\xE9 \x80\xFF");
}

TEST_F(IniStore, SaveKeepsForeignLinesAndChangesOnlyModifiedKeys) {
    const std::string before = "; written by hand\r\n"
                               "[Other]\r\nkey = value ; not a comment\r\n\r\n"
                               "[system]\r\n  STAY_ON_TOP = false   \r\nupdate_interval_ms=20\n"
                               "\r\n[window]\r\nwidth=1\r\n\r\n[zzz]\r\nfoo=bar";
    WriteFile(before);
    {
        TEasyConfigIni config(FileName);
        TProgramSettings settings(config);
        config.Load();
        EXPECT_EQ(settings.UpdateInterval.Value, 20);
        settings.StayOnTop.SetValue(true);
        settings.Height.SetValue(600);
        settings.VisibleOnly.SetValue(true);
        config.Save(true);
        EXPECT_FALSE(settings.StayOnTop.Modified);
        // A second save has nothing to write, so a change made meanwhile by someone else survives.
        WriteFile(ReadFile() + "[later]\r\nx=1\r\n");
        config.Save(true);
    }
    EXPECT_EQ(ReadFile(), "; written by hand\r\n"
                          "[Other]\r\nkey = value ; not a comment\r\n\r\n"
                          "[system]\r\nSTAY_ON_TOP=true\r\nupdate_interval_ms=20\n"
                          "\r\n[window]\r\nwidth=1\r\nheight=600\r\n\r\n[zzz]\r\nfoo=bar\r\n"
                          "[tabs.enum]\r\nshow_visible_only=true\r\n"
                          "[later]\r\nx=1\r\n");
}

TEST_F(IniStore, ValuesAreCutTo255CharactersOnReading) {
    WriteFile("[s]\r\nlong=" + std::string(300, 'v') + "\r\n");
    TEasyConfigIni config(FileName);
    TConfigVarStr& text = TConfigVarStr::Get(&config, "s", "long", "");
    config.Load();
    EXPECT_EQ(text.Value, std::string(255, 'v'));
}

TEST_F(IniStore, AnEscapeValueReadsAsAbsent) {
    WriteFile("[s]\r\nname=\x1B\r\n");
    TEasyConfigIni config(FileName);
    TConfigVarStr& text = TConfigVarStr::Get(&config, "s", "name", "default");
    text.SetValue("other");
    config.Load();
    EXPECT_EQ(text.Value, "default");
}

TEST_F(IniStore, DamagedFilesLoadWithoutCrashing) {
    const std::string files[] = {
        std::string("[s]\0name=x\r\nnum=5\r\n", 19),
        std::string("[s]\r\nname=a\0b\r\nnum=\0\r\n", 21),
        "\xEF\xBB\xBF[s]\r\nname=bom\r\nnum=9",
        "[s]" + std::string(100000, 'x') + "\r\nname=" + std::string(70000, 'y'),
        "[s]name=noline",
        std::string("\x00\x01\x02\xFF\xFE[\r\r\n]]==\n[s\n=\n", 18),
        "\n\n\n[",
    };
    for (const std::string& bytes : files) {
        WriteFile(bytes);
        TEasyConfigIni config(FileName);
        TConfigVarStr& text = TConfigVarStr::Get(&config, "s", "name", "d");
        TConfigVarInt& number = TConfigVarInt::Get(&config, "s", "num", 1);
        config.Load();
        EXPECT_LE(text.Value.size(), 255u);
        text.SetValue("after");
        config.Save(true);
        TEasyConfigIni again(FileName);
        TConfigVarStr& reread = TConfigVarStr::Get(&again, "s", "name", "d");
        TConfigVarInt::Get(&again, "s", "num", 1);
        again.Load();
        EXPECT_EQ(reread.Value, "after");
        (void)number;
    }
    WriteFile("\xEF\xBB\xBF[s]\r\nname=bom\r\nnum=9");
    TEasyConfigIni config(FileName);
    TConfigVarStr& text = TConfigVarStr::Get(&config, "s", "name", "d");
    TConfigVarInt& number = TConfigVarInt::Get(&config, "s", "num", 1);
    config.Load();
    EXPECT_EQ(text.Value, "bom") << "a byte-order mark does not hide the first section";
    EXPECT_EQ(number.Value, 9);
}

TEST_F(IniStore, AFailedWriteLeavesTheOldFileIntact) {
    const std::string original = "[system]\r\nstay_on_top=false\r\n";
    WriteFile(original);
    fs::permissions(FileName, fs::perms::owner_read, fs::perm_options::replace);
    {
        TEasyConfigIni config(FileName);
        TConfigVarBool::Get(&config, "system", "stay_on_top", false).SetValue(true);
        config.Save(true);
    }
    fs::permissions(FileName, fs::perms::owner_read | fs::perms::owner_write, fs::perm_options::replace);
    EXPECT_EQ(ReadFile(), original);

    TEasyConfigIni nowhere((Folder / "missing" / "folder" / "Paneprobe.ini").string());
    TConfigVarBool::Get(&nowhere, "system", "stay_on_top", false).SetValue(true);
    nowhere.Save(true);
    EXPECT_FALSE(fs::exists(Folder / "missing"));
    for (const auto& entry : fs::directory_iterator(Folder))
        EXPECT_EQ(entry.path().filename(), "Paneprobe.ini") << "no temporary file is left behind";
}

// A store whose reading of an existing file fails part-way, as a failing disk or a locked file would.
class TStoreWithFailingRead : public TEasyConfigIni {
  public:
    using TEasyConfigIni::TEasyConfigIni;
    mutable int Replacements = 0;

  protected:
    TFileRead ReadSettings(std::string& bytes) const override {
        TEasyConfigIni::ReadSettings(bytes);
        bytes.resize(bytes.size() / 2);
        return TFileRead::Failed;
    }
    bool ReplaceSettings(const std::string& bytes) const override {
        ++Replacements;
        return TEasyConfigIni::ReplaceSettings(bytes);
    }
};

TEST_F(IniStore, AFileThatCannotBeReadCompletelyIsNeverReplaced) {
    const std::string original = "; mine\r\n[other]\r\nkeep=1\r\n[system]\r\nstay_on_top=false\r\n";
    WriteFile(original);
    TStoreWithFailingRead config(FileName);
    TConfigVarBool& top = TConfigVarBool::Get(&config, "system", "stay_on_top", false);
    top.SetValue(true);
    config.Save(true);
    EXPECT_EQ(config.Replacements, 0);
    EXPECT_EQ(ReadFile(), original);
    EXPECT_TRUE(top.Modified) << "what was not written stays to be written";
}

TEST_F(IniStore, ReadingTellsAMissingFileFromOneThatCannotBeRead) {
    std::string bytes = "left over";
    EXPECT_EQ(ReadWholeFile(FileName, bytes), TFileRead::Missing);
    EXPECT_EQ(bytes, "");
    WriteFile("[s]\r\n");
    EXPECT_EQ(ReadWholeFile(FileName, bytes), TFileRead::Complete);
    EXPECT_EQ(bytes, "[s]\r\n");
    fs::remove(FileName);
    fs::create_directory(FileName); // exists, but holds no bytes to read
    EXPECT_EQ(ReadWholeFile(FileName, bytes), TFileRead::Failed);
    EXPECT_FALSE(ReadFileBytes(FileName, bytes));

    // A store saving over it keeps its hands off, and a missing file is still created.
    TEasyConfigIni config(FileName);
    TConfigVarBool::Get(&config, "system", "stay_on_top", false).SetValue(true);
    config.Save(true);
    EXPECT_TRUE(fs::is_directory(FileName));
    fs::remove(FileName);
    TConfigVarBool::Get(&config, "system", "stay_on_top", false).SetValue(true);
    config.Save(true);
    EXPECT_EQ(ReadFile(), "[system]\r\nstay_on_top=true\r\n");
}

TEST_F(IniStore, TheReplacementKeepsTheOldFilesPermissions) {
    WriteFile("[system]\r\nstay_on_top=false\r\n");
    const fs::perms wanted = fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read;
    fs::permissions(FileName, wanted, fs::perm_options::replace);
    TEasyConfigIni config(FileName);
    TConfigVarBool::Get(&config, "system", "stay_on_top", false).SetValue(true);
    config.Save(true);
    EXPECT_EQ(ReadFile(), "[system]\r\nstay_on_top=true\r\n");
    EXPECT_EQ(fs::status(FileName).permissions() & fs::perms::all, wanted);
}

TEST_F(IniStore, TheNextSaveRemovesATemporaryFileLeftByAnInterruptedOne) {
    struct Case {
        const char* name;
        bool modify;
        std::string temporary;
    } cases[] = {{"a save that writes", true, TemporaryFileName(FileName)},
                 {"a save with nothing to write", false, TemporaryFileName(FileName)},
                 {"the name of earlier versions, writing", true, FileName + ".tmp"},
                 {"the name of earlier versions, nothing to write", false, FileName + ".tmp"}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string& temporary = c.temporary;
        WriteFile("[system]\r\nstay_on_top=false\r\n");
        { std::ofstream(temporary, std::ios::binary) << "[system]\r\nhalf"; }
        fs::permissions(temporary, fs::perms::owner_read, fs::perm_options::replace);
        TEasyConfigIni config(FileName);
        TConfigVarBool& top = TConfigVarBool::Get(&config, "system", "stay_on_top", false);
        if (c.modify) top.SetValue(true);
        config.Save(true);
        EXPECT_FALSE(fs::exists(temporary));
        EXPECT_EQ(ReadFile(),
                  c.modify ? "[system]\r\nstay_on_top=true\r\n" : "[system]\r\nstay_on_top=false\r\n");
    }
}

// A second running copy of the program: a child process that reports the temporary name it would save
// through and then waits, alive, until it is told to end.
class TOtherCopy {
  public:
    explicit TOtherCopy(const std::string& fileName) {
        if (pipe(report) != 0 || pipe(release) != 0) return;
        child = fork();
        if (child == 0) {
            close(report[0]);
            close(release[1]);
            std::string name = TemporaryFileName(fileName);
            if (write(report[1], name.data(), name.size()) < 0) _exit(2);
            close(report[1]);
            char done = 0;
            // The parent's end of the pipe closes when it ends, so the child never outlives it.
            if (read(release[0], &done, 1) < 0) _exit(3);
            _exit(0);
        }
        close(report[1]);
        close(release[0]);
        char buffer[4096];
        alarm(10); // watchdog: a child that never reports fails the test instead of hanging it
        ssize_t got = read(report[0], buffer, sizeof buffer);
        alarm(0);
        if (got > 0) Temporary.assign(buffer, static_cast<size_t>(got));
    }
    ~TOtherCopy() {
        close(release[1]);
        close(report[0]);
        if (child > 0) waitpid(child, nullptr, 0);
    }
    std::string Temporary;

  private:
    int report[2] = {-1, -1};
    int release[2] = {-1, -1};
    pid_t child = -1;
};

TEST_F(IniStore, TwoRunningCopiesNeverShareOrRemoveEachOthersTemporary) {
    TOtherCopy other(FileName);
    ASSERT_FALSE(other.Temporary.empty()) << "the other copy did not report";
    EXPECT_NE(other.Temporary, TemporaryFileName(FileName));
    EXPECT_EQ(fs::path(other.Temporary).parent_path(), fs::path(FileName).parent_path()) << "beside the file";

    // The other copy is in the middle of its save while this one saves.
    { std::ofstream(other.Temporary, std::ios::binary) << "[system]\r\nhalf"; }
    WriteFile("[system]\r\nstay_on_top=false\r\n");
    TEasyConfigIni config(FileName);
    TConfigVarBool::Get(&config, "system", "stay_on_top", false).SetValue(true);
    config.Save(true);
    EXPECT_EQ(ReadFile(), "[system]\r\nstay_on_top=true\r\n");
    EXPECT_TRUE(fs::exists(other.Temporary)) << "another running copy's temporary was removed";
}

TEST(SettingsFileName, ReplacesOnlyTheExecutablesExtensionWhateverThePathsLength) {
    const std::string deep = "C:\\" + std::string(300, 'd') + "\\more.dir\\";
    const struct {
        std::string Executable;
        std::string Expected;
    } cases[] = {
        {"C:\\Tools\\Paneprobe.exe", "C:\\Tools\\Paneprobe.ini"},
        {deep + "Paneprobe.exe", deep + "Paneprobe.ini"},
        {deep + "Paneprobe", deep + "Paneprobe.ini"},
        {"C:\\my.tools\\Paneprobe", "C:\\my.tools\\Paneprobe.ini"},
        {"/opt/pane.probe/run.x.exe", "/opt/pane.probe/run.x.ini"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(SettingsFileNameFor(c.Executable), c.Expected);
}

TEST(IniText, WritesIntoTheRightPlaces) {
    TIniText ini("[a]\r\nx=1\r\n\r\n[b]\r\n");
    ini.Write("A", "y", "2");
    ini.Write("b", "z", "3");
    ini.Write("c", "w", "");
    ini.Write("a", "X", "9");
    EXPECT_EQ(ini.Bytes(), "[a]\r\nx=9\r\ny=2\r\n\r\n[b]\r\nz=3\r\n[c]\r\nw=\r\n");
    EXPECT_EQ(ini.Read("C", "W"), std::optional<std::string>(""));
    EXPECT_EQ(ini.Read("c", "v"), std::nullopt);
    EXPECT_EQ(ini.Read("d", "w"), std::nullopt);
}

} // namespace

// The file is UTF-8; one written by an older build in an ANSI page still loads, byte for byte, and a save
// that changes another key leaves its bytes as they were.
TEST_F(IniStore, TextsLoadByteForByteAndAreCutBetweenCharacters) {
    const std::string ansiLine = "[tabs.messages]\r\nfilter=caf\xE9 M\xFCller\r\n";
    WriteFile(ansiLine + "[s]\r\nutf8=" + std::string(254, 'v') + "\xC3\xA9\r\n");
    {
        TEasyConfigIni config(FileName);
        TConfigVarStr& filter = TConfigVarStr::Get(&config, "tabs.messages", "filter", "");
        TConfigVarStr& utf8 = TConfigVarStr::Get(&config, "s", "utf8", "");
        TConfigVarInt& left = TConfigVarInt::Get(&config, "window", "left", 0);
        config.Load();
        EXPECT_EQ(filter.Value, "caf\xE9 M\xFCller");
        EXPECT_EQ(utf8.Value, std::string(254, 'v')) << "the two-byte letter does not fit in 255 bytes";
        left.SetValue(3);
        config.Save(true);
    }
    EXPECT_EQ(ReadFile().substr(0, ansiLine.size()), ansiLine);
}
