// The style tables and the decoder that turns a style into its names.
#include "tabs/StyleNames.h"

#include "app/QrLib.h"

#include <cctype>

namespace {

constexpr TStyleName Flag(const char* name, uint32_t value) {
    return {name, value, value, 0, 0};
}
constexpr TStyleName Field(const char* name, uint32_t value, uint32_t mask) {
    return {name, value, mask, 0, 0};
}
constexpr TStyleName FlagIf(const char* name, uint32_t value, uint32_t ifMask, uint32_t ifValue) {
    return {name, value, value, ifMask, ifValue};
}

const uint32_t Child = 0x40000000;  // WS_CHILD
const uint32_t ScrollVert = 0x1;    // SBS_VERT
const uint32_t ScrollSizeBox = 0x8; // SBS_SIZEBOX
const uint32_t TrackbarVert = 0x2;  // TBS_VERT
const uint32_t TabVertical = 0x80;  // TCS_VERTICAL

// The order of each table is the order of the names shown: high bits first, and a combined name (WS_CAPTION)
// before the single bits it takes.
const TStyleTable WindowStyles = {
    "WS_",
    {},
    {
        Field("WS_OVERLAPPED", 0, 0xC0000000),
        Flag("WS_POPUP", 0x80000000),
        Flag("WS_CHILD", 0x40000000),
        Flag("WS_MINIMIZE", 0x20000000),
        Flag("WS_VISIBLE", 0x10000000),
        Flag("WS_DISABLED", 0x08000000),
        Flag("WS_CLIPSIBLINGS", 0x04000000),
        Flag("WS_CLIPCHILDREN", 0x02000000),
        Flag("WS_MAXIMIZE", 0x01000000),
        Flag("WS_CAPTION", 0x00C00000),
        Flag("WS_BORDER", 0x00800000),
        Flag("WS_DLGFRAME", 0x00400000),
        Flag("WS_VSCROLL", 0x00200000),
        Flag("WS_HSCROLL", 0x00100000),
        Flag("WS_SYSMENU", 0x00080000),
        Flag("WS_THICKFRAME", 0x00040000),
        // A child has no title bar buttons: the same two bits are its dialog navigation marks.
        FlagIf("WS_GROUP", 0x00020000, Child, Child),
        FlagIf("WS_TABSTOP", 0x00010000, Child, Child),
        FlagIf("WS_MINIMIZEBOX", 0x00020000, Child, 0),
        FlagIf("WS_MAXIMIZEBOX", 0x00010000, Child, 0),
    },
};

const TStyleTable ExtendedStyles = {
    "WS_EX_",
    {},
    {
        Flag("WS_EX_NOACTIVATE", 0x08000000),    Flag("WS_EX_COMPOSITED", 0x02000000),
        Flag("WS_EX_LAYOUTRTL", 0x00400000),     Flag("WS_EX_NOINHERITLAYOUT", 0x00100000),
        Flag("WS_EX_LAYERED", 0x00080000),       Flag("WS_EX_APPWINDOW", 0x00040000),
        Flag("WS_EX_STATICEDGE", 0x00020000),    Flag("WS_EX_CONTROLPARENT", 0x00010000),
        Flag("WS_EX_LEFTSCROLLBAR", 0x00004000), Flag("WS_EX_RTLREADING", 0x00002000),
        Flag("WS_EX_RIGHT", 0x00001000),         Flag("WS_EX_CONTEXTHELP", 0x00000400),
        Flag("WS_EX_CLIENTEDGE", 0x00000200),    Flag("WS_EX_WINDOWEDGE", 0x00000100),
        Flag("WS_EX_TOOLWINDOW", 0x00000080),    Flag("WS_EX_MDICHILD", 0x00000040),
        Flag("WS_EX_TRANSPARENT", 0x00000020),   Flag("WS_EX_ACCEPTFILES", 0x00000010),
        Flag("WS_EX_TOPMOST", 0x00000008),       Flag("WS_EX_NOPARENTNOTIFY", 0x00000004),
        Flag("WS_EX_DLGMODALFRAME", 0x00000001),
    },
};

const TStyleTable ClassStyleFlags = {
    "CS_",
    {},
    {
        Flag("CS_DROPSHADOW", 0x00020000),
        Flag("CS_IME", 0x00010000),
        Flag("CS_GLOBALCLASS", 0x00004000),
        Flag("CS_BYTEALIGNWINDOW", 0x00002000),
        Flag("CS_BYTEALIGNCLIENT", 0x00001000),
        Flag("CS_SAVEBITS", 0x00000800),
        Flag("CS_NOCLOSE", 0x00000200),
        Flag("CS_PARENTDC", 0x00000080),
        Flag("CS_CLASSDC", 0x00000040),
        Flag("CS_OWNDC", 0x00000020),
        Flag("CS_DBLCLKS", 0x00000008),
        Flag("CS_HREDRAW", 0x00000002),
        Flag("CS_VREDRAW", 0x00000001),
    },
};

const TStyleTable GuiThreadFlags = {
    "GUI_",
    {},
    {
        Flag("GUI_CARETBLINKING", 0x1),
        Flag("GUI_INMOVESIZE", 0x2),
        Flag("GUI_INMENUMODE", 0x4),
        Flag("GUI_SYSTEMMENUMODE", 0x8),
        Flag("GUI_POPUPMENUMODE", 0x10),
        Flag("GUI_16BITTASK", 0x20),
    },
};

// The edit styles that the rich edit controls share with the edit control.
#define PANEPROBE_EDIT_COMMON                                                                                \
    Field("ES_LEFT", 0x0, 0x3), Field("ES_CENTER", 0x1, 0x3), Field("ES_RIGHT", 0x2, 0x3),                   \
        Flag("ES_MULTILINE", 0x4), Flag("ES_PASSWORD", 0x20), Flag("ES_AUTOVSCROLL", 0x40),                  \
        Flag("ES_AUTOHSCROLL", 0x80), Flag("ES_NOHIDESEL", 0x100), Flag("ES_READONLY", 0x800),               \
        Flag("ES_WANTRETURN", 0x1000)

// Common-control styles of bars that dock to a side of their parent.
#define PANEPROBE_CCS_COMMON                                                                                 \
    Field("CCS_TOP", 0x1, 0x3), Field("CCS_NOMOVEY", 0x2, 0x3), Field("CCS_BOTTOM", 0x3, 0x3),               \
        Flag("CCS_NORESIZE", 0x4), Flag("CCS_NOPARENTALIGN", 0x8), Flag("CCS_ADJUSTABLE", 0x20),             \
        Flag("CCS_NODIVIDER", 0x40), Flag("CCS_VERT", 0x80)

const std::vector<TStyleTable>& ClassTables() {
    static const std::vector<TStyleTable> tables = {
        {"BS_",
         {"Button"},
         {
             Field("BS_PUSHBUTTON", 0x0, 0xF),  Field("BS_DEFPUSHBUTTON", 0x1, 0xF),
             Field("BS_CHECKBOX", 0x2, 0xF),    Field("BS_AUTOCHECKBOX", 0x3, 0xF),
             Field("BS_RADIOBUTTON", 0x4, 0xF), Field("BS_3STATE", 0x5, 0xF),
             Field("BS_AUTO3STATE", 0x6, 0xF),  Field("BS_GROUPBOX", 0x7, 0xF),
             Field("BS_USERBUTTON", 0x8, 0xF),  Field("BS_AUTORADIOBUTTON", 0x9, 0xF),
             Field("BS_PUSHBOX", 0xA, 0xF),     Field("BS_OWNERDRAW", 0xB, 0xF),
             Field("BS_SPLITBUTTON", 0xC, 0xF), Field("BS_DEFSPLITBUTTON", 0xD, 0xF),
             Field("BS_COMMANDLINK", 0xE, 0xF), Field("BS_DEFCOMMANDLINK", 0xF, 0xF),
             Flag("BS_LEFTTEXT", 0x20),         Flag("BS_ICON", 0x40),
             Flag("BS_BITMAP", 0x80),           Field("BS_CENTER", 0x300, 0x300),
             Field("BS_LEFT", 0x100, 0x300),    Field("BS_RIGHT", 0x200, 0x300),
             Field("BS_VCENTER", 0xC00, 0xC00), Field("BS_TOP", 0x400, 0xC00),
             Field("BS_BOTTOM", 0x800, 0xC00),  Flag("BS_PUSHLIKE", 0x1000),
             Flag("BS_MULTILINE", 0x2000),      Flag("BS_NOTIFY", 0x4000),
             Flag("BS_FLAT", 0x8000),
         }},
        {"ES_",
         {"Edit"},
         {
             PANEPROBE_EDIT_COMMON,
             Flag("ES_UPPERCASE", 0x8),
             Flag("ES_LOWERCASE", 0x10),
             Flag("ES_OEMCONVERT", 0x400),
             Flag("ES_NUMBER", 0x2000),
         }},
        // Rich edit controls read some of the edit control's bits as their own.
        {"ES_",
         {"RichEdit", "RichEdit20A", "RichEdit20W", "RichEdit50W", "RichEdit60W"},
         {
             PANEPROBE_EDIT_COMMON,
             Flag("ES_NOOLEDRAGDROP", 0x8),
             Flag("ES_DISABLENOSCROLL", 0x2000),
             Flag("ES_SUNKEN", 0x4000),
             Flag("ES_SAVESEL", 0x8000),
         }},
        {"SS_",
         {"Static"},
         {
             Field("SS_LEFT", 0x00, 0x1F),
             Field("SS_CENTER", 0x01, 0x1F),
             Field("SS_RIGHT", 0x02, 0x1F),
             Field("SS_ICON", 0x03, 0x1F),
             Field("SS_BLACKRECT", 0x04, 0x1F),
             Field("SS_GRAYRECT", 0x05, 0x1F),
             Field("SS_WHITERECT", 0x06, 0x1F),
             Field("SS_BLACKFRAME", 0x07, 0x1F),
             Field("SS_GRAYFRAME", 0x08, 0x1F),
             Field("SS_WHITEFRAME", 0x09, 0x1F),
             Field("SS_USERITEM", 0x0A, 0x1F),
             Field("SS_SIMPLE", 0x0B, 0x1F),
             Field("SS_LEFTNOWORDWRAP", 0x0C, 0x1F),
             Field("SS_OWNERDRAW", 0x0D, 0x1F),
             Field("SS_BITMAP", 0x0E, 0x1F),
             Field("SS_ENHMETAFILE", 0x0F, 0x1F),
             Field("SS_ETCHEDHORZ", 0x10, 0x1F),
             Field("SS_ETCHEDVERT", 0x11, 0x1F),
             Field("SS_ETCHEDFRAME", 0x12, 0x1F),
             Flag("SS_REALSIZECONTROL", 0x40),
             Flag("SS_NOPREFIX", 0x80),
             Flag("SS_NOTIFY", 0x100),
             Flag("SS_CENTERIMAGE", 0x200),
             Flag("SS_RIGHTJUST", 0x400),
             Flag("SS_REALSIZEIMAGE", 0x800),
             Flag("SS_SUNKEN", 0x1000),
             Flag("SS_EDITCONTROL", 0x2000),
             Field("SS_WORDELLIPSIS", 0xC000, 0xC000),
             Field("SS_ENDELLIPSIS", 0x4000, 0xC000),
             Field("SS_PATHELLIPSIS", 0x8000, 0xC000),
         }},
        {"LBS_",
         {"ListBox", "ComboLBox"},
         {
             Flag("LBS_NOTIFY", 0x1),
             Flag("LBS_SORT", 0x2),
             Flag("LBS_NOREDRAW", 0x4),
             Flag("LBS_MULTIPLESEL", 0x8),
             Flag("LBS_OWNERDRAWFIXED", 0x10),
             Flag("LBS_OWNERDRAWVARIABLE", 0x20),
             Flag("LBS_HASSTRINGS", 0x40),
             Flag("LBS_USETABSTOPS", 0x80),
             Flag("LBS_NOINTEGRALHEIGHT", 0x100),
             Flag("LBS_MULTICOLUMN", 0x200),
             Flag("LBS_WANTKEYBOARDINPUT", 0x400),
             Flag("LBS_EXTENDEDSEL", 0x800),
             Flag("LBS_DISABLENOSCROLL", 0x1000),
             Flag("LBS_NODATA", 0x2000),
             Flag("LBS_NOSEL", 0x4000),
             Flag("LBS_COMBOBOX", 0x8000),
         }},
        {"CBS_",
         {"ComboBox"},
         {
             Field("CBS_SIMPLE", 0x1, 0x3),
             Field("CBS_DROPDOWN", 0x2, 0x3),
             Field("CBS_DROPDOWNLIST", 0x3, 0x3),
             Flag("CBS_OWNERDRAWFIXED", 0x10),
             Flag("CBS_OWNERDRAWVARIABLE", 0x20),
             Flag("CBS_AUTOHSCROLL", 0x40),
             Flag("CBS_OEMCONVERT", 0x80),
             Flag("CBS_SORT", 0x100),
             Flag("CBS_HASSTRINGS", 0x200),
             Flag("CBS_NOINTEGRALHEIGHT", 0x400),
             Flag("CBS_DISABLENOSCROLL", 0x800),
             Flag("CBS_UPPERCASE", 0x2000),
             Flag("CBS_LOWERCASE", 0x4000),
         }},
        // Bits 1 and 2 align a size box, or else the bar along one side of its rectangle.
        {"SBS_",
         {"ScrollBar"},
         {
             Field("SBS_HORZ", 0x0, 0x1),
             Field("SBS_VERT", 0x1, 0x1),
             FlagIf("SBS_SIZEBOXTOPLEFTALIGN", 0x2, ScrollSizeBox, ScrollSizeBox),
             FlagIf("SBS_SIZEBOXBOTTOMRIGHTALIGN", 0x4, ScrollSizeBox, ScrollSizeBox),
             FlagIf("SBS_TOPALIGN", 0x2, ScrollSizeBox | ScrollVert, 0),
             FlagIf("SBS_BOTTOMALIGN", 0x4, ScrollSizeBox | ScrollVert, 0),
             FlagIf("SBS_LEFTALIGN", 0x2, ScrollSizeBox | ScrollVert, ScrollVert),
             FlagIf("SBS_RIGHTALIGN", 0x4, ScrollSizeBox | ScrollVert, ScrollVert),
             Flag("SBS_SIZEBOX", 0x8),
             Flag("SBS_SIZEGRIP", 0x10),
         }},
        {"DS_",
         {"#32770"},
         {
             Flag("DS_ABSALIGN", 0x1),
             Flag("DS_SYSMODAL", 0x2),
             Flag("DS_3DLOOK", 0x4),
             Flag("DS_FIXEDSYS", 0x8),
             Flag("DS_NOFAILCREATE", 0x10),
             Flag("DS_LOCALEDIT", 0x20),
             Flag("DS_SETFONT", 0x40),
             Flag("DS_MODALFRAME", 0x80),
             Flag("DS_NOIDLEMSG", 0x100),
             Flag("DS_SETFOREGROUND", 0x200),
             Flag("DS_CONTROL", 0x400),
             Flag("DS_CENTER", 0x800),
             Flag("DS_CENTERMOUSE", 0x1000),
             Flag("DS_CONTEXTHELP", 0x2000),
         }},
        {"LVS_",
         {"SysListView32"},
         {
             Field("LVS_ICON", 0x0, 0x3),
             Field("LVS_REPORT", 0x1, 0x3),
             Field("LVS_SMALLICON", 0x2, 0x3),
             Field("LVS_LIST", 0x3, 0x3),
             Flag("LVS_SINGLESEL", 0x4),
             Flag("LVS_SHOWSELALWAYS", 0x8),
             Flag("LVS_SORTASCENDING", 0x10),
             Flag("LVS_SORTDESCENDING", 0x20),
             Flag("LVS_SHAREIMAGELISTS", 0x40),
             Flag("LVS_NOLABELWRAP", 0x80),
             Flag("LVS_AUTOARRANGE", 0x100),
             Flag("LVS_EDITLABELS", 0x200),
             Flag("LVS_OWNERDRAWFIXED", 0x400),
             Flag("LVS_ALIGNLEFT", 0x800),
             Flag("LVS_OWNERDATA", 0x1000),
             Flag("LVS_NOSCROLL", 0x2000),
             Flag("LVS_NOCOLUMNHEADER", 0x4000),
             Flag("LVS_NOSORTHEADER", 0x8000),
         }},
        {"TVS_",
         {"SysTreeView32"},
         {
             Flag("TVS_HASBUTTONS", 0x1),
             Flag("TVS_HASLINES", 0x2),
             Flag("TVS_LINESATROOT", 0x4),
             Flag("TVS_EDITLABELS", 0x8),
             Flag("TVS_DISABLEDRAGDROP", 0x10),
             Flag("TVS_SHOWSELALWAYS", 0x20),
             Flag("TVS_RTLREADING", 0x40),
             Flag("TVS_NOTOOLTIPS", 0x80),
             Flag("TVS_CHECKBOXES", 0x100),
             Flag("TVS_TRACKSELECT", 0x200),
             Flag("TVS_SINGLEEXPAND", 0x400),
             Flag("TVS_INFOTIP", 0x800),
             Flag("TVS_FULLROWSELECT", 0x1000),
             Flag("TVS_NOSCROLL", 0x2000),
             Flag("TVS_NONEVENHEIGHT", 0x4000),
             Flag("TVS_NOHSCROLL", 0x8000),
         }},
        {"TCS_",
         {"SysTabControl32"},
         {
             Flag("TCS_SCROLLOPPOSITE", 0x1),
             FlagIf("TCS_BOTTOM", 0x2, TabVertical, 0),
             FlagIf("TCS_RIGHT", 0x2, TabVertical, TabVertical),
             Flag("TCS_MULTISELECT", 0x4),
             Flag("TCS_FLATBUTTONS", 0x8),
             Flag("TCS_FORCEICONLEFT", 0x10),
             Flag("TCS_FORCELABELLEFT", 0x20),
             Flag("TCS_HOTTRACK", 0x40),
             Flag("TCS_VERTICAL", 0x80),
             Flag("TCS_BUTTONS", 0x100),
             Flag("TCS_MULTILINE", 0x200),
             Flag("TCS_FIXEDWIDTH", 0x400),
             Flag("TCS_RAGGEDRIGHT", 0x800),
             Flag("TCS_FOCUSONBUTTONDOWN", 0x1000),
             Flag("TCS_OWNERDRAWFIXED", 0x2000),
             Flag("TCS_TOOLTIPS", 0x4000),
             Flag("TCS_FOCUSNEVER", 0x8000),
         }},
        {"SBARS_",
         {"msctls_statusbar32"},
         {
             Flag("SBARS_SIZEGRIP", 0x100),
             Flag("SBARS_TOOLTIPS", 0x800),
             PANEPROBE_CCS_COMMON,
         }},
        {"TBSTYLE_",
         {"ToolbarWindow32"},
         {
             Flag("TBSTYLE_TOOLTIPS", 0x100),
             Flag("TBSTYLE_WRAPABLE", 0x200),
             Flag("TBSTYLE_ALTDRAG", 0x400),
             Flag("TBSTYLE_FLAT", 0x800),
             Flag("TBSTYLE_LIST", 0x1000),
             Flag("TBSTYLE_CUSTOMERASE", 0x2000),
             Flag("TBSTYLE_REGISTERDROP", 0x4000),
             Flag("TBSTYLE_TRANSPARENT", 0x8000),
             PANEPROBE_CCS_COMMON,
         }},
        {"PBS_",
         {"msctls_progress32"},
         {
             Flag("PBS_SMOOTH", 0x1),
             Flag("PBS_VERTICAL", 0x4),
             Flag("PBS_MARQUEE", 0x8),
             Flag("PBS_SMOOTHREVERSE", 0x10),
         }},
        {"TBS_",
         {"msctls_trackbar32"},
         {
             Flag("TBS_AUTOTICKS", 0x1),
             Flag("TBS_VERT", 0x2),
             FlagIf("TBS_TOP", 0x4, TrackbarVert, 0),
             FlagIf("TBS_LEFT", 0x4, TrackbarVert, TrackbarVert),
             Flag("TBS_BOTH", 0x8),
             Flag("TBS_NOTICKS", 0x10),
             Flag("TBS_ENABLESELRANGE", 0x20),
             Flag("TBS_FIXEDLENGTH", 0x40),
             Flag("TBS_NOTHUMB", 0x80),
             Flag("TBS_TOOLTIPS", 0x100),
             Flag("TBS_REVERSED", 0x200),
             Flag("TBS_DOWNISLEFT", 0x400),
             Flag("TBS_NOTIFYBEFOREMOVE", 0x800),
             Flag("TBS_TRANSPARENTBKGND", 0x1000),
         }},
        {"UDS_",
         {"msctls_updown32"},
         {
             Flag("UDS_WRAP", 0x1),
             Flag("UDS_SETBUDDYINT", 0x2),
             Flag("UDS_ALIGNRIGHT", 0x4),
             Flag("UDS_ALIGNLEFT", 0x8),
             Flag("UDS_AUTOBUDDY", 0x10),
             Flag("UDS_ARROWKEYS", 0x20),
             Flag("UDS_HORZ", 0x40),
             Flag("UDS_NOTHOUSANDS", 0x80),
             Flag("UDS_HOTTRACK", 0x100),
         }},
    };
    return tables;
}

#undef PANEPROBE_EDIT_COMMON
#undef PANEPROBE_CCS_COMMON

bool SameNameNoCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i)
        if (std::tolower(static_cast<unsigned char>(a[i])) != std::tolower(static_cast<unsigned char>(b[i])))
            return false;
    return true;
}

// Each name takes its bits; a name whose bits an earlier one took is passed over, so a field shows one value
// and WS_CAPTION hides WS_BORDER and WS_DLGFRAME.
void AddNames(uint32_t style, const TStyleTable& table, uint32_t& taken, std::vector<std::string>& names) {
    for (const TStyleName& name : table.Names) {
        if ((taken & name.Mask) != 0) continue;
        if ((style & name.IfMask) != name.IfValue) continue;
        if ((style & name.Mask) != name.Value) continue;
        names.emplace_back(name.Name);
        taken |= name.Mask;
    }
}

void AddRest(uint32_t style, uint32_t taken, std::vector<std::string>& names) {
    const uint32_t rest = style & ~taken;
    if (rest != 0)
        names.push_back(FormatText("0x%x", rest));
    else if (names.empty())
        names.emplace_back("0");
}

std::string Joined(const std::vector<std::string>& names) {
    std::string text;
    for (const std::string& name : names) {
        if (!text.empty()) text += " | ";
        text += name;
    }
    return text;
}

} // namespace

const TStyleTable& WindowStyleTable() {
    return WindowStyles;
}

const TStyleTable& ExtendedStyleTable() {
    return ExtendedStyles;
}

const std::vector<TStyleTable>& ClassStyleTables() {
    return ClassTables();
}

const TStyleTable* ClassStyleTable(std::string_view className) {
    // Classes registered for an activation context may carry a version before a "!".
    const size_t bang = className.rfind('!');
    if (bang != std::string_view::npos) className.remove_prefix(bang + 1);
    for (const TStyleTable& table : ClassTables())
        for (std::string_view candidate : table.ClassNames)
            if (SameNameNoCase(candidate, className)) return &table;
    return nullptr;
}

std::vector<std::string> StyleNames(uint32_t style, std::string_view className) {
    std::vector<std::string> names;
    uint32_t taken = 0;
    AddNames(style, WindowStyles, taken, names);
    if (const TStyleTable* table = ClassStyleTable(className)) AddNames(style, *table, taken, names);
    AddRest(style, taken, names);
    return names;
}

std::vector<std::string> ExtendedStyleNames(uint32_t exStyle) {
    std::vector<std::string> names;
    uint32_t taken = 0;
    AddNames(exStyle, ExtendedStyles, taken, names);
    AddRest(exStyle, taken, names);
    return names;
}

std::string StyleText(uint32_t style, std::string_view className) {
    return Joined(StyleNames(style, className));
}

std::string ExtendedStyleText(uint32_t exStyle) {
    return Joined(ExtendedStyleNames(exStyle));
}

const TStyleTable& ClassStyleFlagTable() {
    return ClassStyleFlags;
}

const TStyleTable& GuiThreadFlagTable() {
    return GuiThreadFlags;
}

std::string FlagsText(uint32_t value, const TStyleTable& table) {
    if (value == 0) return std::string();
    std::vector<std::string> names;
    uint32_t taken = 0;
    AddNames(value, table, taken, names);
    AddRest(value, taken, names);
    return Joined(names);
}
