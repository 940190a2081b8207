// The transducer table's queries, including ids past its end, and the shared sonar state.
#include <gtest/gtest.h>

#include <string>

#include "kernel/options.h"
#include "settings/database.h"
#include "sonar/ping_state.h"
#include "sonar/transducer.h"
#include "test_environment.h"

namespace {

class Transducer : public ::testing::Test {
 protected:
  void SetUp() override { H_DATABASE_vInit(); }
  static void set(const char (&acKey)[5], U32 u32Value) {
    H_DATABASE_bUpdateValueU32(FCID(acKey), u32Value, P_NORMAL);
  }
};

TEST_F(Transducer, BeamsPerSourceAndOnThisModel) {
  EXPECT_EQ(S_TRANSDUCER_u32GetBeamsSupportedByModel(), 0x107u);
  const struct {
    U8 u8Id;
    U32 u32Beams, u32Display, u32Sources;
    U32 au32PerSource[5];  // sources 0-3 and one past them
  } cases[] = {
      {0, 0x0, 0x0, 0x0, {0, 0, 0, 0, 0}},
      {2, 0x103, 0x103, 0x7, {0x3, 0x100, 0x100, 0, 0x103}},  // the quad beam's side beams serve both imaging kinds
      {3, 0x203, 0x3, 0x5, {0x3, 0, 0, 0, 0x203}},  // its own side beams are outside every source
      {5, 0x1405, 0x5, 0x5, {0x5, 0, 0x1400, 0, 0x1405}},
      {15, 0x300009, 0x1, 0x3, {0x9, 0x300000, 0, 0, 0x300009}},
      {16, 0x1000400, 0x0, 0xC, {0, 0, 0x400, 0x1000000, 0x1000400}},
      {18, 0x300005, 0x5, 0x3, {0x5, 0x300000, 0, 0, 0x300005}},
      {19, 0, 0, 0, {0, 0, 0, 0, 0}},
      {255, 0, 0, 0, {0, 0, 0, 0, 0}},
  };
  for (const auto &c : cases) {
    EXPECT_EQ(S_TRANSDUCER_u32GetBeamsForTransducer(c.u8Id), c.u32Beams) << int(c.u8Id);
    EXPECT_EQ(S_TRANSDUCER_u32GetBeamsToDisplay(c.u8Id), c.u32Display) << int(c.u8Id);
    EXPECT_EQ(S_TRANSDUCER_u32GetSonarSources(c.u8Id), c.u32Sources) << int(c.u8Id);
    for (U16 u16Source = 0; u16Source < 5; ++u16Source) {
      EXPECT_EQ(S_TRANSDUCER_u32GetBeamsForTransducerAndSource(c.u8Id, u16Source), c.au32PerSource[u16Source])
          << int(c.u8Id) << " source " << u16Source;
    }
  }
}

TEST_F(Transducer, FrequencyTextsNamesAndCapabilities) {
  const struct {
    U8 u8Id, u8Source;
    const char *pcText;
  } texts[] = {{1, 0, "200/83"}, {7, 0, "200"}, {6, 0, "/83"}, {2, 1, "455"}, {2, 2, "455"}, {5, 2, "/"},
               {4, 0, "200/50"}, {0, 0, "/"},   {9, 3, "455"}, {0, 3, "455"}, {1, 4, "NONE"}, {18, 9, "NONE"},
               {19, 0, "NONE"},  {19, 3, "NONE"}, {200, 2, "NONE"}};
  for (const auto &t : texts) {
    EXPECT_STREQ(S_TRANSDUCER_pbyteGetFrequencyString(t.u8Id, t.u8Source), t.pcText)
        << int(t.u8Id) << " source " << int(t.u8Source);
  }
  EXPECT_STREQ((*S_TRANSDUCER_pasGetTransducerName(1))[0], "Dual Beam");
  EXPECT_STREQ((*S_TRANSDUCER_pasGetTransducerName(16))[21], "Orbidek");
  EXPECT_STREQ((*S_TRANSDUCER_pasGetTransducerName(13))[0], "Unknown");
  EXPECT_STREQ((*S_TRANSDUCER_pasGetTransducerName(19))[0], "Unknown");
  EXPECT_STREQ((*S_TRANSDUCER_pasGetTransducerName(255))[5], "Unknown");

  const std::pair<U32, U8> capabilities[] = {{0x3, 1}, {0x5, 4}, {0x1, 7}, {0x300003, 17}, {0x0, 0}, {0x6, 0},
                                             {0xFFFFFFFF, 0}};
  for (const auto &c : capabilities) EXPECT_EQ(S_TRANSDUCER_u8GetTransducerByCapability(c.first), c.second) << c.first;
}

TEST_F(Transducer, SettingsDrivenQueries) {
  // Without 'SSTS' nothing is an imaging transducer and the configured one counts as the default.
  EXPECT_FALSE(S_TRANSDUCER_bIsPlumbscan());
  EXPECT_FALSE(S_TRANSDUCER_bIsFlankscan());
  EXPECT_TRUE(S_TRANSDUCER_bIsDefaultTransducer());
  const struct {
    U32 u32Kind;
    bool bPlumb, bFlank, bDefault;  // 'SSTD' missing: the default is 1
  } kinds[] = {{1, false, false, true}, {2, false, false, false}, {5, false, true, false}, {9, false, true, false},
               {10, false, true, false}, {15, true, false, false}, {16, false, true, false}, {17, true, false, false},
               {18, true, false, false}, {0, false, false, false}};
  for (const auto &k : kinds) {
    set("SSTS", k.u32Kind);
    EXPECT_EQ(S_TRANSDUCER_bIsPlumbscan(), k.bPlumb) << k.u32Kind;
    EXPECT_EQ(S_TRANSDUCER_bIsFlankscan(), k.bFlank) << k.u32Kind;
    EXPECT_EQ(S_TRANSDUCER_bIsDefaultTransducer(), k.bDefault) << k.u32Kind;
  }
  set("SSTD", 4);
  set("SSTS", 4);
  EXPECT_TRUE(S_TRANSDUCER_bIsDefaultTransducer());
  set("SSTS", 1);
  EXPECT_FALSE(S_TRANSDUCER_bIsDefaultTransducer());

  EXPECT_EQ(S_TRANSDUCER_u32LFBeamFrequencyHertz(), 0u);
  set("CSFL", 83);
  EXPECT_EQ(S_TRANSDUCER_u32LFBeamFrequencyHertz(), 83000u);

  for (U8 u8Id = 0; u8Id < 30; ++u8Id) {
    const bool bSupported = u8Id == 0 || u8Id == 1 || u8Id == 2 || u8Id == 4;
    EXPECT_EQ(S_TRANSDUCER_bIsSupportedTransducer(u8Id), bSupported) << int(u8Id);
  }
}

TEST_F(Transducer, ElementBitsCurrentTransducerAndRange) {
  EXPECT_EQ(S_TRANSDUCER_u32GetElementBit(0xF, static_cast<NET_SOURCE_TYPE>(4)), 0xFu);
  EXPECT_EQ(S_TRANSDUCER_u32GetElementBit(0xF, SONAR_SOURCE_ZF), 0x4u);
  EXPECT_EQ(S_TRANSDUCER_u32GetElementBit(0x3, SONAR_SOURCE_360), 0x0u);
  U32 u32Mask = 0;
  S_TRANSDUCER_vSetElementBit(&u32Mask, SONAR_SOURCE_360);
  S_TRANSDUCER_vSetElementBit(&u32Mask, SONAR_SOURCE_2D);
  S_TRANSDUCER_vSetElementBit(&u32Mask, static_cast<NET_SOURCE_TYPE>(7));
  EXPECT_EQ(u32Mask, 0x9u);
  S_TRANSDUCER_vUnsetElementBit(&u32Mask, SONAR_SOURCE_360);
  S_TRANSDUCER_vUnsetElementBit(&u32Mask, static_cast<NET_SOURCE_TYPE>(4));
  EXPECT_EQ(u32Mask, 0x1u);

  EXPECT_EQ(S_TRANSDUCER_u8CurrentTransducer(0), 0);
  EXPECT_EQ(S_TRANSDUCER_u8CurrentTransducer(1), 0);
  S_TRANSDUCER_vSetCurrentTransducer(1, 17);
  S_TRANSDUCER_vSetCurrentTransducer(2, 5);  // no third class
  EXPECT_EQ(S_TRANSDUCER_u8CurrentTransducer(1), 17);
  EXPECT_EQ(S_TRANSDUCER_u8CurrentTransducer(2), 0);
  S_TRANSDUCER_vSetCurrentTransducer(1, 0);

  EXPECT_FLOAT_EQ(S_TRANSDUCER_fMaximumDepthRangeMetres(), 200.0f);
  S_TRANSDUCER_vSetMaximumDepthRangeMetres(330.0f);
  EXPECT_FLOAT_EQ(S_TRANSDUCER_fMaximumDepthRangeMetres(), 330.0f);
  S_TRANSDUCER_vSetMaximumDepthRangeMetres(200.0f);
}

TEST(SharedSonarState, StartValuesSettersAndMonitorSearch) {
  for (U16 u16Source = 0; u16Source < 4; ++u16Source) {
    EXPECT_EQ(U_PING_eGetNetworkClientState(u16Source), NETWORK_CLIENT_STATE_INIT);
    EXPECT_EQ(U_PING_s32GetServerMonitorHandle(u16Source), 0);
  }
  EXPECT_EQ(U_PING_beamGetBeamSelected(), 1);
  EXPECT_EQ(U_PING_layeridGetCurrentView(), -2);
  EXPECT_EQ(U_PING_eGetSystemState(), 0);
  EXPECT_FALSE(U_PING_bGetPlayback());
  EXPECT_FALSE(U_PING_bGetDeepWaterMode());
  EXPECT_EQ(U_PING_u32GetDepthKnownCnt(), 0u);
  EXPECT_EQ(U_PING_fGetCurrentDepth(), 0.0f);

  U_PING_vSetNetworkClientState(NETWORK_CLIENT_STATE_CONNECTED, 2);
  U_PING_vSetNetworkClientState(NETWORK_CLIENT_STATE_LOCAL, 4);  // no fifth source
  EXPECT_EQ(U_PING_eGetNetworkClientState(2), NETWORK_CLIENT_STATE_CONNECTED);
  EXPECT_EQ(U_PING_eGetNetworkClientState(4), NETWORK_CLIENT_STATE_INIT);
  U_PING_vSetDepthKnownCnt(3);
  U_PING_vIncrementDepthKnownCnt(4);
  EXPECT_EQ(U_PING_u32GetDepthKnownCnt(), 7u);

  U_PING_vSetServerMonitorHandle(11, 1);
  U_PING_vSetServerMonitorHandle(22, 3);
  EXPECT_EQ(U_PING_s32GetSonarIndexFromServerMonitorHandle(22), 3);
  EXPECT_EQ(U_PING_s32GetSonarIndexFromServerMonitorHandle(11), 1);
  EXPECT_EQ(U_PING_s32GetSonarIndexFromServerMonitorHandle(33), -1);
  EXPECT_EQ(U_PING_s32GetSonarIndexFromServerMonitorHandle(0), 0);  // sources without a monitor hold 0

  GMSG_ADDRESS address = {};
  GMSG_vMakeSocketAddress(&address, 0x0A00000B, 50688);
  U_PING_vSetServerAddress(address, 2);
  GMSG_ADDRESS out = {};
  U_PING_vGetServerAddress(&out, 2);
  EXPECT_TRUE(GMSG_bAddressEqual(&out, &address));
  U_PING_vInitServerAddress();
  U_PING_vGetServerAddress(&out, 2);
  EXPECT_EQ(out.uAddr.SocketAddress.u32Address, 0u);

  // Back to the start values for the other tests of this process.
  U_PING_vSetNetworkClientState(NETWORK_CLIENT_STATE_INIT, 2);
  U_PING_vSetDepthKnownCnt(0);
  U_PING_vSetServerMonitorHandle(0, 1);
  U_PING_vSetServerMonitorHandle(0, 3);
}

std::vector<U32> addresses(const sonarRegisteredClientNode *pHead) {
  std::vector<U32> list;
  for (; pHead != nullptr; pHead = pHead->next) list.push_back(pHead->u32ClientAddress);
  return list;
}

TEST(SharedSonarState, ClientListsHoldEachAddressOnce) {
  testing::internal::CaptureStdout();
  sonarRegisteredClientNode *pHead = nullptr;
  U_PING_vDeleteClientNode(&pHead, 0x0A000001);
  EXPECT_EQ(pHead, nullptr);
  for (U32 u32Address : {0x0A000001u, 0x0A000002u, 0x0A000001u, 0x0A000003u}) U_PING_vAddClientNode(&pHead, u32Address);
  EXPECT_EQ(addresses(pHead), (std::vector<U32>{0x0A000001, 0x0A000002, 0x0A000003}));
  U_PING_vDeleteClientNode(&pHead, 0x0A000002);
  U_PING_vDeleteClientNode(&pHead, 0x0A000009);  // not listed: nothing changes
  EXPECT_EQ(addresses(pHead), (std::vector<U32>{0x0A000001, 0x0A000003}));
  U_PING_vDeleteClientNode(&pHead, 0x0A000001);
  EXPECT_EQ(addresses(pHead), (std::vector<U32>{0x0A000003}));
  U_PING_vAddClientNode(&pHead, 0x0A000004);
  U_PING_vAllDeleteClientNodes(&pHead);
  EXPECT_EQ(pHead, nullptr);
  const std::string sLog = testing::internal::GetCapturedStdout();
  EXPECT_NE(sLog.find("empty list for sonar source, cannot delete address 0A000001"), std::string::npos) << sLog;
  EXPECT_NE(sLog.find("client at 0A000001 already registered"), std::string::npos) << sLog;
}

}  // namespace
