// PeerUserCheck: tells whether the process at the other end of an accepted
// loopback TCP connection belongs to this program's user, before a byte of
// it is read. The kernel is asked for the owner of the one socket with the
// connection's exact addresses, seen from the peer's side (core/Platform.h). A peer that has
// already closed its end is a time-wait remnant whose owner the kernel no
// longer knows: it counts as unidentified and is refused like a stranger.
// That is why the environment's senders keep their end open until the
// receiver has read the message (TCPTransport::sendMessage). The Tool
// Manager and every tool check their peers.
//
// Refusals are logged once per user. OKA_ALLOW_OTHER_USERS=1 turns the
// check off, for installations where several accounts share one Tool
// Manager; so does a kernel that cannot tell socket owners (logged and told
// on the terminal, once).
#pragma once

#include <sys/types.h>

#include <set>

#include "core/Platform.h"

class PeerUserCheck {
  public:
    PeerUserCheck();

    // True when `connection` may be read.
    bool admit(int connection);

    // What the kernel knows of the peer's owner.
    enum class Owner { sameUser, otherUser, unidentified, unknowable };
    // The owner of the peer of `connection`; `uid` is set for otherUser.
    Owner ownerOf(int connection, uid_t& uid);

  private:
    bool active = true;               // checking at all
    uid_t ownUser;                    // the user whose peers are admitted
    ConnectionOwnerQuery query;       // asks the kernel for peers' owners
    std::set<uid_t> refusedUsers;     // users already logged
    bool loggedUnidentified = false;  // an unidentified peer was logged
};
