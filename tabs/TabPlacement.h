// The "Placement" tab: a scaled map of the primary screen with the tracked window drawn over its parent and
// the pointer, redrawn every 16 ms; dragging on it moves or sizes the tracked window, the arrow keys nudge
// it.
#pragma once

#include "app/Shared.h"
#include "tabs/MemoryCanvas.h"
#include "tabs/PlacementMap.h"
#include "ui/MonitorLayout.h"
#include "ui/NvClasses.h"

#include <functional>
#include <memory>
#include <string>
#include <vector>

// A window record with the two brushes it is drawn with.
class TPlacementWindowDetails : public TWindowDetails {
  public:
    TPlacementWindowDetails(HWND handle, COLORREF windowColor, COLORREF clientColor);
    TBrush WindowBrush;
    TBrush ClientBrush;
};

// The map's canvas: white labels in a small Verdana on a transparent background.
class TPlacementCanvas : public TMemoryCanvas {
  public:
    explicit TPlacementCanvas(COLORREF background);
    ~TPlacementCanvas() override;

    void FillBackground(const RECT& rect);
    // The window's outer rectangle, its client area and its label, scaled; returns the label, or the empty
    // text when the window has gone.
    std::string DrawWindow(const TPlacementWindowDetails& record, const TMapScale& scale);
    // A white triangle with a black outline at the pointer.
    // The pointer mark, `size` pixels across.
    void DrawPointer(const TMapScale& scale, int size);
    // The outline of each monitor, where there is more than one.
    void DrawMonitors(const std::vector<TMonitorArea>& monitors, const TMapScale& scale);

  private:
    TFont labelFont;
    TBrush backgroundBrush;
};

// The panel that shows the map: takes the keyboard focus, captures the mouse while a button is down, and
// paints only from the canvas (no erasing, so 60 frames a second do not flicker).
class TPlacementMapPanel : public TNvPanel {
  public:
    explicit TPlacementMapPanel(TNvWindow& owner);

    std::function<void(HDC, const RECT&)> OnPaintMap;
    // (MK_ button flags, x, y in client coordinates)
    std::function<void(unsigned, int, int)> OnMouseMoveMap;
    // (virtual key, TShiftState bits)
    std::function<void(WORD, unsigned)> OnKeyDownMap;
    // Runs from the message loop after PostReport.
    std::function<void()> OnReport;
    void PostReport();

  protected:
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
};

class TPlacementTab : public TPaneprobeTab {
  public:
    explicit TPlacementTab(TNvTabSheet* sheet);
    ~TPlacementTab() override;

    int RefreshIntervalMs() const override { return 16; }
    void Activate() override;
    void Refresh() override { Redraw(); }

    // Fits the map to the sheet with the screen's aspect and sizes the canvas to it.
    void Layout();
    // Rebuilds the picture from scratch and has the panel repaint from it.
    void Redraw();
    // A mouse move over the map with the given MK_ buttons held.
    void DragTo(unsigned buttons, int x, int y);
    void Nudge(WORD key, unsigned shift);

    TPlacementMapPanel* MapPanel = nullptr;
    std::unique_ptr<TPlacementCanvas> Canvas;
    TMapScale Scale;
    std::vector<TMonitorArea> Monitors; // as the last layout found them
    std::unique_ptr<TPlacementWindowDetails> WindowRecord;
    std::unique_ptr<TPlacementWindowDetails> ParentRecord;
    // The labels of the last redraw, the parent's first.
    std::vector<std::string> Labels;
    // True while the canvas cannot be made: the map is skipped until the next size change or activation.
    bool CanvasFailing() const { return canvasFailing; }

    static const char* const ErrorCaption;

  private:
    void DrawMap();
    void PaintMap(HDC dc, const RECT& client);
    void CanvasFailed(const char* message);
    void ReportCanvasError();
    // The live tracked record, or null.
    TWindowDetails* LiveTracked() const;

    bool canvasFailing = false;
    // The user has been told about the current failure; cleared once a picture is drawn again.
    bool errorReported = false;
    std::string pendingError;
};
