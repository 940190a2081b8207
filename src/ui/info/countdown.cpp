// The count-down timer: a kitchen timer of up to 23:59:59 set in its own editor, started from the "Alarms" tab,
// checked once a second by the info task, and raising the timer alarm when it runs out. The menu actions run in
// the menu task, the check in the info task and the keys in the alarm task; every shared word is atomic.
#include <stdio.h>
#include <string.h>

#include <algorithm>
#include <atomic>

#include "draw/box.h"
#include "draw/color.h"
#include "draw/icon_data.h"
#include "draw/line.h"
#include "draw/string.h"
#include "settings/database.h"
#include "kernel/log.h"
#include "kernel/memory.h"
#include "kernel/sema.h"
#include "kernel/tick.h"
#include "ui/info/alarm_task.h"
#include "ui/menu/dialog.h"
#include "ui/menu/menu.h"
#include "ui/menu/menu_draw_arrows.h"

namespace {

const ARRAY_OF_STRING_PTRS Timer_Setup = SAME22("Timer Setup");
const ARRAY_OF_STRING_PTRS Start_Timer = SAME22("Start Timer");
const ARRAY_OF_STRING_PTRS Stop_Timer = SAME22("Stop Timer");
const ARRAY_OF_STRING_PTRS Timer_Alarm = SAME22("Timer Alarm");
const ARRAY_OF_STRING_PTRS Clear = SAME22("Clear");
const ARRAY_OF_STRING_PTRS Repeat = SAME22("Repeat");
const ARRAY_OF_STRING_PTRS Timer = SAME22("Timer");
const ARRAY_OF_STRING_PTRS Time = SAME22("Time");
const ARRAY_OF_STRING_PTRS Save_and_Start = SAME22("Save and Start");
const ARRAY_OF_STRING_PTRS Save_and_Close = SAME22("Save and Close");
const ARRAY_OF_STRING_PTRS Hours_Label = SAME22("hr");
const ARRAY_OF_STRING_PTRS Minutes_Label = SAME22("min");
const ARRAY_OF_STRING_PTRS Seconds_Label = SAME22("sec");
const ARRAY_OF_STRING_PTRS Confirm = SAME22("Confirm:");
const ARRAY_OF_STRING_PTRS Save_Changes = SAME22("Save Changes?");
const ARRAY_OF_STRING_PTRS No = SAME22("No");
const ARRAY_OF_STRING_PTRS Yes = SAME22("Yes");

enum TIMER_ITEM : U32 {
  ITEM_SAVE_AND_CLOSE = 0,
  ITEM_SAVE_AND_START = 1,
  ITEM_TIME = 2,
  ITEM_HOURS = 3,
  ITEM_MINUTES = 4,
  ITEM_SECONDS = 5,
  ITEM_NUM_OF_ITEMS = 6,
};

constexpr U32 kMaxTimerValue = 86399;
constexpr U32 kAlarmKeys = 0x3FE;
constexpr U32 kEditorKeys = 0x3EE;
constexpr U32 kConfirmChecks = 29;

std::atomic<U32> s_u32TimerValue{0};
std::atomic<U32> s_u32TimerValueHours{0};
std::atomic<U32> s_u32TimerValueMinutes{0};
std::atomic<U32> s_u32TimerValueSeconds{0};
std::atomic<U32> s_u32TimerValueOld{0};
std::atomic<U32> s_u32StartTimer{0};
std::atomic<U32> s_u32ExceedTimer{0};
std::atomic<bool> s_bTimerLaunched{false};
std::atomic<bool> s_bTimerToConfirm{false};
std::atomic<U8> ConfirmTimer{0};
std::atomic<bool> s_bTimerDisplayed{false};
std::atomic<bool> s_bExitWarning{false};
std::atomic<U32> s_u8TimerHighlightItem{ITEM_TIME};
std::atomic<bool> s_bCursorPressed{false};
std::atomic<U32> s_cpCursorPosition{CURSOR_ILLEGAL};
std::atomic<U8> u8steps{0};

void vGood() { L_SEMA_Signal(SEMA_KEYCLICK_GOOD); }
void vBad() { L_SEMA_Signal(SEMA_KEYCLICK_BAD); }

void vRecomputeValue() {
  s_u32TimerValue = s_u32TimerValueHours * 3600 + s_u32TimerValueMinutes * 60 + s_u32TimerValueSeconds;
}

void vSplitValue(U32 u32Value) {
  s_u32TimerValue = u32Value;
  s_u32TimerValueHours = u32Value / 3600;
  s_u32TimerValueMinutes = (u32Value / 60) % 60;
  s_u32TimerValueSeconds = u32Value % 60;
}

std::atomic<U32> *pField(U32 u32Item) {
  switch (u32Item) {
    case ITEM_HOURS:
      return &s_u32TimerValueHours;
    case ITEM_MINUTES:
      return &s_u32TimerValueMinutes;
    default:
      return &s_u32TimerValueSeconds;
  }
}

U32 u32FieldMax(U32 u32Item) { return u32Item == ITEM_HOURS ? 23 : 59; }

void vWriteItaw(U32 u32Value) { H_DATABASE_bUpdateValueS32(FCID("ITAW"), static_cast<S32>(u32Value), P_NORMAL); }

void vWriteStaw(U32 u32Value) { H_DATABASE_bUpdateValueU32(FCID("STAW"), u32Value, P_NORMAL); }

void vShowStartTimer() {
  U_MENU_bUnregisterMainMenuItem(&Stop_Timer, &Alarms);
  U_MENU_bRegisterMainActionMenu(&Start_Timer, &Alarms, MENU_ALARM_TIMER_START, T_ALARM_vStartTimer, FALSE, M_BASIC);
}

void vShowStopTimer() {
  U_MENU_bUnregisterMainMenuItem(&Start_Timer, &Alarms);
  U_MENU_bRegisterMainActionMenu(&Stop_Timer, &Alarms, MENU_ALARM_TIMER_START, T_ALARM_vClearTimer, FALSE, M_BASIC);
}

void vCloseWarningBox() {
  U_VIEW_bUnRegisterLayer(ALARM_TIMER_WARNING_LAYER);
  U_KEYBOARD_bUnregisterKeys(M_ALARM, kAlarmKeys);
}

void vCloseEditor() {
  s_bTimerDisplayed = false;
  s_bExitWarning = false;
  U_VIEW_bUnRegisterLayer(ALARM_TIMER_LAYER);
  U_KEYBOARD_bUnregisterKeys(M_ALARM, kAlarmKeys);
}

void vSaveAndClose() {
  vWriteItaw(s_u32TimerValue);
  vWriteStaw(s_u32TimerValue);
  vCloseEditor();
}

// The box after the count-down ran out: "Clear" left, "Repeat" right.
void vHandleWarningKey(const MSG_KEY_CHANGE *pKey) {
  if (pKey->state == KEY_UP || (pKey->key == KEY_BIT_CURSOR && pKey->cursor == CURSOR_UP)) return;
  if (pKey->key == KEY_BIT_EXIT) return;
  if (pKey->key == KEY_BIT_CURSOR && pKey->cursor == CURSOR_EAST) {
    vCloseWarningBox();
    T_ALARM_vPostTimerAlarm(FALSE);
    T_ALARM_vStartTimer();
    s_bTimerToConfirm = false;
    vBad();
  } else if (pKey->key == KEY_BIT_CURSOR && pKey->cursor == CURSOR_WEST) {
    T_ALARM_vClearTimer();
    vBad();
  } else {
    vBad();
  }
}

void vHandleQuestionKey(const MSG_KEY_CHANGE *pKey) {
  if (pKey->key == KEY_BIT_CURSOR && pKey->cursor == CURSOR_EAST) {
    vSaveAndClose();
    vGood();
  } else if (pKey->key == KEY_BIT_CURSOR && pKey->cursor == CURSOR_WEST) {
    vSplitValue(s_u32TimerValueOld);
    vCloseEditor();
    vGood();
  } else {
    vBad();
  }
}

void vHandleCursor(CURSOR_POSITION eCursor) {
  const U32 u32Item = s_u8TimerHighlightItem;
  switch (eCursor) {
    case CURSOR_NORTH:
    case CURSOR_SOUTH: {
      const bool bUp = eCursor == CURSOR_NORTH;
      if (u32Item >= ITEM_HOURS) {
        std::atomic<U32> *pValue = pField(u32Item);
        if (bUp ? *pValue < u32FieldMax(u32Item) : *pValue > 0) {
          *pValue = bUp ? *pValue + 1 : *pValue - 1;
          vRecomputeValue();
          vGood();
        } else {
          vBad();
        }
      } else if (bUp ? u32Item < ITEM_TIME : u32Item > ITEM_SAVE_AND_CLOSE) {
        s_u8TimerHighlightItem = bUp ? u32Item + 1 : u32Item - 1;
        vGood();
      } else {
        vBad();
      }
      break;
    }
    case CURSOR_EAST:
      if (u32Item == ITEM_SAVE_AND_CLOSE) {
        vSaveAndClose();
        vGood();
      } else if (u32Item == ITEM_SAVE_AND_START) {
        if (s_u32TimerValue == 0) {
          vBad();
        } else {
          vCloseEditor();
          T_ALARM_vStartTimer();
          vWriteStaw(s_u32TimerValue);
        }
      } else if (u32Item < ITEM_SECONDS) {
        s_u8TimerHighlightItem = u32Item + 1;
        vGood();
      } else {
        vBad();
      }
      break;
    case CURSOR_WEST:
      if (u32Item == ITEM_TIME) {
        vBad();
      } else {
        s_u8TimerHighlightItem = u32Item == ITEM_SAVE_AND_CLOSE   ? ITEM_SAVE_AND_START
                                 : u32Item == ITEM_SAVE_AND_START ? ITEM_TIME
                                                                  : u32Item - 1;
        vGood();
      }
      break;
    default:
      s_cpCursorPosition = CURSOR_ILLEGAL;
      vBad();
      break;
  }
}

void vHandleEditorKey(const MSG_KEY_CHANGE *pKey) {
  if (pKey->key == KEY_BIT_CURSOR) {
    s_bCursorPressed = true;
    s_cpCursorPosition = pKey->cursor;
    if (pKey->state == KEY_UP || pKey->cursor == CURSOR_UP) {
      s_bCursorPressed = false;
      s_cpCursorPosition = CURSOR_ILLEGAL;
      return;
    }
  }
  if (pKey->state == KEY_UP) return;
  if (s_bExitWarning) {
    vHandleQuestionKey(pKey);
  } else if (pKey->key == KEY_BIT_CURSOR) {
    vHandleCursor(pKey->cursor);
  } else if (pKey->key == KEY_BIT_EXIT) {
    vGood();
    if (s_u8TimerHighlightItem >= ITEM_HOURS) {
      s_u8TimerHighlightItem = ITEM_TIME;
    } else if (s_u32TimerValue != s_u32TimerValueOld) {
      s_bExitWarning = true;
    } else {
      vCloseEditor();
    }
  } else {
    vBad();
  }
}

// Held north or south on a field: faster steps the longer the key is held, one change per redraw.
void vStepHeldKey() {
  const U32 u32Item = s_u8TimerHighlightItem;
  const U32 u32Direction = s_cpCursorPosition;
  if (!s_bCursorPressed || (u32Direction != CURSOR_NORTH && u32Direction != CURSOR_SOUTH) || u32Item < ITEM_HOURS ||
      u32Item > ITEM_SECONDS || !s_bTimerDisplayed || s_bExitWarning) {
    u8steps = 0;
    return;
  }
  const U8 u8Steps = static_cast<U8>(u8steps + 1);
  u8steps = u8Steps;
  if (u8Steps < 4) return;
  const S32 s32Step = u8Steps / 5 + 1;
  std::atomic<U32> *pValue = pField(u32Item);
  const S32 s32New = static_cast<S32>(*pValue) + (u32Direction == CURSOR_NORTH ? s32Step : -s32Step);
  *pValue = static_cast<U32>(std::clamp<S32>(s32New, 0, static_cast<S32>(u32FieldMax(u32Item))));
  vRecomputeValue();
}

COLOR colorEntry(U32 u32Index) { return gCOLOR_pcolColorTable[u32Index]; }

U32 u32Width(const FONT_DEF *pFont, const ARRAY_OF_STRING_PTRS &text) {
  return G_STRING_u32GetWidth(pFont, text[nCurrentLanguage()]);
}

void vPut(BITMAP *pBitmap, COLOR color, S32 x, S32 y, const FONT_DEF *pFont, const char *pcText) {
  POINT anchor = {x, y};
  G_STRING_vPut(pBitmap, color, &anchor, pFont, pcText);
}

void vRounded(BITMAP *pBitmap, bool bFilled, U32 u32Color, S32 x, S32 y, S32 w, S32 h, U32 u32Radius) {
  if (w <= 0 || h <= 0) return;
  const POINT anchor = {x, y};
  if (bFilled) {
    G_BOX_vDrawRoundedFilled(pBitmap, colorEntry(u32Color), &anchor, static_cast<U32>(w), static_cast<U32>(h),
                             u32Radius);
  } else {
    G_BOX_vDrawRounded(pBitmap, colorEntry(u32Color), &anchor, static_cast<U32>(w), static_cast<U32>(h), u32Radius);
  }
}

void vDrawQuestion(BITMAP *pBitmap) {
  const FONT_DEF *pFont = std_16x17_font_def_ptr;
  const U32 u32Lang = nCurrentLanguage();
  const S32 I = static_cast<S32>(confirm_icon.nWidth);
  const S32 C = static_cast<S32>(u32Width(pFont, Confirm));
  const S32 S = static_cast<S32>(u32Width(pFont, Save_Changes));
  const S32 QW = S + 4 < 2 * I + C ? 2 * I + C + 16 : S + 20;
  const S32 x = (static_cast<S32>(pBitmap->pixels_wide) - 160 - QW) / 2 + 160;
  const S32 y = (static_cast<S32>(pBitmap->pixels_high) - 102) / 2;
  vRounded(pBitmap, false, 67, x, y, QW, 102, 5);
  vRounded(pBitmap, false, 67, x + 1, y + 1, QW - 2, 100, 3);
  vRounded(pBitmap, true, 71, x + 2, y + 2, QW - 4, 98, 3);
  const POINT a = {x, y + 66};
  const POINT b = {x + QW - 1, y + 66};
  G_LINE_vDraw(pBitmap, colorEntry(67), &a, &b);
  const POINT iconAt = {x + (QW - C) / 2 - 6 - I, y + 73};
  G_ICON_vPut(pBitmap, &confirm_icon, &iconAt);
  vPut(pBitmap, colorEntry(68), x + (QW - C) / 2, y + 74, pFont, Confirm[u32Lang]);
  vPut(pBitmap, colorEntry(68), x + 10, y + 42, pFont, Save_Changes[u32Lang]);
  U_MENU_vDrawArrowLeft(pBitmap, POINT{x + 23, y + 5}, 26, colorEntry(68));
  vPut(pBitmap, colorEntry(68), x + 31, y + 9, pFont, No[u32Lang]);
  U_MENU_vDrawArrowRight(pBitmap, POINT{x + QW - 24, y + 5}, 26, colorEntry(68));
  vPut(pBitmap, colorEntry(68), x + QW - 24 - 4 - static_cast<S32>(u32Width(pFont, Yes)), y + 9, pFont, Yes[u32Lang]);
}

}  // namespace

void T_ALARM_vRegisterTimerMenu(void) {
  U_MENU_bRegisterMainActionMenu(&Timer_Setup, &Alarms, MENU_ALARM_TIMER_SETUP, T_ALARM_vInitTimer, FALSE, M_BASIC);
  U_MENU_bRegisterMainActionMenu(&Start_Timer, &Alarms, MENU_ALARM_TIMER_START, T_ALARM_vStartTimer, FALSE, M_BASIC);
}

void T_ALARM_vLoadTimerValue(void) {
  U32 u32Value = 0;
  if (!H_DATABASE_bFetchU32(FCID("STAW"), &u32Value, nullptr, nullptr)) u32Value = 0;
  if (u32Value > kMaxTimerValue) {
    log_me("alarm: timer value %u out of range, 0 used", u32Value);
    u32Value = 0;
  }
  vSplitValue(u32Value);
}

BOOLEAN T_ALARM_bTimerEditorOpen(void) { return s_bTimerDisplayed ? TRUE : FALSE; }

BOOLEAN T_ALARM_bHandleTimerKey(const MSG_KEY_CHANGE *pKey) {
  if (s_bTimerToConfirm) {
    vHandleWarningKey(pKey);
  } else if (s_bTimerDisplayed) {
    vHandleEditorKey(pKey);
  } else {
    return FALSE;
  }
  L_SEMA_Signal(SEMA_VIEW_UPDATE);
  return TRUE;
}

void T_ALARM_vPostTimerAlarm(BOOLEAN bAlarmState) {
  U32 u32Mbox = 0;
  if (!H_DATABASE_bFetchU32(FCID("TALR"), &u32Mbox, nullptr, nullptr)) return;
  if (bAlarmState) {
    auto *pMsg = static_cast<ALARM_SET_MESSAGE *>(H_MEMORY_pvCalloc(1, sizeof(ALARM_SET_MESSAGE)));
    pMsg->header.Cmd = CMD_ID_SET_ALARM;
    pMsg->Priority = TIMER_ALARM;
    pMsg->InitialToneID = TONE_ALARM_ALERT;
    pMsg->ReminderToneID = TONE_ALARM_ALERT;
    L_MBOX_Send(static_cast<MBOX>(u32Mbox), pMsg, NORMAL_PRIORITY, 0);
  } else {
    auto *pMsg = static_cast<ALARM_CLEAR_MESSAGE *>(H_MEMORY_pvCalloc(1, sizeof(ALARM_CLEAR_MESSAGE)));
    pMsg->header.Cmd = CMD_ID_CLEAR_ALARM;
    pMsg->Priority = TIMER_ALARM;
    L_MBOX_Send(static_cast<MBOX>(u32Mbox), pMsg, NORMAL_PRIORITY, 0);
  }
}

void T_ALARM_vStartTimer(void) {
  if (s_u32TimerValue == 0) {
    vBad();
    return;
  }
  vGood();
  const U32 u32Now = H_TICK_u32ReadFreeRunningTimerInMilliSeconds();
  s_u32StartTimer = u32Now;
  s_u32ExceedTimer = u32Now + s_u32TimerValue * 1000;
  vShowStopTimer();
  s_bTimerLaunched = true;
}

void T_ALARM_vClearTimer(void) {
  vGood();
  vWriteItaw(s_u32TimerValue);
  // Only the box holds a key registration of its own: withdrawing keys that were never taken would take away
  // the registration of an alarm on display.
  if (s_bTimerToConfirm) vCloseWarningBox();
  vShowStartTimer();
  if (s_bTimerToConfirm) T_ALARM_vPostTimerAlarm(FALSE);
  s_bTimerToConfirm = false;
  s_bTimerLaunched = false;
}

void T_ALARM_vCheckTimer(void) {
  if (s_bTimerLaunched) {
    const U32 u32Now = H_TICK_u32ReadFreeRunningTimerInMilliSeconds();
    if (u32Now - s_u32StartTimer > s_u32TimerValue * 1000) {
      ConfirmTimer = 0;
      s_bTimerLaunched = false;
      U_VIEW_bRegisterLayer(T_ALARM_vDrawTimerWarning, ALARM_TIMER_WARNING_LAYER, USED_BY_ALL, 0, 0, TRUE, nullptr,
                            nullptr, nullptr);
      U_KEYBOARD_bRegisterKeys(M_ALARM, kAlarmKeys, KEY_DOWN, FALSE, FALSE, CURSOR_8, REGISTER_ALARM);
      s_bTimerToConfirm = true;
      T_ALARM_vPostTimerAlarm(TRUE);
    } else {
      vWriteItaw((s_u32ExceedTimer - u32Now) / 1000);
    }
  } else if (s_bTimerToConfirm) {
    if (ConfirmTimer <= kConfirmChecks) {
      ++ConfirmTimer;
      return;
    }
    vWriteItaw(s_u32TimerValue);
    vCloseWarningBox();
    vShowStartTimer();
    T_ALARM_vPostTimerAlarm(FALSE);
    ConfirmTimer = 0;
    s_bTimerToConfirm = false;
    s_bTimerLaunched = false;
  }
}

void T_ALARM_vInitTimer(void) {
  U_MENU_vClearMenus();
  s_u32TimerValueOld = s_u32TimerValue.load();
  s_u8TimerHighlightItem = ITEM_TIME;
  s_bTimerDisplayed = true;
  U_VIEW_bRegisterLayer(T_ALARM_vDrawTimer, ALARM_TIMER_LAYER, USED_BY_ALL, 0, 0, TRUE, nullptr, nullptr, nullptr);
  vGood();
  U_KEYBOARD_bRegisterKeys(M_ALARM, kEditorKeys, KEY_DOWN, FALSE, FALSE, CURSOR_8, REGISTER_ALARM);
  U_KEYBOARD_bRegisterKeys(M_ALARM, KEY_BIT_CURSOR, KEY_CHANGE, FALSE, FALSE, CURSOR_8, REGISTER_ALARM);
}

void T_ALARM_vDrawTimer(BITMAP *pBitmap, WINDOW_SPECIFICATION_POINTER) {
  vStepHeldKey();
  const FONT_DEF *pBig = f18x32_font_def_ptr;
  const FONT_DEF *pFont = std_16x17_font_def_ptr;
  const FONT_DEF *pSmall = std_11x14_font_def_ptr;
  const U32 u32Lang = nCurrentLanguage();
  const S32 D = static_cast<S32>(G_STRING_u32GetWidth(pBig, "00"));
  const S32 FW = D + 16;
  const S32 TW = static_cast<S32>(u32Width(pFont, Timer)) + 32;
  const S32 BW = static_cast<S32>(std::max(u32Width(pFont, Save_and_Start), u32Width(pFont, Save_and_Close))) + 48;
  const S32 W = std::min(3 * FW + TW + 88, 800 - 2);
  const S32 x0 = (800 - W) / 2;
  const S32 y0 = (480 - 204) / 2;
  const S32 X = x0 + 80;

  vRounded(pBitmap, false, 32, X - 1, y0 - 1, W + 2, 206, 4);
  vRounded(pBitmap, false, 32, X, y0, W, 204, 3);
  vRounded(pBitmap, true, 35, X + 1, y0 + 1, W - 2, 202, 2);
  vRounded(pBitmap, true, 34, X + 1, y0 + 1, W - 2, 168, 2);
  vRounded(pBitmap, false, 32, X + 1, y0 + 1, W - 2, 169, 2);
  vRounded(pBitmap, false, 32, X + 1, y0 + 1, W - 2, 168, 2);

  const S32 fieldX[3] = {X + TW + 16, X + TW + 16 + FW + 32, X + TW + 16 + 2 * (FW + 32)};
  switch (s_u8TimerHighlightItem) {
    case ITEM_SAVE_AND_CLOSE:
      vRounded(pBitmap, true, 35, x0 + 89, y0 + 9, BW, 29, 2);
      break;
    case ITEM_SAVE_AND_START:
      vRounded(pBitmap, true, 35, x0 + 89, y0 + 46, BW, 29, 2);
      break;
    case ITEM_TIME:
      vRounded(pBitmap, true, 35, x0 + 89, y0 + 99, TW, 29, 2);
      break;
    default:
      vRounded(pBitmap, true, 35, fieldX[s_u8TimerHighlightItem - ITEM_HOURS], y0 + 89, FW, 49, 2);
      break;
  }

  const char *pcTitle = Timer[u32Lang];
  vPut(pBitmap, colorEntry(32), X + (W - static_cast<S32>(G_STRING_u32GetWidth(pFont, pcTitle))) / 2, y0 + 178, pFont,
       pcTitle);

  const U32 u32Value = s_u32TimerValue;
  const U32 au32Field[3] = {u32Value / 3600, (u32Value / 60) % 60, u32Value % 60};
  const ARRAY_OF_STRING_PTRS *apLabel[3] = {&Hours_Label, &Minutes_Label, &Seconds_Label};
  for (int i = 0; i < 3; ++i) {
    const char *pcLabel = (*apLabel[i])[u32Lang];
    const S32 s32LabelWidth = static_cast<S32>(G_STRING_u32GetWidth(pSmall, pcLabel));
    const S32 s32LabelX = s32LabelWidth < FW ? fieldX[i] + (FW - s32LabelWidth) / 2 : fieldX[i];
    vPut(pBitmap, colorEntry(32), s32LabelX, y0 + 146, pSmall, pcLabel);
    vRounded(pBitmap, false, 33, fieldX[i], y0 + 89, FW, 49, 2);
    char acDigits[16];
    snprintf(acDigits, sizeof acDigits, "%02d", static_cast<int>(au32Field[i]));
    vPut(pBitmap, colorEntry(32), fieldX[i] + 7, y0 + 94, pBig, acDigits);
    if (i < 2) vPut(pBitmap, colorEntry(32), fieldX[i] + FW + 13, y0 + 103, pBig, ":");
  }

  vRounded(pBitmap, false, 33, x0 + 89, y0 + 99, TW, 29, 2);
  POINT anchor = {x0 + 89 + 5, y0 + 99 + 5};
  G_STRING_vPut(pBitmap, colorEntry(32), &anchor, pFont, Time[u32Lang]);
  U_MENU_vDrawArrowRight(pBitmap, POINT{anchor.x + 5, anchor.y}, 17, colorEntry(32));
  const S32 s32ButtonY[2] = {y0 + 46, y0 + 9};
  const ARRAY_OF_STRING_PTRS *apButton[2] = {&Save_and_Start, &Save_and_Close};
  for (int i = 0; i < 2; ++i) {
    vRounded(pBitmap, false, 33, x0 + 89, s32ButtonY[i], BW, 29, 2);
    vPut(pBitmap, colorEntry(32), x0 + 89 + 5, s32ButtonY[i] + 5, pFont, (*apButton[i])[u32Lang]);
    U_MENU_vDrawArrowRight(pBitmap, POINT{x0 + 89 + BW - 16, s32ButtonY[i] + 5}, 17, colorEntry(32));
  }

  if (s_bExitWarning) vDrawQuestion(pBitmap);
}

void T_ALARM_vDrawTimerWarning(BITMAP *pBitmap, WINDOW_SPECIFICATION_POINTER) {
  const FONT_DEF *pFont = std_11x14_font_def_ptr;
  const U32 u32Lang = nCurrentLanguage();
  const U16 u16Width =
      static_cast<U16>(u32Width(pFont, Timer_Alarm) + u32Width(pFont, Clear) + u32Width(pFont, Repeat) + 100);
  U_DIALOG_vDrawDialogWithConfirm(pBitmap, Timer_Alarm[u32Lang], pFont, 2, u16Width, Clear[u32Lang],
                                  Repeat[u32Lang], JUSTIFICATION_CENTER, JUSTIFICATION_CENTER, TRUE, TRUE);
}

void T_ALARM_vResetTimerForTest(void) {
  vSplitValue(0);
  s_u32TimerValueOld = 0;
  s_u32StartTimer = 0;
  s_u32ExceedTimer = 0;
  s_bTimerLaunched = false;
  s_bTimerToConfirm = false;
  ConfirmTimer = 0;
  s_bTimerDisplayed = false;
  s_bExitWarning = false;
  s_u8TimerHighlightItem = ITEM_TIME;
  s_bCursorPressed = false;
  s_cpCursorPosition = CURSOR_ILLEGAL;
  u8steps = 0;
}
