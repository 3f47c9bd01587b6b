// TNvMainMenu and TNvPopupMenu: menus built from entry tables, found by entry id, with their shortcuts.
#include "ui/NvMainMenu.h"

#include "ui/NvPopupMenu.h"
#include "ui/NvForm.h"

#include "ui/MenuHotkeys.h"

namespace {

std::string KeyName(BYTE key) {
    if (key >= VK_F1 && key <= VK_F24) return "F" + std::to_string(key - VK_F1 + 1);
    if ((key >= '0' && key <= '9') || (key >= 'A' && key <= 'Z'))
        return std::string(1, static_cast<char>(key));
    if (key >= VK_NUMPAD0 && key <= VK_NUMPAD9) return "Num " + std::to_string(key - VK_NUMPAD0);
    switch (key) {
    case VK_MULTIPLY:
        return "Num *";
    case VK_ADD:
        return "Num +";
    case VK_SUBTRACT:
        return "Num -";
    case VK_DIVIDE:
        return "Num /";
    case VK_PRIOR:
        return "PgUp";
    case VK_NEXT:
        return "PgDn";
    case VK_LEFT:
        return "Left";
    case VK_RIGHT:
        return "Right";
    case VK_UP:
        return "Up";
    case VK_DOWN:
        return "Down";
    case VK_HOME:
        return "Home";
    case VK_END:
        return "End";
    case VK_INSERT:
        return "Ins";
    case VK_DELETE:
        return "Del";
    case VK_RETURN:
        return "Enter";
    case VK_ESCAPE:
        return "Esc";
    case VK_SPACE:
        return "Space";
    case VK_BACK:
        return "BkSp";
    case VK_TAB:
        return "Tab";
    default:
        return "#" + std::to_string(key);
    }
}

} // namespace

std::string ShortCutText(uint16_t shortCut) {
    if (shortCut == 0) return {};
    std::string text;
    if (shortCut & ShortCutShift) text += "Shift+";
    if (shortCut & ShortCutCtrl) text += "Ctrl+";
    if (shortCut & ShortCutAlt) text += "Alt+";
    return text + KeyName(static_cast<BYTE>(shortCut & 0xFF));
}

uint16_t ShortCutOf(WORD key, unsigned shift) {
    uint16_t shortCut = static_cast<uint16_t>(key & 0xFF);
    if (shift & ssShift) shortCut |= ShortCutShift;
    if (shift & ssCtrl) shortCut |= ShortCutCtrl;
    if (shift & ssAlt) shortCut |= ShortCutAlt;
    return shortCut;
}

bool TNvMenuItem::Checked() const {
    return ParentMenu && (GetMenuState(ParentMenu, CommandId, MF_BYCOMMAND) & MF_CHECKED);
}

void TNvMenuItem::SetChecked(bool on) {
    if (ParentMenu) CheckMenuItem(ParentMenu, CommandId, MF_BYCOMMAND | (on ? MF_CHECKED : MF_UNCHECKED));
}

void TNvMenuItem::SetEnabled(bool on) {
    if (ParentMenu) EnableMenuItem(ParentMenu, CommandId, MF_BYCOMMAND | (on ? MF_ENABLED : MF_GRAYED));
}

// The handle is ours alone until here: a menu bar is taken off its window before the window goes.
TNvMenu::~TNvMenu() {
    if (hMenu) DestroyMenu(hMenu);
}

TNvMenuItem* TNvMenu::Item(int index) const {
    return index < 0 || index >= Count() ? nullptr : Items[static_cast<size_t>(index)].get();
}

// Two levels only: each top-level item, then its direct sub-items. Items made from tags are skipped.
TNvMenuItem* TNvMenu::FindMenuItem(uint16_t id) const {
    for (const auto& top : Items) {
        if (top->Entry && top->Entry->Id == id) return top.get();
        for (const auto& sub : top->Items)
            if (sub->Entry && sub->Entry->Id == id) return sub.get();
    }
    return nullptr;
}

namespace {

TNvMenuItem* FindShortCutIn(const std::vector<std::unique_ptr<TNvMenuItem>>& items, uint16_t shortCut) {
    for (const auto& item : items) {
        if (item->ShortCut == shortCut && !item->IsSeparator() && !item->SubMenu) return item.get();
        if (TNvMenuItem* found = FindShortCutIn(item->Items, shortCut)) return found;
    }
    return nullptr;
}

TNvMenuItem* FindCommandIn(const std::vector<std::unique_ptr<TNvMenuItem>>& items, UINT commandId) {
    for (const auto& item : items) {
        if (item->CommandId == commandId) return item.get();
        if (TNvMenuItem* found = FindCommandIn(item->Items, commandId)) return found;
    }
    return nullptr;
}

// An item that gets sub-items becomes a sub-menu.
HMENU SubMenuOf(TNvMenuItem& item) {
    if (item.SubMenu) return item.SubMenu;
    item.SubMenu = CreatePopupMenu();
    MENUITEMINFOA info = {};
    info.cbSize = sizeof info;
    info.fMask = MIIM_SUBMENU;
    info.hSubMenu = item.SubMenu;
    SetMenuItemInfoA(item.ParentMenu, item.CommandId, FALSE, &info);
    return item.SubMenu;
}

} // namespace

// Automatic accelerator letters, for both menu classes: a level's items are shown anew whenever one is added,
// since a new item can only take a letter that its siblings have left.
void ShowWithHotkeys(HMENU menu, const std::vector<std::unique_ptr<TNvMenuItem>>& items) {
    std::vector<std::string> captions;
    for (const auto& item : items)
        captions.push_back(item->Caption);
    std::vector<std::string> shown = AutoHotkeyCaptions(captions);
    for (size_t i = 0; i < items.size(); ++i) {
        if (items[i]->IsSeparator()) continue;
        std::string text = shown[i];
        if (items[i]->ShortCut) text += "\t" + ShortCutText(items[i]->ShortCut);
        MENUITEMINFOA info = {};
        info.cbSize = sizeof info;
        info.fMask = MIIM_STRING;
        info.dwTypeData = const_cast<char*>(text.c_str());
        SetMenuItemInfoA(menu, static_cast<UINT>(i), TRUE, &info);
    }
}

TNvMenuItem* TNvMenu::FindCommand(UINT commandId) const {
    return FindCommandIn(Items, commandId);
}

TNvMenuItem& TNvMenu::AddItem(TNvMenuItem* parent, const std::string& caption, uint16_t shortCut, int tag,
                              TNvMenuClick onClick, const TNvMenuEntry* entry) {
    auto item = std::make_unique<TNvMenuItem>();
    item->Entry = entry;
    item->Tag = tag;
    item->Caption = caption;
    item->ShortCut = shortCut;
    item->CommandId = nextCommandId++;
    item->OnClick = std::move(onClick);
    item->ParentMenu = parent ? SubMenuOf(*parent) : hMenu;
    if (item->IsSeparator()) {
        AppendMenuA(item->ParentMenu, MF_SEPARATOR, item->CommandId, nullptr);
    } else {
        std::string text = caption;
        if (shortCut) text += "\t" + ShortCutText(shortCut);
        MENUITEMINFOA info = {};
        info.cbSize = sizeof info;
        info.fMask = MIIM_ID | MIIM_STRING | MIIM_FTYPE | MIIM_STATE;
        info.wID = item->CommandId;
        info.dwTypeData = const_cast<char*>(text.c_str());
        info.fType = (entry && (entry->Flags & MenuFlagRadio)) ? MFT_RADIOCHECK : MFT_STRING;
        info.fState = (entry && (entry->Flags & MenuFlagDisabled)) ? MFS_GRAYED : MFS_ENABLED;
        InsertMenuItemA(item->ParentMenu, GetMenuItemCount(item->ParentMenu), TRUE, &info);
    }
    acceleratorsStale = true;
    auto& list = parent ? parent->Items : Items;
    list.push_back(std::move(item));
    ShowWithHotkeys(list.back()->ParentMenu, list);
    return *list.back();
}

void TNvMenu::AddEntries(TNvMenuItem* parent, const TNvMenuEntry* table, int lastIndex,
                         const TNvMenuClick& onClick) {
    for (int i = 0; i <= lastIndex; ++i)
        AddItem(parent, table[i].Caption, table[i].ShortCut, table[i].Id, onClick, &table[i]);
}

bool TNvMenu::RunCommand(UINT commandId) {
    TNvMenuItem* item = FindCommand(commandId);
    if (!item || item->SubMenu) return false;
    if (item->OnClick) item->OnClick(*item);
    return true;
}

bool TNvMenu::RunShortCut(uint16_t shortCut) {
    if (!shortCut) return false;
    TNvMenuItem* item = FindShortCutIn(Items, shortCut);
    if (!item || (GetMenuState(item->ParentMenu, item->CommandId, MF_BYCOMMAND) & (MF_GRAYED | MF_DISABLED)))
        return false;
    if (item->OnClick) item->OnClick(*item);
    return true;
}

bool TNvMenu::MenuOpening(HMENU menu) {
    for (const auto& top : Items) {
        if (top->SubMenu != menu) continue;
        if (top->OnClick) top->OnClick(*top);
        return true;
    }
    return false;
}

HACCEL TNvMenu::Accelerators() {
    if (!acceleratorsStale) return accelerators.get();
    std::vector<ACCEL> table;
    for (const auto& top : Items) {
        for (const auto& sub : top->Items) {
            if (!sub->ShortCut || sub->IsSeparator()) continue;
            BYTE flags = FVIRTKEY;
            if (sub->ShortCut & ShortCutShift) flags |= FSHIFT;
            if (sub->ShortCut & ShortCutCtrl) flags |= FCONTROL;
            if (sub->ShortCut & ShortCutAlt) flags |= FALT;
            table.push_back(
                {flags, static_cast<WORD>(sub->ShortCut & 0xFF), static_cast<WORD>(sub->CommandId)});
        }
    }
    accelerators.reset(table.empty() ? nullptr
                                     : CreateAcceleratorTableA(table.data(), static_cast<int>(table.size())));
    acceleratorsStale = false;
    return accelerators.get();
}

TNvMainMenu::TNvMainMenu(TNvForm& owner) : TNvMenu(CreateMenu()), Owner(owner) {
    SetMenu(owner.Handle(), hMenu);
    owner.SetMainMenu(this);
}

TNvMainMenu::~TNvMainMenu() {
    if (Owner.MainMenu() == this) Owner.SetMainMenu(nullptr);
    if (Owner.Handle() && GetMenu(Owner.Handle()) == hMenu) SetMenu(Owner.Handle(), nullptr);
}

TNvMenuItem& TNvMainMenu::AddMenu(const std::string& caption, const TNvMenuEntry* table, int lastIndex,
                                  const TNvMenuClick& onClick) {
    auto item = std::make_unique<TNvMenuItem>();
    item->Caption = caption;
    item->ParentMenu = hMenu;
    item->SubMenu = CreatePopupMenu();
    AppendMenuA(hMenu, MF_POPUP, reinterpret_cast<UINT_PTR>(item->SubMenu), caption.c_str());
    Items.push_back(std::move(item));
    ShowWithHotkeys(hMenu, Items);
    TNvMenuItem& top = *Items.back();
    AddEntries(&top, table, lastIndex, onClick);
    if (Owner.Handle()) DrawMenuBar(Owner.Handle());
    return top;
}

TNvPopupMenu::TNvPopupMenu(TNvWindow& owner, const TNvMenuClick& onClick, const TNvMenuEntry* table,
                           int lastIndex)
    : TNvMenu(CreatePopupMenu()), Owner(owner) {
    AddEntries(nullptr, table, lastIndex, onClick);
}

void TNvPopupMenu::Popup(int x, int y) {
    UINT chosen = static_cast<UINT>(TrackPopupMenu(hMenu, TPM_RETURNCMD | TPM_RIGHTBUTTON | TPM_NONOTIFY, x,
                                                   y, 0, Owner.Handle(), nullptr));
    if (chosen) RunCommand(chosen);
}
