// Writing and reading the snapshot file's lines.
#include "snapshot/SnapshotFile.h"

#include "snapshot/SnapshotText.h"

#include <unordered_map>
#include <utility>

const char* const SnapshotSignature = "Paneprobe snapshot";

namespace {

const char* const KeyNames[3] = {"class", "id", "caption"};

void AppendLine(std::string& out, std::string_view name, bool runDependent, std::string_view value) {
    out += EscapeName(name);
    out += runDependent ? " ~ " : " = ";
    out += EscapeValue(value);
    out += '\n';
}

class TReader {
  public:
    TReader(std::string_view text, TSnapshot& snapshot) : text(text), snapshot(snapshot) {}

    bool Read(std::string& error) {
        if (!ReadSignature()) return Fail(error);
        while (NextLine()) {
            if (line.empty()) continue;
            if (line[0] == '[') {
                if (!EndSection() || !StartSection()) return Fail(error);
            } else if (!ValueLine()) {
                return Fail(error);
            }
        }
        if (!EndSection()) return Fail(error);
        if (snapshot.Empty()) {
            message = "no window section in the file";
            return Fail(error);
        }
        return true;
    }

  private:
    bool NextLine() {
        if (position >= text.size()) return false;
        size_t end = text.find('\n', position);
        if (end == std::string_view::npos) end = text.size();
        line = text.substr(position, end - position);
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        position = end + 1;
        ++number;
        return true;
    }

    bool Fail(std::string& error) {
        error = "line " + std::to_string(number == 0 ? 1 : number) + ": " + message;
        snapshot.Windows.clear();
        return false;
    }

    bool ReadSignature() {
        const std::string expected = std::string(SnapshotSignature) + " ";
        if (!NextLine() || line.substr(0, expected.size()) != expected) {
            message = "not a Paneprobe snapshot (the first line should be \"" + expected +
                      std::to_string(SnapshotVersion) + "\")";
            return false;
        }
        const std::string_view version = line.substr(expected.size());
        if (version != std::to_string(SnapshotVersion)) {
            message = "snapshot version \"" + std::string(version.substr(0, 20)) +
                      "\"; this Paneprobe reads version " + std::to_string(SnapshotVersion);
            return false;
        }
        return true;
    }

    bool RawControl(std::string_view part) {
        for (char c : part)
            if (static_cast<unsigned char>(c) < 0x20 || c == 0x7f) {
                message = "a raw control character (" + std::to_string(static_cast<unsigned char>(c)) +
                          "); the writer escapes them";
                return true;
            }
        return false;
    }

    bool Unescaped(std::string_view part, std::string& out) {
        if (RawControl(part)) return false;
        return Unescape(part, out, message);
    }

    bool StartSection() {
        if (line.size() < 3 || line.back() != ']' || line[1] != '/') {
            message = "a window header is \"[/path]\"";
            return false;
        }
        std::string path(line.substr(1, line.size() - 2));
        if (RawControl(path)) return false;
        // Slashes inside an element are escaped, so the last one ends the parent's path.
        const size_t slash = path.rfind('/');
        int parent = -1;
        if (slash == 0) {
            if (!snapshot.Empty()) {
                message = "a second root window (" + path + "); a snapshot holds one tree";
                return false;
            }
        } else {
            auto found = paths.find(path.substr(0, slash));
            if (found == paths.end()) {
                message = "the parent of " + path + " has no section before it";
                return false;
            }
            parent = found->second;
        }
        if (snapshot.Empty() && slash != 0) {
            message = "the first window must be the root (\"[/element]\")";
            return false;
        }
        if (!paths.emplace(path, static_cast<int>(snapshot.Windows.size())).second) {
            message = "a second section for " + path;
            return false;
        }
        current = snapshot.Add(parent, TSnapshotWindow());
        keysRead = 0;
        return true;
    }

    bool EndSection() {
        if (current < 0 || keysRead == 3) return true;
        message = "the window's section ends without its \"" + std::string(KeyNames[keysRead]) + " = \" line";
        return false;
    }

    bool ValueLine() {
        if (current < 0) {
            message = "a value outside a window section";
            return false;
        }
        size_t equals = line.find(" = "), tilde = line.find(" ~ ");
        size_t split = equals < tilde ? equals : tilde;
        // An empty value leaves the separator's blank at the line's end, which an editor may trim.
        if (split == std::string_view::npos && line.size() >= 2 && line[line.size() - 2] == ' ' &&
            (line.back() == '=' || line.back() == '~')) {
            split = line.size() - 2;
            tilde = line.back() == '~' ? split : std::string_view::npos;
        }
        if (split == std::string_view::npos) {
            message = "expected \"name = value\"";
            return false;
        }
        TSnapshotValue value;
        value.RunDependent = split == tilde;
        if (!Unescaped(line.substr(0, split), value.Name) ||
            !Unescaped(line.substr(split + 3 < line.size() ? split + 3 : line.size()), value.Value))
            return false;
        TSnapshotWindow& window = snapshot.Windows[static_cast<size_t>(current)];
        // The three keys come first, in their order; every line after them is a value.
        if (keysRead < 3) {
            if (value.Name != KeyNames[keysRead] || value.RunDependent) {
                message = "expected the window's \"" + std::string(KeyNames[keysRead]) + " = \" line";
                return false;
            }
            std::string* keys[3] = {&window.ClassName, &window.ControlId, &window.Caption};
            *keys[keysRead++] = std::move(value.Value);
            return true;
        }
        window.Values.push_back(std::move(value));
        return true;
    }

    std::string_view text;
    TSnapshot& snapshot;
    std::string_view line;
    size_t position = 0;
    int number = 0;
    std::string message;
    std::unordered_map<std::string, int> paths;
    int current = -1;
    int keysRead = 0;
};

} // namespace

std::string WriteSnapshot(const TSnapshot& snapshot) {
    std::string out = std::string(SnapshotSignature) + " " + std::to_string(SnapshotVersion) + "\n";
    const std::vector<std::string> paths = SnapshotPaths(snapshot);
    for (size_t i = 0; i < snapshot.Windows.size(); ++i) {
        const TSnapshotWindow& window = snapshot.Windows[i];
        out += "\n[" + paths[i] + "]\n";
        AppendLine(out, KeyNames[0], false, window.ClassName);
        AppendLine(out, KeyNames[1], false, window.ControlId);
        AppendLine(out, KeyNames[2], false, window.Caption);
        for (const TSnapshotValue& value : window.Values)
            AppendLine(out, value.Name, value.RunDependent, value.Value);
    }
    return out;
}

bool ReadSnapshot(std::string_view text, TSnapshot& snapshot, std::string& error) {
    snapshot.Windows.clear();
    TReader reader(text, snapshot);
    return reader.Read(error);
}
