// TNvForm: a top-level form that snaps to the work area, stays on top on request and previews keys.
#pragma once

#include "ui/NvWindow.h"
#include "ui/WinHandles.h"

#include <windows.h>

// Moves a window of the given size so that edges within `distance` of the work area's edges touch them.
void SnapToArea(int& left, int& top, int width, int height, const RECT& area, int distance);

class TNvMainMenu;

// A top-level form: snapping to the work area, stay-on-top, icon-title font, centring, key preview.
class TNvForm : public TNvWindow {
  public:
    explicit TNvForm(const char* className = "TNvForm");
    ~TNvForm() override;

    int SnapDistance = 16; // at 96 DPI
    bool StayOnTop = false;
    bool KeyPreview = true;

    void SetStayOnTop(bool on);
    void CenterOnScreen();
    void SetCaption(const std::string& text) { SetText(text); }
    // The form whose destruction ends the message loop.
    void SetMainForm(bool on) { mainForm = on; }
    void SetMainMenu(TNvMainMenu* menu) { mainMenu = menu; }
    TNvMainMenu* MainMenu() const { return mainMenu; }

    // Key preview: seen before the focused control. Setting key to 0 consumes the key.
    virtual void KeyDown(WORD& key, unsigned shift);
    // Sees each message of the thread that PreTranslate is given; true consumes it.
    virtual bool PreviewMessage(MSG& message);
    static unsigned ShiftStateNow();
    // The one step between taking a message from the queue and dispatching it, called by the message loop:
    // every live form previews it (keys, shortcuts, the wheel). True: the message is consumed and must be
    // neither translated nor dispatched.
    static bool PreTranslate(MSG& message);

  protected:
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
    TFont IconTitleFont;

  private:
    bool PreviewKey(MSG& message);
    bool ControlShortCut(HWND focus, WORD key, unsigned shift, bool& ownKey);
    bool OfferDialogChar(WORD key);
    void SnapToWorkArea();
    void DpiChanged(int dpi, const RECT& proposed);

    bool mainForm = false;
    TNvMainMenu* mainMenu = nullptr;
};
