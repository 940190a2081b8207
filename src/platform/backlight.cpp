#include "platform/backlight.h"

#include <cstdio>

namespace {

constexpr FOURCHARID kCBAK = FCID("CBAK");
constexpr FOURCHARID kCREV = FCID("CREV");

// Smaller values are brighter.
const BACKLIGHT_LEVELS kStandardPanel[11] = {{54, 54}, {53, 53}, {52, 52}, {51, 51}, {50, 50}, {45, 45},
                                             {40, 40}, {30, 30}, {20, 20}, {10, 10}, {0, 0}};
const BACKLIGHT_LEVELS kNewPanel[11] = {{62, 62}, {61, 61}, {60, 60}, {58, 58}, {56, 56}, {53, 53},
                                        {48, 48}, {40, 40}, {30, 30}, {15, 15}, {0, 0}};
const BACKLIGHT_LEVELS kDimmablePanel[11] = {{62, 62}, {61, 61}, {60, 60}, {59, 59}, {57, 57}, {55, 55},
                                             {53, 53}, {50, 50}, {46, 46}, {41, 41}, {34, 34}};

// Only the display task drives the backlight.
bool s_bNewPanel = false;
bool s_bNewDimmablePanel = false;
DISPLAY_BACKLIGHT s_BacklightLevelSaved = DISPLAY_BACKLIGHT_DEFAULT;

}  // namespace

const ARRAY_OF_STRING_PTRS Backlight_Text = SAME22("Light");

void H_BACKLIGHT_vProcessRevisionBits(U32 RevisionBits) {
  if ((RevisionBits & 0x4) != 0) {
    s_bNewPanel = true;
  } else if ((RevisionBits & 0x8) != 0) {
    s_bNewDimmablePanel = true;
  } else {
    s_bNewPanel = false;
  }
}

void H_BACKLIGHT_vChangeIntensity(DISPLAY_BACKLIGHT intensityIndex) {
  if (intensityIndex < DISPLAY_BACKLIGHT_OFF || intensityIndex > DISPLAY_BACKLIGHT_MAX) return;
  const BACKLIGHT_LEVELS *pTable = s_bNewPanel ? kNewPanel : s_bNewDimmablePanel ? kDimmablePanel : kStandardPanel;
  FILE *pFile = std::fopen(BACKLIGHT_pcBrightnessPath(), "w");
  if (pFile == nullptr) return;  // a panel without the control keeps its brightness
  std::fprintf(pFile, "%d %d", pTable[intensityIndex].analog, pTable[intensityIndex].digital);
  std::fclose(pFile);
}

void H_BACKLIGHT_vSetup(MBOX mailbox) {
  H_DATABASE_bRegisterForDataWithConditions(kCREV, mailbox, TRUE, FALSE, FALSE);
  U32 u32Revision = 0;
  BOOLEAN bValid = FALSE;
  if (H_DATABASE_bFetchU32(kCREV, &u32Revision, &bValid, nullptr) && bValid) {
    H_BACKLIGHT_vProcessRevisionBits(u32Revision);
  } else {
    H_BACKLIGHT_vProcessRevisionBits(0);
  }
  H_DATABASE_bUpdateEverythingS32(kCBAK, DISPLAY_BACKLIGHT_MAX, P_NORMAL, D_UNKNOWN, Backlight_Text, DB_NO_TIMEOUT);
  H_DATABASE_bRegisterForDataWithConditions(kCBAK, mailbox, TRUE, FALSE, FALSE);
  S32 s32Level = DISPLAY_BACKLIGHT_MAX;
  bValid = FALSE;
  if (!H_DATABASE_bFetchS32(kCBAK, &s32Level, &bValid, nullptr) || !bValid) s32Level = DISPLAY_BACKLIGHT_MAX;
  H_BACKLIGHT_vChangeIntensity(static_cast<DISPLAY_BACKLIGHT>(s32Level));
}

BOOLEAN H_BACKLIGHT_bChange(S32 s32Amount) {
  S32 s32Level = 0;
  BOOLEAN bValid = FALSE;
  if (!H_DATABASE_bFetchS32(kCBAK, &s32Level, &bValid, nullptr) || !bValid || s32Amount == 0) return FALSE;
  if (s32Amount > 0 && s32Level >= DISPLAY_BACKLIGHT_MAX) return FALSE;
  if (s32Amount < 0 && s32Level <= DISPLAY_BACKLIGHT_OFF) return FALSE;
  S64 s64New = static_cast<S64>(s32Level) + s32Amount;
  if (s64New > DISPLAY_BACKLIGHT_MAX) s64New = DISPLAY_BACKLIGHT_MAX;
  if (s64New < DISPLAY_BACKLIGHT_OFF) s64New = DISPLAY_BACKLIGHT_OFF;
  H_DATABASE_bUpdateValueS32(kCBAK, static_cast<S32>(s64New), P_NORMAL);
  return TRUE;
}

void H_BACKLIGHT_vSave(void) {
  S32 s32Level = 0;
  BOOLEAN bValid = FALSE;
  if (H_DATABASE_bFetchS32(kCBAK, &s32Level, &bValid, nullptr) && bValid) {
    s_BacklightLevelSaved = static_cast<DISPLAY_BACKLIGHT>(s32Level);
  }
}

void H_BACKLIGHT_vRestore(void) { H_DATABASE_bUpdateValueS32(kCBAK, s_BacklightLevelSaved, P_NORMAL); }

void H_BACKLIGHT_vResetForTest(void) {
  s_bNewPanel = false;
  s_bNewDimmablePanel = false;
  s_BacklightLevelSaved = DISPLAY_BACKLIGHT_DEFAULT;
}
