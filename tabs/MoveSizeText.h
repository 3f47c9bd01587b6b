// The text of the "Move/Size Window..." command: "left x top; width x height", written and read back.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

// The same bit values as the platform's SWP_NOSIZE, SWP_NOMOVE and SWP_NOZORDER.
const uint32_t MoveSizeNoSize = 0x1;
const uint32_t MoveSizeNoMove = 0x2;
const uint32_t MoveSizeNoZOrder = 0x4;

struct TMoveSize {
    int32_t Left = 0;
    int32_t Top = 0;
    int32_t Width = 0;
    int32_t Height = 0;
    uint32_t Flags = MoveSizeNoSize | MoveSizeNoMove | MoveSizeNoZOrder;
};

// "10x20; 300x200" for left 10, top 20, width 300, height 200.
std::string MoveSizeText(const TMoveSize& geometry);

// Reads up to four numbers (runs of "-" and digits, anything else separates them) over the current geometry:
// the second number clears MoveSizeNoMove, the fourth clears MoveSizeNoSize. A number that does not read
// as an integer leaves its field as it was.
TMoveSize ParseMoveSizeText(std::string_view text, const TMoveSize& current);
