// Pictures of the date and time editor, the network address editor and its confirmation box, compared with
// golden files.
#include <gtest/gtest.h>

#include "../graphics/golden.h"
#include "graphics/color.h"
#include "kernel/database.h"
#include "ui/datetime.h"
#include "ui/ipedit.h"
#include "ui_test_env.h"

namespace {

void key(void (*pfnHandle)(const MSG_KEY_CHANGE *), U32 u32Key, CURSOR_POSITION eCursor) {
  MSG_KEY_CHANGE msg = {};
  msg.header.Cmd = CMD_ID_KEY_CHANGE;
  msg.key = u32Key;
  msg.state = KEY_DOWN;
  msg.count = 1;
  msg.cursor = eCursor;
  pfnHandle(&msg);
}

void dateKey(const MSG_KEY_CHANGE *pMsg) { U_DATETIME_bHandleKeys(pMsg); }
void addressKey(const MSG_KEY_CHANGE *pMsg) {
  if (!T_STARTUP_EDIT_bHandleConfKeys(pMsg)) T_STARTUP_EDIT_bHandleKeys(pMsg);
}

TEST(EditorScreens, DateAndTimeEditor) {
  REQUIRE_UI_TEST_CLOCK();
  COLOR_vSetStandardPalette();
  U_DATETIME_vDateTimeSetup();
  key(dateKey, KEY_BIT_CURSOR, CURSOR_EAST);   // hours
  key(dateKey, KEY_BIT_CURSOR, CURSOR_NORTH);  // 01
  TestBitmap editing(SCREEN_PIXELS_WIDE, SCREEN_PIXELS_HIGH, 0x0000);
  U_DATETIME_vDrawDateTimeMenu(editing.p(), nullptr);
  vExpectGolden(editing.p(), "datetime_editor");

  key(dateKey, KEY_BIT_EXIT, CURSOR_ILLEGAL);  // the question
  TestBitmap asking(SCREEN_PIXELS_WIDE, SCREEN_PIXELS_HIGH, 0x0000);
  U_DATETIME_vDrawDateTimeMenu(asking.p(), nullptr);
  vExpectGolden(asking.p(), "datetime_question");
}

TEST(EditorScreens, AddressEditorAndItsConfirmation) {
  REQUIRE_UI_TEST_CLOCK();
  COLOR_vSetStandardPalette();
  H_DATABASE_bUpdateValueU32(FCID("SIPD"), 0, P_NORMAL);
  H_DATABASE_bUpdateValueU32(FCID("SIPA"), 0xC0A80001, P_NORMAL);
  H_DATABASE_bUpdateValueU32(FCID("SIPM"), 0xFFFFFF00, P_NORMAL);
  H_DATABASE_bUpdateValueU32(FCID("SIPG"), 0xC0A800FE, P_NORMAL);
  T_STARTUP_EDIT_vIPAddressSetup();
  key(addressKey, KEY_BIT_CURSOR, CURSOR_SOUTH);  // the address label
  key(addressKey, KEY_BIT_CURSOR, CURSOR_EAST);   // its first octet
  key(addressKey, KEY_BIT_CURSOR, CURSOR_EAST);   // the second
  key(addressKey, KEY_BIT_CURSOR, CURSOR_NORTH);  // 169
  TestBitmap editing(SCREEN_PIXELS_WIDE, SCREEN_PIXELS_HIGH, 0x0000);
  T_STARTUP_EDIT_vRenderIPAddressSetup(editing.p(), nullptr);
  vExpectGolden(editing.p(), "address_editor");

  key(addressKey, KEY_BIT_EXIT, CURSOR_ILLEGAL);
  key(addressKey, KEY_BIT_EXIT, CURSOR_ILLEGAL);  // "Save Changes?"
  TestBitmap asking(SCREEN_PIXELS_WIDE, SCREEN_PIXELS_HIGH, 0x0000);
  T_STARTUP_EDIT_vRenderIPAddressSetup(asking.p(), nullptr);
  T_STARTUP_EDIT_vRenderConf(asking.p(), nullptr);
  vExpectGolden(asking.p(), "address_confirmation");
  key(addressKey, KEY_BIT_CURSOR, CURSOR_WEST);
}

}  // namespace
