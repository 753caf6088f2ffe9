// What the operating system offers every layer: a millisecond clock,
// file-system queries and the bell. The toolkit presents the same services
// under its own family names (TIME_*, FMGR_*, FNAME_*, DSPLY_Beep); code below
// the toolkit calls these.
#pragma once

#include <cstdint>

// Milliseconds of a monotonic clock; only differences are meaningful.
uint32_t currentMilliseconds();

// What a path names; any other value: nothing there.
enum NodeType : int { kNodeNone = 0, kNodeFile = 1, kNodeDirectory = 2, kNodeOther = 3 };

NodeType nodeTypeOf(const char* path);
bool isReadablePath(const char* path);
// Creates one directory with the given permission bits; true on success.
bool createDirectory(const char* path, unsigned int permissions);

using DirectoryEntryProc = int (*)(const char* directory, const char* name, void* data);
// Calls `procedure` for every entry of `directory` in ascending byte-wise
// name order, leaving out "." and every name that begins with "..". All
// entries are visited whatever the procedure returns; the result is the last
// procedure result, 1 for an empty directory, and 0 when it cannot be read.
int forEachDirectoryEntry(const char* directory, DirectoryEntryProc procedure, void* data);

// Writes the current directory, ending in '/', into `buffer` of `size` bytes.
bool currentDirectory(char* buffer, int size);

// The bell. Until a display installs its own (setBellProc), ringing it is
// only logged.
using BellProc = void (*)();
void setBellProc(BellProc bell);
void ringBell();
