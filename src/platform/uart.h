// Serial channels 0-3: raw 8N1 terminals, one reader thread per open port feeding a 256-byte ring.
#pragma once
#include "corvan/types.h"

typedef enum UART_MODE {
  UART_OFF = 1,
  UART_HALF_DUPLEX_RECEIVE = 2,
  UART_HALF_DUPLEX_TRANSMIT = 3,
  UART_FULL_DUPLEX = 4,
} UART_MODE;

void DD_UART_vInit(U8 u8Port);
void DD_UART_vChangeBaudRate(U8 u8Port, U32 u32BaudRate);
void DD_UART_vTxRxEnable(U8 u8Port, BOOLEAN bTxEnable, BOOLEAN bRxEnable);
void DD_UART_vSendByte(U8 u8Port, U8 u8Data);
BOOLEAN DD_UART_bRxCharAvail(U8 u8Port);
// 255 when the ring is empty.
U8 DD_UART_u8Getch(U8 u8Port);
U32 DD_UART_u32FetchTxCount(U8 u8Port);
BOOLEAN DD_UART_bTxComplete(U8 u8Port);
BOOLEAN DD_UART_bIsTxShifterEmpty(U8 u8Port);
void DD_UART_vKill(U8 u8Port);
U8 DD_UART_u8GetRxStatus(U8 u8Port);
BOOLEAN DD_UART_bTxBufferEmpty(U8 u8Port);
U32 DD_UART_u32ReadReceiveError(U8 u8Port);
BOOLEAN DD_UART_bIsRxIntEnabled(U8 u8Port);

// Character time in microseconds (0 for rate 0).
U32 H_UART_u32Setup(U8 u8Port, U32 u32Baud, BOOLEAN bHalfDuplex);
U32 H_UART_u32SetBaudRate(U8 u8Port, U32 u32BaudRate);
void H_UART_vSetMode(U8 u8Port, U32 mode);
U16 H_UART_u16FetchRx(U8 u8Port);
void H_UART_vPutChar(U8 u8Port, U8 c);
void H_UART_vShutdown(U8 u8Port);

// Tests: the port's descriptor (0 or less: closed) and whether its reader thread runs.
int DD_UART_nHandleForTest(U8 u8Port);
bool DD_UART_bReaderRunsForTest(U8 u8Port);
// Tests: the receive status the next read returns (then 0), and how often it was read.
void DD_UART_vSetRxStatusForTest(U8 u8Port, U8 u8Status);
U32 DD_UART_u32RxStatusReadsForTest(U8 u8Port);
