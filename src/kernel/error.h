// Fatal errors: FATAL.LOG in the data directory and the log. The caller resets the unit right after.
#pragma once
#include "corvan/types.h"

// Appends the time and "error: <text> in <file> at <line>" to FATAL.LOG and logs the second line.
void ERROR_error(const char *pcFile, U32 u32Line, const char *pcText);
// The run-time library's error hook: fatal error "rt_raise", then reset.
[[noreturn]] void __rt_raise(void);
