// The sonar coprocessor ("/dev/sonar0"): transmit blocks out, receive blocks in, the simulation switch and
// the analogue readings that ride on every receive.
#pragma once
#include "corvan/types.h"

typedef enum COPROC_DATA_DIRECTION {
  COPROC_INVALID = 0,
  SEND_TO_COPROC = 1,
  RECEIVE_FROM_COPROC = 2,
} COPROC_DATA_DIRECTION;

// Size of the shared transfer buffer: the largest receive block.
constexpr U32 COPROC_DATA_BLOCK_SIZE = 165191;
// The shared transfer buffer of the sonar subsystem (allocated by H_COPROC_vInitialize).
extern U8 *gpu8NonCachedDataBlock;

void H_COPROC_vInitialize(void);
BOOLEAN H_COPROC_bCoprocessorReady(void);
void H_COPROC_vSimulate(BOOLEAN bSimulate);
// Send: the write's result. Receive: above 8 bytes the sonar data count (read less the 6-byte trailer),
// otherwise the read's result. 0xFFFFFFFF for a closed device or another direction.
U32 H_COPROC_u32Transfer(U8 *pau8Data, U32 u32TransferSize, COPROC_DATA_DIRECTION eDirection);
