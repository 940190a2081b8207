// The UART task: sole user of the serial driver. Moves characters between the four channels and two kernel
// queues per channel, and hands each channel to one owner at a time (at once or on a line's first character).
#pragma once
#include "kernel/kernel_defs.h"
#include "kernel/mbox.h"
#include "corvan/types.h"

constexpr U8 UART_CHANNELS = 4;

typedef struct {
  GENERIC_MESSAGE header;  // CMD_ID_CHANGE_BAUD_RATE
  U32 baud_rate;
  U8 uart;
  BOOLEAN flag;  // answer
} MSG_CHANGE_BAUD_RATE;

typedef struct {
  GENERIC_MESSAGE header;  // CMD_ID_DISCONNECT
  U8 channel;
  BOOLEAN flag;  // TRUE: leave the channel at 4800 baud
} MSG_DISCONNECT;

typedef struct {
  GENERIC_MESSAGE header;  // CMD_ID_CAPTURE_CHANNEL
  U8 uart;
  BYTE byteMatchCharacter;
  SEMA semaphore;  // 0 take if free, -1 take whoever holds it, else a conditional request
  BOOLEAN flag;    // answer
} MSG_CAPTURE_CHANNEL;

void T_UART_vMain(void);

// Client side: any task; none waits for the UART task.
BOOLEAN U_UART_bTransmitData(U8 u8Port, const void *pcData, int nSize);
BOOLEAN U_UART_bChangeBaudRate(U8 u8Port, U32 u32BaudRate);
BOOLEAN U_UART_bReleaseChannel(U8 u8Port, BOOLEAN bForce4800);
BOOLEAN U_UART_bRegisterForChannel(U8 u8Port, BYTE byteMatchChar, SEMA semaphore);
BOOLEAN U_UART_bAllocateChannel(U8 u8Port);

// Task side.
QUEUE T_UART_nGetQueue(U8 u8Channel, BOOLEAN bTxNotRx);
BOOLEAN T_UART_bChannelIsOwned(U8 u8Channel);

// Tests: the start-up discard period; a channel's owner, baud rate, driver mode and how often it switched to transmitting.
BOOLEAN T_UART_bInitPeriodForTest(void);
BOOLEAN T_UART_bRunningForTest(void);
TASK T_UART_taskOwnerForTest(U8 u8Channel);
U32 T_UART_u32BaudRateForTest(U8 u8Channel);
U32 T_UART_u32ModeForTest(U8 u8Channel);
U32 T_UART_u32TransmitTurnsForTest(U8 u8Channel);
// Tests: characters the task has taken from the driver and dealt with (kept, dropped or discarded).
U32 T_UART_u32HandledForTest(U8 u8Channel);
