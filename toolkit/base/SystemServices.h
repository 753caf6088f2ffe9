// The toolkit's names for the platform services of core/Platform.h (the
// millisecond clock, file-system queries) and its display bell. They work
// the same in every backend.
#pragma once

#include <cstdint>

#include "core/Platform.h"

inline uint32_t TIME_GetCurMillisecs() {
    return currentMilliseconds();
}

// Sounds the display's bell (without a display it is logged and counted).
void DSPLY_Beep();

// Node types returned by FMGR_GetNodeType: kNodeFile, kNodeDirectory,
// kNodeOther, kNodeNone (core/Platform.h).
inline int FMGR_GetNodeType(const char* path) {
    return nodeTypeOf(path);
}
inline bool FMGR_IsReadable(const char* path) {
    return isReadablePath(path);
}
// Creates one directory with the given permission bits; true on success.
inline bool FMGR_CreateDir(const char* path, unsigned int permissions) {
    return createDirectory(path, permissions);
}

using FmgrDirProc = DirectoryEntryProc;
// Lists `directory` in byte-wise name order (see forEachDirectoryEntry);
// `flags` is unused.
inline int FMGR_PerfDirFiles(const char* directory, int /*flags*/, FmgrDirProc procedure,
                             void* data) {
    return forEachDirectoryEntry(directory, procedure, data);
}

// Writes the current directory, ending in '/', into `buffer` of `size` bytes.
inline bool FNAME_QueryCurDir(char* buffer, int size) {
    return currentDirectory(buffer, size);
}
// Writes the top of the file-system tree ("/") into `buffer`.
bool FNAME_QueryTopDir(char* buffer, int size);
