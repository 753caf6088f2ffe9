#include "core/Platform.h"

#include <dirent.h>
#include <fcntl.h>
#include <linux/inet_diag.h>
#include <linux/netlink.h>
#include <linux/sock_diag.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstring>
#include <string>
#include <vector>

#include "core/Log.h"

namespace {
constexpr const char* kLogSource = "../platform";

void logBell() {
    OKA_LOG("beep");
}

BellProc bellProc = logBell;  // the display's bell, once one is installed

// Makes a system call again for as long as a signal interrupts it.
template <typename SystemCall>
auto retryInterrupted(SystemCall call) {
    auto result = call();
    while (result < 0 && errno == EINTR) result = call();
    return result;
}

// A socket-diagnostics request for one IPv4 TCP socket.
struct DiagnosticsRequest {
    nlmsghdr header;
    inet_diag_req_v2 request;
};

// The request for the socket whose source is `peer` and whose destination is `self`.
DiagnosticsRequest peerSocketRequest(const sockaddr_in& self, const sockaddr_in& peer) {
    DiagnosticsRequest query{};
    query.header.nlmsg_len = sizeof query;
    query.header.nlmsg_type = SOCK_DIAG_BY_FAMILY;
    query.header.nlmsg_flags = NLM_F_REQUEST;
    query.request.sdiag_family = AF_INET;
    query.request.sdiag_protocol = IPPROTO_TCP;
    query.request.idiag_states = ~0u;
    query.request.id.idiag_sport = peer.sin_port;
    query.request.id.idiag_dport = self.sin_port;
    query.request.id.idiag_src[0] = peer.sin_addr.s_addr;
    query.request.id.idiag_dst[0] = self.sin_addr.s_addr;
    query.request.id.idiag_cookie[0] = INET_DIAG_NOCOOKIE;
    query.request.id.idiag_cookie[1] = INET_DIAG_NOCOOKIE;
    return query;
}
}  // namespace

uint32_t currentMilliseconds() {
    using namespace std::chrono;
    return uint32_t(duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count());
}

NodeType nodeTypeOf(const char* path) {
    struct stat info;
    if (path == nullptr || stat(path, &info) != 0) return kNodeNone;
    if (S_ISREG(info.st_mode)) return kNodeFile;
    if (S_ISDIR(info.st_mode)) return kNodeDirectory;
    return kNodeOther;
}

bool isReadablePath(const char* path) {
    return path != nullptr && access(path, R_OK) == 0;
}

bool createDirectory(const char* path, unsigned int permissions) {
    return path != nullptr && mkdir(path, mode_t(permissions)) == 0;
}

int forEachDirectoryEntry(const char* directory, DirectoryEntryProc procedure, void* data) {
    if (directory == nullptr || procedure == nullptr) return 0;
    DIR* handle = opendir(directory);
    if (handle == nullptr) return 0;
    std::vector<std::string> names;
    while (dirent* entry = readdir(handle)) {
        const char* name = entry->d_name;
        if (std::strcmp(name, ".") == 0 || std::strncmp(name, "..", 2) == 0) continue;
        names.emplace_back(name);
    }
    closedir(handle);
    std::sort(names.begin(), names.end());
    int result = 1;
    for (const std::string& name : names) result = procedure(directory, name.c_str(), data);
    return result;
}

FileStamp fileStampOf(const char* path) {
    struct stat status {};
    FileStamp stamp;
    if (path == nullptr || ::stat(path, &status) != 0) return stamp;
    stamp.exists = true;
    stamp.device = uint64_t(status.st_dev);
    stamp.inode = uint64_t(status.st_ino);
    stamp.modifiedNanoseconds =
        int64_t(status.st_mtim.tv_sec) * 1000000000 + int64_t(status.st_mtim.tv_nsec);
    return stamp;
}

bool currentDirectory(char* buffer, int size) {
    if (buffer == nullptr || size < 2 || getcwd(buffer, size_t(size) - 1) == nullptr) return false;
    size_t length = std::strlen(buffer);
    if (length == 0 || buffer[length - 1] != '/') {
        buffer[length] = '/';
        buffer[length + 1] = '\0';
    }
    return true;
}

void setBellProc(BellProc bell) {
    bellProc = bell != nullptr ? bell : logBell;
}

void ringBell() {
    bellProc();
}

namespace {
// In a child of a fork, until exec, only calls that are safe there are made.
[[noreturn]] void reportFailure(int errorPipe, int error) {
    ssize_t written = write(errorPipe, &error, sizeof error);
    _exit(written == sizeof error ? 127 : 126);
}

std::vector<pid_t> startedPrograms;  // started by startDetached, not yet reaped

[[noreturn]] void execDetached(char* const* argv, int errorPipe) {
    struct sigaction ignore {};
    ignore.sa_handler = SIG_IGN;
    sigaction(SIGINT, &ignore, nullptr);
    sigaction(SIGQUIT, &ignore, nullptr);
    sigset_t none;
    sigemptyset(&none);
    sigprocmask(SIG_SETMASK, &none, nullptr);
    execvp(argv[0], argv);
    reportFailure(errorPipe, errno);
}
}  // namespace

Status startDetached(const std::vector<std::string>& arguments) {
    reapStartedPrograms();
    if (arguments.empty() || arguments[0].empty()) return Status(ENOENT);
    std::vector<char*> argv;
    for (const std::string& argument : arguments)
        argv.push_back(const_cast<char*>(argument.c_str()));
    argv.push_back(nullptr);
    // The exec's failure comes back through a pipe that a successful exec closes.
    int errorPipe[2];
    if (pipe2(errorPipe, O_CLOEXEC) != 0) return Status(errno);
    pid_t program = fork();
    if (program == 0) execDetached(argv.data(), errorPipe[1]);
    int forkError = errno;
    close(errorPipe[1]);
    if (program < 0) {
        close(errorPipe[0]);
        return Status(forkError);
    }
    int execError = 0;
    ssize_t count =
        retryInterrupted([&] { return read(errorPipe[0], &execError, sizeof execError); });
    close(errorPipe[0]);
    startedPrograms.push_back(program);
    if (count != sizeof execError) return kSuccess;
    reapStartedPrograms();
    return Status(execError);
}

void reapStartedPrograms() {
    std::erase_if(startedPrograms, [](pid_t program) {
        pid_t result = retryInterrupted([program] { return waitpid(program, nullptr, WNOHANG); });
        return result != 0;  // reaped, or no longer ours to wait for
    });
}

int openTCPSocket(bool nonBlocking) {
    return ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC | (nonBlocking ? SOCK_NONBLOCK : 0), 0);
}

const int kSendWithoutSignal = MSG_NOSIGNAL;

ConnectionOwnerQuery::~ConnectionOwnerQuery() {
    if (diagnostics >= 0) ::close(diagnostics);
}

ConnectionOwnerQuery::Answer ConnectionOwnerQuery::ownerOf(int connection, uint32_t& uid) {
    sockaddr_in self{}, peer{};
    socklen_t length = sizeof self;
    if (::getsockname(connection, reinterpret_cast<sockaddr*>(&self), &length) != 0) {
        return Answer::gone;
    }
    length = sizeof peer;
    if (::getpeername(connection, reinterpret_cast<sockaddr*>(&peer), &length) != 0 ||
        peer.sin_family != AF_INET) {
        return Answer::gone;
    }
    if (diagnostics < 0) {
        diagnostics = ::socket(AF_NETLINK, SOCK_DGRAM | SOCK_CLOEXEC, NETLINK_SOCK_DIAG);
        if (diagnostics < 0) return Answer::unknowable;
    }
    DiagnosticsRequest query = peerSocketRequest(self, peer);
    sockaddr_nl kernel{};
    kernel.nl_family = AF_NETLINK;
    // A signal arriving meanwhile (Ctrl-C, SIGTERM) must not make the owner
    // unknowable for good: the calls are made again.
    ssize_t sent = retryInterrupted([&] {
        return ::sendto(diagnostics, &query, sizeof query, 0, reinterpret_cast<sockaddr*>(&kernel),
                        sizeof kernel);
    });
    if (sent < 0) return Answer::unknowable;
    alignas(nlmsghdr) char answer[1024];
    ssize_t received =
        retryInterrupted([&] { return ::recv(diagnostics, answer, sizeof answer, 0); });
    if (received < ssize_t(sizeof(nlmsghdr))) return Answer::unknowable;
    const auto* header = reinterpret_cast<const nlmsghdr*>(answer);
    if (header->nlmsg_type == NLMSG_ERROR) {
        const auto* failure = static_cast<const nlmsgerr*>(NLMSG_DATA(header));
        // No such socket: the peer is gone. Anything else: no socket diagnostics here.
        if (failure->error == -ENOENT) return Answer::gone;
        errno = -failure->error;
        return Answer::unknowable;
    }
    if (header->nlmsg_type != SOCK_DIAG_BY_FAMILY ||
        header->nlmsg_len < NLMSG_LENGTH(sizeof(inet_diag_msg))) {
        return Answer::gone;
    }
    const auto* found = static_cast<const inet_diag_msg*>(NLMSG_DATA(header));
    // A time-wait remnant carries no owner (inode 0, uid 0).
    if (found->idiag_inode == 0) return Answer::gone;
    uid = found->idiag_uid;
    return Answer::found;
}
