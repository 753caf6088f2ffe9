// The fixture of the project tests: an in-process Tool Manager and files for its project.
#pragma once

#include <filesystem>
#include <string>

#include "ScriptedTool.h"
#include "ToolManagerTest.h"
#include "projects/ProjectManager.h"

class ProjectTest : public ToolManagerTest {
  protected:
    // A file below the temporary HOME with `content`; its full path.
    std::string makeFile(const std::string& name, const std::string& content = "text\n") {
        std::filesystem::path path = home.path() / "src" / name;
        writeFile(path, content);
        return path.string();
    }

    void addFiles(std::initializer_list<std::string> paths) {
        for (const std::string& path : paths)
            EXPECT_TRUE(gProjectManager->addFileToProject(path.c_str()).ok()) << path;
    }

    const TempHome& home = manager.home;
};
