// The window-record rows that the Tracked and Enum lists share.
#include "tabs/WindowRows.h"

#include "app/QrLib.h"
#include "app/WinApiEx.h"
#include "tabs/EnumRows.h"
#include "tabs/StyleNames.h"

#include <iterator>

namespace {

// In the order of the Enum tab's sort columns (TEnumColumn).
const TNvListColumn Columns[] = {
    {191, TNvAlignment::Left, "Class"},   {75, TNvAlignment::Centre, "Handle"},
    {336, TNvAlignment::Left, "Caption"}, {75, TNvAlignment::Centre, "Parent"},
    {44, TNvAlignment::Centre, "PID"},    {44, TNvAlignment::Centre, "TID"},
    {76, TNvAlignment::Centre, "Style"},
};
const int VisibleImage = 2; // blue
const int HiddenImage = 9;  // red

} // namespace

void SetUpWindowRows(TNvActionListView& list, TWindowRecordAt recordAt) {
    list.AddColumns(Columns, static_cast<int>(std::size(Columns)) - 1, ScreenPixelsPerInch());
    if (SharedImageList) ListView_SetImageList(list.Handle(), SharedImageList->Handle(), LVSIL_SMALL);
    // The list owns its handler, so the reference cannot outlive it.
    list.SetInfoTipHandler([&list, recordAt](TNvListView&, int row, int column) {
        if (column != ecStyle || row < 0 || row >= list.RowCount()) return std::string();
        const TWindowDetails* record = recordAt(static_cast<int>(list.RowData(row)));
        return record ? StyleText(record->Style, record->ClassName) : std::string();
    });
}

std::vector<std::string> WindowRowTitles() {
    std::vector<std::string> titles;
    for (const TNvListColumn& column : Columns)
        titles.push_back(column.Caption);
    return titles;
}

std::vector<std::string> WindowRowCells(const TWindowDetails& record) {
    static const TCharSet lineBreaks = MakeCharSet("\r\n");
    return {record.ClassName,
            FormatNonZero(HandleValue(record.Handle), "0x%.8x"),
            RemoveChars(record.Caption, lineBreaks, 1),
            FormatNonZero(HandleValue(record.Parent), "0x%.8x"),
            FormatNonZero(record.ProcessId, "%d"),
            FormatNonZero(record.ThreadId, "%d"),
            FormatNonZero(record.Style, "0x%.8x")};
}

int WindowRowImage(const TWindowDetails& record) {
    return (record.Style & WS_VISIBLE) ? VisibleImage : HiddenImage;
}
