#include "kernel/reset.h"

#include "platform/power.h"

void U_RESET_vReset(void) { H_SHUTDOWN_vShutdown(); }

void H_SHUTDOWN_vShutdown(void) { DD_POWER_vShutdown(); }
