// Paneprobe's side of a hook helper: starts the helper program when the first log needs it, hands it
// each log's ring and lets it end when the last log has gone.
#pragma once

#include "msglog/LogHooks.h"
#include "ui/WinHandles.h"

#include <string>

class THelperHooks : public TLogHookHost {
  public:
    // The helper program of this bitness, from this folder (the executable's by default).
    explicit THelperHooks(int bits, std::string folder = std::string());
    THelperHooks(const THelperHooks&) = delete;
    THelperHooks& operator=(const THelperHooks&) = delete;
    ~THelperHooks() override;

    bool Start(uint64_t key, DWORD thread, std::string& error) override;
    void Stop(uint64_t key, DWORD thread) override;
    // The running helper's process, or null.
    HANDLE Process() const { return process.Get(); }
    bool Running() const;

  private:
    bool Launch(std::string& error);
    int bits;
    std::string folder;
    TKernelHandle process;
    DWORD helperThread = 0;
    int users = 0;
};
