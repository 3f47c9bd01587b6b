// The detail groups: class, window, thread input, process, property list and extra bytes of one window.
#include "tabs/DetailProperties.h"

#include "app/QrLib.h"
#include "app/WinApiEx.h"
#include "tabs/DetailTexts.h"
#include "tabs/PropertyTexts.h"
#include "tabs/StyleNames.h"
#include "ui/WinHandles.h"

#include <psapi.h>

#include <cstring>
#include <string>
#include <utility>
#include <vector>

namespace {

// Enough to ask, never to read or change: the platform grants it for most processes of the session.
const DWORD LimitedAccess = PROCESS_QUERY_LIMITED_INFORMATION;
const int MaxSiblings = 100000; // a z-order walk ends even if windows come and go under it

uint64_t Pointer(LONG_PTR value) {
    return static_cast<uint64_t>(static_cast<ULONG_PTR>(value));
}

std::string HandleText(HWND window) {
    return FormatNonZero(HandleValue(window), "0x%.8x");
}

std::string YesNo(BOOL value) {
    return value ? "Yes" : "No";
}

TIntRect IntRect(const RECT& rect) {
    return {static_cast<int32_t>(rect.left), static_cast<int32_t>(rect.top), static_cast<int32_t>(rect.right),
            static_cast<int32_t>(rect.bottom)};
}

// The file of a module in the window's process: from this process directly, from another through the
// process handle, which needs more access and is refused for some processes (then empty).
std::string ModuleNameOf(DWORD processId, HMODULE module) {
    char path[MAX_PATH] = {};
    if (!module) return std::string();
    if (processId == GetCurrentProcessId())
        return GetModuleFileNameA(module, path, MAX_PATH) ? std::string(path) : std::string();
    TKernelHandle process(OpenProcess(PROCESS_QUERY_INFORMATION | PROCESS_VM_READ, FALSE, processId));
    if (!process) return std::string();
    return GetModuleFileNameExA(process.Get(), module, path, MAX_PATH) ? std::string(path) : std::string();
}

// The window's place among its siblings from the top, and their number; found by walking the z-order.
std::string ZOrderPlace(HWND window) {
    int place = 0, count = 0;
    for (HWND sibling = GetWindow(window, GW_HWNDFIRST); sibling && count < MaxSiblings;
         sibling = GetWindow(sibling, GW_HWNDNEXT)) {
        ++count;
        if (sibling == window) place = count;
    }
    return ZOrderText(place, count);
}

// The DPI calls exist from Windows 10 on: looked up once, so that older systems show empty cells.
struct TDpiCalls {
    using TDpiForWindow = UINT(WINAPI*)(HWND);
    using TAwarenessContext = HANDLE(WINAPI*)(HWND);
    using TAwareness = int(WINAPI*)(HANDLE);
    TDpiForWindow DpiForWindow = nullptr;
    TAwarenessContext AwarenessContext = nullptr;
    TAwareness Awareness = nullptr;
};

template <class T> T ProcFrom(HMODULE module, const char* name) {
    FARPROC proc = module ? GetProcAddress(module, name) : nullptr;
    T result = nullptr;
    static_assert(sizeof result == sizeof proc, "a function pointer");
    std::memcpy(&result, &proc, sizeof result);
    return result;
}

const TDpiCalls& DpiCalls() {
    static const TDpiCalls calls = [] {
        HMODULE user = GetModuleHandleA("user32.dll");
        TDpiCalls found;
        found.DpiForWindow = ProcFrom<TDpiCalls::TDpiForWindow>(user, "GetDpiForWindow");
        found.AwarenessContext = ProcFrom<TDpiCalls::TAwarenessContext>(user, "GetWindowDpiAwarenessContext");
        found.Awareness = ProcFrom<TDpiCalls::TAwareness>(user, "GetAwarenessFromDpiAwarenessContext");
        return found;
    }();
    return calls;
}

std::string BitnessText(HANDLE process) {
    BOOL selfOnWow = FALSE, targetOnWow = FALSE;
    const bool system64 =
        sizeof(void*) == 8 || (IsWow64Process(GetCurrentProcess(), &selfOnWow) && selfOnWow);
    if (!IsWow64Process(process, &targetOnWow)) return std::string();
    return system64 && !targetOnWow ? "64-bit" : "32-bit";
}

std::vector<BYTE> TokenInformation(HANDLE token, TOKEN_INFORMATION_CLASS kind) {
    DWORD size = 0;
    GetTokenInformation(token, kind, nullptr, 0, &size);
    std::vector<BYTE> buffer(size);
    if (size == 0 || !GetTokenInformation(token, kind, buffer.data(), size, &size)) buffer.clear();
    return buffer;
}

std::string IntegrityText(HANDLE token) {
    std::vector<BYTE> buffer = TokenInformation(token, TokenIntegrityLevel);
    if (buffer.size() < sizeof(TOKEN_MANDATORY_LABEL)) return std::string();
    PSID sid = reinterpret_cast<TOKEN_MANDATORY_LABEL*>(buffer.data())->Label.Sid;
    if (!sid || !IsValidSid(sid) || *GetSidSubAuthorityCount(sid) == 0) return std::string();
    return IntegrityLevelText(
        static_cast<uint32_t>(*GetSidSubAuthority(sid, *GetSidSubAuthorityCount(sid) - 1u)));
}

std::string ElevatedText(HANDLE token) {
    std::vector<BYTE> buffer = TokenInformation(token, TokenElevation);
    if (buffer.size() < sizeof(TOKEN_ELEVATION)) return std::string();
    return YesNo(reinterpret_cast<TOKEN_ELEVATION*>(buffer.data())->TokenIsElevated != 0);
}

struct TPropEntry {
    std::string Name;
    uint64_t Value;
};

BOOL CALLBACK CollectProp(HWND, LPSTR name, HANDLE value, ULONG_PTR context) {
    auto& entries = *reinterpret_cast<std::vector<TPropEntry>*>(context);
    const bool isAtom = IS_INTRESOURCE(name);
    const uint16_t atom = isAtom ? static_cast<uint16_t>(reinterpret_cast<ULONG_PTR>(name)) : 0;
    entries.push_back(
        {PropertyNameText(isAtom ? nullptr : name, atom), Pointer(reinterpret_cast<LONG_PTR>(value))});
    return entries.size() < static_cast<size_t>(TPropListProperty::MaxRows);
}

} // namespace

TClassProperty::TClassProperty()
    : TPropertyGroup("Class", {"Class Name", "Class Atom", "Class Style", "Window Procedure", "Instance",
                               "Instance Module", "Class Icon", "Class Small Icon", "Class Cursor",
                               "Background Brush", "Class Extra Bytes", "Window Extra Bytes"}) {}

void TClassProperty::Update(const TWindowDetails& record) {
    HWND window = record.Handle;
    if (!IsWindow(window)) {
        ClearValues();
        return;
    }
    SetValue(0, record.ClassName);
    SetValue(1, FormatNonZero(static_cast<uint32_t>(GetClassWord(window, GCW_ATOM)), "0x%.4x"));
    SetValue(2, FlagsText(static_cast<uint32_t>(GetClassLongA(window, GCL_STYLE)), ClassStyleFlagTable()));
    // The address means something only inside the window's own process.
    const std::string procedure = PointerText(Pointer(GetWindowLongPtrA(window, GWLP_WNDPROC)));
    SetValue(3, procedure.empty()
                    ? std::string()
                    : procedure + " in its own process, " + (IsWindowUnicode(window) ? "Unicode" : "ANSI"));
    const auto instance = static_cast<ULONG_PTR>(GetClassLongPtrA(window, GCLP_HMODULE));
    SetValue(4, PointerText(instance));
    if (KeepModuleNames) {
        auto known = moduleNames.find({record.ProcessId, instance});
        if (known == moduleNames.end())
            known = moduleNames
                        .emplace(std::make_pair(record.ProcessId, instance),
                                 ModuleNameOf(record.ProcessId, reinterpret_cast<HMODULE>(instance)))
                        .first;
        SetValue(5, known->second);
    } else {
        if (shownModule.Window != window || shownModule.ProcessId != record.ProcessId ||
            shownModule.Instance != instance)
            shownModule = {window, record.ProcessId, instance,
                           ModuleNameOf(record.ProcessId, reinterpret_cast<HMODULE>(instance))};
        SetValue(5, shownModule.Name);
    }
    SetValue(6, PointerText(static_cast<ULONG_PTR>(GetClassLongPtrA(window, GCLP_HICON))));
    SetValue(7, PointerText(static_cast<ULONG_PTR>(GetClassLongPtrA(window, GCLP_HICONSM))));
    SetValue(8, PointerText(static_cast<ULONG_PTR>(GetClassLongPtrA(window, GCLP_HCURSOR))));
    SetValue(9, BrushText(static_cast<ULONG_PTR>(GetClassLongPtrA(window, GCLP_HBRBACKGROUND))));
    SetValue(10, FormatText("%u", static_cast<unsigned>(GetClassLongA(window, GCL_CBCLSEXTRA))));
    SetValue(11, FormatText("%u", static_cast<unsigned>(GetClassLongA(window, GCL_CBWNDEXTRA))));
}

TWindowProperty::TWindowProperty()
    : TPropertyGroup("Window", {"Control Id", "User Data", "Owner", "Root Owner", "Last Active Pop-up",
                                "Z-Order Place", "Visible", "Enabled", "Minimized", "Maximized", "Region Box",
                                "DPI", "DPI Awareness"}) {}

void TWindowProperty::Update(const TWindowDetails& record) {
    HWND window = record.Handle;
    if (!IsWindow(window)) {
        ClearValues();
        return;
    }
    // A top-level window keeps its menu where a child keeps its id.
    const bool child = (GetWindowLongA(window, GWL_STYLE) & WS_CHILD) != 0;
    SetValue(0,
             child ? FormatText("%d", static_cast<int>(GetWindowLongPtrA(window, GWLP_ID))) : std::string());
    SetValue(1, PointerText(Pointer(GetWindowLongPtrA(window, GWLP_USERDATA))));
    SetValue(2, HandleText(GetWindow(window, GW_OWNER)));
    SetValue(3, HandleText(GetAncestor(window, GA_ROOTOWNER)));
    SetValue(4, HandleText(GetLastActivePopup(window)));
    SetValue(5, WalkZOrder ? ZOrderPlace(window) : std::string());
    SetValue(6, YesNo(IsWindowVisible(window)));
    SetValue(7, YesNo(IsWindowEnabled(window)));
    SetValue(8, YesNo(IsIconic(window)));
    SetValue(9, YesNo(IsZoomed(window)));
    RECT box = {};
    SetValue(10, GetWindowRgnBox(window, &box) != ERROR ? RectText(IntRect(box)) : std::string());
    const TDpiCalls& dpi = DpiCalls();
    SetValue(11, dpi.DpiForWindow ? FormatNonZero(dpi.DpiForWindow(window), "%u") : std::string());
    HANDLE context = dpi.AwarenessContext && dpi.Awareness ? dpi.AwarenessContext(window) : nullptr;
    SetValue(12, context ? DpiAwarenessText(dpi.Awareness(context)) : std::string());
}

TThreadInputProperty::TThreadInputProperty()
    : TPropertyGroup("Thread input", {"Active Window", "Focus Window", "Capture Window", "Menu Owner",
                                      "Move/Size Window", "Caret Window", "Caret Rect", "Input Flags"}) {}

void TThreadInputProperty::Update(const TWindowDetails& record) {
    GUITHREADINFO info = {};
    info.cbSize = sizeof info;
    if (!record.ThreadId || !GetGUIThreadInfo(record.ThreadId, &info)) {
        ClearValues();
        return;
    }
    SetValue(0, HandleText(info.hwndActive));
    SetValue(1, HandleText(info.hwndFocus));
    SetValue(2, HandleText(info.hwndCapture));
    SetValue(3, HandleText(info.hwndMenuOwner));
    SetValue(4, HandleText(info.hwndMoveSize));
    SetValue(5, HandleText(info.hwndCaret));
    SetValue(6, info.hwndCaret ? RectText(IntRect(info.rcCaret)) : std::string());
    SetValue(7, FlagsText(static_cast<uint32_t>(info.flags), GuiThreadFlagTable()));
}

TProcessMoreProperty::TProcessMoreProperty()
    : TPropertyGroup("Process, more",
                     {"Bitness", "Integrity Level", "Elevated", "Session", "Priority Class"}) {}

void TProcessMoreProperty::Update(const TWindowDetails& record) {
    ClearValues();
    DWORD session = 0;
    if (record.ProcessId && ProcessIdToSessionId(record.ProcessId, &session))
        SetValue(3, FormatText("%u", static_cast<unsigned>(session)));
    TKernelHandle process(record.ProcessId ? OpenProcess(LimitedAccess, FALSE, record.ProcessId) : nullptr);
    if (!process) return;
    SetValue(0, BitnessText(process.Get()));
    SetValue(4, PriorityClassText(static_cast<uint32_t>(GetPriorityClass(process.Get()))));
    HANDLE rawToken = nullptr;
    if (!OpenProcessToken(process.Get(), TOKEN_QUERY, &rawToken)) return;
    TKernelHandle token(rawToken);
    SetValue(1, IntegrityText(token.Get()));
    SetValue(2, ElevatedText(token.Get()));
}

TPropListProperty::TPropListProperty() : TPropertyGroup("Properties list", {}) {}

void TPropListProperty::Update(const TWindowDetails& record) {
    std::vector<TPropEntry> entries;
    if (IsWindow(record.Handle)) EnumPropsExA(record.Handle, CollectProp, reinterpret_cast<LPARAM>(&entries));
    SetCount(static_cast<int>(entries.size()));
    for (size_t i = 0; i < entries.size(); ++i) {
        SetDescription(static_cast<int>(i), entries[i].Name);
        SetValue(static_cast<int>(i), PointerText(entries[i].Value));
    }
}

TExtraBytesProperty::TExtraBytesProperty() : TPropertyGroup("Extra bytes", {}) {}

// Pointer-sized steps while they fit; a last short piece is read as a LONG or a WORD.
void TExtraBytesProperty::Update(const TWindowDetails& record) {
    const int total =
        IsWindow(record.Handle) ? static_cast<int>(GetClassLongA(record.Handle, GCL_CBWNDEXTRA)) : 0;
    std::vector<std::pair<int, uint64_t>> rows;
    for (int offset = 0; offset < total && static_cast<int>(rows.size()) < MaxRows;) {
        const int left = total - offset;
        if (left >= static_cast<int>(sizeof(LONG_PTR))) {
            rows.emplace_back(offset, Pointer(GetWindowLongPtrA(record.Handle, offset)));
            offset += static_cast<int>(sizeof(LONG_PTR));
        } else if (left >= 4) {
            rows.emplace_back(offset, static_cast<uint32_t>(GetWindowLongA(record.Handle, offset)));
            offset += 4;
        } else if (left >= 2) {
            rows.emplace_back(offset, static_cast<uint16_t>(GetWindowWord(record.Handle, offset)));
            offset += 2;
        } else {
            break;
        }
    }
    SetCount(static_cast<int>(rows.size()));
    for (size_t i = 0; i < rows.size(); ++i) {
        SetDescription(static_cast<int>(i),
                       FormatText("Offset 0x%.4x", static_cast<unsigned>(rows[i].first)));
        SetValue(static_cast<int>(i),
                 sizeof(LONG_PTR) == 8
                     ? FormatText("0x%.16llx", static_cast<unsigned long long>(rows[i].second))
                     : FormatText("0x%.8x", static_cast<uint32_t>(rows[i].second)));
    }
}
