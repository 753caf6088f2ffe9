// The Tool Manager's own messages about tools: published commands ('ADDC'),
// the active source viewer ('ASRC', 'DSRC'), the list of source-capable
// tools ('GSAT') and the relays of 'SCHG' and 'FCMP' to every registered
// tool, the sender included, and the listing of every registered tool with
// its commands ('TLST'). The registry answers 'REGT', 'UNRT' and 'LOOK'
// itself.
#pragma once

#include <cstdint>

class Message;

// Registers the handlers of the messages above with gMessageCenter.
void registerToolMessageHandlers();

// Adds one 'DATA' parameter (an 84-byte ToolInfo) per source-capable tool.
int32_t getSourceAwareToolsMsg(Message* message, Message* reply);
// Sends a copy of the message to every registered tool.
int32_t relayToAllToolsMsg(Message* message, Message* reply);
// Adds one 'DATA' tool record (ToolListing.h) per registered tool, at most
// as many as fit after the reply's error.
int32_t listToolsMsg(Message* message, Message* reply);
