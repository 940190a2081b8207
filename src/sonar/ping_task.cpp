#include "sonar/ping_task.h"

#include <cstring>
#include <initializer_list>

#include "kernel/error.h"
#include "kernel/log.h"
#include "kernel/mbox.h"
#include "kernel/memory.h"
#include "kernel/mutex.h"
#include "kernel/queue.h"
#include "kernel/reset.h"
#include "kernel/sema.h"
#include "kernel/task.h"
#include "kernel/tick.h"
#include "kernel/timer.h"
#include "platform/coproc.h"
#include "settings/database.h"
#include "sonar/demultiplex.h"
#include "sonar/ping_exchange.h"
#include "sonar/ping_plan.h"
#include "sonar/ping_server.h"
#include "sonar/ping_source.h"
#include "sonar/ping_state.h"
#include "sonar/synthsim_standin.h"
#include "card/mmc_standin.h"
#include "net/gmsg_standin.h"
#include "sonar/history_standin.h"
#include "ui/startup/startup.h"

namespace {

constexpr U32 kPoolBlocks = 3;
constexpr U32 kPoolBlockSize = 770000;
constexpr U32 kDescriptorsPerBlock = 7;
constexpr U32 kDescriptorStride = 110000;
constexpr U32 kNoiseSamples = 50;
constexpr U8 kTransmitLevel = 236;
constexpr U32 kSideLookingKinds = 0x624;  // 2, 5, 9, 10
constexpr U32 kDownLookingKinds = 0x812;  // 1, 4, 11
constexpr U32 kSimOnlyKinds = 0x10000;    // 16
constexpr U32 kPlaybackStop = 13;

PING_DESCRIPTOR s_aPingPool[PING_POOL_SIZE];
U8 *s_apu8PoolBlocks[kPoolBlocks];
BOOLEAN s_bPoolBuilt = FALSE;

// Task flags.
BOOLEAN s_bSystemPinging = FALSE;
BOOLEAN s_bSimulateCoprocessor = FALSE;
BOOLEAN s_bZeroAllPingDataBeforeSending = FALSE;
BOOLEAN s_bBurnInMode = FALSE;
BOOLEAN s_bLastPingWasNullPing = FALSE;
BOOLEAN s_bRecordingActive = FALSE;
BOOLEAN s_bSonarEnabled = TRUE;
BOOLEAN s_bRunning = TRUE;
U32 s_u32MaxPingsPerSecond = 11;
U32 s_TimeStampOfLastPing = 0;
U32 s_db_TransducerSelect = 0;
U32 s_db_u32TransmitPower = 0;
U32 s_db_u32TransmitCycles = 0;
U32 s_u32PlaybackMode = kPlaybackStop;
U32 s_u32WaterType = 0;
U32 s_u32DelayAfterLFBeamMS = 0;
S32 s_s32LocalPingMaskSonarOff = -1;
BOOLEAN s_bNetworkRegistered = FALSE;

// What the down-looking ping last sent.
BEAM s_CurrentBeamSelected = 0xFF;
TXPOWER s_ePreviousTxPower = TXPOWER_AUTO;
U32 s_u32PreviousTransmitCycles = 0;
float s_fLastDepthPinged = 0.0f;
U8 s_u8LastBWControl200KHz = 0;
U8 s_u8LastBWControlLF = 0;
BOOLEAN s_bPreviousSimulateState = FALSE;
U32 s_u32PreviousView = 1;
BOOLEAN s_bPreviousBurnInMode = FALSE;
U32 s_u32PreviousTransmitFrequencyHighkHz = 200;
U32 s_u32PreviousTransmitFrequencyLowkHz = 83;
U32 s_CurrentTransducer = 0;
BOOLEAN s_bPreviousClientUsingLFBeam = FALSE;
BOOLEAN s_bPreviousShortTxPing = FALSE;
U8 au8NoiseData[kNoiseSamples];

U32 fetchU32(const char (&acKey)[5], U32 u32Default) {
  U32 u32Value = u32Default;
  BOOLEAN bValid = FALSE;
  if (!H_DATABASE_bFetchU32(FCID(acKey), &u32Value, &bValid, nullptr) || !bValid) return u32Default;
  return u32Value;
}

BOOLEAN transducerDetected() { return T_STARTUP_bIsSonarTransducerDetected(); }

void ensureCoprocessorBlock() {
  if (gpu8NonCachedDataBlock == nullptr) H_COPROC_vInitialize();
}

PING_DESCRIPTOR *takeDescriptor() {
  PING_DESCRIPTOR *pPing = nullptr;
  L_QUEUE_GetWait(Q_PING, &pPing);
  return pPing;
}

void vPerformNullPing() {
  PING_DESCRIPTOR *pPing = takeDescriptor();
  ensureCoprocessorBlock();
  auto *pMultiTx = reinterpret_cast<MULTI_TX *>(gpu8NonCachedDataBlock);
  TX_SEQUENCE seq0, seq1;
  S_COPROC_vCopyAndConvertEndianTxSequence(&pMultiTx->MultiSonar[0], &seq0);
  S_COPROC_vCopyAndConvertEndianTxSequence(&pMultiTx->MultiSonar[1], &seq1);
  if (seq0.u16Samples != 0 || seq1.u16Samples != 0) {
    std::memset(pMultiTx, 0, MULTI_TX_SIZE);
    pMultiTx->u8NumberOfSequences = 2;
    for (U32 s = 0; s < 2; ++s) {
      for (U32 p = 0; p < 3; ++p) {
        vSetTxPulse(&pMultiTx->MultiSonar[s].au8Bytes[p * TX_PULSE_SIZE], 0, 0, TXMODE_NONE, 0, TRUE);
      }
    }
    H_COPROC_u32Transfer(gpu8NonCachedDataBlock, MULTI_TX_SIZE, SEND_TO_COPROC);
  }
  H_COPROC_u32Transfer(gpu8NonCachedDataBlock, S_DEMULTIPLEX_RECEIVE_BLOCK_SIZE, RECEIVE_FROM_COPROC);
  s_bLastPingWasNullPing = TRUE;
  T_N_PING_vReturnDescriptor(pPing, "Couldn't return descriptor to queue");
}

U8 bandwidthOr(BEAM Beam, U8 u8Fallback) {
  const U8 u8Bandwidth = u8FetchBandwidth(Beam);
  return u8Bandwidth == 0 ? u8Fallback : u8Bandwidth;
}

void fillLocation(PING_DESCRIPTOR *pPing) {
  S32 s32Lat = 0, s32Lon = 0;
  BOOLEAN bLatValid = FALSE, bLonValid = FALSE;
  const BOOLEAN bLat = H_DATABASE_bFetchS32(FCID("ILAT"), &s32Lat, &bLatValid, nullptr);
  const BOOLEAN bLon = H_DATABASE_bFetchS32(FCID("ILON"), &s32Lon, &bLonValid, nullptr);
  pPing->Location.bPositionValid = bLat && bLon && bLatValid && bLonValid;
  pPing->Location.s32LatitudeMM = s32Lat;
  pPing->Location.s32LongitudeMM = s32Lon;
}

// Fills descriptor pPing from receive channel u8Channel; FALSE when no pulse matched.
BOOLEAN fillChannel(PING_DESCRIPTOR *pPing, U8 u8Channel, const TX_SEQUENCE &seq, const U8 *pu8Samples) {
  const U32 u32High = fetchU32("CSF2", 200);
  const U32 u32Low = fetchU32("CSFL", 83);
  S32 s32Pulse = -1;
  if (u8Channel == 0) {
    if (seq.TxPulse[0].u16TxFreq == u32Low) s32Pulse = 0;
    pPing->Beam = s32Pulse < 0 ? 0xFF : 0;
  } else {
    for (S32 p = 0; p < 2 && s32Pulse < 0; ++p) {
      if (seq.TxPulse[p].u16TxFreq == u32High) s32Pulse = p;
    }
    pPing->Beam = s32Pulse < 0 ? 0xFF : 1;
  }
  if (s32Pulse < 0) return FALSE;
  const TX_PULSE &pulse = seq.TxPulse[s32Pulse];
  pPing->u32TransmitFrequencyHertz = static_cast<U32>(pulse.u16TxFreq) * 1000;
  pPing->u8TransmitCycles = pulse.u8TxCycles;
  pPing->u32SamplePeriodMicroSeconds = 26;
  pPing->u32NumberOfSamples = seq.u16Samples > PING_MAX_SAMPLES ? PING_MAX_SAMPLES : seq.u16Samples;
  pPing->u8TransmitPower = 1;
  pPing->u8Transducer = static_cast<U8>(s_db_TransducerSelect);
  if (s_bSimulateCoprocessor) {
    S_SYNTHSIM_fSynthesizeReturn(pPing);
    pPing->u8NoiseLevel = 0;
    pPing->u8PeakNoiseLevel = 0;
  } else {
    const U16 u16Noise = seq.u16NoiseSamples > kNoiseSamples ? kNoiseSamples : seq.u16NoiseSamples;
    std::memset(au8NoiseData, 0, sizeof au8NoiseData);
    S_DEMULTIPLEX_vGetExtractRxData(pu8Samples, u8Channel, u16Noise, static_cast<U16>(pPing->u32NumberOfSamples),
                                    au8NoiseData, pPing->pu8RawSonarData);
    U32 u32Sum = 0;
    U8 u8Peak = 0;
    for (U8 u8Noise : au8NoiseData) {
      u32Sum += u8Noise;
      if (u8Noise > u8Peak) u8Peak = u8Noise;
    }
    pPing->u8NoiseLevel = static_cast<U8>(u32Sum / kNoiseSamples);
    pPing->u8PeakNoiseLevel = u8Peak;
  }
  return TRUE;
}

void vPerformDownLookingPing() {
  const U8 u8Bandwidth200 = bandwidthOr(1, 1);
  const U8 u8BandwidthLF = bandwidthOr(0, 2);
  const U32 u32View = fetchU32("CVEW", 0);
  const U32 u32High = fetchU32("CSF2", 200);
  const U32 u32Low = fetchU32("CSFL", 83);

  PING_DESCRIPTOR *apPing[2] = {takeDescriptor(), takeDescriptor()};
  if (((T_N_PING_u32ClientPingMask() | T_N_PING_u32LocalPingMask()) & 1) == 0) {
    T_N_PING_vReturnDescriptor(apPing[0], "Couldn't return descriptor to queue");
    T_N_PING_vReturnDescriptor(apPing[1], "Couldn't return descriptor to queue");
    L_CLOCK_Sleep(100);
    return;
  }
  for (PING_DESCRIPTOR *pPing : apPing) {
    pPing->u32PingIndex = 0;
    pPing->bReversePing = FALSE;
  }

  float fDepthToListen = 0.0f;
  float fDepthToPing = 0.0f;
  if ((T_N_PING_u32ClientPingMask() & 1) != 0 && (T_N_PING_u32LocalPingMask() & 1) == 0) {
    T_N_PING_vGetNetworkDepths(&fDepthToListen, &fDepthToPing);
    if (fDepthToListen > -0.05f && fDepthToListen < 0.05f) fDepthToListen = fDepthToPing = 10.0f;
  } else {
    fDepthToPing = fLocalFindDepthToPing(&fDepthToListen);
  }
  const BOOLEAN bClientUsingLFBeam = T_N_PING_bHasNetworkDestination();
  const BEAM BeamSelected = U_PING_beamGetBeamSelected();

  ensureCoprocessorBlock();
  auto *pMultiTx = reinterpret_cast<MULTI_TX *>(gpu8NonCachedDataBlock);
  if (BeamSelected != s_CurrentBeamSelected || s_db_u32TransmitPower != static_cast<U32>(s_ePreviousTxPower) ||
      s_db_u32TransmitCycles != s_u32PreviousTransmitCycles || fDepthToPing != s_fLastDepthPinged ||
      u8Bandwidth200 != s_u8LastBWControl200KHz || u8BandwidthLF != s_u8LastBWControlLF ||
      s_bSimulateCoprocessor != s_bPreviousSimulateState || u32View != s_u32PreviousView ||
      s_bBurnInMode != s_bPreviousBurnInMode || u32High != s_u32PreviousTransmitFrequencyHighkHz ||
      u32Low != s_u32PreviousTransmitFrequencyLowkHz || s_db_TransducerSelect != s_CurrentTransducer ||
      bClientUsingLFBeam != s_bPreviousClientUsingLFBeam || s_bLastPingWasNullPing || s_bPreviousShortTxPing) {
    std::memset(pMultiTx, 0, MULTI_TX_SIZE);
    s_bLastPingWasNullPing = FALSE;
    TXPOWER ePower = TXPOWER_MED;
    if (!s_bBurnInMode) {
      ePower = static_cast<TXPOWER>(s_db_u32TransmitPower);
      if (ePower == TXPOWER_AUTO) ePower = H_XMITPOWER_eSelectTransmitPower(fDepthToPing);
    }
    U8 u8CyclesHigh = static_cast<U8>(s_db_u32TransmitCycles);
    U8 u8CyclesLow = u8CyclesHigh;
    if (s_db_u32TransmitCycles == 0) {
      u8CyclesHigh = S_TXCYCLES_u8CalculateTxCycles(1, fDepthToPing, 0, s_db_TransducerSelect);
      u8CyclesLow = S_TXCYCLES_u8CalculateTxCycles(0, fDepthToPing, 0, s_db_TransducerSelect);
    }
    H_DATABASE_bUpdateEverythingFloat(FCID("CSPD"), fDepthToPing, P_NORMAL, D_DEPTH, nullptr, DB_NO_TIMEOUT);
    const float fListenHigh = fDepthToListen < 350.0f ? fDepthToListen : 350.0f;
    if (BeamSelected == 0 || BeamSelected == 4 || fDepthToPing > 200.0f || u32View == SONAR_DUAL_BEAM_VIEW_PRIORITY ||
        bClientUsingLFBeam) {
      S_COPROC_vBuildTxSequence200kHzParLFAltShortTransmit(
          pMultiTx, u8CyclesHigh, u8Bandwidth200, static_cast<U16>(S_COPROC_u32SamplesForDepth(fListenHigh)),
          static_cast<U16>(u32High), ePower, u8CyclesLow, u8BandwidthLF,
          static_cast<U16>(S_COPROC_u32SamplesForDepth(fDepthToListen)), static_cast<U16>(u32Low), ePower,
          s_bSimulateCoprocessor, kTransmitLevel, FALSE);
    } else {
      S_COPROC_vBuildTxSequenceForSingleDownAltShortTransmit(
          pMultiTx, u8CyclesHigh, ePower, u8Bandwidth200,
          static_cast<U16>(S_COPROC_u32SamplesForDepth(fDepthToListen)), static_cast<U16>(u32High), 1,
          s_bSimulateCoprocessor, kTransmitLevel, FALSE);
    }
    H_COPROC_u32Transfer(gpu8NonCachedDataBlock, MULTI_TX_SIZE, SEND_TO_COPROC);
    s_CurrentBeamSelected = BeamSelected;
    s_ePreviousTxPower = static_cast<TXPOWER>(s_db_u32TransmitPower);
    s_u32PreviousTransmitCycles = s_db_u32TransmitCycles;
    s_fLastDepthPinged = fDepthToPing;
    s_u8LastBWControl200KHz = u8Bandwidth200;
    s_u8LastBWControlLF = u8BandwidthLF;
    s_bPreviousSimulateState = s_bSimulateCoprocessor;
    s_u32PreviousView = u32View;
    s_bPreviousBurnInMode = s_bBurnInMode;
    s_u32PreviousTransmitFrequencyHighkHz = u32High;
    s_u32PreviousTransmitFrequencyLowkHz = u32Low;
    s_CurrentTransducer = s_db_TransducerSelect;
    s_bPreviousClientUsingLFBeam = bClientUsingLFBeam;
    s_bPreviousShortTxPing = FALSE;
  }

  const U32 u32Now = H_TICK_u32ReadFreeRunningTimerInMilliSeconds();
  for (PING_DESCRIPTOR *pPing : apPing) {
    fillLocation(pPing);
    pPing->u32TimeStampMilliSeconds = u32Now;
  }
  if (H_COPROC_u32Transfer(gpu8NonCachedDataBlock, S_DEMULTIPLEX_RECEIVE_BLOCK_SIZE, RECEIVE_FROM_COPROC) == 0) {
    T_N_PING_vReturnDescriptor(apPing[0], "Couldn't return descriptor to queue");
    T_N_PING_vReturnDescriptor(apPing[1], "Couldn't return descriptor to queue");
    return;
  }
  TX_SEQUENCE_LE seqLE;
  const U8 *pu8Samples = nullptr;
  S_DEMULTIPLEX_bExtractTxSequence(gpu8NonCachedDataBlock, &seqLE, &pu8Samples);
  TX_SEQUENCE seq;
  S_COPROC_vCopyAndConvertEndianTxSequence(&seqLE, &seq);
  for (U8 u8Channel = 0; u8Channel < 2; ++u8Channel) {
    PING_DESCRIPTOR *pPing = apPing[u8Channel];
    if (!fillChannel(pPing, u8Channel, seq, pu8Samples)) {
      T_N_PING_vReturnDescriptor(pPing, "Couldn't return descriptor to queue");
      continue;
    }
    X_pingDataDirector(T_N_PING_eSourceForBeam(pPing->Beam), FALSE, NETWORK_SONAR_PROCESS, 0, pPing, nullptr,
                       nullptr);
  }
}

void rateLimit() {
  if (s_bRecordingActive && s_u32MaxPingsPerSecond >= 1 && s_u32MaxPingsPerSecond <= 10) {
    const U32 u32Interval = 1000 / s_u32MaxPingsPerSecond;
    const U32 u32Elapsed =
        H_TICK_u32ElapsedTime(s_TimeStampOfLastPing, H_TICK_u32ReadFreeRunningTimerInMilliSeconds());
    if (u32Elapsed < u32Interval) L_CLOCK_Sleep(u32Interval - u32Elapsed);
  }
  s_TimeStampOfLastPing = H_TICK_u32ReadFreeRunningTimerInMilliSeconds();
}

void pingDecision() {
  const SYSTEM_STATE eState = U_PING_eGetSystemState();
  if (!s_bSystemPinging || !s_bSonarEnabled || (T_N_PING_u32LocalPingMask() == 0 && T_N_PING_u32ClientPingMask() == 0)) {
    vPerformNullPing();
    return;
  }
  const BOOLEAN bSimState = eState == STATE_SIMULATION || eState == STATE_POINT_OF_SALE;
  if (!((transducerDetected() && eState == STATE_NORMAL_RUN) || bSimState)) {
    if (!transducerDetected() && eState == STATE_STARTUP) {
      log_me("DO NOT Call vPerformNullPing, DMA channel not ready\n");
    } else {
      vPerformNullPing();
    }
    return;
  }
  const U32 k = s_db_TransducerSelect;
  if (k > 16) {
    vPerformNullPing();
  } else if ((kSideLookingKinds >> k) & 1) {
    vPerformSideScanPing();
  } else if ((kDownLookingKinds >> k) & 1) {
    vPerformDownLookingPing();
  } else if ((kSimOnlyKinds >> k) & 1) {
    if (bSimState) vPerformSideScanPing();
  } else {
    vPerformNullPing();
  }
  rateLimit();
}

void buildPool() {
  if (!s_bPoolBuilt) {
    for (U32 b = 0; b < kPoolBlocks; ++b) s_apu8PoolBlocks[b] = static_cast<U8 *>(H_MEMORY_pvMalloc(kPoolBlockSize));
    // Pointer-wide entries: the host's descriptor pointers are 8 bytes.
    if (L_QUEUE_Define(Q_PING, sizeof(PING_DESCRIPTOR *), PING_POOL_SIZE, nullptr, 0) != 0) {
      ERROR_error(__FILE__, __LINE__, "Couldn't define queue");
      U_RESET_vReset();
    }
    L_QUEUE_DefineSema(Q_PING, SEMA_PING_QNE, QNE);
    s_bPoolBuilt = TRUE;
  } else {
    L_QUEUE_Purge(Q_PING);  // tests build the pool again
  }
  for (U32 i = 0; i < PING_POOL_SIZE; ++i) {
    PING_DESCRIPTOR &ping = s_aPingPool[i];
    ping = PING_DESCRIPTOR{};
    ping.pu8RawSonarData = s_apu8PoolBlocks[i / kDescriptorsPerBlock] + (i % kDescriptorsPerBlock) * kDescriptorStride;
    ping.pu8TvgdData = ping.pu8RawSonarData + PING_MAX_SAMPLES;
    PING_DESCRIPTOR *pPing = &ping;
    if (L_QUEUE_Put(Q_PING, &pPing) != 0) {
      ERROR_error(__FILE__, __LINE__, "Queue initialization failure");
      U_RESET_vReset();
    }
  }
}

void unregisterAll() {
  L_MUTEX_LockWait(RES_SONAR_SHARE);
  for (U16 u16Source = 0; u16Source < NUMBER_OF_SONAR_SOURCES; ++u16Source) {
    GMSG_ADDRESS Server{};
    U_PING_vGetServerAddress(&Server, u16Source);
    T_N_PING_vUnregisterForNetworkData(Server.uAddr.SocketAddress.u32Address, Server.uAddr.SocketAddress.u32Port,
                                       u16Source);
  }
  L_MUTEX_Unlock(RES_SONAR_SHARE);
}

void runSystem() {
  U32 u32State = 0;
  BOOLEAN bValid = FALSE;
  if (H_DATABASE_bFetchU32(FCID("CCST"), &u32State, &bValid, nullptr)) {
    L_MUTEX_LockWait(RES_SONAR_SHARE);
    T_N_PING_vUpdateSystemState(static_cast<SYSTEM_STATE>(u32State));
    s_bSystemPinging = T_N_PING_bShouldSystemPing(static_cast<SYSTEM_STATE>(u32State), s_u32PlaybackMode);
    s_bBurnInMode = u32State == STATE_BURN_IN;
    L_MUTEX_Unlock(RES_SONAR_SHARE);
    if (s_bSystemPinging) {
      H_COPROC_vInitialize();
      std::memset(gpu8NonCachedDataBlock, 0, MULTI_TX_SIZE);
      H_COPROC_u32Transfer(gpu8NonCachedDataBlock, S_DEMULTIPLEX_RECEIVE_BLOCK_SIZE, RECEIVE_FROM_COPROC);
    }
  }
  H_DATABASE_bRegisterForDataWithConditions(FCID("CCST"), M_PING, TRUE, FALSE, FALSE);
  s_u32PlaybackMode = fetchU32("CPSP", s_u32PlaybackMode);
  H_DATABASE_bRegisterForDataWithConditions(FCID("CPSP"), M_PING, TRUE, FALSE, FALSE);
  s_bRecordingActive = static_cast<BOOLEAN>(fetchU32("CSRE", FALSE) != 0);
  H_DATABASE_bRegisterForDataWithConditions(FCID("CSRE"), M_PING, TRUE, FALSE, FALSE);
}

void handleMessage(void *pvMsg) {
  auto *pHeader = static_cast<GENERIC_MESSAGE *>(pvMsg);
  if (!s_bRunning) {
    H_MEMORY_vDumpMail(pvMsg);
    return;
  }
  switch (pHeader->Cmd) {
    case CMD_ID_SHUTDOWN:
      unregisterAll();
      L_MUTEX_LockWait(RES_SONAR_SHARE);
      T_N_PING_vDeleteAllClients();
      L_MUTEX_Unlock(RES_SONAR_SHARE);
      s_bRunning = FALSE;
      break;
    case CMD_ID_NEW_DATA: {
      auto *pNew = static_cast<MESSAGE_NEW_DATA *>(pvMsg);
      T_N_PING_bControlChangeSend(pNew->FourCharId, pNew->dbValue.u32Val, 0, nullptr);
      T_N_PING_vHandleNewData(pNew->FourCharId, pNew->dbValue, pNew->bValid);
      break;
    }
    case CMD_ID_GMSG_DISCONNECT:
    case CMD_ID_CLIENT_MONITOR_TIMEOUT:
      T_N_PING_bHandlePeerDisconnect(static_cast<MSG_GMSG_DISCONNECT *>(pvMsg), FALSE);
      break;
    case CMD_ID_SERVER_MONITOR_TIMEOUT:
      T_N_PING_bHandlePeerDisconnect(static_cast<MSG_GMSG_DISCONNECT *>(pvMsg), TRUE);
      break;
    case CMD_ID_RESET_POS:
      unregisterAll();
      if (!T_ETHERNET_bIsAddressReady()) {
        L_MUTEX_LockWait(RES_SONAR_SHARE);
        T_N_PING_vDeleteAllClients();
        L_MUTEX_Unlock(RES_SONAR_SHARE);
        H_DATABASE_bUpdateValueU32(FCID("ENPM"), 0, P_NORMAL);
        H_DATABASE_bUpdateValueU32(FCID("ECPM"), 0, P_NORMAL);
      }
      T_N_PING_vRegisterDatabaseItems(TRUE);
      break;
    case CMD_ID_RUN_SYSTEM:
      runSystem();
      break;
    case CMD_ID_GMSG_RECEIVE:
      U_GMSG_bHandleReceive(static_cast<MSG_GMSG_RECEIVE *>(pvMsg));
      break;
    default:
      break;
  }
  H_MEMORY_vDumpMail(pvMsg);
}

}  // namespace

PING_DESCRIPTOR *T_N_PING_pPoolDescriptor(U32 u32Index) { return &s_aPingPool[u32Index % PING_POOL_SIZE]; }

void T_N_PING_vReturnDescriptor(PING_DESCRIPTOR *pPing, const char *pcFatalText) {
  if (L_QUEUE_Put(Q_PING, &pPing) != 0) {
    ERROR_error(__FILE__, __LINE__, pcFatalText);
    U_RESET_vReset();
  }
}

BOOLEAN T_N_PING_bShouldSystemPing(SYSTEM_STATE eState, U32 u32PlaybackMode) {
  if (eState == STATE_PLAYBACK) {
    return !((u32PlaybackMode >= 2 && u32PlaybackMode <= 10) || (u32PlaybackMode >= 13 && u32PlaybackMode <= 16));
  }
  if (eState == STATE_SIMULATION || eState == STATE_POINT_OF_SALE) return TRUE;
  BOOLEAN bFound = FALSE;
  BOOLEAN bValid = FALSE;
  if (H_DATABASE_bFetchBoolean(FCID("SFEF"), &bFound, &bValid, nullptr) && bValid && bFound &&
      !transducerDetected()) {
    return FALSE;
  }
  return eState != static_cast<SYSTEM_STATE>(0) && eState != STATE_PC_CONNECT;
}

void T_N_PING_vUpdateSystemState(SYSTEM_STATE eState) {
  const SYSTEM_STATE eOld = U_PING_eGetSystemState();
  if (eState == eOld) return;
  if (eOld == STATE_PLAYBACK) {
    T_MMC_bOpenPlaybackFile(FALSE, nullptr);
    if (eState == STATE_NORMAL_RUN) T_MMC_vCleanupDatabaseAfterPlayback();
  }
  auto registerDepths = [] {
    H_DATABASE_bUpdateEverythingFloat(FCID("IDE2"), 0.0f, P_NORMAL, D_DEPTH, nullptr, DB_NO_TIMEOUT);
    H_DATABASE_bUpdateEverythingFloat(FCID("IDE8"), 0.0f, P_NORMAL, D_DEPTH, nullptr, DB_NO_TIMEOUT);
  };
  if (eState == STATE_SIMULATION || eState == STATE_POINT_OF_SALE) {
    H_COPROC_vSimulate(TRUE);
    U_PING_vSetPlayback(FALSE);
    T_N_PING_vSetSonarViewEnable();
    registerDepths();
  } else if (eState == STATE_PLAYBACK) {
    H_COPROC_vSimulate(FALSE);
    U_PING_vSetPlayback(TRUE);
    T_N_PING_vSetSonarViewEnable();
    registerDepths();
    H_DATABASE_bUpdateEverythingU32(FCID("CSBP"), 0, P_NORMAL, D_UNKNOWN, nullptr, DB_NO_TIMEOUT);
  } else {
    H_COPROC_vSimulate(FALSE);
    U_PING_vSetPlayback(FALSE);
    T_N_PING_vSetSonarViewEnable();
    T_N_HISTORY_vEnableShortTransmit(TRUE);
  }
  U_PING_vSetSystemState(eState);
}

void T_N_PING_vCreatePoolForTest(void) { buildPool(); }
void T_N_PING_vPingDecisionForTest(void) { pingDecision(); }

// ---- settings and their reactions ----

namespace {

const char *const Ping_Depth[] = {"Ping Depth", nullptr};

void defaultU32(const char (&acKey)[5], U32 u32Value, U32 u32Priority, DATA_TYPE eType = D_UNKNOWN) {
  H_DATABASE_bUpdateEverythingU32(FCID(acKey), u32Value, u32Priority, eType, nullptr, DB_NO_TIMEOUT);
}

void registerKey(const char (&acKey)[5], BOOLEAN bOnUpdate = FALSE) {
  H_DATABASE_bRegisterForDataWithConditions(FCID(acKey), M_PING, TRUE, FALSE, bOnUpdate);
}

void applySystemState(SYSTEM_STATE eState) {
  L_MUTEX_LockWait(RES_SONAR_SHARE);
  T_N_PING_vUpdateSystemState(eState);
  s_bSystemPinging = T_N_PING_bShouldSystemPing(eState, s_u32PlaybackMode);
  s_bBurnInMode = eState == STATE_BURN_IN;
  if (eState == STATE_SIMULATION || eState == STATE_POINT_OF_SALE) {
    s_db_TransducerSelect = fetchU32("SSTS", s_db_TransducerSelect);
    H_DATABASE_bUpdateEverythingU32(FCID("ITXD"), 1, P_NORMAL, D_UNKNOWN, nullptr, DB_NO_TIMEOUT);
    T_N_PING_vSwitchToLocalSonar(SONAR_SOURCE_2D);
    T_N_PING_vSwitchToLocalSonar(SONAR_SOURCE_ZP);
  }
  L_MUTEX_Unlock(RES_SONAR_SHARE);
}

void transducerChange(U32 u32Kind) {
  L_MUTEX_LockWait(RES_SONAR_SHARE);
  const U32 u32Detected = fetchU32("ITXD", 0xFFFFFFFF);
  const BOOLEAN bNone = u32Detected == 0xFFFFFFFF || u32Detected == 0;
  const U32 u32Transducer = bNone ? 0 : u32Kind;
  U32 u32Elements = bNone ? 0 : S_TRANSDUCER_u32GetSonarSources(static_cast<U8>(u32Kind));
  s_db_TransducerSelect = u32Transducer;
  U32 u32State = 0;
  BOOLEAN bValid = FALSE;
  while (!H_DATABASE_bFetchU32(FCID("CCST"), &u32State, &bValid, nullptr)) L_CLOCK_Sleep(1);
  static const FOURCHARID kKeys[] = {FCID("YST1"), FCID("YST2"), FCID("YST3"), FCID("YST4")};
  if (u32State == STATE_SIMULATION || u32State == STATE_POINT_OF_SALE) {
    u32Elements = S_TRANSDUCER_u32GetSonarSources(static_cast<U8>(u32Kind == 0 ? 1 : u32Kind));
    for (U32 n = 0; n < 3; ++n) {
      H_DATABASE_bUpdateEverythingU32(kKeys[n], (u32Elements >> n) & 1 ? u32Transducer : 0, P_NORMAL, D_UNKNOWN,
                                      nullptr, DB_NO_TIMEOUT);
    }
  } else {
    for (U16 n = 0; n < 4; ++n) {
      if (U_PING_eGetNetworkClientState(n) != NETWORK_CLIENT_STATE_LOCAL) continue;
      U32 u32Value = ((u32Elements >> n) & 1) && transducerDetected() ? u32Transducer : 0;
      if (n == 3) u32Value = u32Transducer;
      H_DATABASE_bUpdateEverythingU32(kKeys[n], u32Value, P_NORMAL, D_UNKNOWN, nullptr, DB_NO_TIMEOUT);
      if (n == 1 || n == 2) vMenuSideScanFrequency(TRUE);
    }
  }
  const U32 u32Network = fetchU32("ENPM", 0);
  if (u32Network != 0) u32Elements &= ~(u32Network & 0x7);
  u32Elements &= ~(1u << SONAR_SOURCE_360);
  if (u32State != STATE_SIMULATION && u32State != STATE_POINT_OF_SALE) {
    U32 u32Mac = 0;
    if (H_DATABASE_bFetchU32(FCID("SMAC"), &u32Mac, &bValid, nullptr) && bValid) {
      for (U16 n = 0; n < SONAR_SOURCE_360; ++n) {
        if (T_N_PING_u32SonarSourceId(n) != (u32Mac & 0xFFFFFF)) u32Elements &= ~(1u << n);
      }
    }
    T_N_PING_vSetPingBitMask(u32Elements & 1, (u32Elements >> 1) & 1, (u32Elements >> 2) & 1,
                             (u32Elements >> 3) & 1);
  }
  T_N_PING_vSendTransducerChange(u32Kind);
  L_MUTEX_Unlock(RES_SONAR_SHARE);
  T_N_PING_vLegaliseForTransducer(u32Kind);
}

void sonarEnable(BOOLEAN bEnable) {
  const SYSTEM_STATE eState = U_PING_eGetSystemState();
  const bool bSimState = eState == STATE_SIMULATION || eState == STATE_POINT_OF_SALE;
  s_bSonarEnabled = bEnable;
  L_MUTEX_LockWait(RES_SONAR_SHARE);
  if (eState == static_cast<SYSTEM_STATE>(0)) {
    L_MUTEX_Unlock(RES_SONAR_SHARE);
    return;
  }
  if (!bEnable) {
    // The simulator keeps pinging: its mask is left alone.
    if (bSimState) {
      log_me("System State SIM or POS DO NOT zero ELPM\n");
      s_bSonarEnabled = TRUE;
    } else {
      s_s32LocalPingMaskSonarOff = static_cast<S32>(fetchU32("ELPM", 0));
      defaultU32("ELPM", 0, P_NORMAL);
    }
  } else {
    if (bSimState) {
      log_me("System State SIM or POS DO NOT zero ELPM\n");
    } else if (s_s32LocalPingMaskSonarOff > 0) {
      defaultU32("ELPM", static_cast<U32>(s_s32LocalPingMaskSonarOff), P_NORMAL);
      s_s32LocalPingMaskSonarOff = -1;
    }
    vPerformNullPing();
  }
  T_N_PING_vSetSonarViewEnable();
  L_MUTEX_Unlock(RES_SONAR_SHARE);
}

}  // namespace

void T_N_PING_vRegisterDatabaseItems(BOOLEAN bForceFactoryDefaults) {
  const U32 u32Priority = bForceFactoryDefaults ? P_NORMAL : P_DEFAULT_SETTING;
  defaultU32("CSFL", 83, u32Priority);
  defaultU32("CSF2", 200, u32Priority);
  defaultU32("SSW1", 0, u32Priority);
  defaultU32("SSW2", 0, u32Priority);
  defaultU32("SSW3", 0, u32Priority);
  H_DATABASE_bUpdateEverythingBoolean(FCID("SSEN"), TRUE, u32Priority, D_UNKNOWN, nullptr, DB_NO_TIMEOUT);
  H_DATABASE_bUpdateEverythingBoolean(FCID("ISEN"), TRUE, u32Priority, D_UNKNOWN, nullptr, DB_NO_TIMEOUT);
  H_DATABASE_bUpdateEverythingFloat(FCID("SSMD"), 0.0f, u32Priority, D_DEPTH, nullptr, DB_NO_TIMEOUT);
  H_DATABASE_bUpdateEverythingFloat(FCID("YSMD"), 0.0f, u32Priority, D_DEPTH, nullptr, DB_NO_TIMEOUT);
  defaultU32("SSTC", 0, u32Priority);
  defaultU32("SSTP", 0, u32Priority);
  defaultU32("SUDP", U_FEET, P_UNOWNED, D_UNITS);
  defaultU32("SSF5", 800, u32Priority);
  defaultU32("SSF4", 455, u32Priority);
  defaultU32("SSF3", 262, u32Priority);
  defaultU32("SSSF", FCID("SSF4"), u32Priority);
  H_DATABASE_bUpdateEverythingFloat(FCID("CSPD"), 0.0f, P_NORMAL, D_DEPTH, Ping_Depth, DB_NO_TIMEOUT);
  s_u32MaxPingsPerSecond = fetchU32("SRPS", 11);
  defaultU32("SRPS", s_u32MaxPingsPerSecond, P_NORMAL);
  T_N_PING_vSetMaximumDepthToPing(0);
  s_db_u32TransmitCycles = 0;
  s_db_u32TransmitPower = 0;
  T_N_PING_vSetDepthUnits(U_FEET);
  s_bRecordingActive = FALSE;
  L_MUTEX_LockWait(RES_SONAR_SHARE);
  U_PING_vSetPlayback(FALSE);
  L_MUTEX_Unlock(RES_SONAR_SHARE);
  s_u32PlaybackMode = kPlaybackStop;
  T_N_PING_vSetSonarViewEnable();
  BOOLEAN bTvg = TRUE;
  BOOLEAN bValid = FALSE;
  if (!H_DATABASE_bFetchBoolean(FCID("STVG"), &bTvg, &bValid, nullptr)) bTvg = TRUE;
  T_N_PING_vSetSelectTvgView(bTvg);

  for (const char *pcKey : {"SSCL", "SSSF", "CVEW", "SSEN", "SSMD", "SSSV", "SSTC", "SSTP", "SUDP", "SSTS", "SSES",
                            "SRPS", "STVG", "CCST"}) {
    H_DATABASE_bRegisterForDataWithConditions(FCID(reinterpret_cast<const char(&)[5]>(*pcKey)), M_PING, TRUE, FALSE,
                                              FALSE);
  }
  L_MUTEX_LockWait(RES_SONAR_SHARE);
  S32 s32Id = -1;
  if (!H_DATABASE_bFetchS32(FCID("SN2D"), &s32Id, &bValid, nullptr) || !bValid) s32Id = -1;
  T_N_PING_vUpdateSonarSource(s32Id, SONAR_SOURCE_2D);
  if (!H_DATABASE_bFetchS32(FCID("SNZP"), &s32Id, &bValid, nullptr) || !bValid) s32Id = -1;
  T_N_PING_vUpdateSonarSource(s32Id, SONAR_SOURCE_ZP);
  if (transducerDetected()) {
    T_N_PING_vSwitchToLocalSonar(SONAR_SOURCE_2D);
    T_N_PING_vSwitchToLocalSonar(SONAR_SOURCE_ZP);
  }
  L_MUTEX_Unlock(RES_SONAR_SHARE);
  registerKey("ECPM", TRUE);
  registerKey("ENPM", TRUE);
  registerKey("ELPM", TRUE);
  registerKey("YSWA");
  registerKey("YSLD");
  registerKey("SLFD");
  defaultU32("SLFD", s_u32DelayAfterLFBeamMS, P_NORMAL);
  defaultU32("TPNG", M_PING, P_NORMAL, D_MAILBOX);
  H_DATABASE_vSendMailboxAllRegisteredItems(M_PING);
}

void T_N_PING_vHandleNewData(FOURCHARID Id, DB_DATA_TYPE dbValue, BOOLEAN) {
  const U32 u32Value = dbValue.u32Val;
  if (Id == FCID("ENPM")) {
    T_N_PING_vSetMasks(T_N_PING_u32LocalPingMask(), T_N_PING_u32ClientPingMask(), u32Value);
  } else if (Id == FCID("ECPM")) {
    T_N_PING_vSetMasks(T_N_PING_u32LocalPingMask(), u32Value, T_N_PING_u32NetworkPingMask());
  } else if (Id == FCID("ELPM")) {
    T_N_PING_vSetMasks(u32Value, T_N_PING_u32ClientPingMask(), T_N_PING_u32NetworkPingMask());
  } else if (Id == FCID("SSMD")) {
    // Below 2 ft means no maximum.
    T_N_PING_vSetMaximumDepthToPing(dbValue.fVal >= 0.6096f ? dbValue.fVal : 0.0);
  } else if (Id == FCID("SSTC")) {
    s_db_u32TransmitCycles = u32Value;
  } else if (Id == FCID("SSTP")) {
    s_db_u32TransmitPower = u32Value;
  } else if (Id == FCID("SRPS")) {
    s_u32MaxPingsPerSecond = u32Value;
  } else if (Id == FCID("SUDP")) {
    T_N_PING_vSetDepthUnits(static_cast<UNIT_TYPE>(u32Value));
  } else if (Id == FCID("SLFD")) {
    s_u32DelayAfterLFBeamMS = u32Value;
  } else if (Id == FCID("STVG")) {
    T_N_PING_vSetSelectTvgView(static_cast<BOOLEAN>(u32Value != 0));
  } else if (Id == FCID("YSLD")) {
    T_N_PING_vSetAutoDepthRange(T_N_PING_bAutoDepthRange(dbValue.fVal, static_cast<UNIT_TYPE>(fetchU32("SUDP", U_FEET))));
  } else if (Id == FCID("YSWA")) {
    s_u32WaterType = u32Value & 0xFFFF;
    if (s_u32WaterType == 1) {
      U_PING_vSetDeepWaterMode(TRUE);
      U_PING_vSetDepthKnownCnt(0);
    }
  } else if (Id == FCID("CSRE")) {
    const BOOLEAN bWas = s_bRecordingActive;
    s_bRecordingActive = static_cast<BOOLEAN>(u32Value != 0);
    if (s_bRecordingActive && !bWas) s_TimeStampOfLastPing = H_TICK_u32ReadFreeRunningTimerInMilliSeconds();
  } else if (Id == FCID("SSES")) {
    log_me("SSES 0x%x", static_cast<unsigned>(u32Value));
  } else if (Id == FCID("CCST")) {
    applySystemState(static_cast<SYSTEM_STATE>(u32Value));
  } else if (Id == FCID("SSTS")) {
    transducerChange(u32Value);
  } else if (Id == FCID("SSSV")) {
    L_MUTEX_LockWait(RES_SONAR_SHARE);
    U_PING_vSetBeamSelected(static_cast<BEAM>(u32Value));
    if (s_u32WaterType == 1 && (u32Value == 0 || u32Value == 4)) {
      U_PING_vSetDeepWaterMode(TRUE);
      U_PING_vSetDepthKnownCnt(0);
    }
    L_MUTEX_Unlock(RES_SONAR_SHARE);
  } else if (Id == FCID("CVEW")) {
    L_MUTEX_LockWait(RES_SONAR_SHARE);
    U_PING_vSetCurrentView(static_cast<LAYER_ID>(u32Value));
    if (u32Value == SONAR_DUAL_BEAM_VIEW_PRIORITY && s_u32WaterType == 1 && U_PING_beamGetBeamSelected() == 1) {
      U_PING_vSetDeepWaterMode(TRUE);
      U_PING_vSetDepthKnownCnt(0);
    }
    L_MUTEX_Unlock(RES_SONAR_SHARE);
  } else if (Id == FCID("CPSP")) {
    if (u32Value != s_u32PlaybackMode) {
      auto *pMsg = static_cast<MSG_NEW_PLAYBACK_STATE *>(H_MEMORY_pvMalloc(sizeof(MSG_NEW_PLAYBACK_STATE)));
      pMsg->header.Cmd = CMD_ID_NEW_PLAYBACK_STATE;
      pMsg->u32NewPlaybackState = u32Value;
      L_MBOX_Send(M_PROCESS, pMsg, 3, 0);
      s_u32PlaybackMode = u32Value;
      s_bSystemPinging = T_N_PING_bShouldSystemPing(U_PING_eGetSystemState(), s_u32PlaybackMode);
    }
  } else if (Id == FCID("SSEN")) {
    sonarEnable(static_cast<BOOLEAN>(u32Value != 0));
  }
}

// ---- the task ----

void T_N_PING_vMain(void) {
  T_N_PING_vRegisterDatabaseItems(FALSE);
  L_MUTEX_LockWait(RES_SONAR_SHARE);
  T_N_PING_vDeleteAllClients();
  L_MUTEX_Unlock(RES_SONAR_SHARE);
  const FCID_TRANSLATE_TYPE *pTable = T_N_PING_pTranslateTable();
  for (U32 i = 0; i < FCID_TRANSLATE_ROWS; ++i) {
    H_DATABASE_bRegisterForDataWithConditions(pTable[i].fcidUIControl, M_PING, TRUE, FALSE, FALSE);
    H_DATABASE_bRegisterForDataWithConditions(pTable[i].fcidSavedSetting, M_PING, TRUE, FALSE, FALSE);
  }
  const U32 u32Detected = fetchU32("ITXD", 0xFFFFFFFF);
  BOOLEAN bSonarOn = TRUE;
  BOOLEAN bValid = FALSE;
  H_DATABASE_bFetchBoolean(FCID("SSEN"), &bSonarOn, &bValid, nullptr);
  H_DATABASE_bUpdateEverythingBoolean(FCID("ISEN"), u32Detected == 1 && bSonarOn, P_NORMAL, D_UNKNOWN, nullptr,
                                      DB_NO_TIMEOUT);
  buildPool();
  L_TASK_SetPriority(0, static_cast<PRIORITY>(L_TASK_GetPriority(0) - 5));
  MBOX mboxHistory = 0;
  while (!H_DATABASE_bFetchMailbox(FCID("TSMG"), &mboxHistory)) L_CLOCK_Sleep(5);

  const SEMA aSemas[] = {SEMA_MBOX_PING, SEMA_PING_QNE, 0};
  U32 u32Pass = 0;
  for (;;) {
    if (!s_bNetworkRegistered && T_ETHERNET_bIsAddressReady()) {
      // Once, when the unit has an address: serve the sonar on its port.
      s_bNetworkRegistered = U_GMSG_bRegisterMailbox(M_PING, RES_PING, SEMA_GMSG_PING, T_N_PING_pMessageMap(),
                                                     SONAR_SERVER_PORT);
      L_MUTEX_LockWait(RES_SONAR_SHARE);
      T_N_PING_vCreateNetworkDestinations();
      for (U16 n = 0; n < NUMBER_OF_SONAR_SOURCES; ++n) {
        S32 s32Monitor = -1;
        if (n <= SONAR_SOURCE_ZP) {
          const U32 u32Handle = U_SERVER_MONITOR_u32Allocate();
          if (u32Handle != SERVER_MONITOR_NONE) {
            U_SERVER_MONITOR_vSetUserName(u32Handle, "T_N_PING");
            U_SERVER_MONITOR_vSetMailbox(u32Handle, M_PING);
            s32Monitor = static_cast<S32>(u32Handle);
          }
        }
        U_PING_vSetServerMonitorHandle(s32Monitor, n);
      }
      L_MUTEX_Unlock(RES_SONAR_SHARE);
    }
    static U32 s_u32LastLogged = 0xFFFFFFFF;
    const U32 u32Summary = (T_N_PING_bHasNetworkDestination() ? 1u : 0u) | U_PING_eGetNetworkClientState(0) << 4 |
                           U_PING_eGetNetworkClientState(1) << 8 | U_PING_eGetNetworkClientState(2) << 12 |
                           U_PING_eGetNetworkClientState(3) << 16;
    // Every 101st pass, when it changed: a quiet unit stays quiet, so the watchdog still sees a stall.
    if (++u32Pass % 101 == 0 && u32Summary != s_u32LastLogged) {
      s_u32LastLogged = u32Summary;
      log_me("destination %s, client states %d %d %d %d", T_N_PING_bHasNetworkDestination() ? "yes" : "none",
             U_PING_eGetNetworkClientState(0), U_PING_eGetNetworkClientState(1), U_PING_eGetNetworkClientState(2),
             U_PING_eGetNetworkClientState(3));
    }
    const SYSTEM_STATE eState = U_PING_eGetSystemState();
    const BOOLEAN bSimState = eState == STATE_SIMULATION || eState == STATE_POINT_OF_SALE;
    BOOLEAN bAnyLocal = FALSE;
    for (U16 n = 0; n < NUMBER_OF_SONAR_SOURCES; ++n) {
      bAnyLocal = bAnyLocal || U_PING_eGetNetworkClientState(n) == NETWORK_CLIENT_STATE_LOCAL;
    }
    if ((T_N_PING_bHasNetworkDestination() || bAnyLocal) && s_bSonarEnabled && !bSimState) {
      s_bSimulateCoprocessor = FALSE;
      s_bZeroAllPingDataBeforeSending = FALSE;
      H_COPROC_vSimulate(FALSE);
    } else {
      s_bSimulateCoprocessor = TRUE;
      s_bZeroAllPingDataBeforeSending = !bSimState;
      H_COPROC_vSimulate(TRUE);
    }
    if (bSimState) {
      L_MUTEX_LockWait(RES_SONAR_SHARE);
      H_DATABASE_bUpdateEverythingBoolean(FCID("ISEN"), TRUE, P_NORMAL, D_UNKNOWN, nullptr, DB_NO_TIMEOUT);
      L_MUTEX_Unlock(RES_SONAR_SHARE);
    }
    const ERC erc = L_SEMA_WaitMultiple(aSemas);
    if (erc == SEMA_MBOX_PING) {
      while (void *pvMsg = L_MBOX_Receive(M_PING)) handleMessage(pvMsg);
    } else if (erc == SEMA_PING_QNE) {
      if (s_bRunning) pingDecision();
    } else {
      ERROR_error(__FILE__, __LINE__, "RTXC Fault");
      U_RESET_vReset();
    }
  }
}

BOOLEAN T_N_PING_bZeroPingData(void) { return s_bZeroAllPingDataBeforeSending; }
BOOLEAN T_N_PING_bSonarEnabled(void) { return s_bSonarEnabled; }

void T_N_PING_vLegaliseForTransducer(U32 u32Kind) {
  U32 u32Beams = 0;
  U32 u32Frequency = 0;
  BOOLEAN bBeamsValid = FALSE;
  BOOLEAN bFrequencyValid = FALSE;
  if (!H_DATABASE_bFetchU32(FCID("SSSV"), &u32Beams, &bBeamsValid, nullptr) || !bBeamsValid ||
      !H_DATABASE_bFetchU32(FCID("SSSF"), &u32Frequency, &bFrequencyValid, nullptr) || !bFrequencyValid) {
    return;
  }
  auto setFrequency = [&](std::initializer_list<FOURCHARID> allowed) {
    for (FOURCHARID Id : allowed) {
      if (u32Frequency == Id) return;
    }
    H_DATABASE_bUpdateValueU32(FCID("SSSF"), FCID("SSF4"), P_NORMAL);
  };
  switch (u32Kind) {
    case 1: case 4: case 11: case 12: case 13: case 14:
      if (u32Beams >= 5) H_DATABASE_bUpdateValueU32(FCID("SSSV"), 1, P_NORMAL);
      break;
    case 2: case 3: case 9:
      setFrequency({FCID("SSF4")});
      break;
    case 5:
      setFrequency({FCID("SSF4"), FCID("SSF3")});
      break;
    case 10: case 15: case 17: case 18:
      setFrequency({FCID("SSF5"), FCID("SSF4")});
      break;
    case 6:
      break;
    default:
      H_DATABASE_bUpdateValueU32(FCID("SSSV"), 1, P_NORMAL);
      break;
  }
}
void T_N_PING_vPerformNullPing(void) { vPerformNullPing(); }

void T_N_PING_vResetForTest(void) {
  s_bSystemPinging = FALSE;
  s_bSimulateCoprocessor = FALSE;
  s_bZeroAllPingDataBeforeSending = FALSE;
  s_bBurnInMode = FALSE;
  s_bLastPingWasNullPing = FALSE;
  s_bRecordingActive = FALSE;
  s_bSonarEnabled = TRUE;
  s_bRunning = TRUE;
  s_u32MaxPingsPerSecond = 11;
  s_db_TransducerSelect = 0;
  s_db_u32TransmitPower = 0;
  s_db_u32TransmitCycles = 0;
  s_u32PlaybackMode = kPlaybackStop;
  s_u32WaterType = 0;
  s_s32LocalPingMaskSonarOff = -1;
  s_CurrentBeamSelected = 0xFF;
  s_u32PreviousTransmitFrequencyHighkHz = 200;
  s_u32PreviousTransmitFrequencyLowkHz = 83;
  s_u32PreviousView = 1;
  T_N_PING_vSetMasks(0, 0, 0);
}

void T_N_PING_vSetStateForTest(BOOLEAN bSystemPinging, BOOLEAN bSimulateCoprocessor, U32 u32Transducer,
                               BOOLEAN bRecording, U32 u32MaxPingsPerSecond) {
  s_bSystemPinging = bSystemPinging;
  s_bSimulateCoprocessor = bSimulateCoprocessor;
  s_db_TransducerSelect = u32Transducer;
  s_bRecordingActive = bRecording;
  s_u32MaxPingsPerSecond = u32MaxPingsPerSecond;
}
