#include "nmea/nmea_standin.h"

#include <cstdio>
#include <mutex>

#include "kernel/queue.h"

namespace {

std::mutex s_lock;
std::vector<std::string> s_asCalls;

void record(const char *pcFormat, long nA = 0, long nB = 0) {
  char acText[64];
  std::snprintf(acText, sizeof(acText), pcFormat, nA, nB);
  std::lock_guard<std::mutex> guard(s_lock);
  s_asCalls.emplace_back(acText);
}

}  // namespace

void T_NMEA_vHandleReceive(BOOLEAN, PORT_INDEX ePort) {
  const NMEA_PORT_INFO *pPort = T_NMEA_pGetPortInfo(static_cast<GPS_SOURCE_ID>(
      ePort == PORT_INDEX_EXTERNAL_GPS ? ID_EXTERNAL_GPS
      : ePort == PORT_INDEX_EXTERNAL_AIS ? ID_EXTERNAL_AIS
                                          : ID_EXTERNAL_AIS2));
  if (pPort == nullptr || pPort->pSerialInfo == nullptr) return;
  U16 u16Entry;
  long nCount = 0;
  while (L_QUEUE_Get(pPort->pSerialInfo->RxDataQueue, &u16Entry) == 0) ++nCount;
  record("receive %ld %ld", ePort, nCount);
}

void T_NMEA_vParseSentence(PORT_INDEX ePort, const char *pcSentence) {
  std::lock_guard<std::mutex> guard(s_lock);
  s_asCalls.push_back("parse " + std::to_string(ePort) + " " + pcSentence);
}

void T_NMEA_vRunPortState(PORT_INDEX ePort) { record("state %ld", ePort); }
void T_NMEA_vGPSDetected(PORT_INDEX ePort) { record("detected %ld", ePort); }
void T_NMEA_vSetupSentences(PORT_INDEX ePort, S32 eView) { record("sentences %ld %ld", ePort, eView); }
void T_NMEA_vTransmitUBloxInitialization(PORT_INDEX ePort, NMEA_RESET eReset) { record("ublox %ld %ld", ePort, eReset); }
void T_NMEA_vTransmitNavmanInitialization(PORT_INDEX ePort, NMEA_RESET eReset) { record("navman %ld %ld", ePort, eReset); }
void T_NMEA_vHandleTransmit(void) { record("transmit"); }
void T_NMEA_vHandleCompassMessage(GENERIC_MESSAGE *pMsg) { record("compass %ld", pMsg->Cmd); }
void T_NMEA_vHandleNetworkMessage(GENERIC_MESSAGE *pMsg) { record("network %ld", pMsg->Cmd); }
void T_NMEA_vSetupNetwork(void) { record("network set-up"); }
void T_NMEA_vTellServersDiagnosticView(BOOLEAN bShowing) { record("diagnostic view shown %ld", bShowing); }
void T_NMEA_vUnregisterNetworkServer(void) { record("network unregister"); }
void T_NMEA_vRegisterDiagnosticView(void) { record("diagnostic view registered"); }
void ais_InitStruct(void) { record("ais pool"); }

std::vector<std::string> NMEA_STANDIN_vTake(void) {
  std::lock_guard<std::mutex> guard(s_lock);
  std::vector<std::string> asCalls;
  asCalls.swap(s_asCalls);
  return asCalls;
}
