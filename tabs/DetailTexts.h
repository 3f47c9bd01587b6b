// Texts of the class, window, thread-input and process details that need no platform: value names.
#pragma once

#include <cstdint>
#include <string>

// A pointer-sized value in hexadecimal: "0x" and 8 digits, or 16 when the value needs them; empty for 0.
std::string PointerText(uint64_t value);
// A class background brush: "COLOR_WINDOW + 1" for a system colour index plus one, else the handle;
// empty for none.
std::string BrushText(uint64_t value);
// The COLOR_ name of a system colour index; empty for an index that has none.
std::string SystemColourName(int index);
// The name of a priority class value (NORMAL_PRIORITY_CLASS), or the value in hexadecimal.
std::string PriorityClassText(uint32_t priorityClass);
// The mandatory integrity level of a relative id: "Medium (0x2000)"; a value between two levels is named
// after the lower one.
std::string IntegrityLevelText(uint32_t rid);
// The DPI_AWARENESS name of an awareness value; empty for an invalid one.
std::string DpiAwarenessText(int awareness);
// The name of a window property: the text, or "#" and the atom's number when it has no text.
std::string PropertyNameText(const char* name, uint16_t atom);
// A 1-based place among count siblings counted from the top: "2 of 5"; empty when not found.
std::string ZOrderText(int place, int count);
