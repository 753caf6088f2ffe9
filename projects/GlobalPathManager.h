// GlobalPathManager: resolves the partial file names that tools know (a name
// from a source line, an include name) into full paths for every tool. The
// search order is fixed: an absolute name that exists, the installation's
// include/ directory, its doc/html/ directory, then the current project's
// paths in order. The project paths are 'PATH' records of the project file
// (see ProjectRecords.h); they are read when a project is loaded and written
// when the pathnames window closes and when the manager is destroyed, so
// paths added by messages live only in memory until then.
//
// The pathnames window lets the user edit the project paths, one per line;
// the list takes the field's lines when the window closes. An open window
// follows paths added meanwhile (by 'ADGP' or by loading a project).
//
// A candidate path longer than 255 characters is never tried: truncating it
// could name a different file, so it counts as not found.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "core/HasErrorReporting.h"
#include "core/Utilities.h"
#include "storage/List.h"

class Message;
class PrefMan;
class TButObj;
class WinObj;

inline constexpr TypeCode kPathnamesWindowType = typeCode("PTHW");

class GlobalPathManager : public HasErrorReporting {
  public:
    // `projectFile` is the current project's file (the project manager);
    // registers the 'RSLV' handler.
    explicit GlobalPathManager(PrefMan* projectFile);
    GlobalPathManager(const GlobalPathManager&) = delete;
    GlobalPathManager& operator=(const GlobalPathManager&) = delete;
    // Writes the 'PATH' records and removes the 'RSLV' handler.
    ~GlobalPathManager() override;

    // The full path of the first candidate that exists; none when no
    // candidate does.
    std::optional<std::string> resolvePathname(const char* partial) const;
    // Appends `path`, or replaces an equal entry in its place.
    void addUniquePath(const char* path);
    Status readPathsFromDisk();
    Status writePathsToDisk();
    // Replaces the paths by the current project's records.
    Status loadProjectPaths();

    // Opens the pathnames window, or shows it again when it is open.
    void editGlobalPaths();
    // The window's field from `paths`, and `paths` from the field: blanks
    // are removed from every line, empty lines dropped.
    void setFieldFromPaths(WinObj* window);
    void setPathsFromField(WinObj* window);
    static WinObj* getPathnamesWindow() { return pathnamesWindow; }

    const List& getPaths() const { return paths; }

    // 'RSLV' and 'ADGP'.
    static int32_t resolvePathMsg(Message* message, Message* reply);
    static int32_t addGlobalPathsMsg(Message* message, Message* reply);

    static void nd_pathnamesWindowNfy(WinObj* window, int code);
    static void nd_browserButtonNfy(TButObj* button, int code);

  private:
    Status readPaths();

    PrefMan* projectFile;              // where the 'PATH' records live
    List paths;                        // owned StringItems in search order
    char includeDirectory[kPathSize];  // installation root + "include/"
    char htmlDirectory[kPathSize];     // installation root + "doc/html/"
    static WinObj* pathnamesWindow;    // the open pathnames window, or null
};

extern GlobalPathManager* gGlobalPathManager;
