// Making and updating the FLTK peers of toolkit objects. Peers are made for
// a whole window when it is first shown, and for widgets added later when
// their panel is updated; every state change is copied onto the peer.
#pragma once

class Fl_Widget;
class WgtObj;
class WinObj;

// The window's peer, made (with all its widgets' peers) on first use.
Fl_Widget* ensureWindowPeer(WinObj* window);
// Copies the object's state onto its peer; for panels also makes the peers
// of children that have none. Does nothing for objects without a peer.
void syncPeer(WgtObj* object);
// Detaches the object's peer and has FLTK delete it once the current event is done.
void releasePeer(WgtObj* object);
