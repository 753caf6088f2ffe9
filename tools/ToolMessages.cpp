// Source-viewer listing and relays, answered from the tool registry.
#include "tools/ToolMessages.h"

#include "messaging/MessageCenter.h"
#include "tools/CommandManager.h"
#include "tools/ToolRegistry.h"

namespace {
struct ToolMessageHandler {
    TypeCode type;                // message type answered
    MessageTemplate msgTemplate;  // its parameters
    MessageHandlerProc handlerProc;
};
}  // namespace

void registerToolMessageHandlers() {
    const MessageTemplate none;
    const ToolMessageHandler handlers[] = {
        {typeCode("ADDC"), makeTemplate({kParamST31, kParamLong, kParamType}),
         CommandManager::addCommandMsg},
        {typeCode("GSAT"), none, getSourceAwareToolsMsg},
        {typeCode("ASRC"), none, ToolRegistry::activeSourceViewerChangedMsg},
        {typeCode("DSRC"), none, ToolRegistry::activeSourceViewerChangedMsg},
        {typeCode("SCHG"), makeTemplate({kParamS255}), relayToAllToolsMsg},
        {typeCode("FCMP"), makeTemplate({kParamData}), relayToAllToolsMsg},
    };
    for (const ToolMessageHandler& handler : handlers) {
        gMessageCenter->registerMessageHandler(handler.type, &handler.msgTemplate,
                                               handler.handlerProc);
    }
}

int32_t getSourceAwareToolsMsg(Message*, Message* reply) {
    // With no tools the answer is an empty list, not an older lookup's error.
    gToolRegistry->setLastError(0);
    for (long i = 0; i < gToolRegistry->getToolCount(); ++i) {
        const ToolInfo* tool = gToolRegistry->lookupToolByNumber(i);
        if (gToolRegistry->getLastError() != 0 || !tool->isSourceViewer) continue;
        uint8_t bytes[kToolInfoSize];
        encodeToolInfo(*tool, bytes);
        reply->addParam(kParamData, bytes, kToolInfoSize);
    }
    return gToolRegistry->getLastError();
}

int32_t relayToAllToolsMsg(Message* message, Message*) {
    gToolRegistry->broadcastMessage(new Message(*message));
    return gToolRegistry->getLastError();
}
