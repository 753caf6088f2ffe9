#include "messaging/ToolListingPrinter.h"

#include <cstdio>

#include "core/Utilities.h"

namespace {
const char* requirementText(int32_t requirement) {
    switch (requirement) {
        case 0:
            return "nothing";
        case 1:
            return "file";
        case 2:
            return "engine";
        case 3:
            return "engine or nothing";
        default:
            return "unknown";
    }
}

std::string versionText(const ToolInfo& info) {
    return std::to_string(info.majorVersion) + "." + std::to_string(info.minorVersion);
}

std::string jsonString(const std::string& text) {
    std::string quoted = "\"";
    for (unsigned char c : text) {
        if (c == '"' || c == '\\') {
            quoted += '\\';
            quoted += char(c);
        } else if (c < 0x20) {
            char escaped[8];
            std::snprintf(escaped, sizeof escaped, "\\u%04x", c);
            quoted += escaped;
        } else {
            quoted += char(c);
        }
    }
    return quoted + "\"";
}

const char* jsonBool(bool value) {
    return value ? "true" : "false";
}

const char* loadedText(const ToolListing& tool) {
    if (!tool.loaded) return "unloaded";
    return tool.notResponding ? "loaded, not responding" : "loaded";
}
}  // namespace

std::string toolListingText(const std::vector<ToolListing>& tools) {
    std::string text;
    for (const ToolListing& tool : tools) {
        const ToolInfo& info = tool.info;
        text += std::string(info.name) + "  type " + TypeIdentToCStr(info.toolType) + "  " +
                info.company + "  version " + versionText(info) + "  port " +
                std::to_string(info.port) + "  " + loadedText(tool);
        if (info.isSourceViewer)
            text += tool.isDefaultSourceViewer ? "  source viewer (default)" : "  source viewer";
        text += "\n";
        for (const CommandListing& command : tool.commands) {
            text += "    " + command.name + "  requires " + requirementText(command.requirement);
            if (command.requirement == 1)
                text += std::string(" of type ") + TypeIdentToCStr(command.requiresType);
            text += "\n";
        }
    }
    return text;
}

std::string toolListingJson(const std::vector<ToolListing>& tools) {
    std::string json = "[";
    for (size_t t = 0; t < tools.size(); ++t) {
        const ToolInfo& info = tools[t].info;
        json += t ? ",\n {" : "\n {";
        json += "\"type\": " + jsonString(TypeIdentToCStr(info.toolType)) +
                ", \"name\": " + jsonString(info.name) +
                ", \"company\": " + jsonString(info.company) +
                ", \"version\": " + jsonString(versionText(info)) +
                ", \"port\": " + std::to_string(info.port) +
                ", \"loaded\": " + jsonBool(tools[t].loaded) +
                ", \"responding\": " + jsonBool(tools[t].loaded && !tools[t].notResponding) +
                ", \"sourceViewer\": " + jsonBool(info.isSourceViewer != 0) +
                ", \"defaultSourceViewer\": " + jsonBool(tools[t].isDefaultSourceViewer) +
                ", \"commands\": [";
        const std::vector<CommandListing>& commands = tools[t].commands;
        for (size_t c = 0; c < commands.size(); ++c) {
            json += c ? ", {" : "{";
            json += "\"name\": " + jsonString(commands[c].name) +
                    ", \"requires\": " + jsonString(requirementText(commands[c].requirement));
            if (commands[c].requirement == 1) {
                json += ", \"fileType\": " + jsonString(TypeIdentToCStr(commands[c].requiresType));
            }
            json += "}";
        }
        json += "]}";
    }
    return json + (tools.empty() ? "]\n" : "\n]\n");
}
