// Scripted tools for the project tests and benchmarks: child processes that
// listen on their own ports and answer the Tool Manager's 'IDFL' as told.
#pragma once

#include <sys/types.h>

#include <filesystem>
#include <string>
#include <vector>

#include "messaging/ToolInfo.h"

// How a scripted tool answers 'IDFL' for the paths ending in `suffix`.
struct IdentifyRule {
    enum Kind { recognise, refuse, error, silent };
    std::string suffix;
    Kind kind = recognise;
    std::string typeName;   // recognise: parameter 2
    TypeCode type = 0;      // recognise: parameter 3
    std::string description;  // recognise: parameter 4, left out when empty
};

// A tool in a child process: it listens on its own port and answers 'IDFL'
// by the first rule whose suffix ends the path (refusing when none does);
// every path it was asked about and every 'FADD' it got are appended to a
// journal file, one line each ("IDFL path", "FADD path TYPE"), unless the
// journal path is empty.
class ScriptedTool {
public:
    ScriptedTool(const std::filesystem::path& journal, const char* name, TypeCode type,
                 std::vector<IdentifyRule> rules);
    ~ScriptedTool();
    std::vector<std::string> journal() const;
    // Waits until the journal holds `line`, up to two seconds.
    bool waitForLine(const std::string& line) const;

    ToolInfo info;

private:
    std::filesystem::path journalPath;
    pid_t child = -1;
};

