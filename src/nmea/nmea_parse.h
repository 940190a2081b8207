// NMEA 0183 reception and parsing: the receiver that assembles checked sentences and u-blox and SiRF binary
// messages from a serial port's receive queue, the sentence parsers that write the settings store, and the output
// sentences sent on channel 0 once a second.
#pragma once
#include <string>
#include <vector>

#include "nmea/nmea_task.h"

// Drains the port's receive queue (16-bit entries, character in the low byte).
void T_NMEA_vHandleReceive(BOOLEAN bIgnoreInput, PORT_INDEX ePort);
// Feeds one queue entry to the port's receiver, as the drain does.
void T_NMEA_vReceiveEntry(NMEA_PORT_INFO *pNMEAPortInfo, PORT_INDEX ePort, U16 u16Entry);
// One sentence without its start character; "*hh" after it when it carried a checksum (already checked).
void T_NMEA_vParseSentence(PORT_INDEX ePort, const char *pcSentence);
// Latitude, hemisphere, longitude, hemisphere from the cursor on; writes the position with the priority and
// advances the cursor past the four fields. FALSE on a missing field, a bad hemisphere or a position beyond 80°.
BOOLEAN T_NMEA_bParseLatLon(char **ppSentence, ITEM_PRIORITY GPSSourceWritePriority, double *pf_ParsedLat,
                            double *pf_ParsedLon);

// Output.
void T_NMEA_vHandleTransmit(void);
// "$...*" gets its two checksum digits, CR, LF and NUL after the '*'; the buffer needs room for five more.
void T_NMEA_vAppendChecksum(char *s);
// "ddmm.mmmm,N,dddmm.mmmm,E," from degrees.
void T_NMEA_vPrintPosition(POSITION pos, char *string);

// Tests: forget the parsers' averages and sources; the output rotation step; sentences parsed (when recording).
void T_NMEA_vResetParsersForTest(void);
S32 T_NMEA_nOutputStepForTest(void);
U32 T_NMEA_u32OutputCallsForTest(void);
// While capturing, output sentences are kept for the test instead of going to the channel.
void T_NMEA_vCaptureOutputForTest(BOOLEAN bOn);
std::string T_NMEA_sTakeOutputForTest(void);
void T_NMEA_vRecordParsedForTest(BOOLEAN bOn);
std::vector<std::string> T_NMEA_asTakeParsedForTest(void);
