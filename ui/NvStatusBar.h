// TNvStatusBar: a self-drawn status bar with panels from a width table.
#pragma once

#include "ui/NvWindow.h"
#include "ui/WinHandles.h"

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

// A status bar with panels from a width table; the SpringPanel takes the width left over.
class TNvStatusBar : public TNvWindow {
  public:
    explicit TNvStatusBar(TNvWindow& owner);
    static const int Height = 19;

    int SpringPanel = 0;
    int Total = 0;
    // (sender, panel, device context, panel rectangle) for owner-drawn panels
    std::function<void(TNvStatusBar&, int, HDC, const RECT&)> OnDrawPanel;

    int AddPanels(const int* widths, int lastIndex);
    int PanelCount() const { return static_cast<int>(Panels.size()); }
    int PanelWidth(int index) const;
    const std::string& PanelText(int index) const;
    void SetPanelText(int index, const std::string& text);
    // Draws the bar now, without waiting for a paint message.
    void RepaintNow();
    // Draws only the panels marked in changed (by index) now; the whole bar when it was never drawn whole
    // at its size.
    void RepaintPanelsNow(const std::vector<bool>& changed);

  protected:
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
    bool HandleNotify(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override;

  private:
    struct TPanel {
        int Width; // at 96 DPI
        bool OwnerDraw;
        bool Centred;
        std::string Text;
        int Shown = 0; // in pixels, as last laid out
    };
    void ApplyParts();
    void PaintInto(HDC dc);
    void PaintBuffered(HDC screen);
    std::vector<TPanel> Panels;
    TBackBuffer backBuffer;
    SIZE bufferedSize = {0, 0}; // the back buffer holds the whole bar drawn at this size
    void PaintPanel(HDC dc, int index, int left, const RECT& client);
    // SB_GETTEXT, SB_GETTEXTLENGTH (both forms) and WM_GETTEXT(LENGTH), from the panels.
    LRESULT AnswerText(UINT message, WPARAM wParam, LPARAM lParam) const;
};
