// The toolkit services that need no display: the millisecond clock, the
// display bell and file-system queries. They work the same in every backend.
#pragma once

#include <cstdint>

// Milliseconds of a monotonic clock; only differences are meaningful.
uint32_t TIME_GetCurMillisecs();

// Sounds the display's bell (without a display it is logged and counted).
void DSPLY_Beep();

// Node types returned by FMGR_GetNodeType; any other value: nothing there.
enum FmgrNodeType : int { kNodeFile = 1, kNodeDirectory = 2, kNodeOther = 3, kNodeNone = 0 };

int FMGR_GetNodeType(const char* path);
bool FMGR_IsReadable(const char* path);
// Creates one directory with the given permission bits; true on success.
bool FMGR_CreateDir(const char* path, unsigned int permissions);

using FmgrDirProc = int (*)(const char* directory, const char* name, void* data);

// Calls `procedure` for every entry of `directory` in ascending byte-wise
// name order, leaving out "." and every name that begins with "..". All
// entries are visited whatever the procedure returns; the result is the last
// procedure result, 1 for an empty directory, and 0 when it cannot be read.
int FMGR_PerfDirFiles(const char* directory, int flags, FmgrDirProc procedure, void* data);

// Writes the current directory, ending in '/', into `buffer` of `size` bytes.
bool FNAME_QueryCurDir(char* buffer, int size);
// Writes the top of the file-system tree ("/") into `buffer`.
bool FNAME_QueryTopDir(char* buffer, int size);
