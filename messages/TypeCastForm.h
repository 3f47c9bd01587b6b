// The Typecast viewer: a small window that shows what a value reads as in this process (a text, a number,
// a font or an icon).
#pragma once

#include "messages/TypeCastText.h"
#include "ui/NvClasses.h"

#include <cstdint>
#include <string>

class TTypeCastForm : public TNvForm {
  public:
    // The viewer reads the memory at the value once, when it is made, and keeps its own copy; it never
    // reads the value's memory again, so the memory may go while the viewer stays open.
    static TTypeCastForm& Open(HWND owner, uintptr_t value);
    // A viewer on a buffer whose bytes the caller knows: the copy is exactly those bytes.
    static TTypeCastForm& Open(HWND owner, uintptr_t value, const void* bytes, size_t size);
    // Closes every open viewer (at shut-down, and for tests).
    static void CloseAll();
    static int OpenCount();

    TTypeCastKind Kind = tkInvalid;
    uintptr_t Value = 0;

    void SetValue(uintptr_t value);
    // What the window shows: its caption is built on every paint, this is the text drawn.
    std::string ViewText() const;
    const std::string& Snapshot() const { return snapshot; }
    static constexpr size_t MaxSnapshot = 65536;

    TTypeCastForm(HWND owner, uintptr_t value, const void* bytes, size_t size, bool known);
    ~TTypeCastForm() override;

  protected:
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

  private:
    void Paint(HDC dc);
    std::string Caption() const;
    TFont ViewFont;
    std::string snapshot;
    int paintPpi = 96;
};
