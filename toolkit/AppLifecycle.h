// Starting and ending the toolkit. A program calls, in this order:
//   ERR_Master(argc, argv); ERR_Init(); APP_InitFirst(); GW_LibInstall();
//   GW_LibLoadInit(); APP_InitLast();
// ... loads its resource libraries, opens windows, runs its loop ... and
//   GW_LibExit(); APP_Exit();
// ERR_Master chooses the backend: the headless one when the arguments hold
// "--headless", when DISPLAY is unset or empty, or when the display cannot
// be opened; the X11 one otherwise.
#pragma once

// Each call checks that it comes in its place in the sequence above and
// logs a line when it does not; the calls without a job of their own in
// this toolkit (APP_InitFirst, GW_LibLoadInit, APP_InitLast) are only
// those checkpoints.

// Chooses and installs the backend; 0 (the value has no further meaning).
int ERR_Master(int argc, char** argv);
// Routes the window system's own warnings and errors to the log.
void ERR_Init();
void APP_InitFirst();
// Registers the toolkit's own library AlrtW with the stock alert window
// (ALRTW_*); its icons arrive with the application's libraries.
void GW_LibInstall();
void GW_LibLoadInit();
void APP_InitLast();
// Unloads every resource library.
void GW_LibExit();
// Closes the window-system connection; the headless backend takes over, so
// late calls are harmless.
void APP_Exit();

// The whole sequence above, for a program that has nothing to do between
// the steps: ERR_Master to APP_InitLast, and GW_LibExit with APP_Exit.
void startToolkit(int argc, char** argv);
void stopToolkit();
