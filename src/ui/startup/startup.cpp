#include "ui/startup/startup.h"

#include <unistd.h>

#include <cstring>
#include <mutex>

#include "card/movinand_standin.h"
#include "draw/icon_data.h"
#include "draw/truetype.h"
#include "settings/database.h"
#include "kernel/error.h"
#include "kernel/log.h"
#include "kernel/memory.h"
#include "settings/model.h"
#include "settings/nvram_task.h"
#include "kernel/options.h"
#include "kernel/process.h"
#include "kernel/reset.h"
#include "kernel/sema.h"
#include "kernel/task.h"
#include "kernel/task_table.h"
#include "kernel/tick.h"
#include "kernel/timer.h"
#include "settings/version.h"
#include "platform/idle.h"
#include "sonar/detect.h"
#include "ui/menu/fonts.h"
#include "ui/editors/ipedit.h"
#include "ui/menu/menu.h"
#include "ui/info/readout.h"
#include "ui/startup/startup_internal.h"

namespace {

constexpr FOURCHARID kTTAR = FCID("TTAR"), kITXD = FCID("ITXD"), kCCST = FCID("CCST"), kCVEW = FCID("CVEW"),
                     kSAGE = FCID("SAGE"), kSAGS = FCID("SAGS"), kSDEN = FCID("SDEN"), kSLNG = FCID("SLNG"),
                     kSQCD = FCID("SQCD"), kSSRD = FCID("SSRD"), kSRDF = FCID("SRDF"), kSVST = FCID("SVST"),
                     kSSMD = FCID("SSMD"), kSSWA = FCID("SSWA"), kSMDL = FCID("SMDL"), kSSEN = FCID("SSEN"),
                     kSFEF = FCID("SFEF"), kSENU = FCID("SENU"), kTNVR = FCID("TNVR"), kTVUE = FCID("TVUE"),
                     kTKBD = FCID("TKBD"), kTMNU = FCID("TMNU");

constexpr U32 kSplashMs = 8000;
constexpr U32 kPollMs = 2000;
constexpr U32 kStartupKeys = 0xFBFE;  // every key but POWER
constexpr U32 kAllButPower = 0xFFFE;
constexpr U32 kAgePolls = 300;
constexpr U32 kAgeStep = 600;

const ARRAY_OF_STRING_PTRS Time_of_Operation = SAME22("Time of Operation");
const ARRAY_OF_STRING_PTRS Self_Test_LC = SAME22("Self Test");
const ARRAY_OF_STRING_PTRS Language = SAME22("Language");
const ARRAY_OF_STRING_PTRS Sonar_Item = SAME22("Sonar");
const ARRAY_OF_STRING_PTRS Demonstration = SAME22("Demonstration");
const ARRAY_OF_STRING_PTRS Off_Text = SAME22("Off");
const ARRAY_OF_STRING_PTRS On_Text = SAME22("On");
const ARRAY_OF_STRING_PTRS Visible_Text = SAME22("Visible");
const ARRAY_OF_STRING_PTRS Water_Type = SAME22("Water Type");
const ARRAY_OF_STRING_PTRS Fresh_Text = SAME22("Fresh");
const ARRAY_OF_STRING_PTRS Salt_Shallow = SAME22("Salt (shallow)");
const ARRAY_OF_STRING_PTRS Salt_Deep = SAME22("Salt (deep)");
const ARRAY_OF_STRING_PTRS Max_Depth = SAME22("Max Depth");
const ARRAY_OF_STRING_PTRS Auto_Text = SAME22("Auto");

// Language names, each in its own language.
#define LANG_TEXT(name, text) const ARRAY_OF_STRING_PTRS name = SAME22(text)
LANG_TEXT(English, "English");
LANG_TEXT(Danish, "Dansk");
LANG_TEXT(Dutch, "Nederlands");
LANG_TEXT(Finnish, "Suomi");
LANG_TEXT(French, "Fran\xE7" "ais");
LANG_TEXT(German, "Deutsch");
LANG_TEXT(Greek, "Greek");
LANG_TEXT(Hungarian, "Magyar");
LANG_TEXT(Italian, "Italiano");
LANG_TEXT(Norwegian, "Norsk");
LANG_TEXT(Polish, "Polski");
LANG_TEXT(Portuguese, "Portugu\xEAs");
LANG_TEXT(Spanish, "Espa\xF1ol");
LANG_TEXT(Swedish, "Svenska");
LANG_TEXT(Czech, "Cesky");
LANG_TEXT(Croatian, "Hrvatski");
LANG_TEXT(Russian, "Russian");
LANG_TEXT(Bulgarian, "Bulgarian");
LANG_TEXT(Estonian, "Eesti");
LANG_TEXT(Latvian, "Latviesu");
LANG_TEXT(Lithuanian, "Lietuviu");
LANG_TEXT(Turkish, "T\xFCrk\xE7" "e");
#undef LANG_TEXT

const MENU_TITLE s_pLanguageList1[22] = {&English, &Danish,     &Dutch,   &Finnish, &French,    &German,
                                          &Greek,   &Hungarian,  &Italian, &Norwegian, &Polish,  &Portuguese,
                                          &Spanish, &Swedish,    &Czech,   &Croatian, &Russian,  &Bulgarian,
                                          &Estonian, &Latvian,   &Lithuanian, &Turkish};
const U32 s_pLanguageNums1[22] = {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16, 17, 18, 19, 20, 21};
const MENU_TITLE s_pLanguageList2[3] = {&English, &Croatian, &Russian};
const U32 s_pLanguageNums2[3] = {0, 15, 16};

const MENU_TITLE kOnOffList[2] = {&Off_Text, &On_Text};
const MENU_TITLE kDemoList[2] = {&Off_Text, &Visible_Text};
const U32 kOnOffValues[2] = {0, 1};
const MENU_TITLE kWaterList[3] = {&Fresh_Text, &Salt_Shallow, &Salt_Deep};
const U32 kWaterValues[3] = {0, 2, 1};

// The quick set-up's depth slider reaches deeper than the sonar menu's.
const MENU_LIMITS DepthLimits[4] = {
    {U_FEET, 0.0f, 1500.0f, 1.0f}, {U_METRES, 0.0f, 500.0f, 1.0f}, {U_FATHOMS, 0.0f, 250.0f, 1.0f},
    {U_NONE, 0.0f, 500.0f, 1.0f}};
const MENU_STEP_LEVELS StepLevels[4] = {
    {U_FEET, 50.0f, 150.0f}, {U_METRES, 15.0f, 45.0f}, {U_FATHOMS, 10.0f, 25.0f}, {U_NONE, 15.0f, 45.0f}};

// The mailboxes that hear the run-system command, in order.
const MBOX mboxTaskMailboxes[43] = {
    M_DISPLAY, M_KEYB,     M_MENU,      M_NVRAM,      M_VIEWKEY,    M_VIEW,          M_COM1A,      M_INLINETEST,
    M_TONE,    M_INFO,     M_ACCESSORY, M_ACC_COMM,   M_BAROMETER,  M_DOWNRIGGER,    M_GATEWAY,    M_GATEWAY_NAV,
    M_SPEED,   M_MMC,      M_CHART,     M_CHART3D,    M_HTML,       M_NAV,           M_CHART_INFO, M_NMEA,
    M_ALARM,   M_PCCOM,    M_WTEMP,     M_BATTERY,    M_BUTTON,     M_PING,          M_PROCESS,    M_HISTORY,
    M_NETPING, M_SATWEATHER, M_SATWEATHER_DATA, M_RADAR, M_RADAR_DATA, M_RADAR_SERVER, M_RADAR_SERVER_TCP,
    M_RADAR_CLIENT, M_VANTREL, M_SYSTIME_EDIT, M_BT_REMOTE};

// The settings that must exist: key, default, domestic default (used for the model only).
struct MY_ITEM {
  FOURCHARID key;
  U32 u32Default;
  U32 u32DomesticDefault;
};
const MY_ITEM s_sMyItems[9] = {{FCID("SMDL"), MODEL_DEFAULT, MODEL_DOMESTIC}, {FCID("CREV"), 0, 0},
                               {FCID("SEDB"), 0xFFFFFFFF, 0},                 {FCID("SEDU"), 0xFFFFFFFF, 0},
                               {FCID("SEIB"), 0xFFFFFFFF, 0},                 {FCID("SEIU"), 0xFFFFFFFF, 0},
                               {FCID("SENB"), 0xFFFFFFFF, 0},                 {FCID("SENU"), 0xFFFFFFFF, 0},
                               {FCID("SETB"), 0xFFFFFFFF, 0}};

// The record of the screens: this task and the menu task (closing quick set-up) change it while the view task
// copies it to draw, so every field is read and written under its lock.
using REC = STARTUP_STATUS;
std::mutex s_tStatusLock;
STARTUP_STATUS s_tStatus = {STATE_NORMAL_RUN, FALSE, 0, FALSE, 2000, DISCLAIMER_INACTIVE, FALSE, FALSE, FALSE, 300, 0, 0};

template <typename T>
T get(T REC::*pField) {
  std::lock_guard<std::mutex> tGuard(s_tStatusLock);
  return s_tStatus.*pField;
}
template <typename T, typename V>
void set(T REC::*pField, V value) {
  std::lock_guard<std::mutex> tGuard(s_tStatusLock);
  s_tStatus.*pField = static_cast<T>(value);
}
// Adds to a field and returns its value from before.
template <typename T>
T add(T REC::*pField, T delta) {
  std::lock_guard<std::mutex> tGuard(s_tStatusLock);
  const T before = s_tStatus.*pField;
  s_tStatus.*pField = static_cast<T>(before + delta);
  return before;
}
TIMER_INFO *s_pTimer = nullptr;
BOOLEAN s_bInitialState = FALSE;
BOOLEAN s_bShutdown = FALSE;

bool exists(FOURCHARID key) { return H_DATABASE_bFetch(key, nullptr, nullptr, nullptr); }

bool fetchValid(FOURCHARID key, U32 *pu32) {
  BOOLEAN bValid = FALSE;
  return H_DATABASE_bFetchU32(key, pu32, &bValid, nullptr) && bValid;
}

void writeState(FOURCHARID key, U32 u32Value) {
  H_DATABASE_bUpdateEverythingU32(key, u32Value, P_NORMAL, D_UNKNOWN, nullptr, DB_NO_TIMEOUT);
}

void setView(LAYER_ID layer) { H_DATABASE_bUpdateValueU32(kCVEW, static_cast<U32>(layer), P_NORMAL); }

void click(bool bGood) { L_SEMA_Signal(bGood ? SEMA_KEYCLICK_GOOD : SEMA_KEYCLICK_BAD); }

void stopTimer(void) {
  if (s_pTimer != nullptr) L_TIMER_Stop(s_pTimer);
}

void startTimer(U32 u32StartMs, U32 u32RecurMs, SEMA sema) {
  TIMER_INFO *pTimer = L_TIMER_Start(s_pTimer, u32StartMs, u32RecurMs, sema);
  if (pTimer == nullptr) {
    ERROR_error(__FILE__, __LINE__, "Timer Problems");
    U_RESET_vReset();
  }
  s_pTimer = pTimer;
}

// Starts a task at priority 2 so that it registers before this task goes on.
PRIORITY execWithHighPriority(TASK task, bool bRestoreNow) {
  const ERC erPriority = L_TASK_GetPriority(task);
  const PRIORITY oldPriority = erPriority > 0 ? static_cast<PRIORITY>(erPriority) : TaskParams[task - 1].TParamPriority;
  L_TASK_SetPriority(task, 2);
  log_me("starting task %d (%s)", static_cast<int>(task), str_tasks[task]);
  L_TASK_Start(task);
  usleep(100);
  if (bRestoreNow) L_TASK_SetPriority(task, oldPriority);
  return oldPriority;
}

void pollForKey(FOURCHARID key, const char *pcWhat) {
  log_me("waiting for the %s", pcWhat);
  while (!exists(key)) usleep(100);
}

// Posts a registration of one of the start-up screens and waits until the view task has it, so that the view
// task knows the layer before 'CVEW' names it.
void registerScreen(LAYER_ID layer, DRAW_FUNCTION *pfnDraw) {
  U32 u32View = 0;
  if (!fetchValid(kTVUE, &u32View)) return;
  auto *pMsg = static_cast<MSG_REGISTER_LAYER *>(H_MEMORY_pvCalloc(1, sizeof(MSG_REGISTER_LAYER)));
  pMsg->header.Cmd = CMD_ID_REGISTER_LAYER;
  pMsg->layer = layer;
  pMsg->where_used = USED_BY_NONE;
  pMsg->pDrawFunction = pfnDraw;
  pMsg->bDisplay = TRUE;
  pMsg->eLocation = SPLIT_FULL_WINDOW;
  L_MBOX_SendWait(static_cast<MBOX>(u32View), pMsg, NORMAL_PRIORITY, SEMA_TIMER_STARTUP);
  H_MEMORY_vFree(pMsg);
  L_SEMA_SetPending(SEMA_TIMER_STARTUP);
}

void postToNvram(CMD_ID cmd, FOURCHARID key) {
  auto *pMsg = static_cast<MSG_NVRAM_WRITE_TO_HEADER *>(H_MEMORY_pvCalloc(1, sizeof(MSG_NVRAM_WRITE_TO_HEADER)));
  pMsg->Header.Cmd = cmd;
  pMsg->id = key;
  L_MBOX_Send(M_NVRAM, pMsg, NORMAL_PRIORITY, 0);
}

void resetLanguage(void) {
  U32 u32Language = 0;
  const bool bExists = H_DATABASE_bFetchU32(kSLNG, &u32Language, nullptr, nullptr);
  if (!bExists || (MODEL_bDomesticModel() && u32Language != 0)) {
    H_DATABASE_bUpdateValueU32(kSLNG, 0, P_NORMAL);
    postToNvram(CMD_ID_WRITE_TO_NVR, kSLNG);
  } else if (MODEL_bInternationalModel2()) {
    if (u32Language == 1) H_DATABASE_bUpdateValueU32(kSLNG, 15, P_NORMAL);
    if (u32Language == 2) H_DATABASE_bUpdateValueU32(kSLNG, 16, P_NORMAL);
  }
}

void registerLanguageSelector(bool bQuick) {
  const bool bI1 = MODEL_bInternationalModel1(), bI2 = MODEL_bInternationalModel2();
  if (!bI1 && !bI2) return;
  const MENU_TITLE *pList = bI1 ? s_pLanguageList1 : s_pLanguageList2;
  const U32 *pNums = bI1 ? s_pLanguageNums1 : s_pLanguageNums2;
  const U32 u32Count = bI1 ? 22 : 3;
  if (bQuick) {
    U_MENU_bRegisterQuickSelectorMenu(&Language, MENU_SET_LANGUAGE, kSLNG, u32Count, pList, pNums, M_BASIC);
  } else {
    U_MENU_bRegisterMainSelectorMenu(&Language, &Setup, MENU_SET_LANGUAGE, kSLNG, u32Count, pList, pNums, M_BASIC);
  }
}

void setupMenuTabs(void) {
  U_MENU_bRegisterTab(&Views, SELECT_VIEWS_TAB_PRIORITY, &ViewTab_icon, M_BASIC);
  U_MENU_bRegisterTab(&Alarms, ALARM_TAB_PRIORITY, &Alarm_icon, M_BASIC);
  U_MENU_bRegisterTab(&Setup, SETUP_TAB_PRIORITY, &Setup_icon, M_BASIC);
  U_MENU_bRegisterTab(&Accessories, ACCESSORY_TAB_PRIORITY, &acc_icon, M_BASIC);
  registerLanguageSelector(false);
  U_MENU_bRegisterMainSelectorMenu(&Sonar_Item, &Setup, MENU_SONAR_ENABLED, kSSEN, 2, kOnOffList, kOnOffValues,
                                   M_BASIC);
}

void nvrVirginSetup(void) {
  U32 u32Nvram = 0;
  for (int i = 0; i < 50 && !(fetchValid(kTNVR, &u32Nvram) && u32Nvram != 0); ++i) L_CLOCK_Sleep(100);
  if (!(fetchValid(kTNVR, &u32Nvram) && u32Nvram != 0)) {
    ERROR_error(__FILE__, __LINE__, "STARTUP: Where's tNVRAM");
    U_RESET_vReset();
  }
  for (const MY_ITEM &item : s_sMyItems) {
    U32 u32Value = 0;
    const bool bExists = H_DATABASE_bFetchU32(item.key, &u32Value, nullptr, nullptr);
    if (bExists && (item.key != kSMDL || u32Value != 0)) continue;
    U32 u32Default = item.u32Default;
    if (item.key == kSMDL && U_MOVINAND_eGetMovinandState(0) == MOVINAND_STATE_BIC) {
      u32Default = item.u32DomesticDefault;
    }
    if (bExists) {
      H_DATABASE_bUpdateEverythingU32(item.key, u32Default, P_NORMAL, D_UNKNOWN, nullptr, DB_NO_TIMEOUT);
    } else {
      DB_DATA_TYPE value{};
      value.u32Val = u32Default;
      const DB_ATTRIBUTES attributes = {D_UNKNOWN, nullptr, DB_NO_TIMEOUT};
      H_DATABASE_vReadOrSetDefault(item.key, &value, P_NORMAL, &attributes);
    }
    postToNvram(CMD_ID_WRITE_TO_HEADER, item.key);
  }
}

void readPersonalizationData(void) {
  std::memset(STARTUP_acPersonalString, 0, sizeof STARTUP_acPersonalString);
  U32 u32Nvram = 0;
  if (!fetchValid(kTNVR, &u32Nvram)) return;
  PERSONALIZATION_DATA_BLOCK block{};
  auto *pMsg = static_cast<MSG_READ_PERSONALIZED *>(H_MEMORY_pvCalloc(1, sizeof(MSG_READ_PERSONALIZED)));
  pMsg->Header.Cmd = CMD_ID_READ_PERSONALIZED;
  pMsg->pPersonData = &block;
  L_MBOX_SendWait(static_cast<MBOX>(u32Nvram), pMsg, NORMAL_PRIORITY, SEMA_PERSONAL_DATA);
  if (pMsg->bSuccess) {
    std::memcpy(STARTUP_acPersonalString, block.data, sizeof block.data);
    L_SEMA_Signal(SEMA_VIEW_UPDATE);
  }
  H_MEMORY_vFree(pMsg);
}

void prepareQuickSetup(void) {
  H_DATABASE_bUpdateEverythingU32(kSSMD, 0, P_DEFAULT_SETTING, D_DEPTH, nullptr, DB_NO_TIMEOUT);
  registerLanguageSelector(true);
  H_DATABASE_bUpdateEverythingU32(kSSWA, 0, 5, D_UNKNOWN, Water_Type, DB_NO_TIMEOUT);
  U_MENU_bRegisterQuickSelectorMenu(&Water_Type, MENU_WATER_TYPE, kSSWA, 3, kWaterList, kWaterValues, M_BASIC);
  U_MENU_bRegisterQuickVarStepSliderMenu(&Max_Depth, MENU_MAX_DEPTH_TO_PING, kSSMD, DepthLimits, StepLevels,
                                         &Auto_Text, nullptr, nullptr, M_BASIC);
}

bool isTrue(FOURCHARID key) {
  U32 u32 = 0;
  return H_DATABASE_bFetchU32(key, &u32, nullptr, nullptr) && u32 != 0;
}

bool existsFalse(FOURCHARID key) {
  U32 u32 = 1;
  return H_DATABASE_bFetchU32(key, &u32, nullptr, nullptr) && u32 == 0;
}

void runFactoryReset(void) {
  log_me("restoring the factory settings");
  T_KEYBOARD_vRestoreFactoryDefaults();
}

void checkDiagnosticMode(PHASE ePhase) {
  U32 u32State = 0;
  if (ePhase == PHASE_STARTUP) {
    if (H_DATABASE_bFetchU32(kCCST, &u32State, nullptr, nullptr) && u32State == STATE_DIAGNOSTIC) {
      set(&REC::bDiagnosticMode, TRUE);
      U32 u32Shown = 0;
      H_DATABASE_bFetchU32(kSVST, &u32Shown, nullptr, nullptr);
      s_bInitialState = u32Shown != 0 ? TRUE : FALSE;
      H_DATABASE_bUpdateValueU32(kSVST, TRUE, P_NORMAL);
    }
  } else if (get(&REC::bDiagnosticMode)) {
    H_DATABASE_bUpdateValueU32(kSVST, s_bInitialState, P_NORMAL);
  }
}

void handleShutdown(void) {
  if (s_pTimer != nullptr) {
    L_TIMER_Stop(s_pTimer);
    L_TIMER_Release(s_pTimer);
    s_pTimer = nullptr;
  }
  for (LAYER_ID layer : {TRANSDUCER_NOT_DETECTED_LAYER, STARTUP_SPLASH_VIEW_PRIORITY, STARTUP_MENU_VIEW_PRIORITY,
                         STARTUP_CHART_DISCLAIMER}) {
    U_VIEW_bUnRegisterLayer(layer);
  }
  checkDiagnosticMode(PHASE_SHUTDOWN);
  s_bShutdown = TRUE;
}

void handleNewData(const MESSAGE_NEW_DATA *pMsg) {
  if (pMsg->FourCharId == kSMDL) {
    MODEL_bRegisterModel(static_cast<MODEL_TYPE>(pMsg->dbValue.u32Val));
    resetLanguage();
  } else if (pMsg->FourCharId == kCCST) {
    set(&REC::eState, static_cast<SYSTEM_STATE>(pMsg->dbValue.u32Val));
    set(&REC::bInMenu, FALSE);
    if (get(&REC::eState) == STATE_INLINE_TEST) {
      U_VIEW_bUnRegisterLayer(TRANSDUCER_NOT_DETECTED_LAYER);
      L_SEMA_Signal(SEMA_VIEW_UPDATE);
    }
    if (!get(&REC::bSystemStarted)) T_STARTUP_vStartSystem();
  }
}

}  // namespace

char STARTUP_acPersonalString[253];

const STARTUP_MENU_LINE s_structStartupMenu[4] = {
    {&STARTUP_Normal, TRUE, FALSE, STATE_NORMAL_RUN},
    {&STARTUP_Simulator, FALSE, TRUE, STATE_SIMULATION},
    {&STARTUP_System_Status, FALSE, FALSE, STATE_DIAGNOSTIC},
    {&STARTUP_PC_Connect, FALSE, FALSE, STATE_PC_CONNECT},
};

BOOLEAN T_STARTUP_bIsSonarTransducerDetected(void) { return get(&REC::bTransducerConnected); }

void T_STARTUP_vGetStatus(STARTUP_STATUS *pStatus) {
  std::lock_guard<std::mutex> tGuard(s_tStatusLock);
  *pStatus = s_tStatus;
}

void STARTUP_vOpenMenu(void) {
  click(true);
  set(&REC::s32MenuLine, get(&REC::bTransducerConnected) ? 0 : 1);
  U_VIEW_bUnRegisterLayer(TRANSDUCER_NOT_DETECTED_LAYER);
  stopTimer();
  L_SEMA_SetPending(SEMA_TIMER_STARTUP);
  registerScreen(STARTUP_MENU_VIEW_PRIORITY, T_STARTUP_vDisplayStartupMenu);
  setView(STARTUP_MENU_VIEW_PRIORITY);
  set(&REC::bInMenu, TRUE);
  startTimer(STARTUP_MENU_MS, 0, SEMA_TIMER_STARTUP);
  log_me("start-up menu open");
}

void STARTUP_vRestartMenuTimer(void) { startTimer(STARTUP_MENU_MS, 0, SEMA_TIMER_STARTUP); }

void STARTUP_vSetMenuLine(S32 s32Line) { set(&REC::s32MenuLine, s32Line); }

void STARTUP_vSetState(SYSTEM_STATE eState) { set(&REC::eState, eState); }

void STARTUP_vFinishDisclaimer(void) { set(&REC::eDisclaimerState, DISCLAIMER_FINISHED); }

void STARTUP_vSetPage(U32 u32Page) { set(&REC::u32Page, u32Page); }

void STARTUP_vSetSuperUserCount(U32 u32Count) { set(&REC::u32SuperUserCount, u32Count); }

void T_STARTUP_vRemoveQuickConfigMenu(void) {
  if (!get(&REC::bQuickConfigMenuDisplayed)) return;
  U_KEYBOARD_bUnregisterKeys(M_MENU, kAllButPower);
  U_VIEW_bUnRegisterLayer(QUICK_CONFIGURE_LAYER);
  set(&REC::bQuickConfigMenuDisplayed, FALSE);
  L_SEMA_Signal(SEMA_VIEW_UPDATE);
  U_MENU_bUnregisterQuickMenuItem(&Language);
  U_MENU_bUnregisterQuickMenuItem(&Water_Type);
  U_MENU_bUnregisterQuickMenuItem(&Max_Depth);
  H_DATABASE_bUpdateValueU32(kSRDF, FALSE, P_NORMAL);
  H_DATABASE_bUpdateValueU32(kSQCD, TRUE, P_NORMAL);
}

void T_STARTUP_vStartSystem(void) {
  if (get(&REC::eDisclaimerState) == DISCLAIMER_INACTIVE) {
    if (get(&REC::bInMenu)) set(&REC::eState, s_structStartupMenu[get(&REC::s32MenuLine)].state);
    if (!opt_nodisclaimer && (get(&REC::eState) == STATE_NORMAL_RUN || get(&REC::eState) == STATE_SIMULATION ||
                              get(&REC::eState) == STATE_PRE_POINT_OF_SALE)) {
      stopTimer();
      L_SEMA_SetPending(SEMA_TIMER_STARTUP);
      registerScreen(STARTUP_CHART_DISCLAIMER, T_STARTUP_vDisplayDisclaimer);
      setView(STARTUP_CHART_DISCLAIMER);
      set(&REC::eDisclaimerState, DISCLAIMER_ACTIVE);
      log_me("showing the chart disclaimer");
    }
  }
  if (!get(&REC::bSystemStarted) && get(&REC::eDisclaimerState) != DISCLAIMER_ACTIVE) {
    set(&REC::bSystemStarted, TRUE);
    stopTimer();
    const SYSTEM_STATE eState =
        get(&REC::bInMenu) ? s_structStartupMenu[get(&REC::s32MenuLine)].state : get(&REC::eState);
    set(&REC::eState, eState);
    set(&REC::bInMenu, FALSE);
    writeState(kCCST, eState);
    log_me("system state %d", static_cast<int>(eState));
    checkDiagnosticMode(PHASE_STARTUP);
    U_KEYBOARD_bUnregisterKeys(M_STARTUP, kAllButPower);
    if (eState == STATE_DIAGNOSTIC) {
      U_KEYBOARD_bRegisterKeys(M_STARTUP, kStartupKeys, KEY_CHANGE, FALSE, FALSE, CURSOR_4, REGISTER_SYSTEM_STATUS);
      setView(DIAGNOSTIC_SELF_TEST);
    }
    if (eState == STATE_NORMAL_RUN || eState == STATE_SIMULATION) {
      if (!exists(kSQCD)) {
        writeState(kSSRD, TRUE);
        runFactoryReset();
      }
      if (isTrue(kSRDF)) {
        H_DATABASE_bUpdateValueU32(kSQCD, FALSE, P_NORMAL);
        L_CLOCK_Sleep(1000);
        log_me("opening the quick-setup menu");
        T_MENU_vActivateQuickMenu();
        set(&REC::bQuickConfigMenuDisplayed, TRUE);
        L_SEMA_Signal(SEMA_VIEW_UPDATE);
      }
    }
    if (isTrue(kSSRD)) {
      runFactoryReset();
      H_DATABASE_bUpdateValueU32(kSSRD, FALSE, P_NORMAL);
    }
    for (MBOX mbox : mboxTaskMailboxes) {
      auto *pMsg = static_cast<GENERIC_MESSAGE *>(H_MEMORY_pvCalloc(1, sizeof(GENERIC_MESSAGE)));
      pMsg->Cmd = CMD_ID_RUN_SYSTEM;
      L_MBOX_Send(mbox, pMsg, NORMAL_PRIORITY, 0);
    }
    log_me("run-system sent to %d mailboxes", static_cast<int>(sizeof mboxTaskMailboxes / sizeof(MBOX)));
    startTimer(kPollMs, kPollMs, SEMA_TIMER_DBPOLL);
    for (LAYER_ID layer : {STARTUP_SPLASH_VIEW_PRIORITY, STARTUP_MENU_VIEW_PRIORITY, STARTUP_CHART_DISCLAIMER}) {
      U_VIEW_bUnRegisterLayer(layer);
    }
    if (eState == STATE_NORMAL_RUN || eState == STATE_SIMULATION) {
      U_MENU_bRegisterMainSelectorMenu(&Demonstration, &Setup, MENU_DEMO_ENABLED, kSDEN, 2, kDemoList, kOnOffValues,
                                       M_BASIC);
    }
  }
  auto *pMsg = static_cast<GENERIC_MESSAGE *>(H_MEMORY_pvCalloc(1, sizeof(GENERIC_MESSAGE)));
  pMsg->Cmd = CMD_ID_START_VIDEO_OUT_CHECK;
  L_MBOX_Send(M_DISPLAY, pMsg, NORMAL_PRIORITY, 0);
  L_TASK_SetPriority(0, 100);
}

void STARTUP_vChooseFirstState(void) {
  set(&REC::bTransducerConnected, S_DETECT_bTransducerConnected());
  if (existsFalse(kSDEN)) set(&REC::bTransducerConnected, TRUE);
  H_DATABASE_bUpdateValueS32(kITXD, get(&REC::bTransducerConnected) ? 1 : 0, P_NORMAL);

  U32 u32NetworkSonar = 0;
  if (existsFalse(kSSEN) || existsFalse(kSDEN)) {
    set(&REC::eState, STATE_NORMAL_RUN);
    set(&REC::s32TransducerConnectedTimer, 0);
  } else if (get(&REC::bTransducerConnected) || (fetchValid(kSFEF, &u32NetworkSonar) && u32NetworkSonar != 0)) {
    set(&REC::eState, STATE_NORMAL_RUN);
    set(&REC::s32TransducerConnectedTimer, 0);
  } else {
    U_VIEW_bRegisterLayer(T_STARTUP_vDrawTransducerNotDetected, TRANSDUCER_NOT_DETECTED_LAYER, USED_BY_ALL, 0, 0,
                          FALSE, nullptr, nullptr, nullptr);
    U32 u32Serial = 0;
    const bool bNoSerial = H_DATABASE_bFetchU32(kSENU, &u32Serial, nullptr, nullptr) && u32Serial == 0xFFFFFFFF;
    set(&REC::eState, bNoSerial ? STATE_BURN_IN : STATE_POINT_OF_SALE);
    log_me("no transducer found");
  }
}

void T_STARTUP_vInit(void) {
  if (H_DATABASE_bUpdateEverythingU32(kTTAR, M_STARTUP, P_NORMAL, D_MAILBOX, nullptr, DB_NO_TIMEOUT)) {
    ERROR_error(__FILE__, __LINE__, "Somebody else registered the Startup Task Mailbox");
    U_RESET_vReset();
  }
  set(&REC::bTransducerConnected, FALSE);
  H_DATABASE_bUpdateEverythingS32(kITXD, -1, P_NORMAL, D_UNKNOWN, nullptr, DB_NO_TIMEOUT);
  for (FOURCHARID key : {FCID("ECPM"), FCID("ELPM"), FCID("ENPM")}) writeState(key, 0);
  DD_PWM_vInitPrescalers();
  writeState(kCCST, STATE_STARTUP);
  H_DATABASE_bRegisterForDataWithConditions(kCCST, M_STARTUP, TRUE, FALSE, FALSE);
  G_TRUETYPE_bInit();
  U_FONTS_vSelectFontSet(LANGUAGE_ENGLISH);

  s_pTimer = L_TIMER_Allocate();
  if (s_pTimer == nullptr) {
    ERROR_error(__FILE__, __LINE__, "NO TIMER");
    U_RESET_vReset();
  }
  L_SEMA_SetPending(SEMA_TIMER_STARTUP);
  startTimer(kSplashMs, 0, SEMA_TIMER_STARTUP);

  const PRIORITY displayPriority = execWithHighPriority(DISPTASK, false);
  log_me("waiting for the display task");
  L_SEMA_Wait(SEMA_DISPINIT_COMPLETE);
  const PRIORITY viewPriority = execWithHighPriority(VIEWTASK, false);
  pollForKey(kTVUE, "view task");
  U_VIEW_bRegisterLayer(T_STARTUP_vDisplaySplashScreen, STARTUP_SPLASH_VIEW_PRIORITY, USED_BY_NONE, 0, 0, TRUE,
                        nullptr, nullptr, nullptr);
  setView(STARTUP_SPLASH_VIEW_PRIORITY);
  execWithHighPriority(VIEWKEYTASK, true);
  execWithHighPriority(NVRTASK, true);
  log_me("waiting for the NVRAM task");
  nvrVirginSetup();
  readPersonalizationData();

  execWithHighPriority(KBDTASK, true);
  pollForKey(kTKBD, "keyboard task");
  U_KEYBOARD_bRegisterKeys(M_STARTUP, kStartupKeys, KEY_DOWN, FALSE, FALSE, CURSOR_4, REGISTER_STARTUP);

  U32 u32Model = 0;
  if (!fetchValid(kSMDL, &u32Model)) {
    ERROR_error(__FILE__, __LINE__, "Registering for SMDL");
    U_RESET_vReset();
  }
  MODEL_bRegisterModel(static_cast<MODEL_TYPE>(u32Model));
  H_DATABASE_bRegisterForDataWithConditions(kSMDL, M_STARTUP, TRUE, FALSE, FALSE);
  L_SEMA_Signal(SEMA_VIEW_UPDATE);
  VERSION_bDetectVersionChange();

  DB_DATA_TYPE age{};
  const DB_ATTRIBUTES ageAttributes = {D_TIME, Time_of_Operation, 18000};
  H_DATABASE_vReadOrSetDefault(kSAGE, &age, P_NORMAL, &ageAttributes);
  H_DATABASE_bUpdateValueU32(kSAGS, age.u32Val, P_NORMAL);
  H_DATABASE_bUpdateValueU32(kSDEN, TRUE, P_UNOWNED);

  execWithHighPriority(MENUTASK, true);
  pollForKey(kTMNU, "menu task");
  setupMenuTabs();

  DB_DATA_TYPE selfTest{};
  const DB_ATTRIBUTES selfTestAttributes = {D_UNKNOWN, Self_Test_LC, DB_NO_TIMEOUT};
  H_DATABASE_vReadOrSetDefault(kSVST, &selfTest, P_NORMAL, &selfTestAttributes);
  U_VIEW_bRegisterLayer(T_STARTUP_vDrawSelfTestView, DIAGNOSTIC_SELF_TEST, USED_BY_NONE, 0, kSVST, FALSE, nullptr,
                        nullptr, nullptr);
  U_VIEW_bRegisterLayer(T_INFO_vDrawInfoLayer_Instrumentation_SonarView, INFO_SELF_TEST_LAYER,
                        DIAGNOSTIC_SELF_TEST, 0, 0, TRUE, nullptr, nullptr, nullptr);
  resetLanguage();

  if (!exists(kSQCD)) {
    writeState(kSQCD, FALSE);
    writeState(kSSRD, TRUE);
    runFactoryReset();
  }
  if (isTrue(kSRDF)) prepareQuickSetup();

  STARTUP_vChooseFirstState();
  L_TASK_SetPriority(DISPTASK, displayPriority);
  L_TASK_SetPriority(VIEWTASK, viewPriority);
  L_SEMA_Signal(SEMA_VIEW_UPDATE);
  set(&REC::eDisclaimerState, DISCLAIMER_INACTIVE);
}

void T_STARTUP_vHandleStartupTimer(void) {
  if (s_bShutdown) {
    stopTimer();
    return;
  }
  T_STARTUP_vStartSystem();
}

void T_STARTUP_vHandleDBPOLLTimer(void) {
  if (s_bShutdown) {
    stopTimer();
    return;
  }
  H_DATABASE_vSendAllInvalidData();
  U32 u32Age = 0;
  if (H_DATABASE_bFetchU32(kSAGE, &u32Age, nullptr, nullptr)) {
    if (add(&REC::u32AgeCountdown, static_cast<U32>(-1)) == 1) {
      set(&REC::u32AgeCountdown, kAgePolls);
      H_DATABASE_bUpdateValueU32(kSAGE, u32Age + kAgeStep, P_NORMAL);
      H_DATABASE_bUpdateValueU32(kSAGS, u32Age + kAgeStep, P_NORMAL);
    }
  }
  if (!get(&REC::bTransducerConnected)) {
    U32 u32State = 0;
    if (H_DATABASE_bFetchU32(kCCST, &u32State, nullptr, nullptr) && u32State == STATE_BURN_IN) {
      set(&REC::s32TransducerConnectedTimer, 4000);
    }
    if (get(&REC::s32TransducerConnectedTimer) >= 0) {
      add(&REC::s32TransducerConnectedTimer, -static_cast<S32>(kPollMs));
      if (get(&REC::s32TransducerConnectedTimer) <= 0) {
        U_VIEW_bUnRegisterLayer(TRANSDUCER_NOT_DETECTED_LAYER);
        L_SEMA_Signal(SEMA_VIEW_UPDATE);
      }
    }
  }
}

void T_STARTUP_vHandleMessage(void *pvMsg) {
  auto *pHeader = static_cast<GENERIC_MESSAGE *>(pvMsg);
  if (!s_bShutdown) {
    switch (pHeader->Cmd) {
      case CMD_ID_SHUTDOWN: handleShutdown(); break;
      case CMD_ID_NEW_DATA: handleNewData(static_cast<MESSAGE_NEW_DATA *>(pvMsg)); break;
      case CMD_ID_RESET_POS: T_STARTUP_EDIT_vResetState(); break;
      case CMD_ID_KEY_CHANGE: T_STARTUP_vHandleKey(static_cast<MSG_KEY_CHANGE *>(pvMsg)); break;
      default: break;
    }
  }
  H_MEMORY_vDumpMail(pvMsg);
}

void T_STARTUP_vMain(void) {
  T_STARTUP_vInit();
  bStartupTaskInitialized = TRUE;
  static const SEMA kWaitList[] = {SEMA_MBOX_STARTUP, SEMA_TIMER_DBPOLL, SEMA_TIMER_STARTUP, SEMA_PERSONAL_DATA, 0};
  for (;;) {
    switch (L_SEMA_WaitMultiple(kWaitList)) {
      case SEMA_TIMER_STARTUP: T_STARTUP_vHandleStartupTimer(); break;
      case SEMA_TIMER_DBPOLL: T_STARTUP_vHandleDBPOLLTimer(); break;
      case SEMA_MBOX_STARTUP:
        while (void *pvMsg = L_MBOX_Receive(M_STARTUP)) T_STARTUP_vHandleMessage(pvMsg);
        break;
      default: break;
    }
  }
}

void T_STARTUP_vResetForTest(SYSTEM_STATE eState, BOOLEAN bTransducerConnected) {
  if (s_pTimer != nullptr) {
    L_TIMER_Stop(s_pTimer);
    L_TIMER_Release(s_pTimer);
  }
  {
    std::lock_guard<std::mutex> tGuard(s_tStatusLock);
    s_tStatus = STARTUP_STATUS{};
    s_tStatus.eState = eState;
    s_tStatus.bTransducerConnected = bTransducerConnected;
    s_tStatus.s32TransducerConnectedTimer = bTransducerConnected ? 0 : 2000;
    s_tStatus.u32AgeCountdown = kAgePolls;
  }
  s_pTimer = L_TIMER_Allocate();
  s_bInitialState = FALSE;
  s_bShutdown = FALSE;
}
