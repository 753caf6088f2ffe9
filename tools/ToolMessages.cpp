// Source-viewer listing and relays, answered from the tool registry.
#include "tools/ToolMessages.h"

#include <utility>

#include "messaging/MessageCenter.h"
#include "messaging/ToolListing.h"
#include "tools/CommandManager.h"
#include "tools/RegisteredTool.h"
#include "tools/ToolCommand.h"
#include "tools/ToolRegistry.h"

void registerToolMessageHandlers() {
    const std::pair<const MessageType&, MessageHandlerProc> handlers[] = {
        {kAddCommandMsg, CommandManager::addCommandMsg},
        {kGetSourceViewersMsg, getSourceAwareToolsMsg},
        {kActivateSourceMsg, ToolRegistry::activeSourceViewerChangedMsg},
        {kDeactivateSourceMsg, ToolRegistry::activeSourceViewerChangedMsg},
        {kSourceChangedMsg, relayToAllToolsMsg},
        {kFilesCompiledMsg, relayToAllToolsMsg},
        {kListToolsMsg, listToolsMsg},
    };
    for (const auto& [type, handlerProc] : handlers) {
        gMessageCenter->registerMessageHandler(type, handlerProc);
    }
}

int32_t getSourceAwareToolsMsg(Message*, Message* reply) {
    for (long i = 0; i < gToolRegistry->getToolCount(); ++i) {
        const ToolInfo* tool = gToolRegistry->lookupToolByNumber(i);
        if (tool == nullptr || !tool->isSourceViewer) continue;
        uint8_t bytes[kToolInfoSize];
        encodeToolInfo(*tool, bytes);
        reply->addParam(kParamData, bytes, kToolInfoSize);
    }
    return 0;
}

int32_t relayToAllToolsMsg(Message* message, Message*) {
    gToolRegistry->broadcastMessage(new Message(*message));
    return 0;
}

int32_t listToolsMsg(Message*, Message* reply) {
    for (long i = 0; i < gToolRegistry->getToolCount() && reply->paramCount < kMaxMessageParams;
         ++i) {
        const RegisteredTool* tool = gToolRegistry->getRegisteredTool(i);
        ToolListing listing{tool->toolInfo,
                            tool->loaded != 0,
                            tool->notResponding,
                            i == gToolRegistry->getDefaultSourceToolIndex(),
                            {}};
        for (long c = 0; c < gCommandManager->getCommandCount(); ++c) {
            const ToolCommand* command = gCommandManager->getNthCommand(c);
            if (command->toolInfo.toolType != tool->toolInfo.toolType) continue;
            listing.commands.push_back(
                {command->commandName, int32_t(command->requirement), command->requiresType});
        }
        std::vector<uint8_t> record = encodeToolListing(listing);
        reply->addParam(kParamData, record.data(), long(record.size()));
    }
    return 0;
}
