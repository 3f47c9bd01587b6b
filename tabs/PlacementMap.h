// The arithmetic of the placement map: its size on the sheet, screen and map coordinates, the window labels,
// drags and arrow-key nudges. No platform here: the tab feeds it what the window system reports.
#pragma once

#include "app/QrLib.h"

#include <cstdint>
#include <string>

// Colours of the map (0x00BBGGRR); the client areas are the outer colours a quarter of the way to the
// background.
const uint32_t MapBackgroundColor = 0x00524131;
const uint32_t MapWindowColor = 0x00416FC3;
const uint32_t MapParentColor = 0x008E7D56;
const int32_t MapClientBlend = 64;
inline uint32_t MapClientColor(uint32_t outer) {
    return BlendColor(outer, MapBackgroundColor, MapClientBlend);
}

struct TMapSize {
    int32_t Width = 0;
    int32_t Height = 0;
};

// The largest map with the screen's aspect that fits the sheet, anchored at its top-left corner. False when
// no map can be made from these sizes (a sheet or screen with no height, a screen with no width): the map
// then stays as it was.
bool MapLayout(int32_t screenWidth, int32_t screenHeight, int32_t sheetWidth, int32_t sheetHeight,
               TMapSize& map);

// Screen to map is (v - origin) * Num / Den: Num the map's width, Den the virtual screen's width, the origin
// its top-left corner (left of or above the primary monitor when another monitor lies there).
struct TMapScale {
    int32_t Num = 0;
    int32_t Den = 1;
    int32_t OriginX = 0;
    int32_t OriginY = 0;
};
TIntRect ScreenToMap(const TIntRect& rect, const TMapScale& scale);
// A point on the map back in screen coordinates, truncating toward zero. False when the map has no width.
bool MapToScreen(int32_t x, int32_t y, const TMapScale& scale, int32_t& screenX, int32_t& screenY);

// "%d x %d / %d x %d": left, top, width and height of a window rectangle.
std::string PlacementLabel(const TIntRect& rect);

// Where a window goes: its new left, top, width and height.
struct TPlacement {
    int32_t Left = 0;
    int32_t Top = 0;
    int32_t Width = 0;
    int32_t Height = 0;
};
TPlacement PlacementOf(const TIntRect& rect);

enum class TDragKind { None, Move, Size };
// Mouse buttons held during a move on the map: the left button moves the window, the right one sizes it,
// the left wins when both are held.
TDragKind DragKindOf(bool leftButton, bool rightButton);
// The window's rectangle after a drag to the point (both in the same coordinates): a move puts its top-left
// corner on the point; a size keeps that corner and brings the bottom-right one to the point, also when that
// makes the size zero or negative.
TPlacement DragPlacement(TDragKind kind, const TIntRect& window, int32_t x, int32_t y);

// Arrow keys: the virtual-key codes of Left, Up, Right and Down.
const uint16_t NudgeLeft = 37, NudgeUp = 38, NudgeRight = 39, NudgeDown = 40;
// Modifier bits as the control kit passes them.
const unsigned NudgeShiftBit = 1;
// The window's rectangle after an arrow key: one pixel of size with Shift alone, one pixel of position with
// no modifier or any other combination. False for keys that are not arrows.
bool NudgePlacement(uint16_t key, unsigned shift, const TIntRect& window, TPlacement& placement);
