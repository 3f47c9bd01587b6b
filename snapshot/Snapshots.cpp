// TSnapshots: the files, the dialogs and the differences windows of the snapshot commands.
#include "snapshot/Snapshots.h"

#include "app/WinApiEx.h"
#include "snapshot/SnapshotFile.h"

#include <commdlg.h>

#include <algorithm>
#include <cstdio>

namespace {

const long MaxFileBytes = 512L * 1024 * 1024;

struct TFileCloser {
    void operator()(FILE* file) const {
        if (file) std::fclose(file);
    }
};
using TFile = std::unique_ptr<FILE, TFileCloser>;

bool ReadWholeFile(const std::string& path, std::string& bytes, std::string& error) {
    TFile file(_wfopen(WideText(path).c_str(), L"rb"));
    if (!file) {
        error = "The file cannot be opened.";
        return false;
    }
    bytes.clear();
    char buffer[65536];
    size_t read = 0;
    while ((read = std::fread(buffer, 1, sizeof buffer, file.get())) > 0) {
        bytes.append(buffer, read);
        if (bytes.size() > static_cast<size_t>(MaxFileBytes)) {
            error = "The file is too large for a snapshot.";
            return false;
        }
    }
    return true;
}

// A guard for the one command that may run at a time.
class TBusy {
  public:
    explicit TBusy(bool& flag) : flag(flag), entered(!flag) { flag = true; }
    ~TBusy() {
        if (entered) flag = false;
    }
    TBusy(const TBusy&) = delete;
    TBusy& operator=(const TBusy&) = delete;
    bool Entered() const { return entered; }

  private:
    bool& flag;
    bool entered;
};

} // namespace

bool AskSnapshotPath(HWND owner, bool save, std::string& path) {
    wchar_t name[MAX_PATH] = L"snapshot.txt";
    if (!save) name[0] = L'\0';
    OPENFILENAMEW dialog = {};
    dialog.lStructSize = sizeof dialog;
    dialog.hwndOwner = owner;
    dialog.lpstrFilter = L"Snapshots (*.txt)\0*.txt\0All files\0*.*\0";
    dialog.lpstrFile = name;
    dialog.nMaxFile = MAX_PATH;
    dialog.lpstrDefExt = L"txt";
    dialog.lpstrTitle = save ? L"Save Snapshot" : L"Compare with Snapshot";
    dialog.Flags = OFN_PATHMUSTEXIST | OFN_HIDEREADONLY | (save ? OFN_OVERWRITEPROMPT : OFN_FILEMUSTEXIST);
    if (!(save ? GetSaveFileNameW(&dialog) : GetOpenFileNameW(&dialog))) return false;
    const int size = WideCharToMultiByte(CP_UTF8, 0, name, -1, nullptr, 0, nullptr, nullptr);
    if (size <= 1) return false;
    path.assign(static_cast<size_t>(size) - 1, '\0');
    WideCharToMultiByte(CP_UTF8, 0, name, -1, &path[0], size, nullptr, nullptr);
    return true;
}

std::string TSnapshots::SaveTo(HWND root, const std::string& path) {
    TBusy busyNow(busy);
    if (!busyNow.Entered()) return "A snapshot is being taken.";
    if (!IsWindow(root)) return "The window has gone.";
    const TGatheredSnapshot gathered = GatherSnapshotOnWorker(root);
    if (gathered.Snapshot.Empty()) return "The window has gone.";
    const std::string text = WriteSnapshot(gathered.Snapshot);
    TFile file(_wfopen(WideText(path).c_str(), L"wb"));
    if (!file) return "The file cannot be written.";
    const bool written = std::fwrite(text.data(), 1, text.size(), file.get()) == text.size();
    if (std::fclose(file.release()) != 0 || !written) return "The file could not be written whole.";
    return std::string();
}

TSnapshotDiffForm* TSnapshots::CompareWith(HWND root, const std::string& path, std::string& error) {
    TBusy busyNow(busy);
    if (!busyNow.Entered()) {
        error = "A snapshot is being taken.";
        return nullptr;
    }
    std::string bytes;
    TSnapshot older;
    if (!ReadWholeFile(path, bytes, error)) return nullptr;
    if (!ReadSnapshot(bytes, older, error)) {
        error = "The file is not a snapshot Paneprobe can read: " + error + ".";
        return nullptr;
    }
    if (!IsWindow(root)) {
        error = "The window has gone.";
        return nullptr;
    }
    TGatheredSnapshot now = GatherSnapshotOnWorker(root);
    std::vector<TSnapshotDifference> differences = CompareSnapshots(older, now.Snapshot);
    DropClosed();
    forms.push_back(std::make_unique<TSnapshotDiffForm>(path, std::move(now), std::move(differences)));
    return forms.back().get();
}

void TSnapshots::Save(HWND root, HWND owner) {
    std::string path;
    if (!AskSnapshotPath(owner, true, path)) return;
    const std::string error = SaveTo(root, path);
    if (!error.empty()) ShowMessageBox(error, "Save Snapshot", MB_ICONERROR, owner);
}

void TSnapshots::Compare(HWND root, HWND owner) {
    std::string path, error;
    if (!AskSnapshotPath(owner, false, path)) return;
    if (!CompareWith(root, path, error)) ShowMessageBox(error, "Compare with Snapshot", MB_ICONERROR, owner);
}

void TSnapshots::DropClosed() {
    forms.erase(
        std::remove_if(forms.begin(), forms.end(),
                       [](const std::unique_ptr<TSnapshotDiffForm>& form) { return !form->Handle(); }),
        forms.end());
}

int TSnapshots::Count() {
    DropClosed();
    return static_cast<int>(forms.size());
}

TSnapshotDiffForm* TSnapshots::Form(int index) {
    DropClosed();
    return index >= 0 && index < static_cast<int>(forms.size()) ? forms[static_cast<size_t>(index)].get()
                                                                : nullptr;
}
