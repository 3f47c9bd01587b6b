// The input dialog as the user meets it: title, prompt, pre-selected value, confirm and cancel paths.
#include "DialogAnswerer.h"
#include "ui/QrDialogs.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

TEST(InputDialog, ConfirmAndCancelPaths) {
    struct Case {
        const char* name;
        TAnswer answer;
        const char* typed;
        bool confirmed;
        const char* valueAfter;
    } cases[] = {
        {"Enter confirms the edited text", TAnswer::TypeAndEnter, "new text", true, "new text"},
        {"OK confirms the edited text", TAnswer::TypeAndOk, "other", true, "other"},
        {"an empty answer confirms an empty value", TAnswer::TypeAndEnter, "", true, ""},
        {"OK unchanged gives the initial value", TAnswer::Ok, "", true, "initial"},
        {"Escape cancels", TAnswer::Escape, "", false, "initial"},
        {"the close box cancels", TAnswer::CloseBox, "", false, "initial"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        std::string value = "initial";
        TDialogAnswerer answerer({{"Title", c.answer, c.typed}});
        bool confirmed = InputDialog(nullptr, "The prompt", value, nullptr, "Title");
        ASSERT_EQ(answerer.Seen().size(), 1u);
        EXPECT_EQ(confirmed, c.confirmed);
        EXPECT_EQ(value, c.valueAfter);
    }
}

TEST(InputDialog, OpensWithPromptSelectedValueLimitAndFont) {
    std::string value = "0x94CF0000";
    TDialogAnswerer answerer({{"Please Enter a Value", TAnswer::Escape, ""}});
    EXPECT_FALSE(InputDialog(nullptr, "Enter the new style value...", value, nullptr, ""));
    const auto& seen = answerer.Seen();
    ASSERT_EQ(seen.size(), 1u) << "an empty caption gives the default title";
    EXPECT_EQ(seen[0].Prompt, "Enter the new style value...");
    EXPECT_EQ(seen[0].InitialText, "0x94CF0000");
    EXPECT_EQ(seen[0].Selection, "0x94CF0000") << "typing must replace the initial value";
    EXPECT_EQ(seen[0].EditLimit, 32766u);
    EXPECT_STREQ(seen[0].EditFontInfo.lfFaceName, "Courier New");
    EXPECT_EQ(seen[0].EditFontInfo.lfHeight, -13) << "a character height of 13 pixels";
    LOGFONTA after = {};
    EXPECT_EQ(GetObjectA(seen[0].EditFont, sizeof after, &after), 0)
        << "the edit's font goes with the dialog";
}

// Anyone may send the dialog WM_INITDIALOG again, with no data or with zeroed data: it keeps its own, and
// the answer typed afterwards still comes back.
TEST(InputDialog, ALateInitDialogChangesNothing) {
    std::vector<char> zeroes(4096);
    std::string value = "initial";
    TDialogAnswerer answerer({{"Title", TAnswer::TypeAndOk, "typed", [&] {
                                   HWND hDlg = FindWindowA(nullptr, "Title");
                                   for (LPARAM data : {LPARAM(0), reinterpret_cast<LPARAM>(zeroes.data())})
                                       SendMessageA(hDlg, WM_INITDIALOG, 0, data);
                               }}});
    EXPECT_TRUE(InputDialog(nullptr, "The prompt", value, nullptr, "Title"));
    ASSERT_EQ(answerer.Seen().size(), 1u);
    EXPECT_EQ(value, "typed");
}

TEST(InputDialog, FailsWithoutTheTemplate) {
    std::string value = "kept";
    // kernel32 holds no dialog 1001, so the dialog cannot be created.
    EXPECT_FALSE(InputDialog(nullptr, "", value, GetModuleHandleA("kernel32.dll"), ""));
    EXPECT_EQ(value, "kept");
}

// The limit is what the user may type: a longer value given to the dialog, up to the most "Set Window
// Text..." reads from a window, comes back whole when confirmed unchanged, whatever its characters.
TEST(InputDialog, ALongValueConfirmedUnchangedComesBackWhole) {
    const struct {
        const char* Unit;
        size_t Count;
    } cases[] = {{"x", 40000}, {"\xC3\xA9", 40000}, {"\xE4\xBD\xA0", 65535}, {"\xF0\x9F\x98\x80", 20000}};
    for (const auto& c : cases) {
        std::string value;
        for (size_t i = 0; i < c.Count; ++i)
            value += c.Unit;
        const std::string given = value;
        TDialogAnswerer answerer({{"Title", TAnswer::Ok, ""}});
        ASSERT_TRUE(InputDialog(nullptr, "", value, nullptr, "Title"));
        EXPECT_EQ(value.size(), given.size()) << c.Unit;
        EXPECT_TRUE(value == given) << c.Unit;
    }
}

} // namespace
