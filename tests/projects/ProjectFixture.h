// The fixture of the project tests: an in-process Tool Manager and files to
// put into its project.
#pragma once

#include <filesystem>
#include <string>

#include "ScriptedTool.h"
#include "ToolManagerTest.h"

class ProjectTest : public ToolManagerTest {
  protected:
    // A file below the temporary HOME with `content`; its full path.
    std::string makeFile(const std::string& name, const std::string& content = "text\n") {
        std::filesystem::path path = home.path() / "src" / name;
        writeFile(path, content);
        return path.string();
    }

    const TempHome& home = manager.home;
};
