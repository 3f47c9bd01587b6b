// Rows of the Config tab.
#include "config/ConfigRows.h"

#include "config/EasyConfig.h"

namespace {

unsigned char Folded(char c) {
    unsigned char u = static_cast<unsigned char>(c);
    return (u >= 'a' && u <= 'z') ? static_cast<unsigned char>(u - 'a' + 'A') : u;
}

} // namespace

int CompareTextNoCase(std::string_view a, std::string_view b) {
    size_t common = a.size() < b.size() ? a.size() : b.size();
    for (size_t i = 0; i < common; ++i) {
        unsigned char x = Folded(a[i]), y = Folded(b[i]);
        if (x != y) return x < y ? -1 : 1;
    }
    return a.size() == b.size() ? 0 : (a.size() < b.size() ? -1 : 1);
}

std::string ConfigRowCaption(const TConfigVar& variable) {
    return variable.FullName() + " " + (variable.Modified ? "*" : "");
}

int ConfigRowImage(const TConfigVar& variable) {
    std::string type = variable.TypeName();
    if (type == TConfigVarBool::ClassTypeName()) return 9;
    if (type == TConfigVarInt::ClassTypeName()) return 3;
    if (type == TConfigVarFloat::ClassTypeName()) return 1;
    return 6;
}

int CompareConfigRows(const TConfigVar& a, const TConfigVar& b, int column, bool descending) {
    int order = 0;
    switch (column) {
    case 0:
        order = CompareTextNoCase(a.FullName(), b.FullName());
        break;
    case 1:
        order = CompareTextNoCase(a.AsText(), b.AsText());
        break;
    case 2:
        order = CompareTextNoCase(a.TypeName(), b.TypeName());
        break;
    default:
        break;
    }
    return descending ? -order : order;
}
