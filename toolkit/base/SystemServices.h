// The toolkit's names for the platform services of core/Platform.h: the
// millisecond clock and file-system queries. The display's bell is
// DSPLY_Beep (widgets/Draw.h).
#pragma once

#include <cstdint>

#include "core/Platform.h"

inline uint32_t TIME_GetCurMillisecs() {
    return currentMilliseconds();
}

// Node types returned by FMGR_GetNodeType: kNodeFile, kNodeDirectory,
// kNodeOther, kNodeNone (core/Platform.h).
inline int FMGR_GetNodeType(const char* path) {
    return nodeTypeOf(path);
}
inline bool FMGR_IsReadable(const char* path) {
    return isReadablePath(path);
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
