// Automatic accelerator letters: which letter each item of a menu level gets.
#include "ui/MenuHotkeys.h"

#include <gtest/gtest.h>

namespace {

using Captions = std::vector<std::string>;

TEST(MenuHotkeys, HotkeyOfACaption) {
    struct Case {
        const char* caption;
        char key;
    };
    const Case cases[] = {{"&Main", 'M'},       {"Ma&ke", 'K'},   {"No letter", 0},  {"Fish && &chips", 'C'},
                          {"Fish && chips", 0}, {"Trailing&", 0}, {"&9 lives", '9'}, {"", 0}};
    for (const Case& c : cases)
        EXPECT_EQ(HotkeyOf(c.caption), c.key) << c.caption;
}

TEST(MenuHotkeys, EachItemGetsTheFirstLetterNotYetTaken) {
    struct Case {
        const char* name;
        Captions captions;
        Captions shown;
    };
    const Case cases[] = {
        {"the Windows menu",
         {"GetDesktopWindow()", "GetClipboardOwner()", "GetClipboardViewer()", "GetOpenClipboardWindow()",
          "-", "Obtain Parent Handle"},
         {"&GetDesktopWindow()", "G&etClipboardOwner()", "Ge&tClipboardViewer()", "Get&OpenClipboardWindow()",
          "-", "O&btain Parent Handle"}},
        {"own letters are kept and taken first",
         {"Quit now", "&About...", "-", "&Quit"},
         {"Q&uit now", "&About...", "-", "&Quit"}},
        {"case does not matter; spaces and signs are skipped",
         {"ab", "A b", "(x)", "a.b"},
         {"&ab", "A &b", "(&x)", "a.b"}},
        {"digits count", {"1st", "1 2"}, {"&1st", "1 &2"}},
        {"a literal ampersand is no letter", {"&& more", "a&&b"}, {"&& &more", "&a&&b"}},
        {"separators and empty captions stay", {"-", "", "-"}, {"-", "", "-"}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(AutoHotkeyCaptions(c.captions), c.shown) << c.name;
}

TEST(MenuHotkeys, TheCommandsMenuLetters) {
    const Captions captions = {"Enable",
                               "Visible",
                               "-",
                               "Restore",
                               "Minimize",
                               "Maximize",
                               "-",
                               "Bring to Top",
                               "Send to Back",
                               "Top Most",
                               "-",
                               "Make Viewable",
                               "Set Window Text...",
                               "Move/Size Window...",
                               "Redraw Window",
                               "-",
                               "Horizontal Scrollbar",
                               "Vertical Scrollbar",
                               "-",
                               "Draw Frame (n/a)",
                               "Invert Colors",
                               "-",
                               "Destroy Window...",
                               "End Dialog...",
                               "-",
                               "Set Style...",
                               "Set Extended Style..."};
    const Captions shown = {"&Enable",
                            "&Visible",
                            "-",
                            "&Restore",
                            "&Minimize",
                            "M&aximize",
                            "-",
                            "&Bring to Top",
                            "&Send to Back",
                            "&Top Most",
                            "-",
                            "Ma&ke Viewable",
                            "Set &Window Text...",
                            "M&ove/Size Window...",
                            "Re&draw Window",
                            "-",
                            "&Horizontal Scrollbar",
                            "Vert&ical Scrollbar",
                            "-",
                            "Draw &Frame (n/a)",
                            "I&nvert Colors",
                            "-",
                            "Destro&y Window...",
                            "End Dia&log...",
                            "-",
                            "Set Style...",
                            "Set E&xtended Style..."};
    EXPECT_EQ(AutoHotkeyCaptions(captions), shown);
}

} // namespace
