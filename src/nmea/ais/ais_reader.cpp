#include "nmea/ais/ais_reader.h"

#include <cstring>
#include <new>

#include "kernel/memory.h"

namespace {

// Bits each message reads (message 24: part A, part B; parts 2 and 3 read only the part number).
unsigned bitsNeeded(unsigned nType, unsigned nPart) {
  switch (nType) {
    case 1: case 2: case 3: return 168;
    case 5: return 424;
    case 9: return 168;
    case 18: return 168;
    case 19: return 312;
    case 24: return nPart == 0 ? 160 : nPart == 1 ? 162 : 40;
    default: return 0;
  }
}

template <typename T>
T *newMessage(unsigned nType, unsigned nRepeat) {
  void *pv = H_MEMORY_pvMalloc(sizeof(T));
  return pv != nullptr ? new (pv) T(nType, nRepeat) : nullptr;
}

// SOG, accuracy, longitude, latitude and COG stand together in every position report.
template <typename M>
void readMotion(const char *p, unsigned nStart, M *m) {
  m->m_nSog = AISReader::ReadSog(p, nStart);
  m->m_nPosAccuracy = AISReader::ReadUnsigned(p, nStart + 10, 1);
  m->m_nLongitude = AISReader::ReadLongitude(p, nStart + 11);
  m->m_nLatitude = AISReader::ReadLatitude(p, nStart + 39);
  m->m_nCog = AISReader::ReadCourseOverGround(p, nStart + 66);
}

}  // namespace

unsigned AISReader::Read6BitValue(char c) {
  const unsigned u = static_cast<unsigned char>(c);
  if (u >= 48 && u <= 87) return u - 48;
  if (u >= 96 && u <= 119) return u - 56;
  // Outside the armouring: the same arithmetic, kept to six bits.
  return (u - 48) & 0x3F;
}

uint32_t AISReader::ReadUnsigned(const char *pcPayload, unsigned nStart, unsigned nWidth) {
  uint32_t u32Value = 0;
  unsigned nBit = nStart;
  const unsigned nEnd = nStart + nWidth;
  while (nBit < nEnd) {
    const unsigned nChar = nBit / 6;
    const unsigned nOffset = nBit % 6;  // bits of this character already passed
    unsigned nTake = 6 - nOffset;
    if (nTake > nEnd - nBit) nTake = nEnd - nBit;
    const unsigned nValue = Read6BitValue(pcPayload[nChar]);
    const unsigned nPart = (nValue >> (6 - nOffset - nTake)) & ((1u << nTake) - 1);
    u32Value = (u32Value << nTake) | nPart;
    nBit += nTake;
  }
  return u32Value;
}

long AISReader::ReadSigned(const char *pcPayload, unsigned nStart, unsigned nWidth) {
  const uint32_t u32Raw = ReadUnsigned(pcPayload, nStart, nWidth);
  const uint32_t u32Sign = 1u << (nWidth - 1);
  return static_cast<long>(static_cast<int64_t>(u32Raw ^ u32Sign) - static_cast<int64_t>(u32Sign));
}

char AISReader::Read6BitChar(const char *pcPayload, unsigned nStart) {
  const unsigned v = ReadUnsigned(pcPayload, nStart, 6);
  return static_cast<char>(v < 32 ? v + 64 : v);
}

void AISReader::Read6BitString(const char *pcPayload, unsigned nStart, unsigned nCount, char *pcOut) {
  unsigned i = 0;
  for (; i < nCount; ++i) {
    const char c = Read6BitChar(pcPayload, nStart + 6 * i);
    if (c == '@') break;
    pcOut[i] = c;
  }
  pcOut[i] = '\0';
}

void AISReader::ReadClassA(const char *p, AISClassAPositionReport *m) {
  m->m_nMMSI = ReadMMSI(p);
  m->m_nNavStatus = ReadUnsigned(p, 38, 4);
  m->m_nRot = ReadRot(p);
  readMotion(p, 50, m);
  m->m_nTrueHeading = ReadTrueHeading(p, 128);
  m->m_nTimeStamp = ReadTimeStamp(p, 137);
  m->m_nManoeuvre = ReadUnsigned(p, 143, 2);
  m->m_nSpare = ReadUnsigned(p, 145, 3);
  m->m_nRaim = ReadUnsigned(p, 148, 1);
  m->m_nCommState = ReadUnsigned(p, 149, 19);
}

void AISReader::ReadClassAStatic(const char *p, AISClassAExtendedPositionReport *m) {
  m->m_nMMSI = ReadMMSI(p);
  m->m_nAisVersion = ReadUnsigned(p, 38, 2);
  m->m_nImo = ReadImoNumber(p);
  Read6BitString(p, 70, 7, m->m_acCallSign);
  Read6BitString(p, 112, 20, m->m_acName);
  m->m_nShipType = ReadShipType(p, 232);
  m->m_nDimension = ReadDimensionReference(p, 240);
  m->m_nPosDevice = ReadUnsigned(p, 270, 4);
  m->m_nEta = ReadEta(p);
  m->m_nDraught = ReadMaxDraught(p);
  Read6BitString(p, 302, 20, m->m_acDestination);
  m->m_nDte = ReadUnsigned(p, 422, 1);
  m->m_nSpare = ReadUnsigned(p, 423, 1);
}

void AISReader::ReadAircraft(const char *p, AISAircraftPositionReport *m) {
  m->m_nMMSI = ReadMMSI(p);
  m->m_nAltitude = ReadAltitude(p);
  readMotion(p, 50, m);
  m->m_nTimeStamp = ReadTimeStamp(p, 128);
  m->m_nRegional = ReadUnsigned(p, 134, 8);
  m->m_nDte = ReadUnsigned(p, 142, 1);
  m->m_nAssigned = ReadUnsigned(p, 146, 1);
  m->m_nRaim = ReadUnsigned(p, 147, 1);
  m->m_nCommState = ReadUnsigned(p, 148, 20);
}

void AISReader::ReadClassB(const char *p, AISClassBPositionReport *m) {
  m->m_nMMSI = ReadMMSI(p);
  m->m_nRegional = ReadUnsigned(p, 38, 8);
  readMotion(p, 46, m);
  m->m_nTrueHeading = ReadTrueHeading(p, 124);
  m->m_nTimeStamp = ReadTimeStamp(p, 133);
  m->m_nClassBFlags = ReadUnsigned(p, 139, 8);  // regional 2, unit, display, DSC, band, message 22, assigned
  m->m_nRaim = ReadUnsigned(p, 147, 1);
  m->m_nCommStateSelector = ReadUnsigned(p, 148, 1);
  m->m_nCommState = ReadUnsigned(p, 149, 19);
}

void AISReader::ReadClassBExtended(const char *p, AISClassBExtendedPositionReport *m) {
  m->m_nMMSI = ReadMMSI(p);
  readMotion(p, 46, m);
  m->m_nTrueHeading = ReadTrueHeading(p, 124);
  m->m_nTimeStamp = ReadTimeStamp(p, 133);
  Read6BitString(p, 143, 20, m->m_acName);
  m->m_nShipType = ReadShipType(p, 263);
  m->m_nDimension = ReadDimensionReference(p, 271);
  m->m_nPosDevice = ReadUnsigned(p, 301, 4);
  m->m_nRaim = ReadUnsigned(p, 305, 1);
  m->m_nDte = ReadUnsigned(p, 306, 1);
  m->m_nAssigned = ReadUnsigned(p, 307, 1);
}

void AISReader::ReadStaticData(const char *p, AISClassBExtendedPositionReport *m) {
  m->m_nMMSI = ReadMMSI(p);
  m->m_nPartNumber = ReadUnsigned(p, 38, 2);
  if (m->m_nPartNumber == 0) {
    Read6BitString(p, 40, 20, m->m_acName);
  } else if (m->m_nPartNumber == 1) {
    m->m_nShipType = ReadShipType(p, 40);
    Read6BitString(p, 90, 7, m->m_acCallSign);
    m->m_nDimension = ReadDimensionReference(p, 132);
  }
}

AISMessage *AISReader::ReadAISBlob(const char *pcPayload, unsigned nBits, AIS_BLOB_RESULT *peResult) {
  AIS_BLOB_RESULT eDummy;
  AIS_BLOB_RESULT &eResult = peResult != nullptr ? *peResult : eDummy;
  eResult = AIS_BLOB_UNSUPPORTED;
  if (pcPayload == nullptr || pcPayload[0] == '\0') {
    eResult = AIS_BLOB_SHORT;
    return nullptr;
  }
  // The bits a message reads must lie inside the payload text as well as inside the bit count given.
  const unsigned nTextBits = 6 * static_cast<unsigned>(std::strlen(pcPayload));
  if (nBits > nTextBits) nBits = nTextBits;
  const unsigned nType = ReadUnsigned(pcPayload, 0, 6);
  const unsigned nRepeat = nBits >= 8 ? ReadUnsigned(pcPayload, 6, 2) : 0;
  const unsigned nPart = nType == 24 && nBits >= 40 ? ReadUnsigned(pcPayload, 38, 2) : 0;
  const unsigned nNeeded = bitsNeeded(nType, nPart);
  if (nNeeded == 0) return nullptr;
  if (nBits < nNeeded) {
    eResult = AIS_BLOB_SHORT;
    return nullptr;
  }
  AISMessage *pMsg = nullptr;
  switch (nType) {
    case 1: case 2: case 3:
      if (auto *m = newMessage<AISClassAPositionReport>(nType, nRepeat)) ReadClassA(pcPayload, m), pMsg = m;
      break;
    case 5:
      if (auto *m = newMessage<AISClassAExtendedPositionReport>(nType, nRepeat)) ReadClassAStatic(pcPayload, m), pMsg = m;
      break;
    case 9:
      if (auto *m = newMessage<AISAircraftPositionReport>(nType, nRepeat)) ReadAircraft(pcPayload, m), pMsg = m;
      break;
    case 18:
      if (auto *m = newMessage<AISClassBPositionReport>(nType, nRepeat)) ReadClassB(pcPayload, m), pMsg = m;
      break;
    case 19:
      if (auto *m = newMessage<AISClassBExtendedPositionReport>(nType, nRepeat)) ReadClassBExtended(pcPayload, m), pMsg = m;
      break;
    case 24:
      if (auto *m = newMessage<AISClassBExtendedPositionReport>(nType, nRepeat)) ReadStaticData(pcPayload, m), pMsg = m;
      break;
    default: break;
  }
  eResult = pMsg != nullptr ? AIS_BLOB_OK : AIS_BLOB_NO_MEMORY;
  return pMsg;
}
