// The text and JSON forms of the Tool Manager's tool listing ('TLST'), as
// okamsg --tools prints them.
#pragma once

#include <string>
#include <vector>

#include "messaging/ToolListing.h"

// One block per tool: a line with its description, then one indented line
// per published command.
std::string toolListingText(const std::vector<ToolListing>& tools);
// A JSON array with one object per tool:
//   {"type", "name", "company", "version", "port", "loaded", "sourceViewer",
//    "defaultSourceViewer", "commands": [{"name", "requires", "fileType"}]}
// "requires" is "nothing", "file", "engine" or "engine or nothing";
// "fileType" is present for "file".
std::string toolListingJson(const std::vector<ToolListing>& tools);
