// The Tool Manager's handlers of the project messages: adding and removing
// files and engines, the project path, the file picker's directory, and the
// queries by which tools read the project's contents. Each handler checks
// what it reads (texts are bounded, over-long ones refused with
// kErrorTextTooLong) and answers with the project manager's error code
// unless stated otherwise.
//
// Replies carry at most 32 parameters, 'EROR' included: 'GFCP' lists the
// first 31 matching files and 'GCCP' the first 15 component lists; the rest
// does not fit and is left out (logged).
#pragma once

#include <cstdint>

class Message;

// 'ADDF' S255 path
int32_t addFileMsg(Message* message, Message* reply);
// 'REMF' IDNT type, S255 path
int32_t removeFileMsg(Message* message, Message* reply);
// 'ADDE' S255 machine, LONG port
int32_t addEngineMsg(Message* message, Message* reply);
// 'REME' S255 machine, LONG port
int32_t removeEngineMsg(Message* message, Message* reply);
// 'GCPP' -> S255 path
int32_t getCurrentProjectPathMsg(Message* message, Message* reply);
// 'GCFP' -> S255 directory, only when not empty
int32_t getFilePickerDirectoryMsg(Message* message, Message* reply);
// 'SCFP' S255 directory
int32_t setFilePickerDirectoryMsg(Message* message, Message* reply);
// 'GFCP' IDNT type ('****' all) -> S255 of 256 bytes per file
int32_t getFilesInCurrentProjectMsg(Message* message, Message* reply);
// 'GCCP' -> per component list S255 name, IDNT type
int32_t getComponentListsMsg(Message* message, Message* reply);
// 'GENG' -> LONG count, DATA count x 36 bytes (machine[32], port)
int32_t getEnginesMsg(Message* message, Message* reply);

// Registers the handlers above, 'CRRQ' (NewEngineWindow.h) and 'ADGP' with gMessageCenter, in the
// order of the Tool Manager's handler table.
void registerProjectMessageHandlers();
