// What the project gives a tool command to run on: the component selected in
// the workspace's lists, the add-engine window when an engine is missing and
// the file picker when a file is.
#pragma once

#include "tools/CommandManager.h"

// What the selected component is to a command's requirement: 0 when nothing
// is selected, kComponentKindEngine, or kComponentKindFile with the file's
// type in `fileType`.
long selectedComponentKind(TypeCode* fileType);

class ProjectCommandContext : public CommandContext {
  public:
    CommandSelection selectedComponent() override;
    void logSelectedEngine() override;
    void openNewEngineWindow() override;
    void chooseFileForCommand() override;
};
