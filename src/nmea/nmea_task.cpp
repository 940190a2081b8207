#include "nmea/nmea_task.h"

#include <time.h>

#include <atomic>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "chartlib/nav/nv_navig.h"
#include "kernel/error.h"
#include "kernel/log.h"
#include "kernel/memory.h"
#include "kernel/queue.h"
#include "kernel/reset.h"
#include "kernel/sema.h"
#include "kernel/tick.h"
#include "kernel/timer.h"
#include "n2k/nmea_adaptor_standin.h"
#include "net/ethbcast_standin.h"
#include "net/gmsg_standin.h"
#include "nmea/ais/ais_nmea.h"
#include "nmea/nmea_parse.h"
#include "nmea/nmea_standin.h"
#include "nmea/task_post.h"
#include "nmea/uart_task.h"
#include "ui/menu/menu.h"
#include "ui/menu/menu_priority.h"
#include "util/datum.h"
#include "util/geomag.h"

namespace {

constexpr U32 kSourceTimeOut = 4;  // seconds: a silent source yields its keys to the next one
constexpr S8 kAcquisitionTicks = 40;
constexpr S8 kReleaseTick = 40;
constexpr U32 kTickMs = 500;

typedef struct {
  GPS_SOURCE_ID eSourceID;
  NMEA_PORT_TYPE ePortType;
  U8 u8PortNumber;
  S32 nBaudRate;
  QUEUE RxDataQueue;
  QUEUE TxDataQueue;
  U32 GPSWritePriority;
  FOURCHARID fcidGPSStatus;
} NMEA_PORT_INITIALIZATION_DATA;

// No row for the internal GPS: its record never exists.
const NMEA_PORT_INITIALIZATION_DATA s_aInitializationData[8] = {
    {ID_NMEA2K_GPS, NMEA_PORT_TYPE_NMEA2K, 0, 0, 0, 0, P_NMEA2K_GPS, 0},
    {ID_EXTERNAL_GPS, NMEA_PORT_TYPE_SERIAL, 0, 38400, Q_RECEIVE_UART0, Q_TRANSMIT_UART0, P_EXTERNAL_GPS, FCID("GPSE")},
    {ID_NETWORK_GPS, NMEA_PORT_TYPE_NETWORK, 0, 0, 0, 0, P_NETWORK_GPS, 0},
    {ID_GATEWAY_ATTACHED_GPS, NMEA_PORT_TYPE_GATEWAY, 0, 0, 0, 0, P_GATEWAY_ATTACHED_GPS, FCID("GPSG")},
    {ID_REMOTE_EXTERNAL_GPS, NMEA_PORT_TYPE_GATEWAY, 0, 0, 0, 0, P_REMOTE_EXTERNAL_GPS, FCID("GPSX")},
    {ID_REMOTE_INTERNAL_GPS, NMEA_PORT_TYPE_GATEWAY, 0, 0, 0, 0, P_REMOTE_INTERNAL_GPS, FCID("GPSR")},
    {ID_EXTERNAL_AIS, NMEA_PORT_TYPE_SERIAL, 2, 4800, Q_RECEIVE_UART2, 0, 0, 0},
    {ID_EXTERNAL_AIS2, NMEA_PORT_TYPE_SERIAL, 3, 4800, Q_RECEIVE_UART3, 0, 0, 0},
};

std::atomic<NMEA_PORT_INFO *> s_NMEAPortInfo[PORT_INDEX_MAX];
std::atomic<BOOLEAN> s_aLocked[UART_CHANNELS];
PORT_SCAN_STATUS s_aPortStatusArray[UART_CHANNELS];

std::atomic<BOOLEAN> s_bIgnoreInput{TRUE};
BOOLEAN s_sbNmeaOutOn = FALSE;
S8 s_s8AcquisitionPeriod = 0;
BOOLEAN s_bPortScanTimeOut = FALSE;
U32 s_u32SystemState = 1;
std::atomic<S32> timerCtr{1};
S32 s_nTimeDivider = 2;
std::atomic<U32> s_u32Ticks{0};
std::atomic<bool> s_bRunning{false};
TIMER_INFO *s_pNMEATimer = nullptr;
BOOLEAN s_bcompassIdentified = FALSE;
BOOLEAN s_balready_disconnected = TRUE;
BOOLEAN s_bDiagnosticEntered = FALSE;
BOOLEAN s_bSavedSVGD = FALSE;

SEMA s_aWaitList[7] = {SEMA_MBOX_NMEA, SEMA_NMEA_DETECTED, SEMA_TIMER_NMEA, 0, 0, 0, 0};

// One position per write priority: 'IPOS' points at the buffer of the source whose write the store took.
POSITION s_aCurPos[P_UNOWNED + 1];
double s_fMagVar = 0;

const ARRAY_OF_STRING_PTRS kNoFix = SAME22("No Fix");
const ARRAY_OF_STRING_PTRS k2DFix = SAME22("2D Fix");
const ARRAY_OF_STRING_PTRS k3DFix = SAME22("3D Fix");
const ARRAY_OF_STRING_PTRS kEnhanced = SAME22("Enhanced");
const ARRAY_OF_STRING_PTRS kFix = SAME22("Fix");
const ARRAY_OF_STRING_PTRS kUnknown = SAME22("Unknown");

const ARRAY_OF_STRING_PTRS kNmeaOutput = SAME22("NMEA 0183 Output");
const ARRAY_OF_STRING_PTRS kOff = SAME22("Off");
const ARRAY_OF_STRING_PTRS kOn = SAME22("On");
const MENU_TITLE kOffOnList[] = {&kOff, &kOn};
const U32 kOffOnValues[] = {0, 1};
const ARRAY_OF_STRING_PTRS kGpsReceiverOverride = SAME22("GPS Receiver Override");
const ARRAY_OF_STRING_PTRS kNavTab = SAME22("Nav");
const ARRAY_OF_STRING_PTRS kAuto = SAME22("Auto");
const ARRAY_OF_STRING_PTRS kGatewayGps = SAME22("Ravendor GPS");
const ARRAY_OF_STRING_PTRS kExternalGps = SAME22("External GPS");
const ARRAY_OF_STRING_PTRS kRemoteExternalGps = SAME22("Remote External GPS");
const ARRAY_OF_STRING_PTRS kRemoteInternalGps = SAME22("Remote Internal GPS");
const ARRAY_OF_STRING_PTRS kGpsDiagnosticView = SAME22("GPS Diagnostic View");
MENU_TITLE s_apSourceChoices[5];
U32 s_au32SourceValues[5];

// NMEA 2000 pieces collected for the synthesised sentences.
constexpr U32 kN2kTime = 0x1, kN2kPosition = 0x10, kN2kHeading = 0x100, kN2kSpeed = 0x1000;
constexpr U32 kN2kComplete = kN2kTime | kN2kPosition | kN2kHeading | kN2kSpeed;
struct NMEA_OUT_DATA {
  char acTime[40];
  char acDate[40];
  char acPosition[48];
  float fHeading;
  float fSpeed;
  float fHDOP;
  float fAltitude;
  S32 nFixIndicator;
  U32 u32Mask;
  U32 au32Arrived[4];  // ms of the last time, position, heading, speed
};
NMEA_OUT_DATA s_sN2k;

[[noreturn]] void fatal(U32 u32Line, const char *pcText) {
  ERROR_error(__FILE__, u32Line, pcText);
  U_RESET_vReset();
}

int findRow(GPS_SOURCE_ID eSourceID) {
  for (int i = 0; i < 8; ++i) {
    if (s_aInitializationData[i].eSourceID == eSourceID) return i;
  }
  return -1;
}

NMEA_PORT_INFO *port(PORT_INDEX eIndex) {
  return eIndex >= 0 && eIndex < PORT_INDEX_MAX ? s_NMEAPortInfo[eIndex].load() : nullptr;
}

BOOLEAN fetchBool(FOURCHARID key, BOOLEAN *pbValid = nullptr) {
  BOOLEAN bValue = FALSE, bValid = FALSE;
  if (!H_DATABASE_bFetchBoolean(key, &bValue, &bValid, nullptr)) bValid = FALSE;
  if (pbValid != nullptr) *pbValid = bValid;
  return bValid ? bValue : FALSE;
}

bool fetchValidU32(FOURCHARID key, U32 *pu32Value) {
  BOOLEAN bValid = FALSE;
  return H_DATABASE_bFetchU32(key, pu32Value, &bValid, nullptr) && bValid;
}

U32 systemState() {
  U32 u32State = s_u32SystemState;
  if (fetchValidU32(FCID("CCST"), &u32State)) s_u32SystemState = u32State;
  return s_u32SystemState;
}

void registerKey(const char (&acKey)[5], BOOLEAN bOnUpdate = FALSE) {
  H_DATABASE_bRegisterForDataWithConditions(FCID(acKey), M_NMEA, TRUE, TRUE, bOnUpdate);
}

void writeTimed(FOURCHARID key, DB_DATA_TYPE value, U32 u32Priority, DATA_TYPE type) {
  H_DATABASE_bUpdateEverything(key, value, u32Priority, type, nullptr, kSourceTimeOut);
}

void lockChannels(U32 u32Baud) {
  for (U8 u8Channel = 0; u8Channel < UART_CHANNELS; ++u8Channel) {
    if (u32Baud != 0) U_UART_bChangeBaudRate(u8Channel, u32Baud);
    s_aPortStatusArray[u8Channel].bLocked = TRUE;
    s_aLocked[u8Channel] = TRUE;
    if (u32Baud != 0) {
      log_me("NMEA: channel %u locked at %u baud", static_cast<unsigned>(u8Channel), static_cast<unsigned>(u32Baud));
    }
  }
  if (u32Baud == 0) log_me("NMEA: acquisition over, all channels locked");
}

// The wait list stays zero-terminated and keeps every entry after a removed one.
void removeFromWaitList(SEMA sema) {
  for (int i = 0; i < 7; ++i) {
    if (s_aWaitList[i] != sema) continue;
    for (int j = i; j < 6; ++j) s_aWaitList[j] = s_aWaitList[j + 1];
    s_aWaitList[6] = 0;
    return;
  }
}

void startReceiving() {
  s_aWaitList[3] = SEMA_QUEUE_RX0;
  s_aWaitList[4] = SEMA_QUEUE_RX2;
  s_aWaitList[5] = SEMA_QUEUE_RX3;
  s_aWaitList[6] = 0;
}

void T_NMEA_vRegenerateGPSSourcePriorityMenu() {
  U32 u32Count = 0;
  s_apSourceChoices[u32Count] = &kAuto;
  s_au32SourceValues[u32Count++] = ID_AUTO_SELECT;
  const struct {
    const char *pcKey;
    const ARRAY_OF_STRING_PTRS *pTitle;
    GPS_SOURCE_ID eSource;
  } kChoices[] = {{"GPSG", &kGatewayGps, ID_GATEWAY_ATTACHED_GPS},
                  {"GPSE", &kExternalGps, ID_EXTERNAL_GPS},
                  {"GPSX", &kRemoteExternalGps, ID_REMOTE_EXTERNAL_GPS},
                  {"GPSR", &kRemoteInternalGps, ID_REMOTE_INTERNAL_GPS}};
  for (const auto &choice : kChoices) {
    U32 u32Status = 0;
    const FOURCHARID key = choice.pcKey[0] | choice.pcKey[1] << 8 | choice.pcKey[2] << 16 |
                           static_cast<U32>(choice.pcKey[3]) << 24;
    if (!fetchValidU32(key, &u32Status) || u32Status == 0) continue;
    s_apSourceChoices[u32Count] = choice.pTitle;
    s_au32SourceValues[u32Count++] = choice.eSource;
  }
  U_MENU_bUnregisterMainMenuItem(&kGpsReceiverOverride, &kNavTab);
  BOOLEAN bValid = FALSE;
  const BOOLEAN bEthernetFound = fetchBool(FCID("SFEF"), &bValid);
  if (bValid && bEthernetFound) return;
  if (T_ETHERNET_bIsAddressReady()) return;
  U_MENU_bRegisterMainSelectorMenu(&kGpsReceiverOverride, &kNavTab, MENU_GPS_RECEIVER_OVERRIDE, FCID("SGPP"),
                                   u32Count, s_apSourceChoices, s_au32SourceValues, M_ADVANCED);
}

void applySelectedSource(U32 u32Selected) {
  for (GPS_SOURCE_ID eSource : {ID_NETWORK_GPS, ID_GATEWAY_ATTACHED_GPS, ID_EXTERNAL_GPS, ID_REMOTE_EXTERNAL_GPS,
                                ID_REMOTE_INTERNAL_GPS, ID_NMEA2K_GPS}) {
    NMEA_PORT_INFO *pPort = T_NMEA_pGetPortInfo(eSource);
    if (pPort != nullptr) pPort->GPSWritePriority = s_aInitializationData[findRow(eSource)].GPSWritePriority;
  }
  NMEA_PORT_INFO *pSelected = T_NMEA_pGetPortInfo(static_cast<GPS_SOURCE_ID>(u32Selected));
  if (u32Selected == ID_AUTO_SELECT || pSelected == nullptr) return;
  pSelected->GPSWritePriority = P_SELECTED_GPS_OVERRIDE;
  DB_DATA_TYPE value = {};
  value.u32Val = u32Selected;
  writeTimed(FCID("CGPS"), value, P_SELECTED_GPS_OVERRIDE, D_UNKNOWN);
}

void handleNmeaOutput(BOOLEAN bOn) {
  s_sbNmeaOutOn = bOn;
  if (systemState() == 9) return;
  NMEA_PORT_INFO *pPort = port(PORT_INDEX_EXTERNAL_GPS);
  if (pPort == nullptr || pPort->pSerialInfo == nullptr || pPort->pSerialInfo->u8Port != 0 ||
      pPort->eGPSType == GPS_TYPE_COMPASS) {
    return;
  }
  if (bOn) {
    T_NMEA_vConfigureGPS(-3);
    pPort->pSerialInfo->nBaudRate = pPort->pSerialInfo->nNewBaudRate = 4800;
  } else {
    pPort->pSerialInfo->nBaudRate = pPort->pSerialInfo->nNewBaudRate = 38400;
    pPort->eSentenceRate = NMEA_SENTENCE_RATE_CHART;
    T_NMEA_vConfigureGPS(-3);
  }
  T_NMEA_vChangeBaudRate(pPort);
}

void handleNewData(const MESSAGE_NEW_DATA *pMsg) {
  const FOURCHARID key = pMsg->FourCharId;
  const struct {
    FOURCHARID key;
    U32 u32DataId;
    FOURCHARID n2kKey;
  } kToN2k[] = {{FCID("ITME"), N2K_DATA_LOCAL_TIME, FCID("NM03")}, {FCID("IHDG"), N2K_DATA_COG_TRUE, FCID("NM01")},
                {FCID("ISOG"), N2K_DATA_SOG_GPS, FCID("NM02")},    {FCID("IDTM"), N2K_DATA_LOCAL_DATE, FCID("NM04")},
                {FCID("IPOS"), N2K_DATA_POSITION, FCID("IPOS")},   {FCID("IALT"), N2K_DATA_ALTITUDE, FCID("NM05")}};
  for (const auto &row : kToN2k) {
    if (row.key != key) continue;
    DB_DATA_TYPE value = pMsg->dbValue;
    if (key == FCID("ISOG")) value.fVal *= 3.6f;
    U_NMEA_Adaptor_vDataAdapt(TRUE, row.u32DataId, row.n2kKey, value);
    return;
  }
  if (key == FCID("IERD")) {
    T_NMEA_vSetupNetwork();
  } else if (key == FCID("SNOE")) {
    handleNmeaOutput(pMsg->bValid && pMsg->dbValue.u32Val != 0 ? TRUE : FALSE);
  } else if (key == FCID("SCCG")) {
    T_NMEA_vConfigureGPS(-3);
  } else if (key == FCID("GPSE") || key == FCID("SFEF") || key == FCID("GPSG") || key == FCID("GPSR") ||
             key == FCID("GPSX")) {
    T_NMEA_vRegenerateGPSSourcePriorityMenu();
  } else if (key == FCID("SGPP")) {
    if (pMsg->bValid) applySelectedSource(pMsg->dbValue.u32Val);
  } else if (key == FCID("CCST")) {
    if (pMsg->bValid) s_u32SystemState = pMsg->dbValue.u32Val;
  } else if (key == FCID("CVEW")) {
    const U32 u32View = pMsg->dbValue.u32Val;
    T_NMEA_vTellServersDiagnosticView(u32View == 331 || u32View == 153 ? TRUE : FALSE);
    T_NMEA_vConfigureGPS(static_cast<S32>(u32View));
  }
}

// Degrees and minutes of a position field, "ddmm.mmmm,N,dddmm.mmmm,W,".
void formatPosition(float fLat, float fLon, char *pcOut, size_t szOut) {
  const double dLat = std::fabs(static_cast<double>(fLat));
  const double dLon = std::fabs(static_cast<double>(fLon));
  const int nLatDeg = static_cast<int>(dLat);
  const int nLonDeg = static_cast<int>(dLon);
  std::snprintf(pcOut, szOut, "%02d%07.4f,%c,%03d%07.4f,%c,", nLatDeg, (dLat - nLatDeg) * 60.0, fLat < 0 ? 'S' : 'N',
                nLonDeg, (dLon - nLonDeg) * 60.0, fLon < 0 ? 'W' : 'E');
}

void handleNmea2k(const NMEA2K_MESSAGE *pMsg) {
  const U32 u32Now = H_TICK_u32ReadFreeRunningTimerInMilliSeconds();
  const FOURCHARID key = pMsg->FourCharId;
  auto arrived = [&](U32 u32Bit, int nSlot) {
    s_sN2k.u32Mask |= u32Bit;
    s_sN2k.au32Arrived[nSlot] = u32Now;
  };
  if (key == FCID("ILTD")) {
    float fLat = 0, fLon = 0;
    if (T_ETHBCAST_bFetctNMEA2kPosition(&fLat, &fLon)) {
      formatPosition(fLat, fLon, s_sN2k.acPosition, sizeof(s_sN2k.acPosition));
      arrived(kN2kPosition, 1);
    }
  } else if (key == FCID("IHDG")) {
    s_sN2k.fHeading = pMsg->dbValue.fVal;
    arrived(kN2kHeading, 2);
  } else if (key == FCID("ISOG")) {
    s_sN2k.fSpeed = pMsg->dbValue.fVal;
    arrived(kN2kSpeed, 3);
  } else if (key == FCID("IDTM")) {
    const time_t tTime = static_cast<time_t>(pMsg->dbValue.u32Val);
    struct tm tBroken;
    gmtime_r(&tTime, &tBroken);
    std::snprintf(s_sN2k.acTime, sizeof(s_sN2k.acTime), "%02d%02d%02d,", tBroken.tm_hour, tBroken.tm_min,
                  tBroken.tm_sec);
    std::snprintf(s_sN2k.acDate, sizeof(s_sN2k.acDate), "%02d%02d%02d,", tBroken.tm_mday, tBroken.tm_mon + 1,
                  tBroken.tm_year % 100);
    arrived(kN2kTime, 0);
  } else if (key == FCID("IHDP")) {
    s_sN2k.fHDOP = pMsg->dbValue.fVal;
    s_sN2k.nFixIndicator = 2;
  } else if (key == FCID("IALT")) {
    s_sN2k.fAltitude = pMsg->dbValue.fVal;
  }
  // A piece that stopped arriving lapses, so the sentences stop with it.
  const U32 au32Bits[4] = {kN2kTime, kN2kPosition, kN2kHeading, kN2kSpeed};
  for (int i = 0; i < 4; ++i) {
    if ((s_sN2k.u32Mask & au32Bits[i]) && u32Now - s_sN2k.au32Arrived[i] > kSourceTimeOut * 1000) {
      s_sN2k.u32Mask &= ~au32Bits[i];
    }
  }
  if (s_sN2k.u32Mask != kN2kComplete) return;
  char acText[160];
  std::snprintf(acText, sizeof(acText), "NMGGA,%s%s%d,%02d,%3.1f,%3.1f,M,%s,0,%04d*55", s_sN2k.acTime,
                s_sN2k.acPosition, static_cast<int>(s_sN2k.nFixIndicator), 0, static_cast<double>(s_sN2k.fHDOP),
                static_cast<double>(s_sN2k.fAltitude), ",", 0);
  T_NMEA_vParseSentence(PORT_INDEX_NMEA2K_GPS, acText);
  std::snprintf(acText, sizeof(acText), "NMRMC,%sA,%s%3.1f,%3.1f,%s,*55", s_sN2k.acTime, s_sN2k.acPosition,
                static_cast<double>(s_sN2k.fSpeed), static_cast<double>(s_sN2k.fHeading), s_sN2k.acDate);
  T_NMEA_vParseSentence(PORT_INDEX_NMEA2K_GPS, acText);
  char acGSA[N2K_SENTENCE_TEXT] = "";
  char aacGSV[5][N2K_SENTENCE_TEXT] = {};
  if (U_NMEA_Adaptor_bFetchSatellites(acGSA, aacGSV)) {
    if (acGSA[0] == 'N') T_NMEA_vParseSentence(PORT_INDEX_NMEA2K_GPS, acGSA);
    for (const auto &acGSV : aacGSV) {
      if (acGSV[0] == 'N') T_NMEA_vParseSentence(PORT_INDEX_NMEA2K_GPS, acGSV);
    }
  }
}

void waitTransmitEmpty(U8 u8Channel) {
  while (L_QUEUE_Inquire(T_UART_nGetQueue(u8Channel, TRUE)) > 0) L_CLOCK_Sleep(100);
  L_CLOCK_Sleep(100);
}

void runSystem() {
  const U32 u32State = systemState();
  NMEA_PORT_INFO *pExternal = port(PORT_INDEX_EXTERNAL_GPS);
  if (u32State != 6 && u32State != 8 && u32State != 9) {
    U_UART_bRegisterForChannel(0, 0, -1);
    L_SEMA_Signal(SEMA_NMEA_DETECTED);
  }
  if (u32State != 2 && u32State != 6) {
    U_UART_bChangeBaudRate(0, 38400);
    U8 au8Frame[40];
    const U32 u32Length = T_NMEA_u32SiRFSwitchToNMEA(38400, au8Frame, sizeof(au8Frame));
    U_UART_bTransmitData(0, au8Frame, static_cast<int>(u32Length));
    log_me("NMEA: switch-to-NMEA frame sent on channel 0");
    waitTransmitEmpty(0);
  }
  if (pExternal != nullptr) T_NMEA_vChangeBaudRate(pExternal);
  L_TIMER_Start(s_pNMEATimer, kTickMs, kTickMs, SEMA_TIMER_NMEA);
  s_s8AcquisitionPeriod = kAcquisitionTicks;
  if (u32State == 6 || u32State == 2) lockChannels(4800);
  U_MENU_bRegisterMainSelectorMenu(&kNmeaOutput, &Setup, MENU_NMEA_OUTPUT, FCID("SNOE"), 2, kOffOnList, kOffOnValues,
                                   M_ADVANCED);
  if (u32State == 6 || u32State == 4) {
    T_NMEA_vRegisterDiagnosticView();
    L_SEMA_Signal(SEMA_GPS_DETECTED);
  } else {
    s_bIgnoreInput = FALSE;
  }
  if (u32State == 7) {
    s_bDiagnosticEntered = TRUE;
    s_bSavedSVGD = fetchBool(FCID("SVGD"));
    H_DATABASE_bUpdateValueBoolean(FCID("SVGD"), TRUE, P_NORMAL);
  }
}

void T_NMEA_vHandleTimer() {
  s_u32Ticks.fetch_add(1);
  T_NMEA_vAisReportRemovedTargets();
  if (timerCtr < kReleaseTick) {
    if (++timerCtr == kReleaseTick) {
      timerCtr = kReleaseTick + 1;
      const NMEA_PORT_INFO *pExternal = port(PORT_INDEX_EXTERNAL_GPS);
      if (pExternal != nullptr && !pExternal->bSentenceReceived && !pExternal->bBinaryMsgReceived) {
        log_me("NMEA: no GPS on channel 0, channel released");
        U_UART_bReleaseChannel(0, TRUE);
        removeFromWaitList(SEMA_QUEUE_RX0);
      }
    }
  }
  for (int i = 0; i < PORT_INDEX_MAX; ++i) {
    NMEA_PORT_INFO *pPort = port(static_cast<PORT_INDEX>(i));
    if (pPort == nullptr) continue;
    ++pPort->nDataTimeout;
    ++pPort->nStateTimeout;
    T_NMEA_vRunPortState(static_cast<PORT_INDEX>(i));
  }
  const U32 u32State = s_u32SystemState;
  if (u32State == 6 || u32State == 8 || u32State == 9) return;
  if (s_s8AcquisitionPeriod >= 0) {
    if (--s_s8AcquisitionPeriod == 0) {
      if (s_sbNmeaOutOn) H_DATABASE_bUpdateValueBoolean(FCID("SNOE"), TRUE, P_NORMAL);
      lockChannels(0);
      s_bPortScanTimeOut = TRUE;
    }
    return;
  }
  if (--s_nTimeDivider < 1) {
    T_NMEA_vHandleTransmit();
    s_nTimeDivider = 2;
  }
}

void handleCommand(GENERIC_MESSAGE *pMsg) {
  switch (pMsg->Cmd) {
    case CMD_ID_SHUTDOWN:
      if (s_bDiagnosticEntered) H_DATABASE_bUpdateValueBoolean(FCID("SVGD"), s_bSavedSVGD, P_NORMAL);
      T_NMEA_vUnregisterNetworkServer();
      break;
    case CMD_ID_NEW_DATA: handleNewData(reinterpret_cast<MESSAGE_NEW_DATA *>(pMsg)); break;
    case CMD_ID_RESET_POS: T_NMEA_vSetDefaultSettings(TRUE); break;
    case CMD_ID_RUN_SYSTEM: runSystem(); break;
    case CMD_ID_NETWORK_NMEA_MESSAGE: {
      auto *pNet = reinterpret_cast<NETWORK_NMEA_MESSAGE *>(pMsg);
      if (pNet->pcSentence != nullptr) {
        T_NMEA_vParseSentence(PORT_INDEX_NETWORK_GPS, pNet->pcSentence);
        H_MEMORY_vFree(pNet->pcSentence);
        pNet->pcSentence = nullptr;
      }
      break;
    }
    case CMD_ID_NMEA2K_MESSAGE: handleNmea2k(reinterpret_cast<NMEA2K_MESSAGE *>(pMsg)); break;
    case CMD_ID_NMEA_GPS_DETECT: {
      const GPS_SOURCE_ID eSource = reinterpret_cast<GPS_DETECT_MSG *>(pMsg)->eSourceID;
      if (NMEA_PORT_INFO *pPort = T_NMEA_pGetPortInfo(eSource)) {
        pPort->bSentenceReceived = TRUE;
        T_NMEA_vGPSDetected(T_NMEA_eGetPortIndex(eSource));
      }
      break;
    }
    case CMD_ID_NMEA_GPS_RATE: {
      const S32 eView = reinterpret_cast<GPS_RATE_MSG *>(pMsg)->eView;
      for (int i = 0; i < PORT_INDEX_MAX; ++i) {
        const NMEA_PORT_INFO *pPort = port(static_cast<PORT_INDEX>(i));
        if (pPort != nullptr && pPort->ePortType == NMEA_PORT_TYPE_SERIAL && pPort->eGPSType != GPS_TYPE_DISCONNECTED) {
          T_NMEA_vSetupSentences(static_cast<PORT_INDEX>(i), eView);
        }
      }
      break;
    }
    case CMD_ID_NMEA_GPS_RESET: {
      const auto *pReset = reinterpret_cast<GPS_RESET_MSG *>(pMsg);
      const PORT_INDEX eIndex = T_NMEA_eGetPortIndex(pReset->eSourceID);
      const NMEA_PORT_INFO *pPort = port(eIndex);
      if (pPort == nullptr || pPort->ePortType != NMEA_PORT_TYPE_SERIAL) break;
      if (pPort->eGPSType == GPS_TYPE_UBLOX) {
        T_NMEA_vTransmitUBloxInitialization(eIndex, pReset->eNMEAReset);
      } else if (pPort->eGPSType == GPS_TYPE_COMPASS) {
        if (!s_balready_disconnected) {
          H_DATABASE_bUpdateEverythingU32(FCID("GPSC"), 0, P_NORMAL, D_UNKNOWN, nullptr, DB_NO_TIMEOUT);
          s_bcompassIdentified = FALSE;
          s_balready_disconnected = TRUE;
        }
      } else {
        T_NMEA_vTransmitNavmanInitialization(eIndex, pReset->eNMEAReset);
      }
      break;
    }
    case CMD_ID_COMPASS_HDG_RATE:
    case CMD_ID_COMPASS_BAUD_RATE:
    case CMD_ID_COMPASS_PNR_RATE:
    case CMD_ID_COMPASS_TEST_CMD:
    case CMD_ID_COMPASS_MODE_CMD:
    case CMD_ID_BLUETOOTH_REMOTE_TX: T_NMEA_vHandleCompassMessage(pMsg); break;
    case CMD_ID_GMSG_RECEIVE:
    case CMD_ID_GMSG_DISCONNECT:
    case CMD_ID_NETWORK_REGISTER_4DATA:
    case CMD_ID_SERVER_MONITOR_TIMEOUT:
    case CMD_ID_CLIENT_MONITOR_TIMEOUT: T_NMEA_vHandleNetworkMessage(pMsg); break;
    default: log_me("NMEA: command %d ignored", static_cast<int>(pMsg->Cmd)); break;
  }
}

}  // namespace

PORT_INDEX T_NMEA_eGetPortIndex(GPS_SOURCE_ID eSourceID) {
  switch (eSourceID) {
    case ID_NETWORK_GPS: return PORT_INDEX_NETWORK_GPS;
    case ID_GATEWAY_ATTACHED_GPS: return PORT_INDEX_GATEWAY_GPS;
    case ID_EXTERNAL_GPS: return PORT_INDEX_EXTERNAL_GPS;
    case ID_INTERNAL_GPS: return PORT_INDEX_INTERNAL_GPS;
    case ID_REMOTE_EXTERNAL_GPS: return PORT_INDEX_REMOTE_EXTERNAL_GPS;
    case ID_REMOTE_INTERNAL_GPS: return PORT_INDEX_REMOTE_INTERNAL_GPS;
    case ID_NMEA2K_GPS: return PORT_INDEX_NMEA2K_GPS;
    case ID_EXTERNAL_AIS: return PORT_INDEX_EXTERNAL_AIS;
    case ID_EXTERNAL_AIS2: return PORT_INDEX_EXTERNAL_AIS2;
    default: return PORT_INDEX_INVALID;
  }
}

NMEA_PORT_INFO *T_NMEA_pGetPortInfo(GPS_SOURCE_ID eSourceID) { return port(T_NMEA_eGetPortIndex(eSourceID)); }

NMEA_PORT_INFO *T_NMEA_pInitPortInfo(GPS_SOURCE_ID eSourceID) {
  const PORT_INDEX eIndex = T_NMEA_eGetPortIndex(eSourceID);
  const int nRow = findRow(eSourceID);
  const BOOLEAN bCalculateCOG = fetchBool(FCID("SCCG"));
  if (eIndex == PORT_INDEX_INVALID || nRow < 0) return nullptr;
  const NMEA_PORT_INITIALIZATION_DATA &row = s_aInitializationData[nRow];
  NMEA_PORT_INFO *pPort = s_NMEAPortInfo[eIndex].load();
  const bool bNew = pPort == nullptr;
  if (bNew) pPort = static_cast<NMEA_PORT_INFO *>(H_MEMORY_pvCalloc(1, sizeof(NMEA_PORT_INFO)));
  if (row.ePortType == NMEA_PORT_TYPE_SERIAL) {
    if (pPort->pSerialInfo == nullptr) {
      pPort->pSerialInfo = static_cast<NMEA_SERIAL_INFO *>(H_MEMORY_pvCalloc(1, sizeof(NMEA_SERIAL_INFO)));
    }
    if (pPort->pRxParseInfo == nullptr) {
      pPort->pRxParseInfo = static_cast<RX_PARSE_INFO *>(H_MEMORY_pvCalloc(1, sizeof(RX_PARSE_INFO)));
    }
  }
  if (pPort->pGatewayGPSData == nullptr) {
    pPort->pGatewayGPSData = static_cast<GATEWAY_GPS_DATA *>(H_MEMORY_pvCalloc(1, sizeof(GATEWAY_GPS_DATA)));
  }
  pPort->eSourceID = row.eSourceID;
  pPort->ePortType = row.ePortType;
  pPort->GPSWritePriority = row.GPSWritePriority;
  pPort->fcidGPSStatus = row.fcidGPSStatus;
  pPort->eState = NMEA_STATE_OFFLINE;
  pPort->eGPSType = GPS_TYPE_DISCONNECTED;
  pPort->eSentenceRate = NMEA_SENTENCE_RATE_UNKNOWN;
  pPort->bDataReceived = pPort->bSentenceReceived = pPort->bBinaryMsgReceived = FALSE;
  pPort->bConfiguredNavmanSBAS = pPort->bChannelIsAIS = FALSE;
  pPort->bCalculateCOG = bCalculateCOG;
  pPort->bReceivedVELNED = FALSE;
  pPort->nDataTimeout = pPort->nStateTimeout = pPort->nWarmStarts = 0;
  pPort->u32PFI = 0;
  pPort->fPositionError = 0;
  pPort->fLastCOG = 0;
  // The satellite list is kept and emptied: dropping the pointer would lose it at every re-initialisation.
  if (pPort->pnSatsInUse != nullptr) std::memset(pPort->pnSatsInUse, 0, 12 * sizeof(S32));
  pPort->RMC_Lat = pPort->RMC_Lon = pPort->RMC_pre_Lat = pPort->RMC_pre_Lon = 0;
  if (row.ePortType == NMEA_PORT_TYPE_SERIAL) {
    NMEA_SERIAL_INFO *pSerial = pPort->pSerialInfo;
    pSerial->u8Port = row.u8PortNumber;
    pSerial->nBaudRate = pSerial->nNewBaudRate = row.nBaudRate;
    pSerial->RxDataQueue = row.RxDataQueue;
    pSerial->TxDataQueue = row.TxDataQueue;
    pSerial->u8BaudRateIndex = 0;
    pSerial->u8BaudShiftCounter = 0;
    pPort->pRxParseInfo->eReceiveState = WAITING_DOLLAR;
    s_aPortStatusArray[row.u8PortNumber] = {FALSE, FALSE};
    s_aLocked[row.u8PortNumber] = FALSE;
  }
  if (bNew) s_NMEAPortInfo[eIndex].store(pPort);
  return pPort;
}

void T_NMEA_vSetDefaultSettings(BOOLEAN bForceFactoryDefaults) {
  const U32 u32Priority = bForceFactoryDefaults ? P_NORMAL : P_DEFAULT_SETTING;
  auto write = [&](const char (&acKey)[5], U32 u32Value, DATA_TYPE type, const char *const *ppcText = nullptr) {
    H_DATABASE_bUpdateEverythingU32(FCID(acKey), u32Value, u32Priority, type, ppcText, DB_NO_TIMEOUT);
  };
  write("SNOE", FALSE, D_UNKNOWN);
  s_sbNmeaOutOn = fetchBool(FCID("SNOE"));
  write("SNGE", TRUE, D_UNKNOWN);
  write("SNNE", TRUE, D_UNKNOWN);
  write("SVGD", FALSE, D_UNKNOWN, kGpsDiagnosticView);
  write("SGPP", ID_AUTO_SELECT, D_UNKNOWN);
  write("SLBL", TRUE, D_UNKNOWN);
  write("SAIS", FALSE, D_UNKNOWN);
  write("STCL", 300, D_TIME);
  write("SCHO", 0, D_SIGNED32);
  write("SNHL", FALSE, D_UNKNOWN);
  write("GPSC", 6, D_UNKNOWN);
  s_balready_disconnected = TRUE;
  s_bcompassIdentified = FALSE;
}

void T_NMEA_vChangeBaudRate(NMEA_PORT_INFO *pPortInfo) {
  if (pPortInfo == nullptr || pPortInfo->pSerialInfo == nullptr) return;
  const U32 u32State = systemState();
  const S32 nRate = (u32State == 2 || u32State == 6) ? 4800 : pPortInfo->pSerialInfo->nNewBaudRate;
  log_me("NMEA: channel %u to %d baud", static_cast<unsigned>(pPortInfo->pSerialInfo->u8Port), static_cast<int>(nRate));
  pPortInfo->pSerialInfo->nBaudRate = nRate;
  U_UART_bChangeBaudRate(pPortInfo->pSerialInfo->u8Port, static_cast<U32>(nRate));
}

void T_NMEA_vMain(void) {
  // A fresh start of the task (a test may start it again in one process).
  s_bRunning = false;
  s_bIgnoreInput = TRUE;
  s_u32SystemState = 1;
  timerCtr = 1;
  s_nTimeDivider = 2;
  s_u32Ticks = 0;
  s_s8AcquisitionPeriod = 0;
  s_bDiagnosticEntered = FALSE;
  s_sN2k = {};
  s_sN2k.nFixIndicator = 1;
  const SEMA aInitialWaitList[7] = {SEMA_MBOX_NMEA, SEMA_NMEA_DETECTED, SEMA_TIMER_NMEA, 0, 0, 0, 0};
  std::memcpy(s_aWaitList, aInitialWaitList, sizeof(s_aWaitList));
  if (H_DATABASE_bUpdateEverythingU32(FCID("TNME"), M_NMEA, P_NORMAL, D_MAILBOX, nullptr, DB_NO_TIMEOUT)) {
    fatal(__LINE__, "Somebody else registered the NMEA Task Mailbox");
  }
  T_NMEA_vSetDefaultSettings(FALSE);
  registerKey("SGPP", TRUE);
  registerKey("SNOE", TRUE);
  registerKey("CCST");
  registerKey("SFEF");
  registerKey("IERD");
  T_NMEA_vSetupNetwork();
  registerKey("CVEW");
  H_DATABASE_bUpdateEverythingBoolean(FCID("SCCG"), TRUE, P_DEFAULT_SETTING, D_UNKNOWN, nullptr, DB_NO_TIMEOUT);
  registerKey("SCCG");

  T_NMEA_pInitPortInfo(ID_NMEA2K_GPS);
  T_NMEA_pInitPortInfo(ID_EXTERNAL_GPS);
  H_DATABASE_bUpdateEverythingU32(FCID("GPSE"), 0, P_NORMAL, D_UNKNOWN, nullptr, DB_NO_TIMEOUT);
  U_UART_bRegisterForChannel(0, '$', SEMA_NMEA_DETECTED);
  registerKey("GPSE");
  T_NMEA_pInitPortInfo(ID_NETWORK_GPS);
  T_NMEA_pInitPortInfo(ID_GATEWAY_ATTACHED_GPS);
  registerKey("GPSG");
  T_NMEA_pInitPortInfo(ID_REMOTE_EXTERNAL_GPS);
  registerKey("GPSX");
  T_NMEA_pInitPortInfo(ID_REMOTE_INTERNAL_GPS);
  registerKey("GPSR");
  T_NMEA_pInitPortInfo(ID_EXTERNAL_AIS);
  T_NMEA_pInitPortInfo(ID_EXTERNAL_AIS2);
  H_DATABASE_bUpdateEverythingBoolean(FCID("SITP"), FALSE, P_DEFAULT_SETTING, D_UNKNOWN, nullptr, DB_NO_TIMEOUT);
  for (U8 u8Channel : {0, 2, 3}) U_UART_bRegisterForChannel(u8Channel, '!', SEMA_NMEA_DETECTED);

  T_NMEA_vAisInitPool();
  s_bPortScanTimeOut = FALSE;
  for (U8 u8Channel = 0; u8Channel < UART_CHANNELS; ++u8Channel) {
    s_aPortStatusArray[u8Channel] = {FALSE, FALSE};
    s_aLocked[u8Channel] = FALSE;
  }
  registerKey("GPSC");

  if (s_pNMEATimer == nullptr) s_pNMEATimer = L_TIMER_Allocate();
  if (s_pNMEATimer == nullptr) fatal(__LINE__, "NO TIMER");
  L_TIMER_Stop(s_pNMEATimer);
  s_bRunning = true;

  for (;;) {
    switch (L_SEMA_WaitMultiple(s_aWaitList)) {
      case SEMA_QUEUE_RX0: T_NMEA_vHandleReceive(s_bIgnoreInput, PORT_INDEX_EXTERNAL_GPS); break;
      case SEMA_QUEUE_RX2: T_NMEA_vHandleReceive(s_bIgnoreInput, PORT_INDEX_EXTERNAL_AIS); break;
      case SEMA_QUEUE_RX3: T_NMEA_vHandleReceive(s_bIgnoreInput, PORT_INDEX_EXTERNAL_AIS2); break;
      case SEMA_TIMER_NMEA: T_NMEA_vHandleTimer(); break;
      case SEMA_NMEA_DETECTED: startReceiving(); break;
      case SEMA_MBOX_NMEA:
        while (void *pvMsg = L_MBOX_Receive(M_NMEA)) {
          handleCommand(static_cast<GENERIC_MESSAGE *>(pvMsg));
          H_MEMORY_vDumpMail(pvMsg);
        }
        break;
      default: break;
    }
  }
}

void T_NMEA_vGPSDetectedByID(GPS_SOURCE_ID eSourceID) {
  auto *pMsg = NMEA_pNewMessage<GPS_DETECT_MSG>(CMD_ID_NMEA_GPS_DETECT);
  pMsg->eSourceID = eSourceID;
  NMEA_bPostToTask(FCID("TNME"), pMsg);
}

void T_NMEA_vConfigureGPS(S32 eViewId) {
  auto *pMsg = NMEA_pNewMessage<GPS_RATE_MSG>(CMD_ID_NMEA_GPS_RATE);
  pMsg->eView = eViewId;
  NMEA_bPostToTask(FCID("TNME"), pMsg);
}

void T_NMEA_vResetGPS(NMEA_RESET eNMEAReset, GPS_SOURCE_ID eSourceID) {
  auto *pMsg = NMEA_pNewMessage<GPS_RESET_MSG>(CMD_ID_NMEA_GPS_RESET);
  pMsg->eSourceID = eSourceID;
  pMsg->eNMEAReset = eNMEAReset;
  NMEA_bPostToTask(FCID("TNME"), pMsg);
}

U32 T_NMEA_u32GetExternalIPFI(void) {
  const NMEA_PORT_INFO *pPort = port(PORT_INDEX_EXTERNAL_GPS);
  return pPort != nullptr ? pPort->u32PFI : 0;
}
U32 T_NMEA_u32GetInternalIPFI(void) {
  const NMEA_PORT_INFO *pPort = port(PORT_INDEX_INTERNAL_GPS);
  return pPort != nullptr ? pPort->u32PFI : 0;
}
U32 T_NMEA_u32GetGPSType(BOOLEAN ext_flag) {
  const NMEA_PORT_INFO *pPort = port(ext_flag ? PORT_INDEX_EXTERNAL_GPS : PORT_INDEX_INTERNAL_GPS);
  return pPort != nullptr ? static_cast<U32>(pPort->eGPSType) : 0;
}
U32 T_NMEA_u32GetExternalDataTimeout(void) {
  const NMEA_PORT_INFO *pPort = port(PORT_INDEX_EXTERNAL_GPS);
  return pPort != nullptr ? static_cast<U32>(pPort->nDataTimeout) : 0;
}
BOOLEAN T_NMEA_bHandleStatus(void) { return TRUE; }

GPSFixType T_NMEA_pFixTypeEnum(void) {
  U32 u32Mode = 0, u32PFI = 0;
  if (!fetchValidU32(FCID("IGSM"), &u32Mode) || u32Mode == 1) return GPS_FIXTYPE_NONE;
  if (!fetchValidU32(FCID("IPFI"), &u32PFI) || u32PFI == 0) return GPS_FIXTYPE_NONE;
  if (u32PFI != 1) return GPS_FIXTYPE_ENHANCED;
  if (u32Mode == 2) return GPS_FIXTYPE_2D;
  if (u32Mode == 3) return GPS_FIXTYPE_3D;
  return GPS_FIXTYPE_UNKNOWN;
}

const ARRAY_OF_STRING_PTRS *T_NMEA_pFixType(void) {
  U32 u32Mode = 0, u32PFI = 0, u32Compass = 0;
  const bool bMode = fetchValidU32(FCID("IGSM"), &u32Mode);
  if (!fetchValidU32(FCID("IPFI"), &u32PFI) || u32PFI == 0) return &kNoFix;
  if (!bMode && !fetchValidU32(FCID("GPSC"), &u32Compass)) return &kNoFix;
  if (u32PFI != 1) return &kEnhanced;
  if (bMode && u32Mode == 2) return &k2DFix;
  if (bMode && u32Mode == 3) return &k3DFix;
  return &kUnknown;
}

const ARRAY_OF_STRING_PTRS *T_NMEA_pFixTypeFromEnum(GPSFixType eFixType) {
  switch (eFixType) {
    case GPS_FIXTYPE_NONE: return &kNoFix;
    case GPS_FIXTYPE_2D: return &k2DFix;
    case GPS_FIXTYPE_3D: return &k3DFix;
    case GPS_FIXTYPE_ENHANCED: return &kEnhanced;
    case GPS_FIXTYPE_FIX: return &kFix;
    default: return &kUnknown;
  }
}

BOOLEAN T_NMEA_bUpdateLatLon(const POSITION *NewPos, U32 TimeOfPos, ITEM_PRIORITY DBWritePriority) {
  POINT tMetres;
  if (!CL_IsSuccess(nv_DegrToMeter(NewPos, &tMetres))) return FALSE;
  DB_DATA_TYPE value = {};
  value.s32Val = tMetres.y;
  writeTimed(FCID("ILAT"), value, DBWritePriority, D_POSITION_LAT_MM);
  value = {};
  value.s32Val = tMetres.x;
  writeTimed(FCID("ILON"), value, DBWritePriority, D_POSITION_LON_MM);
  s_fMagVar = dMagneticVariation(0.0, NewPos->lat, NewPos->lon, TimeOfPos);
  value = {};
  value.fVal = static_cast<float>(s_fMagVar);
  writeTimed(FCID("IMGV"), value, DBWritePriority, D_FLOAT);
  U32 u32Datum = 0;
  if (H_DATABASE_bFetchU32(FCID("SDTM"), &u32Datum, nullptr, nullptr)) {
    if (u32Datum > DATUM_Zanderij) {
      log_me("NMEA: datum %u unknown, no datum position written", static_cast<unsigned>(u32Datum));
      return TRUE;
    }
    double dLat = 0, dLon = 0;
    WGS84_2_Datum(NewPos->lat, NewPos->lon, &dLat, &dLon, static_cast<DATUM_PLANE>(u32Datum));
    value = {};
    value.fVal = static_cast<float>(dLat);
    writeTimed(FCID("ILTD"), value, DBWritePriority, D_POSITION_LAT);
    value = {};
    value.fVal = static_cast<float>(dLon);
    writeTimed(FCID("ILND"), value, DBWritePriority, D_POSITION_LON);
    // Each source fills its own buffer; a refused write leaves the published one alone.
    POSITION &pos = s_aCurPos[DBWritePriority <= P_UNOWNED ? DBWritePriority : P_UNOWNED];
    pos.lat = dLat;
    pos.lon = dLon;
    value = {};
    value.vpPointer = &pos;
    writeTimed(FCID("IPOS"), value, DBWritePriority, D_POINTER);
  }
  return TRUE;
}

namespace {
float updateHeading(BOOLEAN bCOGValid, float fCourse, float fSpeed, float fMinSpeed, ITEM_PRIORITY priority) {
  float fHeading = fCourse;
  if (!(bCOGValid && fSpeed >= fMinSpeed)) {
    float fStored = 0;
    if (H_DATABASE_bFetchFloat(FCID("IHDG"), &fStored, nullptr, nullptr)) fHeading = fStored;
  }
  DB_DATA_TYPE value = {};
  value.fVal = fHeading;
  writeTimed(FCID("IHDG"), value, priority, D_HEADING);
  return fHeading;
}
}  // namespace

float T_NMEA_fUpdateHeading(BOOLEAN bCOGValid, float fCourseOvrGnd, float fSpeedOvrGnd,
                            ITEM_PRIORITY GPSSourceWritePriority) {
  return updateHeading(bCOGValid, fCourseOvrGnd, fSpeedOvrGnd, 0.25f, GPSSourceWritePriority);
}

float T_NMEA_fUpdateHeading_RMC(BOOLEAN bCOGValid, float fCourseOvrGnd, float fSpeedOvrGnd,
                                const NMEA_PORT_INFO *pNMEAPortInfo) {
  const float fMin = pNMEAPortInfo->eSourceID == ID_EXTERNAL_GPS ? 0.09f : 0.12f;
  return updateHeading(bCOGValid, fCourseOvrGnd, fSpeedOvrGnd, fMin, pNMEAPortInfo->GPSWritePriority);
}

void T_NMEA_vCalulateMovingAvgSOGAndCOG(float fNewValue, U8 u8WindowSize, U32 u32SampleCounter, float *pfSamples,
                                        float *pfAverage) {
  if (u8WindowSize == 0) {
    *pfAverage = 0;
    return;
  }
  pfSamples[static_cast<U8>(u32SampleCounter % u8WindowSize)] = fNewValue;
  float fSum = 0;
  for (U8 i = 0; i < u8WindowSize; ++i) fSum += pfSamples[i];
  *pfAverage = fSum / u8WindowSize;
}

U32 T_NMEA_u32FrameSiRF(const U8 *pu8Payload, U32 u32Length, U8 *pu8Frame, U32 u32FrameSize) {
  if (u32Length > 0x7FFF || u32FrameSize < u32Length + 8) return 0;
  U32 u32Sum = 0;
  U32 n = 0;
  pu8Frame[n++] = 0xA0;
  pu8Frame[n++] = 0xA2;
  pu8Frame[n++] = static_cast<U8>((u32Length >> 8) & 0x7F);
  pu8Frame[n++] = static_cast<U8>(u32Length & 0xFF);
  for (U32 i = 0; i < u32Length; ++i) {
    pu8Frame[n++] = pu8Payload[i];
    u32Sum += pu8Payload[i];
  }
  pu8Frame[n++] = static_cast<U8>((u32Sum >> 8) & 0x7F);
  pu8Frame[n++] = static_cast<U8>(u32Sum & 0xFF);
  pu8Frame[n++] = 0xB0;
  pu8Frame[n++] = 0xB3;
  return n;
}

U32 T_NMEA_u32SiRFSwitchToNMEA(U32 u32BaudRate, U8 *pu8Frame, U32 u32FrameSize) {
  // Rate and checksum flag per sentence: GGA, GLL, GSA, GSV, RMC every second; VTG, MSS, EPE, ZDA off.
  const U8 au8Payload[24] = {0x81, 2,    1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 0, 1, 0, 1, 0, 1, 0, 1, 0, 0,
                             static_cast<U8>(u32BaudRate >> 8), static_cast<U8>(u32BaudRate)};
  return T_NMEA_u32FrameSiRF(au8Payload, sizeof(au8Payload), pu8Frame, u32FrameSize);
}

const SEMA *T_NMEA_pWaitListForTest(void) { return s_aWaitList; }
BOOLEAN T_NMEA_bRunningForTest(void) { return s_bRunning.load() ? TRUE : FALSE; }
S32 T_NMEA_nTimerCtrForTest(void) { return timerCtr.load(); }
BOOLEAN T_NMEA_bChannelLockedForTest(U8 u8Channel) { return s_aLocked[u8Channel].load(); }
BOOLEAN T_NMEA_bIgnoreInputForTest(void) { return s_bIgnoreInput.load(); }
U32 T_NMEA_u32TicksForTest(void) { return s_u32Ticks.load(); }
