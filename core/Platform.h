// What the operating system offers every layer: a millisecond clock,
// file-system queries, sockets and the bell. Every call that only one kind of
// system has lives in Platform.cpp, the one file to port. The toolkit presents the same services
// under its own family names (TIME_*, FMGR_*, FNAME_*, DSPLY_Beep); code below
// the toolkit calls these.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "core/Result.h"

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

// What tells one version of a file from the next: the file itself (device
// and inode, so a file replaced under the same name differs) and the time of
// its last change, to the nanosecond where the system keeps it.
struct FileStamp {
    bool exists = false;
    uint64_t device = 0;
    uint64_t inode = 0;
    int64_t modifiedNanoseconds = 0;
    bool operator==(const FileStamp&) const = default;
};
// The stamp of `path`; `exists` is false when nothing can be found there.
FileStamp fileStampOf(const char* path);

// Writes the current directory, ending in '/', into `buffer` of `size` bytes.
bool currentDirectory(char* buffer, int size);

// The bell. Until a display installs its own (setBellProc), ringing it is
// only logged.
using BellProc = void (*)();
void setBellProc(BellProc bell);
void ringBell();

// Starts the program `arguments[0]` (a path, or a name looked up on the
// PATH) with `arguments` and this process's environment, without a shell and
// without waiting for it; it runs on when this process ends. Like a shell's
// background job it ignores the terminal's interrupt and quit keys (the
// program that started it passes those on in order). Fails with the errno of
// a program that could not be started.
Status startDetached(const std::vector<std::string>& arguments);
// Collects the exit of every program startDetached started that has ended,
// so none lingers as a zombie; called by each start and by a main loop.
void reapStartedPrograms();

// A TCP socket (IPv4) that programs started from this one do not inherit;
// `nonBlocking` makes connect, send and receive return at once. -1 with
// errno set on failure.
int openTCPSocket(bool nonBlocking = false);

// Flags for send/sendmsg that make writing to a connection whose peer has
// gone fail with EPIPE instead of raising SIGPIPE.
extern const int kSendWithoutSignal;

// Asks the kernel which user owns the far end of a loopback TCP connection
// (the socket with the connection's addresses seen from the peer's side).
class ConnectionOwnerQuery {
  public:
    enum class Answer {
        found,      // `uid` is the peer's user
        gone,       // no owner known: the peer has closed its end (or never was)
        unknowable  // this system cannot tell (errno says why)
    };

    ConnectionOwnerQuery() = default;
    ~ConnectionOwnerQuery();
    ConnectionOwnerQuery(const ConnectionOwnerQuery&) = delete;
    ConnectionOwnerQuery& operator=(const ConnectionOwnerQuery&) = delete;

    Answer ownerOf(int connection, uint32_t& uid);

  private:
    int diagnostics = -1;  // the kernel's socket-diagnostics channel, opened at first need
};
