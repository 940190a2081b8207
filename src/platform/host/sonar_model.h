// The sonar coprocessor of the simulator: takes the 187-byte transmit block and answers every read with a
// receive block as the device does (echoed sequence at bytes 4-34, three channels byte-interleaved from byte
// 35, noise samples then data samples with the transmit ring-down and a bottom echo, and the three analogue
// readings little-endian in the last six bytes delivered). Tests script it through these calls.
#pragma once
#include <sys/types.h>

#include <vector>

#include "corvan/types.h"

// The device table's entries.
int HOST_SONAR_nOpen(void);
ssize_t HOST_SONAR_nRead(int nFd, void *pvData, size_t size);
ssize_t HOST_SONAR_nWrite(int nFd, const void *pvData, size_t size);

// Back to the defaults: device present, transducer connected (unless CORVAN_TRANSDUCER is 0), bottom at
// 10 m (CORVAN_SONAR_BOTTOM, metres) and readings 400, 500, 700 (CORVAN_SONAR_ADC), no damage, no block sent.
void HOST_SONAR_vReset(void);
// Reads take the device's time (the echo time of the command, at least 5 ms), as after a reset; tests that
// drive many pings turn it off.
void HOST_SONAR_vSetPacing(bool bPace);
// Without the device the open fails (ENODEV).
void HOST_SONAR_vSetPresent(bool bPresent);
// Without a transducer: no ring-down, no echo, and the transducer line reads open (1023).
void HOST_SONAR_vSetTransducer(bool bConnected);
void HOST_SONAR_vSetBottom(U32 u32DepthCm, U8 u8EchoLevel);
void HOST_SONAR_vSetNoise(U8 u8Level);
// The raw 10-bit readings of the trailer: external temperature, transducer temperature, battery voltage.
void HOST_SONAR_vSetAdc(U16 u16ExternalTemp, U16 u16TransducerTemp, U16 u16BatteryVoltage);

// Damage to the next read only: bytes flipped (xor 0xFF) at the given offsets, then u32DropCount bytes
// removed at u32DropAt, then u32InsertCount bytes 0xA5 inserted at u32InsertAt (the read stays within the
// caller's size).
typedef struct HOST_SONAR_DAMAGE {
  std::vector<U32> flips;
  U32 u32DropAt = 0;
  U32 u32DropCount = 0;
  U32 u32InsertAt = 0;
  U32 u32InsertCount = 0;
} HOST_SONAR_DAMAGE;
void HOST_SONAR_vDamageNextRead(const HOST_SONAR_DAMAGE &damage);

// The last transmit block written (empty before the first write) and the number of writes and reads.
std::vector<U8> HOST_SONAR_lastTransmitBlock(void);
U32 HOST_SONAR_u32Writes(void);
U32 HOST_SONAR_u32Reads(void);
