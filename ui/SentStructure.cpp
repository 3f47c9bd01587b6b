// Whether the structure that another thread's notification points at may be read by the receiving window.
#include "ui/SentStructure.h"

#include <commctrl.h>

#include <algorithm>
#include <cstdint>

namespace {

bool IsWritableProtection(DWORD protection) {
    if (protection & (PAGE_GUARD | PAGE_NOACCESS)) return false;
    switch (protection & 0xFF) {
    case PAGE_READWRITE:
    case PAGE_WRITECOPY:
    case PAGE_EXECUTE_READWRITE:
    case PAGE_EXECUTE_WRITECOPY:
        return true;
    default:
        return false;
    }
}

// The notifications whose larger structures the kit reads, with their sizes; any other needs its header.
struct TNotifySize {
    UINT Code;
    size_t Size;
};
const TNotifySize NotifySizes[] = {
    {LVN_GETINFOTIPA, sizeof(NMLVGETINFOTIPA)},
    {LVN_GETINFOTIPW, sizeof(NMLVGETINFOTIPW)},
    {LVN_COLUMNCLICK, sizeof(NMLISTVIEW)},
    {LVN_KEYDOWN, sizeof(NMLVKEYDOWN)},
    {TVN_KEYDOWN, sizeof(NMTVKEYDOWN)},
    {NM_CUSTOMDRAW, std::max(sizeof(NMLVCUSTOMDRAW), sizeof(NMTVCUSTOMDRAW))},
    {HDN_ITEMCHANGEDA, sizeof(NMHEADERA)},
    {HDN_ITEMCHANGEDW, sizeof(NMHEADERW)},
    {HDN_ENDTRACKA, sizeof(NMHEADERA)},
    {HDN_ENDTRACKW, sizeof(NMHEADERW)},
    {HDN_DIVIDERDBLCLICKA, sizeof(NMHEADERA)},
    {HDN_DIVIDERDBLCLICKW, sizeof(NMHEADERW)},
    {HDN_ITEMCLICKA, sizeof(NMHEADERA)},
    {HDN_ITEMCLICKW, sizeof(NMHEADERW)},
};

size_t NotifySize(UINT code) {
    for (const TNotifySize& entry : NotifySizes)
        if (entry.Code == code) return entry.Size;
    return sizeof(NMHDR);
}

// The buffers that some notifications point at further and that the kit writes or reads.
bool PointedPartsWritable(const NMHDR& header) {
    switch (header.code) {
    case LVN_GETINFOTIPA: {
        auto& tip = reinterpret_cast<const NMLVGETINFOTIPA&>(header);
        return !tip.pszText || tip.cchTextMax <= 0 ||
               IsWritableMemory(tip.pszText, static_cast<size_t>(tip.cchTextMax));
    }
    case LVN_GETINFOTIPW: {
        auto& tip = reinterpret_cast<const NMLVGETINFOTIPW&>(header);
        return !tip.pszText || tip.cchTextMax <= 0 ||
               IsWritableMemory(tip.pszText, static_cast<size_t>(tip.cchTextMax) * sizeof(WCHAR));
    }
    case HDN_ITEMCHANGEDA:
    case HDN_ITEMCHANGEDW:
    case HDN_ENDTRACKA:
    case HDN_ENDTRACKW:
    case HDN_DIVIDERDBLCLICKA:
    case HDN_DIVIDERDBLCLICKW:
    case HDN_ITEMCLICKA:
    case HDN_ITEMCLICKW: {
        auto& item = reinterpret_cast<const NMHEADERA&>(header);
        return !item.pitem || IsWritableMemory(item.pitem, sizeof(HDITEMA));
    }
    default:
        return true;
    }
}

bool IsChildOf(HWND receiver, HWND sender) {
    return sender && IsChild(receiver, sender);
}

template <class T> const T* Structure(LPARAM lParam) {
    auto structure = reinterpret_cast<const T*>(lParam);
    return IsWritableMemory(structure, sizeof(T)) ? structure : nullptr;
}

bool MayReadNotify(HWND receiver, LPARAM lParam) {
    auto header = Structure<NMHDR>(lParam);
    return header && IsWritableMemory(header, NotifySize(header->code)) &&
           IsChildOf(receiver, header->hwndFrom) && PointedPartsWritable(*header);
}

} // namespace

bool IsWritableMemory(const void* address, size_t size) {
    auto at = reinterpret_cast<uintptr_t>(address);
    const uintptr_t end = at + size;
    if (!address || size == 0 || end < at) return false;
    // A structure may run from one region into the next: each of them must be there.
    while (at < end) {
        MEMORY_BASIC_INFORMATION region = {};
        if (VirtualQuery(reinterpret_cast<const void*>(at), &region, sizeof region) != sizeof region)
            return false;
        if (region.State != MEM_COMMIT || !IsWritableProtection(region.Protect)) return false;
        const uintptr_t regionEnd = reinterpret_cast<uintptr_t>(region.BaseAddress) + region.RegionSize;
        if (regionEnd <= at) return false;
        at = regionEnd;
    }
    return true;
}

bool MayReadSentStructure(HWND receiver, UINT message, LPARAM lParam) {
    switch (message) {
    case WM_NOTIFY:
    case WM_DRAWITEM:
    case WM_MEASUREITEM:
    case WM_COMPAREITEM:
    case WM_DELETEITEM:
        break;
    default:
        return true;
    }
    // This thread's own controls build these structures where they can be read; another thread's message
    // may point anywhere, and its sender may be made up.
    if (InSendMessageEx(nullptr) == ISMEX_NOSEND) return true;
    switch (message) {
    case WM_NOTIFY:
        return MayReadNotify(receiver, lParam);
    case WM_DRAWITEM: {
        auto draw = Structure<DRAWITEMSTRUCT>(lParam);
        return draw && IsChildOf(receiver, draw->hwndItem);
    }
    case WM_MEASUREITEM: {
        // No window handle: the control id must name a child. A menu's item is measured by the thread that
        // shows the menu, never by another.
        auto measure = Structure<MEASUREITEMSTRUCT>(lParam);
        return measure && measure->CtlType != ODT_MENU &&
               GetDlgItem(receiver, static_cast<int>(measure->CtlID)) != nullptr;
    }
    case WM_COMPAREITEM: {
        auto compare = Structure<COMPAREITEMSTRUCT>(lParam);
        return compare && IsChildOf(receiver, compare->hwndItem);
    }
    default: {
        auto deletion = Structure<DELETEITEMSTRUCT>(lParam);
        return deletion && IsChildOf(receiver, deletion->hwndItem);
    }
    }
}
