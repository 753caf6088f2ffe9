// Start-up problems told on the terminal that kelvane was started from:
// a user who sees no window, or a window without what was expected, looks
// there first. Each is one line, "kelvane: ...", on the standard error;
// the log has its own line as well.
#pragma once

void tellTerminal(const char* format, ...) __attribute__((format(printf, 1, 2)));
