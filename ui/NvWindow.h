// TNvWindow: the base of every kit window and its one message dispatch; the modifier key set.
#pragma once

#include <windows.h>
#include <commctrl.h>

#include <memory>
#include <string>
#include <utility>
#include <vector>

// Modifier keys as an exact set.
enum TShiftState : unsigned {
    ssNone = 0,
    ssShift = 1,
    ssAlt = 2,
    ssCtrl = 4,
};

class TNvPopupMenu;

// The base of every kit window: one static procedure forwards each message to the object's HandleMessage.
// Windows of the kit's own classes keep the object in GWLP_USERDATA; common controls are subclassed.
class TNvWindow {
  public:
    TNvWindow(const TNvWindow&) = delete;
    TNvWindow& operator=(const TNvWindow&) = delete;
    virtual ~TNvWindow();

    HWND Handle() const { return hWnd; }
    // The kit object of a window of this thread, or null.
    static TNvWindow* FromHandle(HWND window);

    // Creates a control owned by this window and placed on it; it lives as long as this object.
    template <class T, class... Args> T& MakeChild(Args&&... args) {
        auto child = std::make_unique<T>(*this, std::forward<Args>(args)...);
        T& result = *child;
        Children.push_back(std::move(child));
        return result;
    }

    void SetBounds(int left, int top, int width, int height);
    // The DPI this window is shown at, and a size given at 96 DPI scaled to it.
    int Dpi() const;
    int Scaled(int px96) const;
    RECT ClientRect() const;
    std::string Text() const;
    void SetText(const std::string& text);
    HFONT Font() const;
    // Sets the font of this window and of every window inside it that uses this window's font (a control
    // that chose a font of its own keeps it); the caller keeps the font alive.
    void SetFontAll(HFONT font);
    void Invalidate();
    // An Alt+key press that no menu took, offered to each visible, enabled control of the form in turn;
    // true when this control acted on it.
    virtual bool DialogChar(WORD key);

    // Shown by controls that support it (a right click or the menu key). While this window or one inside it
    // has the focus, its shortcuts are tried before those of the form's main menu. Owned.
    std::unique_ptr<TNvPopupMenu> PopupMenu;
    // A key that this control's own key handling acts on: it reaches the control before the form's main menu
    // could take it as a shortcut.
    virtual bool HandlesKey(WORD key, unsigned shift) const;

  protected:
    TNvWindow() = default;
    // A window of a class of the kit's own, registered on first use with the shared procedure.
    void CreateOwnWindow(const char* className, const char* text, DWORD style, DWORD exStyle, HWND parent,
                         const RECT& bounds);
    // A common control, subclassed so that its messages reach HandleMessage as well.
    void CreateControl(const char* className, DWORD style, DWORD exStyle, HWND parent);

    virtual LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam);
    // A notification that this control sent to its parent, handed back to the control's own object.
    virtual bool HandleNotify(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result);
    LRESULT DefaultHandling(UINT message, WPARAM wParam, LPARAM lParam);

  private:
    static LRESULT CALLBACK ClassProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    static LRESULT CALLBACK SubclassProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR id,
                                         DWORD_PTR self);
    static LRESULT Dispatch(TNvWindow* self, UINT message, WPARAM wParam, LPARAM lParam);
    bool ReflectToChild(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result);
    void Detach();

    HWND hWnd = nullptr;
    bool subclassed = false;
    bool created = false;  // an own-class window has had its WM_CREATE
    HFONT hFont = nullptr; // own-class windows answer WM_GETFONT themselves
    std::vector<std::unique_ptr<TNvWindow>> Children;
};
