// IdentificationStatus: the workspace window while the Tool Manager waits
// for tools to identify the project's files. After 200 ms of waiting it
// shows the busy cursor and the progress on the status line ("Identifying
// files: 3,400 of 10,000") and repaints what gets uncovered; other input
// waits in the queue until the identification is over, so no command runs
// in the middle of it.
#pragma once

#include "projects/IdentifyProgress.h"

class IdentificationStatus : public IdentifyProgress {
  public:
    static constexpr uint32_t kBusyAfterMs = 200;

    void identifyProgress(long done, long total, uint32_t elapsedMs) override;
    void identifyEnded() override;

  private:
    bool busy = false;  // the busy cursor and the progress are shown
};
