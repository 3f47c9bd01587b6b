// The snapshot file and its comparison: escaping, writing and reading back, the reader's messages on
// damaged files, and which differences two snapshots show.
#include "snapshot/SnapshotCompare.h"
#include "snapshot/SnapshotFile.h"
#include "snapshot/SnapshotText.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

TSnapshotWindow Window(std::string className, std::string id, std::string caption,
                       std::vector<TSnapshotValue> values = {}) {
    TSnapshotWindow window;
    window.ClassName = std::move(className);
    window.ControlId = std::move(id);
    window.Caption = std::move(caption);
    window.Values = std::move(values);
    return window;
}

// A dialog with two buttons of one id told apart by caption, an edit, and a static under the edit.
TSnapshot Dialog() {
    TSnapshot snapshot;
    const int root =
        snapshot.Add(-1, Window("#32770", "", "Settings",
                                {{"Style: Style", "0x94c800c4", false}, {"Tracked: Handle", "0x10", true}}));
    snapshot.Add(root, Window("Button", "1", "OK", {{"Rect: Rect of Window", "1 x 2 / 3 x 4", false}}));
    snapshot.Add(root, Window("Button", "1", "Cancel"));
    const int edit = snapshot.Add(root, Window("Edit", "5", "text\nwith\tbreaks"));
    snapshot.Add(edit, Window("Static", "6", ""));
    return snapshot;
}

std::vector<std::string> Summary(const std::vector<TSnapshotDifference>& differences) {
    std::vector<std::string> lines;
    for (const TSnapshotDifference& d : differences) {
        std::string line = std::string(DifferenceKindText(d.Kind)) + " " + d.Path;
        if (d.Kind == TDifferenceKind::Changed)
            line += " " + d.Name + ": " + (d.OldAbsent ? "-" : d.Old) + " -> " + (d.NewAbsent ? "-" : d.New);
        lines.push_back(line);
    }
    return lines;
}

} // namespace

TEST(SnapshotText, EscapedTextStaysOnOneLineAndReadsBack) {
    const std::string texts[] = {"plain",       "a\nb\r\nc",  "tab\there", std::string("nul\0x", 5),
                                 "back\\slash", "trailing  ", "a = b ~ c", "[bracket]",
                                 "/path#id~2",  "\x7f\x01",   "Grüße ✓"};
    for (const std::string& text : texts) {
        for (const std::string& escaped : {EscapeValue(text), EscapeName(text)}) {
            for (char c : escaped)
                EXPECT_FALSE(static_cast<unsigned char>(c) < 0x20 || c == 0x7f) << escaped;
            EXPECT_TRUE(escaped.empty() || escaped.back() != ' ') << escaped;
            std::string back, error;
            ASSERT_TRUE(Unescape(escaped, back, error)) << error;
            EXPECT_EQ(back, text);
        }
        const std::string name = EscapeName(text);
        EXPECT_EQ(name.find('='), std::string::npos) << name;
        EXPECT_EQ(name.find('~'), std::string::npos) << name;
        EXPECT_NE(name.substr(0, 1), "[");
        const std::string element = PathElement(text, "");
        EXPECT_EQ(element.find_first_of("/~[]"), std::string::npos) << element;
    }
    std::string out, error;
    EXPECT_FALSE(Unescape("bad \\q escape", out, error));
    EXPECT_NE(error.find("\\q"), std::string::npos) << error;
    EXPECT_FALSE(Unescape("cut \\x4", out, error));
}

TEST(SnapshotFile, WritesAStableReadableText) {
    const std::string text = WriteSnapshot(Dialog());
    EXPECT_EQ(text, "Paneprobe snapshot 1\n"
                    "\n[/#32770]\nclass = #32770\nid = \ncaption = Settings\n"
                    "Style: Style = 0x94c800c4\nTracked: Handle ~ 0x10\n"
                    "\n[/#32770/Button#1]\nclass = Button\nid = 1\ncaption = OK\n"
                    "Rect: Rect of Window = 1 x 2 / 3 x 4\n"
                    "\n[/#32770/Button#1~2]\nclass = Button\nid = 1\ncaption = Cancel\n"
                    "\n[/#32770/Edit#5]\nclass = Edit\nid = 5\ncaption = text\\nwith\\tbreaks\n"
                    "\n[/#32770/Edit#5/Static#6]\nclass = Static\nid = 6\ncaption = \n");
    EXPECT_EQ(WriteSnapshot(Dialog()), text);
}

TEST(SnapshotFile, ReadsBackWhatItWrote) {
    TSnapshot written = Dialog();
    // Names and texts that look like the file's own structure.
    written.Windows[1].Values.push_back({"[odd] = name ~", " value = with ~ separators ", false});
    written.Windows[1].Values.push_back({"", "", true});
    written.Add(0, Window("a/b#c~d[e]", "x/y", "", {{"p", "\\x41", false}}));
    const std::string text = WriteSnapshot(written);
    for (const std::string& variant :
         {text, [&] {
              std::string crlf; // the same file after an editor turned its line ends into CR LF
              for (char c : text)
                  crlf += c == '\n' ? std::string("\r\n") : std::string(1, c);
              return crlf;
          }()}) {
        TSnapshot read;
        std::string error;
        ASSERT_TRUE(ReadSnapshot(variant, read, error)) << error;
        EXPECT_TRUE(read.SameAs(written));
    }
}

TEST(SnapshotFile, DamagedOrForeignTextNamesTheLine) {
    const std::string head = "Paneprobe snapshot 1\n[/A]\nclass = A\nid = \ncaption = \n";
    const struct {
        std::string text;
        std::string message;
    } cases[] = {
        {"", "line 1: not a Paneprobe snapshot"},
        {"[Settings]\nfont=Tahoma\n", "line 1: not a Paneprobe snapshot"},
        {"Paneprobe snapshot 2\n", "line 1: snapshot version \"2\""},
        {"Paneprobe snapshot 1\n", "line 1: no window section"},
        {"Paneprobe snapshot 1\nx = 1\n", "line 2: a value outside a window section"},
        {"Paneprobe snapshot 1\n[A]\n", "line 2: a window header"},
        {"Paneprobe snapshot 1\n[/A/B]\n", "line 2: the parent of /A/B"},
        {"Paneprobe snapshot 1\n[/A]\nid = 1\n", "line 3: expected the window's \"class = \" line"},
        {"Paneprobe snapshot 1\n[/A]\nclass = A\n\n[/A/B]\n",
         "line 5: the window's section ends without its \"id"},
        {"Paneprobe snapshot 1\n[/A]\nclass = A\nid = \n",
         "line 4: the window's section ends without its \"caption"},
        {head + "no separator\n", "line 6: expected \"name = value\""},
        {head + "name = bad \\q\n", "line 6: \"\\q\" is not an escape"},
        {head + "name = raw\x01"
                "control\n",
         "line 6: a raw control character (1)"},
        {head + "[/A/B]\nclass = B\nid = \ncaption = \n[/A/B]\n", "line 10: a second section for /A/B"},
        {head + "[/C]\n", "line 6: a second root window"},
        {head + "[/A/B\n", "line 6: a window header"},
    };
    for (const auto& c : cases) {
        TSnapshot snapshot;
        std::string error;
        EXPECT_FALSE(ReadSnapshot(c.text, snapshot, error)) << c.text;
        EXPECT_EQ(error.substr(0, c.message.size()), c.message) << c.text;
        EXPECT_TRUE(snapshot.Empty());
    }
}

TEST(SnapshotFile, EmptyValueWithTrimmedSeparatorReads) {
    TSnapshot snapshot;
    std::string error;
    ASSERT_TRUE(
        ReadSnapshot("Paneprobe snapshot 1\n[/A]\nclass = A\nid =\ncaption =\nx ~\n", snapshot, error))
        << error;
    ASSERT_EQ(snapshot.Windows[0].Values.size(), 1u);
    EXPECT_TRUE(snapshot.Windows[0].Values[0].RunDependent);
    EXPECT_EQ(snapshot.Windows[0].Values[0].Value, "");
}

TEST(SnapshotCompare, ShowsExactlyWhatChanged) {
    using TEdit = void (*)(TSnapshot&);
    const struct {
        const char* what;
        TEdit edit;
        std::vector<std::string> expected;
    } cases[] = {
        {"nothing", [](TSnapshot&) {}, {}},
        {"a run-dependent value", [](TSnapshot& s) { s.Windows[0].Values[1].Value = "0x20"; }, {}},
        {"a style",
         [](TSnapshot& s) { s.Windows[0].Values[0].Value = "0x94c000c4"; },
         {"Changed /#32770 Style: Style: 0x94c800c4 -> 0x94c000c4"}},
        {"a caption of a window with its own key",
         [](TSnapshot& s) { s.Windows[3].Caption = "new"; },
         {"Changed /#32770/Edit#5 caption: text\nwith\tbreaks -> new"}},
        {"a value that appears and one that goes",
         [](TSnapshot& s) {
             s.Windows[0].Values.erase(s.Windows[0].Values.begin());
             s.Windows[4].Values.push_back({"Properties list: Atom", "0x1", true});
         },
         {"Changed /#32770 Style: Style: 0x94c800c4 -> -",
          "Changed /#32770/Edit#5/Static#6 Properties list: Atom: - -> 0x1"}},
        {"siblings of one key in another order",
         [](TSnapshot& s) { std::swap(s.Windows[0].Children[0], s.Windows[0].Children[1]); },
         {}},
        {"an added child",
         [](TSnapshot& s) { s.Add(4, Window("Button", "7", "new")); },
         {"Added /#32770/Edit#5/Static#6/Button#7"}},
        {"a removed subtree",
         [](TSnapshot& s) { s.Windows[0].Children.pop_back(); },
         {"Removed /#32770/Edit#5", "Removed /#32770/Edit#5/Static#6"}},
        {"a caption among siblings of one key: another window",
         [](TSnapshot& s) { s.Windows[2].Caption = "Close"; },
         {"Added /#32770/Button#1~2", "Removed /#32770/Button#1~2"}},
    };
    const TSnapshot older = Dialog();
    for (const auto& c : cases) {
        TSnapshot newer = Dialog();
        c.edit(newer);
        EXPECT_EQ(Summary(CompareSnapshots(older, newer)), c.expected) << c.what;
    }
}

TEST(SnapshotCompare, SiblingsSharingEverythingPairInOrder) {
    TSnapshot older, newer;
    for (TSnapshot* s : {&older, &newer}) {
        const int root = s->Add(-1, Window("Frame", "", ""));
        for (int i = 0; i < 3; ++i)
            s->Add(root, Window("Static", "0", "", {{"Rect", std::to_string(i), false}}));
    }
    newer.Windows[3].Values[0].Value = "9";
    newer.Add(0, Window("Static", "0", "", {{"Rect", "3", false}}));
    EXPECT_EQ(
        Summary(CompareSnapshots(older, newer)),
        (std::vector<std::string>{"Added /Frame/Static#0~4", "Changed /Frame/Static#0~3 Rect: 2 -> 9"}));
}

TEST(SnapshotCompare, DifferencesCopyAsOneLineEach) {
    TSnapshot newer = Dialog();
    newer.Windows[3].Caption = "two\nlines";
    newer.Windows[0].Children.pop_back();
    const std::string text = DifferencesText(CompareSnapshots(Dialog(), newer));
    EXPECT_EQ(text, "Difference\tWindow\tValue\tOld\tNew\n"
                    "Removed\t/#32770/Edit#5\t\n"
                    "Removed\t/#32770/Edit#5/Static#6\t\n");
    newer = Dialog();
    newer.Windows[3].Caption = "two\nlines";
    EXPECT_EQ(DifferencesText(CompareSnapshots(Dialog(), newer)),
              "Difference\tWindow\tValue\tOld\tNew\n"
              "Changed\t/#32770/Edit#5\tcaption\ttext\\nwith\\tbreaks\ttwo\\nlines\n");
}
