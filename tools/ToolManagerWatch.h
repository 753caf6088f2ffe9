// ToolManagerWatch: how a running tool follows its Tool Manager.
//
// Every start of a Tool Manager rewrites the port file, so a tool that
// looks at the file's identity (device, inode, modification time) four
// times a second sees a restarted Tool Manager within a quarter of a second
// and can register again. A tool also probes its Tool Manager every
// kProbeIntervalMs; when the probes have failed for kOrphanLimitMs and no
// new Tool Manager has appeared, the Tool Manager is gone for good and the
// tool should end rather than live on alone. Once the port file is gone
// (its Tool Manager ended in order, and the tool missed the 'QUIT') the
// probes count as failed: another program may hold the port by then.
#pragma once

#include <cstdint>

#include "core/Platform.h"

class ToolManagerWatch {
  public:
    static constexpr uint32_t kCheckIntervalMs = 250;
    static constexpr uint32_t kProbeIntervalMs = 10000;
    static constexpr uint32_t kOrphanLimitMs = 30000;

    // Takes the port file as it is now as the current Tool Manager's.
    ToolManagerWatch();

    enum class Change { none, restarted, gone };
    // At most every kCheckIntervalMs: `restarted` once a new Tool Manager
    // has written its port (gKelvaneToolInfo then addresses it), `gone` once
    // the Tool Manager has not answered for kOrphanLimitMs.
    Change check();

  private:
    static FileStamp currentIdentity();
    // Whether our Tool Manager answers a probe; never once its port file is gone.
    bool toolManagerAnswers(const FileStamp& identity);

    FileStamp known;           // the port file of the Tool Manager we registered with
    uint32_t lastCheck;        // when the port file was last looked at
    uint32_t lastProbe;        // when the Tool Manager was last probed
    uint32_t silentSince = 0;  // when probes started failing; 0 while it answers
};
