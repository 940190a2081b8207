// Process signals: SIGPIPE off, SIGINT/SIGTERM handed to a thread of our own.
#pragma once

// A write to a closed socket or pipe returns an error instead of ending the process.
void PLATFORM_SIGNALS_vIgnoreBrokenPipe(void);

// From now on SIGINT and SIGTERM call pfHandler(signal number) on a dedicated thread, never inside the
// signal handler itself, so the handler may print, allocate and take locks. Only the first call installs.
void PLATFORM_SIGNALS_vRouteTermination(void (*pfHandler)(int));
