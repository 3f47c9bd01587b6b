// The input dialog as the user meets it: title, prompt, pre-selected value, confirm and cancel paths.
#include "DialogAnswerer.h"
#include "ui/QrDialogs.h"

#include <gtest/gtest.h>

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

TEST(InputDialog, ShowsPromptAndSelectsTheWholeValue) {
    std::string value = "0x94CF0000";
    TDialogAnswerer answerer({{"Please Enter a Value", TAnswer::Escape, ""}});
    EXPECT_FALSE(InputDialog(nullptr, "Enter the new style value...", value, nullptr, ""));
    const auto& seen = answerer.Seen();
    ASSERT_EQ(seen.size(), 1u) << "an empty caption gives the default title";
    EXPECT_EQ(seen[0].Prompt, "Enter the new style value...");
    EXPECT_EQ(seen[0].InitialText, "0x94CF0000");
    EXPECT_EQ(seen[0].Selection, "0x94CF0000") << "typing must replace the initial value";
}

TEST(InputDialog, AcceptsAtMost32766Characters) {
    std::string value;
    std::string tooLong(40000, 'a');
    TDialogAnswerer answerer({{"Long", TAnswer::TypeAndOk, tooLong}});
    ASSERT_TRUE(InputDialog(nullptr, "", value, nullptr, "Long"));
    answerer.Seen();
    // WM_SETTEXT ignores the limit, so the limit is checked on what the user can type: EM_GETLIMITTEXT.
    std::string shortValue = "x";
    HWND hLimitEdit = nullptr;
    UINT_PTR limit = 0;
    std::thread probe([&] {
        for (int i = 0; i < 250 && !hLimitEdit; ++i) {
            HWND hDlg = FindOwnDialog("Limit");
            if (hDlg) {
                Sleep(30);
                hLimitEdit = GetDlgItem(hDlg, 11);
                limit = static_cast<UINT_PTR>(SendMessageA(hLimitEdit, EM_GETLIMITTEXT, 0, 0));
                PostMessageA(hDlg, WM_COMMAND, IDCANCEL, 0);
            } else {
                Sleep(20);
            }
        }
    });
    InputDialog(nullptr, "", shortValue, nullptr, "Limit");
    probe.join();
    EXPECT_EQ(limit, 32766u);
}

TEST(InputDialog, UsesAFixedPitchFontThatIsReleasedOnClose) {
    std::string value = "abc";
    HFONT font = nullptr;
    std::thread probe([&] {
        for (int i = 0; i < 250; ++i) {
            HWND hDlg = FindOwnDialog("Font");
            if (!hDlg) {
                Sleep(20);
                continue;
            }
            Sleep(30);
            font = reinterpret_cast<HFONT>(SendMessageA(GetDlgItem(hDlg, 11), WM_GETFONT, 0, 0));
            LOGFONTA description = {};
            GetObjectA(font, sizeof description, &description);
            EXPECT_STREQ(description.lfFaceName, "Courier New");
            EXPECT_EQ(description.lfHeight, 13);
            PostMessageA(hDlg, WM_COMMAND, IDCANCEL, 0);
            return;
        }
    });
    InputDialog(nullptr, "", value, nullptr, "Font");
    probe.join();
    ASSERT_NE(font, nullptr);
    LOGFONTA after = {};
    EXPECT_EQ(GetObjectA(font, sizeof after, &after), 0) << "the edit's font must be deleted with the dialog";
}

TEST(InputDialog, FailsWithoutTheTemplate) {
    std::string value = "kept";
    // kernel32 holds no dialog 1001, so the dialog cannot be created.
    EXPECT_FALSE(InputDialog(nullptr, "", value, GetModuleHandleA("kernel32.dll"), ""));
    EXPECT_EQ(value, "kept");
}

} // namespace
