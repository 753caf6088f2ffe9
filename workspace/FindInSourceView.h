// Find in source view: the environment's one search dialog ("FindWindow").
// The Tool Manager keeps the search text and the case setting for every
// tool; the search itself is done by the tool that currently shows source,
// which the Tool Manager asks with 'FISV'. Tools open the dialog ('AFSV'),
// preset its text ('SFSV') and read its settings ('GFSV').
//
// The registry that knows the current source tool lies above this layer: it
// installs setSourceToolLookup at start-up.
#pragma once

class Message;
class TButObj;
class TEdObj;
class WinObj;
struct ToolInfo;

extern char* gSearchString;            // current search text (owned), null until set
extern unsigned char gCaseSensitive;   // searches respect case
extern unsigned char gTextChanged;     // the user edited the field since it was filled
extern WinObj* gFindWindow;            // the open dialog, or null
extern TEdObj* gTextArea;              // its text field
extern TButObj* gCaseSensitiveButton;  // its case toggle

// The tool that shows source now, or null.
using SourceToolLookup = ToolInfo* (*)();
void setSourceToolLookup(SourceToolLookup lookup);

// Opens the dialog, or brings it to the front.
void askFindInSourceView();
// Replaces the search text with a copy of `text` and shows it in an open dialog.
void setSourceViewSearchString(const char* text);
// Adds the settings to a reply: 'DATA' the text without its terminator, 'BOOL' case-sensitive.
void getSourceViewParams(Message* reply);
// Asks the current source tool to find the search text; beeps when there is
// no tool, no text, no usable answer, or no match.
void findInSourceView();

// 'AFSV', 'SFSV' and 'GFSV'.
void registerFindInSourceViewHandlers();
