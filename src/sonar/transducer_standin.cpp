// Stand-in of the transducer detection until the sonar's own is built: one silent transfer with the coprocessor,
// whose trailer reads the transducer line; an open line (the converter's full scale) means no transducer.
#include "sonar/transducer_standin.h"

#include "kernel/options.h"
#include "platform/coproc.h"

namespace {
constexpr U32 kTransmitBlock = 187;
constexpr U32 kSequencesOffset = 186;
constexpr U32 kSampleStart = 35;
constexpr U16 kOpenLine = 1023;
}  // namespace

BOOLEAN S_DETECT_bTransducerConnected(void) {
  if (opt_fake_transducer) return FALSE;
  H_COPROC_vInitialize();
  if (!H_COPROC_bCoprocessorReady()) return FALSE;
  // One sequence without pulses or samples: the answer is the header and the trailer only.
  U8 au8Transmit[kTransmitBlock] = {};
  au8Transmit[kSequencesOffset] = 1;
  if (H_COPROC_u32Transfer(au8Transmit, kTransmitBlock, SEND_TO_COPROC) != kTransmitBlock) return FALSE;
  const U32 u32Data = H_COPROC_u32Transfer(gpu8NonCachedDataBlock, COPROC_DATA_BLOCK_SIZE, RECEIVE_FROM_COPROC);
  if (u32Data == 0xFFFFFFFF || u32Data < kSampleStart) return FALSE;
  const U8 *pu8Trailer = gpu8NonCachedDataBlock + u32Data;
  const U16 u16Line = static_cast<U16>(pu8Trailer[2] | pu8Trailer[3] << 8);
  return u16Line != kOpenLine ? TRUE : FALSE;
}
