// Stand-ins of the NMEA task's later modules (receiver detection and set-up, compass
// sentences, the diagnostic view and GPS sharing). Each records its call and does nothing else;
// 
#pragma once
#include <string>
#include <vector>

#include "nmea/nmea_task.h"

void T_NMEA_vRunPortState(PORT_INDEX ePort);
void T_NMEA_vGPSDetected(PORT_INDEX ePort);
void T_NMEA_vSetupSentences(PORT_INDEX ePort, S32 eView);
void T_NMEA_vTransmitUBloxInitialization(PORT_INDEX ePort, NMEA_RESET eNMEAReset);
void T_NMEA_vTransmitNavmanInitialization(PORT_INDEX ePort, NMEA_RESET eNMEAReset);
void T_NMEA_vHandleCompassMessage(GENERIC_MESSAGE *pMsg);
void T_NMEA_vHandleNetworkMessage(GENERIC_MESSAGE *pMsg);
void T_NMEA_vSetupNetwork(void);
void T_NMEA_vTellServersDiagnosticView(BOOLEAN bShowing);
void T_NMEA_vUnregisterNetworkServer(void);
void T_NMEA_vRegisterDiagnosticView(void);
// Receiver re-initialisation, switching a SiRF receiver to NMEA, GPS sharing, compass and remote-control sentences.
void T_NMEA_vInitializeGPS(PORT_INDEX ePort, NMEA_RESET eReset);
void T_NMEA_vSwitchSiRFToNMEA(PORT_INDEX ePort);
BOOLEAN T_NMEA_bSendToNetworkDestinations(const char *pcSentence);
void T_NMEA_vHandleRemoteSentence(PORT_INDEX ePort, const char *pcSentence);
void T_NMEA_vParseCompassSentence(PORT_INDEX ePort, const char *pcSentence);

// Tests: takes the calls recorded so far, one text each ("detected 2", "share GPGGA,...", ...).
std::vector<std::string> NMEA_STANDIN_vTake(void);
