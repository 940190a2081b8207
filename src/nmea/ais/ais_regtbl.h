// The table of Maritime Identification Digits: MID, ITU country symbol, English name.
#pragma once
#include <cstdint>

typedef struct {
  int32_t nMID;
  char acCode[10];
  char acName[30];
} AIS_REG_ROW;

extern const AIS_REG_ROW regTable[];
extern const unsigned regTableRows;

// The name of the flag state of an MMSI ("UnKnown" when its MID is not listed); the first three characters of
// the MMSI written in decimal are its MID, so a short MMSI uses its first three significant digits.
const char *GetRegInfoFromMMSI(int nMMSI);
