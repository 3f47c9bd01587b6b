// Paneprobe's own edits turn away EM_SETMARGINS values they could never draw.
#include "ui/EditMargins.h"

#include <commctrl.h>

namespace {

const UINT_PTR MarginsSubclassId = 0x4E764D47; // "NvMG"

// EC_USEFONTINFO as a margin asks for the font's default, which is always drawable.
bool Undrawable(WORD margin) {
    return margin != EC_USEFONTINFO && margin > WidestEditMargin;
}

LRESULT CALLBACK MarginsProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR, DWORD_PTR) {
    if (message == EM_SETMARGINS && (((wParam & EC_LEFTMARGIN) && Undrawable(LOWORD(lParam))) ||
                                     ((wParam & EC_RIGHTMARGIN) && Undrawable(HIWORD(lParam)))))
        return 0;
    if (message == WM_NCDESTROY) RemoveWindowSubclass(window, MarginsProc, MarginsSubclassId);
    return DefSubclassProc(window, message, wParam, lParam);
}

} // namespace

void RefuseUndrawableMargins(HWND edit) {
    if (edit) SetWindowSubclass(edit, MarginsProc, MarginsSubclassId, 0);
}
