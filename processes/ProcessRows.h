// What a row of the Processes list shows and how its cells are coloured; no platform code.
#pragma once

#include "processes/ProcessTree.h"

#include <cstdint>
#include <string>
#include <vector>

// Processes younger than this are tinted.
const int64_t YoungProcessMs = 8000;
const uint32_t YoungCellColour = 0x00E0F0E0; // RGB 224, 240, 224
const uint32_t OddCellColour = 0x00F8F8F8;   // RGB 248, 248, 248
const uint32_t RootMarkColour = 0x000000FF;  // red
const int RowIndent = 4;
const int IconTextGap = 2;
const int CellInset = 4;

// Age in milliseconds from local date-time values; 0 when the creation time is unknown.
int64_t ProcessAge(bool creationKnown, double nowLocal, double createdLocal);
// The "Created" text: at most two units, weeks left out; empty for an age of 0.
std::string AgeText(int64_t ageMs);
bool IsYoungProcess(int64_t ageMs);

// The texts of the columns after the first: PID, P-PID, Parent, Created, Threads, Priority, Window,
// Window Caption, Path.
std::vector<std::string> ProcessSubItems(const TProcess& process, const std::string& parentName,
                                         const std::string& ageText, const std::string& windowCaption,
                                         const std::string& path);

// The fill of an unselected cell: pale green for a young process, otherwise light grey for odd columns and
// the list's background for even ones.
uint32_t CellColour(int64_t ageMs, int column, uint32_t background);
// P-PID and Parent are red for a root that is not selected.
bool IsRootMarkCell(bool root, int column, bool selected);
// The row to select after a reload, given the process ids of the new rows in order: the selected process's
// row, else the row at its old position, else the last row; -1 when nothing was selected or no row is left.
int RowToSelectAfterReload(const std::vector<uint32_t>& freshIds, bool anySelected, uint32_t selectedId,
                           int oldIndex);
// Where the row's icon goes: indented by one icon width per level.
int IconLeft(int rowLeft, int iconWidth, int depth);
