// The arithmetic of the placement map.
#include "tabs/PlacementMap.h"

#include <limits>

namespace {

// A 64-bit result brought back into 32 bits without wrapping: a window far off screen stays far off.
int32_t Saturate(int64_t value) {
    if (value > std::numeric_limits<int32_t>::max()) return std::numeric_limits<int32_t>::max();
    if (value < std::numeric_limits<int32_t>::min()) return std::numeric_limits<int32_t>::min();
    return static_cast<int32_t>(value);
}

} // namespace

bool MapLayout(int32_t screenWidth, int32_t screenHeight, int32_t sheetWidth, int32_t sheetHeight,
               TMapSize& map) {
    if (sheetHeight <= 0 || screenHeight <= 0 || screenWidth <= 0 || sheetWidth < 0) return false;
    const double aspect = static_cast<double>(screenWidth) / screenHeight;
    int32_t width = sheetWidth, height = sheetHeight;
    if (static_cast<double>(width) / height > aspect)
        width = static_cast<int32_t>(height * aspect);
    else
        height = static_cast<int32_t>(width / aspect);
    map.Width = width;
    map.Height = height;
    return true;
}

TIntRect ScreenToMap(const TIntRect& rect, const TMapScale& scale) {
    const TIntRect fromOrigin = {
        Saturate(int64_t{rect.Left} - scale.OriginX), Saturate(int64_t{rect.Top} - scale.OriginY),
        Saturate(int64_t{rect.Right} - scale.OriginX), Saturate(int64_t{rect.Bottom} - scale.OriginY)};
    return ScaleRect(fromOrigin, scale.Num, scale.Den);
}

bool MapToScreen(int32_t x, int32_t y, const TMapScale& scale, int32_t& screenX, int32_t& screenY) {
    if (scale.Num == 0) return false;
    screenX = Saturate(static_cast<int64_t>(x) * scale.Den / scale.Num + scale.OriginX);
    screenY = Saturate(static_cast<int64_t>(y) * scale.Den / scale.Num + scale.OriginY);
    return true;
}

TPlacement PlacementOf(const TIntRect& rect) {
    return {rect.Left, rect.Top, Saturate(static_cast<int64_t>(rect.Right) - rect.Left),
            Saturate(static_cast<int64_t>(rect.Bottom) - rect.Top)};
}

std::string PlacementLabel(const TIntRect& rect) {
    const TPlacement p = PlacementOf(rect);
    return FormatText("%d x %d / %d x %d", p.Left, p.Top, p.Width, p.Height);
}

TDragKind DragKindOf(bool leftButton, bool rightButton) {
    if (leftButton) return TDragKind::Move;
    return rightButton ? TDragKind::Size : TDragKind::None;
}

TPlacement DragPlacement(TDragKind kind, const TIntRect& window, int32_t x, int32_t y) {
    TPlacement p = PlacementOf(window);
    if (kind == TDragKind::Move) {
        p.Left = x;
        p.Top = y;
    } else if (kind == TDragKind::Size) {
        p.Width = Saturate(static_cast<int64_t>(x) - window.Left);
        p.Height = Saturate(static_cast<int64_t>(y) - window.Top);
    }
    return p;
}

bool NudgePlacement(uint16_t key, unsigned shift, const TIntRect& window, TPlacement& placement) {
    if (key < NudgeLeft || key > NudgeDown) return false;
    placement = PlacementOf(window);
    const int32_t delta = key == NudgeRight || key == NudgeDown ? 1 : -1;
    const bool horizontal = key == NudgeLeft || key == NudgeRight;
    int32_t& value = shift == NudgeShiftBit ? (horizontal ? placement.Width : placement.Height)
                                            : (horizontal ? placement.Left : placement.Top);
    value = Saturate(static_cast<int64_t>(value) + delta);
    return true;
}
