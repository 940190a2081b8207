// The platform set-up that the process entry runs once before any task starts.
#pragma once

void H_PLATFORM_vSetup(void);
