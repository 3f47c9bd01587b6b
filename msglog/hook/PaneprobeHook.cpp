// The hook module that a logged program loads: on each hooked thread it copies the messages of the chosen
// windows into the rings of the logs that attached there, and does nothing else. It allocates nothing, takes
// no lock, sends no message and throws nothing while it records; the rare attach and detach map and unmap
// a view.
#include "msglog/LogRing.h"

#include <windows.h>

#include <atomic>

namespace {

const int MaxRings = 32;
const DWORD Claiming = 0xFFFFFFFFu;

// One ring taken by one thread of this process. Only that thread touches View once Thread names it, so a
// slot needs no lock: other threads read Thread alone.
struct TSlot {
    std::atomic<DWORD> Thread;
    void* View;
    uint32_t Capacity;
};

TSlot Slots[MaxRings];
std::atomic<UINT> AttachMessage{0};
std::atomic<int> SlotsInUse{0};

UINT AttachMessageId() {
    UINT id = AttachMessage.load(std::memory_order_relaxed);
    if (!id) {
        id = RegisterWindowMessageA(LogAttachMessageName);
        AttachMessage.store(id, std::memory_order_relaxed);
    }
    return id;
}

int HexDigit(uint32_t value) {
    return value < 10 ? '0' + static_cast<int>(value) : 'A' + static_cast<int>(value - 10);
}

void Attach(uint32_t keyHigh, uint32_t keyLow) {
    char name[64] = {};
    int length = 0;
    for (const char* p = LogRingNamePrefix; *p; ++p)
        name[length++] = *p;
    uint64_t key = (static_cast<uint64_t>(keyHigh) << 32) | keyLow;
    for (int shift = 60; shift >= 0; shift -= 4)
        name[length++] = static_cast<char>(HexDigit(static_cast<uint32_t>(key >> shift) & 0xF));
    HANDLE mapping = OpenFileMappingA(FILE_MAP_READ | FILE_MAP_WRITE, FALSE, name);
    if (!mapping) return;
    void* view = MapViewOfFile(mapping, FILE_MAP_READ | FILE_MAP_WRITE, 0, 0, 0);
    CloseHandle(mapping); // the view keeps the memory
    if (!view) return;
    MEMORY_BASIC_INFORMATION info = {};
    TLogRing ring(view);
    DWORD thread = GetCurrentThreadId();
    bool fits = VirtualQuery(view, &info, sizeof info) == sizeof info && ring.Attach(info.RegionSize) &&
                ring.Header().TargetThread == thread;
    if (fits) {
        for (TSlot& slot : Slots) {
            DWORD free = 0;
            if (!slot.Thread.compare_exchange_strong(free, Claiming)) continue;
            slot.View = view;
            slot.Capacity = ring.Capacity();
            SlotsInUse.fetch_add(1);
            slot.Thread.store(thread, std::memory_order_release);
            ring.Header().Attached.store(1, std::memory_order_release);
            return;
        }
    }
    UnmapViewOfFile(view);
}

void Release(TSlot& slot) {
    void* view = slot.View;
    slot.View = nullptr;
    slot.Thread.store(0, std::memory_order_release);
    SlotsInUse.fetch_sub(1);
    UnmapViewOfFile(view);
}

// Copies UTF-16 text as UTF-8 into a record's text field, cut at a whole character.
bool CopyWideText(const wchar_t* text, TLogRecord& record) {
    char* out = record.Fields.Text;
    size_t room = sizeof record.Fields.Text - 1, used = 0;
    for (size_t i = 0; text[i] && i < 256; ++i) {
        uint32_t c = static_cast<uint16_t>(text[i]);
        if (c < 0x20) return false;
        if (c >= 0xD800 && c < 0xDC00 && text[i + 1] >= 0xDC00 && text[i + 1] < 0xE000) {
            c = 0x10000 + ((c - 0xD800) << 10) + (static_cast<uint16_t>(text[i + 1]) - 0xDC00);
            ++i;
        }
        char bytes[4];
        size_t count;
        if (c < 0x80) {
            bytes[0] = static_cast<char>(c);
            count = 1;
        } else if (c < 0x800) {
            bytes[0] = static_cast<char>(0xC0 | (c >> 6));
            bytes[1] = static_cast<char>(0x80 | (c & 0x3F));
            count = 2;
        } else if (c < 0x10000) {
            bytes[0] = static_cast<char>(0xE0 | (c >> 12));
            bytes[1] = static_cast<char>(0x80 | ((c >> 6) & 0x3F));
            bytes[2] = static_cast<char>(0x80 | (c & 0x3F));
            count = 3;
        } else {
            bytes[0] = static_cast<char>(0xF0 | (c >> 18));
            bytes[1] = static_cast<char>(0x80 | ((c >> 12) & 0x3F));
            bytes[2] = static_cast<char>(0x80 | ((c >> 6) & 0x3F));
            bytes[3] = static_cast<char>(0x80 | (c & 0x3F));
            count = 4;
        }
        if (used + count > room) break;
        for (size_t b = 0; b < count; ++b)
            out[used++] = bytes[b];
    }
    out[used] = '\0';
    return true;
}

// Copies 8-bit text as it stands, cut before a partial UTF-8 sequence at the end.
bool CopyNarrowText(const char* text, TLogRecord& record) {
    char* out = record.Fields.Text;
    size_t room = sizeof record.Fields.Text - 1, used = 0;
    while (used < room && text[used]) {
        if (static_cast<unsigned char>(text[used]) < 0x20) return false;
        out[used] = text[used];
        ++used;
    }
    if (used == room && text[used]) {
        size_t start = used;
        while (start > 0 && (static_cast<unsigned char>(out[start - 1]) & 0xC0) == 0x80)
            --start;
        if (start > 0 && static_cast<unsigned char>(out[start - 1]) >= 0xC0) used = start - 1;
    }
    out[used] = '\0';
    return true;
}

// The hook sees the text as the sender passed it, 8-bit or UTF-16 (the platform converts it only for the
// window procedure), so the bytes decide: a first character whose second byte is zero is UTF-16. What is
// not text (a control character) is not shown as one.
void CopyText(LPARAM lParam, TLogRecord& record) {
    const char* bytes = reinterpret_cast<const char*>(lParam);
    bool text = bytes[0] && !bytes[1] ? CopyWideText(reinterpret_cast<const wchar_t*>(lParam), record)
                                      : CopyNarrowText(bytes, record);
    if (text) return;
    record.Copied = lcNone;
    record.Fields.Text[0] = '\0';
}

void Copy(TLogRecord& record, TLogCopied kind, std::initializer_list<int32_t> values) {
    record.Copied = kind;
    int i = 0;
    for (int32_t value : values)
        record.Fields.Values[i++] = value;
}

// Wine 8 hands the hooks of a message sent from another thread an lParam that is not the message's own
// (measured: neither the text of WM_SETTEXT nor the result): there, such a message's fields are not copied.
bool UnreliableSentFields() {
    static const bool wine = GetProcAddress(GetModuleHandleA("ntdll.dll"), "wine_get_version") != nullptr;
    return wine && InSendMessage();
}

// The addresses in lParam mean something only here and now: the few fields the log shows are copied.
void CopyFields(TLogRecord& record, UINT message, WPARAM wParam, LPARAM lParam) {
    if (!lParam || UnreliableSentFields()) return;
    switch (message) {
    case WM_WINDOWPOSCHANGING:
    case WM_WINDOWPOSCHANGED: {
        const WINDOWPOS& p = *reinterpret_cast<const WINDOWPOS*>(lParam);
        Copy(record, lcWindowPos,
             {p.x, p.y, p.cx, p.cy, static_cast<int32_t>(p.flags),
              static_cast<int32_t>(reinterpret_cast<UINT_PTR>(p.hwndInsertAfter))});
        break;
    }
    case WM_NCCALCSIZE: {
        const RECT& r = wParam ? reinterpret_cast<const NCCALCSIZE_PARAMS*>(lParam)->rgrc[0]
                               : *reinterpret_cast<const RECT*>(lParam);
        Copy(record, lcRect, {r.left, r.top, r.right, r.bottom});
        break;
    }
    case WM_CREATE:
    case WM_NCCREATE: {
        const CREATESTRUCTW& c = *reinterpret_cast<const CREATESTRUCTW*>(lParam);
        Copy(record, lcCreate,
             {c.x, c.y, c.cx, c.cy, static_cast<int32_t>(c.style), static_cast<int32_t>(c.dwExStyle)});
        break;
    }
    case WM_GETMINMAXINFO: {
        const MINMAXINFO& m = *reinterpret_cast<const MINMAXINFO*>(lParam);
        Copy(record, lcMinMax,
             {m.ptMaxSize.x, m.ptMaxSize.y, m.ptMaxPosition.x, m.ptMaxPosition.y, m.ptMinTrackSize.x,
              m.ptMinTrackSize.y, m.ptMaxTrackSize.x, m.ptMaxTrackSize.y});
        break;
    }
    case WM_STYLECHANGING:
    case WM_STYLECHANGED: {
        const STYLESTRUCT& s = *reinterpret_cast<const STYLESTRUCT*>(lParam);
        Copy(record, lcStyle, {static_cast<int32_t>(s.styleOld), static_cast<int32_t>(s.styleNew)});
        break;
    }
    case WM_SETTEXT:
        record.Copied = lcText;
        CopyText(lParam, record);
        break;
    default:
        break;
    }
}

bool InScope(const TLogRingHeader& header, HWND window) {
    HWND target = reinterpret_cast<HWND>(static_cast<UINT_PTR>(header.Target));
    switch (header.Scope.load(std::memory_order_relaxed)) {
    case lsWindow:
        return window == target;
    case lsDescendants:
        return window == target || (window && IsChild(target, window));
    default:
        if (header.SkipLogWindows && window) {
            HWND root = GetAncestor(window, GA_ROOT);
            if (root && GetPropA(root, LogWindowProperty)) return false;
        }
        return true;
    }
}

void Record(TLogKind kind, HWND window, UINT message, WPARAM wParam, LPARAM lParam, LRESULT result) {
    if (SlotsInUse.load(std::memory_order_relaxed) == 0) return;
    DWORD thread = GetCurrentThreadId();
    TLogRecord record;
    bool made = false;
    for (TSlot& slot : Slots) {
        if (slot.Thread.load(std::memory_order_acquire) != thread) continue;
        TLogRing ring(slot.View, slot.Capacity);
        TLogRingHeader& header = ring.Header();
        if (header.Closed.load(std::memory_order_acquire)) {
            Release(slot);
            continue;
        }
        if (header.Paused.load(std::memory_order_relaxed) || !InScope(header, window)) continue;
        if (!made) {
            record = TLogRecord();
            LARGE_INTEGER now;
            QueryPerformanceCounter(&now);
            record.Time = now.QuadPart;
            record.Kind = kind;
            record.Window = reinterpret_cast<UINT_PTR>(window);
            record.Message = message;
            // Zero-extended in both bitnesses, so that a value reads the same whoever wrote it.
            record.WParam = static_cast<UINT_PTR>(wParam);
            record.LParam = static_cast<UINT_PTR>(lParam);
            record.Result = static_cast<UINT_PTR>(result);
            record.Thread = thread;
            if (kind != lkPosted) CopyFields(record, message, wParam, lParam);
            made = true;
        }
        ring.Write(record);
    }
}

} // namespace

extern "C" {

LRESULT CALLBACK PaneprobeCallWndProc(int code, WPARAM wParam, LPARAM lParam) {
    if (code == HC_ACTION && lParam) {
        const CWPSTRUCT& sent = *reinterpret_cast<const CWPSTRUCT*>(lParam);
        Record(lkSent, sent.hwnd, sent.message, sent.wParam, sent.lParam, 0);
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

LRESULT CALLBACK PaneprobeCallWndRetProc(int code, WPARAM wParam, LPARAM lParam) {
    if (code == HC_ACTION && lParam) {
        const CWPRETSTRUCT& done = *reinterpret_cast<const CWPRETSTRUCT*>(lParam);
        Record(lkReturned, done.hwnd, done.message, done.wParam, done.lParam, done.lResult);
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

LRESULT CALLBACK PaneprobeGetMsgProc(int code, WPARAM wParam, LPARAM lParam) {
    // A peek that leaves the message in the queue sees it again later: only its removal counts.
    if (code == HC_ACTION && (wParam & PM_REMOVE) && lParam) {
        MSG& posted = *reinterpret_cast<MSG*>(lParam);
        if (!posted.hwnd && posted.message == AttachMessageId()) {
            Attach(static_cast<uint32_t>(posted.wParam), static_cast<uint32_t>(posted.lParam));
            posted.message = WM_NULL; // the program never sees Paneprobe's own message
        } else {
            Record(lkPosted, posted.hwnd, posted.message, posted.wParam, posted.lParam, 0);
        }
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

} // extern "C"

BOOL WINAPI DllMain(HINSTANCE, DWORD reason, LPVOID reserved) {
    // Unloaded while the program runs (its hooks are gone): the views go with the module. At process exit
    // the system frees them anyway.
    if (reason == DLL_PROCESS_DETACH && !reserved) {
        for (TSlot& slot : Slots)
            if (slot.Thread.load() != 0 && slot.Thread.load() != Claiming) Release(slot);
    }
    return TRUE;
}
