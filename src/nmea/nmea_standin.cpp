#include "nmea/nmea_standin.h"

#include <cstdio>
#include <mutex>


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

void T_NMEA_vRunPortState(PORT_INDEX ePort) { record("state %ld", ePort); }
void T_NMEA_vGPSDetected(PORT_INDEX ePort) { record("detected %ld", ePort); }
void T_NMEA_vSetupSentences(PORT_INDEX ePort, S32 eView) { record("sentences %ld %ld", ePort, eView); }
void T_NMEA_vTransmitUBloxInitialization(PORT_INDEX ePort, NMEA_RESET eReset) { record("ublox %ld %ld", ePort, eReset); }
void T_NMEA_vTransmitNavmanInitialization(PORT_INDEX ePort, NMEA_RESET eReset) { record("navman %ld %ld", ePort, eReset); }
void T_NMEA_vHandleCompassMessage(GENERIC_MESSAGE *pMsg) { record("compass %ld", pMsg->Cmd); }
void T_NMEA_vHandleNetworkMessage(GENERIC_MESSAGE *pMsg) { record("network %ld", pMsg->Cmd); }
void T_NMEA_vSetupNetwork(void) { record("network set-up"); }
void T_NMEA_vTellServersDiagnosticView(BOOLEAN bShowing) { record("diagnostic view shown %ld", bShowing); }
void T_NMEA_vUnregisterNetworkServer(void) { record("network unregister"); }
void T_NMEA_vRegisterDiagnosticView(void) { record("diagnostic view registered"); }
void T_NMEA_vInitializeGPS(PORT_INDEX ePort, NMEA_RESET eReset) { record("initialize %ld %ld", ePort, eReset); }
void T_NMEA_vSwitchSiRFToNMEA(PORT_INDEX ePort) { record("sirf to nmea %ld", ePort); }

namespace {
void recordText(const char *pcWhat, long nPort, const char *pcText) {
  std::lock_guard<std::mutex> guard(s_lock);
  s_asCalls.push_back(std::string(pcWhat) + (nPort >= 0 ? " " + std::to_string(nPort) : std::string()) + " " + pcText);
}
}  // namespace

BOOLEAN T_NMEA_bSendToNetworkDestinations(const char *pcSentence) {
  recordText("share", -1, pcSentence);
  return TRUE;
}
void T_NMEA_vHandleRemoteSentence(PORT_INDEX ePort, const char *pcSentence) { recordText("remote", ePort, pcSentence); }
void T_NMEA_vParseCompassSentence(PORT_INDEX ePort, const char *pcSentence) { recordText("compass", ePort, pcSentence); }

std::vector<std::string> NMEA_STANDIN_vTake(void) {
  std::lock_guard<std::mutex> guard(s_lock);
  std::vector<std::string> asCalls;
  asCalls.swap(s_asCalls);
  return asCalls;
}
