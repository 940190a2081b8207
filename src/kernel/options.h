// Process-wide options from the command line; written only before any task runs.
#pragma once
#include "corvan/types.h"

extern S64 quit_seconds;   // run-time limit in milliseconds, 0 none
extern S32 debug_seconds;  // watchdog period in seconds, 0 none
extern S32 opt_fakekey;    // driver key pressed over and over, -1 off
extern S64 opt_sleeper;    // microseconds before each simulated side-looking return
extern BYTE opt_nolog;
extern BYTE opt_noadc;
extern BYTE opt_fake_transducer;
extern BYTE opt_fsync;
extern BYTE opt_nodisclaimer;
extern BYTE opt_notone;

// Reads the option words (argument 1 onwards). A bad word ends the process with status 1.
void OPTIONS_vParse(int argc, char **argv);
