// AIS test helpers: payloads written bit by bit from the message layouts, VDM sentences as the receive path
// hands them over (talker first, no '!'), and a settings store holding the own ship's motion.
#pragma once
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "corvan/point.h"
#include "settings/database.h"

class AisBits {
 public:
  AisBits &u(unsigned nWidth, uint64_t nValue) {
    for (unsigned i = 0; i < nWidth; ++i) {
      const unsigned nShift = nWidth - 1 - i;
      m_abBits.push_back(nShift < 64 && ((nValue >> nShift) & 1));
    }
    return *this;
  }
  AisBits &s(unsigned nWidth, int64_t nValue) { return u(nWidth, static_cast<uint64_t>(nValue)); }
  AisBits &text(unsigned nCount, const std::string &sText, char cPad = '@') {
    for (unsigned i = 0; i < nCount; ++i) {
      const unsigned char c = i < sText.size() ? sText[i] : cPad;
      u(6, c >= 64 ? c - 64 : c);
    }
    return *this;
  }
  // The armoured payload and its fill bits.
  std::string payload(unsigned *pnFill = nullptr) const {
    std::vector<bool> ab = m_abBits;
    const unsigned nFill = (6 - ab.size() % 6) % 6;
    ab.resize(ab.size() + nFill, false);
    std::string s;
    for (size_t i = 0; i < ab.size(); i += 6) {
      unsigned v = 0;
      for (size_t k = 0; k < 6; ++k) v = v << 1 | ab[i + k];
      s += static_cast<char>(v < 40 ? v + 48 : v + 56);
    }
    if (pnFill != nullptr) *pnFill = nFill;
    return s;
  }

 private:
  std::vector<bool> m_abBits;
};

// 1/10000 minute.
inline int64_t aisMinutes(double dDegrees) { return static_cast<int64_t>(dDegrees * 600000.0 + (dDegrees < 0 ? -0.5 : 0.5)); }

struct AisPosition {
  unsigned nType = 1;
  uint32_t nMMSI = 244000001;
  unsigned nStatus = 0;
  int nRot = 0;  // as sent: 8 bits
  unsigned nSog = 0;
  unsigned nAccuracy = 0;
  double dLon = 4.5;
  double dLat = 52.0;
  unsigned nCog = 0;
  unsigned nHeading = 0;
  unsigned nSecond = 0;
};

inline AisBits aisClassA(const AisPosition &p) {
  AisBits b;
  b.u(6, p.nType).u(2, 0).u(30, p.nMMSI).u(4, p.nStatus).s(8, p.nRot).u(10, p.nSog).u(1, p.nAccuracy);
  b.s(28, aisMinutes(p.dLon)).s(27, aisMinutes(p.dLat)).u(12, p.nCog).u(9, p.nHeading).u(6, p.nSecond);
  return b.u(2, 0).u(3, 0).u(1, 0).u(19, 0);
}

struct AisStatic {
  uint32_t nMMSI = 244000001;
  uint32_t nImo = 9123456;
  std::string sCallSign = "PD1234";
  std::string sName = "NORDIC STAR";
  unsigned nType = 70;
  unsigned anDim[4] = {100, 20, 10, 12};
  unsigned anEta[4] = {12, 24, 13, 45};  // month, day, hour, minute
  unsigned nDraught = 75;
  std::string sDestination = "ROTTERDAM";
};

inline AisBits aisStatic(const AisStatic &m) {
  AisBits b;
  b.u(6, 5).u(2, 0).u(30, m.nMMSI).u(2, 0).u(30, m.nImo).text(7, m.sCallSign).text(20, m.sName).u(8, m.nType);
  b.u(9, m.anDim[0]).u(9, m.anDim[1]).u(6, m.anDim[2]).u(6, m.anDim[3]).u(4, 1);
  b.u(4, m.anEta[0]).u(5, m.anEta[1]).u(5, m.anEta[2]).u(6, m.anEta[3]).u(8, m.nDraught).text(20, m.sDestination);
  return b.u(1, 0).u(1, 0);
}

// "AIVDM,total,number,sequence,channel,payload,fill*hh".
inline std::string aisSentence(const std::string &sTotal, const std::string &sNumber, const std::string &sSequence,
                               const std::string &sChannel, const std::string &sPayload, const std::string &sFill) {
  const std::string sBody = "AIVDM," + sTotal + "," + sNumber + "," + sSequence + "," + sChannel + "," + sPayload +
                            "," + sFill;
  unsigned char uSum = 0;
  for (char c : sBody) uSum ^= static_cast<unsigned char>(c);
  char acSum[4];
  std::snprintf(acSum, sizeof(acSum), "%02X", uSum);
  return sBody + "*" + acSum;
}

inline std::string aisSingle(const AisBits &b, const std::string &sChannel = "A") {
  unsigned nFill = 0;
  const std::string sPayload = b.payload(&nFill);
  return aisSentence("1", "1", "", sChannel, sPayload, std::to_string(nFill));
}

// The message in parts of at most nSplit characters.
inline std::vector<std::string> aisParts(const AisBits &b, size_t nSplit, const std::string &sSequence = "1",
                                         const std::string &sChannel = "A") {
  unsigned nFill = 0;
  const std::string sPayload = b.payload(&nFill);
  std::vector<std::string> as;
  const size_t nParts = (sPayload.size() + nSplit - 1) / nSplit;
  for (size_t i = 0; i < nParts; ++i) {
    as.push_back(aisSentence(std::to_string(nParts), std::to_string(i + 1), sSequence, sChannel,
                             sPayload.substr(i * nSplit, nSplit), i + 1 == nParts ? std::to_string(nFill) : "0"));
  }
  return as;
}

// The own ship in the settings store: position in Mercator metres, speed in knots, heading in degrees.
inline void aisSetOwnShip(POINT tOwn, double dKnots, double dHeading, U32 u32PositionTimeOut = DB_NO_TIMEOUT) {
  H_DATABASE_bUpdateEverythingS32(FCID("ILAT"), tOwn.y, P_NORMAL, D_UNKNOWN, nullptr, u32PositionTimeOut);
  H_DATABASE_bUpdateEverythingS32(FCID("ILON"), tOwn.x, P_NORMAL, D_UNKNOWN, nullptr, u32PositionTimeOut);
  H_DATABASE_bUpdateEverythingFloat(FCID("ISOG"), static_cast<float>(dKnots * 1852.0 / 3600.0), P_NORMAL, D_SPEED,
                                    nullptr, DB_NO_TIMEOUT);
  H_DATABASE_bUpdateEverythingFloat(FCID("IHDG"), static_cast<float>(dHeading), P_NORMAL, D_UNKNOWN, nullptr,
                                    DB_NO_TIMEOUT);
}
