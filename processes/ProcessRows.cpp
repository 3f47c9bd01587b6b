// Rows of the Processes list.
#include "processes/ProcessRows.h"

#include "app/QrLib.h"
#include "app/TimeUtils.h"
#include "tabs/PropertyTexts.h"

#include <algorithm>

int64_t ProcessAge(bool creationKnown, double nowLocal, double createdLocal) {
    return creationKnown ? ElapsedMilliseconds(nowLocal, createdLocal) : 0;
}

std::string AgeText(int64_t ageMs) {
    return FormatDuration(StandardDurationUnits, 2, ageMs, DurationKindsWithoutWeeks);
}

bool IsYoungProcess(int64_t ageMs) {
    return ageMs != 0 && ageMs < YoungProcessMs;
}

std::vector<std::string> ProcessSubItems(const TProcess& process, const std::string& parentName,
                                         const std::string& ageText, const std::string& windowCaption,
                                         const std::string& path) {
    // Handles fit 32 bits on 64-bit Windows as well; the list shows them as such.
    const uint32_t window = static_cast<uint32_t>(process.Window);
    return {FormatText("%u", process.ProcessId),
            FormatText("%u", process.ParentProcessId),
            parentName,
            ageText,
            FormatNonZero(process.ThreadCount, "%d"),
            FormatText("%d", process.BasePriority),
            FormatNonZero(window, "0x%x"),
            windowCaption,
            path};
}

uint32_t CellColour(int64_t ageMs, int column, uint32_t background) {
    if (IsYoungProcess(ageMs)) return YoungCellColour;
    return (column % 2 != 0) ? OddCellColour : background;
}

bool IsRootMarkCell(bool root, int column, bool selected) {
    return (column == 2 || column == 3) && !selected && root;
}

int IconLeft(int rowLeft, int iconWidth, int depth) {
    return rowLeft + RowIndent + iconWidth * depth;
}

int RowToSelectAfterReload(const std::vector<uint32_t>& freshIds, bool anySelected, uint32_t selectedId,
                           int oldIndex) {
    if (!anySelected || freshIds.empty()) return -1;
    for (size_t i = 0; i < freshIds.size(); ++i)
        if (freshIds[i] == selectedId) return static_cast<int>(i);
    // Ending a process can take rows after it too (a launcher that waited for it): never leave the
    // selection to the list, which would choose the first row.
    return std::min(std::max(oldIndex, 0), static_cast<int>(freshIds.size()) - 1);
}
