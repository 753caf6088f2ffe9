// ToolCommand: one command that a tool published with 'ADDC'. It names the
// command, keeps a copy of the publishing tool's ToolInfo (which says where
// to send 'CMDS'), and states what the command works on:
//
//   requirement  needs                              component menu  tool menu, with a selection
//   0            nothing                            never           always
//   1            a file whose type is requiresType  such a file     such a file
//   2            an engine descriptor               an engine       an engine
//   3            an engine descriptor or nothing    an engine       always
#pragma once

#include <cstdint>

#include "messaging/ToolInfo.h"
#include "storage/Item.h"

inline constexpr TypeCode kToolCommandItem = typeCode("CMND");

// What a selected component is to the matching rule.
inline constexpr long kComponentKindFile = 1;
inline constexpr long kComponentKindEngine = 2;

class ToolCommand : public Item {
  public:
    ToolCommand(const char* name, const ToolInfo* tool, long requirement, TypeCode requiresType);
    ToolCommand(const ToolCommand&) = delete;
    ToolCommand& operator=(const ToolCommand&) = delete;
    ~ToolCommand() override;

    // Whether the command applies to a component of `kind` (and file `type`);
    // `fromToolMenu` is set for the tool's own pop-up menu.
    bool commandMatchesRequires(long kind, TypeCode type, bool fromToolMenu) const;

    // Same tool type and same name.
    bool isEqual(const Item* other) const override;
    // By command name, or by tool name when several tools publish the name.
    long compare(const Item* other) const override;

    char* commandName;                      // owned, never null
    ToolInfo toolInfo;                      // the publishing tool
    long requirement = 0;                   // what the command needs (table above)
    TypeCode requiresType = kWildcardType;  // the file type needed when requirement is 1
};
