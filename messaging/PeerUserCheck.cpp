#include "messaging/PeerUserCheck.h"

#include <linux/inet_diag.h>
#include <linux/netlink.h>
#include <linux/sock_diag.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "core/Log.h"

namespace {
constexpr const char* kLogSource = "../tcpxport";

// A sock_diag request for one IPv4 TCP socket.
struct DiagnosticsRequest {
    nlmsghdr header;
    inet_diag_req_v2 request;
};

bool othersAllowedByEnvironment() {
    const char* value = std::getenv("OKA_ALLOW_OTHER_USERS");
    return value != nullptr && std::strcmp(value, "1") == 0;
}
}  // namespace

PeerUserCheck::PeerUserCheck() : ownUser(geteuid()) {
    if (othersAllowedByEnvironment()) {
        active = false;
        OKA_LOG("OKA_ALLOW_OTHER_USERS=1: connections of other users are accepted");
    }
}

bool PeerUserCheck::admit(int connection) {
    if (!active) return true;
    uid_t uid = 0;
    switch (ownerOf(connection, uid)) {
        case Owner::sameUser:
            return true;
        case Owner::otherUser:
            if (refusedUsers.insert(uid).second) OKA_LOG("refused connection from user %u", unsigned(uid));
            return false;
        case Owner::unidentified:
            if (!loggedUnidentified) {
                OKA_LOG("refused connection from a sender that closed before it could be identified");
                loggedUnidentified = true;
            }
            return false;
        case Owner::unknowable: {
            // Running unprotected is worth more than a line in a log nobody reads.
            const char* reason = std::strerror(errno);
            OKA_LOG("cannot identify the users of connections (%s): other users are not refused",
                    reason);
            std::fprintf(stderr,
                         "warning: cannot identify the users of connections (%s): other users "
                         "are not refused\n", reason);
            active = false;
            return true;
        }
    }
    return false;
}

PeerUserCheck::Owner PeerUserCheck::ownerOf(int connection, uid_t& uid) {
    sockaddr_in self{}, peer{};
    socklen_t length = sizeof self;
    if (::getsockname(connection, reinterpret_cast<sockaddr*>(&self), &length) != 0) {
        return Owner::unidentified;
    }
    length = sizeof peer;
    if (::getpeername(connection, reinterpret_cast<sockaddr*>(&peer), &length) != 0 ||
        peer.sin_family != AF_INET) {
        return Owner::unidentified;
    }
    if (!diagnostics.isOpen()) {
        diagnostics.reset(::socket(AF_NETLINK, SOCK_DGRAM | SOCK_CLOEXEC, NETLINK_SOCK_DIAG));
        if (!diagnostics.isOpen()) return Owner::unknowable;
    }
    // The peer's socket: its source is our peer, its destination is us.
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
    sockaddr_nl kernel{};
    kernel.nl_family = AF_NETLINK;
    // A signal arriving meanwhile (Ctrl-C, SIGTERM) must not switch the check
    // off for good: those calls are simply made again.
    ssize_t sent;
    do {
        sent = ::sendto(diagnostics.get(), &query, sizeof query, 0,
                        reinterpret_cast<sockaddr*>(&kernel), sizeof kernel);
    } while (sent < 0 && errno == EINTR);
    if (sent < 0) return Owner::unknowable;
    alignas(nlmsghdr) char answer[1024];
    ssize_t received;
    do {
        received = ::recv(diagnostics.get(), answer, sizeof answer, 0);
    } while (received < 0 && errno == EINTR);
    if (received < ssize_t(sizeof(nlmsghdr))) return Owner::unknowable;
    const auto* header = reinterpret_cast<const nlmsghdr*>(answer);
    if (header->nlmsg_type == NLMSG_ERROR) {
        const auto* failure = static_cast<const nlmsgerr*>(NLMSG_DATA(header));
        // No such socket: the peer is gone. Anything else: no sock_diag here.
        if (failure->error == -ENOENT) return Owner::unidentified;
        errno = -failure->error;
        return Owner::unknowable;
    }
    if (header->nlmsg_type != SOCK_DIAG_BY_FAMILY ||
        header->nlmsg_len < NLMSG_LENGTH(sizeof(inet_diag_msg))) {
        return Owner::unidentified;
    }
    const auto* found = static_cast<const inet_diag_msg*>(NLMSG_DATA(header));
    // A time-wait remnant carries no owner (inode 0, uid 0).
    if (found->idiag_inode == 0) return Owner::unidentified;
    if (found->idiag_uid == ownUser) return Owner::sameUser;
    uid = found->idiag_uid;
    return Owner::otherUser;
}
