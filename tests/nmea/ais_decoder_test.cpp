// The AIS sentence decoder: header checks, joining of multi-sentence messages per radio channel, conversion of
// the message fields, the field-group merge, full-sentence approval and the flag state of an MMSI.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>

#include "ais_test_util.h"
#include "nmea/ais/ais_manager.h"
#include "nmea/ais/ais_reader.h"
#include "nmea/ais/ais_regtbl.h"

using namespace ais_manager;

namespace {

class AisDecoderTest : public ::testing::Test {
 protected:
  void TearDown() override { AIS_vDeleteMessage(m_vdm.message); }
  ERRORCODE decode(const std::string &sSentence) {
    AIS_vDeleteMessage(m_vdm.message);
    std::memset(&m_vdm, 0, sizeof(m_vdm));
    return m_manager.ais_DecodeSentence(sSentence.c_str(), &m_nTotal, &m_nNumber, m_vdm);
  }
  // The target record of a message, in two sentences when one cannot carry it.
  aisTargetINFO convert(const AisBits &b) {
    aisTargetINFO info = {};
    for (const std::string &s : aisParts(b, 60)) EXPECT_EQ(decode(s), AIS_SUCCESS);
    EXPECT_NE(m_vdm.message, nullptr);
    if (m_vdm.message != nullptr) {
      EXPECT_EQ(m_manager.DecodeData(m_vdm.message, info), AIS_SUCCESS);
    }
    return info;
  }

  AISManager m_manager;
  aisDataVDM m_vdm = {};
  unsigned m_nTotal = 0, m_nNumber = 0;
};

TEST_F(AisDecoderTest, SingleSentenceGivesItsMessageChannelAndSequence) {
  AisPosition p;
  p.dLat = -(33 + 52 / 60.0);
  const std::string sPayload = aisClassA(p).payload();
  ASSERT_EQ(sPayload.size(), 28u);
  EXPECT_EQ(decode(aisSentence("1", "1", "", "A", sPayload, "0")), AIS_SUCCESS);
  EXPECT_EQ(m_vdm.result, AIS_SUCCESS);
  ASSERT_NE(dynamic_cast<AISClassAPositionReport *>(m_vdm.message), nullptr);
  EXPECT_EQ(m_vdm.channel, 'A');
  EXPECT_EQ(m_vdm.sequence, 0u);
  EXPECT_EQ(m_nTotal, 1u);
  EXPECT_EQ(m_nNumber, 1u);
  aisTargetINFO info = {};
  EXPECT_EQ(m_manager.DecodeData(m_vdm.message, info), AIS_SUCCESS);
  EXPECT_NEAR(info.Latitude, -33.8667, 0.0001);
  EXPECT_NEAR(info.Longitude, 4.5, 1e-9);
  EXPECT_TRUE(info.validityFlag[SHIPPOS_FLAG_INDEX]);
  EXPECT_EQ(info.MMSI, 244000001u);
  EXPECT_EQ(info.LastMsg, 1);
}

TEST_F(AisDecoderTest, WrongHeaderFieldsFailTheSentence) {
  const std::string sPayload = aisClassA(AisPosition()).payload();
  struct Case {
    const char *pcTotal, *pcNumber, *pcSequence, *pcChannel, *pcFill;
  } aCases[] = {{"0", "1", "", "A", "0"},  {"10", "1", "", "A", "0"}, {"1", "0", "", "A", "0"},
                {"1", "1", "A", "A", "0"}, {"1", "1", "", "C", "0"},  {"1", "1", "", "3", "0"},
                {"1", "1", "", "A", "6"},  {"1", "1", "", "A", ""},   {"1", "2", "", "A", "0"},
                {"x", "1", "", "A", "0"},  {"1", "1", "-1", "A", "0"}};
  for (const Case &c : aCases) {
    SCOPED_TRACE(std::string(c.pcTotal) + "," + c.pcNumber + "," + c.pcSequence + "," + c.pcChannel + ",," + c.pcFill);
    EXPECT_EQ(decode(aisSentence(c.pcTotal, c.pcNumber, c.pcSequence, c.pcChannel, sPayload, c.pcFill)),
              AIS_WARN_BAD_SENTENCE);
    EXPECT_EQ(m_vdm.message, nullptr);
  }
  // Channel numbers 1 and 2, the other letter, an empty channel.
  for (auto [pcChannel, cExpected] : {std::pair{"1", '1'}, {"2", '2'}, {"B", 'B'}, {"", '\0'}}) {
    EXPECT_EQ(decode(aisSentence("1", "1", "7", pcChannel, sPayload, "0")), AIS_SUCCESS) << pcChannel;
    EXPECT_EQ(m_vdm.channel, cExpected);
    EXPECT_EQ(m_vdm.sequence, 7u);
  }
}

TEST_F(AisDecoderTest, UnsupportedMessagesSucceedWithoutAnObjectAndACutMessageFails) {
  for (unsigned nType : {4u, 21u, 0u, 27u}) {
    AisBits b;
    b.u(6, nType).u(2, 0).u(30, 3669999).u(130, 0);
    EXPECT_EQ(decode(aisSingle(b)), AIS_SUCCESS) << nType;
    EXPECT_EQ(m_vdm.message, nullptr);
  }
  const std::string sPayload = aisClassA(AisPosition()).payload();
  EXPECT_EQ(decode(aisSentence("1", "1", "", "A", sPayload.substr(0, 24), "0")), AIS_WARN_BAD_SENTENCE);
  EXPECT_EQ(m_vdm.message, nullptr);
  EXPECT_EQ(decode(aisSentence("1", "1", "", "A", "", "0")), AIS_WARN_BAD_SENTENCE);
  // 27 characters less 2 fill bits are the 160 bits of a message 24 part A.
  AisBits b24;
  b24.u(6, 24).u(2, 0).u(30, 366000003).u(2, 0).text(20, "LITTLE WING");
  EXPECT_EQ(decode(aisSingle(b24)), AIS_SUCCESS);
  EXPECT_NE(m_vdm.message, nullptr);
}

TEST_F(AisDecoderTest, MultiSentenceMessagesJoinPerChannelAndSequence) {
  AisStatic m;
  const AisBits b = aisStatic(m);
  // A 64-character first part decodes.
  const std::vector<std::string> as64 = aisParts(b, 64, "3");
  ASSERT_EQ(as64.size(), 2u);
  EXPECT_EQ(decode(as64[0]), AIS_SUCCESS);
  EXPECT_EQ(m_vdm.message, nullptr);
  EXPECT_EQ(decode(as64[1]), AIS_SUCCESS);
  ASSERT_NE(dynamic_cast<AISClassAExtendedPositionReport *>(m_vdm.message), nullptr);
  aisTargetINFO info = {};
  EXPECT_EQ(m_manager.DecodeData(m_vdm.message, info), AIS_SUCCESS);
  EXPECT_STREQ(reinterpret_cast<const char *>(info.Name), "NORDIC STAR");
  EXPECT_STREQ(reinterpret_cast<const char *>(info.Destination), "ROTTERDAM");

  // Two ships' parts interleaved on channels A and B each keep their own.
  AisStatic other;
  other.nMMSI = 338000222;
  other.sName = "LADY LIBERTY";
  const std::vector<std::string> asA = aisParts(b, 60, "1", "A");
  const std::vector<std::string> asB = aisParts(aisStatic(other), 60, "2", "B");
  EXPECT_EQ(decode(asA[0]), AIS_SUCCESS);
  EXPECT_EQ(decode(asB[0]), AIS_SUCCESS);
  EXPECT_EQ(decode(asA[1]), AIS_SUCCESS);
  ASSERT_NE(m_vdm.message, nullptr);
  EXPECT_EQ(m_manager.DecodeData(m_vdm.message, info), AIS_SUCCESS);
  EXPECT_EQ(info.MMSI, 244000001u);
  EXPECT_STREQ(reinterpret_cast<const char *>(info.Name), "NORDIC STAR");
  EXPECT_EQ(decode(asB[1]), AIS_SUCCESS);
  ASSERT_NE(m_vdm.message, nullptr);
  EXPECT_EQ(m_manager.DecodeData(m_vdm.message, info), AIS_SUCCESS);
  EXPECT_EQ(info.MMSI, 338000222u);
  EXPECT_STREQ(reinterpret_cast<const char *>(info.Name), "LADY LIBERTY");

  // A second part without its first, one of another sequence and a repeated part are refused.
  EXPECT_EQ(decode(asA[1]), AIS_WARN_BAD_SENTENCE);
  EXPECT_EQ(decode(asA[0]), AIS_SUCCESS);
  EXPECT_EQ(decode(aisParts(b, 60, "2", "A")[1]), AIS_WARN_BAD_SENTENCE);
  EXPECT_EQ(decode(asA[1]), AIS_WARN_BAD_SENTENCE);  // the assembly was emptied
  EXPECT_EQ(decode(asA[0]), AIS_SUCCESS);
  EXPECT_EQ(decode(asA[0]), AIS_SUCCESS);  // a new first part starts over
  EXPECT_EQ(decode(asA[1]), AIS_SUCCESS);
  EXPECT_NE(m_vdm.message, nullptr);

  // A third part after two full 64-character parts exceeds every message decoded here.
  const std::string s64(64, '0');
  EXPECT_EQ(decode(aisSentence("3", "1", "4", "A", s64, "0")), AIS_SUCCESS);
  EXPECT_EQ(decode(aisSentence("3", "2", "4", "A", s64, "0")), AIS_SUCCESS);
  EXPECT_EQ(decode(aisSentence("3", "3", "4", "A", "00", "0")), AIS_WARN_BAD_SENTENCE);
}

TEST_F(AisDecoderTest, FieldsConvertWithTheirValidityFlags) {
  struct Case {
    int nRot;
    double dValue;
    BOOL bRight;
  } aRot[] = {{10, 55.748031496062992, TRUE}, {127, 5.0, TRUE}, {0, 0.0, TRUE}, {-10, 0.0, FALSE},
              {-127, 0.0, FALSE},            {-128, 0.0, FALSE}};
  for (const Case &c : aRot) {
    AisPosition p;
    p.nRot = c.nRot;
    const aisTargetINFO info = convert(aisClassA(p));
    EXPECT_NEAR(info.Rot.Value, c.dValue, 1e-9) << c.nRot;
    EXPECT_EQ(info.Rot.Right, c.bRight) << c.nRot;
    EXPECT_TRUE(info.validityFlag[ROT_FLAG_INDEX]) << c.nRot;
  }
  AisPosition p;
  p.nSog = 1022;
  p.nCog = 3599;
  p.nHeading = 359;
  p.nSecond = 59;
  p.nStatus = 15;
  aisTargetINFO info = convert(aisClassA(p));
  EXPECT_NEAR(info.Sog, 102.2, 1e-9);
  EXPECT_NEAR(info.Cog, 359.9, 1e-9);
  EXPECT_EQ(info.TrueHeading, 359u);
  EXPECT_EQ(info.TimeStamp_UTCsec, 59);
  for (int f : {SOG_FLAG_INDEX, COG_FLAG_INDEX, TRUEHEAD_FLAG_INDEX, UTCSEC_FLAG_INDEX, NAVSTATUS_FLAG_INDEX,
                POSACC_FLAG_INDEX, MMSI_FLAG_INDEX, LASTMSG_FLAG_INDEX}) {
    EXPECT_TRUE(info.validityFlag[f]) << f;
  }
  p.nSog = 1023;
  p.nCog = 3600;
  p.nHeading = 511;
  p.nSecond = 60;
  p.dLon = 181;
  p.dLat = 91;
  info = convert(aisClassA(p));
  for (int f : {SOG_FLAG_INDEX, COG_FLAG_INDEX, TRUEHEAD_FLAG_INDEX, UTCSEC_FLAG_INDEX, SHIPPOS_FLAG_INDEX}) {
    EXPECT_FALSE(info.validityFlag[f]) << f;
  }
  // Message 9: speed in whole knots and the altitude.
  AisBits b9;
  b9.u(6, 9).u(2, 0).u(30, 111000001).u(12, 4094).u(10, 120).u(1, 1).s(28, aisMinutes(5.0)).s(27, aisMinutes(53.0));
  b9.u(12, 900).u(6, 10).u(8, 0).u(1, 0).u(3, 0).u(1, 0).u(1, 0).u(20, 0);
  info = convert(b9);
  EXPECT_EQ(info.Sog, 120.0);
  EXPECT_EQ(info.Altitude, 4094u);
  EXPECT_TRUE(info.validityFlag[ALTITUDE_FLAG_INDEX]);
  EXPECT_EQ(info.PosAccuracy, LOWER_TEN_METERS);
}

TEST_F(AisDecoderTest, StaticDataTextsDimensionsEtaAndDraught) {
  AisStatic m;
  aisTargetINFO info = convert(aisStatic(m));
  EXPECT_STREQ(reinterpret_cast<const char *>(info.CallSign), "PD1234");
  EXPECT_EQ(info.ShipType, 70);
  EXPECT_EQ(info.ShipDimension.DimBow_A, 100u);
  EXPECT_EQ(info.ShipDimension.DimStern_B, 20u);
  EXPECT_EQ(info.ShipDimension.DimPort_C, 10u);
  EXPECT_EQ(info.ShipDimension.DimStarboard_D, 12u);
  EXPECT_EQ(info.IMO, 9123456u);
  EXPECT_EQ(info.Eta.Date, 241200u);
  EXPECT_EQ(info.Eta.Time, 134500u);
  EXPECT_NEAR(info.Draught, 7.5, 1e-9);
  for (int f : {NAME_FLAG_INDEX, CALLSIGN_FLAG_INDEX, DEST_FLAG_INDEX, SHIPTYPE_FLAG_INDEX, SHIPDIM_FLAG_INDEX,
                IMO_FLAG_INDEX, ETA_FLAG_INDEX, DRAUGHT_FLAG_INDEX}) {
    EXPECT_TRUE(info.validityFlag[f]) << f;
  }
  // '@' only, dimensions without a length, no IMO, type 0, no draught; an ETA with only its time.
  m.sName = "@@@@";
  m.sCallSign = "";
  m.anDim[0] = m.anDim[1] = 0;
  m.anDim[2] = m.anDim[3] = 5;
  m.nImo = 0;
  m.nType = 0;
  m.nDraught = 0;
  m.anEta[0] = 0;
  m.anEta[1] = 0;
  info = convert(aisStatic(m));
  for (int f : {NAME_FLAG_INDEX, CALLSIGN_FLAG_INDEX, SHIPTYPE_FLAG_INDEX, SHIPDIM_FLAG_INDEX, IMO_FLAG_INDEX,
                DRAUGHT_FLAG_INDEX}) {
    EXPECT_FALSE(info.validityFlag[f]) << f;
  }
  EXPECT_TRUE(info.validityFlag[ETA_FLAG_INDEX]);
  EXPECT_EQ(info.Eta.Date, 0u);
  EXPECT_EQ(info.Eta.Time, 134500u);
  m.anEta[2] = 24;
  m.anEta[3] = 60;
  info = convert(aisStatic(m));
  EXPECT_FALSE(info.validityFlag[ETA_FLAG_INDEX]);
  // Blank-padded texts keep their blanks.
  m.sName = "SEA BREEZE          ";
  info = convert(aisStatic(m));
  EXPECT_STREQ(reinterpret_cast<const char *>(info.Name), "SEA BREEZE          ");
  EXPECT_TRUE(info.validityFlag[NAME_FLAG_INDEX]);
}

TEST_F(AisDecoderTest, MergeTakesSetFlagsAndClearsTheOthersKeepingTheirValues) {
  AisPosition p;
  p.nSog = 100;
  p.nHeading = 90;
  aisTargetINFO stored = convert(aisClassA(p));
  stored.CPA = 1.5;
  stored.TCPA = 7.0;
  p.nSog = 200;
  p.nHeading = 511;
  const aisTargetINFO update = convert(aisClassA(p));
  EXPECT_EQ(m_manager.UpdateData(1, 0, update, stored), AIS_SUCCESS);
  EXPECT_NEAR(stored.Sog, 20.0, 1e-9);
  EXPECT_FALSE(stored.validityFlag[TRUEHEAD_FLAG_INDEX]);
  EXPECT_EQ(stored.TrueHeading, 90u);
  EXPECT_EQ(stored.CPA, 1.5);
  EXPECT_EQ(stored.TCPA, 7.0);
  // Static data merged into the same target leaves the position group alone.
  const aisTargetINFO statics = convert(aisStatic(AisStatic()));
  EXPECT_EQ(m_manager.UpdateData(5, 0, statics, stored), AIS_SUCCESS);
  EXPECT_TRUE(stored.validityFlag[SOG_FLAG_INDEX]);
  EXPECT_STREQ(reinterpret_cast<const char *>(stored.Name), "NORDIC STAR");
  // Message 24: part 0 the name, other parts call sign, type and dimensions.
  aisTargetINFO partB = {};
  std::strcpy(reinterpret_cast<char *>(partB.CallSign), "WDC1234");
  partB.validityFlag[CALLSIGN_FLAG_INDEX] = TRUE;
  EXPECT_EQ(m_manager.UpdateData(24, 1, partB, stored), AIS_SUCCESS);
  EXPECT_STREQ(reinterpret_cast<const char *>(stored.CallSign), "WDC1234");
  EXPECT_TRUE(stored.validityFlag[NAME_FLAG_INDEX]);
  EXPECT_FALSE(stored.validityFlag[SHIPTYPE_FLAG_INDEX]);
  const aisTargetINFO nothing = {};
  EXPECT_EQ(m_manager.UpdateData(24, 0, nothing, stored), AIS_WARN_NO_MERGE);
  EXPECT_EQ(m_manager.UpdateData(4, 0, update, stored), AIS_WARN_NO_MERGE);
}

TEST_F(AisDecoderTest, ApprovalOfFullSentences) {
  const std::string sGood = "!" + aisSingle(aisClassA(AisPosition())) + "\r\n";
  std::string sBadSum = sGood;
  sBadSum[sBadSum.size() - 3] = sBadSum[sBadSum.size() - 3] == '0' ? '1' : '0';
  std::string sHex = sGood;
  sHex[sHex.size() - 4] = 'G';
  const std::string sNoSum = "!AIVDM,1,1,,A,13`dU0E2gvPBp2lN8@TN4?wp0000,0\r\n";
  struct Case {
    std::string sSentence;
    ERRORCODE eExpected;
  } aCases[] = {{sGood, AIS_SUCCESS},
                {"  " + sGood, AIS_SUCCESS},
                {sBadSum, AIS_WARN_CHECKSUM},
                {sHex, AIS_WARN_CHECKSUM},
                {sNoSum, AIS_WARN_NO_CHECKSUM},
                {sGood.substr(1), AIS_WARN_MALFORMED},
                {sGood.substr(0, sGood.size() - 1), AIS_WARN_MALFORMED},
                {"!AIVDM,1,1,,A," + std::string(90, '0') + ",0*00\r\n", AIS_WARN_MALFORMED},
                {"!AIVDM,1,1,,A,0,0", AIS_WARN_MALFORMED}};
  for (const Case &c : aCases) EXPECT_EQ(AISManager::ais_ApprovedSentence(c.sSentence.c_str()), c.eExpected) << c.sSentence;
  enCode_ais eCode = AIS_CODE_VDO;
  EXPECT_EQ(AISManager::ais_MsgCheck(sGood.c_str(), eCode), AIS_SUCCESS);
  EXPECT_EQ(eCode, AIS_CODE_VDM);
  EXPECT_EQ(AISManager::ais_MsgCheck(sNoSum.c_str(), eCode), AIS_SUCCESS);
  std::string sOther = sNoSum;
  sOther.replace(3, 3, "XYZ");
  EXPECT_EQ(AISManager::ais_MsgCheck(sOther.c_str(), eCode), AIS_WARN_MALFORMED);
  EXPECT_EQ(eCode, AIS_CODE_NONE);
  EXPECT_EQ(AISManager::ais_MsgCheck(nullptr, eCode), AIS_ERR_NULL_SENTENCE);
}

TEST(AisRegistration, FlagStateFromTheFirstThreeDigits) {
  EXPECT_STREQ(GetRegInfoFromMMSI(244123456), "Netherlands");
  EXPECT_STREQ(GetRegInfoFromMMSI(2091234), "Cyprus");
  EXPECT_STREQ(GetRegInfoFromMMSI(111000001), "UnKnown");
  EXPECT_STREQ(GetRegInfoFromMMSI(-244123456), "UnKnown");
  struct Row {
    unsigned nRow;
    int nMID;
    const char *pcCode, *pcName;
  } aRows[] = {{0, 201, "ALB", "Albania"}, {7, 208, "CVA", "Vatican"}, {8, 209, "CYP", "Cyprus"},
               {9, 210, "CYP", "Cyprus"},  {10, 208, "CVA", "Vatican"}, {11, 209, "CYP", "Cyprus"},
               {12, 210, "CYP", "Cyprus"}, {13, 211, "D  ", "Germany"}};
  for (const Row &r : aRows) {
    EXPECT_EQ(regTable[r.nRow].nMID, r.nMID) << r.nRow;
    EXPECT_STREQ(regTable[r.nRow].acCode, r.pcCode) << r.nRow;
    EXPECT_STREQ(regTable[r.nRow].acName, r.pcName) << r.nRow;
  }
  auto row = [](int nMID) -> const AIS_REG_ROW * {
    for (unsigned i = 0; i < regTableRows; ++i) {
      if (regTable[i].nMID == nMID) return &regTable[i];
    }
    return nullptr;
  };
  for (const auto &[nMID, pcCode, pcName] : {std::tuple{338, "USA", "USA"}, {503, "AUS", "Australia"},
                                             {244, "HOL", "Netherlands"}}) {
    const AIS_REG_ROW *p = row(nMID);
    ASSERT_NE(p, nullptr) << nMID;
    EXPECT_STREQ(p->acCode, pcCode);
    EXPECT_STREQ(p->acName, pcName);
  }
  EXPECT_EQ(regTable[regTableRows - 1].nMID, 1000);
  EXPECT_STREQ(regTable[regTableRows - 1].acName, "UnKnown");
  // Ascending apart from the repeated rows, every MID between 201 and 775.
  for (unsigned i = 14; i + 1 < regTableRows; ++i) {
    EXPECT_LT(regTable[i - 1].nMID, regTable[i].nMID) << i;
    EXPECT_GE(regTable[i].nMID, 201);
    EXPECT_LE(regTable[i].nMID, 775);
  }
}

TEST(AisReader, FieldsReadStraightFromTheCharacters) {
  AisBits b;
  b.u(6, 1).s(28, -1).s(27, aisMinutes(-33.5)).u(6, 39).u(6, 40);
  const std::string s = b.payload();
  EXPECT_EQ(AISReader::ReadUnsigned(s.c_str(), 0, 6), 1u);
  EXPECT_EQ(AISReader::ReadSigned(s.c_str(), 6, 28), -1);
  EXPECT_EQ(AISReader::ReadSigned(s.c_str(), 34, 27), aisMinutes(-33.5));
  EXPECT_EQ(AISReader::ReadUnsigned(s.c_str(), 61, 6), 39u);
  EXPECT_EQ(AISReader::ReadUnsigned(s.c_str(), 67, 6), 40u);
  // The two armouring ranges and a character outside both.
  EXPECT_EQ(AISReader::Read6BitValue('0'), 0u);
  EXPECT_EQ(AISReader::Read6BitValue('W'), 39u);
  EXPECT_EQ(AISReader::Read6BitValue('`'), 40u);
  EXPECT_EQ(AISReader::Read6BitValue('w'), 63u);
  EXPECT_EQ(AISReader::Read6BitValue('z'), (('z' - 48) & 0x3F));
}

}  // namespace
