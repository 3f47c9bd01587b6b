// Names of class styles, thread-input flags, brushes, priority classes, integrity levels and pointers.
#include "tabs/DetailTexts.h"
#include "tabs/StyleNames.h"

#include <gtest/gtest.h>

namespace {

struct TTextCase {
    std::string Actual;
    const char* Expected;
};

TEST(DetailTexts, NamesOfEveryKind) {
    const TTextCase cases[] = {
        {FlagsText(0, ClassStyleFlagTable()), ""},
        {FlagsText(0x0000000B, ClassStyleFlagTable()), "CS_DBLCLKS | CS_HREDRAW | CS_VREDRAW"},
        {FlagsText(0x00024200, ClassStyleFlagTable()), "CS_DROPSHADOW | CS_GLOBALCLASS | CS_NOCLOSE"},
        {FlagsText(0x00100020, ClassStyleFlagTable()), "CS_OWNDC | 0x100000"},
        {FlagsText(0x00000005, GuiThreadFlagTable()), "GUI_CARETBLINKING | GUI_INMENUMODE"},
        {FlagsText(0x00000042, GuiThreadFlagTable()), "GUI_INMOVESIZE | 0x40"},
        {BrushText(0), ""},
        {BrushText(6), "COLOR_WINDOW + 1"},
        {BrushText(16), "COLOR_BTNFACE + 1"},
        {BrushText(1), "COLOR_SCROLLBAR + 1"},
        {BrushText(31), "COLOR_MENUBAR + 1"},
        {BrushText(26), "0x0000001A"}, // index 25 has no colour
        {BrushText(0x1A2B0040), "0x1A2B0040"},
        {SystemColourName(-1), ""},
        {SystemColourName(31), ""},
        {PriorityClassText(0x20), "NORMAL_PRIORITY_CLASS"},
        {PriorityClassText(0x4000), "BELOW_NORMAL_PRIORITY_CLASS"},
        {PriorityClassText(0x100), "REALTIME_PRIORITY_CLASS"},
        {PriorityClassText(0x3), "0x3"},
        {PriorityClassText(0), ""},
        {IntegrityLevelText(0x0), "Untrusted (0x0)"},
        {IntegrityLevelText(0x2000), "Medium (0x2000)"},
        {IntegrityLevelText(0x2010), "Medium (0x2010)"},
        {IntegrityLevelText(0x2100), "Medium Plus (0x2100)"},
        {IntegrityLevelText(0x3000), "High (0x3000)"},
        {IntegrityLevelText(0x7000), "Protected Process (0x7000)"},
        {DpiAwarenessText(-1), ""},
        {DpiAwarenessText(0), "DPI_AWARENESS_UNAWARE"},
        {DpiAwarenessText(2), "DPI_AWARENESS_PER_MONITOR_AWARE"},
        {PropertyNameText("Name", 0), "Name"},
        {PropertyNameText(nullptr, 4660), "#4660"},
        {PropertyNameText("", 49152), "#49152"},
        {PointerText(0), ""},
        {PointerText(0x401000), "0x00401000"},
        {PointerText(0xFFFFFFFF), "0xFFFFFFFF"},
        {PointerText(0x7FF6ABCD00001234ull), "0x7FF6ABCD00001234"},
        {PointerText(0x100000000ull), "0x0000000100000000"},
        {ZOrderText(1, 3), "1 of 3"},
        {ZOrderText(0, 3), ""},
        {ZOrderText(4, 3), ""},
    };
    for (size_t i = 0; i < std::size(cases); ++i)
        EXPECT_EQ(cases[i].Actual, cases[i].Expected) << "case " << i;
}

} // namespace
