// Notification codes: the integer a notification procedure receives with the
// object. Procedures handle the codes they know and pass every other code on
// to the default procedure of the object's kind.
#pragma once

enum NotifyCode : int {
    kNfyInit = 0,              // the object is being initialised (WIN_Init)
    kNfyButtonDestroyed = 1,   // a button is being destroyed
    kNfyPointerMoved = 101,    // the pointer moved inside a window
    kNfyPointerEntered = 102,  // the pointer entered the object
    kNfyPointerLeft = 103,     // the pointer left the object
    kNfyMouseDown = 104,       // a mouse button went down (EVENT_GetButton, EVENT_IsDouble)
    kNfyKeyDown = 107,         // a key went down in a window (EVENT_GetKeyCode)
    kNfyKeyTyped = 108,        // a key was typed; in a text field: its text was edited
    kNfyDraw = 109,            // the object is being drawn
    kNfyResized = 111,         // size or layout changed
    kNfyFocusGained = 114,     // keyboard focus arrived
    kNfyFocusLost = 115,       // keyboard focus left
    kNfyAlarm = 119,           // an alarm of EVENT_StartWgtAlarm expired
    kNfyActivated = 150,       // a button was activated
    kNfyWindowClosed = 161,    // the window is being closed (by the user or WIN_TerminateGetStatus)
    kNfyEltChosen = 162,       // a combo box's chosen element changed
    kNfyWindowDestroyed = 183,  // the window is being destroyed; its widgets still exist
    kNfyMenuChosen = 184,       // a menu bar item was chosen (MBAR_ChosenGetMenu)
    kNfyEnterKey = 200,         // Enter was pressed in a text field
    kNfyRowDestroyed = 201,     // a list row is being destroyed: free its client data
    kNfyRowDraw = 202,          // the current row is to be drawn
    kNfyRowPointerOn = 203,     // the pointer moved onto the current row
    kNfyRowPointerOff = 204,    // the pointer left the rows
    kNfyRowMouseDown = 205,     // a mouse button went down on the current row
    kNfyRowDrawSelected = 206,  // the current row is to be drawn selected
    kNfyRowDrawFocused = 207,   // the current row is to be drawn with the focus mark
    kNfyRowAdded = 208,         // reserved for programs that list it; this toolkit does not send it
    kNfyRowMouseUp = 209,       // reserved likewise
    kNfyRowGetText = 213,       // the toolkit asks for the current row's text (LBOX_CurSetText)
    kNfySelectionChanged = 215,  // the list's selection changed
    kNfyRowActivated = 216,      // the current row was activated (double click, Enter)
};
