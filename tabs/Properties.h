// The property groups: fixed lists of (description, value) about one window, recomputed from its record.
#pragma once

#include "app/Shared.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

class TPropertyGroup {
  public:
    TPropertyGroup(std::string name, const std::vector<const char*>& descriptions);
    TPropertyGroup(const TPropertyGroup&) = delete;
    TPropertyGroup& operator=(const TPropertyGroup&) = delete;
    virtual ~TPropertyGroup() = default;

    const std::string Name;

    virtual int Count() const { return count; }
    // index within 0..Count()-1
    virtual const std::string& GetDescription(int index) const;
    virtual const std::string& GetValue(int index) const;
    // Recomputes every value from the record as its last refresh left it.
    virtual void Update(const TWindowDetails& record) = 0;
    void ClearValues();

  protected:
    void SetCount(int n);
    void SetValue(int index, std::string value) { values[static_cast<size_t>(index)] = std::move(value); }
    // For groups whose rows follow the window (its property list, its extra bytes).
    void SetDescription(int index, std::string text) {
        descriptions[static_cast<size_t>(index)] = std::move(text);
    }

  private:
    int count = 0;
    std::vector<std::string> descriptions;
    std::vector<std::string> values;
};

// "Process": times, module path and object counts of the process that owns the window.
class TProcessProperty : public TPropertyGroup {
  public:
    TProcessProperty();
    void Update(const TWindowDetails& record) override;

    uint64_t CreationTime = 0, ExitTime = 0, KernelTime = 0, UserTime = 0;

  private:
    // The date part of the last moment formatted: the creation time stays the same for a process.
    struct TDateCache {
        uint64_t FileTime = 0;
        double Local = 0;
        std::string Text;
    };
    // "dddddd - tt" of a moment and " / " with the time since then; empty for 0.
    std::string MomentText(uint64_t fileTime, double now, TDateCache& cache);
    bool LocalMoment(uint64_t fileTime, TDateCache& cache);
    TDateCache creationDate, exitDate;
};

// "Rect": the window, its place in the parent's client area, its client area, its size.
class TRectProperty : public TPropertyGroup {
  public:
    TRectProperty();
    void Update(const TWindowDetails& record) override;
    RECT Rect = {0, 0, 0, 0};
};

// "Style": the style and extended style words.
class TStyleProperty : public TPropertyGroup {
  public:
    TStyleProperty();
    void Update(const TWindowDetails& record) override;
};

// The groups in the order the Properties tab shows them.
struct TPropertyGroupClass {
    std::unique_ptr<TPropertyGroup> (*Create)();
};
const std::vector<TPropertyGroupClass>& PropertyGroupClasses();

// The local date-time value of a UTC file time, and its text in the user's long date and long time
// formats joined by " - "; false when the time cannot be converted.
bool FileTimeToLocalMoment(uint64_t fileTime, double& local, std::string& text);
// The local date-time value of now.
double LocalNow();
