// FileDescriptor: owns one open POSIX file descriptor and closes it when it
// goes away, with whole-buffer positioned reads and writes that retry after
// interruptions and partial transfers.
#pragma once

#include <unistd.h>
#include <cerrno>

#include "core/Result.h"

// Called before every write to a database file when set. Normal runs leave
// it null; the crash tests install one that ends the process after a chosen
// number of writes, to look at the file each step leaves behind.
inline void (*gBeforeDatabaseWrite)() = nullptr;

class FileDescriptor {
  public:
    FileDescriptor() = default;
    FileDescriptor(const FileDescriptor&) = delete;
    FileDescriptor& operator=(const FileDescriptor&) = delete;
    ~FileDescriptor() { reset(); }

    bool isOpen() const { return fd >= 0; }
    int get() const { return fd; }

    // Closes the current descriptor, if any, and takes ownership of `newFd`.
    void reset(int newFd = -1) {
        if (fd >= 0) ::close(fd);
        fd = newFd;
    }

    // Reads up to `length` bytes at `offset`; fewer only at the end of the
    // file. Returns the count read, or -1 with errno set.
    long readAt(long offset, void* buffer, long length) const {
        long done = 0;
        while (done < length) {
            ssize_t got = ::pread(fd, static_cast<char*>(buffer) + done, size_t(length - done),
                                  off_t(offset + done));
            if (got < 0 && errno == EINTR) continue;
            if (got < 0) return -1;
            if (got == 0) break;
            done += got;
        }
        return done;
    }

    // Writes all `length` bytes at `offset`; a failure carries its errno.
    Status writeAt(long offset, const void* data, long length) const {
        if (gBeforeDatabaseWrite != nullptr) gBeforeDatabaseWrite();
        long done = 0;
        while (done < length) {
            ssize_t put = ::pwrite(fd, static_cast<const char*>(data) + done, size_t(length - done),
                                   off_t(offset + done));
            if (put < 0 && errno == EINTR) continue;
            if (put <= 0) return Status(put < 0 ? errno : EIO);
            done += put;
        }
        return kSuccess;
    }

    // Makes the file at least `length` bytes long (zeros); a failure carries
    // its errno.
    Status extendTo(long length) const {
        if (gBeforeDatabaseWrite != nullptr) gBeforeDatabaseWrite();
        off_t end = ::lseek(fd, 0, SEEK_END);
        if (end < 0) return Status(errno);
        if (end >= length) return kSuccess;
        return ::ftruncate(fd, off_t(length)) == 0 ? kSuccess : Status(errno);
    }

  private:
    int fd = -1;  // -1 when nothing is open
};
