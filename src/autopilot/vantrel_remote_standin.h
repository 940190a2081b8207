// Stand-in declaration of the autopilot's anchor request from the Bluetooth remote until the autopilot task is
// written; the real header replaces this one.
#pragma once
#include "corvan/types.h"

// Asks the autopilot to anchor at the current position.
void T_VANTREL_vBluetoothRemoteStrelloq(void);

// Test hook of the stand-in: requests so far.
U32 VANTREL_STANDIN_u32AnchorRequests(void);
