// The date and time editor, driven by key messages as mailbox 62 would hand them over.
#include <gtest/gtest.h>

#include <stdlib.h>
#include <time.h>

#include <string>
#include <vector>

#include "kernel/sema.h"
#include "platform/shell.h"
#include "ui/editors/datetime.h"
#include "key_presses.h"
#include "run_apart.h"

TEST_RUN_APART(DateTimeEditorTest);

namespace {

std::string run(const std::vector<UiKey> &keys) {
  return UI_sPress(
      [](const MSG_KEY_CHANGE *pMsg) {
        U_DATETIME_bHandleKeys(pMsg);
        return true;
      },
      keys);
}

class DateTimeEditorTest : public ::testing::Test {
 protected:
  void SetUp() override {
    REQUIRE_UI_TEST_CLOCK();
    H_SHELL_vClearRecord();
    U_DATETIME_vDateTimeSetup();
  }
};

TEST_F(DateTimeEditorTest, KeyTable) {
  struct Case {
    const char *name;
    std::vector<UiKey> keys;
    DATE_TIME_FIELDS fields;  // hours, minutes, seconds, month, day, year
    DATE_TIME_MENU_STATE state;
    const char *clicks;
  } cases[] = {
      {"hours up from 00", {R, U}, {1, 0, 0, 0, 0, 0}, EDIT_HOURS, "gg"},
      {"hours down from 00 wraps", {R, D}, {23, 0, 0, 0, 0, 0}, EDIT_HOURS, "gg"},
      {"hours up from 23 wraps", {R, D, U}, {0, 0, 0, 0, 0, 0}, EDIT_HOURS, "ggg"},
      {"minutes and seconds wrap at 59", {R, R, D, R, D, U}, {0, 59, 0, 0, 0, 0}, EDIT_SECONDS, "gggggg"},
      {"right from seconds lands on the date row", {R, R, R, R}, {0, 0, 0, 0, 0, 0}, EDIT_DATE, "gggg"},
      {"first month up is 01", {D, R, U}, {0, 0, 0, 1, 0, 0}, EDIT_MONTH, "ggg"},
      {"first month down is 12", {D, R, D}, {0, 0, 0, 12, 0, 0}, EDIT_MONTH, "ggg"},
      {"first day down is 31, then 30", {D, R, R, D, D}, {0, 0, 0, 0, 30, 0}, EDIT_DAY, "ggggg"},
      {"year wraps 00 to 38 and back", {D, R, R, R, D, U}, {0, 0, 0, 0, 0, 0}, EDIT_YEAR, "gggggg"},
      {"01/23/12", {D, R, U, R, D, D, D, D, D, D, D, D, D, R, U, U, U, U, U, U, U, U, U, U, U, U},
       {0, 0, 0, 1, 23, 12}, EDIT_YEAR, "gggggggggggggggggggggggggg"},
      {"right from year goes to Save", {D, R, R, R, R}, {0, 0, 0, 0, 0, 0}, EDIT_SAVE, "ggggg"},
      {"left from hours to the Time label", {R, L}, {0, 0, 0, 0, 0, 0}, EDIT_TIME, "gg"},
      {"left from month to the Date label", {D, R, L}, {0, 0, 0, 0, 0, 0}, EDIT_DATE, "ggg"},
      {"left from day to month", {D, R, R, L}, {0, 0, 0, 0, 0, 0}, EDIT_MONTH, "gggg"},
      {"up on Time refused", {U}, {0, 0, 0, 0, 0, 0}, EDIT_TIME, "b"},
      {"down to Save, then refused", {D, D, D}, {0, 0, 0, 0, 0, 0}, EDIT_SAVE, "ggb"},
      {"up from Save to Date to Time", {D, D, U, U}, {0, 0, 0, 0, 0, 0}, EDIT_TIME, "gggg"},
      {"left on a label refused", {L}, {0, 0, 0, 0, 0, 0}, EDIT_TIME, "b"},
      {"diagonal and other keys refused", {NE, MENU}, {0, 0, 0, 0, 0, 0}, EDIT_TIME, "bb"},
      {"Save without a change refused", {D, D, R}, {0, 0, 0, 0, 0, 0}, EDIT_SAVE, "ggb"},
  };
  for (const Case &c : cases) {
    SCOPED_TRACE(c.name);
    U_DATETIME_vDateTimeSetup();
    EXPECT_EQ(run(c.keys), c.clicks);
    const DATE_TIME_FIELDS f = U_DATETIME_GetFields();
    EXPECT_EQ((std::vector<U32>{f.u32Hours, f.u32Minutes, f.u32Seconds, f.u32Month, f.u32Day, f.u32Year}),
              (std::vector<U32>{c.fields.u32Hours, c.fields.u32Minutes, c.fields.u32Seconds, c.fields.u32Month,
                                c.fields.u32Day, c.fields.u32Year}));
    EXPECT_EQ(U_DATETIME_GetControl().eMenuState, c.state);
    EXPECT_TRUE(U_DATETIME_bIsOpen());
  }
  // Clear whatever change the last case left.
  run({X, L});
}

TEST_F(DateTimeEditorTest, ExitClosesOrAsksAndTheAnswerDecides) {
  EXPECT_EQ(run({X}), "g");
  EXPECT_FALSE(U_DATETIME_bIsOpen());

  U_DATETIME_vDateTimeSetup();
  EXPECT_EQ(run({R, U, X}), "ggg");
  EXPECT_TRUE(U_DATETIME_GetControl().bConfirm);
  EXPECT_TRUE(U_DATETIME_bIsOpen());
  EXPECT_EQ(run({L}), "g");  // No: discard
  EXPECT_FALSE(U_DATETIME_bIsOpen());
  EXPECT_FALSE(U_DATETIME_GetControl().bDateTimeChanged);
  EXPECT_EQ(H_SHELL_u32RecordedCount(), 0u);
}

TEST_F(DateTimeEditorTest, ExitOnSaveWithTheQuestionShownIsRefused) {
  EXPECT_EQ(run({R, U, L, D, D, X, X}), "ggggggb");
  EXPECT_TRUE(U_DATETIME_GetControl().bConfirm);
  EXPECT_TRUE(U_DATETIME_bIsOpen());
}

// 01/23/12 13:45:00 keyed in: hours up 13 times, minutes down 15 times from 00.
std::vector<UiKey> keyIn2012() {
  std::vector<UiKey> keys = {R};
  for (int i = 0; i < 13; ++i) keys.push_back(U);
  keys.push_back(R);
  for (int i = 0; i < 15; ++i) keys.push_back(D);
  for (UiKey k : {R, R, R, U, R, D, D, D, D, D, D, D, D, D, R}) keys.push_back(k);
  for (int i = 0; i < 12; ++i) keys.push_back(U);
  return keys;
}

TEST_F(DateTimeEditorTest, SavedTimeReachesTheClockAsUtcWhateverTheZone) {
  setenv("TZ", "EST5EDT", 1);
  tzset();
  run(keyIn2012());
  const DATE_TIME_FIELDS f = U_DATETIME_GetFields();
  ASSERT_EQ((std::vector<U32>{f.u32Hours, f.u32Minutes, f.u32Month, f.u32Day, f.u32Year}),
            (std::vector<U32>{13, 45, 1, 23, 12}));
  EXPECT_EQ(run({X, R}), "gg");  // the question, then Yes
  setenv("TZ", "UTC", 1);
  tzset();
  EXPECT_FALSE(U_DATETIME_bIsOpen());
  ASSERT_EQ(H_SHELL_u32RecordedCount(), 1u);
  EXPECT_STREQ(H_SHELL_pcRecorded(0), "date -u -s 2012.01.23-13:45:00 > /dev/null");
  EXPECT_EQ(U_DATETIME_GetControl().eMenuState, EDIT_TIME);
  EXPECT_FALSE(U_DATETIME_GetControl().bDateTimeChanged);
}

TEST_F(DateTimeEditorTest, RefusedSavesAreReportedAndKeepTheEditorOpen) {
  run(keyIn2012());
  EXPECT_EQ(run({R, R}), "gg");  // right from the year to Save, then Save
  ASSERT_EQ(H_SHELL_u32RecordedCount(), 1u);

  // Within the hour of the time just set: the clock ignores it, so the editor says no.
  U_DATETIME_vDateTimeSetup();
  run(keyIn2012());
  EXPECT_EQ(run({R, R}), "gb");
  EXPECT_TRUE(U_DATETIME_bIsOpen());
  EXPECT_TRUE(U_DATETIME_GetControl().bDateTimeChanged);
  EXPECT_EQ(H_SHELL_u32RecordedCount(), 1u);

  // A date that does not exist (month and day never set) is refused too.
  U_DATETIME_vDateTimeSetup();
  EXPECT_EQ(run({R, U, L, D, D, R}), "gggggb");
  EXPECT_TRUE(U_DATETIME_bIsOpen());
  EXPECT_EQ(H_SHELL_u32RecordedCount(), 1u);
}

}  // namespace
