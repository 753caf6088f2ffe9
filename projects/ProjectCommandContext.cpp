#include "projects/ProjectCommandContext.h"

#include "projects/EngineInfo.h"
#include "projects/NewEngineWindow.h"
#include "projects/OKAFile.h"
#include "projects/ProjectFilePicker.h"
#include "projects/ProjectManager.h"
#include "tools/ToolCommand.h"

namespace {
const EngineInfo* selectedEngine() {
    Item* selected = nullptr;
    gProjectManager->getSelectedComponent(&selected);
    return dynamic_cast<const EngineInfo*>(selected);
}
}  // namespace

long selectedComponentKind(TypeCode* fileType) {
    *fileType = 0;
    Item* selected = nullptr;
    if (!gProjectManager->getSelectedComponent(&selected)) return 0;
    if (dynamic_cast<const EngineInfo*>(selected) != nullptr) return kComponentKindEngine;
    *fileType = selected->getItemType();
    return kComponentKindFile;
}

CommandSelection ProjectCommandContext::selectedComponent() {
    Item* selected = nullptr;
    if (!gProjectManager->getSelectedComponent(&selected)) return {};
    if (auto* engine = dynamic_cast<const EngineInfo*>(selected)) {
        const char* machine = engine->getMachine();
        return {kComponentKindEngine, machine != nullptr ? machine : "", engine->getPort(), ""};
    }
    if (auto* file = dynamic_cast<const OKAFile*>(selected)) {
        return {kComponentKindFile, "", 0, file->getPathname()};
    }
    return {};
}

void ProjectCommandContext::logSelectedEngine() {
    if (const EngineInfo* engine = selectedEngine()) engine->log("Selected engine");
}

void ProjectCommandContext::openNewEngineWindow() {
    displayNewEngineWindow(nullptr, 1);
}

void ProjectCommandContext::chooseFileForCommand() {
    ::chooseFileForCommand();
}
