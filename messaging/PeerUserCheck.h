// PeerUserCheck: tells whether the process at the other end of an accepted
// loopback TCP connection belongs to this program's user, before a byte of
// it is read. The kernel's socket-diagnostics interface (netlink sock_diag)
// is asked for the one socket with the connection's exact addresses, seen
// from the peer's side; its owner is the peer's user. A peer that has
// already closed its end is a time-wait remnant whose owner the kernel no
// longer knows: it counts as unidentified and is refused like a stranger.
// That is why the environment's senders keep their end open until the
// receiver has read the message (TCPTransport::sendMessage). The Tool
// Manager and every tool check their peers.
//
// Refusals are logged once per user. OKA_ALLOW_OTHER_USERS=1 turns the
// check off, for installations where several accounts share one Tool
// Manager; so does a kernel without sock_diag (logged and told on the
// terminal, once).
#pragma once

#include <sys/types.h>

#include <set>

#include "messaging/Socket.h"

class PeerUserCheck {
public:
    PeerUserCheck();

    // True when `connection` may be read.
    bool admit(int connection);
    bool isActive() const { return active; }

    // What the kernel knows of the peer's owner.
    enum class Owner { sameUser, otherUser, unidentified, unknowable };
    // The owner of the peer of `connection`; `uid` is set for otherUser.
    Owner ownerOf(int connection, uid_t& uid);

private:
    bool active = true;              // checking at all
    uid_t ownUser;                   // the user whose peers are admitted
    Socket diagnostics;              // the netlink socket, opened at first need
    std::set<uid_t> refusedUsers;    // users already logged
    bool loggedUnidentified = false; // an unidentified peer was logged
};
