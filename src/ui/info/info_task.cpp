// The info task (task 10): readout settings and menus, the readout palette and the one-second blink.
#include <cstring>

#include "draw/truetype.h"
#include "view/view.h"
#include "kernel/error.h"
#include "kernel/log.h"
#include "kernel/mbox.h"
#include "kernel/memory.h"
#include "settings/model.h"
#include "kernel/reset.h"
#include "kernel/sema.h"
#include "kernel/task_table.h"
#include "kernel/timer.h"
#include "ui/info/alarm.h"
#include "ui/menu/fonts.h"
#include "ui/info/info.h"
#include "ui/info/info_internal.h"
#include "ui/menu/menu.h"
#include "ui/menu/palette.h"

const ARRAY_OF_STRING_PTRS Select_Readouts = SAME22("Select Readouts");

namespace {

const ARRAY_OF_STRING_PTRS s_acTimer = SAME22("Timer");
const ARRAY_OF_STRING_PTRS s_acOff = SAME22("Off");
const ARRAY_OF_STRING_PTRS s_acDigitsFormat = SAME22("Digits Format");
const ARRAY_OF_STRING_PTRS s_acSmallTenths = SAME22("Small tenths");
const ARRAY_OF_STRING_PTRS s_acLargeTenths = SAME22("Large tenths");
const ARRAY_OF_STRING_PTRS s_acNoTenths = SAME22("No tenths");
const ARRAY_OF_STRING_PTRS s_acUnitsDepth = SAME22("Units - Depth");
const ARRAY_OF_STRING_PTRS s_acMeters = SAME22("Meters");
const ARRAY_OF_STRING_PTRS s_acFeet = SAME22("Feet");
const ARRAY_OF_STRING_PTRS s_acFathoms = SAME22("Fathoms");
const ARRAY_OF_STRING_PTRS s_acReadout[5] = {SAME22("Readout 1"), SAME22("Readout 2"), SAME22("Readout 3"),
                                             SAME22("Readout 4"), SAME22("Readout 5")};
const FOURCHARID s_afcidSlots[5] = {FCID("SIS1"), FCID("SIS2"), FCID("SIS3"), FCID("SIS4"), FCID("SIS5")};

struct DEFAULT {
  FOURCHARID fcid;
  FOURCHARID fcidValue;
};
const DEFAULT s_aDefaults[] = {
    {FCID("SIS1"), FCID("BDEP")}, {FCID("SIS2"), FCID("BTMP")}, {FCID("SIS3"), FCID("BPOS")},
    {FCID("SIS4"), FCID("BTMO")}, {FCID("SIS5"), FCID("BSPD")}, {FCID("CISB"), FCID("BBRG")},
    {FCID("CISH"), FCID("BHDG")}, {FCID("CISS"), FCID("BSPD")}, {FCID("CIS1"), FCID("BCTD")},
    {FCID("CIS2"), FCID("BTSP")},
};

constexpr U32 kMaxChoices = 50;
constexpr size_t kNameCompare = 10;

// The readout choices. Two sets: the menu task may still read the previous one while a new one is built.
struct CHOICES {
  U32 u32Count;
  MENU_TITLE apTitles[kMaxChoices];
  U32 au32Values[kMaxChoices];
};
CHOICES s_aChoices[2];
U32 s_u32CurrentChoices = 0;

bool s_bRunning = false;
bool s_bSubMenuRegistered = false;
bool s_bStoppedForN2kView = false;
TIMER_INFO *s_pBlinkTimer = nullptr;

bool isN2kView(S32 s32View) { return s32View >= NMEA2K_DATA_VIEW && s32View <= NMEA2K_ONEENGINE_VIEW; }

U32 languageOf(U32 u32Value) { return u32Value < NUMBER_OF_LANGUAGES ? u32Value : 0; }

void selectFontSet() {
  U32 u32Lang = 0;
  if (H_DATABASE_bFetchU32(FCID("SLNG"), &u32Lang, nullptr, nullptr)) {
    U_FONTS_vSelectFontSet(static_cast<LANGUAGE>(languageOf(u32Lang)));
  }
}

void applyPaletteSetting() {
  U32 u32Palette = PALETTE1;
  H_DATABASE_bFetchU32(FCID("SPAL"), &u32Palette, nullptr, nullptr);
  INFO_vApplyPalette(u32Palette);
}

// Inserts after every entry whose name compares lower or equal on its first ten characters.
void insertChoice(CHOICES *pChoices, MENU_TITLE pTitle, U32 u32Value, U32 nLang) {
  const char *pcName = (*pTitle)[nLang];
  U32 u32At = pChoices->u32Count;
  while (u32At > 0 && strncmp((*pChoices->apTitles[u32At - 1])[nLang], pcName, kNameCompare) > 0) {
    pChoices->apTitles[u32At] = pChoices->apTitles[u32At - 1];
    pChoices->au32Values[u32At] = pChoices->au32Values[u32At - 1];
    --u32At;
  }
  pChoices->apTitles[u32At] = pTitle;
  pChoices->au32Values[u32At] = u32Value;
  ++pChoices->u32Count;
}

void registerSubMenu() {
  static const MENU_TITLE s_apSubMenus[1] = {&Select_Readouts};
  U_MENU_bRegisterMainSubMenu(&Select_Readouts, &Setup, MENU_DIGITAL_READOUTS, s_apSubMenus, s_apSubMenus, nullptr, 1,
                              M_ADVANCED);
}

void handleNewData(const MESSAGE_NEW_DATA *pMsg) {
  if (pMsg->FourCharId == FCID("SLNG")) {
    T_INFO_vUpdateInfoboxChoices(FALSE);
    U_FONTS_vSelectFontSet(static_cast<LANGUAGE>(languageOf(pMsg->dbValue.u32Val)));
    G_TRUETYPE_vRemoveList();
  } else if (pMsg->FourCharId == FCID("SPAL")) {
    INFO_vApplyPalette(pMsg->dbValue.u32Val);
  }
}

void runSystem() {
  if (!s_bRunning) {
    static const MENU_TITLE s_apFormats[3] = {&s_acSmallTenths, &s_acLargeTenths, &s_acNoTenths};
    static const U32 s_au32Formats[3] = {SMALL_TENTHS, LARGE_TENTHS, NO_TENTHS};
    U_MENU_bRegisterMainSelectorMenu(&s_acDigitsFormat, &Setup, MENU_DIGITS_FORMAT, FCID("SFMT"), 3, s_apFormats,
                                     s_au32Formats, M_ADVANCED);
    static const MENU_TITLE s_apUnits[3] = {&s_acMeters, &s_acFeet, &s_acFathoms};
    static const U32 s_au32Units[3] = {U_METRES, U_FEET, U_FATHOMS};
    const U32 u32Skip = MODEL_bDomesticModel() ? 1 : 0;
    U_MENU_bRegisterMainSelectorMenu(&s_acUnitsDepth, &Setup, MENU_UNITS_DEPTH, FCID("YUDP"), 3 - u32Skip,
                                     s_apUnits + u32Skip, s_au32Units + u32Skip, M_BASIC);
    T_INFO_vUpdateInfoboxChoices(FALSE);
    s_bRunning = true;
  }
  if (s_pBlinkTimer == nullptr) s_pBlinkTimer = L_TIMER_Start(nullptr, 1000, 1000, SEMA_TIMER_INFO);
}

void handleMessage(void *pvMsg) {
  const auto *pMsg = static_cast<const GENERIC_MESSAGE *>(pvMsg);
  switch (pMsg->Cmd) {
    case CMD_ID_RESET_POS: T_INFO_vSetDefaultSettings(TRUE); break;
    case CMD_ID_RUN_SYSTEM: runSystem(); break;
    case CMD_ID_NEW_DATA:
      if (s_bRunning) handleNewData(static_cast<const MESSAGE_NEW_DATA *>(pvMsg));
      break;
    default: break;
  }
  H_MEMORY_vDumpMail(pvMsg);
}

}  // namespace

void T_INFO_vSetDefaultSettings(BOOLEAN bForceFactoryDefaults) {
  auto write = [&](FOURCHARID fcid, U32 u32Value, DATA_TYPE eType) {
    if (bForceFactoryDefaults) {
      H_DATABASE_bUpdateEverythingU32(fcid, u32Value, P_NORMAL, eType, nullptr, DB_NO_TIMEOUT);
      return;
    }
    DB_DATA_TYPE value{};
    value.u32Val = u32Value;
    const DB_ATTRIBUTES attributes = {eType, nullptr, DB_NO_TIMEOUT};
    H_DATABASE_vReadOrSetDefault(fcid, &value, P_DEFAULT_SETTING, &attributes);
  };
  for (const DEFAULT &d : s_aDefaults) write(d.fcid, d.fcidValue, D_FCID);
  write(FCID("SFMT"), SMALL_TENTHS, D_UNKNOWN);
}

void T_INFO_vUpdateInfoboxChoices(BOOLEAN) {
  S32 s32View = NO_VIEW_PRIORITY;
  H_DATABASE_bFetchS32(FCID("CVEW"), &s32View, nullptr, nullptr);
  if (s_bSubMenuRegistered) {
    if (s_bStoppedForN2kView && isN2kView(s32View)) return;
    for (const ARRAY_OF_STRING_PTRS &title : s_acReadout) U_MENU_bUnregisterSubMenuItem(&Select_Readouts, &title);
  }
  registerSubMenu();
  s_bSubMenuRegistered = true;
  s_bStoppedForN2kView = isN2kView(s32View);
  if (s_bStoppedForN2kView) return;

  const U32 nLang = nCurrentLanguage();
  s_u32CurrentChoices ^= 1;
  CHOICES *pChoices = &s_aChoices[s_u32CurrentChoices];
  pChoices->u32Count = 0;
  insertChoice(pChoices, &s_acOff, 0, nLang);
  MULTI_FETCH_CONTROL_STRUCTURE control{};
  control.cMatch = 'B';
  while (pChoices->u32Count < kMaxChoices && H_DATABASE_bFetchNextBeginningWith(&control)) {
    if (control.extras.ppcText == nullptr) continue;
    insertChoice(pChoices, reinterpret_cast<MENU_TITLE>(control.extras.ppcText), control.id, nLang);
  }
  for (U32 i = 0; i < 5; ++i) {
    U_MENU_bRegisterSubMenuSelectorMenu(&s_acReadout[i], &Select_Readouts, nullptr,
                                        static_cast<MENU_PRIORITY>(MENU_PRIORITY_0 + i), s_afcidSlots[i],
                                        pChoices->u32Count, pChoices->apTitles, pChoices->au32Values, M_BASIC);
  }
}

void T_INFO_vInit(void) {
  if (H_DATABASE_bUpdateEverythingU32(FCID("TINF"), M_INFO, P_NORMAL, D_MAILBOX, nullptr, DB_NO_TIMEOUT)) {
    ERROR_error(__FILE__, __LINE__, "Somebody else registered the Info Task Maibox");
    U_RESET_vReset();
  }
  T_INFO_vSetDefaultSettings(FALSE);
  H_DATABASE_bRegisterForDataWithConditions(FCID("SLNG"), M_INFO, TRUE, FALSE, FALSE);
  selectFontSet();
  H_DATABASE_bRegisterForDataWithConditions(FCID("SPAL"), M_INFO, TRUE, FALSE, FALSE);
  applyPaletteSetting();
  H_DATABASE_bUpdateEverythingU32(FCID("ITAW"), 0, P_NORMAL, D_TIME, nullptr, DB_NO_TIMEOUT);
  H_DATABASE_bUpdateEverythingU32(FCID("BTAW"), FCID("ITAW"), P_NORMAL, D_FCID, s_acTimer, DB_NO_TIMEOUT);
  log_me("info task running");
}

void T_INFO_vHandleSema(SEMA sema) {
  switch (sema) {
    case SEMA_MBOX_INFO:
      while (void *pvMsg = L_MBOX_Receive(M_INFO)) handleMessage(pvMsg);
      break;
    case SEMA_INFOBOX_UPDATE:
      if (s_bRunning) T_INFO_vUpdateInfoboxChoices(FALSE);
      break;
    case SEMA_TIMER_INFO:
      INFO_vAdvanceBlink();
      T_ALARM_vCheckTimer();
      L_SEMA_Signal(SEMA_VIEW_UPDATE);
      break;
    default: break;
  }
}

void T_INFO_vMain(void) {
  T_INFO_vInit();
  static const SEMA kWaitList[] = {SEMA_MBOX_INFO, SEMA_INFOBOX_UPDATE, SEMA_TIMER_INFO, 0};
  static const SEMA kStartList[] = {SEMA_MBOX_INFO, 0};
  for (;;) T_INFO_vHandleSema(L_SEMA_WaitMultiple(s_bRunning ? kWaitList : kStartList));
}
