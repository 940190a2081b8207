// The alarm task's parts shared by its modules (the task and the count-down timer) and its tests.
#pragma once
#include "ui/info/alarm.h"
#include "ui/keys/keyboard.h"

// Draw function of the alarm layer.
void vDrawCurrentAlarm(BITMAP *pBmp, WINDOW_SPECIFICATION_POINTER psWindowSpec);

// The task's loop, on the calling thread: start, the step before each wait, one fired semaphore.
void T_ALARM_vInit(void);
void T_ALARM_vBeforeWait(void);
void T_ALARM_vHandleSema(SEMA sema);

// The kind in front (-1 for none) and the number of alarms kept.
S32 T_ALARM_s32FrontAlarm(void);
U32 T_ALARM_u32ActiveAlarms(void);

// The count-down timer's part of the task.
void T_ALARM_vRegisterTimerMenu(void);
// Reads 'STAW' into the timer's value and fields.
void T_ALARM_vLoadTimerValue(void);
BOOLEAN T_ALARM_bTimerEditorOpen(void);
// A key for the timer's editor or its alarm box; TRUE when the timer used it.
BOOLEAN T_ALARM_bHandleTimerKey(const MSG_KEY_CHANGE *pKey);

// Tests: forget every alarm, peer, timer and registration.
void T_ALARM_vResetForTest(void);
void T_ALARM_vResetTimerForTest(void);
void T_ALARM_vResetMenuForTest(void);
