// RegisteredTool: one entry of the tool registry. It keeps the tool's own
// description (ToolInfo), whether its process is believed to run, the program
// name used to start it again, and where its icon stands in the workspace.
#pragma once

#include "messaging/ToolInfo.h"
#include "storage/Item.h"
#include "toolkit/Rect16.h"

class TButObj;

inline constexpr TypeCode kRegisteredToolItem = typeCode("RTOL");

class RegisteredTool : public Item {
public:
    RegisteredTool();
    explicit RegisteredTool(const ToolInfo* info);
    RegisteredTool(const RegisteredTool&) = delete;
    RegisteredTool& operator=(const RegisteredTool&) = delete;
    ~RegisteredTool() override;

    void setToolInfo(const ToolInfo* info);
    // Keeps a copy of the last component of `path`; null forgets the name.
    void setExecutableName(const char* path);

    // Same item type and same tool type.
    bool isEqual(const Item* other) const override;

    ToolInfo toolInfo;               // private copy of the tool's description
    unsigned char loaded = 1;        // 1 while the tool's process is believed to run
    char* executableName = nullptr;  // owned program name for relaunching, or null
    Rect16 iconBox;                  // where the registry placed the icon in the icon panel
    TButObj* icon = nullptr;  // the icon button; owned by the workspace window, null without one
};
