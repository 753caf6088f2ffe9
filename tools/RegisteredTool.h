// RegisteredTool: one entry of the tool registry. It keeps the tool's own
// description (ToolInfo), whether its process is believed to run and, if
// so, whether it answers requests, and the program name used to start it
// again.
#pragma once

#include "messaging/ToolInfo.h"
#include "storage/Item.h"

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
    bool notResponding = false;      // let a request run out of time and sent nothing since
    char* executableName = nullptr;  // owned program name for relaunching, or null
};
