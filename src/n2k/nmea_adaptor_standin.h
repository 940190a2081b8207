// Stand-in of the NMEA 2000 GPS adaptor until the NMEA 2000 gauges exist: records the values handed over and
// reports the satellite texts a test sets (none by default).
#pragma once
#include <string>
#include <vector>

#include "settings/database.h"
#include "corvan/types.h"

// The NMEA 2000 data items the NMEA task hands over.
enum : U32 {
  N2K_DATA_LOCAL_TIME = 1,
  N2K_DATA_COG_TRUE = 2,
  N2K_DATA_SOG_GPS = 3,
  N2K_DATA_LOCAL_DATE = 4,
  N2K_DATA_POSITION = 5,
  N2K_DATA_ALTITUDE = 6,
};

constexpr U32 N2K_SENTENCE_TEXT = 96;  // characters of one synthesised sentence text

void U_NMEA_Adaptor_vDataAdapt(BOOLEAN bToNMEA2k, U32 u32DataId, FOURCHARID FourCharId, DB_DATA_TYPE dbValue);
BOOLEAN U_NMEA_Adaptor_bFetchSatellites(char *pcGSA, char (*pacGSV)[N2K_SENTENCE_TEXT]);
// TRUE when the NMEA 2000 GPS is the selected source on the NMEA 2000 side (FALSE unless a test sets it).
BOOLEAN U_NMEA_Adaptor_bNMEA2kGPSSelected(void);
void N2K_STANDIN_vSetGPSSelected(BOOLEAN bSelected);

// Tests.
typedef struct {
  BOOLEAN bToNMEA2k;
  U32 u32DataId;
  FOURCHARID FourCharId;
  DB_DATA_TYPE dbValue;
} N2K_ADAPT_RECORD;
std::vector<N2K_ADAPT_RECORD> N2K_STANDIN_vTakeAdapted(void);
// An empty GSA text gives FALSE.
void N2K_STANDIN_vSetSatellites(const std::string &sGSA, const std::vector<std::string> &asGSV);
