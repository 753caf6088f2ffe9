// A fake tool for the tests of the in-process Tool Manager: it listens on
// its own port and collects what the Tool Manager sends it.
#pragma once

#include <memory>
#include <vector>

#include "messaging/Message.h"
#include "messaging/TCPTransport.h"

// A tool process as the Tool Manager sees it: a ToolInfo and a listening port.
class FakeTool {
  public:
    FakeTool(const char* name, TypeCode type, bool isSourceViewer = false);

    // The next message sent to the tool, or null after `timeoutMs`.
    std::unique_ptr<Message> receive(int timeoutMs = 2000);
    // The types of every message that arrives until `quietMs` pass without one.
    std::vector<TypeCode> drainTypes(int quietMs = 300);
    // Stops listening, as a tool that died.
    void die() { transport.reset(); }
    // Sends `message` from this tool to the port in its destination, as a
    // request (which does not wait for the receiver to read it).
    void send(Message& message);

    ToolInfo info;

  protected:
    std::unique_ptr<TCPTransport> transport;
};
