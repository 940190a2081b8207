// Stand-ins of the NMEA task's later modules (sentence parsing, receiver detection and set-up, output, compass
// sentences, the diagnostic view, the AIS pool and GPS sharing). Each records its call and does nothing else;
// the receive stand-in only empties the channel's queue, so the queue never fills.
#pragma once
#include <string>
#include <vector>

#include "nmea/nmea_task.h"

void T_NMEA_vHandleReceive(BOOLEAN bIgnoreInput, PORT_INDEX ePort);
void T_NMEA_vParseSentence(PORT_INDEX ePort, const char *pcSentence);
void T_NMEA_vRunPortState(PORT_INDEX ePort);
void T_NMEA_vGPSDetected(PORT_INDEX ePort);
void T_NMEA_vSetupSentences(PORT_INDEX ePort, S32 eView);
void T_NMEA_vTransmitUBloxInitialization(PORT_INDEX ePort, NMEA_RESET eNMEAReset);
void T_NMEA_vTransmitNavmanInitialization(PORT_INDEX ePort, NMEA_RESET eNMEAReset);
void T_NMEA_vHandleTransmit(void);
void T_NMEA_vHandleCompassMessage(GENERIC_MESSAGE *pMsg);
void T_NMEA_vHandleNetworkMessage(GENERIC_MESSAGE *pMsg);
void T_NMEA_vSetupNetwork(void);
void T_NMEA_vTellServersDiagnosticView(BOOLEAN bShowing);
void T_NMEA_vUnregisterNetworkServer(void);
void T_NMEA_vRegisterDiagnosticView(void);
void ais_InitStruct(void);

// Tests: takes the calls recorded so far, one text each ("parse 8 NMGGA,...", "transmit", ...).
std::vector<std::string> NMEA_STANDIN_vTake(void);
