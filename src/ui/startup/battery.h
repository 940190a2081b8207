// The battery monitor (task 25, mailbox 25, 'TBAT'): turns the raw supply reading 'AD05' into volts ('IVLT'),
// raises the low-battery and high-voltage alarms, offers the low-battery set point and asks for a power-down
// below 8 V. Also the analogue-input task (task 7), which is never started and only drains its mailbox.
#pragma once
#include "corvan/types.h"

void T_BATTERY_vMain(void);
void T_ADC_vMain(void);

// Volts of a raw reading (the 10-bit converter value shifted left by 6).
float T_BATTERY_fCalcVoltagefromRawAdcValue(U32 u32Raw);

// The parts of the task's loop, on the calling thread (the task entry and the tests use them).
void T_BATTERY_vInit(void);
// Handles and releases one message of mailbox 25.
void T_BATTERY_vHandleMessage(void *pvMsg);
BOOLEAN T_BATTERY_bWaitingForShutdown(void);
// Tests: back to the state before T_BATTERY_vInit.
void T_BATTERY_vResetForTest(void);
