// TNvEditComboBox: the combo box's own notifications, its edit part's keys and colour.
#include "ui/NvEditComboBox.h"

#include "ui/EditMargins.h"

namespace {
const UINT_PTR EditSubclassId = 0x4E764543; // "NvEC"
const int DropDownHeight = 300;
} // namespace

TNvEditComboBox::TNvEditComboBox(TNvWindow& owner) {
    CreateControl("COMBOBOX", WS_VISIBLE | WS_TABSTOP | WS_VSCROLL | CBS_DROPDOWN | CBS_AUTOHSCROLL, 0,
                  owner.Handle());
    if (!Handle()) return;
    COMBOBOXINFO info = {};
    info.cbSize = sizeof info;
    hEdit = GetComboBoxInfo(Handle(), &info) ? info.hwndItem : GetWindow(Handle(), GW_CHILD);
    if (hEdit) SetWindowSubclass(hEdit, EditProc, EditSubclassId, reinterpret_cast<DWORD_PTR>(this));
    RefuseUndrawableMargins(hEdit);
    SetWindowPos(Handle(), nullptr, 0, 0, 100, DropDownHeight, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

TNvEditComboBox::~TNvEditComboBox() {
    if (hEdit && IsWindow(hEdit)) RemoveWindowSubclass(hEdit, EditProc, EditSubclassId);
}

int TNvEditComboBox::ItemCount() const {
    return static_cast<int>(SendMessageA(Handle(), CB_GETCOUNT, 0, 0));
}

int TNvEditComboBox::ItemIndex() const {
    return static_cast<int>(SendMessageA(Handle(), CB_GETCURSEL, 0, 0));
}

void TNvEditComboBox::SetItemIndex(int index) {
    SendMessageA(Handle(), CB_SETCURSEL, static_cast<WPARAM>(index), 0);
}

std::string TNvEditComboBox::ItemText(int index) const {
    LRESULT length = SendMessageA(Handle(), CB_GETLBTEXTLEN, static_cast<WPARAM>(index), 0);
    if (length == CB_ERR) return std::string();
    std::string text(static_cast<size_t>(length) + 1, '\0');
    LRESULT copied =
        SendMessageA(Handle(), CB_GETLBTEXT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&text[0]));
    text.resize(copied == CB_ERR ? 0 : static_cast<size_t>(copied));
    return text;
}

void TNvEditComboBox::SetItems(const std::vector<std::string>& texts) {
    HWND combo = Handle();
    if (!combo) return;
    TRedrawOff redraw(combo, TRedrawOff::RepaintErased);
    SendMessageA(combo, CB_RESETCONTENT, 0, 0);
    size_t bytes = 0;
    for (const std::string& text : texts)
        bytes += text.size() + 1;
    SendMessageA(combo, CB_INITSTORAGE, texts.size(), static_cast<LPARAM>(bytes));
    for (const std::string& text : texts)
        SendMessageA(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text.c_str()));
}

void TNvEditComboBox::InsertItem(int index, const std::string& text) {
    SendMessageA(Handle(), CB_INSERTSTRING, static_cast<WPARAM>(index),
                 reinterpret_cast<LPARAM>(text.c_str()));
}

void TNvEditComboBox::DeleteItem(int index) {
    SendMessageA(Handle(), CB_DELETESTRING, static_cast<WPARAM>(index), 0);
}

bool TNvEditComboBox::DroppedDown() const {
    return SendMessageA(Handle(), CB_GETDROPPEDSTATE, 0, 0) != FALSE;
}

void TNvEditComboBox::SetColor(COLORREF newColor) {
    if (newColor == color) return;
    color = newColor;
    brush.Reset(color == CLR_DEFAULT ? nullptr : CreateSolidBrush(color));
    if (hEdit) InvalidateRect(hEdit, nullptr, TRUE);
}

LRESULT TNvEditComboBox::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    // The edit part asks the combo box for its colours.
    if (message == WM_CTLCOLOREDIT && brush && reinterpret_cast<HWND>(lParam) == hEdit) {
        HDC dc = reinterpret_cast<HDC>(wParam);
        SetBkColor(dc, color);
        SetTextColor(dc, GetSysColor(COLOR_WINDOWTEXT));
        return reinterpret_cast<LRESULT>(brush.Get());
    }
    return TNvWindow::HandleMessage(message, wParam, lParam);
}

bool TNvEditComboBox::HandleNotify(UINT message, WPARAM wParam, LPARAM, LRESULT& result) {
    if (message != WM_COMMAND) return false;
    switch (HIWORD(wParam)) {
    case CBN_EDITCHANGE:
        if (OnEditChange) OnEditChange(*this);
        break;
    case CBN_SELCHANGE:
        if (OnSelect) OnSelect(*this);
        break;
    default:
        return false;
    }
    result = 0;
    return true;
}

LRESULT CALLBACK TNvEditComboBox::EditProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR,
                                           DWORD_PTR selfData) {
    auto self = reinterpret_cast<TNvEditComboBox*>(selfData);
    if (message == WM_NCDESTROY) {
        RemoveWindowSubclass(window, EditProc, EditSubclassId);
        self->hEdit = nullptr;
    } else if (message == WM_KEYDOWN && self->OnKeyDown) {
        WORD key = static_cast<WORD>(wParam);
        try {
            self->OnKeyDown(*self, key, TNvForm::ShiftStateNow());
        } catch (...) {
        }
        if (key == 0) {
            // The character that the key would still produce goes too.
            MSG pending;
            PeekMessageA(&pending, window, WM_CHAR, WM_CHAR, PM_REMOVE | PM_NOYIELD);
            return 0;
        }
    }
    return DefSubclassProc(window, message, wParam, lParam);
}
