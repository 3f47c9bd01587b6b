// TWorkerDetails: the record's fields, then a bounded caption question that keeps to the gathering's state.
#include "app/WorkerDetails.h"

#include "app/Utf8Text.h"

#include <cstring>

void TWorkerDetails::Read(std::set<DWORD>& hungThreads) {
    Refresh();
    if (Caption[0] != '\0' || ThreadId == 0 || hungThreads.count(ThreadId)) return;
    char text[TextSize] = {};
    DWORD_PTR length = 0;
    if (!SendMessageTimeoutA(Handle, WM_GETTEXT, TextSize, reinterpret_cast<LPARAM>(text), SMTO_ABORTIFHUNG,
                             CaptionTimeoutMs, &length)) {
        if (IsWindow(Handle)) hungThreads.insert(ThreadId);
        return;
    }
    text[TextSize - 1] = '\0';
    EndAtWholeCharacter(text, TextSize);
    std::memcpy(Caption, text, sizeof Caption);
}
