#include "messaging/PeerUserCheck.h"

#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "core/Log.h"

namespace {
constexpr const char* kLogSource = "../tcpxport";

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
            if (refusedUsers.insert(uid).second)
                OKA_LOG("refused connection from user %u", unsigned(uid));
            return false;
        case Owner::unidentified:
            if (!loggedUnidentified) {
                OKA_LOG(
                    "refused connection from a sender that closed before it could be identified");
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
                         "are not refused\n",
                         reason);
            active = false;
            return true;
        }
    }
    return false;
}

PeerUserCheck::Owner PeerUserCheck::ownerOf(int connection, uid_t& uid) {
    uint32_t owner = 0;
    switch (query.ownerOf(connection, owner)) {
        case ConnectionOwnerQuery::Answer::found:
            if (owner == ownUser) return Owner::sameUser;
            uid = uid_t(owner);
            return Owner::otherUser;
        case ConnectionOwnerQuery::Answer::gone:
            return Owner::unidentified;
        case ConnectionOwnerQuery::Answer::unknowable:
            break;
    }
    return Owner::unknowable;
}
