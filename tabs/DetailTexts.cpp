// Value names of the window details.
#include "tabs/DetailTexts.h"

#include "app/QrLib.h"

#include <iterator>

namespace {

const char* const ColourNames[] = {
    "COLOR_SCROLLBAR",
    "COLOR_BACKGROUND",
    "COLOR_ACTIVECAPTION",
    "COLOR_INACTIVECAPTION",
    "COLOR_MENU",
    "COLOR_WINDOW",
    "COLOR_WINDOWFRAME",
    "COLOR_MENUTEXT",
    "COLOR_WINDOWTEXT",
    "COLOR_CAPTIONTEXT",
    "COLOR_ACTIVEBORDER",
    "COLOR_INACTIVEBORDER",
    "COLOR_APPWORKSPACE",
    "COLOR_HIGHLIGHT",
    "COLOR_HIGHLIGHTTEXT",
    "COLOR_BTNFACE",
    "COLOR_BTNSHADOW",
    "COLOR_GRAYTEXT",
    "COLOR_BTNTEXT",
    "COLOR_INACTIVECAPTIONTEXT",
    "COLOR_BTNHIGHLIGHT",
    "COLOR_3DDKSHADOW",
    "COLOR_3DLIGHT",
    "COLOR_INFOTEXT",
    "COLOR_INFOBK",
    "",
    "COLOR_HOTLIGHT",
    "COLOR_GRADIENTACTIVECAPTION",
    "COLOR_GRADIENTINACTIVECAPTION",
    "COLOR_MENUHILIGHT",
    "COLOR_MENUBAR",
};

struct TNamedValue {
    uint32_t Value;
    const char* Name;
};

const TNamedValue PriorityClasses[] = {
    {0x00000040, "IDLE_PRIORITY_CLASS"},   {0x00004000, "BELOW_NORMAL_PRIORITY_CLASS"},
    {0x00000020, "NORMAL_PRIORITY_CLASS"}, {0x00008000, "ABOVE_NORMAL_PRIORITY_CLASS"},
    {0x00000080, "HIGH_PRIORITY_CLASS"},   {0x00000100, "REALTIME_PRIORITY_CLASS"},
};

// In rising order: a level holds from its value up to the next one.
const TNamedValue IntegrityLevels[] = {
    {0x0000, "Untrusted"},         {0x1000, "Low"},  {0x2000, "Medium"},
    {0x2100, "Medium Plus"},       {0x3000, "High"}, {0x4000, "System"},
    {0x5000, "Protected Process"},
};

} // namespace

std::string PointerText(uint64_t value) {
    if (value == 0) return std::string();
    if (value > 0xFFFFFFFFull) return FormatText("0x%.16llx", static_cast<unsigned long long>(value));
    return FormatText("0x%.8x", static_cast<uint32_t>(value));
}

std::string SystemColourName(int index) {
    if (index < 0 || index >= static_cast<int>(std::size(ColourNames))) return std::string();
    return ColourNames[index];
}

// A class may name a system colour instead of a brush: the index plus one, so that 0 still means none.
std::string BrushText(uint64_t value) {
    if (value == 0) return std::string();
    if (value <= std::size(ColourNames)) {
        std::string name = SystemColourName(static_cast<int>(value - 1));
        if (!name.empty()) return name + " + 1";
    }
    return PointerText(value);
}

std::string PriorityClassText(uint32_t priorityClass) {
    if (priorityClass == 0) return std::string();
    for (const TNamedValue& entry : PriorityClasses)
        if (entry.Value == priorityClass) return entry.Name;
    return FormatText("0x%x", priorityClass);
}

std::string IntegrityLevelText(uint32_t rid) {
    const char* name = IntegrityLevels[0].Name;
    for (const TNamedValue& level : IntegrityLevels)
        if (rid >= level.Value) name = level.Name;
    return FormatText("%s (0x%x)", name, rid);
}

std::string DpiAwarenessText(int awareness) {
    switch (awareness) {
    case 0:
        return "DPI_AWARENESS_UNAWARE";
    case 1:
        return "DPI_AWARENESS_SYSTEM_AWARE";
    case 2:
        return "DPI_AWARENESS_PER_MONITOR_AWARE";
    default:
        return std::string();
    }
}

std::string PropertyNameText(const char* name, uint16_t atom) {
    if (name && *name) return name;
    return FormatText("#%u", static_cast<unsigned>(atom));
}

std::string ZOrderText(int place, int count) {
    if (place < 1 || place > count) return std::string();
    return FormatText("%d of %d", place, count);
}
