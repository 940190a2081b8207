// Menu items bound to settings: display texts in the user's unit, limits, stepping (with variable steps) and
// what the right and left directions do to each control kind.
#include <cmath>
#include <cstdio>
#include <cstring>

#include "view/view.h"
#include "util/convert.h"
#include "kernel/mutex.h"
#include "kernel/sema.h"
#include "ui/menu/menu_draw_arrows.h"
#include "ui/menu/menu_internal.h"

namespace {

constexpr int kMaxLimitRows = 64;  // a table without its U_NONE row ends here
constexpr U32 kMaxSelections = 256;

const MENU_LIMITS kNoLimits = {U_NONE, 0.0f, 0.0f, 1.0f};

MENU_DATA &m() { return *T_MENU_psData(); }

// The row of a limits table for a unit, else its closing U_NONE row; *pIndex gets the row's index.
const MENU_LIMITS *pLimitsRow(const MENU_LIMITS *pLimits, UNIT_TYPE units, int *pIndex, bool *pMatched) {
  *pIndex = 0;
  *pMatched = false;
  if (pLimits == nullptr) return &kNoLimits;
  for (int i = 0; i < kMaxLimitRows; ++i) {
    if (pLimits[i].Units == U_NONE) {
      *pIndex = i;
      return &pLimits[i];
    }
    if (pLimits[i].Units == units) {
      *pIndex = i;
      *pMatched = true;
      return &pLimits[i];
    }
  }
  return &kNoLimits;
}

bool bIsFloat(DATA_FORMAT format) { return format == DF_FLOAT; }

double dGet(const DB_DATA_TYPE &v, DATA_FORMAT format) {
  if (bIsFloat(format)) return v.fVal;
  if (format == DF_UNSIGNED32) return v.u32Val;
  return v.s32Val;
}

DB_DATA_TYPE dbMake(double d, DATA_FORMAT format) {
  DB_DATA_TYPE v = {};
  if (bIsFloat(format)) {
    v.fVal = static_cast<float>(d);
  } else if (format == DF_UNSIGNED32) {
    v.u32Val = d <= 0 ? 0u : static_cast<U32>(std::llround(d));
  } else {
    v.s32Val = static_cast<S32>(std::llround(d));
  }
  return v;
}

// Internal value from a value in the display unit.
DB_DATA_TYPE dbToInternal(double dUnits, DATA_TYPE dataType, UNIT_TYPE units, DATA_FORMAT format) {
  return dbMake(dConvertToInternal(dUnits, dataType, units), format);
}

void vFormatNumber(char *pcOut, size_t szOut, double d, DATA_FORMAT format, U8 u8Precision, DATA_TYPE dataType) {
  if (bIsFloat(format)) {
    U_MENU_vPrecisionFormat(pcOut, static_cast<float>(d), u8Precision, szOut);
  } else if (dataType == D_TIME) {
    const long long ll = std::llround(d);
    std::snprintf(pcOut, szOut, "%lld:%02lld", ll / 60, ll % 60);
  } else {
    std::snprintf(pcOut, szOut, "%d", static_cast<int>(std::llround(d)));
  }
}

// A unit read from a settings file may be one without a name: it is shown without one.
bool bHasUnitText(UNIT_TYPE units) { return units >= U_NONE && units < NUMBER_OF_UNIT_TYPES && units != U_MINUTES; }

const char *pcText(MENU_TITLE pTitle) { return pTitle != nullptr ? (*pTitle)[nCurrentLanguage()] : nullptr; }

// Re-reads a bound setting; FALSE when it is missing or not valid. Learns the data type when still unknown.
bool bReadSetting(MENU_ITEM *pItem, FOURCHARID key) {
  DB_DATA_TYPE value = {};
  BOOLEAN bValid = FALSE;
  DB_ATTRIBUTES attributes = {};
  if (!H_DATABASE_bFetch(key, &value, &bValid, &attributes) || !bValid) return false;
  pItem->value = value;
  if (pItem->dataFormat == DF_ERROR && attributes.DataType >= D_UNKNOWN && attributes.DataType < NUMBER_OF_DATA_TYPES) {
    pItem->DataType = attributes.DataType;
    pItem->dataFormat = H_DATABASE_DataType(attributes.DataType);
  }
  return true;
}

// The fields that sliders, progress bars and numeric entries share, by reference into the item's record.
struct BarFields {
  FOURCHARID key;
  DB_DATA_TYPE *pMin, *pMax, *pStep;
  MENU_TITLE suffix, left, right;
  char *pcMaxString, *pcMinString;
  const MENU_LIMITS *pLimits;
  U8 *pu8Precision;
};

BarFields barFields(MENU_ITEM *pItem) {
  CONTROL_PARAMETERS &p = pItem->parameters;
  switch (pItem->control) {
    case M_PROGRESS_BAR:
      return {p.progress.FourCharId, &p.progress.minValue, &p.progress.maxValue, &p.progress.stepValue,
              p.progress.valueStrSuffix, p.progress.pCtrlTextLeft, p.progress.pCtrlTextRight,
              p.progress.maxString, p.progress.minString, p.progress.pLimits, &p.progress.u8precision};
    case M_NUMERIC_ENTRY:
      return {p.numEntry.FourCharId, &p.numEntry.minValue, &p.numEntry.maxValue, &p.numEntry.stepValue,
              p.numEntry.valueStrSuffix, p.numEntry.pCtrlTextLeft, p.numEntry.pCtrlTextRight,
              p.numEntry.maxString, p.numEntry.minString, p.numEntry.pLimits, &p.numEntry.u8precision};
    default:
      return {p.slider.FourCharId, &p.slider.minValue, &p.slider.maxValue, &p.slider.stepValue,
              p.slider.valueStrSuffix, p.slider.pCtrlTextLeft, p.slider.pCtrlTextRight,
              p.slider.maxString, p.slider.minString, p.slider.pLimits, &p.slider.u8precision};
  }
}

// Limits, unit value and texts of a slider, progress bar or numeric entry (value already read).
void vUpdateBar(MENU_ITEM *pItem) {
  const BarFields f = barFields(pItem);
  const bool bSlider = T_MENU_bIsSlider(pItem->control);
  UNIT_TYPE units = H_DATABASE_CurrentUnits(pItem->DataType);
  int nRow = 0;
  bool bMatched = false;
  const MENU_LIMITS *pRow = pLimitsRow(f.pLimits, units, &nRow, &bMatched);
  if (bSlider && !bMatched && pItem->DataType == D_DISTANCE) {
    // Long distances have no slider rows: short ones are shown instead.
    units = (units == U_KM || units == U_NAUT_MILES_M) ? U_METRES : U_FEET;
    pRow = pLimitsRow(f.pLimits, units, &nRow, &bMatched);
  }
  pItem->units = units;
  const DATA_FORMAT format = pItem->dataFormat;
  *f.pMin = dbMake(pRow->fMinimum, format);
  *f.pMax = dbMake(pRow->fMaximum, format);
  *f.pStep = dbMake(pRow->fIncrement, format);
  *f.pu8Precision = bIsFloat(format) ? T_MENU_u8FindPrecision(pRow->fIncrement) : 0;
  if (pItem->control == M_SLIDER_VARIABLE_STEP && pItem->parameters.slider.pLevels != nullptr) {
    pItem->parameters.slider.accelStep1.fVal = pItem->parameters.slider.pLevels[nRow].fStep1;
    pItem->parameters.slider.accelStep2.fVal = pItem->parameters.slider.pLevels[nRow].fStep2;
  }
  vFormatNumber(f.pcMaxString, 12, pRow->fMaximum, format, *f.pu8Precision, D_UNKNOWN);
  vFormatNumber(f.pcMinString, 12, pRow->fMinimum, format, *f.pu8Precision, D_UNKNOWN);

  const double dValue = dConvertFromInternal(dGet(pItem->value, format), pItem->DataType, units);
  pItem->unitsValue = dbMake(dValue, format);
  const double dMin = dGet(*f.pMin, format);
  const double dMax = dGet(*f.pMax, format);
  const double dShown = dGet(pItem->unitsValue, format);
  char *pcOut = pItem->value_string;
  const size_t szOut = MENU_VALUE_STRING_SIZE;
  MENU_TITLE pEndText = nullptr;
  if (dShown <= dMin) {
    pItem->unitsValue = *f.pMin;
    pEndText = f.left;
  } else if (dShown >= dMax) {
    pItem->unitsValue = *f.pMax;
    pEndText = f.right;
  }
  if (f.suffix == &Hidden) {
    pcOut[0] = '\0';
    return;
  }
  if (pEndText != nullptr) {
    std::snprintf(pcOut, szOut, "%s", pcText(pEndText));
    return;
  }
  vFormatNumber(pcOut, szOut, dGet(pItem->unitsValue, format), format, *f.pu8Precision, pItem->DataType);
  const char *pcSuffix = pcText(f.suffix);
  if ((pcSuffix == nullptr || pcSuffix[0] == '\0') && bHasUnitText(units)) {
    pcSuffix = H_DATABASE_pcUnitsString(units, nCurrentLanguage());
  }
  if (pcSuffix != nullptr) {
    const size_t szUsed = std::strlen(pcOut);
    std::snprintf(pcOut + szUsed, szOut - szUsed, "%s", pcSuffix);
  }
}

void vUpdateSelection(MENU_ITEM *pItem) {
  M_SELECTION_BOX_PARAMETERS &p = pItem->parameters.selector;
  if (!bReadSetting(pItem, p.FourCharId)) return;
  p.CurSelection = 0;
  const U32 u32Count = p.numberSelections < kMaxSelections ? p.numberSelections : kMaxSelections;
  if (p.pSelectionValueArray != nullptr) {
    for (U32 i = 0; i < u32Count; ++i) {
      if (p.pSelectionValueArray[i] == pItem->value.u32Val) {
        p.CurSelection = static_cast<U8>(i);
        break;
      }
    }
  }
  pItem->value_string[0] = '\0';
  if (p.pSelectionList != nullptr && u32Count > 0) {
    std::snprintf(pItem->value_string, MENU_VALUE_STRING_SIZE, "%s", pcText(p.pSelectionList[p.CurSelection]));
  }
}

bool bIsHighlighted(const MENU_ITEM *pItem) {
  return m().activeMenu != NO_MENU && T_MENU_pHighlightedItem() == pItem;
}

void vWriteAndClick(MENU_ITEM *pItem, U32 u32Count) {
  T_MENU_vWriteItemValue(pItem);
  T_MENU_vClickGood(u32Count);
}

// One step of a slider, progress bar or numeric entry; TRUE when the value moved.
bool bStepBar(MENU_ITEM *pItem, bool bUp, U32 u32Count) {
  BarFields f = barFields(pItem);
  U32 u32Multiplier = T_MENU_u32StepMultiplier(u32Count);
  if (pItem->control == M_SLIDER_VARIABLE_STEP) {
    M_SLIDER_PARAMETERS &p = pItem->parameters.slider;
    const float fShown = static_cast<float>(dGet(pItem->unitsValue, pItem->dataFormat));
    const STEP_LEVEL eLevel =
        T_MENU_eGetStepLevel(fShown, p.accelStep1.fVal, p.accelStep2.fVal, &u32Multiplier, bUp ? TRUE : FALSE);
    int nRow = 0;
    bool bMatched = false;
    const MENU_LIMITS *pRow = pLimitsRow(p.pLimits, pItem->units, &nRow, &bMatched);
    p.stepValue = dbMake(static_cast<double>(eLevel) * pRow->fIncrement, pItem->dataFormat);
  }
  BOOLEAN bMoved;
  if (bUp) {
    bMoved = T_MENU_bIncrementValue(pItem->DataType, &pItem->value, &pItem->unitsValue, pItem->dataFormat,
                                    pItem->units, *f.pMax, *f.pStep, u32Multiplier);
  } else {
    bMoved = T_MENU_bDecrementValue(pItem->DataType, &pItem->value, &pItem->unitsValue, pItem->dataFormat,
                                    pItem->units, *f.pMin, *f.pMax, *f.pStep, u32Multiplier);
  }
  return bMoved != FALSE;
}

// The texts after a step: the stepped value is kept (a held key is not re-read).
void vRefreshStepped(MENU_ITEM *pItem) {
  const DB_DATA_TYPE value = pItem->value;
  const BOOLEAN bRepeat = m().repeatActive;
  m().repeatActive = TRUE;
  T_MENU_vUpdateDisplayStrings(pItem, FALSE);
  m().repeatActive = bRepeat;
  pItem->value = value;
}

void vHandleBar(MENU_ITEM *pItem, bool bUp, U32 u32Count) {
  const bool bMoved = bStepBar(pItem, bUp, u32Count);
  switch (pItem->control) {
    case M_PROGRESS_BAR:
      if (bMoved) {
        vWriteAndClick(pItem, u32Count);
      } else {
        T_MENU_vClickBad();
      }
      break;
    case M_NUMERIC_ENTRY:
      if (bMoved) {
        vWriteAndClick(pItem, u32Count);
      } else {
        T_MENU_vClickBad();
        if (bUp) T_MENU_vWriteItemValue(pItem);
      }
      break;
    default:  // sliders write on release
      if (bMoved) {
        T_MENU_vClickGood(u32Count);
      } else {
        T_MENU_vClickBad();
      }
      break;
  }
  vRefreshStepped(pItem);
}

void vHandleSelection(MENU_ITEM *pItem, bool bUp, U32 u32Count) {
  M_SELECTION_BOX_PARAMETERS &p = pItem->parameters.selector;
  m().bShowMenuList = TRUE;
  const U32 u32Count_ = p.numberSelections < kMaxSelections ? p.numberSelections : kMaxSelections;
  U32 u32Sel = p.CurSelection;
  if (bUp) {
    if (u32Sel + 1 < u32Count_) {
      ++u32Sel;
    } else if (m().bLoopSelections && u32Count_ > 0) {
      u32Sel = 0;
    } else {
      T_MENU_vClickBad();
      return;
    }
  } else {
    if (u32Sel == 0 || u32Count_ == 0) {
      T_MENU_vClickBad();
      return;
    }
    --u32Sel;
  }
  if (p.pSelectionValueArray == nullptr) {
    T_MENU_vClickBad();
    return;
  }
  p.CurSelection = static_cast<U8>(u32Sel);
  pItem->value = DB_DATA_TYPE{};
  pItem->value.u32Val = p.pSelectionValueArray[u32Sel];
  vWriteAndClick(pItem, u32Count);
  T_MENU_vUpdateDisplayStrings(pItem, FALSE);
}

void vHandleAngle(MENU_ITEM *pItem, bool bUp, U32 u32Count) {
  const M_ANGLE_ADJUST_PARAMETERS &p = pItem->parameters.angleadjust;
  S32 s32Value = pItem->value.s32Val;
  if (bUp) {
    s32Value += p.stepValue.s32Val;
    if (s32Value >= p.maxValue.s32Val) s32Value -= p.maxValue.s32Val;
  } else {
    s32Value -= p.stepValue.s32Val;
    if (s32Value <= p.minValue.s32Val) s32Value += p.maxValue.s32Val;
  }
  pItem->value = DB_DATA_TYPE{};
  pItem->value.s32Val = s32Value;
  vWriteAndClick(pItem, u32Count);
}

void vRunAction(MENU_FUNCTION pfn) {
  if (m().activeMenu == INFO_MENU) T_MENU_vRemoveMenus();
  if (pfn != nullptr) pfn();
}

// An action that asks first: the first press shows the confirmation, the next one takes it away and lets the
// action run (TRUE).
bool bConfirmedNow(U32 u32Count) {
  if (!m().bConfirmActive) {
    T_MENU_vShowConfirmation();
    T_MENU_vClickGood(u32Count);
    return false;
  }
  T_MENU_vHideConfirmation();
  return true;
}

void vHandleActionRight(MENU_FUNCTION pfn, BOOLEAN bConfirm, U32 u32Count) {
  m().bShowMenuList = TRUE;
  if (!bConfirm) {
    vRunAction(pfn);
  } else if (bConfirmedNow(u32Count) && pfn != nullptr) {
    pfn();
  }
}

void vHandleActionListRight(MENU_ITEM *pItem, U32 u32Count) {
  M_ACTION_LIST_PARAMETERS &p = pItem->parameters.actionList;
  m().bShowMenuList = TRUE;
  if (!p.bIsActive) {
    p.bIsActive = TRUE;
    pItem->value = DB_DATA_TYPE{};
    T_MENU_vClickGood(u32Count);
    return;
  }
  const U32 u32Choice = pItem->value.u32Val;
  if (u32Choice >= p.numberChoices || p.pt2Function == nullptr) {
    T_MENU_vClickBad();
    return;
  }
  const MENU_FUNCTION pfn = p.pt2Function[u32Choice];
  if (p.bConfirm == nullptr || !p.bConfirm[u32Choice]) {
    vRunAction(pfn);
    return;
  }
  if (!bConfirmedNow(u32Count)) return;
  const bool bReopenHot = pItem->control == M_ACTION_LIST && m().activeMenu == ZEPHRIN_MENU;
  if (pfn != nullptr) pfn();
  if (bReopenHot) {
    T_MENU_vRemoveMenus();
    T_MENU_vActivateHotMenu();
  }
}

void vHandleSubMenuRight(MENU_ITEM *pItem, U32 u32Count) {
  M_SUB_MENU_PARAMETERS &p = pItem->parameters.submenu;
  m().bShowMenuList = TRUE;
  if (p.pt2Function != nullptr) p.pt2Function();
  T_MENU_vRememberRow();
  if (p.numberChoices == 1) {
    T_MENU_vOpenSubMenuChoice(pItem, 0);
  } else if (p.bIsActive) {
    T_MENU_vOpenSubMenuChoice(pItem, pItem->value.u32Val);
  } else if (p.numberChoices > 1) {
    p.bIsActive = TRUE;
    pItem->value = DB_DATA_TYPE{};
    T_MENU_vClickGood(u32Count);
  } else {
    T_MENU_vClickBad();
  }
}

bool bSideStepLocked() {
  return T_MENU_tNow() - T_MENU_psTask()->timer <= MENU_SIDE_STEP_LOCK_MS;
}

void vHandleSide(bool bRight, U32 u32Count) {
  if (bSideStepLocked()) return;
  MENU_ITEM *pItem = T_MENU_pHighlightedItem();
  if (pItem == nullptr) return;
  switch (pItem->control) {
    case M_SLIDER:
    case M_SLIDER_IMMEDIATE:
    case M_SLIDER_VARIABLE_STEP:
    case M_PROGRESS_BAR:
    case M_NUMERIC_ENTRY:
      m().bShowMenuList = FALSE;  // only the row being changed stays on screen
      vHandleBar(pItem, bRight, u32Count);
      break;
    case M_SELECTION_BOX:
    case M_SELECTION_BUTTONS:
      vHandleSelection(pItem, bRight, u32Count);
      break;
    case M_ANGLE_ADJUST:
      m().bShowMenuList = FALSE;
      vHandleAngle(pItem, bRight, u32Count);
      break;
    case M_CHECK_LIST:
    case M_CHECK_BOX:
      if (bRight) {
        const M_CHECK_LIST_PARAMETERS &p = pItem->parameters.checkList;
        if (pItem->control == M_CHECK_BOX) T_MENU_vClickGood(u32Count);
        if (p.setCheck != nullptr) p.setCheck(p.context);
        T_MENU_vUpdateDisplayStrings(pItem, FALSE);
      }
      break;
    case M_ACTION:
    case M_ACTION_EXT:
      if (bRight) {
        vHandleActionRight(pItem->parameters.action.pt2Function, pItem->parameters.action.confirm, u32Count);
      } else if (m().bConfirmActive) {
        T_MENU_vHideConfirmation();
        T_MENU_vClickGood(u32Count);
      } else {
        T_MENU_vClickBad();
      }
      break;
    case M_ACTION_LIST:
    case M_ACTION_LIST_SHRUNKEN:
      if (bRight) {
        vHandleActionListRight(pItem, u32Count);
      } else if (m().bConfirmActive) {
        m().bShowMenuList = TRUE;
        T_MENU_vHideConfirmation();
        T_MENU_vClickGood(u32Count);
      } else if (pItem->parameters.actionList.bIsActive) {
        m().bShowMenuList = TRUE;
        T_MENU_bCollapseItem(pItem);
        T_MENU_vClickGood(u32Count);
      } else {
        T_MENU_vClickBad();
      }
      break;
    case M_SUB_MENU:
      if (bRight) {
        vHandleSubMenuRight(pItem, u32Count);
      } else if (pItem->parameters.submenu.numberChoices > 1 && pItem->parameters.submenu.bIsActive) {
        m().bShowMenuList = TRUE;
        T_MENU_bCollapseItem(pItem);
        T_MENU_vClickGood(u32Count);
      } else {
        T_MENU_vClickBad();
      }
      break;
    default:
      break;
  }
}

}  // namespace

U8 T_MENU_u8FindPrecision(float fStep) {
  const S64 s64P = static_cast<S64>(static_cast<double>(fStep) * 1000.0);
  if (s64P % 1000 == 0) return 0;
  if (s64P % 100 == 0) return 1;
  if (s64P % 10 == 0) return 2;
  return 3;
}

U32 T_MENU_u32StepMultiplier(U32 u32Count) { return u32Count <= 19 ? 1 : u32Count - 19; }

BOOLEAN T_MENU_bIncrementValue(DATA_TYPE dataType, DB_DATA_TYPE *pValue, DB_DATA_TYPE *pUnitsValue,
                               DATA_FORMAT dataFormat, UNIT_TYPE units, DB_DATA_TYPE maxValue,
                               DB_DATA_TYPE stepValue, U32 u32Multiplier) {
  const double dMax = dGet(maxValue, dataFormat);
  const double dStep = dGet(stepValue, dataFormat);
  const double dNow = dGet(*pUnitsValue, dataFormat);
  if (dNow >= dMax || dStep <= 0) {
    if (dNow >= dMax) {
      *pUnitsValue = maxValue;
      *pValue = dbToInternal(dMax, dataType, units, dataFormat);
    }
    return FALSE;
  }
  double dNew;
  if (bIsFloat(dataFormat)) {
    dNew = (u32Multiplier + std::nearbyint(dNow / dStep)) * dStep;
  } else {
    dNew = dNow + static_cast<double>(u32Multiplier) * dStep;
  }
  if (dNew > dMax) dNew = dMax;
  *pUnitsValue = dbMake(dNew, dataFormat);
  *pValue = dbToInternal(dNew, dataType, units, dataFormat);
  return TRUE;
}

BOOLEAN T_MENU_bDecrementValue(DATA_TYPE dataType, DB_DATA_TYPE *pValue, DB_DATA_TYPE *pUnitsValue,
                               DATA_FORMAT dataFormat, UNIT_TYPE units, DB_DATA_TYPE minValue,
                               DB_DATA_TYPE maxValue, DB_DATA_TYPE stepValue, U32 u32Multiplier) {
  const double dMin = dGet(minValue, dataFormat);
  const double dMax = dGet(maxValue, dataFormat);
  const double dStep = dGet(stepValue, dataFormat);
  const double dNow = dGet(*pUnitsValue, dataFormat);
  if (dNow <= dMin || dStep <= 0) {
    if (dNow <= dMin) {
      *pUnitsValue = minValue;
      *pValue = dbToInternal(dMin, dataType, units, dataFormat);
    }
    return FALSE;
  }
  double dNew;
  if (bIsFloat(dataFormat)) {
    dNew = (std::nearbyint(dNow / dStep) - u32Multiplier) * dStep;
  } else {
    dNew = dNow - static_cast<double>(u32Multiplier) * dStep;
  }
  if (dNew < dMin || dNew > dMax) dNew = dMin;
  *pUnitsValue = dbMake(dNew, dataFormat);
  *pValue = dbToInternal(dNew, dataType, units, dataFormat);
  return TRUE;
}

STEP_LEVEL T_MENU_eGetStepLevel(float fValue, float fLower, float fUpper, U32 *pu32Multiplier, BOOLEAN bUp) {
  const float fM = static_cast<float>(*pu32Multiplier);
  const STEP_LEVEL eZone = fValue <= fLower ? VAR_STEP_1 : (fValue <= fUpper ? VAR_STEP_2 : VAR_STEP_3);
  if (bUp) {
    if (eZone == VAR_STEP_1 && fValue > fLower - fM) {
      *pu32Multiplier = 1;
      return VAR_STEP_2;
    }
    if (eZone == VAR_STEP_2 && fValue >= fUpper - 5 * fM) {
      *pu32Multiplier = 1;
      return VAR_STEP_3;
    }
    return eZone;
  }
  if (eZone == VAR_STEP_2 && fValue < fLower + 5 * fM) {
    *pu32Multiplier = 1;
    return VAR_STEP_2;
  }
  if (eZone == VAR_STEP_3 && fValue < fUpper + 10 * fM) {
    *pu32Multiplier = 1;
    return VAR_STEP_2;
  }
  return eZone;
}

BOOLEAN T_MENU_bIsSlider(MENU_CONTROL control) {
  return control == M_SLIDER || control == M_SLIDER_IMMEDIATE || control == M_SLIDER_VARIABLE_STEP;
}

FOURCHARID T_MENU_fcidItemKey(const MENU_ITEM *pItem) {
  switch (pItem->control) {
    case M_SLIDER:
    case M_SLIDER_IMMEDIATE:
    case M_SLIDER_VARIABLE_STEP:
      return pItem->parameters.slider.FourCharId;
    case M_PROGRESS_BAR:
      return pItem->parameters.progress.FourCharId;
    case M_NUMERIC_ENTRY:
      return pItem->parameters.numEntry.FourCharId;
    case M_SELECTION_BOX:
      return pItem->parameters.selector.FourCharId;
    case M_ANGLE_ADJUST:
      return pItem->parameters.angleadjust.FourCharId;
    default:
      return 0;
  }
}

void T_MENU_vWriteItemValue(const MENU_ITEM *pItem) {
  const FOURCHARID key = T_MENU_fcidItemKey(pItem);
  if (key != 0) H_DATABASE_bUpdateValue(key, pItem->value, P_NORMAL);
}

void T_MENU_vUpdateDisplayStrings(MENU_ITEM *pItem, BOOLEAN bForceUpdate) {
  if (pItem == nullptr) return;
  switch (pItem->control) {
    case M_SLIDER:
    case M_SLIDER_IMMEDIATE:
    case M_SLIDER_VARIABLE_STEP:
      if (bForceUpdate || !m().repeatActive) bReadSetting(pItem, pItem->parameters.slider.FourCharId);
      vUpdateBar(pItem);
      break;
    case M_PROGRESS_BAR:
    case M_NUMERIC_ENTRY:
      if (!bReadSetting(pItem, T_MENU_fcidItemKey(pItem))) return;
      vUpdateBar(pItem);
      break;
    case M_SELECTION_BOX:
      vUpdateSelection(pItem);
      break;
    case M_CHECK_LIST:
    case M_CHECK_BOX: {
      const M_CHECK_LIST_PARAMETERS &p = pItem->parameters.checkList;
      pItem->unitsValue = DB_DATA_TYPE{};
      pItem->unitsValue.u32Val = p.getCheck != nullptr ? p.getCheck(p.context) : 0;
      break;
    }
    case M_ANGLE_ADJUST:
      if (bIsHighlighted(pItem)) {
        pItem->value_string[0] = '\0';
      } else {
        std::snprintf(pItem->value_string, MENU_VALUE_STRING_SIZE, "%s", pcText(pItem->pMenuTitle));
      }
      break;
    case M_ACTION:
    case M_SUB_MENU:
    case M_ACTION_HOT:
    case M_SUB_MENU_HOT:
    case M_ACTION_EXT:
      pItem->value_string[0] = '\0';
      break;
    default:
      break;
  }
}

void T_MENU_vRefreshList(MENU_ITEM *pHead) {
  for (MENU_ITEM *pItem = pHead; pItem != nullptr; pItem = pItem->pNextMenu) T_MENU_vUpdateDisplayStrings(pItem, TRUE);
}

BOOLEAN T_MENU_bCollapseItem(MENU_ITEM *pItem) {
  if (pItem == nullptr) return FALSE;
  BOOLEAN *pbActive = nullptr;
  if (pItem->control == M_SUB_MENU || pItem->control == M_SUB_MENU_HOT) {
    pbActive = &pItem->parameters.submenu.bIsActive;
  } else if (pItem->control == M_ACTION_LIST || pItem->control == M_ACTION_LIST_SHRUNKEN) {
    pbActive = &pItem->parameters.actionList.bIsActive;
  }
  if (pbActive == nullptr || !*pbActive) return FALSE;
  *pbActive = FALSE;
  pItem->value = DB_DATA_TYPE{};
  return TRUE;
}

void T_MENU_vShowConfirmation(void) {
  m().bConfirmActive = TRUE;
  U_VIEW_bRegisterLayer(T_MENU_vDrawConfirmMenuLayer, CONFIRM_MENU_LAYER, USED_BY_ALL, 0, 0, TRUE, nullptr, nullptr,
                        nullptr);
}

void T_MENU_vHideConfirmation(void) {
  m().bConfirmActive = FALSE;
  U_VIEW_bUnRegisterLayer(CONFIRM_MENU_LAYER);
}

void T_MENU_vHandleCursorKeyEast(U32 u32Count) { vHandleSide(true, u32Count); }
void T_MENU_vHandleCursorKeyWest(U32 u32Count) { vHandleSide(false, u32Count); }

void T_MENU_vGetSelection(MENU_TITLE pTitle, char *pcText) {
  L_MUTEX_LockWait(RES_MENU);
  MENU_ITEM *pItem = T_MENU_pHighlightedItem();
  if (m().activeMenu == SINGLE_CENTERED_MENU && pItem != nullptr && pItem->pMenuTitle == pTitle && pcText != nullptr) {
    T_MENU_vUpdateDisplayStrings(pItem, TRUE);
    std::memcpy(pcText, pItem->value_string, MENU_VALUE_STRING_SIZE);
  }
  L_MUTEX_Unlock(RES_MENU);
}
