// Helpers shared by the tests: a temporary HOME (where the port file and
// the log live), log capture, free ports, and the requests tools send.
#pragma once

#include <cstdlib>
#include <filesystem>
#include <functional>
#include <initializer_list>
#include <sstream>
#include <string>

#include "core/Log.h"
#include "messaging/Message.h"

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

// Checks `condition` every 20 ms until it holds (true) or `timeoutMs` pass.
bool pollUntil(const std::function<bool()>& condition, int timeoutMs);

// A TCP port that nothing listens on right now.
int findFreePort();

// Writes `content` to `path`, creating parent directories.
void writeFile(const std::filesystem::path& path, const std::string& content);
std::string readFile(const std::filesystem::path& path);

// How often `fragment` occurs in `text`, overlaps counted.
size_t occurrences(const std::string& text, const std::string& fragment);

// A request of type `code` with `texts` as path parameters, after `subject`
// as its first, type parameter unless that is 0 ('LOOK', 'UNRT', 'GFCP', 'GWIN').
Message* newRequest(const char (&code)[5], std::initializer_list<std::string> texts = {});
Message* newRequest(const char (&code)[5], TypeCode subject,
                    std::initializer_list<std::string> texts = {});
// 'REGT' announcing `tool`, started by the program at `path`.
Message* newRegistration(const ToolInfo& tool, const char* path);
// A 'DISF' for `path` in the viewer of type `viewer` (0: the current source
// viewer) that asks for the viewer's reply; with `resolve` a partial path is
// resolved by the Tool Manager first, and with `mayAsk` the user may be
// asked to locate a path that does not resolve.
Message* newDisplayRequest(const std::string& path, TypeCode viewer = 0, bool resolve = false,
                           bool mayAsk = false);
