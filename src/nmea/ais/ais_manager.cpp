#include "nmea/ais/ais_manager.h"

#include <cctype>
#include <cstring>
#include <initializer_list>

#include "kernel/log.h"
#include "nmea/ais/ais_reader.h"

namespace ais_manager {

const aisStringRow aisString[4] = {
    {AIS_CODE_ABM, "ABM"}, {AIS_CODE_BBM, "BBM"}, {AIS_CODE_VDM, "VDM"}, {AIS_CODE_VDO, "VDO"}};

namespace {

constexpr unsigned kMaskTotal = 0x01, kMaskNumber = 0x02, kMaskSequence = 0x04, kMaskChannel = 0x08;
constexpr unsigned kMaskAssembly = 0x10;

bool decodedMessage(unsigned nMsg) {
  switch (nMsg) {
    case 1: case 2: case 3: case 5: case 9: case 18: case 19: case 24: return true;
    default: return false;
  }
}

// Clears the text and copies up to NUL, CR or LF, at most nLimit characters; true when one of them is not '@'.
bool copyText(UCHAR *pDest, size_t szDest, const char *pcSource, unsigned nLimit) {
  std::memset(pDest, 0, szDest);
  bool bAny = false;
  for (unsigned i = 0; i < nLimit && i + 1 < szDest; ++i) {
    const char c = pcSource[i];
    if (c == '\0' || c == '\r' || c == '\n') break;
    pDest[i] = static_cast<UCHAR>(c);
    if (c != '@') bAny = true;
  }
  return bAny;
}

int hexValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  return -1;
}

}  // namespace

ERRORCODE setMMSI_LastMsg(aisTargetINFO &info, unsigned long nMMSI, unsigned nMsg) {
  info.MMSI = static_cast<ULONG>(nMMSI);
  info.validityFlag[MMSI_FLAG_INDEX] = TRUE;
  info.LastMsg = static_cast<UCHAR>(nMsg);
  if (decodedMessage(nMsg)) {
    info.validityFlag[LASTMSG_FLAG_INDEX] = TRUE;
    return AIS_SUCCESS;
  }
  info.validityFlag[LASTMSG_FLAG_INDEX] = FALSE;
  return AIS_WARN_MALFORMED;
}

void setNavStatus_Rot(aisTargetINFO &info, unsigned nStatus, unsigned nRot) {
  if (nStatus <= 15) {
    info.NavStatus = static_cast<enNavStatus>(nStatus);
    info.validityFlag[NAVSTATUS_FLAG_INDEX] = TRUE;
  } else {
    info.NavStatus = NAV_STATUS_NOT_DEFINED;
    info.validityFlag[NAVSTATUS_FLAG_INDEX] = FALSE;
  }
  // Port turns and "not available" (128 to 255) carry no value.
  if (nRot == 127) {
    info.Rot.Value = 5.0;
    info.Rot.Right = TRUE;
  } else if (nRot < 127) {
    info.Rot.Value = nRot * 5.574803149606299;
    info.Rot.Right = TRUE;
  } else {
    info.Rot.Value = 0.0;
    info.Rot.Right = FALSE;
  }
  info.validityFlag[ROT_FLAG_INDEX] = TRUE;
}

void setSog_PosAccuracy_Cog(aisTargetINFO &info, unsigned nSog, unsigned nAccuracy, unsigned nCog, bool bWholeKnots) {
  if (nSog == 1023) {
    info.validityFlag[SOG_FLAG_INDEX] = FALSE;
  } else {
    info.Sog = bWholeKnots ? nSog : nSog * 0.1;
    info.validityFlag[SOG_FLAG_INDEX] = TRUE;
  }
  info.PosAccuracy = static_cast<enPosAccuracy>(nAccuracy & 1);
  info.validityFlag[POSACC_FLAG_INDEX] = TRUE;
  // 3600 is "not available"; larger values are not used either.
  if (nCog >= 3600) {
    info.validityFlag[COG_FLAG_INDEX] = FALSE;
  } else {
    info.Cog = nCog * 0.1;
    info.validityFlag[COG_FLAG_INDEX] = TRUE;
  }
}

void setShipPosition(aisTargetINFO &info, long nLatitude, long nLongitude) {
  if (nLatitude == 54600000 || nLongitude == 108600000) {
    info.validityFlag[SHIPPOS_FLAG_INDEX] = FALSE;
    return;
  }
  DmDecoder lat, lon;
  lat.Init(nLatitude);
  lon.Init(nLongitude);
  info.Latitude = lat.Degrees();
  info.Longitude = lon.Degrees();
  info.validityFlag[SHIPPOS_FLAG_INDEX] =
      info.Latitude >= -90.0 && info.Latitude <= 90.0 && info.Longitude >= -180.0 && info.Longitude <= 180.0;
}

void setTrueHeading(aisTargetINFO &info, unsigned nHeading) {
  info.validityFlag[TRUEHEAD_FLAG_INDEX] = nHeading < 360;
  if (nHeading < 360) info.TrueHeading = nHeading;
}

void setUTCSec(aisTargetINFO &info, unsigned nSecond) {
  info.validityFlag[UTCSEC_FLAG_INDEX] = nSecond < 60;
  if (nSecond < 60) info.TimeStamp_UTCsec = static_cast<UCHAR>(nSecond);
}

void setAltitude(aisTargetINFO &info, unsigned nAltitude) {
  info.validityFlag[ALTITUDE_FLAG_INDEX] = nAltitude < 4095;
  if (nAltitude < 4095) info.Altitude = nAltitude;
}

void setName(aisTargetINFO &info, const char *pcName) {
  info.validityFlag[NAME_FLAG_INDEX] = copyText(info.Name, sizeof(info.Name), pcName, 20);
}

void setCallSign(aisTargetINFO &info, const char *pcCallSign) {
  info.validityFlag[CALLSIGN_FLAG_INDEX] = copyText(info.CallSign, sizeof(info.CallSign), pcCallSign, 7);
}

void setCallSign_Destination(aisTargetINFO &info, const char *pcCallSign, const char *pcDestination) {
  setCallSign(info, pcCallSign);
  info.validityFlag[DEST_FLAG_INDEX] = copyText(info.Destination, sizeof(info.Destination), pcDestination, 20);
}

void setType_Dimension(aisTargetINFO &info, unsigned nType, unsigned long nDimension) {
  if (nType >= 1 && nType <= 99) {
    info.ShipType = static_cast<UCHAR>(nType);
    info.validityFlag[SHIPTYPE_FLAG_INDEX] = TRUE;
  } else {
    info.validityFlag[SHIPTYPE_FLAG_INDEX] = FALSE;
  }
  PosDimDecoder dim;
  dim.Init(static_cast<long>(nDimension));
  if ((dim.m_nA != 0 || dim.m_nB != 0) && (dim.m_nC != 0 || dim.m_nD != 0)) {
    info.ShipDimension = {dim.m_nA, dim.m_nB, dim.m_nC, dim.m_nD};
    info.validityFlag[SHIPDIM_FLAG_INDEX] = TRUE;
  } else {
    info.validityFlag[SHIPDIM_FLAG_INDEX] = FALSE;
  }
}

void setImo_Eta_Draught(aisTargetINFO &info, unsigned long nImo, unsigned long nEta, unsigned nDraught) {
  if (nImo > 0 && nImo < 1000000000ul) {
    info.IMO = static_cast<ULONG>(nImo);
    info.validityFlag[IMO_FLAG_INDEX] = TRUE;
  } else {
    info.validityFlag[IMO_FLAG_INDEX] = FALSE;
  }
  ETADecoder eta;
  eta.Init(static_cast<long>(nEta));
  const bool bDate = eta.m_nMonth >= 1 && eta.m_nMonth <= 12 && eta.m_nDay >= 1 && eta.m_nDay <= 31;
  const bool bTime = eta.m_nHour <= 23 && eta.m_nMinute <= 59;
  // Either part makes the ETA; the part not available is stored as 0.
  info.Eta.Date = bDate ? eta.m_nDay * 10000 + eta.m_nMonth * 100 : 0;
  info.Eta.Time = bTime ? eta.m_nHour * 10000 + eta.m_nMinute * 100 : 0;
  info.validityFlag[ETA_FLAG_INDEX] = bDate || bTime;
  if (nDraught != 0) {
    info.Draught = nDraught * 0.1;
    info.validityFlag[DRAUGHT_FLAG_INDEX] = TRUE;
  } else {
    info.validityFlag[DRAUGHT_FLAG_INDEX] = FALSE;
  }
}

AISManager::AISManager() { Reset(); }

void AISManager::Reset() {
  for (Assembly &a : m_aAssembly) emptyAssembly(a);
}

void AISManager::emptyAssembly(Assembly &a) {
  std::memset(a.acPayload, 0, sizeof(a.acPayload));
  a.nLength = 0;
  a.nTotal = 0;
  a.nLastNumber = 0;
  a.nSequence = 0;
}

unsigned AISManager::channelSlot(char cChannel) {
  switch (cChannel) {
    case 'A': return 0;
    case 'B': return 1;
    case '1': return 2;
    case '2': return 3;
    default: return 4;
  }
}

unsigned AISManager::ais_MsgBreak(const char *pcSentence, char (&aacFields)[AIS_FIELDS][AIS_FIELD_CHARS + 1]) {
  std::memset(aacFields, 0, sizeof(aacFields));
  if (std::strlen(pcSentence) < 6) return 0;
  unsigned nField = 0, nLength = 0;
  for (unsigned i = 6; i <= 83; ++i) {
    const char c = pcSentence[i];
    if (c == '\0' || c == '*' || c == '\r') break;
    if (c == ',') {
      if (++nField == AIS_FIELDS) break;
      nLength = 0;
      continue;
    }
    if (nLength == AIS_FIELD_CHARS) {
      // A full field closes; the character that overflowed it is dropped.
      if (++nField == AIS_FIELDS) break;
      nLength = 0;
      continue;
    }
    aacFields[nField][nLength++] = c;
  }
  return nField < AIS_FIELDS ? nField + 1 : AIS_FIELDS;
}

bool AISManager::ut_NMEAValidNum(const char *pc) {
  if (*pc == '-') ++pc;
  if (!std::isdigit(static_cast<unsigned char>(*pc))) return false;
  while (std::isdigit(static_cast<unsigned char>(*pc))) ++pc;
  if (*pc == '.') {
    ++pc;
    if (!std::isdigit(static_cast<unsigned char>(*pc))) return false;
    while (std::isdigit(static_cast<unsigned char>(*pc))) ++pc;
  }
  return *pc == '\0';
}

long AISManager::ut_atoi(const char *pc) {
  bool bNegative = false;
  if (*pc == '-') bNegative = true, ++pc;
  if (*pc == '+') ++pc;
  long nValue = 0;
  for (; *pc != '\0'; ++pc) {
    if (!std::isdigit(static_cast<unsigned char>(*pc))) return 0;
    if (nValue < 100000000) nValue = nValue * 10 + (*pc - '0');
  }
  return bNegative ? -nValue : nValue;
}

bool AISManager::ut_NMEAValidChannel(const char *pcField, char *pc) {
  if (pcField[0] == '\0') {
    *pc = 0;
    return true;
  }
  if ((pcField[0] == 'A' || pcField[0] == 'B') && pcField[1] == '\0') {
    *pc = pcField[0];
    return true;
  }
  if (ut_NMEAValidNum(pcField)) {
    const long n = ut_atoi(pcField);
    if (n == 1 || n == 2) {
      *pc = static_cast<char>('0' + n);
      return true;
    }
  }
  return false;
}

ERRORCODE AISManager::ais_DecodeSentence(const char *pcSentence, unsigned *pnTotal, unsigned *pnNumber,
                                         aisDataVDM &vdm) {
  vdm.result = AIS_SUCCESS;
  vdm.message = nullptr;
  if (pcSentence == nullptr) return vdm.result = AIS_ERR_NULL_SENTENCE;
  char aacField[AIS_FIELDS][AIS_FIELD_CHARS + 1];
  ais_MsgBreak(pcSentence, aacField);
  unsigned nMask = 0;

  const bool bTotal = ut_NMEAValidNum(aacField[0]) && ut_atoi(aacField[0]) >= 1 && ut_atoi(aacField[0]) <= 9;
  if (bTotal) vdm.total = static_cast<unsigned>(ut_atoi(aacField[0]));
  else nMask |= kMaskTotal;
  // A number above the total cannot belong to the message.
  if (ut_NMEAValidNum(aacField[1]) && ut_atoi(aacField[1]) >= 1 && ut_atoi(aacField[1]) <= 9 &&
      (!bTotal || static_cast<unsigned>(ut_atoi(aacField[1])) <= vdm.total)) {
    vdm.number = static_cast<unsigned>(ut_atoi(aacField[1]));
  } else {
    nMask |= kMaskNumber;
  }
  if (aacField[2][0] == '\0') {
    vdm.sequence = 0;
  } else if (ut_NMEAValidNum(aacField[2]) && ut_atoi(aacField[2]) >= 0 && ut_atoi(aacField[2]) <= 9) {
    vdm.sequence = static_cast<unsigned>(ut_atoi(aacField[2]));
  } else {
    nMask |= kMaskSequence;
  }
  if (!ut_NMEAValidChannel(aacField[3], &vdm.channel)) nMask |= kMaskChannel;

  const bool bFillNumber = ut_NMEAValidNum(aacField[5]);
  const long nFill = bFillNumber ? ut_atoi(aacField[5]) : -1;
  const bool bFill = bFillNumber && nFill >= 0 && nFill <= 5;
  if (bFill) vdm.fillBits = static_cast<unsigned>(nFill);

  if (nMask == 0) {
    if (pnTotal != nullptr) *pnTotal = vdm.total;
    if (pnNumber != nullptr) *pnNumber = vdm.number;
    const char *pcPayload = aacField[4];
    const unsigned nPayload = static_cast<unsigned>(std::strlen(pcPayload));
    Assembly &a = m_aAssembly[channelSlot(vdm.channel)];
    if (!bFill) {
      // A part without its fill bits spoils the message it belongs to.
      if (vdm.total > 1) emptyAssembly(a);
    } else if (vdm.total == 1) {
      AIS_BLOB_RESULT eBlob;
      vdm.message = AISReader::ReadAISBlob(pcPayload, nPayload * 6 - vdm.fillBits, &eBlob);
      if (eBlob == AIS_BLOB_SHORT || eBlob == AIS_BLOB_NO_MEMORY) nMask = kMaskAssembly;
    } else if (vdm.number == 1) {
      emptyAssembly(a);
      std::memcpy(a.acPayload, pcPayload, nPayload + 1);
      a.nLength = nPayload;
      a.nTotal = vdm.total;
      a.nLastNumber = 1;
      a.nSequence = vdm.sequence;
    } else if (a.nLastNumber == 0 || vdm.number != a.nLastNumber + 1 || vdm.total != a.nTotal ||
               vdm.sequence != a.nSequence || a.nLength > AIS_LONGEST_PAYLOAD ||
               a.nLength + nPayload > AIS_ASSEMBLY_CHARS) {
      // Not the next part of this channel's message, or more than any message decoded here.
      nMask = kMaskAssembly;
      emptyAssembly(a);
    } else {
      std::memcpy(a.acPayload + a.nLength, pcPayload, nPayload + 1);
      a.nLength += nPayload;
      a.nLastNumber = vdm.number;
      if (vdm.number == vdm.total) {
        vdm.message = AISReader::ReadAISBlob(a.acPayload, a.nLength * 6 - vdm.fillBits);
        if (vdm.message == nullptr) nMask = kMaskAssembly;
        emptyAssembly(a);
      }
    }
  }
  if (!bFill || nMask != 0) vdm.result = AIS_WARN_BAD_SENTENCE;
  return vdm.result;
}

ERRORCODE AISManager::DecodeData_Msg123(const AISClassAPositionReport &m, aisTargetINFO &info) {
  const ERRORCODE e = setMMSI_LastMsg(info, m.m_nMMSI, m.m_nMessageType);
  setNavStatus_Rot(info, m.m_nNavStatus, m.m_nRot);
  setSog_PosAccuracy_Cog(info, m.m_nSog, m.m_nPosAccuracy, m.m_nCog, false);
  setShipPosition(info, m.m_nLatitude, m.m_nLongitude);
  setTrueHeading(info, m.m_nTrueHeading);
  setUTCSec(info, m.m_nTimeStamp);
  return e;
}

ERRORCODE AISManager::DecodeData_Msg5(const AISClassAExtendedPositionReport &m, aisTargetINFO &info) {
  const ERRORCODE e = setMMSI_LastMsg(info, m.m_nMMSI, m.m_nMessageType);
  setName(info, m.m_acName);
  setType_Dimension(info, m.m_nShipType, m.m_nDimension);
  setCallSign_Destination(info, m.m_acCallSign, m.m_acDestination);
  setImo_Eta_Draught(info, m.m_nImo, m.m_nEta, m.m_nDraught);
  return e;
}

ERRORCODE AISManager::DecodeData_Msg9(const AISAircraftPositionReport &m, aisTargetINFO &info) {
  const ERRORCODE e = setMMSI_LastMsg(info, m.m_nMMSI, m.m_nMessageType);
  setSog_PosAccuracy_Cog(info, m.m_nSog, m.m_nPosAccuracy, m.m_nCog, true);
  setShipPosition(info, m.m_nLatitude, m.m_nLongitude);
  setUTCSec(info, m.m_nTimeStamp);
  setAltitude(info, m.m_nAltitude);
  return e;
}

namespace {

// The position fields that class B reports (messages 18 and 19) share.
template <typename M>
ERRORCODE decodeClassBPosition(const M &m, aisTargetINFO &info) {
  const ERRORCODE e = setMMSI_LastMsg(info, m.m_nMMSI, m.m_nMessageType);
  setSog_PosAccuracy_Cog(info, m.m_nSog, m.m_nPosAccuracy, m.m_nCog, false);
  setShipPosition(info, m.m_nLatitude, m.m_nLongitude);
  setTrueHeading(info, m.m_nTrueHeading);
  setUTCSec(info, m.m_nTimeStamp);
  return e;
}

}  // namespace

ERRORCODE AISManager::DecodeData_Msg18(const AISClassBPositionReport &m, aisTargetINFO &info) {
  return decodeClassBPosition(m, info);
}

ERRORCODE AISManager::DecodeData_Msg19(const AISClassBExtendedPositionReport &m, aisTargetINFO &info) {
  const ERRORCODE e = decodeClassBPosition(m, info);
  setName(info, m.m_acName);
  setType_Dimension(info, m.m_nShipType, m.m_nDimension);
  return e;
}

ERRORCODE AISManager::DecodeData_Msg24_A(const AISClassBExtendedPositionReport &m, aisTargetINFO &info) {
  const ERRORCODE e = setMMSI_LastMsg(info, m.m_nMMSI, m.m_nMessageType);
  setName(info, m.m_acName);
  return e;
}

ERRORCODE AISManager::DecodeData_Msg24_B(const AISClassBExtendedPositionReport &m, aisTargetINFO &info) {
  const ERRORCODE e = setMMSI_LastMsg(info, m.m_nMMSI, m.m_nMessageType);
  setCallSign(info, m.m_acCallSign);
  setType_Dimension(info, m.m_nShipType, m.m_nDimension);
  return e;
}

ERRORCODE AISManager::DecodeData(const AISMessage *pMsg, aisTargetINFO &info) {
  for (BOOL &b : info.validityFlag) b = FALSE;
  if (pMsg == nullptr) return AIS_WARN_MALFORMED;
  switch (pMsg->m_nMessageType) {
    case 1: case 2: case 3: return DecodeData_Msg123(*static_cast<const AISClassAPositionReport *>(pMsg), info);
    case 5: return DecodeData_Msg5(*static_cast<const AISClassAExtendedPositionReport *>(pMsg), info);
    case 9: return DecodeData_Msg9(*static_cast<const AISAircraftPositionReport *>(pMsg), info);
    case 18: return DecodeData_Msg18(*static_cast<const AISClassBPositionReport *>(pMsg), info);
    case 19: return DecodeData_Msg19(*static_cast<const AISClassBExtendedPositionReport *>(pMsg), info);
    case 24: {
      const auto &m = *static_cast<const AISClassBExtendedPositionReport *>(pMsg);
      return m.m_nPartNumber == 0 ? DecodeData_Msg24_A(m, info) : DecodeData_Msg24_B(m, info);
    }
    default:
      info.LastMsg = static_cast<UCHAR>(pMsg->m_nMessageType);
      return AIS_WARN_MALFORMED;
  }
}

namespace {

// One field group: a set flag brings the new value, a clear one clears the stored flag and keeps the value.
template <typename F>
void mergeField(const aisTargetINFO &n, aisTargetINFO &s, enValFlagIndex eFlag, F copy) {
  if (n.validityFlag[eFlag]) {
    copy();
    s.validityFlag[eFlag] = TRUE;
  } else {
    s.validityFlag[eFlag] = FALSE;
  }
}

void updateMMSI_LastMsg(const aisTargetINFO &n, aisTargetINFO &s) {
  mergeField(n, s, MMSI_FLAG_INDEX, [&] { s.MMSI = n.MMSI; });
  mergeField(n, s, LASTMSG_FLAG_INDEX, [&] { s.LastMsg = n.LastMsg; });
}
void updateNavStatus_Rot(const aisTargetINFO &n, aisTargetINFO &s) {
  mergeField(n, s, NAVSTATUS_FLAG_INDEX, [&] { s.NavStatus = n.NavStatus; });
  mergeField(n, s, ROT_FLAG_INDEX, [&] { s.Rot = n.Rot; });
}
void updateSog_PosAccuracy_Cog(const aisTargetINFO &n, aisTargetINFO &s) {
  mergeField(n, s, SOG_FLAG_INDEX, [&] { s.Sog = n.Sog; });
  mergeField(n, s, POSACC_FLAG_INDEX, [&] { s.PosAccuracy = n.PosAccuracy; });
  mergeField(n, s, COG_FLAG_INDEX, [&] { s.Cog = n.Cog; });
}
void updateShipPosition(const aisTargetINFO &n, aisTargetINFO &s) {
  mergeField(n, s, SHIPPOS_FLAG_INDEX, [&] {
    s.Latitude = n.Latitude;
    s.Longitude = n.Longitude;
  });
}
void updateTrueHeading(const aisTargetINFO &n, aisTargetINFO &s) {
  mergeField(n, s, TRUEHEAD_FLAG_INDEX, [&] { s.TrueHeading = n.TrueHeading; });
}
void updateUTCSec(const aisTargetINFO &n, aisTargetINFO &s) {
  mergeField(n, s, UTCSEC_FLAG_INDEX, [&] { s.TimeStamp_UTCsec = n.TimeStamp_UTCsec; });
}
void updateAltitude(const aisTargetINFO &n, aisTargetINFO &s) {
  mergeField(n, s, ALTITUDE_FLAG_INDEX, [&] { s.Altitude = n.Altitude; });
}
void updateName(const aisTargetINFO &n, aisTargetINFO &s) {
  mergeField(n, s, NAME_FLAG_INDEX,
             [&] { copyText(s.Name, sizeof(s.Name), reinterpret_cast<const char *>(n.Name), 20); });
}
void updateCallSign(const aisTargetINFO &n, aisTargetINFO &s) {
  mergeField(n, s, CALLSIGN_FLAG_INDEX,
             [&] { copyText(s.CallSign, sizeof(s.CallSign), reinterpret_cast<const char *>(n.CallSign), 7); });
}
void updateCallSign_Destination(const aisTargetINFO &n, aisTargetINFO &s) {
  updateCallSign(n, s);
  mergeField(n, s, DEST_FLAG_INDEX, [&] {
    copyText(s.Destination, sizeof(s.Destination), reinterpret_cast<const char *>(n.Destination), 20);
  });
}
void updateType_Dimension(const aisTargetINFO &n, aisTargetINFO &s) {
  mergeField(n, s, SHIPTYPE_FLAG_INDEX, [&] { s.ShipType = n.ShipType; });
  mergeField(n, s, SHIPDIM_FLAG_INDEX, [&] { s.ShipDimension = n.ShipDimension; });
}
void updateImo_Eta_Draught(const aisTargetINFO &n, aisTargetINFO &s) {
  mergeField(n, s, IMO_FLAG_INDEX, [&] { s.IMO = n.IMO; });
  mergeField(n, s, ETA_FLAG_INDEX, [&] { s.Eta = n.Eta; });
  mergeField(n, s, DRAUGHT_FLAG_INDEX, [&] { s.Draught = n.Draught; });
}

}  // namespace

ERRORCODE AISManager::UpdateData(unsigned nMsgNumber, unsigned nPartNumber, aisTargetINFO n, aisTargetINFO &s) {
  enValFlagIndex aFlags[LAST_VALFLAG_INDEX];
  unsigned nFlags = 0;
  auto flags = [&](std::initializer_list<enValFlagIndex> list) {
    for (enValFlagIndex e : list) aFlags[nFlags++] = e;
  };
  switch (nMsgNumber) {
    case 1: case 2: case 3:
      updateMMSI_LastMsg(n, s);
      updateNavStatus_Rot(n, s);
      updateSog_PosAccuracy_Cog(n, s);
      updateShipPosition(n, s);
      updateTrueHeading(n, s);
      updateUTCSec(n, s);
      flags({MMSI_FLAG_INDEX, LASTMSG_FLAG_INDEX, NAVSTATUS_FLAG_INDEX, ROT_FLAG_INDEX, SOG_FLAG_INDEX,
               POSACC_FLAG_INDEX, COG_FLAG_INDEX, SHIPPOS_FLAG_INDEX, TRUEHEAD_FLAG_INDEX, UTCSEC_FLAG_INDEX});
      break;
    case 5:
      updateMMSI_LastMsg(n, s);
      updateName(n, s);
      updateType_Dimension(n, s);
      updateCallSign_Destination(n, s);
      updateImo_Eta_Draught(n, s);
      flags({MMSI_FLAG_INDEX, LASTMSG_FLAG_INDEX, NAME_FLAG_INDEX, SHIPTYPE_FLAG_INDEX, SHIPDIM_FLAG_INDEX,
               CALLSIGN_FLAG_INDEX, DEST_FLAG_INDEX, IMO_FLAG_INDEX, ETA_FLAG_INDEX, DRAUGHT_FLAG_INDEX});
      break;
    case 9:
      updateMMSI_LastMsg(n, s);
      updateSog_PosAccuracy_Cog(n, s);
      updateShipPosition(n, s);
      updateUTCSec(n, s);
      updateAltitude(n, s);
      flags({MMSI_FLAG_INDEX, LASTMSG_FLAG_INDEX, SOG_FLAG_INDEX, POSACC_FLAG_INDEX, COG_FLAG_INDEX,
               SHIPPOS_FLAG_INDEX, UTCSEC_FLAG_INDEX, ALTITUDE_FLAG_INDEX});
      break;
    case 18:
      updateMMSI_LastMsg(n, s);
      updateSog_PosAccuracy_Cog(n, s);
      updateShipPosition(n, s);
      updateTrueHeading(n, s);
      updateUTCSec(n, s);
      flags({MMSI_FLAG_INDEX, LASTMSG_FLAG_INDEX, SOG_FLAG_INDEX,      POSACC_FLAG_INDEX,
               COG_FLAG_INDEX,  SHIPPOS_FLAG_INDEX, TRUEHEAD_FLAG_INDEX, UTCSEC_FLAG_INDEX});
      break;
    case 19:
      updateMMSI_LastMsg(n, s);
      updateSog_PosAccuracy_Cog(n, s);
      updateShipPosition(n, s);
      updateTrueHeading(n, s);
      updateUTCSec(n, s);
      updateName(n, s);
      updateType_Dimension(n, s);
      flags({MMSI_FLAG_INDEX,    LASTMSG_FLAG_INDEX,  SOG_FLAG_INDEX,    POSACC_FLAG_INDEX,
               COG_FLAG_INDEX,     SHIPPOS_FLAG_INDEX,  TRUEHEAD_FLAG_INDEX, UTCSEC_FLAG_INDEX,
               NAME_FLAG_INDEX,    SHIPTYPE_FLAG_INDEX, SHIPDIM_FLAG_INDEX});
      break;
    case 24:
      updateMMSI_LastMsg(n, s);
      if (nPartNumber == 0) {
        updateName(n, s);
        flags({MMSI_FLAG_INDEX, LASTMSG_FLAG_INDEX, NAME_FLAG_INDEX});
      } else {
        updateCallSign(n, s);
        updateType_Dimension(n, s);
        flags({MMSI_FLAG_INDEX, LASTMSG_FLAG_INDEX, CALLSIGN_FLAG_INDEX, SHIPTYPE_FLAG_INDEX, SHIPDIM_FLAG_INDEX});
      }
      break;
    default: return AIS_WARN_NO_MERGE;
  }
  for (unsigned i = 0; i < nFlags; ++i) {
    if (s.validityFlag[aFlags[i]]) return AIS_SUCCESS;
  }
  return AIS_WARN_NO_MERGE;
}

ERRORCODE AISManager::ais_ApprovedSentence(const char *pcSentence) {
  if (pcSentence == nullptr) return AIS_ERR_NULL_SENTENCE;
  int nBang = -1;
  for (int i = 0; i < 4 && pcSentence[i] != '\0'; ++i) {
    if (pcSentence[i] == '!') {
      nBang = i;
      break;
    }
  }
  if (nBang < 0) return AIS_WARN_MALFORMED;
  unsigned char uSum = 0;
  int i = nBang + 1;
  for (; i <= 84 && pcSentence[i] != '\0' && pcSentence[i] != '*' && pcSentence[i] != '\r'; ++i) {
    uSum ^= static_cast<unsigned char>(pcSentence[i]);
  }
  if (i > 84 || pcSentence[i] == '\0') return AIS_WARN_MALFORMED;
  if (pcSentence[i] == '*') {
    if (i - nBang > 79) return AIS_WARN_MALFORMED;
    const int nHigh = hexValue(pcSentence[i + 1]);
    const int nLow = nHigh >= 0 ? hexValue(pcSentence[i + 2]) : -1;
    if (nHigh < 0 || nLow < 0) return AIS_WARN_CHECKSUM;
    if (pcSentence[i + 3] != '\r' || pcSentence[i + 4] != '\n') return AIS_WARN_MALFORMED;
    return (nHigh << 4 | nLow) == uSum ? AIS_SUCCESS : AIS_WARN_CHECKSUM;
  }
  return i <= 82 && pcSentence[i + 1] == '\n' ? AIS_WARN_NO_CHECKSUM : AIS_WARN_MALFORMED;
}

ERRORCODE AISManager::ais_MsgCheck(const char *pcSentence, enCode_ais &eCode) {
  eCode = AIS_CODE_NONE;
  if (pcSentence == nullptr) return AIS_ERR_NULL_SENTENCE;
  const ERRORCODE e = ais_ApprovedSentence(pcSentence);
  if (e != AIS_SUCCESS && e != AIS_WARN_NO_CHECKSUM) return e;
  char acFormatter[4] = {};
  for (int i = 0; i < 3; ++i) {
    const char c = pcSentence[3 + i];
    if (c == ',' || c == '\r' || c == '\0') break;
    acFormatter[i] = c;
  }
  for (const aisStringRow &row : aisString) {
    if (std::strcmp(acFormatter, row.pcFormatter) == 0) {
      eCode = row.code;
      return AIS_SUCCESS;
    }
  }
  return AIS_WARN_MALFORMED;
}

}  // namespace ais_manager
