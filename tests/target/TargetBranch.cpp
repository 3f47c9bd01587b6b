// Windows of the test target for the Enum, Branch and Menus tests: a window with children three levels
// deep and a three-level menu bar, a hidden window of a known class, and a caption with line breaks.
// Captions: "Paneprobe Target TAG tree", "Paneprobe Target TAG hidden", "Paneprobe Target TAG" followed by
// CR LF and "second line".
#include <windows.h>

#include <string>

namespace {

const char* const TreeClass = "PaneprobeTargetTree";
const char* const NodeClasses[] = {"PaneprobeNodeB", "PaneprobeNodeA", "PaneprobeNodeC"};
const char* const HiddenClass = "PaneprobeTargetHidden";
const char* const LinesClass = "PaneprobeTargetLines";

HWND Child(HINSTANCE instance, const char* className, HWND parent, int id) {
    return CreateWindowExA(0, className, className, WS_CHILD | WS_VISIBLE, 4 * id, 4 * id, 120, 60, parent,
                           reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), instance, nullptr);
}

HMENU ThreeLevelMenu() {
    HMENU older = CreatePopupMenu();
    AppendMenuA(older, MF_STRING, 311, "First");
    HMENU recent = CreatePopupMenu();
    AppendMenuA(recent, MF_POPUP, reinterpret_cast<UINT_PTR>(older), "&Older");
    HMENU file = CreatePopupMenu();
    AppendMenuA(file, MF_STRING, 301, "&Open\tCtrl+O");
    AppendMenuA(file, MF_SEPARATOR, 0, nullptr);
    AppendMenuA(file, MF_POPUP, reinterpret_cast<UINT_PTR>(recent), "&Recent");
    HMENU bar = CreateMenu();
    AppendMenuA(bar, MF_POPUP, reinterpret_cast<UINT_PTR>(file), "&File");
    return bar;
}

} // namespace

void CreateBranchWindows(HINSTANCE instance, const std::string& caption) {
    WNDCLASSA windowClass = {};
    windowClass.lpfnWndProc = DefWindowProcA;
    windowClass.hInstance = instance;
    windowClass.hCursor = LoadCursor(nullptr, IDC_ARROW);
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
    for (const char* name :
         {TreeClass, HiddenClass, LinesClass, NodeClasses[0], NodeClasses[1], NodeClasses[2]}) {
        windowClass.lpszClassName = name;
        RegisterClassA(&windowClass);
    }
    HWND tree = CreateWindowExA(0, TreeClass, (caption + " tree").c_str(), WS_OVERLAPPEDWINDOW | WS_VISIBLE,
                                140, 140, 360, 260, nullptr, ThreeLevelMenu(), instance, nullptr);
    // B (a leaf), then A with A's child C holding a grandchild B: three levels below the top.
    Child(instance, NodeClasses[0], tree, 1);
    HWND a = Child(instance, NodeClasses[1], tree, 2);
    HWND c = Child(instance, NodeClasses[2], a, 3);
    Child(instance, NodeClasses[0], c, 4);
    Child(instance, NodeClasses[1], a, 5);
    CreateWindowExA(0, HiddenClass, (caption + " hidden").c_str(), WS_OVERLAPPEDWINDOW, 0, 0, 100, 100,
                    nullptr, nullptr, instance, nullptr);
    CreateWindowExA(0, LinesClass, (caption + "\r\nsecond line").c_str(), WS_POPUP | WS_VISIBLE, 600, 500, 80,
                    40, nullptr, nullptr, instance, nullptr);
}
