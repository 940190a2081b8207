// The stepper-driven imaging head: a position in motor steps (one turn is 1,600), a direction and a sweep area.
// Its line driver does nothing on this board.
#pragma once
#include "corvan/types.h"

void H_PPI_MOTOR_vInitialize(void);
void H_PPI_MOTOR_vMoveToSidePosition(void);
void H_PPI_MOTOR_vReturnFullSweep(void);
void H_PPI_MOTOR_vSetSweepArea(S32 s32StartSweep, S32 s32SweepRange);
void H_PPI_MOTOR_vSweepAreaStart(void);
void H_PPI_MOTOR_vTurningDirection(BOOLEAN bClockwise);
BOOLEAN H_PPI_MOTOR_bIsTurningClockwise(void);
void H_PPI_MOTOR_vStartSweeping(BOOLEAN bSweeping);
void H_PPI_MOTOR_vSetPositionAndLimit(S32 s32Position, S32 s32Limit);
// Steps the head when it sweeps; returns the new position (0 to 1,599) and reports the direction.
S32 H_PPI_MOTOR_s32Step(S32 s32Steps, BOOLEAN *pbClockwise);
