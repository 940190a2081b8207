// The date and time editor. The fields are UTC: Save converts them with timegm, because the clock service
// takes UTC whatever the process's time zone says.
#include "ui/editors/datetime.h"

#include <cstdio>
#include <ctime>

#include "draw/box.h"
#include "draw/color.h"
#include "draw/fonts.h"
#include "draw/icon.h"
#include "draw/icon_data.h"
#include "draw/string.h"
#include "settings/language.h"
#include "kernel/log.h"
#include "kernel/sema.h"
#include "util/byte_number_clock.h"
#include "ui/menu/menu_draw_arrows.h"

namespace {

const ARRAY_OF_STRING_PTRS Enter_Time_and_Date = SAME22("Enter Time and Date");
const ARRAY_OF_STRING_PTRS Time = SAME22("Time");
const ARRAY_OF_STRING_PTRS Date = SAME22("Date");
const ARRAY_OF_STRING_PTRS Save = SAME22("Save");
const ARRAY_OF_STRING_PTRS Hours = SAME22("Hours");
const ARRAY_OF_STRING_PTRS Minutes = SAME22("Minutes");
const ARRAY_OF_STRING_PTRS Seconds = SAME22("Seconds");
const ARRAY_OF_STRING_PTRS Month = SAME22("Month");
const ARRAY_OF_STRING_PTRS Day = SAME22("Day");
const ARRAY_OF_STRING_PTRS Year = SAME22("Year");
const ARRAY_OF_STRING_PTRS Confirm = SAME22("Confirm:");
const ARRAY_OF_STRING_PTRS Save_Changes = SAME22("Save Changes?");
const ARRAY_OF_STRING_PTRS No = SAME22("No");
const ARRAY_OF_STRING_PTRS Yes = SAME22("Yes");

constexpr U32 kKeysButRocker = 0xFFEF;
constexpr U32 kYearMax = 38;  // 2038

U32 s_u32Hours, s_u32Minutes, s_u32Seconds, s_u32Month, s_u32Day, s_u32Year;
DATE_TIME_MENU_CTRL s_DateTimeMenuCtrl = {EDIT_TIME, FALSE, FALSE};
BOOLEAN s_bOpen = FALSE;

void close() {
  s_bOpen = FALSE;
  U_VIEW_bUnRegisterLayer(DATETIME_MENU_LAYER);
  U_KEYBOARD_bUnregisterKeys(M_SYSTIME_EDIT, kKeysButRocker);
  U_KEYBOARD_bUnregisterKeys(M_SYSTIME_EDIT, KEY_BIT_CURSOR);
}

// The field a number state edits and its range; NULL for the row labels.
U32 *field(DATE_TIME_MENU_STATE eState, U32 *pu32Low, U32 *pu32High) {
  switch (eState) {
    case EDIT_HOURS: *pu32Low = 0; *pu32High = 23; return &s_u32Hours;
    case EDIT_MINUTES: *pu32Low = 0; *pu32High = 59; return &s_u32Minutes;
    case EDIT_SECONDS: *pu32Low = 0; *pu32High = 59; return &s_u32Seconds;
    case EDIT_MONTH: *pu32Low = 1; *pu32High = 12; return &s_u32Month;
    case EDIT_DAY: *pu32Low = 1; *pu32High = 31; return &s_u32Day;
    case EDIT_YEAR: *pu32Low = 0; *pu32High = kYearMax; return &s_u32Year;
    default: return nullptr;
  }
}

BOOLEAN dateExists() {
  static const U32 kDays[12] = {31, 29, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  if (s_u32Month < 1 || s_u32Month > 12 || s_u32Day < 1) return FALSE;
  if (s_u32Month == 2 && s_u32Year % 4 != 0) return s_u32Day <= 28;  // 2000 to 2038: every fourth year leaps
  return s_u32Day <= kDays[s_u32Month - 1];
}

// TRUE when the clock was set and the editor closed.
BOOLEAN save() {
  if (!s_DateTimeMenuCtrl.bDateTimeChanged) return FALSE;
  if (!dateExists()) {
    // An unset or impossible date would move the clock somewhere the user never chose.
    log_me("DATETIME save refused: no such date %02u/%02u/%02u", s_u32Month, s_u32Day, s_u32Year);
    s_DateTimeMenuCtrl.bConfirm = FALSE;
    return FALSE;
  }
  struct tm tmDate = {};
  tmDate.tm_mday = static_cast<int>(s_u32Day);
  tmDate.tm_mon = static_cast<int>(s_u32Month) - 1;
  tmDate.tm_year = static_cast<int>(s_u32Year) + 100;
  tmDate.tm_hour = static_cast<int>(s_u32Hours);
  tmDate.tm_min = static_cast<int>(s_u32Minutes);
  tmDate.tm_sec = static_cast<int>(s_u32Seconds);
  const time_t tTime = timegm(&tmDate);
  if (!L_UTILS_bSetSysDate(static_cast<U32>(tTime))) {
    // The clock service ignores a time within the hour of the last one it set: the user must hear so.
    log_me("DATETIME save refused: within an hour of the time last set");
    s_DateTimeMenuCtrl.bConfirm = FALSE;
    return FALSE;
  }
  s_DateTimeMenuCtrl.bDateTimeChanged = FALSE;
  s_DateTimeMenuCtrl.bConfirm = FALSE;
  s_DateTimeMenuCtrl.eMenuState = EDIT_TIME;
  close();
  return TRUE;
}

// One rocker event; TRUE for the accepted click.
BOOLEAN rocker(CURSOR_POSITION eCursor) {
  DATE_TIME_MENU_CTRL &ctrl = s_DateTimeMenuCtrl;
  U32 u32Low = 0, u32High = 0;
  U32 *pu32Field = field(ctrl.eMenuState, &u32Low, &u32High);
  switch (eCursor) {
    case CURSOR_NORTH:
      if (pu32Field != nullptr) {
        *pu32Field = *pu32Field >= u32High ? u32Low : *pu32Field + 1;
        ctrl.bDateTimeChanged = TRUE;
        return TRUE;
      }
      if (ctrl.eMenuState == EDIT_TIME) return FALSE;
      ctrl.eMenuState = ctrl.eMenuState == EDIT_SAVE ? EDIT_DATE : EDIT_TIME;
      return TRUE;
    case CURSOR_SOUTH:
      if (pu32Field != nullptr) {
        *pu32Field = *pu32Field <= u32Low ? u32High : *pu32Field - 1;
        ctrl.bDateTimeChanged = TRUE;
        return TRUE;
      }
      if (ctrl.eMenuState == EDIT_SAVE) return FALSE;
      ctrl.eMenuState = ctrl.eMenuState == EDIT_TIME ? EDIT_DATE : EDIT_SAVE;
      return TRUE;
    case CURSOR_EAST:
      if (ctrl.bConfirm || ctrl.eMenuState == EDIT_SAVE) return save();
      switch (ctrl.eMenuState) {
        case EDIT_TIME: ctrl.eMenuState = EDIT_HOURS; break;
        case EDIT_HOURS: ctrl.eMenuState = EDIT_MINUTES; break;
        case EDIT_MINUTES: ctrl.eMenuState = EDIT_SECONDS; break;
        case EDIT_SECONDS: ctrl.eMenuState = EDIT_DATE; break;
        case EDIT_DATE: ctrl.eMenuState = EDIT_MONTH; break;
        case EDIT_MONTH: ctrl.eMenuState = EDIT_DAY; break;
        case EDIT_DAY: ctrl.eMenuState = EDIT_YEAR; break;
        default: ctrl.eMenuState = EDIT_SAVE; break;
      }
      return TRUE;
    case CURSOR_WEST:
      if (ctrl.bConfirm) {
        ctrl.bDateTimeChanged = FALSE;
        ctrl.bConfirm = FALSE;
        close();
        return TRUE;
      }
      if (pu32Field == nullptr) return FALSE;
      switch (ctrl.eMenuState) {
        case EDIT_HOURS: ctrl.eMenuState = EDIT_TIME; break;
        case EDIT_MONTH: ctrl.eMenuState = EDIT_DATE; break;
        default: ctrl.eMenuState = static_cast<DATE_TIME_MENU_STATE>(ctrl.eMenuState - 1); break;
      }
      return TRUE;
    default:
      return FALSE;
  }
}

COLOR colour(U32 u32Index) { return gCOLOR_pcolColorTable[u32Index]; }

void text(BITMAP *pBitmap, COLOR color, PIXEL x, PIXEL y, const FONT_DEF *pFont, const char *pcText) {
  POINT anchor = {x, y};
  G_STRING_vPut(pBitmap, color, &anchor, pFont, pcText);
}

void centred(BITMAP *pBitmap, COLOR color, PIXEL xCentre, PIXEL y, const FONT_DEF *pFont, const char *pcText) {
  text(pBitmap, color, xCentre - static_cast<PIXEL>(G_STRING_u32GetWidth(pFont, pcText) / 2), y, pFont, pcText);
}

}  // namespace

void U_DATETIME_vDateTimeSetup(void) {
  s_u32Hours = s_u32Minutes = s_u32Seconds = s_u32Month = s_u32Day = s_u32Year = 0;
  s_DateTimeMenuCtrl.bConfirm = FALSE;
  s_DateTimeMenuCtrl.eMenuState = EDIT_TIME;
  s_bOpen = TRUE;
  U_VIEW_bRegisterLayer(U_DATETIME_vDrawDateTimeMenu, DATETIME_MENU_LAYER, USED_BY_ALL, 0, 0, TRUE, nullptr, nullptr,
                        nullptr);
  U_KEYBOARD_bRegisterKeys(M_SYSTIME_EDIT, kKeysButRocker, KEY_DOWN, FALSE, FALSE, NOT_CURSOR_KEY,
                           REGISTER_DIALOG_BOX);
  U_KEYBOARD_bRegisterKeys(M_SYSTIME_EDIT, KEY_BIT_CURSOR, KEY_DOWN, TRUE, TRUE, CURSOR_4, REGISTER_DIALOG_BOX);
}

void U_DATETIME_bHandleKeys(const MSG_KEY_CHANGE *pMsg) {
  if (pMsg == nullptr || !s_bOpen) return;
  BOOLEAN bGood;
  if (pMsg->key == KEY_BIT_CURSOR) {
    bGood = rocker(pMsg->cursor);
  } else if (pMsg->key == KEY_BIT_EXIT) {
    if (s_DateTimeMenuCtrl.eMenuState == EDIT_SAVE && s_DateTimeMenuCtrl.bConfirm) {
      bGood = FALSE;
    } else {
      bGood = TRUE;
      if (s_DateTimeMenuCtrl.bDateTimeChanged) {
        s_DateTimeMenuCtrl.bConfirm = TRUE;
      } else {
        close();
      }
    }
  } else {
    bGood = FALSE;
  }
  if (pMsg->count <= 1) L_SEMA_Signal(bGood ? SEMA_KEYCLICK_GOOD : SEMA_KEYCLICK_BAD);
  L_SEMA_Signal(SEMA_VIEW_UPDATE);
}

BOOLEAN U_DATETIME_bIsOpen(void) { return s_bOpen; }
DATE_TIME_MENU_CTRL U_DATETIME_GetControl(void) { return s_DateTimeMenuCtrl; }
DATE_TIME_FIELDS U_DATETIME_GetFields(void) {
  return {s_u32Hours, s_u32Minutes, s_u32Seconds, s_u32Month, s_u32Day, s_u32Year};
}

void U_DATETIME_vDrawDateTimeMenu(BITMAP *pBitmap, WINDOW_SPECIFICATION_POINTER) {
  const U32 u32Lang = nCurrentLanguage();
  const FONT_DEF *pLabelFont = std_16x17_font_def_ptr;
  const FONT_DEF *pNumberFont = f21x38_font_def_ptr;
  constexpr PIXEL kLeft = 288, kBottom = 126, kWidth = 384, kHeight = 227;

  POINT anchor = {kLeft, kBottom};
  G_BOX_vDrawRoundedFilled(pBitmap, colour(129), &anchor, kWidth, kHeight, 2);
  G_BOX_vDrawRounded(pBitmap, colour(67), &anchor, kWidth, kHeight, 2);
  anchor = {kLeft + 1, kBottom + 1};
  G_BOX_vDrawRounded(pBitmap, colour(67), &anchor, kWidth - 2, kHeight - 2, 2);
  // The title's header sits on top of the panel.
  anchor = {kLeft, kBottom + kHeight - 1};
  G_BOX_vDrawRoundedFilled(pBitmap, colour(129), &anchor, kWidth, 34, 2);
  G_BOX_vDrawRounded(pBitmap, colour(67), &anchor, kWidth, 34, 2);
  centred(pBitmap, colour(68), kLeft + kWidth / 2,
          anchor.y + 8 + static_cast<PIXEL>(G_FONTS_u32GetDescenderHeight(pLabelFont)), pLabelFont,
          Enter_Time_and_Date[u32Lang]);

  // Row labels.
  const char *const apcLabels[3] = {Save[u32Lang], Date[u32Lang], Time[u32Lang]};  // by state 0..2
  static const PIXEL kLabelY[3] = {15, 63, 151};
  U32 u32LabelWidth = 0;
  for (const char *pc : apcLabels) {
    const U32 u32W = G_STRING_u32GetWidth(pLabelFont, pc);
    if (u32W > u32LabelWidth) u32LabelWidth = u32W;
  }
  u32LabelWidth += 29;
  for (U32 u32Row = 0; u32Row < 3; ++u32Row) {
    anchor = {kLeft + 20, kBottom + kLabelY[u32Row]};
    if (s_DateTimeMenuCtrl.eMenuState == u32Row) {
      G_BOX_vDrawRoundedFilled(pBitmap, colour(64), &anchor, u32LabelWidth, 29, 2);
      U_MENU_vDrawArrowRight(pBitmap, {anchor.x + static_cast<PIXEL>(u32LabelWidth) - 14, anchor.y + 6}, 17,
                             colour(68));
    }
    G_BOX_vDrawRounded(pBitmap, colour(67), &anchor, u32LabelWidth, 29, 2);
    text(pBitmap, colour(68), anchor.x + 6, anchor.y + 6 + static_cast<PIXEL>(G_FONTS_u32GetDescenderHeight(pLabelFont)),
         pLabelFont, apcLabels[u32Row]);
  }

  // Number fields, captions and separators.
  const U32 u32BoxWidth = G_STRING_u32GetWidth(pNumberFont, "00") + 10;
  static const PIXEL kFieldX[3] = {128, 218, 307};
  const struct {
    PIXEL y, yCaption;
    DATE_TIME_MENU_STATE eFirst;
    const char *pcSeparator;
    const ARRAY_OF_STRING_PTRS *apCaptions[3];
    U32 au32Values[3];
  } kRows[2] = {
      {140, 201, EDIT_HOURS, ":", {&Hours, &Minutes, &Seconds}, {s_u32Hours, s_u32Minutes, s_u32Seconds}},
      {53, 114, EDIT_MONTH, "/", {&Month, &Day, &Year}, {s_u32Month, s_u32Day, s_u32Year}},
  };
  for (const auto &row : kRows) {
    for (U32 u32Col = 0; u32Col < 3; ++u32Col) {
      anchor = {kLeft + kFieldX[u32Col], kBottom + row.y};
      if (s_DateTimeMenuCtrl.eMenuState == row.eFirst + u32Col) {
        G_BOX_vDrawFilled(pBitmap, colour(64), &anchor, u32BoxWidth, 52);
      }
      G_BOX_vDraw(pBitmap, colour(67), &anchor, u32BoxWidth, 52);
      char acValue[12];
      std::snprintf(acValue, sizeof acValue, "%02u", row.au32Values[u32Col] % 100);
      text(pBitmap, colour(68), anchor.x + 5, anchor.y + 7 + static_cast<PIXEL>(G_FONTS_u32GetDescenderHeight(pNumberFont)),
           pNumberFont, acValue);
      centred(pBitmap, colour(68), anchor.x + static_cast<PIXEL>(u32BoxWidth / 2), kBottom + row.yCaption,
              std_11x14_font_def_ptr, (*row.apCaptions[u32Col])[u32Lang]);
      if (u32Col < 2) {
        const PIXEL xGap = anchor.x + static_cast<PIXEL>(u32BoxWidth);
        const PIXEL xNext = kLeft + kFieldX[u32Col + 1];
        centred(pBitmap, colour(68), (xGap + xNext) / 2,
                anchor.y + 7 + static_cast<PIXEL>(G_FONTS_u32GetDescenderHeight(pNumberFont)), pNumberFont,
                row.pcSeparator);
      }
    }
  }

  if (s_DateTimeMenuCtrl.bConfirm) {
    constexpr U32 kBoxW = 300, kBoxH = 100;
    anchor = {kLeft + (kWidth - static_cast<PIXEL>(kBoxW)) / 2, kBottom + (kHeight - static_cast<PIXEL>(kBoxH)) / 2};
    G_BOX_vDrawRoundedFilled(pBitmap, colour(71), &anchor, kBoxW, kBoxH, 3);
    G_BOX_vDrawRounded(pBitmap, colour(67), &anchor, kBoxW, kBoxH, 3);
    const PIXEL xMid = anchor.x + static_cast<PIXEL>(kBoxW / 2);
    const PIXEL yTop = anchor.y + static_cast<PIXEL>(kBoxH);
    const U32 u32TitleW = G_STRING_u32GetWidth(pLabelFont, Confirm[u32Lang]);
    POINT iconAt = {xMid - static_cast<PIXEL>(u32TitleW / 2) - 6 - static_cast<PIXEL>(G_ICON_u32GetWidth(&confirm_icon)),
                    yTop - 28};
    G_ICON_vPut(pBitmap, &confirm_icon, &iconAt);
    centred(pBitmap, colour(68), xMid, yTop - 26, pLabelFont, Confirm[u32Lang]);
    centred(pBitmap, colour(68), xMid, yTop - 58, pLabelFont, Save_Changes[u32Lang]);
    U_MENU_vDrawArrowLeft(pBitmap, {anchor.x + 10, anchor.y + 6}, 17, colour(68));
    text(pBitmap, colour(68), anchor.x + 22, anchor.y + 8, pLabelFont, No[u32Lang]);
    U_MENU_vDrawArrowRight(pBitmap, {anchor.x + static_cast<PIXEL>(kBoxW) - 20, anchor.y + 6}, 17, colour(68));
    text(pBitmap, colour(68),
         anchor.x + static_cast<PIXEL>(kBoxW) - 24 - static_cast<PIXEL>(G_STRING_u32GetWidth(pLabelFont, Yes[u32Lang])),
         anchor.y + 8, pLabelFont, Yes[u32Lang]);
  }
}
