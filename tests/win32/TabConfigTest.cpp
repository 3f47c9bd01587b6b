// The Config tab inside a real main window: flip, edit, reset, sort, and what reaches the settings file.
#include "DialogAnswerer.h"
#include "FormFixture.h"
#include "config/ConfigRows.h"
#include "config/TabConfig.h"

namespace {

class ConfigTab : public FormTest {
  protected:
    void SetUp() override {
        FormTest::SetUp();
        Show();
    }
    void Show() { form->PageIndex->SetValue(tab().Sheet->PageIndex()); }
    TConfigTab& tab() { return Tab<TConfigTab>(); }
    TNvActionListView& list() { return *tab().ListView; }

    int RowOf(const std::string& fullName) {
        for (int row = 0; row < list().RowCount(); ++row)
            if (list().CellText(row, 0).rfind(fullName + " ", 0) == 0) return row;
        return -1;
    }
    int SelectVariable(const std::string& fullName) {
        int row = RowOf(fullName);
        EXPECT_GE(row, 0) << fullName;
        list().SelectRow(row);
        return row;
    }
    void Press(WORD key) { SendMessageA(list().Handle(), WM_KEYDOWN, key, 0); }
};

TEST_F(ConfigTab, ListsEveryVariableWithValueAndType) {
    ASSERT_EQ(list().RowCount(), ConfigStore->Count());
    EXPECT_EQ(tab().Caption, "Config");
    int row = RowOf("tabs.update_interval_ms");
    ASSERT_GE(row, 0) << "listed although it is never stored";
    EXPECT_EQ(list().CellText(row, 2), "integer");
    row = RowOf("gui.font_main");
    ASSERT_GE(row, 0);
    EXPECT_EQ(list().CellText(row, 0), "gui.font_main ");
    EXPECT_EQ(list().CellText(row, 2), "string");
    // Initially sorted by name, ascending.
    for (int r = 1; r < list().RowCount(); ++r)
        EXPECT_LE(CompareTextNoCase(list().CellText(r - 1, 0), list().CellText(r, 0)), 0) << r;
}

TEST_F(ConfigTab, DoubleClickFlipsABooleanWithoutADialog) {
    auto& stayOnTop = static_cast<TConfigVarBool&>(*ConfigStore->Find("system.stay_on_top"));
    ASSERT_FALSE(stayOnTop.Value);
    int row = SelectVariable("system.stay_on_top");
    RECT place = {};
    ListView_GetItemRect(list().Handle(), row, &place, LVIR_LABEL);
    LPARAM point = MAKELPARAM(place.left + 4, (place.top + place.bottom) / 2);
    SendMessageA(list().Handle(), WM_LBUTTONDOWN, MK_LBUTTON, point);
    SendMessageA(list().Handle(), WM_LBUTTONUP, 0, point);
    SendMessageA(list().Handle(), WM_LBUTTONDBLCLK, MK_LBUTTON, point);
    SendMessageA(list().Handle(), WM_LBUTTONUP, 0, point);
    EXPECT_TRUE(stayOnTop.Value);
    row = RowOf("system.stay_on_top");
    EXPECT_EQ(list().CellText(row, 0), "system.stay_on_top *");
    EXPECT_EQ(list().CellText(row, 1), stayOnTop.AsText());
    EXPECT_TRUE(GetWindowLongA(form->Handle(), GWL_EXSTYLE) & WS_EX_TOPMOST) << "the change took effect";
}

TEST_F(ConfigTab, EnterAsksForAValue) {
    struct Case {
        const char* variable;
        TAnswer answer;
        const char* typed;
        const char* valueAfter;
        bool marked;
    } cases[] = {
        {"system.update_interval_ms", TAnswer::TypeAndEnter, "50", "50", true},
        {"window.maxed", TAnswer::Escape, "", "", false}, // a boolean: flipped, no dialog (checked below)
        {"tabs.page_index", TAnswer::TypeAndOk, "abc", nullptr, true}, // unreadable: value kept, still marked
        {"gui.font_main", TAnswer::Escape, "", "", false},
        {"gui.font_main", TAnswer::TypeAndOk, "Tahoma 9", "Tahoma 9", true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.variable);
        TConfigVar& variable = *ConfigStore->Find(c.variable);
        if (variable.TypeName() == "boolean") continue;
        std::string before = variable.AsText();
        SelectVariable(c.variable);
        TDialogAnswerer answerer({{"Please Enter a Value", c.answer, c.typed}});
        Press(VK_RETURN);
        const auto& seen = answerer.Seen();
        ASSERT_EQ(seen.size(), 1u);
        EXPECT_EQ(seen[0].Prompt,
                  "Enter a new " + variable.TypeName() + " value for \"" + c.variable + "\"...");
        EXPECT_EQ(seen[0].InitialText, before);
        EXPECT_EQ(variable.AsText(), c.answer == TAnswer::Escape || !c.valueAfter ? before : c.valueAfter);
        EXPECT_EQ(variable.Modified, c.marked);
        int row = RowOf(c.variable);
        EXPECT_EQ(list().CellText(row, 0), std::string(c.variable) + (c.marked ? " *" : " "));
        EXPECT_EQ(list().CellText(row, 1), variable.AsText());
    }
}

TEST_F(ConfigTab, DeleteResetsAndMarksEvenADefault) {
    TConfigVar& font = *ConfigStore->Find("gui.font_main");
    ASSERT_FALSE(font.Modified);
    int row = SelectVariable("gui.font_main");
    Press(VK_DELETE);
    EXPECT_TRUE(font.Modified);
    EXPECT_EQ(font.AsText(), "");
    EXPECT_EQ(list().CellText(RowOf("gui.font_main"), 0), "gui.font_main *");
    EXPECT_EQ(list().SelectedIndex(), row) << "the selection keeps its position";

    auto& width = static_cast<TConfigVarInt&>(*ConfigStore->Find("window.width"));
    width.SetValue(600);
    SelectVariable("window.width");
    HoldKeys({VK_SHIFT});
    Press(VK_DELETE);
    HoldKeys({});
    EXPECT_EQ(width.Value, 600) << "Shift+Delete is not the tab's key";
    Press(VK_DELETE);
    EXPECT_EQ(width.Value, width.Default);
}

TEST_F(ConfigTab, SortsByValueAsTextAndKeepsTheSelectedPosition) {
    static_cast<TConfigVarInt&>(*ConfigStore->Find("system.update_interval_ms")).SetValue(33);
    static_cast<TConfigVarInt&>(*ConfigStore->Find("tabs.update_interval_ms")).SetValue(100);
    list().ClickColumn(1);
    EXPECT_EQ(list().SortColumn, 1);
    EXPECT_FALSE(list().SortDescending);
    EXPECT_LT(RowOf("tabs.update_interval_ms"), RowOf("system.update_interval_ms"))
        << "\"100\" before \"33\"";
    for (int r = 1; r < list().RowCount(); ++r)
        EXPECT_LE(CompareTextNoCase(list().CellText(r - 1, 1), list().CellText(r, 1)), 0) << r;
    list().ClickColumn(1);
    EXPECT_TRUE(list().SortDescending);
    EXPECT_GT(RowOf("tabs.update_interval_ms"), RowOf("system.update_interval_ms"));

    // A change made elsewhere re-sorts the list by the new value.
    auto& tabInterval = static_cast<TConfigVarInt&>(*ConfigStore->Find("tabs.update_interval_ms"));
    list().ClickColumn(1);
    ASSERT_FALSE(list().SortDescending);
    tabInterval.SetValue(90);
    EXPECT_EQ(list().CellText(RowOf("tabs.update_interval_ms"), 1), "90");
    EXPECT_EQ(list().CellText(RowOf("tabs.update_interval_ms"), 0), "tabs.update_interval_ms *");
    EXPECT_GT(RowOf("tabs.update_interval_ms"), RowOf("system.update_interval_ms")) << "\"90\" after \"33\"";
    for (int r = 1; r < list().RowCount(); ++r)
        EXPECT_LE(CompareTextNoCase(list().CellText(r - 1, 1), list().CellText(r, 1)), 0) << r;
    EXPECT_EQ(list().RowCount(), ConfigStore->Count());

    // An edit re-sorts; the selection stays at its position although another variable may stand there now.
    list().ClickColumn(0);
    int row = SelectVariable("system.stay_on_top");
    Press(VK_RETURN);
    EXPECT_EQ(list().SelectedIndex(), row);
    Press(VK_RETURN); // and back
}

TEST_F(ConfigTab, AChangeWhileAnotherPageIsShownReachesTheListWhenShown) {
    auto& interval = static_cast<TConfigVarInt&>(*ConfigStore->Find("system.update_interval_ms"));
    const int row = RowOf("system.update_interval_ms");
    ASSERT_GE(row, 0);
    const std::string before = list().CellText(row, 1);
    form->PageIndex->SetValue(tab().Sheet->PageIndex() == 0 ? 1 : 0);
    interval.SetValue(interval.Value + 7);
    EXPECT_EQ(list().CellText(row, 1), before) << "a hidden list did the work of the change";
    Show();
    EXPECT_EQ(list().CellText(RowOf("system.update_interval_ms"), 1), std::to_string(interval.Value));
    EXPECT_EQ(list().RowCount(), ConfigStore->Count());
}

TEST_F(ConfigTab, TheTabIntervalIsShownButNeverSaved) {
    SelectVariable("tabs.update_interval_ms");
    TDialogAnswerer answerer({{"Please Enter a Value", TAnswer::TypeAndOk, "1234"}});
    Press(VK_RETURN);
    ASSERT_EQ(answerer.Seen().size(), 1u);
    EXPECT_EQ(list().CellText(RowOf("tabs.update_interval_ms"), 1), "1234");
    SelectVariable("system.update_interval_ms");
    TDialogAnswerer second({{"Please Enter a Value", TAnswer::TypeAndOk, "44"}});
    Press(VK_RETURN);
    ASSERT_EQ(second.Seen().size(), 1u);
    form.reset(); // saves the modified settings
    char value[32] = {};
    GetPrivateProfileStringA("tabs", "update_interval_ms", "absent", value, sizeof value,
                             SettingsPath().c_str());
    EXPECT_STREQ(value, "absent");
    GetPrivateProfileStringA("system", "update_interval_ms", "absent", value, sizeof value,
                             SettingsPath().c_str());
    EXPECT_STREQ(value, "44") << "an ordinary setting changed in the tab is saved";
}

TEST_F(ConfigTab, FocusReturnsToTheListWhenTheDialogCloses) {
    SetForegroundWindow(form->Handle());
    for (TAnswer answer : {TAnswer::Escape, TAnswer::TypeAndEnter}) {
        SelectVariable("system.update_interval_ms");
        SetFocus(list().Handle());
        TDialogAnswerer answerer({{"Please Enter a Value", answer, "40"}});
        Press(VK_RETURN);
        ASSERT_EQ(answerer.Seen().size(), 1u);
        PumpMessages(50);
        EXPECT_EQ(GetFocus(), list().Handle()) << "Enter, Delete and the arrows work on at once";
    }
}

} // namespace
