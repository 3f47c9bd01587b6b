// TWorkerDetails: a window record read on a worker thread.
#pragma once

#include "app/Shared.h"

#include <set>

// The user-interface thread's memory of slow windows is not shared with workers, so this record asks for an
// empty caption itself; a thread that let one question time out is not asked again by the same gathering,
// so a hung program with many windows costs the time-out once.
class TWorkerDetails : public TWindowDetails {
  public:
    using TWindowDetails::TWindowDetails;
    void Read(std::set<DWORD>& hungThreads);

  protected:
    bool MayAskForCaption() const override { return false; }
};
