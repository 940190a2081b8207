// Decoded AIS messages (raw field values as read from the payload) and the decoders of the packed fields.
#pragma once
#include <cstdint>

// Base of every message; objects come from H_MEMORY_pvMalloc and go through AIS_vDeleteMessage.
class AISMessage {
 public:
  AISMessage(unsigned nType, unsigned nRepeat) : m_nMessageType(nType), m_nRepeatIndicator(nRepeat) {}
  virtual ~AISMessage() = default;
  unsigned m_nMessageType;
  unsigned m_nRepeatIndicator;
  unsigned m_nPartNumber = 0;  // message 24: 0 part A, 1 part B
};

// Messages 1, 2 and 3.
class AISClassAPositionReport : public AISMessage {
 public:
  using AISMessage::AISMessage;
  uint32_t m_nMMSI = 0;
  unsigned m_nNavStatus = 0;
  unsigned m_nRot = 0;  // 8 bits as sent
  unsigned m_nSog = 0;
  unsigned m_nPosAccuracy = 0;
  long m_nLongitude = 0;  // 1/10000 minute
  long m_nLatitude = 0;
  unsigned m_nCog = 0;
  unsigned m_nTrueHeading = 0;
  unsigned m_nTimeStamp = 0;
  unsigned m_nManoeuvre = 0;
  unsigned m_nSpare = 0;
  unsigned m_nRaim = 0;
  uint32_t m_nCommState = 0;
};

// Message 5.
class AISClassAExtendedPositionReport : public AISMessage {
 public:
  using AISMessage::AISMessage;
  uint32_t m_nMMSI = 0;
  unsigned m_nAisVersion = 0;
  uint32_t m_nImo = 0;
  char m_acCallSign[8] = {};
  char m_acName[21] = {};
  unsigned m_nShipType = 0;
  uint32_t m_nDimension = 0;  // 30 bits
  unsigned m_nPosDevice = 0;
  uint32_t m_nEta = 0;  // 20 bits
  unsigned m_nDraught = 0;
  char m_acDestination[21] = {};
  unsigned m_nDte = 0;
  unsigned m_nSpare = 0;
};

// Message 9.
class AISAircraftPositionReport : public AISMessage {
 public:
  using AISMessage::AISMessage;
  uint32_t m_nMMSI = 0;
  unsigned m_nAltitude = 0;
  unsigned m_nSog = 0;  // whole knots
  unsigned m_nPosAccuracy = 0;
  long m_nLongitude = 0;
  long m_nLatitude = 0;
  unsigned m_nCog = 0;
  unsigned m_nTimeStamp = 0;
  unsigned m_nRegional = 0;
  unsigned m_nDte = 0;
  unsigned m_nAssigned = 0;
  unsigned m_nRaim = 0;
  uint32_t m_nCommState = 0;
};

// Message 18.
class AISClassBPositionReport : public AISMessage {
 public:
  using AISMessage::AISMessage;
  uint32_t m_nMMSI = 0;
  unsigned m_nRegional = 0;
  unsigned m_nSog = 0;
  unsigned m_nPosAccuracy = 0;
  long m_nLongitude = 0;
  long m_nLatitude = 0;
  unsigned m_nCog = 0;
  unsigned m_nTrueHeading = 0;
  unsigned m_nTimeStamp = 0;
  unsigned m_nClassBFlags = 0;
  unsigned m_nRaim = 0;
  unsigned m_nCommStateSelector = 0;
  uint32_t m_nCommState = 0;
};

// Messages 19 and 24 (24 fills only the static fields of its part).
class AISClassBExtendedPositionReport : public AISMessage {
 public:
  using AISMessage::AISMessage;
  uint32_t m_nMMSI = 0;
  char m_acName[21] = {};
  char m_acCallSign[8] = {};
  unsigned m_nSog = 0;
  unsigned m_nPosAccuracy = 0;
  long m_nLongitude = 0;
  long m_nLatitude = 0;
  unsigned m_nCog = 0;
  unsigned m_nTrueHeading = 0;
  unsigned m_nTimeStamp = 0;
  unsigned m_nShipType = 0;
  uint32_t m_nDimension = 0;
  unsigned m_nPosDevice = 0;
  unsigned m_nRaim = 0;
  unsigned m_nDte = 0;
  unsigned m_nAssigned = 0;
};

// Runs the destructor and gives the block back; null is ignored.
void AIS_vDeleteMessage(AISMessage *pMessage);

// A position in 1/10000 minute split into sign, whole degrees and minutes.
class DmDecoder {
 public:
  void Init(long nValue);
  double Degrees() const { return m_bPositive ? m_nDegrees + m_dMinutes / 60.0 : -(m_nDegrees + m_dMinutes / 60.0); }
  bool m_bPositive = false;
  long m_nDegrees = 0;
  double m_dMinutes = 0.0;
};

// The 20-bit ETA word: month, day, hour, minute.
class ETADecoder {
 public:
  void Init(long nValue);
  unsigned m_nMonth = 0;
  unsigned m_nDay = 0;
  unsigned m_nHour = 0;
  unsigned m_nMinute = 0;
};

// The 30-bit dimension word: metres to bow, stern, port and starboard.
class PosDimDecoder {
 public:
  void Init(long nValue);
  unsigned m_nA = 0;
  unsigned m_nB = 0;
  unsigned m_nC = 0;
  unsigned m_nD = 0;
};
