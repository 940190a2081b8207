// Power of the unit: the platform's power-off ends the process with the restart status.
#pragma once

// Logs the exit line and ends the process with status 10.
[[noreturn]] void DD_POWER_vShutdown(void);
void DD_POWER_vSetupPins(void);
