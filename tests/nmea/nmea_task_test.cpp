// The NMEA task: its port records and source priorities, settings, the settings writers, fix texts, the
// 500 ms tick on the test clock, the GPS source menu and the NMEA 2000 sentences.
#include <algorithm>
#include <cmath>
#include <cstring>
#include <fstream>
#include <iterator>

#include "chartlib/nav/nv_navig.h"
#include "kernel/sema.h"
#include "n2k/nmea_adaptor_standin.h"
#include "net/ethbcast_standin.h"
#include "net/gmsg_standin.h"
#include "nmea/ais/ais_nmea.h"
#include "nmea/nmea_parse.h"
#include "nmea/nmea_standin.h"
#include "nmea/nmea_task.h"
#include "nmea_fixture.h"
#include "ui/menu/menu.h"
#include "util/datum.h"
#include "util/geomag.h"

namespace {

bool contains(const std::vector<std::string> &asCalls, const std::string &sCall) {
  return std::find(asCalls.begin(), asCalls.end(), sCall) != asCalls.end();
}
long count(const std::vector<std::string> &asCalls, const std::string &sCall) {
  return std::count(asCalls.begin(), asCalls.end(), sCall);
}
bool waitListHas(SEMA sema) {
  for (const SEMA *p = T_NMEA_pWaitListForTest(); *p != 0; ++p) {
    if (*p == sema) return true;
  }
  return false;
}
U32 fetchU32(const char (&acKey)[5], BOOLEAN *pbValid = nullptr, DB_ATTRIBUTES *pAttr = nullptr) {
  U32 u32Value = 0;
  BOOLEAN bValid = FALSE;
  EXPECT_TRUE(H_DATABASE_bFetchU32(FCID(acKey), &u32Value, &bValid, pAttr)) << acKey;
  if (pbValid != nullptr) *pbValid = bValid;
  return u32Value;
}
float fetchFloat(const char (&acKey)[5]) {
  float fValue = 0;
  EXPECT_TRUE(H_DATABASE_bFetchFloat(FCID(acKey), &fValue, nullptr, nullptr)) << acKey;
  return fValue;
}
// The item's owner priority, found by probing: the strongest priority whose write of another value is refused.
bool refusesAt(FOURCHARID key, U32 u32Priority) {
  DB_DATA_TYPE old = {};
  BOOLEAN bValid;
  DB_ATTRIBUTES attr;
  H_DATABASE_bFetch(key, &old, &bValid, &attr);
  DB_DATA_TYPE probe = old;
  probe.u32Val ^= 0x5A5A;
  return H_DATABASE_bUpdateValue(key, probe, u32Priority) == TRUE;
}

class NmeaTaskTest : public SerialTest {
 protected:
  void SetUp() override {
    SerialTest::SetUp();
    if (IsSkipped()) return;
    // Menu registrations arrive in a mailbox the test reads.
    H_DATABASE_bUpdateEverythingU32(FCID("TMNU"), M_MENU, P_NORMAL, D_MAILBOX, nullptr, DB_NO_TIMEOUT);
    GMSG_STANDIN_vSetAddressReady(TRUE);
    T_NMEA_vRecordParsedForTest(TRUE);
    N2K_STANDIN_vSetSatellites("", {});
    ETHBCAST_STANDIN_vSetPosition(FALSE, 0, 0);
  }
  void TearDown() override {
    if (m_bNmeaStarted) endTask(NMEATASK, M_NMEA, SEMA_MBOX_NMEA);
    T_NMEA_vRecordParsedForTest(FALSE);
    drainMenu();
    NMEA_STANDIN_vTake();
    N2K_STANDIN_vTakeAdapted();
    SerialTest::TearDown();
  }
  void startNmea() {
    startUartAndEndInitPeriod();
    m_bNmeaStarted = true;
    startTask(NMEATASK, FCID("TNME"), T_NMEA_bRunningForTest);
  }
  void post(void *pvMsg) { ASSERT_EQ(L_MBOX_Send(M_NMEA, pvMsg, NORMAL_PRIORITY, 0), 0); }
  // Sends the message and waits until the task has released it.
  void ask(GENERIC_MESSAGE *pMsg) {
    ASSERT_EQ(L_MBOX_SendWait(M_NMEA, pMsg, NORMAL_PRIORITY, SEMA_TEST_PARAMS), 0);
    H_MEMORY_vFree(pMsg);
  }
  // A message that the task handles after everything posted before it (notices included).
  void sync() {
    auto *pMsg = static_cast<GENERIC_MESSAGE *>(H_MEMORY_pvCalloc(1, sizeof(GENERIC_MESSAGE)));
    pMsg->Cmd = CMD_ID_INVALID_ID;
    ASSERT_EQ(L_MBOX_SendWait(M_NMEA, pMsg, EXTREMELY_LOW_PRIORITY, SEMA_TEST_PARAMS), 0);
    H_MEMORY_vFree(pMsg);
  }
  // Menu items registered since the last call: (title, choices, values).
  struct MenuItem {
    std::string sTitle;
    std::vector<std::string> asChoices;
    std::vector<U32> au32Values;
  };
  std::vector<MenuItem> takeMenuItems(std::vector<std::string> *pasRemoved = nullptr) {
    std::vector<MenuItem> aItems;
    while (void *pvMsg = L_MBOX_Receive(M_MENU)) {
      auto *pGeneric = static_cast<GENERIC_MESSAGE *>(pvMsg);
      if (pGeneric->Cmd == CMD_ID_REGISTER_MENU_ITEM) {
        const auto *pItem = static_cast<MSG_ADD_MENU_ITEM *>(pvMsg);
        MenuItem item;
        item.sTitle = (*pItem->descriptor.pMenuName)[0];
        const M_SELECTION_BOX_PARAMETERS &sel = pItem->descriptor.parameters.selector;
        for (U32 i = 0; i < sel.numberSelections; ++i) {
          item.asChoices.push_back((*sel.pSelectionList[i])[0]);
          item.au32Values.push_back(sel.pSelectionValueArray[i]);
        }
        aItems.push_back(item);
      } else if (pGeneric->Cmd == CMD_ID_UNREGISTER_MENU_ITEM && pasRemoved != nullptr) {
        pasRemoved->push_back((*static_cast<MSG_REMOVE_MENU *>(pvMsg)->pMenuName)[0]);
      }
      H_MEMORY_vDumpMail(pvMsg);
    }
    return aItems;
  }
  void drainMenu() { takeMenuItems(); }
  // Run-system in the given state; returns once the task has registered its output menu (its last step but two).
  void runSystem(U32 u32State) { TEST_vRunNmeaSystem(u32State); }
  // One 500 ms tick, handled.
  void tick() {
    const U32 u32Before = T_NMEA_u32TicksForTest();
    PLATFORM_CLOCK_vAdvanceTestClockMs(500);
    TIMER_vSyncForTest();
    TEST_vWaitFor([&] { return T_NMEA_u32TicksForTest() == u32Before + 1; });
  }

  bool m_bNmeaStarted = false;
};

TEST_F(NmeaTaskTest, StartCreatesThePortRecordsOfTheTableAndNoneForTheInternalGps) {
  startNmea();
  struct Row {
    GPS_SOURCE_ID eSource;
    PORT_INDEX eIndex;
    NMEA_PORT_TYPE eType;
    U32 u32Priority;
    FOURCHARID status;
    int nChannel;  // -1: not serial
  } const kRows[] = {
      {ID_NMEA2K_GPS, PORT_INDEX_NMEA2K_GPS, NMEA_PORT_TYPE_NMEA2K, 10, 0, -1},
      {ID_EXTERNAL_GPS, PORT_INDEX_EXTERNAL_GPS, NMEA_PORT_TYPE_SERIAL, 6, FCID("GPSE"), 0},
      {ID_NETWORK_GPS, PORT_INDEX_NETWORK_GPS, NMEA_PORT_TYPE_NETWORK, 4, 0, -1},
      {ID_GATEWAY_ATTACHED_GPS, PORT_INDEX_GATEWAY_GPS, NMEA_PORT_TYPE_GATEWAY, 5, FCID("GPSG"), -1},
      {ID_REMOTE_EXTERNAL_GPS, PORT_INDEX_REMOTE_EXTERNAL_GPS, NMEA_PORT_TYPE_GATEWAY, 8, FCID("GPSX"), -1},
      {ID_REMOTE_INTERNAL_GPS, PORT_INDEX_REMOTE_INTERNAL_GPS, NMEA_PORT_TYPE_GATEWAY, 9, FCID("GPSR"), -1},
      {ID_EXTERNAL_AIS, PORT_INDEX_EXTERNAL_AIS, NMEA_PORT_TYPE_SERIAL, 0, 0, 2},
      {ID_EXTERNAL_AIS2, PORT_INDEX_EXTERNAL_AIS2, NMEA_PORT_TYPE_SERIAL, 0, 0, 3},
  };
  for (const Row &row : kRows) {
    SCOPED_TRACE(row.eSource);
    EXPECT_EQ(T_NMEA_eGetPortIndex(row.eSource), row.eIndex);
    const NMEA_PORT_INFO *pPort = T_NMEA_pGetPortInfo(row.eSource);
    ASSERT_NE(pPort, nullptr);
    EXPECT_EQ(pPort->eSourceID, row.eSource);
    EXPECT_EQ(pPort->ePortType, row.eType);
    EXPECT_EQ(pPort->GPSWritePriority, row.u32Priority);
    EXPECT_EQ(pPort->fcidGPSStatus, row.status);
    EXPECT_EQ(pPort->eState, NMEA_STATE_OFFLINE);
    EXPECT_TRUE(pPort->bCalculateCOG);  // 'SCCG' is written true first
    EXPECT_NE(pPort->pGatewayGPSData, nullptr);
    if (row.nChannel < 0) {
      EXPECT_EQ(pPort->pSerialInfo, nullptr);
    } else {
      ASSERT_NE(pPort->pSerialInfo, nullptr);
      EXPECT_EQ(pPort->pSerialInfo->u8Port, row.nChannel);
      EXPECT_EQ(pPort->pSerialInfo->RxDataQueue, T_UART_nGetQueue(static_cast<U8>(row.nChannel), FALSE));
    }
  }
  for (GPS_SOURCE_ID eNone : {ID_INTERNAL_GPS, ID_INVALID, ID_AUTO_SELECT, static_cast<GPS_SOURCE_ID>(3)}) {
    EXPECT_EQ(T_NMEA_pGetPortInfo(eNone), nullptr) << eNone;
  }
  EXPECT_EQ(T_NMEA_eGetPortIndex(ID_AUTO_SELECT), PORT_INDEX_INVALID);
  EXPECT_EQ(T_NMEA_pInitPortInfo(ID_INTERNAL_GPS), nullptr);
  EXPECT_EQ(T_NMEA_u32GetInternalIPFI(), 0u);
  EXPECT_EQ(T_NMEA_u32GetGPSType(FALSE), 0u);
  EXPECT_TRUE(T_NMEA_bHandleStatus());
  // The start registered '$' and '!' on channel 0 and '!' on 2 and 3: lines starting so capture for the task.
  const std::vector<std::string> asCalls = NMEA_STANDIN_vTake();
  EXPECT_EQ(T_NMEA_u32GetAisNumOfTargets(), 0u);
  EXPECT_TRUE(contains(asCalls, "network set-up"));
  feed(2, "\r!AIVDM,1\r");
  EXPECT_EQ(T_UART_taskOwnerForTest(2), NMEATASK);
  feed(3, "\r$GPGGA\r");
  EXPECT_FALSE(T_UART_bChannelIsOwned(3));
}

TEST_F(NmeaTaskTest, DefaultsAreWrittenAtPriority14OrAt2AfterTheFactoryReset) {
  startNmea();
  struct Default {
    const char *pcKey;
    U32 u32Value;
  } const kDefaults[] = {{"SNOE", 0}, {"SNGE", 1}, {"SNNE", 1}, {"SVGD", 0}, {"SGPP", 13}, {"SLBL", 1},
                         {"SAIS", 0}, {"STCL", 300}, {"SCHO", 0}, {"SNHL", 0}, {"GPSC", 6}};
  auto key = [](const char *pc) {
    return static_cast<FOURCHARID>(pc[0] | pc[1] << 8 | pc[2] << 16 | static_cast<U32>(pc[3]) << 24);
  };
  for (const Default &d : kDefaults) {
    SCOPED_TRACE(d.pcKey);
    U32 u32Value = 99;
    BOOLEAN bValid = FALSE;
    DB_ATTRIBUTES attr;
    ASSERT_TRUE(H_DATABASE_bFetchU32(key(d.pcKey), &u32Value, &bValid, &attr));
    EXPECT_EQ(u32Value, d.u32Value);
    EXPECT_TRUE(bValid);
    EXPECT_EQ(attr.u32TimeOut, DB_NO_TIMEOUT);
    EXPECT_FALSE(refusesAt(key(d.pcKey), P_DEFAULT_SETTING));  // priority 14: another 14 may write
  }
  // 'SCCG' true at 14, 'GPSE' 0 at 2.
  EXPECT_EQ(fetchU32("SCCG"), 1u);
  EXPECT_TRUE(refusesAt(FCID("GPSE"), P_NVR));
  auto *pMsg = static_cast<GENERIC_MESSAGE *>(H_MEMORY_pvCalloc(1, sizeof(GENERIC_MESSAGE)));
  pMsg->Cmd = CMD_ID_RESET_POS;
  ask(pMsg);
  for (const Default &d : kDefaults) {
    SCOPED_TRACE(d.pcKey);
    EXPECT_TRUE(refusesAt(key(d.pcKey), P_NVR));
    EXPECT_FALSE(refusesAt(key(d.pcKey), P_NORMAL));
  }
}

TEST_F(NmeaTaskTest, SelectedSourceWritesAtPriority3AndAutoRestoresTheDefaults) {
  startNmea();
  const NMEA_PORT_INFO *pExternal = T_NMEA_pGetPortInfo(ID_EXTERNAL_GPS);
  const NMEA_PORT_INFO *pN2k = T_NMEA_pGetPortInfo(ID_NMEA2K_GPS);
  struct Step {
    U32 u32Selected;
    U32 u32External, u32N2k;  // priorities afterwards
    U32 u32CGPS;              // 0: not written by this step
  } const kSteps[] = {
      {ID_EXTERNAL_GPS, 3, 10, 6},
      {ID_AUTO_SELECT, 6, 10, 0},
      {ID_NMEA2K_GPS, 6, 3, 10},
      {ID_INTERNAL_GPS, 6, 10, 0},  // no record: only the defaults come back
      {ID_EXTERNAL_GPS, 3, 10, 6},
      {99, 6, 10, 0},
  };
  for (const Step &step : kSteps) {
    SCOPED_TRACE(step.u32Selected);
    H_DATABASE_vDeleteEntry(FCID("CGPS"));
    H_DATABASE_bUpdateValueU32(FCID("SGPP"), step.u32Selected, P_NORMAL);
    sync();
    EXPECT_EQ(pExternal->GPSWritePriority, step.u32External);
    EXPECT_EQ(pN2k->GPSWritePriority, step.u32N2k);
    U32 u32CGPS = 0;
    BOOLEAN bValid = FALSE;
    DB_ATTRIBUTES attr = {};
    const BOOLEAN bWritten = H_DATABASE_bFetchU32(FCID("CGPS"), &u32CGPS, &bValid, &attr);
    EXPECT_EQ(bWritten, step.u32CGPS != 0 ? TRUE : FALSE);
    if (step.u32CGPS != 0) {
      EXPECT_EQ(u32CGPS, step.u32CGPS);
      EXPECT_EQ(attr.u32TimeOut, 4u);
      EXPECT_TRUE(refusesAt(FCID("CGPS"), P_NETWORK_GPS));
      EXPECT_FALSE(refusesAt(FCID("CGPS"), P_SELECTED_GPS_OVERRIDE));
    }
  }
}

class NmeaWritersTest : public ::testing::Test {
 protected:
  void SetUp() override { H_DATABASE_vInit(); }
};

TEST_F(NmeaWritersTest, LatLonWritesMetresVariationDatumAndPositionWithTheSourcePriority) {
  H_DATABASE_bUpdateEverythingU32(FCID("SDTM"), DATUM_NAD27_Mean, P_NORMAL, D_UNKNOWN, nullptr, DB_NO_TIMEOUT);
  const POSITION pos = {43.767, -88.031};
  const U32 u32Time = 1765411200;  // 2025-12-11
  ASSERT_TRUE(T_NMEA_bUpdateLatLon(&pos, u32Time, P_EXTERNAL_GPS));
  POINT tMetres;
  ASSERT_TRUE(CL_IsSuccess(nv_DegrToMeter(&pos, &tMetres)));
  double dLat = 0, dLon = 0;
  WGS84_2_Datum(pos.lat, pos.lon, &dLat, &dLon, DATUM_NAD27_Mean);
  EXPECT_EQ(static_cast<S32>(fetchU32("ILAT")), tMetres.y);
  EXPECT_EQ(static_cast<S32>(fetchU32("ILON")), tMetres.x);
  EXPECT_FLOAT_EQ(fetchFloat("IMGV"), static_cast<float>(dMagneticVariation(0, pos.lat, pos.lon, u32Time)));
  EXPECT_FLOAT_EQ(fetchFloat("ILTD"), static_cast<float>(dLat));
  EXPECT_FLOAT_EQ(fetchFloat("ILND"), static_cast<float>(dLon));
  void *pvPos = nullptr;
  ASSERT_TRUE(H_DATABASE_bFetchVoidPointer(FCID("IPOS"), &pvPos, nullptr, nullptr));
  EXPECT_DOUBLE_EQ(static_cast<POSITION *>(pvPos)->lat, dLat);
  EXPECT_DOUBLE_EQ(static_cast<POSITION *>(pvPos)->lon, dLon);
  struct Expect {
    const char *pcKey;
    DATA_TYPE type;
  } const kKeys[] = {{"ILAT", D_POSITION_LAT_MM}, {"ILON", D_POSITION_LON_MM}, {"IMGV", D_FLOAT},
                     {"ILTD", D_POSITION_LAT}, {"ILND", D_POSITION_LON},       {"IPOS", D_POINTER}};
  for (const Expect &e : kKeys) {
    SCOPED_TRACE(e.pcKey);
    DB_ATTRIBUTES attr = {};
    const FOURCHARID key = static_cast<FOURCHARID>(e.pcKey[0] | e.pcKey[1] << 8 | e.pcKey[2] << 16 |
                                                   static_cast<U32>(e.pcKey[3]) << 24);
    DB_DATA_TYPE value;
    ASSERT_TRUE(H_DATABASE_bFetch(key, &value, nullptr, &attr));
    EXPECT_EQ(attr.DataType, e.type);
    EXPECT_EQ(attr.u32TimeOut, 4u);
    EXPECT_TRUE(refusesAt(key, P_INTERNAL_GPS));  // a weaker source is refused
  }
}

TEST_F(NmeaWritersTest, RefusedPositionOfAWeakerSourceLeavesThePublishedPositionAlone) {
  H_DATABASE_bUpdateEverythingU32(FCID("SDTM"), 0, P_NORMAL, D_UNKNOWN, nullptr, DB_NO_TIMEOUT);
  const POSITION strong = {43.5, -88.0};
  const POSITION weak = {10.25, 20.5};
  ASSERT_TRUE(T_NMEA_bUpdateLatLon(&strong, 0, P_EXTERNAL_GPS));
  ASSERT_TRUE(T_NMEA_bUpdateLatLon(&weak, 0, P_NMEA2K_GPS));
  void *pvPos = nullptr;
  ASSERT_TRUE(H_DATABASE_bFetchVoidPointer(FCID("IPOS"), &pvPos, nullptr, nullptr));
  double dLat = 0, dLon = 0;
  WGS84_2_Datum(strong.lat, strong.lon, &dLat, &dLon, static_cast<DATUM_PLANE>(0));
  EXPECT_DOUBLE_EQ(static_cast<POSITION *>(pvPos)->lat, dLat);
  EXPECT_DOUBLE_EQ(static_cast<POSITION *>(pvPos)->lon, dLon);
}

TEST_F(NmeaWritersTest, NoDatumNoDatumPositionAndThePoleRegionIsRefused) {
  const POSITION pos = {43.5, -88.0};
  ASSERT_TRUE(T_NMEA_bUpdateLatLon(&pos, 0, P_EXTERNAL_GPS));
  DB_DATA_TYPE value;
  EXPECT_TRUE(H_DATABASE_bFetch(FCID("ILAT"), &value, nullptr, nullptr));
  for (FOURCHARID key : {FCID("ILTD"), FCID("ILND"), FCID("IPOS")}) {
    EXPECT_FALSE(H_DATABASE_bFetch(key, &value, nullptr, nullptr));
  }
  H_DATABASE_vInit();
  H_DATABASE_bUpdateEverythingU32(FCID("SDTM"), 0, P_NORMAL, D_UNKNOWN, nullptr, DB_NO_TIMEOUT);
  const POSITION polar = {81.0, 10.0};
  EXPECT_FALSE(T_NMEA_bUpdateLatLon(&polar, 0, P_EXTERNAL_GPS));
  for (FOURCHARID key : {FCID("ILAT"), FCID("ILON"), FCID("IMGV"), FCID("ILTD"), FCID("IPOS")}) {
    EXPECT_FALSE(H_DATABASE_bFetch(key, &value, nullptr, nullptr));
  }
}

TEST_F(NmeaWritersTest, HeadingFollowsTheCourseOnlyAtSpeed) {
  struct Case {
    const char *pcWhat;
    GPS_SOURCE_ID eSource;  // ID_INVALID: the plain form at priority 6
    BOOLEAN bValid;
    float fCourse, fSpeed;
    float fExpected;  // 'IHDG' was 100 before
  } const kCases[] = {
      {"valid at 0.25", ID_INVALID, TRUE, 45, 0.25f, 45},
      {"valid below 0.25", ID_INVALID, TRUE, 45, 0.24f, 100},
      {"invalid at speed", ID_INVALID, FALSE, 45, 5, 100},
      {"external RMC at 0.09", ID_EXTERNAL_GPS, TRUE, 45, 0.09f, 45},
      {"external RMC below 0.09", ID_EXTERNAL_GPS, TRUE, 45, 0.089f, 100},
      {"other RMC at 0.10", ID_NMEA2K_GPS, TRUE, 45, 0.10f, 100},
      {"other RMC at 0.12", ID_NMEA2K_GPS, TRUE, 45, 0.12f, 45},
  };
  for (const Case &c : kCases) {
    SCOPED_TRACE(c.pcWhat);
    H_DATABASE_vInit();
    H_DATABASE_bUpdateEverythingFloat(FCID("IHDG"), 100, P_DEFAULT_SETTING, D_HEADING, nullptr, 4);
    float fResult;
    if (c.eSource == ID_INVALID) {
      fResult = T_NMEA_fUpdateHeading(c.bValid, c.fCourse, c.fSpeed, P_EXTERNAL_GPS);
    } else {
      NMEA_PORT_INFO tPort = {};
      tPort.eSourceID = c.eSource;
      tPort.GPSWritePriority = P_EXTERNAL_GPS;
      fResult = T_NMEA_fUpdateHeading_RMC(c.bValid, c.fCourse, c.fSpeed, &tPort);
    }
    EXPECT_FLOAT_EQ(fResult, c.fExpected);
    EXPECT_FLOAT_EQ(fetchFloat("IHDG"), c.fExpected);
  }
  // Without a stored heading the course is taken.
  H_DATABASE_vInit();
  EXPECT_FLOAT_EQ(T_NMEA_fUpdateHeading(FALSE, 12, 0, P_EXTERNAL_GPS), 12);
}

TEST_F(NmeaWritersTest, FixTextsAndEnumsFromModeIndicatorAndCompassState) {
  struct Case {
    int nGSM, nPFI, nGPSC;  // -1: not written, -2: written and timed out
    const char *pcText;
    GPSFixType eFix;
  } const kCases[] = {
      {-1, -1, -1, "No Fix", GPS_FIXTYPE_NONE},   {1, 1, -1, "Unknown", GPS_FIXTYPE_NONE},
      {2, 0, -1, "No Fix", GPS_FIXTYPE_NONE},     {2, 1, -1, "2D Fix", GPS_FIXTYPE_2D},
      {3, 1, -1, "3D Fix", GPS_FIXTYPE_3D},       {3, 2, -1, "Enhanced", GPS_FIXTYPE_ENHANCED},
      {4, 1, -1, "Unknown", GPS_FIXTYPE_UNKNOWN}, {-1, 1, 6, "Unknown", GPS_FIXTYPE_NONE},
      {-1, 2, 6, "Enhanced", GPS_FIXTYPE_NONE},   {-1, 1, -1, "No Fix", GPS_FIXTYPE_NONE},
      {3, -1, 6, "No Fix", GPS_FIXTYPE_NONE},
  };
  for (const Case &c : kCases) {
    SCOPED_TRACE(std::to_string(c.nGSM) + " " + std::to_string(c.nPFI) + " " + std::to_string(c.nGPSC));
    H_DATABASE_vInit();
    if (c.nGSM >= 0) H_DATABASE_bUpdateValueU32(FCID("IGSM"), static_cast<U32>(c.nGSM), P_NORMAL);
    if (c.nPFI >= 0) H_DATABASE_bUpdateValueU32(FCID("IPFI"), static_cast<U32>(c.nPFI), P_NORMAL);
    if (c.nGPSC >= 0) H_DATABASE_bUpdateValueU32(FCID("GPSC"), static_cast<U32>(c.nGPSC), P_NORMAL);
    EXPECT_STREQ((*T_NMEA_pFixType())[0], c.pcText);
    EXPECT_EQ(T_NMEA_pFixTypeEnum(), c.eFix);
  }
  struct Named {
    GPSFixType eFix;
    const char *pcText;
  } const kNamed[] = {{GPS_FIXTYPE_NONE, "No Fix"},       {GPS_FIXTYPE_2D, "2D Fix"}, {GPS_FIXTYPE_3D, "3D Fix"},
                      {GPS_FIXTYPE_ENHANCED, "Enhanced"}, {GPS_FIXTYPE_FIX, "Fix"},   {GPS_FIXTYPE_UNKNOWN, "Unknown"},
                      {static_cast<GPSFixType>(9), "Unknown"}};
  for (const Named &n : kNamed) EXPECT_STREQ((*T_NMEA_pFixTypeFromEnum(n.eFix))[0], n.pcText);
}

TEST(NmeaMovingAverage, SlotIsTheCounterModuloTheWindowAndUnwrittenSlotsCountZero) {
  float afSamples[10] = {};
  float fAverage = -1;
  T_NMEA_vCalulateMovingAvgSOGAndCOG(10, 10, 0, afSamples, &fAverage);
  EXPECT_FLOAT_EQ(fAverage, 1.0f);
  T_NMEA_vCalulateMovingAvgSOGAndCOG(20, 10, 1, afSamples, &fAverage);
  EXPECT_FLOAT_EQ(fAverage, 3.0f);
  T_NMEA_vCalulateMovingAvgSOGAndCOG(30, 10, 10, afSamples, &fAverage);  // replaces slot 0
  EXPECT_FLOAT_EQ(fAverage, 5.0f);
  T_NMEA_vCalulateMovingAvgSOGAndCOG(5, 0, 3, afSamples, &fAverage);
  EXPECT_FLOAT_EQ(fAverage, 0.0f);
  float afFour[4] = {};
  T_NMEA_vCalulateMovingAvgSOGAndCOG(8, 4, 256 + 4 * 3 + 1, afFour, &fAverage);
  EXPECT_FLOAT_EQ(afFour[(256 + 13) % 4], 8.0f);
  EXPECT_FLOAT_EQ(fAverage, 2.0f);
}

TEST(NmeaSiRF, SwitchToNmeaFrame) {
  U8 au8Frame[40];
  ASSERT_EQ(T_NMEA_u32SiRFSwitchToNMEA(38400, au8Frame, sizeof(au8Frame)), 32u);
  const U8 au8Expected[32] = {0xA0, 0xA2, 0x00, 0x18, 0x81, 0x02, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 0, 1, 0, 1, 0, 1, 0, 1,
                              0x00, 0x00, 0x96, 0x00, 0x01, 0x27, 0xB0, 0xB3};
  EXPECT_EQ(std::memcmp(au8Frame, au8Expected, 32), 0);
  EXPECT_EQ(T_NMEA_u32SiRFSwitchToNMEA(38400, au8Frame, 31), 0u);
  // A sum above 0x7FFF keeps 15 bits.
  std::vector<U8> au8Payload(200, 0xFF);
  std::vector<U8> au8Big(208);
  ASSERT_EQ(T_NMEA_u32FrameSiRF(au8Payload.data(), 200, au8Big.data(), 208), 208u);
  EXPECT_EQ(au8Big[204], (200 * 0xFF >> 8) & 0x7F);
  EXPECT_EQ(au8Big[205], (200 * 0xFF) & 0xFF);
}

TEST_F(NmeaTaskTest, TickReleasesChannelZeroAfterTwentySecondsWithoutAGpsAndKeepsReadingAis) {
  startNmea();
  H_DATABASE_bUpdateValueBoolean(FCID("SNOE"), TRUE, P_NORMAL);
  runSystem(3);
  // Run-system took channel 0 (through the UART task), started receiving and switched the receiver to NMEA at 38400.
  TEST_vWaitFor([] { return T_UART_taskOwnerForTest(0) == NMEATASK; });
  TEST_vWaitFor([] { return waitListHas(SEMA_QUEUE_RX0); });
  EXPECT_FALSE(T_NMEA_bIgnoreInputForTest());
  const std::vector<MenuItem> aItems = takeMenuItems();
  ASSERT_FALSE(aItems.empty());
  EXPECT_EQ(aItems.back().sTitle, "NMEA 0183 Output");
  EXPECT_EQ(aItems.back().asChoices, (std::vector<std::string>{"Off", "On"}));
  NMEA_STANDIN_vTake();
  const U32 u32Outputs = T_NMEA_u32OutputCallsForTest();
  EXPECT_EQ(T_NMEA_nTimerCtrForTest(), 1);
  for (int i = 0; i < 38; ++i) tick();
  EXPECT_EQ(T_UART_taskOwnerForTest(0), NMEATASK);
  EXPECT_TRUE(waitListHas(SEMA_QUEUE_RX0));
  tick();
  tick();
  TEST_vWaitFor([] { return !T_UART_bChannelIsOwned(0); });
  TEST_vWaitFor([] { return T_UART_u32BaudRateForTest(0) == 4800; });
  EXPECT_FALSE(waitListHas(SEMA_QUEUE_RX0));
  EXPECT_TRUE(waitListHas(SEMA_QUEUE_RX2));
  EXPECT_TRUE(waitListHas(SEMA_QUEUE_RX3));
  EXPECT_TRUE(waitListHas(SEMA_TIMER_NMEA));
  // AIS input is still read after the release.
  feed(2, "\r!AIVDM,1\r");
  TEST_vWaitFor([] { return L_QUEUE_Inquire(T_UART_nGetQueue(2, FALSE)) == 0; });
  // Every port ran its state at every tick; no output before the acquisition period ended.
  std::vector<std::string> asCalls = NMEA_STANDIN_vTake();
  EXPECT_EQ(count(asCalls, "state 2"), 40);
  EXPECT_EQ(count(asCalls, "state 3"), 0);
  EXPECT_EQ(T_NMEA_u32OutputCallsForTest(), u32Outputs);
  EXPECT_TRUE(T_NMEA_pGetPortInfo(ID_EXTERNAL_AIS)->bDataReceived);
  // A '$' line on the free channel hands it back to the task and receiving resumes.
  feed(0, "\r$GPGGA,1\r");
  EXPECT_EQ(T_UART_taskOwnerForTest(0), NMEATASK);
  TEST_vWaitFor([] { return waitListHas(SEMA_QUEUE_RX0); });
  // The acquisition period ends with its fortieth tick: channels locked, 'SNOE' written again; output follows
  // every second tick.
  for (U8 u8Channel = 0; u8Channel < UART_CHANNELS; ++u8Channel) EXPECT_TRUE(T_NMEA_bChannelLockedForTest(u8Channel));
  for (int i = 0; i < 10; ++i) tick();
  EXPECT_EQ(T_NMEA_u32OutputCallsForTest() - u32Outputs, 4u);
}

TEST_F(NmeaTaskTest, NoOutputAndNoCaptureInTheQuietStates) {
  struct Case {
    U32 u32State;
    bool bCaptured;
    bool bLockedAt4800;
    bool bOutput;
  } const kCases[] = {{6, false, true, false}, {8, false, false, false}, {9, false, false, false},
                      {2, true, true, true}};
  for (const Case &c : kCases) {
    SCOPED_TRACE(c.u32State);
    if (m_bNmeaStarted) {
      endTask(NMEATASK, M_NMEA, SEMA_MBOX_NMEA);
      endTask(UARTTASK, M_COM1A, SEMA_MBOX_COM1A);
      H_DATABASE_vInit();
      H_DATABASE_bUpdateEverythingU32(FCID("TMNU"), M_MENU, P_NORMAL, D_MAILBOX, nullptr, DB_NO_TIMEOUT);
    }
    startNmea();
    const U32 u32Outputs = T_NMEA_u32OutputCallsForTest();
    runSystem(c.u32State);
    // The capture goes through the UART task's mailbox.
    if (c.bCaptured) TEST_vWaitFor([] { return T_UART_taskOwnerForTest(0) == NMEATASK; });
    EXPECT_EQ(T_UART_taskOwnerForTest(0) == NMEATASK, c.bCaptured);
    for (int i = 0; i < 46; ++i) tick();
    for (U8 u8Channel = 0; u8Channel < UART_CHANNELS; ++u8Channel) {
      EXPECT_EQ(T_NMEA_bChannelLockedForTest(u8Channel) == TRUE, c.bLockedAt4800 || c.u32State == 2);
    }
    if (c.bLockedAt4800) {
      TEST_vWaitFor([] { return T_UART_u32BaudRateForTest(3) == 4800 && T_UART_u32BaudRateForTest(1) == 4800; });
    }
    EXPECT_EQ(T_NMEA_u32OutputCallsForTest() > u32Outputs, c.bOutput);
  }
}

TEST_F(NmeaTaskTest, GpsReceiverOverrideOnlyWithoutNetworkAddressAndEthernet) {
  startNmea();
  struct Case {
    const char *pcWhat;
    BOOLEAN bAddress;
    int nSFEF;  // -1 not written
    std::vector<std::pair<const char *, U32>> aStatus;
    std::vector<U32> au32Choices;  // empty: not registered
  } const kCases[] = {
      {"address ready", TRUE, -1, {{"GPSE", 1}}, {}},
      {"no address, external seen", FALSE, -1, {{"GPSE", 1}}, {13, 6}},
      {"Ethernet found", FALSE, 1, {{"GPSE", 1}}, {}},
      {"Ethernet not found, all seen", FALSE, 0, {{"GPSE", 2}, {"GPSG", 1}, {"GPSX", 1}, {"GPSR", 3}},
       {13, 5, 6, 8, 9}},
      {"external gone", FALSE, 0, {{"GPSE", 0}, {"GPSG", 1}}, {13, 5, 8, 9}},
  };
  for (const Case &c : kCases) {
    SCOPED_TRACE(c.pcWhat);
    GMSG_STANDIN_vSetAddressReady(c.bAddress);
    if (c.nSFEF >= 0) H_DATABASE_bUpdateValueU32(FCID("SFEF"), static_cast<U32>(c.nSFEF), P_NORMAL);
    for (const auto &status : c.aStatus) {
      const char *pc = status.first;
      const FOURCHARID key = pc[0] | pc[1] << 8 | pc[2] << 16 | static_cast<U32>(pc[3]) << 24;
      H_DATABASE_bUpdateValueU32(key, 99, P_NORMAL);  // a change each time, so each case is heard
      H_DATABASE_bUpdateValueU32(key, status.second, P_NORMAL);
    }
    sync();
    std::vector<std::string> asRemoved;
    const std::vector<MenuItem> aItems = takeMenuItems(&asRemoved);
    EXPECT_FALSE(asRemoved.empty());
    const MenuItem *pOverride = nullptr;
    for (const MenuItem &item : aItems) {
      if (item.sTitle == "GPS Receiver Override") pOverride = &item;
    }
    if (c.au32Choices.empty()) {
      EXPECT_EQ(pOverride, nullptr);
      EXPECT_EQ(asRemoved.back(), "GPS Receiver Override");
    } else {
      ASSERT_NE(pOverride, nullptr);
      EXPECT_EQ(pOverride->au32Values, c.au32Choices);
      EXPECT_EQ(pOverride->asChoices.front(), "Auto");
    }
  }
}

TEST_F(NmeaTaskTest, Nmea2000PiecesMakeSentencesOnlyWhenAllAreFreshAndValuesGoToTheAdaptor) {
  startNmea();
  ETHBCAST_STANDIN_vSetPosition(TRUE, -43.5f, 170.25f);
  auto send = [&](const char (&acKey)[5], DB_DATA_TYPE value) {
    auto *pMsg = static_cast<NMEA2K_MESSAGE *>(H_MEMORY_pvCalloc(1, sizeof(NMEA2K_MESSAGE)));
    pMsg->header.Cmd = CMD_ID_NMEA2K_MESSAGE;
    pMsg->FourCharId = FCID(acKey);
    pMsg->dbValue = value;
    ask(&pMsg->header);
  };
  auto parsed = [] {
    std::vector<std::string> asOut;
    for (const std::string &s : T_NMEA_asTakeParsedForTest()) {
      if (s.rfind("8 ", 0) == 0) asOut.push_back(s.substr(2));
    }
    return asOut;
  };
  DB_DATA_TYPE v = {};
  v.u32Val = 1765453445;  // 2025-12-11 11:44:05 UTC
  send("IDTM", v);
  v = {};
  send("ILTD", v);
  v.fVal = 123.4f;
  send("IHDG", v);
  EXPECT_TRUE(parsed().empty());  // speed missing
  v.fVal = 5.5f;
  send("ISOG", v);
  const std::vector<std::string> asFirst = parsed();
  ASSERT_EQ(asFirst.size(), 2u);
  EXPECT_EQ(asFirst[0], "NMGGA,114405,4330.0000,S,17015.0000,E,1,00,0.0,0.0,M,,,0,0000*55");
  EXPECT_EQ(asFirst[1], "NMRMC,114405,A,4330.0000,S,17015.0000,E,5.5,123.4,111225,,*55");
  // Satellites from the adaptor, parsed when they start with 'N'.
  N2K_STANDIN_vSetSatellites("NMGSA,A,3", {"NMGSV,1,1,00", "", "XMGSV"});
  v.fVal = 2.0f;
  send("IHDP", v);
  const std::vector<std::string> asSecond = parsed();
  ASSERT_EQ(asSecond.size(), 4u);
  EXPECT_EQ(asSecond[0], "NMGGA,114405,4330.0000,S,17015.0000,E,2,00,2.0,0.0,M,,,0,0000*55");
  EXPECT_EQ(asSecond[2], "NMGSA,A,3");
  EXPECT_EQ(asSecond[3], "NMGSV,1,1,00");
  N2K_STANDIN_vSetSatellites("", {});
  // The position stops: 4 s later the heading alone makes no sentence.
  PLATFORM_CLOCK_vAdvanceTestClockMs(4001);
  TIMER_vSyncForTest();
  v.fVal = 5.5f;
  send("ISOG", v);
  send("IHDG", v);
  v.u32Val = 1765453449;
  send("IDTM", v);
  EXPECT_TRUE(parsed().empty());
  v = {};
  send("ILTD", v);
  EXPECT_EQ(parsed().size(), 2u);
  // Values of the store go to the NMEA 2000 side, speed in km/h.
  N2K_STANDIN_vTakeAdapted();
  H_DATABASE_bRegisterForDataWithConditions(FCID("ISOG"), M_NMEA, TRUE, FALSE, TRUE);
  H_DATABASE_bUpdateValueFloat(FCID("ISOG"), 10.0f, P_NORMAL);
  sync();
  const std::vector<N2K_ADAPT_RECORD> aAdapted = N2K_STANDIN_vTakeAdapted();
  ASSERT_EQ(aAdapted.size(), 1u);
  EXPECT_TRUE(aAdapted[0].bToNMEA2k);
  EXPECT_EQ(aAdapted[0].u32DataId, N2K_DATA_SOG_GPS);
  EXPECT_EQ(aAdapted[0].FourCharId, FCID("NM02"));
  EXPECT_FLOAT_EQ(aAdapted[0].dbValue.fVal, 36.0f);
}

// The store values the NMEA 2000 side registers for reach it under its own keys, the speed in km/h; other keys
// do not.
TEST_F(NmeaTaskTest, StoreValuesGoToTheNmea2000SideUnderItsKeys) {
  startNmea();
  N2K_STANDIN_vTakeAdapted();
  struct Case {
    const char *pcKey;
    bool bFloat;
    float fValue;
    U32 u32DataId;  // 0: nothing adapted
    const char *pcN2kKey;
    float fAdapted;
  } const kCases[] = {
      {"ITME", false, 0, N2K_DATA_LOCAL_TIME, "NM03", 0},    {"IHDG", true, 123.5f, N2K_DATA_COG_TRUE, "NM01", 123.5f},
      {"ISOG", true, 2.5f, N2K_DATA_SOG_GPS, "NM02", 9.0f},  {"IDTM", false, 0, N2K_DATA_LOCAL_DATE, "NM04", 0},
      {"IPOS", false, 0, N2K_DATA_POSITION, "IPOS", 0},      {"IALT", true, -7.25f, N2K_DATA_ALTITUDE, "NM05", -7.25f},
      {"ILAT", false, 0, 0, "", 0},
  };
  U32 u32Value = 1765453445;
  for (const Case &c : kCases) {
    SCOPED_TRACE(c.pcKey);
    auto fcid = [](const char *pc) { return pc[0] | pc[1] << 8 | pc[2] << 16 | static_cast<U32>(pc[3]) << 24; };
    const FOURCHARID key = fcid(c.pcKey);
    H_DATABASE_bRegisterForDataWithConditions(key, M_NMEA, TRUE, FALSE, TRUE);
    if (c.bFloat) {
      H_DATABASE_bUpdateEverythingFloat(key, c.fValue, P_NORMAL, D_FLOAT, nullptr, DB_NO_TIMEOUT);
    } else {
      H_DATABASE_bUpdateEverythingU32(key, ++u32Value, P_NORMAL, D_UNKNOWN, nullptr, DB_NO_TIMEOUT);
    }
    sync();
    const std::vector<N2K_ADAPT_RECORD> aAdapted = N2K_STANDIN_vTakeAdapted();
    if (c.u32DataId == 0) {
      EXPECT_TRUE(aAdapted.empty());
      continue;
    }
    ASSERT_EQ(aAdapted.size(), 1u);
    EXPECT_TRUE(aAdapted[0].bToNMEA2k);
    EXPECT_EQ(aAdapted[0].u32DataId, c.u32DataId);
    EXPECT_EQ(aAdapted[0].FourCharId, fcid(c.pcN2kKey));
    if (c.bFloat) {
      EXPECT_FLOAT_EQ(aAdapted[0].dbValue.fVal, c.fAdapted);
    } else {
      EXPECT_EQ(aAdapted[0].dbValue.u32Val, u32Value);
    }
  }
}

// A new view tells the GPS servers whether the diagnostic view shows and asks for its sentence set; the course
// setting asks for the current view's set. Only ports with a receiver kind get one.
TEST_F(NmeaTaskTest, ViewAndCourseNoticesAskForSentenceSets) {
  startNmea();
  T_NMEA_pGetPortInfo(ID_EXTERNAL_GPS)->eGPSType = GPS_TYPE_UBLOX;
  sync();
  NMEA_STANDIN_vTake();
  struct Case {
    U32 u32View;
    std::vector<std::string> asCalls;
  } const kCases[] = {
      {331, {"diagnostic view shown 1", "sentences 2 331"}},
      {50, {"diagnostic view shown 0", "sentences 2 50"}},
      {153, {"diagnostic view shown 1", "sentences 2 153"}},
  };
  for (const Case &c : kCases) {
    SCOPED_TRACE(c.u32View);
    H_DATABASE_bUpdateEverythingU32(FCID("CVEW"), c.u32View, P_NORMAL, D_UNKNOWN, nullptr, DB_NO_TIMEOUT);
    sync();
    EXPECT_EQ(NMEA_STANDIN_vTake(), c.asCalls);
  }
  H_DATABASE_bUpdateEverythingBoolean(FCID("SCCG"), FALSE, P_NORMAL, D_UNKNOWN, nullptr, DB_NO_TIMEOUT);
  sync();
  EXPECT_EQ(NMEA_STANDIN_vTake(), std::vector<std::string>{"sentences 2 -3"});
  // Without a receiver kind the port gets no sentence set.
  T_NMEA_pGetPortInfo(ID_EXTERNAL_GPS)->eGPSType = GPS_TYPE_DISCONNECTED;
  H_DATABASE_bUpdateEverythingBoolean(FCID("SCCG"), TRUE, P_NORMAL, D_UNKNOWN, nullptr, DB_NO_TIMEOUT);
  sync();
  EXPECT_TRUE(NMEA_STANDIN_vTake().empty());
}

// Every GPS sentence sends the gateway task a record with a block of its own: the gateway's stand-in frees both,
// so a long run of sentences never runs the memory out.
TEST_F(NmeaTaskTest, GatewayStandInFreesEachRecordWithItsBlock) {
  L_MBOX_DefineSema(M_GATEWAY, SEMA_MBOX_GATEWAY);
  startTask(GATEWAYTASK, FCID("TX03"), []() -> BOOLEAN { return TRUE; });
  T_NMEA_pInitPortInfo(ID_EXTERNAL_GPS);
  for (int i = 0; i < 3000; ++i) {
    T_NMEA_vParseSentence(PORT_INDEX_EXTERNAL_GPS, "GPGGA,123519,4807.038,N,01131.000,E,1,08,0.9,545.4,M,46.9,M,,");
  }
  T_NMEA_asTakeParsedForTest();
  // One more record, acknowledged instead of freed: handled after all of the above, its block freed and cleared.
  auto *pMsg = static_cast<GATEWAY_DATA_MESSAGE *>(H_MEMORY_pvCalloc(1, sizeof(GATEWAY_DATA_MESSAGE)));
  pMsg->header.Cmd = CMD_ID_GATEWAY_DATA;
  pMsg->gwdata = H_MEMORY_pvMalloc(64);
  ASSERT_EQ(L_MBOX_SendWait(M_GATEWAY, pMsg, NORMAL_PRIORITY, SEMA_TEST_PARAMS), 0);
  EXPECT_EQ(pMsg->gwdata, nullptr);
  H_MEMORY_vFree(pMsg);
  endTask(GATEWAYTASK, M_GATEWAY, SEMA_MBOX_GATEWAY);
  H_DATABASE_vDeleteEntry(FCID("TX03"));
}

TEST_F(NmeaTaskTest, CommandsReachTheirHandlersOnlyForExistingPorts) {
  startNmea();
  NMEA_STANDIN_vTake();
  NMEA_PORT_INFO *pExternal = T_NMEA_pGetPortInfo(ID_EXTERNAL_GPS);
  T_NMEA_vGPSDetectedByID(ID_INTERNAL_GPS);
  T_NMEA_vGPSDetectedByID(ID_EXTERNAL_GPS);
  sync();
  EXPECT_TRUE(pExternal->bSentenceReceived);
  std::vector<std::string> asCalls = NMEA_STANDIN_vTake();
  EXPECT_EQ(asCalls, (std::vector<std::string>{"detected 2"}));
  // Sentence sets for serial ports with a receiver kind, in index order.
  pExternal->eGPSType = GPS_TYPE_UBLOX;
  T_NMEA_pGetPortInfo(ID_EXTERNAL_AIS2)->eGPSType = GPS_TYPE_LEGACY;
  T_NMEA_pGetPortInfo(ID_NMEA2K_GPS)->eGPSType = GPS_TYPE_LEGACY;
  T_NMEA_vConfigureGPS(153);
  T_NMEA_vResetGPS(NMEA_RESET_COLD, ID_EXTERNAL_GPS);
  T_NMEA_vResetGPS(NMEA_RESET_HOT, ID_EXTERNAL_AIS2);
  T_NMEA_vResetGPS(NMEA_RESET_HOT, ID_NMEA2K_GPS);
  sync();
  asCalls = NMEA_STANDIN_vTake();
  EXPECT_EQ(asCalls, (std::vector<std::string>{"sentences 2 153", "sentences 7 153", "ublox 2 1", "navman 7 2"}));
  // A compass reset clears 'GPSC' once.
  pExternal->eGPSType = GPS_TYPE_COMPASS;
  T_NMEA_vResetGPS(NMEA_RESET_COLD, ID_EXTERNAL_GPS);
  sync();
  EXPECT_EQ(fetchU32("GPSC"), 6u);  // already disconnected at start
  // Network sentences are parsed on the network port and freed.
  auto *pNet = static_cast<NETWORK_NMEA_MESSAGE *>(H_MEMORY_pvCalloc(1, sizeof(NETWORK_NMEA_MESSAGE)));
  pNet->header.Cmd = CMD_ID_NETWORK_NMEA_MESSAGE;
  pNet->pcSentence = static_cast<char *>(H_MEMORY_pvMalloc(16));
  std::strcpy(pNet->pcSentence, "$GPGGA,net");
  ask(&pNet->header);
  EXPECT_EQ(T_NMEA_asTakeParsedForTest(), (std::vector<std::string>{"0 $GPGGA,net"}));
}

TEST_F(NmeaTaskTest, DiagnosticStateSavesTheViewSettingAndShutdownRestoresIt) {
  startNmea();
  runSystem(7);
  EXPECT_EQ(fetchU32("SVGD"), 1u);
  auto *pMsg = static_cast<GENERIC_MESSAGE *>(H_MEMORY_pvCalloc(1, sizeof(GENERIC_MESSAGE)));
  pMsg->Cmd = CMD_ID_SHUTDOWN;
  ask(pMsg);
  EXPECT_EQ(fetchU32("SVGD"), 0u);
  EXPECT_TRUE(contains(NMEA_STANDIN_vTake(), "network unregister"));
}

class NmeaTaskDeathTest : public NmeaTaskTest {};

TEST_F(NmeaTaskDeathTest, SecondOwnerOfTheMailboxKeyOrNoTimerResetsTheUnit) {
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  H_DATABASE_bUpdateEverythingU32(FCID("TNME"), 7, P_HIGHEST, D_MAILBOX, nullptr, DB_NO_TIMEOUT);
  EXPECT_EXIT(T_NMEA_vMain(), ::testing::ExitedWithCode(10), "");
  EXPECT_NE(fatalLog().find("Somebody else registered the NMEA Task Mailbox"), std::string::npos);
  H_DATABASE_vDeleteEntry(FCID("TNME"));
  H_DATABASE_vInit();
  EXPECT_EXIT(
      {
        while (L_TIMER_Allocate() != nullptr) {
        }
        T_NMEA_vMain();
      },
      ::testing::ExitedWithCode(10), "");
  EXPECT_NE(fatalLog().find("NO TIMER"), std::string::npos);
}

}  // namespace

namespace {

TEST_F(NmeaTaskTest, NmeaOutputSwitchesChannelZeroBetween4800And38400) {
  startNmea();
  NMEA_PORT_INFO *pExternal = T_NMEA_pGetPortInfo(ID_EXTERNAL_GPS);
  H_DATABASE_bUpdateValueBoolean(FCID("SNOE"), TRUE, P_NORMAL);
  sync();
  TEST_vWaitFor([] { return T_UART_u32BaudRateForTest(0) == 4800; });
  EXPECT_EQ(pExternal->pSerialInfo->nBaudRate, 4800);
  H_DATABASE_bUpdateValueBoolean(FCID("SNOE"), FALSE, P_NORMAL);
  sync();
  TEST_vWaitFor([] { return T_UART_u32BaudRateForTest(0) == 38400; });
  EXPECT_EQ(pExternal->eSentenceRate, NMEA_SENTENCE_RATE_CHART);
  // A compass on the port keeps its rate.
  pExternal->eGPSType = GPS_TYPE_COMPASS;
  H_DATABASE_bUpdateValueBoolean(FCID("SNOE"), TRUE, P_NORMAL);
  sync();
  EXPECT_EQ(pExternal->pSerialInfo->nBaudRate, 38400);
}

TEST_F(NmeaTaskTest, ReinitialisedPortKeepsItsSatelliteListAndClearsIt) {
  startNmea();
  NMEA_PORT_INFO *pExternal = T_NMEA_pGetPortInfo(ID_EXTERNAL_GPS);
  auto *pnSats = static_cast<S32 *>(H_MEMORY_pvCalloc(12, sizeof(S32)));
  pnSats[0] = 5;
  pnSats[1] = 17;
  pExternal->pnSatsInUse = pnSats;
  pExternal->eState = NMEA_STATE_ONLINE;
  EXPECT_EQ(T_NMEA_pInitPortInfo(ID_EXTERNAL_GPS), pExternal);
  EXPECT_EQ(pExternal->pnSatsInUse, pnSats);
  EXPECT_EQ(pnSats[0], 0);
  EXPECT_EQ(pnSats[1], 0);
  EXPECT_EQ(pExternal->eState, NMEA_STATE_OFFLINE);
}

}  // namespace
