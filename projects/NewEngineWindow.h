// The add-engine window ("connectWindow" of the kelvane library): a machine
// and a port that become an engine descriptor of the project when the user
// confirms. It is not modal, and several can be open at once.
#pragma once

#include <cstdint>

class EngineInfo;
class Message;

// Opens the window for a new descriptor (`engine` null: "localhost", 7777,
// button "Add") or for editing `engine` (its machine and port, button
// "Update"; confirming replaces it in the project). `flag` tells where the
// request came from (0 the workspace's command, 1 elsewhere); the window
// does not read it.
void displayNewEngineWindow(const EngineInfo* engine, int flag);

// Handler of 'CRRQ' ('LONG', ignored): opens the window and answers 0.
int32_t createEngineRequestMsg(Message* message, Message* reply);
