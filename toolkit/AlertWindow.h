// The toolkit's stock alerts, kept in its own library AlrtW next to the
// alert icons ("DefIconWarningMsw" ...) that the application's resource
// files add to that library.
#pragma once

class WinObj;

// Registers the stock alert windows in the library AlrtW (GW_LibInstall).
void installStockAlerts();
// The stock warning alert: an icon, a message and an OK button.
WinObj* ALRTW_DefWarningAlrtW();
// Shows a copy of `alert` with `text` as its message, waits until it is
// dismissed and returns the modal status.
int ALRTW_Process(WinObj* alert, const char* text);
