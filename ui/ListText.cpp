// Rows of a list as tab-separated text.
#include "ui/ListText.h"

namespace {

void AppendLine(std::string& text, const std::vector<std::string>& cells) {
    for (size_t i = 0; i < cells.size(); ++i) {
        if (i > 0) text += '\t';
        for (char c : cells[i])
            text += (c == '\t' || c == '\r' || c == '\n') ? ' ' : c;
    }
    text += "\r\n";
}

} // namespace

std::string TabSeparatedRows(const std::vector<std::string>& captions,
                             const std::vector<std::vector<std::string>>& rows) {
    std::string text;
    AppendLine(text, captions);
    for (const std::vector<std::string>& row : rows)
        AppendLine(text, row);
    return text;
}
