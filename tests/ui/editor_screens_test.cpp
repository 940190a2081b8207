// Pictures of the date and time editor, the network address editor and its confirmation box, compared with
// golden files.
#include <gtest/gtest.h>

#include "golden.h"
#include "draw/color.h"
#include "settings/database.h"
#include "ui/editors/datetime.h"
#include "ui/editors/ipedit.h"
#include "key_presses.h"

namespace {

void dateKeys(const std::vector<UiKey> &keys) {
  UI_sPress(
      [](const MSG_KEY_CHANGE *pMsg) {
        U_DATETIME_bHandleKeys(pMsg);
        return true;
      },
      keys);
}
void addressKeys(const std::vector<UiKey> &keys) {
  UI_sPress(
      [](const MSG_KEY_CHANGE *pMsg) {
        return T_STARTUP_EDIT_bHandleConfKeys(pMsg) || T_STARTUP_EDIT_bHandleKeys(pMsg);
      },
      keys);
}

TEST(EditorScreens, DateAndTimeEditor) {
  REQUIRE_UI_TEST_CLOCK();
  COLOR_vSetStandardPalette();
  U_DATETIME_vDateTimeSetup();
  dateKeys({R, U});  // hours: 01
  TestBitmap editing(SCREEN_PIXELS_WIDE, SCREEN_PIXELS_HIGH, 0x0000);
  U_DATETIME_vDrawDateTimeMenu(editing.p(), nullptr);
  vExpectGolden(editing.p(), "datetime_editor");

  dateKeys({X});  // the question
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
  addressKeys({D, R, R, U});  // the address's second octet: 169
  TestBitmap editing(SCREEN_PIXELS_WIDE, SCREEN_PIXELS_HIGH, 0x0000);
  T_STARTUP_EDIT_vRenderIPAddressSetup(editing.p(), nullptr);
  vExpectGolden(editing.p(), "address_editor");

  addressKeys({X, X});  // "Save Changes?"
  TestBitmap asking(SCREEN_PIXELS_WIDE, SCREEN_PIXELS_HIGH, 0x0000);
  T_STARTUP_EDIT_vRenderIPAddressSetup(asking.p(), nullptr);
  T_STARTUP_EDIT_vRenderConf(asking.p(), nullptr);
  vExpectGolden(asking.p(), "address_confirmation");
  addressKeys({L});
}

}  // namespace
