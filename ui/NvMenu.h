// TNvMenu and TNvMenuItem: what both kinds of menu share; the menu table rows and their shortcuts.
#pragma once

#include <windows.h>

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <type_traits>
#include <vector>

// One row of a menu table. ShortCut: virtual key in the low byte, plus 0x2000 Shift, 0x4000 Ctrl, 0x8000 Alt.
struct TNvMenuEntry {
    uint16_t Id;
    uint16_t ShortCut;
    const char* Caption; // "-" makes a separator
    uint8_t Flags;       // MenuFlagRadio, MenuFlagDisabled
    int32_t ImageIndex;
};

const uint8_t MenuFlagRadio = 1;
const uint8_t MenuFlagDisabled = 2;
const uint16_t ShortCutShift = 0x2000;
const uint16_t ShortCutCtrl = 0x4000;
const uint16_t ShortCutAlt = 0x8000;

// The text a menu shows for a shortcut: "Ctrl+P", "Alt+Q", "F5", "Ctrl+Num *"; empty for 0.
std::string ShortCutText(uint16_t shortCut);
// A key with its modifiers (TShiftState bits) in the menu tables' shortcut form.
uint16_t ShortCutOf(WORD key, unsigned shift);

class TNvMenuItem;
using TNvMenuClick = std::function<void(TNvMenuItem&)>;

// One menu item: made from a table entry (Entry set) or from a plain tag (a command index, -1 a separator).
class TNvMenuItem {
  public:
    const TNvMenuEntry* Entry = nullptr;
    int Tag = 0;
    std::string Caption;
    uint16_t ShortCut = 0;
    UINT CommandId = 0;
    HMENU ParentMenu = nullptr; // the menu that holds this item
    HMENU SubMenu = nullptr;    // for a top-level item of a main menu
    TNvMenuClick OnClick;       // for a top-level item: runs when its menu opens
    std::vector<std::unique_ptr<TNvMenuItem>> Items;

    bool IsSeparator() const { return Caption == "-"; }
    bool Checked() const;
    void SetChecked(bool on);
    void SetEnabled(bool on);
};

// What both menu classes share: items, command ids, shortcuts, lookup by entry id.
class TNvMenu {
  public:
    TNvMenu(const TNvMenu&) = delete;
    TNvMenu& operator=(const TNvMenu&) = delete;
    virtual ~TNvMenu();

    HMENU Handle() const { return hMenu; }
    int Count() const { return static_cast<int>(Items.size()); }
    TNvMenuItem* Item(int index) const;
    // The first item whose entry has this id, searching each top-level item and then its sub-items.
    TNvMenuItem* FindMenuItem(uint16_t id) const;
    TNvMenuItem* FindCommand(UINT commandId) const;
    // Adds an item under parent (or at the top level when parent is null).
    TNvMenuItem& AddItem(TNvMenuItem* parent, const std::string& caption, uint16_t shortCut, int tag,
                         TNvMenuClick onClick, const TNvMenuEntry* entry = nullptr);
    void AddEntries(TNvMenuItem* parent, const TNvMenuEntry* table, int lastIndex,
                    const TNvMenuClick& onClick);
    // Runs the click handler of the item with this command id; false when it is not one of this menu's.
    bool RunCommand(UINT commandId);
    // Runs the enabled item with this shortcut; false when there is none.
    bool RunShortCut(uint16_t shortCut);
    // Runs the open handler of the top-level item whose menu is opening.
    bool MenuOpening(HMENU menu);
    // The menu's shortcuts as an accelerator table, rebuilt after items change.
    HACCEL Accelerators();

  protected:
    explicit TNvMenu(HMENU menu) : hMenu(menu) {}
    HMENU hMenu;
    std::vector<std::unique_ptr<TNvMenuItem>> Items;

  private:
    struct TAccelDeleter {
        void operator()(HACCEL accel) const { DestroyAcceleratorTable(accel); }
    };
    std::unique_ptr<std::remove_pointer_t<HACCEL>, TAccelDeleter> accelerators;
    bool acceleratorsStale = true;
    UINT nextCommandId = 0x100;
};
