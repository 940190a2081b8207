#include "platform/power.h"

#include "kernel/log.h"

void DD_POWER_vShutdown(void) { LM_EXIT(10); }

void DD_POWER_vSetupPins(void) {}
