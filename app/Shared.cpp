// The tab framework, the tracked-window list and the program-wide values.
#include "app/Shared.h"

#include "config/EasyConfig.h"
#include "ui/NvClasses.h"

TEasyConfig* ConfigStore = nullptr;
TWindowList* TrackedList = nullptr;
TNvImageList* SharedImageList = nullptr;
HWND MainWindowHandle = nullptr;
std::string HexPrefix;

void TPaneprobeTab::Activate() {
    if (ConfigStore) TConfigVarInt::Get(ConfigStore, "tabs", "update_interval_ms", 2500).Reset();
}

void TPaneprobeTab::SetCaption(const std::string& text) {
    Caption = text;
    if (Sheet) Sheet->SetCaption(text);
}

TPaneprobeTab& TPaneprobeTabManager::AddTab(const TTabClass& tabClass, TNvTabSheet* sheet) {
    Tabs.push_back(tabClass.Create(sheet));
    return *Tabs.back();
}

TPaneprobeTab* TPaneprobeTabManager::FindTab(const TTabClass& tabClass) const {
    for (const auto& tab : Tabs)
        if (tabClass.IsInstance(tab.get())) return tab.get();
    return nullptr;
}

// By index: a handler may change a setting and so broadcast again before this loop ends.
void TPaneprobeTabManager::BroadcastTrackedListChanged() {
    for (size_t i = 0; i < Tabs.size(); ++i) Tabs[i]->TrackedListChanged();
}

void TPaneprobeTabManager::BroadcastConfigChanged(TConfigVar& variable) {
    for (size_t i = 0; i < Tabs.size(); ++i) Tabs[i]->ConfigChanged(variable);
}

void TPaneprobeTabManager::Clear() {
    for (auto& tab : Tabs) tab.reset();
    Tabs.clear();
}

void TWindowDetails::Refresh() {
    Parent = GetParent(Handle);
    ThreadId = GetWindowThreadProcessId(Handle, &ProcessId);
    Style = static_cast<DWORD>(GetWindowLongA(Handle, GWL_STYLE));
    GetClassNameA(Handle, ClassName, TextSize);
    GetWindowTextA(Handle, Caption, TextSize);
    if (Caption[0] == '\0') {
        // Controls of other processes keep their text themselves; a hung one costs at most the timeout.
        DWORD_PTR length = 0;
        SendMessageTimeoutA(Handle, WM_GETTEXT, TextSize, reinterpret_cast<LPARAM>(Caption), SMTO_ABORTIFHUNG,
                            CaptionTimeoutMs, &length);
    }
    ClassName[TextSize - 1] = '\0';
    Caption[TextSize - 1] = '\0';
}

void TWindowDetails::Clear() {
    Handle = Parent = nullptr;
    ThreadId = ProcessId = Style = 0;
    ClassName[0] = Caption[0] = '\0';
}

void TWindowDetails::SetHandle(HWND handle) {
    Clear();
    Handle = handle;
}

TWindowDetails* TWindowList::Get(int index) const {
    return index < 0 || index >= count ? nullptr : Items[static_cast<size_t>(index)].get();
}

void TWindowList::SetItemIndex(int index) {
    if (index == itemIndex) return;
    itemIndex = index;
    Changed();
}

int TWindowList::Add(std::unique_ptr<TWindowDetails> record) {
    if (count == Capacity()) Items.resize(static_cast<size_t>(std::max(1, Capacity()) * 2));
    Items[static_cast<size_t>(count++)] = std::move(record);
    Changed();
    return count - 1;
}

void TWindowList::Delete(int index) {
    if (index < 0 || index >= count) return;
    std::unique_ptr<TWindowDetails> removed = std::move(Items[static_cast<size_t>(index)]);
    for (int i = index; i < count - 1; ++i) Items[static_cast<size_t>(i)] = std::move(Items[static_cast<size_t>(i) + 1]);
    --count;
    removed.reset();
    Changed();
}

void TWindowList::Clear() {
    Items.clear();
    Items.shrink_to_fit();
    count = 0;
    itemIndex = 0;
    Changed();
}

void TWindowList::Changed() {
    if (OnChange) OnChange(*this);
}

void TrackWindow(HWND handle, bool append, bool stopScanning) {
    if (stopScanning && ConfigStore)
        TConfigVarBool::Get(ConfigStore, "system", "scan_window_at_mouse", true).SetValue(false);
    if (!TrackedList) return;
    if (!append) TrackedList->Clear();
    auto record = std::make_unique<TWindowDetails>(handle);
    record->Refresh();
    TrackedList->Add(std::move(record));
}
