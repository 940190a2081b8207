#include "sonar/ping_plan.h"

#include <algorithm>
#include <cmath>

#include "kernel/error.h"
#include "kernel/reset.h"
#include "sonar/ping_state.h"
#include "sonar/transducer.h"
#include "ui/startup/startup_state.h"
#include "util/convert.h"
#include "view/view.h"

namespace {

// Listening factors, one per ping in turn, so that second-bottom echoes do not line up from ping to ping.
constexpr float fNewPingDepth[16] = {1.294f, 1.345f, 1.385f, 1.228f, 1.263f, 1.338f, 1.322f, 1.279f,
                                     1.326f, 1.307f, 1.221f, 1.245f, 1.398f, 1.251f, 1.273f, 1.306f};
constexpr float kMinimumDepth = 2.1336f;  // 7 feet
constexpr float kNoBottom = 0.05f;

int iNewPingIndex = 0;
U32 u32InvalidDepthCnt = 0;
U16 s_u16DepthSearchThrottle = 0;

double s_db_MaximumDepthToPing = 0.0;
UNIT_TYPE s_unitsDepth = U_FEET;
BOOLEAN s_bSelectTvgView = FALSE;
BOOLEAN s_bAutoDepthRange = TRUE;

// The user's maximum in metres, or the transducer's range when the setting is too small to mean one.
float maximumDepth(void) {
  const double dInUnits = dConvertFromInternal(s_db_MaximumDepthToPing, D_DEPTH, s_unitsDepth);
  const bool bNone = (s_unitsDepth == U_FEET && dInUnits < 2.0) ||
                     ((s_unitsDepth == U_METRES || s_unitsDepth == U_FATHOMS) && dInUnits < 1.0);
  return bNone ? S_TRANSDUCER_fMaximumDepthRangeMetres() : static_cast<float>(s_db_MaximumDepthToPing);
}

U8 truncated(double dValue, U8 u8Cap) { return static_cast<U8>(std::min<U32>(static_cast<U32>(dValue), u8Cap)); }

U8 lowBeamCycles(double d) {
  if (S_TRANSDUCER_u32LFBeamFrequencyHertz() >= 83000) return d <= 60 ? 8 : truncated(8 + (d - 60) * 0.08571429, 20);
  if (d <= 15) return 2;
  if (d <= 25) return 3;
  if (d <= 35) return 4;
  if (d <= 45) return 5;
  if (d <= 55) return 6;
  if (d <= 60) return 7;
  return truncated(7 + (d - 60) * 0.09772727, 50);
}

U8 highBeamCycles(double d, U32 u32Transducer) {
  U8 u8Cycles = 3;
  if (d > 15) {
    u8Cycles = truncated(5 + (d - 15) * 0.32751092, 50);
  } else if (d > 1.52) {
    u8Cycles = truncated(3 + (d - 1.52) * 0.14836796, 50);
  }
  if (u32Transducer == 11) u8Cycles = static_cast<U8>(u8Cycles + 5);
  return u8Cycles;
}

U8 sideBeamCycles(U32 u32Transducer) {
  if (u32Transducer == 2 || u32Transducer == 3) return 40;
  if (u32Transducer == 10 || u32Transducer == 16) {
    U32 u32Selected = 0;
    BOOLEAN bValid = FALSE;
    const bool bFetched = H_DATABASE_bFetchU32(FCID("SSSF"), &u32Selected, &bValid, nullptr);
    return (bFetched && bValid && u32Selected == FCID("SSF5")) ? 17 : 7;
  }
  return 7;
}

// A fetched, non-zero bandwidth override.
bool bandwidthOverride(FOURCHARID Key, U8 *pu8Bandwidth) {
  U32 u32Value = 0;
  if (!H_DATABASE_bFetchU32(Key, &u32Value, nullptr, nullptr) || u32Value == 0) return false;
  *pu8Bandwidth = static_cast<U8>(u32Value);
  return true;
}

}  // namespace

float fLocalFindDepthToPing(float *pfDepthToListen) {
  float fCurrent = 0.0f;
  BOOLEAN bValid = FALSE;
  if (H_DATABASE_bFetchFloat(FCID("IDEP"), &fCurrent, &bValid, nullptr) && bValid) {
    u32InvalidDepthCnt = 0;
    U_PING_vIncrementDepthKnownCnt(1);
  } else {
    fCurrent = 0.0f;
    if (++u32InvalidDepthCnt > 3) U_PING_vSetDepthKnownCnt(0);
  }
  U_PING_vSetCurrentDepth(fCurrent);

  if (U_PING_u32GetDepthKnownCnt() > 4) {
    U_PING_vSetDeepWaterMode(FALSE);
  } else if (U_PING_bGetDeepWaterMode()) {
    const float fRange = S_TRANSDUCER_fMaximumDepthRangeMetres();
    *pfDepthToListen = fRange;
    return std::max(fRange, kMinimumDepth);
  }

  float fNext = std::max(fCurrent, 10.0f);
  float fLowerRange = 10.0f;
  if (H_DATABASE_bFetchFloat(FCID("CSLD"), &fLowerRange, nullptr, nullptr)) fNext = std::max(fNext, fLowerRange);
  if (std::fabs(fCurrent) < kNoBottom) {
    const float fSearch = std::max(fLowerRange, 60.0f) + 5.0f * s_u16DepthSearchThrottle;
    ++s_u16DepthSearchThrottle;
    fNext = std::max(fNext, fSearch);
  } else {
    s_u16DepthSearchThrottle = 0;
  }

  const float fFactor = fNewPingDepth[iNewPingIndex];
  iNewPingIndex = (iNewPingIndex + 1) % 16;
  float fListen = fNext * fFactor;
  if (fNext < 60.0f) {
    const BEAM Beam = U_PING_beamGetBeamSelected();
    const bool bBoth = Beam == 0 || Beam == 4 || U_PING_layeridGetCurrentView() == SONAR_DUAL_BEAM_VIEW_PRIORITY;
    fListen = fNext * (fFactor + (bBoth ? 1.55f : 1.0f));
  }

  const float fMaximum = maximumDepth();
  *pfDepthToListen = std::max(std::min(fMaximum, fListen), kMinimumDepth);
  return std::max(std::min(fMaximum, fNext * 1.25f), kMinimumDepth);
}

U8 S_TXCYCLES_u8CalculateTxCycles(BEAM Beam, float fDepthInMetres, float, U32 u32Transducer) {
  const double d = fDepthInMetres;
  switch (Beam) {
    case 0: return lowBeamCycles(d);
    case 1: return highBeamCycles(d, u32Transducer);
    case 2:
    case 3: return sideBeamCycles(u32Transducer);
    default:
      ERROR_error(__FILE__, __LINE__, "Invalid beam");
      U_RESET_vReset();
  }
}

U8 u8FetchBandwidth(BEAM Beam) {
  U8 u8Bandwidth = 0;
  switch (Beam) {
    case 0: {
      if (bandwidthOverride(FCID("SSW1"), &u8Bandwidth)) return u8Bandwidth;
      if (S_TRANSDUCER_u32LFBeamFrequencyHertz() > 60000) return 1;
      if (s_bAutoDepthRange) return 3;
      float fLowerRange = 0.0f;
      if (H_DATABASE_bFetchFloat(FCID("CSLD"), &fLowerRange, nullptr, nullptr) && fLowerRange > 350.0f) return 2;
      return 3;
    }
    case 1:
      if (bandwidthOverride(FCID("SSW2"), &u8Bandwidth)) return u8Bandwidth;
      return s_bSelectTvgView ? 3 : 1;
    case 2:
    case 3: {
      if (bandwidthOverride(FCID("SSW3"), &u8Bandwidth)) return u8Bandwidth;
      U32 u32Kind = 0;
      H_DATABASE_bFetchU32(FCID("SSTS"), &u32Kind, nullptr, nullptr);
      return (u32Kind == 5 || u32Kind == 9 || u32Kind == 10 || u32Kind == 16) ? 2 : 3;
    }
    default: return 3;
  }
}

BOOLEAN T_N_PING_bAutoDepthRange(float fLowerDepthSetting, UNIT_TYPE DepthUnits) {
  const double dInUnits = dConvertFromInternal(fLowerDepthSetting, D_DEPTH, DepthUnits);
  switch (DepthUnits) {
    case U_METRES:
    case U_FATHOMS: return dInUnits < 1.0 ? TRUE : FALSE;
    case U_FEET: return dInUnits < 2.0 ? TRUE : FALSE;
    default: return FALSE;
  }
}

TXPOWER T_N_PING_eSelectTxPower(BEAM Beam, float fDepthToPing) {
  if (U_PING_eGetSystemState() == STATE_BURN_IN) return TXPOWER_MED;
  U32 u32Power = TXPOWER_AUTO;
  H_DATABASE_bFetchU32(FCID("SSTP"), &u32Power, nullptr, nullptr);
  if (u32Power != TXPOWER_AUTO) return static_cast<TXPOWER>(u32Power);
  return (Beam == 2 || Beam == 3) ? TXPOWER_HI : H_XMITPOWER_eSelectTransmitPower(fDepthToPing);
}

void T_N_PING_vSetMaximumDepthToPing(double dMetres) { s_db_MaximumDepthToPing = dMetres; }
double T_N_PING_dGetMaximumDepthToPing(void) { return s_db_MaximumDepthToPing; }
void T_N_PING_vSetDepthUnits(UNIT_TYPE eUnits) { s_unitsDepth = eUnits; }
void T_N_PING_vSetSelectTvgView(BOOLEAN bSelect) { s_bSelectTvgView = bSelect; }
void T_N_PING_vSetAutoDepthRange(BOOLEAN bAuto) { s_bAutoDepthRange = bAuto; }
BOOLEAN T_N_PING_bGetAutoDepthRange(void) { return s_bAutoDepthRange; }

void T_N_PING_vResetDepthPlanForTest(void) {
  iNewPingIndex = 0;
  u32InvalidDepthCnt = 0;
  s_u16DepthSearchThrottle = 0;
}
