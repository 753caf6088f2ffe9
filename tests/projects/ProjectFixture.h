// The fixture of the project tests: an in-process Tool Manager and files for its project.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

#include "ScriptedTool.h"
#include "ToolManagerTest.h"
#include "projects/ProjectManager.h"

inline std::vector<std::string> listNames(const MasterComponentList& lists) {
    std::vector<std::string> names;
    for (long i = 0; i < lists.getCount(); ++i) names.push_back(lists.getNthList(i)->getName());
    return names;
}

inline std::string paramBytes(const Message& message, int index) {
    return std::string(reinterpret_cast<const char*>(message.getParam(index)),
                       size_t(message.getParamLength(index)));
}

class ProjectTest : public ToolManagerTest {
  protected:
    // A file below the temporary HOME with `content`; its full path.
    std::string makeFile(const std::string& name, const std::string& content = "text\n") {
        std::filesystem::path path = home.path() / "src" / name;
        writeFile(path, content);
        return path.string();
    }

    void addFiles(const std::vector<std::string>& paths) {
        for (const std::string& path : paths)
            EXPECT_TRUE(gProjectManager->addFileToProject(path.c_str()).ok()) << path;
    }

    // Big-endian `value` in `size` bytes, as the project records and replies hold numbers.
    static std::string bigEndian(uint32_t value, int size) {
        std::string bytes;
        for (int shift = 8 * (size - 1); shift >= 0; shift -= 8) bytes += char(value >> shift);
        return bytes;
    }
    // `text` padded with zeros to the size of its fixed field.
    static std::string padded(const std::string& text, size_t size = 256) {
        return text + std::string(size - text.size(), '\0');
    }
    static std::string engineBytes(const std::string& machine, uint32_t port) {
        return padded(machine, 32) + bigEndian(port, 4);
    }

    const TempHome& home = manager.home;
};
