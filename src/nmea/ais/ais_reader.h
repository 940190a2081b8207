// Reads AIS messages out of the armoured payload text: each field straight from the characters, six bits a
// character, most significant bit first.
#pragma once
#include <cstdint>

#include "nmea/ais/ais_message.h"

typedef enum {
  AIS_BLOB_OK = 0,
  AIS_BLOB_UNSUPPORTED = 1,  // a message number without a decoder: not an error
  AIS_BLOB_SHORT = 2,        // fewer bits than the fields of its message
  AIS_BLOB_NO_MEMORY = 3,
} AIS_BLOB_RESULT;

class AISReader {
 public:
  // The message of the payload, or null (the reason in *peResult). nBits: the payload's bits after the fill bits
  // are taken off; the message must reach to its last field.
  static AISMessage *ReadAISBlob(const char *pcPayload, unsigned nBits, AIS_BLOB_RESULT *peResult = nullptr);

  // Value of one character (armouring removed).
  static unsigned Read6BitValue(char c);
  static uint32_t ReadUnsigned(const char *pcPayload, unsigned nStart, unsigned nWidth);
  static long ReadSigned(const char *pcPayload, unsigned nStart, unsigned nWidth);
  static char Read6BitChar(const char *pcPayload, unsigned nStart);
  // nCount characters from nStart, ending at the first '@'; the output holds nCount + 1 bytes.
  static void Read6BitString(const char *pcPayload, unsigned nStart, unsigned nCount, char *pcOut);

  static uint32_t ReadMMSI(const char *p) { return ReadUnsigned(p, 8, 30); }
  static unsigned ReadRot(const char *p) { return ReadUnsigned(p, 42, 8); }
  static unsigned ReadSog(const char *p, unsigned nStart) { return ReadUnsigned(p, nStart, 10); }
  static long ReadLongitude(const char *p, unsigned nStart) { return ReadSigned(p, nStart, 28); }
  static long ReadLatitude(const char *p, unsigned nStart) { return ReadSigned(p, nStart, 27); }
  static unsigned ReadCourseOverGround(const char *p, unsigned nStart) { return ReadUnsigned(p, nStart, 12); }
  static unsigned ReadTrueHeading(const char *p, unsigned nStart) { return ReadUnsigned(p, nStart, 9); }
  static unsigned ReadTimeStamp(const char *p, unsigned nStart) { return ReadUnsigned(p, nStart, 6); }
  static uint32_t ReadImoNumber(const char *p) { return ReadUnsigned(p, 40, 30); }
  static unsigned ReadShipType(const char *p, unsigned nStart) { return ReadUnsigned(p, nStart, 8); }
  static uint32_t ReadDimensionReference(const char *p, unsigned nStart) { return ReadUnsigned(p, nStart, 30); }
  static uint32_t ReadEta(const char *p) { return ReadUnsigned(p, 274, 20); }
  static unsigned ReadMaxDraught(const char *p) { return ReadUnsigned(p, 294, 8); }
  static unsigned ReadAltitude(const char *p) { return ReadUnsigned(p, 38, 12); }

 private:
  static void ReadClassA(const char *p, AISClassAPositionReport *pMsg);
  static void ReadClassAStatic(const char *p, AISClassAExtendedPositionReport *pMsg);
  static void ReadAircraft(const char *p, AISAircraftPositionReport *pMsg);
  static void ReadClassB(const char *p, AISClassBPositionReport *pMsg);
  static void ReadClassBExtended(const char *p, AISClassBExtendedPositionReport *pMsg);
  static void ReadStaticData(const char *p, AISClassBExtendedPositionReport *pMsg);
};
