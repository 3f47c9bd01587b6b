// The target's details window: known class values, extra bytes, properties, caret, capture and owners.
#include "TargetDetails.h"

namespace {

const char* const DetailsClass = "PaneprobeTargetDetails";
const UINT TakeInputMessage = WM_APP + 7;

// The caret and the capture are taken once the message loop runs, after the main window was shown and
// activated, so that nothing takes them away again.
LRESULT CALLBACK DetailsProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam) {
    using namespace TargetDetails;
    if (message == TakeInputMessage) {
        SetForegroundWindow(hWnd);
        SetFocus(hWnd);
        CreateCaret(hWnd, nullptr, CaretWidth, CaretHeight);
        SetCaretPos(CaretX, CaretY);
        ShowCaret(hWnd);
        SetCapture(hWnd);
        return 0;
    }
    if (message == WM_NCDESTROY) {
        RemovePropA(hWnd, NamedProperty);
        RemovePropA(hWnd, MAKEINTATOM(GlobalFindAtomA(AtomName)));
    }
    return DefWindowProcA(hWnd, message, wParam, lParam);
}

} // namespace

void CreateDetailsWindows(HINSTANCE instance, const std::string& caption) {
    using namespace TargetDetails;
    WNDCLASSA windowClass = {};
    windowClass.style = ClassStyle;
    windowClass.lpfnWndProc = DetailsProc;
    windowClass.cbClsExtra = ClassExtra;
    windowClass.cbWndExtra = WindowExtra;
    windowClass.hInstance = instance;
    windowClass.hCursor = LoadCursor(nullptr, IDC_IBEAM);
    windowClass.hIcon = LoadIcon(nullptr, IDI_INFORMATION);
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(static_cast<INT_PTR>(ColourIndex + 1));
    windowClass.lpszClassName = DetailsClass;
    RegisterClassA(&windowClass);

    // Owned pop-ups: the platform walks the root owner through GetParent, which names the owner of a pop-up
    // only.
    const DWORD style = WS_POPUP | WS_CAPTION | WS_VISIBLE;
    HWND owner = CreateWindowExA(0, DetailsClass, (caption + " details owner").c_str(), style, 700, 500, 160,
                                 90, nullptr, nullptr, instance, nullptr);
    HWND details = CreateWindowExA(0, DetailsClass, (caption + " details").c_str(), style, 720, 520, 200, 120,
                                   owner, nullptr, instance, nullptr);
    CreateWindowExA(0, DetailsClass, (caption + " details popup").c_str(), style, 740, 540, 120, 80, details,
                    nullptr, instance, nullptr);
    SetWindowLongPtrA(details, 0, FirstExtra);
    SetWindowLongPtrA(details, sizeof(LONG_PTR), SecondExtra);
    SetWindowLongA(details, 2 * sizeof(LONG_PTR), LastExtra);
    SetWindowLongPtrA(details, GWLP_USERDATA, UserData);
    SetPropA(details, NamedProperty, reinterpret_cast<HANDLE>(NamedValue));
    SetPropA(details, MAKEINTATOM(GlobalAddAtomA(AtomName)), reinterpret_cast<HANDLE>(AtomValue));
    PostMessageA(details, TakeInputMessage, 0, 0);
}
