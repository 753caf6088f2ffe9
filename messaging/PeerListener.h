// PeerListener: what a message center tells its program about the programs
// it talks to, and asks before it waits for one of them. The Tool Manager's
// tool registry listens, so that a tool whose port refuses is unloaded at
// the first failed send (not at the next liveness probe), and so that a tool
// that let a request run out of time is not waited for again until it is
// heard from. Local deliveries (a program's messages to itself) are not told.
#pragma once

#include "messaging/ToolInfo.h"

class PeerListener {
  public:
    virtual ~PeerListener() = default;

    // A message to `peer` could not be delivered: nothing listens on its
    // port, or the connection was reset. The send failed at once.
    virtual void peerUnreachable(const ToolInfo& /*peer*/) {}
    // `peer` let a request run out its reply time.
    virtual void peerTimedOut(const ToolInfo& /*peer*/) {}
    // A message from `peer` arrived (a reply, late or not, or anything else).
    virtual void peerHeardFrom(const ToolInfo& /*peer*/) {}
    // False when a request to `peer` is not worth waiting for: the send
    // then returns at once without a reply, as if the peer had refused.
    virtual bool mayAwaitReply(const ToolInfo& /*peer*/) { return true; }
};
