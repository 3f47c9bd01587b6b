// The detail groups of the Properties tab: class, window, thread input, more of the process, the window's
// property list and its extra bytes. Every value comes from a call that never waits for the window.
#pragma once

#include "tabs/Properties.h"

#include <map>
#include <string>
#include <utility>

// "Class": name, atom, styles, procedure, instance, icons, cursor, brush and extra byte counts.
class TClassProperty : public TPropertyGroup {
  public:
    TClassProperty();
    void Update(const TWindowDetails& record) override;
    // On for a group that lives only for one pass over many windows (a snapshot): a module's file is looked
    // up once per process and module instead of opening the process for every window. Off, it is looked up
    // once per window, so that a module unloaded and another loaded at its address cannot keep the old name.
    bool KeepModuleNames = false;

  private:
    std::map<std::pair<DWORD, ULONG_PTR>, std::string> moduleNames;
    // Off, the name is still asked for once per window: the file lookup in another process costs most of a
    // refresh under Wine, and while the window exists its class and the module that registered it stay.
    struct TShownModule {
        HWND Window = nullptr;
        DWORD ProcessId = 0;
        ULONG_PTR Instance = 0;
        std::string Name;
    } shownModule;
};

// "Window": id, user data, owners, z-order place, state, region, DPI.
class TWindowProperty : public TPropertyGroup {
  public:
    TWindowProperty();
    void Update(const TWindowDetails& record) override;
    // Off for a caller that walks the siblings anyway (a snapshot) and fills the place itself: the walk
    // costs a call per sibling for every window, which grows with the square of a big family.
    bool WalkZOrder = true;
};

// "Thread input": what GetGUIThreadInfo tells of the window's thread.
class TThreadInputProperty : public TPropertyGroup {
  public:
    TThreadInputProperty();
    void Update(const TWindowDetails& record) override;
};

// "Process, more": bitness, integrity, elevation, session and priority of the owning process.
class TProcessMoreProperty : public TPropertyGroup {
  public:
    TProcessMoreProperty();
    void Update(const TWindowDetails& record) override;
};

// "Properties list": one row per entry of the window's property list, named by the entry.
class TPropListProperty : public TPropertyGroup {
  public:
    TPropListProperty();
    void Update(const TWindowDetails& record) override;
    static const int MaxRows = 256;
};

// "Extra bytes": the window's extra bytes as pointer-sized values, one row per offset.
class TExtraBytesProperty : public TPropertyGroup {
  public:
    TExtraBytesProperty();
    void Update(const TWindowDetails& record) override;
    static const int MaxRows = 256;
};
