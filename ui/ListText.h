// Rows of a list as plain text for the clipboard: tab-separated cells, one line per row.
#pragma once

#include <string>
#include <vector>

// A header line of captions, then one line per row, every line ending in CR LF. Tabs and line breaks inside
// a cell become spaces, so that every line keeps one cell per column.
std::string TabSeparatedRows(const std::vector<std::string>& captions,
                             const std::vector<std::vector<std::string>>& rows);
