// CRC-16 with polynomial 0x1021, most significant bit first, register not inverted. Data enter at the bottom of
// the register, so a message's CRC-16/XMODEM value is what the register holds after two zero bytes follow it.
#pragma once
#include "corvan/types.h"

// One byte shifted into the register.
U16 U_CRC16_u16CrcByte(U8 u8_DataByte, U16 u16_Crc);
// Feeds u16_NumberBytes bytes; with bInitCrcFlag the register starts from 0.
void U_CRC16_vCrc16(U16 *u16_Crc, const U8 *u8_DataPtr, U16 u16_NumberBytes, BOOLEAN bInitCrcFlag);
// Feeds one 16-bit value, high byte first; with bInitCrcFlag the register is loaded with the value.
void U_CRC16_vCrcU16HighLow(U16 *u16_Crc, const U16 *u16_DataPtr, BOOLEAN bInitCrcFlag);
