// An editable drop-down combo box: the user picks from the list or types a text of their own.
#pragma once

#include "ui/NvClasses.h"

#include <functional>
#include <string>

class TNvEditComboBox : public TNvWindow {
  public:
    explicit TNvEditComboBox(TNvWindow& owner);
    ~TNvEditComboBox() override;

    std::function<void(TNvEditComboBox&)> OnEditChange; // the user changed the text
    std::function<void(TNvEditComboBox&)> OnSelect;     // the user picked an entry
    // A key pressed in the edit part; setting the key to 0 swallows it.
    std::function<void(TNvEditComboBox&, WORD& key, unsigned shift)> OnKeyDown;

    HWND EditHandle() const { return hEdit; }
    int ItemCount() const;
    int ItemIndex() const;
    void SetItemIndex(int index);
    std::string ItemText(int index) const;
    // Replaces the entries with these texts, in one batch.
    void SetItems(const std::vector<std::string>& texts);
    void InsertItem(int index, const std::string& text);
    void DeleteItem(int index);
    bool DroppedDown() const;
    // The background of the edit part; CLR_DEFAULT for the system's window colour.
    COLORREF Color() const { return color; }
    void SetColor(COLORREF newColor);

  protected:
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
    bool HandleNotify(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override;

  private:
    static LRESULT CALLBACK EditProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR id,
                                     DWORD_PTR self);
    HWND hEdit = nullptr;
    COLORREF color = CLR_DEFAULT;
    TBrush brush;
};
