// Where the unit keeps its files: the data directory on internal flash and the scratch directory.
#pragma once

// The data directory: $CORVAN_CWD, or "/usr/corvan" when it is not set. The environment is read once.
const char *L_UTILS_cpGetPathnamePtr(void);

// The scratch directory: $CORVAN_TMP, or "/tmp/corvan" when it is not set. Read once.
const char *L_UTILS_cpGetScratchPathPtr(void);
