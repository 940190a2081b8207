// The start-up test for a connected transducer: a configured non-default transducer counts, then the
// transducer line's ADC reading, otherwise up to ten test pings whose echo must stand out from the noise.
#pragma once
#include "corvan/types.h"
#include "platform/coproc.h"

// TRUE when a transducer is considered connected; FALSE at once with the fake_transducer option.
BOOLEAN S_DETECT_bTransducerConnected(void);

// Tests: the coprocessor transfer the test uses (nullptr: the driver's H_COPROC_u32Transfer).
typedef U32 (*S_DETECT_TRANSFER)(U8 *pau8Data, U32 u32TransferSize, COPROC_DATA_DIRECTION eDirection);
void S_DETECT_vSetTransferForTest(S_DETECT_TRANSFER pfnTransfer);
