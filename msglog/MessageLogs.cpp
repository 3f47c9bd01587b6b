// TMessageLogs: the "log" settings, the open log windows and their shared hooks.
#include "msglog/MessageLogs.h"

#include "config/EasyConfig.h"

#include <algorithm>

TMessageLogs::TMessageLogs(TEasyConfig* store) {
    if (!store) return;
    Settings.Include = &TConfigVarStr::Get(store, "log", "include", "");
    Settings.Exclude = &TConfigVarStr::Get(store, "log", "exclude", "");
    Settings.Scope = &TConfigVarInt::Get(store, "log", "scope", lsWindow);
    Settings.ColumnWidths = &TConfigVarStr::Get(store, "log", "column_widths", "");
    Settings.Left = &TConfigVarInt::Get(store, "log", "left", 80);
    Settings.Top = &TConfigVarInt::Get(store, "log", "top", 80);
    Settings.Width = &TConfigVarInt::Get(store, "log", "width", 900);
    Settings.Height = &TConfigVarInt::Get(store, "log", "height", 480);
}

// The windows go before the hooks they use.
TMessageLogs::~TMessageLogs() {
    CloseAll();
}

TMessageLogForm& TMessageLogs::Open(HWND target, uint32_t capacity) {
    DropClosed();
    forms.push_back(std::make_unique<TMessageLogForm>(HostFor(target), Settings, target, capacity));
    return *forms.back();
}

TLogHookHost& TMessageLogs::HostFor(HWND target) {
    DWORD processId = 0;
    if (!GetWindowThreadProcessId(target, &processId)) return Hooks;
    TKernelHandle process(OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, processId));
    int bits = process ? ProcessBits(process.Get()) : 0;
    // A process that cannot be asked is tried from here: the channel then says why it fails.
    return bits == 0 || bits == OwnBits() ? static_cast<TLogHookHost&>(Hooks) : Helper;
}

void TMessageLogs::DropClosed() {
    forms.erase(std::remove_if(forms.begin(), forms.end(),
                               [](const std::unique_ptr<TMessageLogForm>& form) { return !form->Handle(); }),
                forms.end());
}

int TMessageLogs::Count() {
    DropClosed();
    return static_cast<int>(forms.size());
}

TMessageLogForm* TMessageLogs::Log(int index) {
    DropClosed();
    return index >= 0 && index < static_cast<int>(forms.size()) ? forms[static_cast<size_t>(index)].get()
                                                                : nullptr;
}

void TMessageLogs::CloseAll() {
    forms.clear();
}
