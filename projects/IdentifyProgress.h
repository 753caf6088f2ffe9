// IdentifyProgress: what the file identifier tells while it waits on tools.
// A big project keeps the Tool Manager waiting for seconds; the workspace
// window shows the progress in its status line, and without a window a
// line goes to the log once a second after the first two (LoggedProgress).
#pragma once

#include <cstddef>
#include <cstdint>

class IdentifyProgress {
  public:
    virtual ~IdentifyProgress() = default;
    // Called at least every 50 ms while the identifier waits on tools:
    // `done` of `total` files are identified, `elapsedMs` since it began.
    virtual void identifyProgress(long done, long total, uint32_t elapsedMs) = 0;
    // The identification is over; called after any identifyProgress.
    virtual void identifyEnded() {}
};

// "Identifying files: 3,400 of 10,000" into `out` (`outSize` bytes).
void formatIdentifyProgress(char* out, size_t outSize, long done, long total);

// The headless report: one log line per second once the wait passes 2 s.
class LoggedProgress : public IdentifyProgress {
  public:
    static constexpr uint32_t kFirstLineMs = 2000;
    static constexpr uint32_t kLineIntervalMs = 1000;

    void identifyProgress(long done, long total, uint32_t elapsedMs) override;
    void identifyEnded() override { nextLineMs = kFirstLineMs; }

  private:
    uint32_t nextLineMs = kFirstLineMs;  // elapsed time due for the next line
};
