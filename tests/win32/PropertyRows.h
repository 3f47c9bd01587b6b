// What the Properties tab's list shows, for the tests that read it.
#pragma once

#include "tabs/TabProperties.h"

#include <map>
#include <string>

// The Value cell of each description, as the list shows it.
inline std::map<std::string, std::string> PropertyValues(TPropertiesTab& tab) {
    TNvActionListView& list = *tab.ListView;
    std::map<std::string, std::string> values;
    for (int row = 0; row < list.RowCount(); ++row)
        values[list.CellText(row, 0)] = list.CellText(row, 1);
    return values;
}
