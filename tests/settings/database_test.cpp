#include <gtest/gtest.h>

#include <vector>

#include "settings/database.h"
#include "kernel/mbox.h"
#include "kernel/memory.h"
#include "settings/model.h"
#include "kernel/sema.h"
#include "kernel/timer.h"
#include "settings_fixture.h"

namespace {

constexpr MBOX kWatcher = M_NAV;    // a mailbox whose task does not run in these tests
constexpr MBOX kWatcher2 = M_ALARM;

struct Notice {
  FOURCHARID id;
  U32 u32Value;
  BOOLEAN bValid;
};

std::vector<Notice> drain(MBOX mbox) {
  std::vector<Notice> notices;
  while (void *pv = L_MBOX_Receive(mbox)) {
    auto *pMsg = static_cast<MESSAGE_NEW_DATA *>(pv);
    EXPECT_EQ(pMsg->Header.Cmd, CMD_ID_NEW_DATA);
    notices.push_back({pMsg->FourCharId, pMsg->dbValue.u32Val, pMsg->bValid});
    H_MEMORY_vDumpMail(pv);
  }
  return notices;
}

class DatabaseTest : public SettingsTest {
 protected:
  void TearDown() override {
    drain(kWatcher);
    drain(kWatcher2);
    SettingsTest::TearDown();
  }
};

const FOURCHARID kXyz = FCID("SXYZ");

TEST_F(DatabaseTest, KeyIsFourCharactersLowestFirst) {
  EXPECT_EQ(FCID("SMDL"), 0x4C444D53u);
}

// Owner rules: each row writes 5 at priority 2 (time-out 4 s), waits, then writes a second value.
TEST_F(DatabaseTest, OwnerPriorityAndTimeOutDecideAWrite) {
  SKIP_WITHOUT_TEST_CLOCK();
  struct Row {
    const char *pcName;
    U32 u32TimeOut;
    U64 u64WaitMs;
    U32 u32Priority;
    U32 u32Second;
    BOOLEAN bResult;
    U32 u32Stored;
  } rows[] = {
      {"weaker refused", DB_NO_TIMEOUT, 0, 3, 6, TRUE, 5},
      {"weaker refused before time-out", 4, 3999, 3, 6, TRUE, 5},
      {"weaker accepted after time-out", 4, 4000, 3, 6, FALSE, 6},
      {"weaker accepted after 5 s", 4, 5000, 3, 6, FALSE, 6},
      {"equal value refused returns FALSE", DB_NO_TIMEOUT, 0, 3, 5, FALSE, 5},
      {"equal priority accepted", DB_NO_TIMEOUT, 0, 2, 6, FALSE, 6},
      {"stronger accepted", DB_NO_TIMEOUT, 0, 1, 6, FALSE, 6},
  };
  for (const Row &row : rows) {
    SCOPED_TRACE(row.pcName);
    H_DATABASE_vInit();
    EXPECT_FALSE(H_DATABASE_bUpdateEverythingU32(kXyz, 5, P_NORMAL, D_UNKNOWN, nullptr, row.u32TimeOut));
    advanceMs(row.u64WaitMs);
    EXPECT_EQ(H_DATABASE_bUpdateValueU32(kXyz, row.u32Second, row.u32Priority), row.bResult);
    U32 u32Value = 0;
    EXPECT_TRUE(H_DATABASE_bFetchU32(kXyz, &u32Value, nullptr, nullptr));
    EXPECT_EQ(u32Value, row.u32Stored);
  }
}

TEST_F(DatabaseTest, DeletedItemTakesAnyWriteAndKeepsRegistrations) {
  H_DATABASE_bRegisterForDataWithConditions(kXyz, kWatcher, FALSE, FALSE, TRUE);
  H_DATABASE_bUpdateValueU32(kXyz, 5, P_HIGHEST);
  H_DATABASE_vDeleteEntry(kXyz);
  BOOLEAN bValid = TRUE;
  EXPECT_FALSE(H_DATABASE_bFetchU32(kXyz, nullptr, &bValid, nullptr));
  EXPECT_FALSE(bValid);
  EXPECT_EQ(drain(kWatcher).size(), 1u);
  EXPECT_FALSE(H_DATABASE_bUpdateValueU32(kXyz, 7, P_UNOWNED));
  U32 u32Value = 0;
  EXPECT_TRUE(H_DATABASE_bFetchU32(kXyz, &u32Value, nullptr, nullptr));
  EXPECT_EQ(u32Value, 7u);
  EXPECT_EQ(drain(kWatcher).size(), 1u);
  H_DATABASE_vDeleteEntry(FCID("SNON"));  // unknown: ignored
}

TEST_F(DatabaseTest, WriteEverythingTimeOutZeroKeepsTheTimeOut) {
  H_DATABASE_bUpdateEverythingU32(kXyz, 1, P_NORMAL, D_DEPTH, nullptr, 4);
  H_DATABASE_bUpdateEverythingU32(kXyz, 2, P_NORMAL, D_SPEED, nullptr, 0);
  DB_ATTRIBUTES attributes = {};
  ASSERT_TRUE(H_DATABASE_bFetchU32(kXyz, nullptr, nullptr, &attributes));
  EXPECT_EQ(attributes.u32TimeOut, 4u);
  EXPECT_EQ(attributes.DataType, D_SPEED);
}

TEST_F(DatabaseTest, RefusedWriteEverythingFillsMissingAttributes) {
  static ARRAY_OF_STRING_PTRS acName = {"Depth"};
  H_DATABASE_bUpdateValueU32(kXyz, 1, P_HIGHEST);
  EXPECT_TRUE(H_DATABASE_bUpdateEverythingU32(kXyz, 2, P_NORMAL, D_DEPTH, acName, 9));
  DB_ATTRIBUTES attributes = {};
  U32 u32Value = 0;
  ASSERT_TRUE(H_DATABASE_bFetchU32(kXyz, &u32Value, nullptr, &attributes));
  EXPECT_EQ(u32Value, 1u);
  EXPECT_EQ(attributes.DataType, D_DEPTH);
  EXPECT_EQ(attributes.ppcText, acName);
  EXPECT_EQ(attributes.u32TimeOut, 9u);
}

TEST_F(DatabaseTest, ValidityUsesTheMonotonicClock) {
  SKIP_WITHOUT_TEST_CLOCK();
  H_DATABASE_bUpdateEverythingU32(kXyz, 1, P_NORMAL, D_UNKNOWN, nullptr, 4);
  BOOLEAN bValid = FALSE;
  advanceMs(3999);
  EXPECT_TRUE(H_DATABASE_bFetchU32(kXyz, nullptr, &bValid, nullptr));
  EXPECT_TRUE(bValid);
  advanceMs(1);
  EXPECT_TRUE(H_DATABASE_bFetchU32(kXyz, nullptr, &bValid, nullptr));
  EXPECT_FALSE(bValid);
}

TEST_F(DatabaseTest, ChangeWatcherHearsOnceUpdateWatcherTwice) {
  H_DATABASE_bRegisterForDataWithConditions(kXyz, kWatcher, TRUE, FALSE, FALSE);
  H_DATABASE_bRegisterForDataWithConditions(kXyz, kWatcher2, FALSE, FALSE, TRUE);
  EXPECT_TRUE(drain(kWatcher).empty());  // registering sends nothing
  // The update watcher reads between the writes (unread notices of one key are one notice).
  H_DATABASE_bUpdateValueU32(kXyz, 3, P_NORMAL);
  EXPECT_EQ(drain(kWatcher2).size(), 1u);
  H_DATABASE_bUpdateValueU32(kXyz, 3, P_NORMAL);
  EXPECT_EQ(drain(kWatcher2).size(), 1u);
  const auto changes = drain(kWatcher);
  ASSERT_EQ(changes.size(), 1u);
  EXPECT_EQ(changes[0].id, kXyz);
  EXPECT_EQ(changes[0].u32Value, 3u);
  EXPECT_TRUE(changes[0].bValid);
}

TEST_F(DatabaseTest, SecondRegistrationReplacesFlagsAndUnregisterRemovesIt) {
  H_DATABASE_bUpdateValueU32(kXyz, 1, P_NORMAL);
  H_DATABASE_bRegisterForDataWithConditions(kXyz, kWatcher, TRUE, FALSE, FALSE);
  H_DATABASE_bRegisterForDataWithConditions(kXyz, kWatcher, FALSE, FALSE, TRUE);
  H_DATABASE_bUpdateValueU32(kXyz, 1, P_NORMAL);  // no change, an update
  EXPECT_EQ(drain(kWatcher).size(), 1u);
  H_DATABASE_vUnregisterMailbox(kXyz, kWatcher);
  H_DATABASE_bUpdateValueU32(kXyz, 2, P_NORMAL);
  EXPECT_TRUE(drain(kWatcher).empty());
}

TEST_F(DatabaseTest, ExceptedMailboxGetsNoNotice) {
  H_DATABASE_bRegisterForDataWithConditions(kXyz, kWatcher, TRUE, FALSE, FALSE);
  H_DATABASE_bRegisterForDataWithConditions(kXyz, kWatcher2, TRUE, FALSE, FALSE);
  H_DATABASE_bUpdateValueU32Except(kXyz, 4, P_NORMAL, kWatcher);
  EXPECT_TRUE(drain(kWatcher).empty());
  EXPECT_EQ(drain(kWatcher2).size(), 1u);
}

TEST_F(DatabaseTest, ReadOrSetDefaultSendsNothingAndKeepsAWrittenValue) {
  H_DATABASE_bRegisterForDataWithConditions(kXyz, kWatcher, TRUE, FALSE, TRUE);
  const DB_ATTRIBUTES attributes = {D_DEPTH, nullptr, DB_NO_TIMEOUT};
  DB_DATA_TYPE value{};
  value.u32Val = 9;
  H_DATABASE_vReadOrSetDefault(kXyz, &value, P_DEFAULT_SETTING, &attributes);
  EXPECT_TRUE(drain(kWatcher).empty());
  U32 u32Value = 0;
  EXPECT_TRUE(H_DATABASE_bFetchU32(kXyz, &u32Value, nullptr, nullptr));
  EXPECT_EQ(u32Value, 9u);
  DB_DATA_TYPE other{};
  other.u32Val = 1;
  H_DATABASE_vReadOrSetDefault(kXyz, &other, P_DEFAULT_SETTING, &attributes);
  EXPECT_EQ(other.u32Val, 9u);
  EXPECT_TRUE(drain(kWatcher).empty());
}

// The sweep, driven as the start-up task drives it: a 2 s timer on SEMA_TIMER_DBPOLL.
TEST_F(DatabaseTest, TimedOutItemIsInvalidatedWithinTwoSecondsOfExpiry) {
  SKIP_WITHOUT_TEST_CLOCK();
  H_DATABASE_bRegisterForDataWithConditions(kXyz, kWatcher, FALSE, TRUE, FALSE);
  H_DATABASE_bUpdateEverythingU32(kXyz, 8, P_EXTERNAL_GPS, D_UNKNOWN, nullptr, 4);
  ASSERT_NE(L_TIMER_Start(nullptr, 2000, 2000, SEMA_TIMER_DBPOLL), nullptr);
  U64 u64Elapsed = 0;
  std::vector<Notice> notices;
  while (notices.empty() && u64Elapsed < 10000) {
    advanceMs(100);
    u64Elapsed += 100;
    TIMER_vSyncForTest();
    if (L_SEMA_WaitTicks(SEMA_TIMER_DBPOLL, 0) == 0) H_DATABASE_vSendAllInvalidData();
    notices = drain(kWatcher);
  }
  ASSERT_EQ(notices.size(), 1u);
  EXPECT_FALSE(notices[0].bValid);
  EXPECT_EQ(notices[0].u32Value, 8u);
  EXPECT_GE(u64Elapsed, 4000u);
  EXPECT_LE(u64Elapsed, 6000u);
  // Revalidated by the next accepted write, of any owner, which counts as a change.
  EXPECT_FALSE(H_DATABASE_bUpdateValueU32(kXyz, 8, P_INTERNAL_GPS));
}

TEST_F(DatabaseTest, RelinquishedItemIsInvalidAndOpenToAnyWriter) {
  H_DATABASE_bRegisterForDataWithConditions(kXyz, kWatcher, TRUE, FALSE, FALSE);
  H_DATABASE_bUpdateValueU32(kXyz, 1, P_HIGHEST);
  drain(kWatcher);
  H_DATABASE_vRelinquishOwnership(kXyz);
  const auto notices = drain(kWatcher);
  ASSERT_EQ(notices.size(), 1u);
  EXPECT_FALSE(notices[0].bValid);
  EXPECT_FALSE(H_DATABASE_bUpdateValueU32(kXyz, 2, P_UNOWNED));
}

using DatabaseDeathTest = DatabaseTest;

TEST_F(DatabaseDeathTest, FatalErrorsReset) {
  EXPECT_EXIT(H_DATABASE_vRelinquishOwnership(FCID("SNEV")), ::testing::ExitedWithCode(10), "");
  EXPECT_EXIT(H_DATABASE_DataType(D_UNSIGNED32), ::testing::ExitedWithCode(10), "");
  EXPECT_EXIT(H_DATABASE_pcUnitsString(U_MINUTES, 0), ::testing::ExitedWithCode(10), "");
  const std::string sLog = fatalLog();
  EXPECT_NE(sLog.find("error: Requested ID not found in database.cpp at 988\n"), std::string::npos) << sLog;
  EXPECT_NE(sLog.find("error: Invalid data type in database.cpp at 1148\n"), std::string::npos);
  EXPECT_NE(sLog.find("error: Unknown units in database.cpp at 1330\n"), std::string::npos);
}

TEST_F(DatabaseTest, DataFormats) {
  const struct {
    DATA_TYPE type;
    DATA_FORMAT format;
  } rows[] = {{D_UNKNOWN, DF_UNSIGNED32}, {D_MAILBOX, DF_UNSIGNED32}, {D_UNITS, DF_ENUMERATED},
              {D_POINTER, DF_VOID_POINTER}, {D_PERCENT, DF_SIGNED32},  {D_DEPTH, DF_FLOAT},
              {D_TEMPERATURE_OFFSET, DF_FLOAT}};
  for (const auto &row : rows) EXPECT_EQ(H_DATABASE_DataType(row.type), row.format) << row.type;
}

TEST_F(DatabaseTest, IterationByFirstLetterInBucketOrder) {
  MULTI_FETCH_CONTROL_STRUCTURE control = {};
  control.cMatch = 's';
  EXPECT_FALSE(H_DATABASE_bFetchNextBeginningWith(&control));
  const FOURCHARID keys[] = {FCID("SAAA"), FCID("SBBB"), FCID("CAAA"), FCID("SCCC")};
  for (FOURCHARID key : keys) H_DATABASE_bUpdateValueU32(key, 1, P_NORMAL);
  H_DATABASE_bRegisterForDataWithConditions(FCID("SDDD"), kWatcher, TRUE, FALSE, FALSE);  // never written
  control = {};
  control.cMatch = 'S';
  std::vector<FOURCHARID> seen;
  while (H_DATABASE_bFetchNextBeginningWith(&control)) seen.push_back(control.id);
  EXPECT_FALSE(H_DATABASE_bFetchNextBeginningWith(&control));
  auto bucket = [](FOURCHARID k) { return (k ^ (k >> 10) ^ (k >> 5)) & 0x1FF; };
  ASSERT_EQ(seen.size(), 3u);
  for (size_t n = 1; n < seen.size(); n++) EXPECT_LE(bucket(seen[n - 1]), bucket(seen[n]));
}

TEST_F(DatabaseTest, PointerValuesKeepAllTheirBits) {
  int nTarget = 0;
  H_DATABASE_bUpdateEverythingVoidPointer(FCID("PTRX"), &nTarget, P_NORMAL, D_POINTER, nullptr, DB_NO_TIMEOUT);
  void *pv = nullptr;
  ASSERT_TRUE(H_DATABASE_bFetchVoidPointer(FCID("PTRX"), &pv, nullptr, nullptr));
  EXPECT_EQ(pv, &nTarget);
}

// With every partition exhausted a notice is owed, not lost, and arrives once memory is back.
TEST_F(DatabaseTest, NoticeWithoutMemoryIsKeptAndCoalesced) {
  H_DATABASE_bRegisterForDataWithConditions(kXyz, kWatcher, TRUE, FALSE, FALSE);
  H_DATABASE_bUpdateValueU32(kXyz, 1, P_NORMAL);
  drain(kWatcher);
  std::vector<void *> blocks;
  while (void *pv = H_MEMORY_pvMallocNoWait(44)) blocks.push_back(pv);
  H_DATABASE_bUpdateValueU32(kXyz, 2, P_NORMAL);
  H_DATABASE_bUpdateValueU32(kXyz, 3, P_NORMAL);
  EXPECT_EQ(H_DATABASE_u32PendingNotices(), 1u);
  EXPECT_TRUE(drain(kWatcher).empty());
  for (void *pv : blocks) H_MEMORY_vFree(pv);
  H_DATABASE_vSendAllInvalidData();  // the next sweep delivers it
  const auto notices = drain(kWatcher);
  ASSERT_EQ(notices.size(), 1u);
  EXPECT_EQ(notices[0].u32Value, 3u);
  EXPECT_EQ(H_DATABASE_u32PendingNotices(), 0u);
}

TEST_F(DatabaseTest, UnitsAndTheirTexts) {
  EXPECT_EQ(H_DATABASE_CurrentUnits(D_VOLUME), U_NONE);
  EXPECT_EQ(H_DATABASE_CurrentUnits(D_DEPTH), U_NONE);
  H_DATABASE_bUpdateValueU32(FCID("YUDP"), U_FATHOMS, P_NORMAL);
  EXPECT_EQ(H_DATABASE_CurrentUnits(D_DEPTH), U_FATHOMS);
  EXPECT_STREQ(H_DATABASE_pcUnitsString(U_CELSIUS, 0), "\xBA" "C");
  EXPECT_STREQ(H_DATABASE_pcUnitsString(U_KNOTS, 21), "kts");
  EXPECT_STREQ(H_DATABASE_pcUnitsString(U_NONE, 3), "");
  EXPECT_STREQ(H_DATABASE_pcUnitsString(U_UKGALLONS, 0), "U.S. Gallons");
}

TEST_F(DatabaseTest, UnitCheckActsOnlyOnDomesticModels) {
  const UNIT_TYPE allowed[] = {U_FEET, U_METRES};
  H_DATABASE_bUpdateValueU32(FCID("SUDS"), U_FATHOMS, P_NORMAL);
  H_DATABASE_vCheckForValidUnits(FCID("SUDS"), allowed, 2, U_FEET);  // no SMDL: model 293, international
  U32 u32Units = 0;
  H_DATABASE_bFetchU32(FCID("SUDS"), &u32Units, nullptr, nullptr);
  EXPECT_EQ(u32Units, static_cast<U32>(U_FATHOMS));
  H_DATABASE_bUpdateValueU32(FCID("SMDL"), MODEL_DOMESTIC, P_NORMAL);
  H_DATABASE_vCheckForValidUnits(FCID("SUDS"), allowed, 2, U_FEET);
  H_DATABASE_bFetchU32(FCID("SUDS"), &u32Units, nullptr, nullptr);
  EXPECT_EQ(u32Units, static_cast<U32>(U_FEET));
}

}  // namespace

namespace {

// A watcher that stops reading holds one notice per key, in the order of the keys' first notices, with each
// key's newest value; the allocator keeps serving every size.
TEST_F(DatabaseTest, UnreadNoticesOfAKeyAreOneWithTheNewestValue) {
  const FOURCHARID kOther = FCID("SOTH");
  H_DATABASE_bRegisterForDataWithConditions(kXyz, kWatcher, TRUE, TRUE, FALSE);
  H_DATABASE_bRegisterForDataWithConditions(kOther, kWatcher, TRUE, FALSE, FALSE);
  H_DATABASE_bUpdateValueU32(kOther, 1, P_NORMAL);
  for (U32 n = 1; n <= 100000; n++) H_DATABASE_bUpdateValueU32(kXyz, n, P_NORMAL);
  H_DATABASE_bUpdateValueU32(kOther, 2, P_NORMAL);
  EXPECT_EQ(L_MBOX_u32Count(kWatcher), 2u);
  for (U32 u32Size : {1u, 44u, 45u, 168u, 169u, 1024u, 4096u, 8796u, 16384u, 65536u, H_MEMORY_MAX_BLOCK}) {
    void *pv = H_MEMORY_pvMallocNoWait(u32Size);
    EXPECT_NE(pv, nullptr) << u32Size << " bytes";
    if (pv != nullptr) H_MEMORY_vFree(pv);
  }
  const auto notices = drain(kWatcher);
  ASSERT_EQ(notices.size(), 2u);
  EXPECT_EQ(notices[0].id, kOther);
  EXPECT_EQ(notices[0].u32Value, 2u);
  EXPECT_EQ(notices[1].id, kXyz);
  EXPECT_EQ(notices[1].u32Value, 100000u);
  // Once read, the next write is a notice of its own again; an invalidation is merged in as well.
  H_DATABASE_bUpdateValueU32(kXyz, 7, P_NORMAL);
  H_DATABASE_vRelinquishOwnership(kXyz);
  const auto after = drain(kWatcher);
  ASSERT_EQ(after.size(), 1u);
  EXPECT_EQ(after[0].u32Value, 7u);
  EXPECT_FALSE(after[0].bValid);
}

}  // namespace
