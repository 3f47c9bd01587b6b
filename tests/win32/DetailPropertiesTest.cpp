// The detail groups of the Properties tab on the target's details window, against the platform's answers.
#include "FormFixture.h"
#include "PropertyRows.h"
#include "Watchdog.h"
#include "app/WinApiEx.h"
#include "tabs/DetailTexts.h"
#include "tabs/PropertyTexts.h"
#include "tabs/TabProperties.h"
#include "tests/target/TargetDetails.h"

#include <map>

namespace {

std::string Handle(HWND window) {
    return FormatNonZero(HandleValue(window), "0x%.8x");
}

// Extra bytes show every digit of a pointer-sized value; other pointers as PointerText.
std::string Extra(LONG_PTR value) {
    return sizeof value == 8 ? FormatText("0x%.16llx", static_cast<unsigned long long>(value))
                             : FormatText("0x%.8x", static_cast<uint32_t>(value));
}

std::string Pointer(LONG_PTR value) {
    return PointerText(static_cast<uint64_t>(static_cast<ULONG_PTR>(value)));
}

ULONG_PTR ClassValue(HWND window, int index) {
    return static_cast<ULONG_PTR>(GetClassLongPtrA(window, index));
}

class DetailGroups : public FormTest {
  protected:
    TTargetProcess target{"det details"};
    HWND details = nullptr, owner = nullptr;

    void SetUp() override {
        FormTest::SetUp();
        ASSERT_NE(target.MainWindow(), nullptr);
        details = FindWindowA("PaneprobeTargetDetails", "Paneprobe Target det details");
        owner = FindWindowA("PaneprobeTargetDetails", "Paneprobe Target det details owner");
        ASSERT_NE(details, nullptr);
        ASSERT_NE(owner, nullptr);
    }
    TPropertiesTab& PropTab() { return Tab<TPropertiesTab>(); }
    std::map<std::string, std::string> Values() { return PropertyValues(PropTab()); }
    // The target takes the caret and the capture once its loop runs.
    void InputOfTarget() {
        const DWORD processId = target.ProcessId();
        TWatchdog watchdog(10000, [processId] {
            if (HANDLE process = OpenProcess(PROCESS_TERMINATE, FALSE, processId)) {
                TerminateProcess(process, 1);
                CloseHandle(process);
            }
        });
        GUITHREADINFO info = {};
        info.cbSize = sizeof info;
        const DWORD thread = GetWindowThreadProcessId(details, nullptr);
        while (!watchdog.Fired() &&
               (!GetGUIThreadInfo(thread, &info) || info.hwndCaret != details || info.hwndCapture != details))
            PumpMessages(20);
        EXPECT_FALSE(watchdog.Fired()) << "the target never took the caret and the capture";
    }
};

TEST_F(DetailGroups, EveryRowAgreesWithThePlatform) {
    using namespace TargetDetails;
    InputOfTarget();
    TrackWindow(details, false, true);
    form->PageIndex->SetValue(PropTab().Sheet->PageIndex());
    PumpMessages(20);
    PropTab().Refresh();
    auto values = Values();
    GUITHREADINFO input = {};
    input.cbSize = sizeof input;
    ASSERT_TRUE(GetGUIThreadInfo(GetWindowThreadProcessId(details, nullptr), &input));
    // Wine answers class values and the procedure only inside the window's own process: 0 here, so the
    // cells are empty. Where the platform answers, it is the value the target set.
    const ULONG_PTR brush = ClassValue(details, GCLP_HBRBACKGROUND);
    const LONG_PTR procedure = GetWindowLongPtrA(details, GWLP_WNDPROC);
    if (brush) {
        EXPECT_EQ(BrushText(brush), "COLOR_INFOBK + 1");
    }

    typedef UINT(WINAPI * TDpiForWindow)(HWND);
    auto dpiForWindow = reinterpret_cast<TDpiForWindow>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("user32.dll"), "GetDpiForWindow")));
    DWORD session = 0;
    ProcessIdToSessionId(target.ProcessId(), &session);
    const std::map<std::string, std::string> expected = {
        {"Class Name", "PaneprobeTargetDetails"},
        {"Class Atom", FormatText("0x%.4x", static_cast<unsigned>(GetClassWord(details, GCW_ATOM)))},
        {"Class Style", "CS_NOCLOSE | CS_DBLCLKS | CS_HREDRAW | CS_VREDRAW"},
        {"Window Procedure", procedure ? Pointer(procedure) + " in its own process, ANSI" : ""},
        {"Instance Module", TestProgramFolder() + "PaneprobeTarget.exe"},
        {"Class Icon", PointerText(ClassValue(details, GCLP_HICON))},
        {"Class Cursor", PointerText(ClassValue(details, GCLP_HCURSOR))},
        {"Background Brush", BrushText(brush)},
        {"Class Extra Bytes", FormatText("%d", ClassExtra)},
        {"Window Extra Bytes", FormatText("%d", WindowExtra)},
        {"Control Id", ""},
        {"User Data", Pointer(UserData)},
        {"Owner", Handle(owner)},
        {"Root Owner", Handle(owner)},
        {"Last Active Pop-up", Handle(GetLastActivePopup(details))},
        {"Visible", "Yes"},
        {"Enabled", "Yes"},
        {"Minimized", "No"},
        {"Maximized", "No"},
        {"Region Box", ""},
        {"DPI", dpiForWindow ? FormatNonZero(dpiForWindow(details), "%u") : ""},
        {"Active Window", Handle(input.hwndActive)},
        {"Focus Window", Handle(input.hwndFocus)},
        {"Capture Window", Handle(details)},
        {"Caret Window", Handle(details)},
        {"Caret Rect", RectText({CaretX, CaretY, CaretX + CaretWidth, CaretY + CaretHeight})},
        {"Bitness", sizeof(void*) == 8 ? "64-bit" : "32-bit"},
        {"Session", FormatText("%u", static_cast<unsigned>(session))},
        {"Priority Class", "NORMAL_PRIORITY_CLASS"},
        {NamedProperty, Pointer(static_cast<LONG_PTR>(NamedValue))},
        {AtomName, Pointer(static_cast<LONG_PTR>(AtomValue))},
        {"Offset 0x0000", Extra(FirstExtra)},
        {FormatText("Offset 0x%.4x", static_cast<unsigned>(sizeof(LONG_PTR))), Extra(SecondExtra)},
        {FormatText("Offset 0x%.4x", static_cast<unsigned>(2 * sizeof(LONG_PTR))), Extra(LastExtra)},
    };
    for (const auto& entry : expected) {
        ASSERT_TRUE(values.count(entry.first)) << "no row " << entry.first;
        EXPECT_EQ(values[entry.first], entry.second) << entry.first;
    }
    EXPECT_NE(values["Z-Order Place"].find(" of "), std::string::npos) << values["Z-Order Place"];
}

// Rows come and go with the entries of the window's property list, and with its extra bytes.
TEST_F(DetailGroups, RowsFollowThePropertyList) {
    HWND own =
        CreateWindowExA(0, "STATIC", "own", WS_POPUP, 0, 0, 40, 40, nullptr, nullptr, nullptr, nullptr);
    ASSERT_NE(own, nullptr);
    TrackWindow(own, false, true);
    PropTab().Refresh();
    const int before = PropTab().ListView->RowCount();
    SetPropA(own, "PaneprobeAdded", reinterpret_cast<HANDLE>(static_cast<UINT_PTR>(0x77)));
    PropTab().Refresh();
    EXPECT_EQ(PropTab().ListView->RowCount(), before + 1);
    EXPECT_EQ(Values()["PaneprobeAdded"], "0x00000077");
    RemovePropA(own, "PaneprobeAdded");
    PropTab().Refresh();
    EXPECT_EQ(PropTab().ListView->RowCount(), before);
    EXPECT_EQ(Values().count("PaneprobeAdded"), 0u);
    const std::string ownModule = Values()["Instance Module"];
    TrackWindow(details, false, true);
    PropTab().Refresh();
    EXPECT_EQ(Values().count("Offset 0x0000"), 1u) << "the details window's extra bytes";
    // The module's file is kept for its window only: another window gets its own.
    EXPECT_EQ(Values()["Instance Module"], TestProgramFolder() + "PaneprobeTarget.exe");
    EXPECT_NE(Values()["Instance Module"], ownModule);
    DestroyWindow(own);
}

} // namespace
