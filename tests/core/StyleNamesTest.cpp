// The style decoder: names per class, fields, the hexadecimal rest, and that no bit is ever lost.
#include "tabs/StyleNames.h"

#include "app/QrLib.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <set>

namespace {

struct TStyleCase {
    uint32_t Style;
    const char* ClassName;
    const char* Expected;
};

TEST(StyleNames, KnownStylesOfEveryClass) {
    const TStyleCase cases[] = {
        // Window styles, for any class.
        {0x94CF0000, "PaneprobeTargetProbe",
         "WS_POPUP | WS_VISIBLE | WS_CLIPSIBLINGS | WS_CAPTION | WS_SYSMENU | WS_THICKFRAME | WS_MINIMIZEBOX "
         "| "
         "WS_MAXIMIZEBOX"},
        {0x14CF0000, "Notepad",
         "WS_OVERLAPPED | WS_VISIBLE | WS_CLIPSIBLINGS | WS_CAPTION | WS_SYSMENU | WS_THICKFRAME | "
         "WS_MINIMIZEBOX | WS_MAXIMIZEBOX"},
        {0x00000000, "AnyClass", "WS_OVERLAPPED"},
        {0xC0000000, "AnyClass", "WS_POPUP | WS_CHILD"},
        {0x00800000, "AnyClass", "WS_OVERLAPPED | WS_BORDER"},
        {0x00400000, "AnyClass", "WS_OVERLAPPED | WS_DLGFRAME"},
        {0x2B300000, "AnyClass",
         "WS_OVERLAPPED | WS_MINIMIZE | WS_DISABLED | WS_CLIPCHILDREN | WS_MAXIMIZE | "
         "WS_VSCROLL | WS_HSCROLL"},
        {0x50030000, "AnyClass", "WS_CHILD | WS_VISIBLE | WS_GROUP | WS_TABSTOP"},
        {0x10008001, "AnyClass", "WS_OVERLAPPED | WS_VISIBLE | 0x8001"},
        // Buttons: the type field, both alignment fields, flags.
        {0x00000000, "Button", "WS_OVERLAPPED | BS_PUSHBUTTON"},
        {0x50010000, "Button", "WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_PUSHBUTTON"},
        {0x50030001, "button", "WS_CHILD | WS_VISIBLE | WS_GROUP | WS_TABSTOP | BS_DEFPUSHBUTTON"},
        {0x40000307, "Button", "WS_CHILD | BS_GROUPBOX | BS_CENTER"},
        {0x40000D03, "Button", "WS_CHILD | BS_AUTOCHECKBOX | BS_LEFT | BS_VCENTER"},
        {0x4000F8EF, "Button",
         "WS_CHILD | BS_DEFCOMMANDLINK | BS_LEFTTEXT | BS_ICON | BS_BITMAP | BS_BOTTOM | BS_PUSHLIKE | "
         "BS_MULTILINE | BS_NOTIFY | BS_FLAT"},
        {0x40000010, "Button", "WS_CHILD | BS_PUSHBUTTON | 0x10"},
        {0x50010000, "6.0.2600.0!Button", "WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_PUSHBUTTON"},
        // Edit and rich edit controls.
        {0x50010080, "Edit", "WS_CHILD | WS_VISIBLE | WS_TABSTOP | ES_LEFT | ES_AUTOHSCROLL"},
        {0x50B01144, "Edit",
         "WS_CHILD | WS_VISIBLE | WS_BORDER | WS_VSCROLL | WS_HSCROLL | ES_LEFT | ES_MULTILINE | "
         "ES_AUTOVSCROLL | "
         "ES_NOHIDESEL | ES_WANTRETURN"},
        {0x40002822, "Edit", "WS_CHILD | ES_RIGHT | ES_PASSWORD | ES_READONLY | ES_NUMBER"},
        {0x40000003, "Edit", "WS_CHILD | 0x3"},
        {0x4000E009, "RichEdit20A",
         "WS_CHILD | ES_CENTER | ES_NOOLEDRAGDROP | ES_DISABLENOSCROLL | ES_SUNKEN | ES_SAVESEL"},
        {0x40000004, "RICHEDIT50W", "WS_CHILD | ES_LEFT | ES_MULTILINE"},
        // Statics: the type field, the ellipsis field, flags.
        {0x50000000, "Static", "WS_CHILD | WS_VISIBLE | SS_LEFT"},
        {0x5000020E, "Static", "WS_CHILD | WS_VISIBLE | SS_BITMAP | SS_CENTERIMAGE"},
        {0x40000010, "Static", "WS_CHILD | SS_ETCHEDHORZ"},
        {0x40000013, "Static", "WS_CHILD | 0x13"},
        {0x40004080, "Static", "WS_CHILD | SS_LEFT | SS_NOPREFIX | SS_ENDELLIPSIS"},
        {0x4000C001, "Static", "WS_CHILD | SS_CENTER | SS_WORDELLIPSIS"},
        // List boxes, also inside combo boxes; combo boxes.
        {0x50A10103, "ListBox",
         "WS_CHILD | WS_VISIBLE | WS_BORDER | WS_VSCROLL | WS_TABSTOP | LBS_NOTIFY | LBS_SORT | "
         "LBS_NOINTEGRALHEIGHT"},
        {0x44808001, "ComboLBox", "WS_CHILD | WS_CLIPSIBLINGS | WS_BORDER | LBS_NOTIFY | LBS_COMBOBOX"},
        {0x50010242, "ComboBox",
         "WS_CHILD | WS_VISIBLE | WS_TABSTOP | CBS_DROPDOWN | CBS_AUTOHSCROLL | CBS_HASSTRINGS"},
        {0x40000000, "ComboBox", "WS_CHILD"},
        // Scroll bars: orientation decides how bits 1 and 2 read.
        {0x50000000, "ScrollBar", "WS_CHILD | WS_VISIBLE | SBS_HORZ"},
        {0x50000005, "ScrollBar", "WS_CHILD | WS_VISIBLE | SBS_VERT | SBS_RIGHTALIGN"},
        {0x50000004, "ScrollBar", "WS_CHILD | WS_VISIBLE | SBS_HORZ | SBS_BOTTOMALIGN"},
        {0x5000000A, "ScrollBar", "WS_CHILD | WS_VISIBLE | SBS_HORZ | SBS_SIZEBOXTOPLEFTALIGN | SBS_SIZEBOX"},
        // Dialogs.
        {0x94C800C4, "#32770",
         "WS_POPUP | WS_VISIBLE | WS_CLIPSIBLINGS | WS_CAPTION | WS_SYSMENU | DS_3DLOOK | DS_SETFONT | "
         "DS_MODALFRAME"},
        {0x40000400, "#32770", "WS_CHILD | DS_CONTROL"},
        // Common controls.
        {0x5001804D, "SysListView32",
         "WS_CHILD | WS_VISIBLE | WS_TABSTOP | LVS_REPORT | LVS_SINGLESEL | LVS_SHOWSELALWAYS | "
         "LVS_SHAREIMAGELISTS | LVS_NOSORTHEADER"},
        {0x40000000, "SysListView32", "WS_CHILD | LVS_ICON"},
        {0x50000027, "SysTreeView32",
         "WS_CHILD | WS_VISIBLE | TVS_HASBUTTONS | TVS_HASLINES | TVS_LINESATROOT | TVS_SHOWSELALWAYS"},
        {0x40000002, "SysTabControl32", "WS_CHILD | TCS_BOTTOM"},
        {0x40000282, "SysTabControl32", "WS_CHILD | TCS_RIGHT | TCS_VERTICAL | TCS_MULTILINE"},
        {0x50000103, "msctls_statusbar32", "WS_CHILD | WS_VISIBLE | SBARS_SIZEGRIP | CCS_BOTTOM"},
        {0x50001844, "ToolbarWindow32",
         "WS_CHILD | WS_VISIBLE | TBSTYLE_FLAT | TBSTYLE_LIST | CCS_NORESIZE | CCS_NODIVIDER"},
        {0x50000009, "msctls_progress32", "WS_CHILD | WS_VISIBLE | PBS_SMOOTH | PBS_MARQUEE"},
        {0x50000006, "msctls_trackbar32", "WS_CHILD | WS_VISIBLE | TBS_VERT | TBS_LEFT"},
        {0x50000005, "msctls_trackbar32", "WS_CHILD | WS_VISIBLE | TBS_AUTOTICKS | TBS_TOP"},
        {0x50000036, "msctls_updown32",
         "WS_CHILD | WS_VISIBLE | UDS_SETBUDDYINT | UDS_ALIGNRIGHT | UDS_AUTOBUDDY | UDS_ARROWKEYS"},
    };
    for (const TStyleCase& c : cases)
        EXPECT_EQ(StyleText(c.Style, c.ClassName), c.Expected) << c.ClassName << " " << std::hex << c.Style;
}

TEST(StyleNames, TheSameBitsReadByTheirClass) {
    const struct {
        const char* ClassName;
        const char* Expected;
    } cases[] = {
        {"Button", "WS_CHILD | BS_AUTOCHECKBOX"},
        {"Static", "WS_CHILD | SS_ICON"},
        {"Edit", "WS_CHILD | 0x3"},
        {"ComboBox", "WS_CHILD | CBS_DROPDOWNLIST"},
        {"SysListView32", "WS_CHILD | LVS_LIST"},
        {"SysTreeView32", "WS_CHILD | TVS_HASBUTTONS | TVS_HASLINES"},
        {"ListBox", "WS_CHILD | LBS_NOTIFY | LBS_SORT"},
        {"UnknownClass", "WS_CHILD | 0x3"},
        {"", "WS_CHILD | 0x3"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(StyleText(0x40000003, c.ClassName), c.Expected) << c.ClassName;
    // A child's title-bar bits are its dialog navigation marks.
    EXPECT_EQ(StyleText(0x00030000, "X"), "WS_OVERLAPPED | WS_MINIMIZEBOX | WS_MAXIMIZEBOX");
    EXPECT_EQ(StyleText(0x40030000, "X"), "WS_CHILD | WS_GROUP | WS_TABSTOP");
    // 0x2000 is a number-only edit, but a rich edit that keeps its scroll bars.
    EXPECT_EQ(StyleText(0x40002000, "Edit"), "WS_CHILD | ES_LEFT | ES_NUMBER");
    EXPECT_EQ(StyleText(0x40002000, "RichEdit20W"), "WS_CHILD | ES_LEFT | ES_DISABLENOSCROLL");
}

TEST(StyleNames, ExtendedStyles) {
    const struct {
        uint32_t ExStyle;
        const char* Expected;
    } cases[] = {
        {0x00000000, "0"},
        {0x00000300, "WS_EX_CLIENTEDGE | WS_EX_WINDOWEDGE"},
        {0x000800A8, "WS_EX_LAYERED | WS_EX_TOOLWINDOW | WS_EX_TRANSPARENT | WS_EX_TOPMOST"},
        {0x08010000, "WS_EX_NOACTIVATE | WS_EX_CONTROLPARENT"},
        {0x00000800, "0x800"},
        {0x00040002, "WS_EX_APPWINDOW | 0x2"},
        {0xF0000000, "0xF0000000"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(ExtendedStyleText(c.ExStyle), c.Expected) << std::hex << c.ExStyle;
    EXPECT_EQ(ExtendedStyleNames(0x201),
              (std::vector<std::string>{"WS_EX_CLIENTEDGE", "WS_EX_DLGMODALFRAME"}));
}

std::vector<const TStyleTable*> AllTables() {
    std::vector<const TStyleTable*> tables = {&WindowStyleTable(), &ExtendedStyleTable()};
    for (const TStyleTable& table : ClassStyleTables())
        tables.push_back(&table);
    return tables;
}

TEST(StyleNames, TablesAreWellFormed) {
    std::set<std::string> classNames;
    for (const TStyleTable* table : AllTables()) {
        std::set<std::string> names;
        for (const TStyleName& name : table->Names) {
            SCOPED_TRACE(name.Name);
            const std::string text = name.Name;
            EXPECT_TRUE(text.rfind(table->Prefix, 0) == 0 || text.rfind("CCS_", 0) == 0) << table->Prefix;
            EXPECT_TRUE(names.insert(name.Name).second) << "named twice";
            EXPECT_EQ(name.Value & ~name.Mask, 0u) << "a value outside its field";
            EXPECT_EQ(name.IfValue & ~name.IfMask, 0u);
            EXPECT_EQ(name.IfMask & name.Mask, 0u) << "a condition on its own bits";
        }
        for (std::string_view className : table->ClassNames) {
            EXPECT_TRUE(classNames.insert(std::string(className)).second) << className;
            EXPECT_EQ(ClassStyleTable(className), table) << className;
        }
    }
    EXPECT_EQ(ClassStyleTable("NoSuchClass"), nullptr);
}

// No name is hidden behind an earlier one: its own value, with its condition met, shows it.
TEST(StyleNames, EveryNameCanBeShown) {
    for (const TStyleTable* table : AllTables()) {
        const bool extended = table == &ExtendedStyleTable();
        std::string_view className = table->ClassNames.empty() ? "" : table->ClassNames.front();
        for (const TStyleName& name : table->Names) {
            const uint32_t style = name.Value | name.IfValue;
            std::vector<std::string> shown =
                extended ? ExtendedStyleNames(style) : StyleNames(style, className);
            EXPECT_NE(std::find(shown.begin(), shown.end(), name.Name), shown.end())
                << name.Name << " of " << std::hex << style << " shows " << StyleText(style, className);
        }
    }
}

// The names and the rest together give back exactly the style: nothing hidden, nothing invented.
TEST(StyleNames, NamesAndRestAddUpToTheStyle) {
    uint32_t seed = 12345;
    auto next = [&seed] {
        seed = seed * 1103515245u + 12345u;
        return (seed >> 16) | ((seed * 2654435761u) & 0xFFFF0000u);
    };
    for (const TStyleTable* table : AllTables()) {
        const bool extended = table == &ExtendedStyleTable();
        std::string_view className = table->ClassNames.empty() ? "" : table->ClassNames.front();
        std::map<std::string, uint32_t> values;
        for (const TStyleTable* other : {&WindowStyleTable(), &ExtendedStyleTable(), table})
            for (const TStyleName& name : other->Names)
                values[name.Name] = name.Value;
        for (int i = 0; i < 500; ++i) {
            const uint32_t style = next();
            std::vector<std::string> shown =
                extended ? ExtendedStyleNames(style) : StyleNames(style, className);
            uint32_t total = 0, rests = 0;
            for (const std::string& name : shown) {
                if (name.rfind("0x", 0) == 0 || name == "0") {
                    ++rests;
                    total |= static_cast<uint32_t>(IntFromText(name, 0));
                    EXPECT_EQ(&name, &shown.back()) << "the rest comes last";
                    continue;
                }
                ASSERT_EQ(values.count(name), 1u) << name;
                EXPECT_EQ(values[name] & total, 0u) << name << " repeats bits of " << std::hex << style;
                total |= values[name];
            }
            EXPECT_LE(rests, 1);
            EXPECT_EQ(total, style) << className << " " << (extended ? StyleText(style, "") : "");
        }
    }
}

} // namespace
