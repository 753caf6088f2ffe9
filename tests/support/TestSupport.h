// Helpers shared by the tests: a temporary HOME (where the port file and
// the log live), log capture, and free ports.
#pragma once

#include <cstdlib>
#include <filesystem>
#include <sstream>
#include <string>

#include "core/Log.h"

// A user's home directory: where the log, the port file and the preferences live.
class HomeDirectory {
public:
    explicit HomeDirectory(std::filesystem::path directory) : directory(std::move(directory)) {}
    const std::filesystem::path& path() const { return directory; }
    std::filesystem::path okaDirectory() const { return directory / ".oka"; }

private:
    std::filesystem::path directory;
};

// Points HOME at a fresh temporary directory for the life of the object.
class TempHome : public HomeDirectory {
public:
    TempHome();
    ~TempHome();

private:
    std::string previousHome;
    bool hadHome;
};

// Sends log lines to a string for the life of the object.
class LogCapture {
public:
    LogCapture();
    ~LogCapture();
    std::string text() const { return stream.str(); }
    bool contains(const std::string& fragment) const {
        return text().find(fragment) != std::string::npos;
    }

private:
    std::ostringstream stream;
    std::ostream* previous;
};

// A TCP port that nothing listens on right now.
int findFreePort();

// Writes `content` to `path`, creating parent directories.
void writeFile(const std::filesystem::path& path, const std::string& content);
std::string readFile(const std::filesystem::path& path);
