// Key codes returned by EVENT_GetKeyCode and used by accelerator keys.
// Printable keys are their ASCII character; the keys below have fixed codes.
#pragma once

enum ToolkitKey : int {
    kKeyNone = 0,
    kKeyBackspace = 8,
    kKeyTab = 9,
    kKeyReturn = 13,
    kKeyEscape = 27,
    kKeyF1 = 51,  // the help key; F2 to F12 follow as 52 to 62
    kKeyF12 = 62,
    kKeyLeft = 70,
    kKeyUp = 71,
    kKeyRight = 72,
    kKeyDown = 73,
    kKeyDelete = 127,
};

// Modifier bits of accelerator keys (MENU_CurSetAccelKey, KYELT_SetKeyCode).
enum KeyModifier : int {
    kModShift = 4,
    kModControl = 16,
    kModAlt = 32,
};
