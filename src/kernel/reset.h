// The reset: the process ends with status 10, which its launcher takes as the request to restart the unit.
#pragma once

// Ends the process with status 10; no clean-up (a power-down runs U_SHUTDOWN_vShutdown first).
[[noreturn]] void U_RESET_vReset(void);
[[noreturn]] void H_SHUTDOWN_vShutdown(void);
