// The rows of a list of window records (the Tracked and Enum tabs): the columns, a row's cells and icon, the
// Style tip.
#pragma once

#include "app/Shared.h"
#include "ui/NvActionListView.h"

#include <functional>
#include <string>
#include <vector>

// The record that a row's data (a position in the tab's own record list) stands for; null for none.
using TWindowRecordAt = std::function<const TWindowDetails*(int position)>;

// Gives a list the window columns, the shared icons, and the tip over the "Style" column: the names of the
// bits as the record read them, so that the tip agrees with the cell.
void SetUpWindowRows(TNvActionListView& list, TWindowRecordAt recordAt);
// The column titles, in the order of the cells.
std::vector<std::string> WindowRowTitles();
// The cells of a record's row in column order: line breaks are dropped from the caption, a 0 is empty.
std::vector<std::string> WindowRowCells(const TWindowDetails& record);
// The icon of a visible or a hidden window.
int WindowRowImage(const TWindowDetails& record);
