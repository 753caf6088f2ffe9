#include "projects/SourceDisplay.h"

#include <cstring>
#include <memory>
#include <string>

#include "core/Log.h"
#include "core/Utilities.h"
#include "messaging/MessageCenter.h"
#include "projects/GlobalPathManager.h"
#include "projects/TextParams.h"
#include "toolkit/AlertWindow.h"
#include "tools/ToolRegistry.h"
#include "workspace/FilePicker.h"

namespace {
constexpr const char* kLogSource = "../kelvane";

enum DisplayParam { kPathParam = 0, kResolveParam = 1, kMayAskParam = 7, kViewerTypeParam = 10 };

// The tool of the type asked for, else the current source viewer; null when none.
const ToolInfo* chooseViewer(TypeCode viewerType) {
    const ToolInfo* viewer =
        viewerType != 0 ? gToolRegistry->lookupToolByType(viewerType) : nullptr;
    return viewer != nullptr ? viewer : gToolRegistry->getCurrentSourceTool();
}

// Replaces the path of `copy` by its resolution, or by a file the user
// locates. False when the user cancelled: nothing is to be sent.
bool resolvePath(Message* copy) {
    char path[kPathSize] = "";
    if (!readTextParam(copy, kPathParam, path, sizeof path))
        return true;  // no path of ours: left as it is
    std::optional<std::string> fullPath = gGlobalPathManager->resolvePathname(path);
    if (fullPath) {
        char field[kPathSize] = {};
        copyText(field, sizeof field, fullPath->c_str());
        copy->changeParam(kPathParam, kParamS255, field, sizeof field);
    } else if (copy->getBoolParam(kMayAskParam)) {
        std::string prompt = std::string("Locate the file ") + path;
        char chosen[kPathSize];
        if (!chooseFile(kPickerBoth, chosen, sizeof chosen, prompt.c_str(), path, path, true, true))
            return false;
        char directory[kPathSize];
        extractPathname(chosen, directory, sizeof directory);
        gGlobalPathManager->addUniquePath(directory);
        copy->changeParam(kPathParam, kParamS255, chosen, long(std::strlen(chosen)) + 1);
    }
    // The viewer must not resolve it again.
    const uint8_t no = 0;
    copy->changeParam(kResolveParam, kParamBool, &no, 1);
    return true;
}
}  // namespace

int32_t displaySourceFileMsg(Message* message, Message*) {
    const ToolInfo* viewer = chooseViewer(message->getTypeParam(kViewerTypeParam));
    if (viewer == nullptr) {
        ALRTW_Process(ALRTW_DefWarningAlrtW(), "None of the available tools can display source.");
        return 0;
    }
    // The viewer's ToolInfo may go if a tool unregisters while the user locates the file.
    ToolInfo target = *viewer;
    auto copy = std::make_unique<Message>(*message);
    if (copy->getBoolParam(kResolveParam) && !resolvePath(copy.get())) return 0;
    copy->destination = target;
    // When the requester waits for a reply, so does the relay; the viewer's
    // reply is not the requester's.
    delete gMessageCenter->sendMessage(copy.release());
    return gMessageCenter->getLastError();
}
