// Fake tools whose port a child process serves, answering 'IDFL' as told.
#pragma once

#include <sys/types.h>

#include <filesystem>
#include <string>
#include <vector>

#include "FakeTool.h"

// How a scripted tool answers for paths ending in `suffix`, the first rule that
// fits deciding (none: a refusal); silent: no reply at all; dies: its process ends.
struct IdentifyRule {
    enum Kind { recognise, error, silent, dies };
    std::string suffix;
    Kind kind = recognise;
    std::string typeName;     // recognise: parameter 2
    TypeCode type = 0;        // recognise: parameter 3
    std::string description;  // recognise: parameter 4, left out when empty
};

// A FakeTool served by a forked child, so that it answers while the Tool Manager
// waits in the test's thread. What it gets is journaled, one line each: "IDFL
// path", "IDFB path" ("IDFB refused count" from a fileByFile library, which
// answers -3), "FADD path TYPE", "CMDS command path", "RPLY error".
class ScriptedTool : public FakeTool {
  public:
    enum class Library { batches, fileByFile };

    ScriptedTool(const std::filesystem::path& journal, const char* name, TypeCode type,
                 const std::vector<IdentifyRule>& rules, Library library = Library::batches);
    ~ScriptedTool();
    std::vector<std::string> journal() const;
    // Waits until the journal holds `line`, up to two seconds.
    bool waitForLine(const std::string& line) const;

  private:
    [[noreturn]] void serve(const std::vector<IdentifyRule>& rules, Library library);

    std::filesystem::path journalPath;
    pid_t child = -1;
};
