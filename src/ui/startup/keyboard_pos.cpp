// The point-of-sale demonstration of the keyboard task: the tutorial script interpreter with its balloons,
// photos and side chapters, and the fixed sequence of views that runs when there is no script.
#include "ui/startup/keyboard_pos.h"

#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "chart/chart_generic_standin.h"
#include "draw/box.h"
#include "view/buffers.h"
#include "view/capture.h"
#include "draw/circle.h"
#include "draw/color.h"
#include "draw/bmp.h"
#include "draw/string.h"
#include "kernel/error.h"
#include "settings/fs.h"
#include "kernel/log.h"
#include "kernel/memory.h"
#include "kernel/mutex.h"
#include "kernel/reset.h"
#include "kernel/sema.h"
#include "kernel/timer.h"
#include "platform/datadir.h"
#include "platform/lcd.h"
#include "platform/sd.h"
#include "ui/menu/dialog.h"
#include "ui/startup/keyboard_pos_script.h"
#include "ui/menu/menu.h"
#include "ui/startup/startup_state.h"

const char *const errorMessages[MAX_ERROR_CODES] = {
    "",
    "No View name in POS script",
    "Bad view name in POS script",
    "No Chapter name in POS script",
    "No Key name in POS script",
    "Bad Key name in POS script",
    "No wait time in POS script",
    "No Balloon info in POS script",
    "Error: Not enough balloon parameters",
    "No FCID following SET cmd",
    "No FCID data to set",
    "Pointer end inside balloon",
    "Error in text annotation",
    "Error no photo name",
    "Error photo not found",
};

const ARRAY_OF_STRING_PTRS Press_exit_to_leave_demo = SAME22("Press EXIT to leave demo");
const ARRAY_OF_STRING_PTRS Demo_Balloons = SAME22("Demo Balloons");

namespace {

const ARRAY_OF_STRING_PTRS Press_for_more_information = SAME22("Press > for more information");
const ARRAY_OF_STRING_PTRS s_Visible = SAME22("Visible");


typedef struct {
  LAYER_ID changeView;
  FOURCHARID changeDatabaseItem;
  U32 changeDatabaseItemTo;
  U32 issueKeyStroke;
  KEY_STATE changeKeyState;
  CURSOR_POSITION changeCursorPosition;
  U32 repeatCount;
  FOURCHARID sendKeyTo;
  const ARRAY_OF_STRING_PTRS *pMessageString;
  POINT anchor;
  U32 boxWidth;
  TICKS delayToNextState;
} POS_SCRIPT_ITEM;

constexpr POS_SCRIPT_ITEM kStep(LAYER_ID view, TICKS delay) {
  return {view, 0, 0, 0, KEY_UP, CURSOR_ILLEGAL, 0, 0, nullptr, {0, 0}, 0, delay};
}
const POS_SCRIPT_ITEM s_scriptItems[4] = {
    kStep(CHART_PLUS_2D_VIEW_PRIORITY, 5000),
    kStep(CHART_PLUS_2D_VIEW_PRIORITY, 25000),
    kStep(CHART_PLUS_BIRDS_EYE_VIEW_PRIORITY, 15000),
    kStep(SONAR_VIEW_PRIORITY, 15000),
};

typedef struct {
  char chapterName[30];
  U32 chapterStart;
  U32 chapterResume;
} CHAPTER_ITEM;

typedef struct {
  char title[40];
  U32 widthPixels;
  U8 heightLines;
  POINT llAnchor;
  POINT pointerAnchor;
  char text[500];
  BOOLEAN bActive;
  BOOLEAN bMoreInfo;
} D_BALLOON;

// Bounds of what a script may ask for. A card file larger than this is not loaded.
constexpr U32 kMaxScriptBytes = 256 * 1024;
constexpr U32 kLineSize = 100;
constexpr U32 kChapterStackSize = 5;
constexpr U32 kMaxBalloonLines = 20;
// Word buffers: a longer word matches nothing.
constexpr U32 kCommandSize = 16, kKeyNameSize = 14, kWaitSize = 6, kViewNameSize = 35, kChapterNameSize = 20,
              kPhotoNameSize = 20;
constexpr char kTooLong[] = "\x1b";
constexpr U32 kPreambleAfterStart = 6;
constexpr U32 kPreambleAfterRestart = 7;
constexpr U32 kFreeUseMs = 180000;
constexpr TICKS kPhotoWaitMs = 10000;
constexpr SEMA kPhotoSema = 108;

BOOLEAN s_bPOSMode = FALSE;
BOOLEAN s_bTutorialStarted = FALSE;
BOOLEAN s_bInTutorial = FALSE;
BOOLEAN s_bUseDefaultPOS = FALSE;
BOOLEAN s_bPOSKeyPressDetected = FALSE;
BOOLEAN s_bUsingExtScript = FALSE;
BOOLEAN s_bShowImage = FALSE;
TIMER_INFO *s_pPOSTimer = nullptr;
U32 s_u32POSScriptIndex = 0;

const BYTE *s_pPOS_FileData = nullptr;
U32 s_POS_FileSize = 0;
const char *s_pcTestScript = nullptr;

U32 s_u32CurOffset = 0;
char s_aTextLine[kLineSize];
ERROR_CODE s_scriptError = NO_ERROR;
U32 s_u32PreambleCount = kPreambleAfterStart;
CHAPTER_ITEM s_chptStack[kChapterStackSize];
S8 s_stackTop = -1;
S8 s_activeChapter = -1;
D_BALLOON s_curBalloon;
POINT s_exitBoxAnchor = {-1, -1};
BITMAP *s_pPhotoImage = nullptr;

COLOR colour(U32 u32Index) { return gCOLOR_pcolColorTable[u32Index]; }

void vWriteBoolean(FOURCHARID key, BOOLEAN bValue) {
  H_DATABASE_bUpdateEverythingBoolean(key, bValue, P_NORMAL, D_UNKNOWN, nullptr, DB_NO_TIMEOUT);
}

bool bPointOfSale() {
  U32 u32State = 0;
  return H_DATABASE_bFetchU32(FCID("CCST"), &u32State, nullptr, nullptr) && u32State == STATE_POINT_OF_SALE;
}

BOOLEAN bFetchBoolean(FOURCHARID key) {
  BOOLEAN bValue = FALSE;
  return H_DATABASE_bFetchBoolean(key, &bValue, nullptr, nullptr) && bValue;
}

void vStartPOSTimer(U32 u32Ms) {
  if (s_pPOSTimer == nullptr) {
    s_pPOSTimer = L_TIMER_Allocate();
    if (s_pPOSTimer == nullptr) {
      ERROR_error(__FILE__, __LINE__, "No POS timer");
      U_RESET_vReset();
    }
  }
  L_TIMER_Start(s_pPOSTimer, u32Ms, 0, SEMA_TIMER_POS);
}

void vReleasePOSTimer() {
  if (s_pPOSTimer == nullptr) return;
  L_TIMER_Release(s_pPOSTimer);
  s_pPOSTimer = nullptr;
}

void vRegisterMessageLayer() {
  U_VIEW_bRegisterLayer(T_KEYBOARD_vDrawPOSMessage, POS_MESSAGE_LAYER, USED_BY_ALL, 0, 0, TRUE, nullptr, nullptr,
                        nullptr);
}

void vSetError(ERROR_CODE eError) {
  s_scriptError = eError;
  log_me("POS script: %s", errorMessages[eError]);
  L_SEMA_Signal(SEMA_VIEW_UPDATE);
}

void vUpper(char *pc) {
  for (; *pc != '\0'; ++pc) *pc = static_cast<char>(std::toupper(static_cast<unsigned char>(*pc)));
}

bool bBlank(char c) { return c == ' ' || c == '\t'; }

// The argument text: one character after the command word.
const char *pcArguments(const char *pcLine) {
  size_t szWord = 0;
  while (pcLine[szWord] != '\0' && !bBlank(pcLine[szWord])) ++szWord;
  return pcLine[szWord] == '\0' ? pcLine + szWord : pcLine + szWord + 1;
}

void vFreeScript() {
  if (s_bUsingExtScript && s_pPOS_FileData != nullptr) H_MEMORY_vFree(const_cast<BYTE *>(s_pPOS_FileData));
  s_bUsingExtScript = FALSE;
  s_pPOS_FileData = nullptr;
  s_POS_FileSize = 0;
}

void vRemovePhoto() {
  s_bShowImage = FALSE;
  if (s_pPhotoImage == nullptr) return;
  T_VIEW_vFreeFullScreenBitmap(s_pPhotoImage);
  s_pPhotoImage = nullptr;
}

std::string sCardScriptPath(U32 u32Slot) { return std::string(DD_SD_pcMountPoint(u32Slot)) + "/POSDemo.txt"; }

// Reads a card's script into memory; FALSE when the file does not open, is empty or is too large.
bool bLoadCardScript(const std::string &sPath) {
  FILE *pFile = std::fopen(sPath.c_str(), "rb");
  if (pFile == nullptr) return false;
  const U32 u32Size = FS_GetFileSize(pFile);
  bool bLoaded = false;
  if (u32Size == 0 || u32Size > kMaxScriptBytes) {
    log_me("POS script %s: size %u not used", sPath.c_str(), u32Size);
  } else {
    auto *pData = static_cast<BYTE *>(H_MEMORY_pvMalloc(u32Size));
    if (std::fread(pData, 1, u32Size, pFile) == u32Size) {
      s_pPOS_FileData = pData;
      s_POS_FileSize = u32Size;
      s_bUsingExtScript = TRUE;
      bLoaded = true;
    } else {
      log_me("POS script %s: read failed", sPath.c_str());
      H_MEMORY_vFree(pData);
    }
  }
  std::fclose(pFile);
  return bLoaded;
}

// The next line holding a command; FALSE when a whole pass over the script finds none.
bool bNextValidLine(char *pcLine, U32 *pu32LineOffset) {
  for (U32 i = 0; i <= s_POS_FileSize; ++i) {
    if (T_KEYBOARD_eGetScriptLine(pcLine, pu32LineOffset, nullptr) == VALID_LINE) return true;
  }
  return false;
}

// Reads up to the next line whose command is eWanted, at most one pass over the script. On success the current
// offset is the line after it.
bool bSkipTo(POS_COMMAND eWanted, char *pcLine) {
  for (U32 i = 0; i <= s_POS_FileSize; ++i) {
    if (T_KEYBOARD_eGetScriptLine(pcLine, nullptr, nullptr) != VALID_LINE) continue;
    if (T_KEYBOARD_eGetCommand(pcLine) == eWanted) return true;
  }
  return false;
}

// Parses "x, y" style integers separated by commas or blanks; returns the text after the number or nullptr.
const char *pcNumber(const char *pc, S32 *ps32Value) {
  while (*pc == ',' || bBlank(*pc)) ++pc;
  char *pcEnd = nullptr;
  const long lValue = std::strtol(pc, &pcEnd, 10);
  if (pcEnd == pc || lValue < -100000 || lValue > 100000) return nullptr;
  *ps32Value = static_cast<S32>(lValue);
  return pcEnd;
}

// The annotation at pc (just after '['): its length up to ']', or -1 when it is not one of the known kinds.
int nAnnotation(const char *pc, char *pcKind) {
  const char *pcClose = std::strchr(pc, ']');
  if (pcClose == nullptr || pcClose - pc < 2 || pcClose - pc > 20) return -1;
  const char a = static_cast<char>(std::toupper(static_cast<unsigned char>(pc[0])));
  const char b = static_cast<char>(std::toupper(static_cast<unsigned char>(pc[1])));
  static const char *const kKinds[] = {"BU", "HS", "VS", "IC", "BI"};
  for (const char *pcKnown : kKinds) {
    if (a == pcKnown[0] && b == pcKnown[1]) {
      pcKind[0] = a;
      pcKind[1] = b;
      return static_cast<int>(pcClose - pc);
    }
  }
  return -1;
}

// The number of an HSPACE or VSPACE annotation: from its eighth character.
S32 s32AnnotationNumber(const char *pc, int nLength) {
  if (nLength <= 7) return 0;
  char acDigits[16] = {};
  std::memcpy(acDigits, pc + 7, static_cast<size_t>(std::min(nLength - 7, 15)));
  const long lValue = std::strtol(acDigits, nullptr, 10);
  return lValue < 0 ? 0 : (lValue > 480 ? 480 : static_cast<S32>(lValue));
}

bool bAnnotationsValid(const char *pcText) {
  for (const char *pc = pcText; (pc = std::strchr(pc, '[')) != nullptr;) {
    char acKind[2];
    const int nLength = nAnnotation(pc + 1, acKind);
    if (nLength < 0) return false;
    pc += nLength + 2;
  }
  return true;
}

void vBalloon(const char *pcArgs) {
  if (*pcArgs == '\0') {
    vSetError(ERR_NO_BALLOON);
    return;
  }
  S32 x = 0, y = 0, width = 0, lines = 0;
  const char *pc = pcArgs;
  if ((pc = pcNumber(pc, &x)) == nullptr || (pc = pcNumber(pc, &y)) == nullptr ||
      (pc = pcNumber(pc, &width)) == nullptr || (pc = pcNumber(pc, &lines)) == nullptr) {
    vSetError(ERR_BALLOON_PARAMETERS);
    return;
  }
  const char *pcOpen = std::strchr(pc, '"');
  const char *pcClose = pcOpen != nullptr ? std::strchr(pcOpen + 1, '"') : nullptr;
  if (pcClose == nullptr) {
    vSetError(ERR_BALLOON_PARAMETERS);
    return;
  }
  S32 px = -1, py = -1;
  const char *pcRest = pcClose + 1;
  while (*pcRest == ',' || bBlank(*pcRest)) ++pcRest;
  if (*pcRest != '\0' && std::strncmp(pcRest, "//", 2) != 0) {
    const char *pcAfter = pcNumber(pcRest, &px);
    if (pcAfter == nullptr || pcNumber(pcAfter, &py) == nullptr) {
      vSetError(ERR_BALLOON_PARAMETERS);
      return;
    }
  }
  // A balloon must fit the screen it is drawn on.
  if (x < 0 || y < 0 || x >= SCREEN_PIXELS_WIDE || y >= SCREEN_PIXELS_HIGH || width <= 0 ||
      width > SCREEN_PIXELS_WIDE || lines < 0 || lines > static_cast<S32>(kMaxBalloonLines)) {
    vSetError(ERR_BALLOON_PARAMETERS);
    return;
  }
  D_BALLOON &b = s_curBalloon;
  const size_t szTitle = std::min<size_t>(static_cast<size_t>(pcClose - pcOpen - 1), sizeof b.title - 1);
  std::memcpy(b.title, pcOpen + 1, szTitle);
  b.title[szTitle] = '\0';
  b.llAnchor = {x, y};
  b.widthPixels = static_cast<U32>(width);
  b.heightLines = static_cast<U8>(lines);
  b.pointerAnchor = {px, py};
  b.bMoreInfo = FALSE;
  // The text: the lines up to "ENDBALLOON", joined with LF, ended with CR; at most one pass over the script.
  size_t szText = 0;
  bool bFirst = true;
  for (U32 i = 0; i <= s_POS_FileSize; ++i) {
    if (T_KEYBOARD_eGetScriptLine(s_aTextLine, nullptr, nullptr) != VALID_LINE) continue;
    if (T_KEYBOARD_eGetCommand(s_aTextLine) == END_BALLOON) break;
    const size_t szLine = std::strlen(s_aTextLine) + (bFirst ? 0 : 1);
    if (szText + szLine < sizeof b.text - 1) {
      if (!bFirst) b.text[szText++] = '\n';
      std::memcpy(b.text + szText, s_aTextLine, szLine - (bFirst ? 0 : 1));
      szText += szLine - (bFirst ? 0 : 1);
    }
    bFirst = false;
  }
  b.text[szText++] = '\r';
  b.text[szText] = '\0';
  if (!bAnnotationsValid(b.text)) {
    b.bActive = FALSE;
    vSetError(ERR_BAD_ANNOTATION);
    return;
  }
  b.bActive = bFetchBoolean(FCID("SDBV"));
  L_SEMA_Signal(SEMA_VIEW_UPDATE);
}

void vMoreInfo(const char *pcArgs) {
  char acName[kChapterNameSize];
  if (!T_KEYBOARD_bGetToken(acName, sizeof acName, pcArgs) || acName[0] == '\0') {
    vSetError(ERR_NO_CHAPTER);
    return;
  }
  vUpper(acName);
  if (s_stackTop >= 0 && std::strcmp(acName, s_chptStack[s_stackTop].chapterName) == 0) return;
  const U32 u32AfterMoreInfo = s_u32CurOffset;
  char acLine[kLineSize];
  // The resume offset of the current chapter is the line after the block's "ENDMOREINFO".
  const bool bEnd = bSkipTo(END_MORE_INFO, acLine);
  const U32 u32Resume = s_u32CurOffset;
  // The side chapter: searched once from the start of the script.
  bool bFound = false;
  U32 u32Start = 0;
  s_u32CurOffset = 0;
  for (U32 i = 0; i <= s_POS_FileSize && !bFound; ++i) {
    if (T_KEYBOARD_eGetScriptLine(acLine, nullptr, nullptr) != VALID_LINE) {
      if (s_u32CurOffset == 0) break;
      continue;
    }
    if (T_KEYBOARD_eGetCommand(acLine) == CHAPTER) {
      char acFound[kChapterNameSize];
      if (T_KEYBOARD_bGetToken(acFound, sizeof acFound, pcArguments(acLine)) && std::strcmp(acFound, acName) == 0) {
        bFound = true;
        u32Start = s_u32CurOffset;
      }
    }
    if (s_u32CurOffset == 0) break;
  }
  s_u32CurOffset = u32AfterMoreInfo;
  if (!bFound) {
    vSetError(ERR_NO_CHAPTER);
    return;
  }
  // Without an open chapter, an "ENDMOREINFO" or room on the stack, the offer is left out.
  if (!bEnd || s_stackTop < 0 || s_stackTop + 1 >= static_cast<S8>(kChapterStackSize)) {
    log_me("POS script: side chapter %s not offered", acName);
    return;
  }
  s_chptStack[s_stackTop].chapterResume = u32Resume;
  ++s_stackTop;
  CHAPTER_ITEM &item = s_chptStack[s_stackTop];
  std::snprintf(item.chapterName, sizeof item.chapterName, "%s", acName);
  item.chapterStart = u32Start;
  item.chapterResume = u32Start;
  s_curBalloon.bMoreInfo = TRUE;
}

// Whether a script may write the key: printable, and never a task's mailbox or a pointer.
bool bScriptMayWrite(FOURCHARID key, const char *pcKey) {
  for (int i = 0; i < 4; ++i) {
    if (!std::isgraph(static_cast<unsigned char>(pcKey[i]))) return false;
  }
  if (pcKey[0] == 'T') return false;
  DB_DATA_TYPE value;
  DB_ATTRIBUTES attributes = {};
  if (H_DATABASE_bFetch(key, &value, nullptr, &attributes) &&
      (attributes.DataType == D_MAILBOX || attributes.DataType == D_POINTER)) {
    return false;
  }
  return true;
}

void vSet(const char *pcArgs) {
  char acKey[5] = {};
  size_t szKey = 0;
  while (szKey < 4 && pcArgs[szKey] != '\0' && !bBlank(pcArgs[szKey])) {
    acKey[szKey] = pcArgs[szKey];
    ++szKey;
  }
  if (szKey < 4) {
    vSetError(ERR_NO_FCID);
    return;
  }
  char acValue[24];
  const char *pcValue = pcArgs[4] == '\0' ? pcArgs + 4 : pcArgs + 5;
  char *pcEnd = nullptr;
  if (!T_KEYBOARD_bGetToken(acValue, sizeof acValue, pcValue) || acValue[0] == '\0') {
    vSetError(ERR_NO_FCID_DATA);
    return;
  }
  const unsigned long ulValue = std::strtoul(acValue, &pcEnd, 0);
  if (pcEnd == acValue || *pcEnd != '\0') {
    vSetError(ERR_NO_FCID_DATA);
    return;
  }
  const FOURCHARID key = FCID(acKey);
  if (!bScriptMayWrite(key, acKey)) {
    log_me("POS script: SET %s refused", acKey);
    return;
  }
  H_DATABASE_bUpdateValueU32(key, static_cast<U32>(ulValue), P_NORMAL);
}

// Whole tenths of a second of "s" or "s.f"; FALSE without digits.
bool bTenths(const char *pc, U32 *pu32Tenths) {
  U32 u32Whole = 0;
  bool bDigits = false;
  for (; std::isdigit(static_cast<unsigned char>(*pc)); ++pc) {
    u32Whole = u32Whole * 10 + static_cast<U32>(*pc - '0');
    bDigits = true;
  }
  U32 u32Tenth = 0;
  if (*pc == '.' && std::isdigit(static_cast<unsigned char>(pc[1]))) {
    u32Tenth = static_cast<U32>(pc[1] - '0');
    bDigits = true;
  }
  *pu32Tenths = u32Whole * 10 + u32Tenth;
  return bDigits;
}

void vPhoto(const char *pcArgs) {
  char acName[kPhotoNameSize];
  if (!T_KEYBOARD_bGetToken(acName, sizeof acName, pcArgs) || acName[0] == '\0') {
    vRemovePhoto();
    vSetError(ERR_NO_NAME);
    return;
  }
  char acUpper[kPhotoNameSize];
  std::memcpy(acUpper, acName, sizeof acUpper);
  vUpper(acUpper);
  if (std::strcmp(acUpper, "OFF") == 0) {
    vRemovePhoto();
    return;
  }
  const std::string asPaths[] = {std::string(DD_SD_pcMountPoint(0)) + "/" + acName,
                                 std::string(DD_SD_pcMountPoint(1)) + "/" + acName,
                                 std::string(L_UTILS_cpGetPathnamePtr()) + "/posphoto/" + acName};
  for (const std::string &sPath : asPaths) {
    if (std::strcmp(acName, kTooLong) == 0) break;
    FILE *pFile = std::fopen(sPath.c_str(), "rb");
    if (pFile == nullptr) continue;
    std::fclose(pFile);
    if (T_VIEW_bRequestSnapshotImage(&s_pPhotoImage, sPath.c_str(), kPhotoSema)) {
      if (L_SEMA_WaitTicks(kPhotoSema, kPhotoWaitMs) != lsSUCCESS) log_me("POS photo %s: no answer", acName);
      s_bShowImage = TRUE;
      L_SEMA_Signal(SEMA_VIEW_UPDATE);
    }
    return;
  }
  vSetError(ERR_NO_PHOTO);
}

void vDefaultExitBox() {
  const U32 u32Width = G_STRING_u32GetWidth(std_11x14_font_def_ptr, Press_exit_to_leave_demo[nCurrentLanguage()]);
  s_exitBoxAnchor = {776 - static_cast<PIXEL>(u32Width), 20};
}

void vExitMessageBox(const char *pcArgs) {
  S32 x = 0, y = 0;
  const char *pc = pcNumber(pcArgs, &x);
  if (pc != nullptr && pcNumber(pc, &y) != nullptr && x >= 0 && y >= 0 && x < SCREEN_PIXELS_WIDE &&
      y < SCREEN_PIXELS_HIGH) {
    s_exitBoxAnchor = {x, y};
    return;
  }
  vDefaultExitBox();
}

// The balloon's text from the pen position: one line per LF, 23 pixels apart, with the annotations.
void vDrawBalloonText(BITMAP *pBitmap, const D_BALLOON &b, PIXEL xLeft, PIXEL yFirst) {
  const FONT_DEF *pFont = std_11x14_font_def_ptr;
  const COLOR c = colour(32);
  POINT pen = {xLeft, yFirst};
  char acRun[sizeof b.text];
  size_t szRun = 0;
  auto flush = [&] {
    acRun[szRun] = '\0';
    if (szRun > 0) G_STRING_vPut(pBitmap, c, &pen, pFont, acRun);
    szRun = 0;
  };
  for (const char *pc = b.text; *pc != '\0' && *pc != '\r'; ++pc) {
    if (*pc == '\n') {
      flush();
      pen = {xLeft, pen.y - 23};
      continue;
    }
    char acKind[2];
    const int nLength = *pc == '[' ? nAnnotation(pc + 1, acKind) : -1;
    if (nLength < 0) {
      acRun[szRun++] = *pc;
      continue;
    }
    flush();
    if (acKind[0] == 'B' && acKind[1] == 'U') {
      const POINT centre = {pen.x + 5, pen.y + 7};
      G_CIRCLE_vDrawFilled(pBitmap, c, &centre, 10);
      pen.x += 13;
    } else if (acKind[0] == 'H') {
      pen.x += s32AnnotationNumber(pc + 1, nLength);
    } else if (acKind[0] == 'V') {
      if (pen.x != xLeft) pen = {xLeft, pen.y - 23};
      pen.y -= s32AnnotationNumber(pc + 1, nLength);
    }
    pc += nLength + 1;
    while (pc[1] == ' ' || pc[1] == '\t') ++pc;
  }
  flush();
}

void vDrawBalloon(BITMAP *pBitmap, const D_BALLOON &b) {
  const PIXEL x = b.llAnchor.x, y = b.llAnchor.y;
  const U32 w = b.widthPixels, lines = b.heightLines;
  const POINT outer = {x, y}, frame = {x + 1, y + 1}, panel = {x + 9, y + 9};
  G_BOX_vDrawRoundedFilled(pBitmap, colour(35), &outer, w + 18, lines * 20 + 64, 11);
  G_BOX_vDrawRoundedFilled(pBitmap, colour(32), &frame, w + 16, lines * 20 + 62, 11);
  G_BOX_vDrawRoundedFilled(pBitmap, colour(35), &panel, w, lines * 20 + 46, 7);
  const POINT bar = {panel.x, panel.y + static_cast<PIXEL>(lines * 20 + 17)};
  G_BOX_vDrawFilled(pBitmap, colour(32), &bar, w, 3);
  POINT title = {panel.x + 3, bar.y + 3 + 9};
  G_STRING_vPut(pBitmap, colour(32), &title, std_16x17_font_def_ptr, b.title);
  vDrawBalloonText(pBitmap, b, panel.x + 3, panel.y + static_cast<PIXEL>(lines * 20));
  if (b.bMoreInfo) {
    G_BOX_vDrawFilled(pBitmap, colour(32), &panel, w, 20);
    POINT text = {panel.x + 3, panel.y + 3};
    G_STRING_vPut(pBitmap, colour(35), &text, std_11x14_font_def_ptr,
                  Press_for_more_information[nCurrentLanguage()]);
  }
}

void vDrawPhoto(BITMAP *pBitmap) {
  if (!s_bShowImage || s_pPhotoImage == nullptr) return;
  const POINT origin = {0, 0};
  const U32 u32Width = static_cast<U32>(std::min(pBitmap->pixels_wide, s_pPhotoImage->pixels_wide));
  const U32 u32Height = static_cast<U32>(std::min(pBitmap->pixels_high, s_pPhotoImage->pixels_high));
  G_BMP_vPlaceLogicalOnLogical(pBitmap, &origin, s_pPhotoImage, &origin, u32Width, u32Height);
}

void vDrawExitBox(BITMAP *pBitmap) {
  if (s_exitBoxAnchor.x < 0 || s_exitBoxAnchor.y < 0) return;
  const char *pcText = Press_exit_to_leave_demo[nCurrentLanguage()];
  const U32 u32Width = G_STRING_u32GetWidth(std_11x14_font_def_ptr, pcText);
  const POINT outer = s_exitBoxAnchor, inner = {outer.x + 1, outer.y + 1};
  G_BOX_vDrawRoundedFilled(pBitmap, colour(35), &outer, u32Width + 14, 28, 11);
  G_BOX_vDrawRoundedFilled(pBitmap, colour(32), &inner, u32Width + 12, 26, 11);
  POINT text = {outer.x + 7, outer.y + 7};
  G_STRING_vPut(pBitmap, colour(35), &text, std_11x14_font_def_ptr, pcText);
}

struct KEY_NAME {
  const char *pcName;
  U32 u32Key;
  CURSOR_POSITION cursor;
};
const KEY_NAME kKeyNames[] = {
    {"POWER", KEY_BIT_POWER, CURSOR_ILLEGAL},       {"VIEW", KEY_BIT_VIEW, CURSOR_ILLEGAL},
    {"MENU", KEY_BIT_MENU, CURSOR_ILLEGAL},         {"EXIT", KEY_BIT_EXIT, CURSOR_ILLEGAL},
    {"CURSOR_RIGHT", KEY_BIT_CURSOR, CURSOR_EAST},  {"CURSOR_LEFT", KEY_BIT_CURSOR, CURSOR_WEST},
    {"CURSOR_DOWN", KEY_BIT_CURSOR, CURSOR_SOUTH},  {"CURSOR_UP", KEY_BIT_CURSOR, CURSOR_NORTH},
    {"+", KEY_BIT_ZOOM_IN, CURSOR_ILLEGAL},         {"-", KEY_BIT_ZOOM_OUT, CURSOR_ILLEGAL},
    {"MARK", KEY_BIT_MARK, CURSOR_ILLEGAL},         {"GOTO", KEY_BIT_GOTO, CURSOR_ILLEGAL},
    {"INFO", KEY_BIT_INFO, CURSOR_ILLEGAL},         {"SOFT1", KEY_BIT_SOFT_KEY_1, CURSOR_ILLEGAL},
    {"SOFT2", KEY_BIT_SOFT_KEY_2, CURSOR_ILLEGAL},  {"SOFT3", KEY_BIT_SOFT_KEY_3, CURSOR_ILLEGAL},
};

struct COMMAND_NAME {
  const char *pcName;
  POS_COMMAND eCommand;
};
const COMMAND_NAME kCommands[] = {
    {"CHAPTER", CHAPTER},         {"ENDCHAPTER", END_CHAPTER},   {"VIEW", CHANGE_VIEW},
    {"KEY", CHANGE_KEY},          {"WAIT", WAIT},                {"BALLOON", BALLOON},
    {"ENDBALLOON", END_BALLOON},  {"NOBALLOON", NO_BALLOON},     {"MOREINFO", MORE_INFO},
    {"ENDMOREINFO", END_MORE_INFO}, {"SET", SET_DB_ITEM},        {"TORVALINON", TORVALINON},
    {"TORVALINOFF", TORVALINOFF}, {"PHOTO", PHOTO},              {"EXITMESSAGEBOX", EXIT_MESSAGE_BOX},
};

}  // namespace

SCRIPT_LINE T_KEYBOARD_eGetScriptLine(char *pcLine, U32 *pu32LineOffset, const U32 *pu32From) {
  const BYTE *d = s_pPOS_FileData;
  const U32 n = d != nullptr ? s_POS_FileSize : 0;
  pcLine[0] = '\0';
  if (pu32From != nullptr) s_u32CurOffset = *pu32From;
  U32 at = s_u32CurOffset < n ? s_u32CurOffset : n;
  while (at < n && std::isspace(d[at])) ++at;
  if (at >= n) {
    s_u32CurOffset = 0;
    return BLANK_LINE;
  }
  if (at + 1 < n && d[at] == '/' && d[at + 1] == '/') {
    while (at < n && d[at] != '\n') ++at;
    if (at < n) ++at;
    if (at < n && d[at] == '\r') ++at;
    s_u32CurOffset = at < n ? at : 0;
    return COMMENT_LINE;
  }
  const U32 u32Start = at;
  U32 u32Length = 0;
  for (; at < n && d[at] != '\r' && d[at] != '\n'; ++at) {
    if (u32Length < kLineSize - 1) pcLine[u32Length++] = static_cast<char>(d[at]);
  }
  while (at < n && (d[at] == '\r' || d[at] == '\n')) ++at;
  while (u32Length > 0 && std::isspace(static_cast<unsigned char>(pcLine[u32Length - 1]))) --u32Length;
  pcLine[u32Length] = '\0';
  if (pu32LineOffset != nullptr) *pu32LineOffset = u32Start;
  s_u32CurOffset = at < n ? at : 0;
  return VALID_LINE;
}

BOOLEAN T_KEYBOARD_bGetToken(char *pcToken, U32 u32Size, const char *pcStart) {
  pcToken[0] = '\0';
  if (pcStart == nullptr || *pcStart == '\0') return FALSE;
  size_t szLength = 0;
  while (pcStart[szLength] != '\0' && !bBlank(pcStart[szLength])) ++szLength;
  if (szLength >= u32Size) {
    std::snprintf(pcToken, u32Size, "%s", kTooLong);
    return TRUE;
  }
  std::memcpy(pcToken, pcStart, szLength);
  pcToken[szLength] = '\0';
  return TRUE;
}

POS_COMMAND T_KEYBOARD_eGetCommand(const char *pcLine) {
  char acWord[kCommandSize];
  if (!T_KEYBOARD_bGetToken(acWord, sizeof acWord, pcLine)) return BAD_COMMAND;
  vUpper(acWord);
  for (const COMMAND_NAME &command : kCommands) {
    if (std::strcmp(acWord, command.pcName) == 0) return command.eCommand;
  }
  return BAD_COMMAND;
}

void T_KEYBOARD_vHandlePOSKeyChange(const char *pcLine) {
  char acName[kKeyNameSize];
  if (!T_KEYBOARD_bGetToken(acName, sizeof acName, pcLine) || acName[0] == '\0') {
    vSetError(ERR_NO_KEY);
    return;
  }
  vUpper(acName);
  for (const KEY_NAME &key : kKeyNames) {
    if (std::strcmp(acName, key.pcName) != 0) continue;
    T_KEYBOARD_bSendToFirstUserExcept(key.u32Key, M_KEYB, KEY_DOWN, 1, key.cursor);
    return;
  }
  vSetError(ERR_BAD_KEY);
}

void T_KEYBOARD_vPOSInit(void) { s_bUseDefaultPOS = FALSE; }

void T_KEYBOARD_vHandleSystemStart(void) {
  H_DATABASE_bRegisterForDataWithConditions(FCID("CCST"), M_KEYB, TRUE, FALSE, FALSE);
  if (!bPointOfSale()) return;
  s_bPOSMode = TRUE;
  vWriteBoolean(FCID("CKCK"), FALSE);
  H_DATABASE_bRegisterForDataWithConditions(FCID("CSD0"), M_KEYB, TRUE, FALSE, FALSE);
  H_DATABASE_bRegisterForDataWithConditions(FCID("CSD1"), M_KEYB, TRUE, FALSE, FALSE);
  if (!s_bTutorialStarted) {
    s_exitBoxAnchor = {-1, -1};
    vStartPOSTimer(100);
  }
  if (!s_bInTutorial || s_bUseDefaultPOS) {
    vRegisterMessageLayer();
    L_SEMA_Signal(SEMA_VIEW_UPDATE);
  }
  T_KEYBOARD_vSendResetMessages();
}

void T_KEYBOARD_vPOSHandleNewData(const MESSAGE_NEW_DATA *pMsg) {
  switch (pMsg->FourCharId) {
    case FCID("CCST"):
      if (pMsg->dbValue.u32Val == static_cast<U32>(STATE_POINT_OF_SALE)) {
        s_bPOSMode = TRUE;
        vWriteBoolean(FCID("CKCK"), FALSE);
        vStartPOSTimer(2);
        vRegisterMessageLayer();
        L_SEMA_Signal(SEMA_VIEW_UPDATE);
        T_KEYBOARD_vSendResetMessages();
      } else {
        s_bPOSMode = FALSE;
        vWriteBoolean(FCID("CKCK"), TRUE);
        U_VIEW_bUnRegisterLayer(POS_MESSAGE_LAYER);
        vReleasePOSTimer();
      }
      break;
    case FCID("CSD0"):
    case FCID("CSD1"): {
      // Only a unit still on the shelf takes up a new card's script.
      if (!s_bPOSMode) break;
      const U32 u32Slot = pMsg->FourCharId == FCID("CSD0") ? 0 : 1;
      L_MUTEX_LockWait(RES_POS_TUTORIAL);
      if (FILE *pFile = std::fopen(sCardScriptPath(u32Slot).c_str(), "rb")) {
        std::fclose(pFile);
        T_KEYBOARD_vRestartTutorial();
      }
      L_MUTEX_Unlock(RES_POS_TUTORIAL);
      break;
    }
    case FCID("SDBV"):
      if (!pMsg->dbValue.u32Val) vWriteBoolean(FCID("CDSM"), FALSE);
      break;
    default:
      break;
  }
}

void T_KEYBOARD_vPOSTimerExpired(void) {
  if (!s_bTutorialStarted) {
    s_bTutorialStarted = TRUE;
    T_KEYBOARD_vSendResetMessages();
    T_KEYBOARD_vHandleTutorialStart();
  } else if (s_bUseDefaultPOS) {
    T_KEYBOARD_vHandlePOSReset();
  } else {
    T_KEYBOARD_vProcessPOSScript();
  }
}

void T_KEYBOARD_vPOSKeyActivity(void) {
  if (!(s_bUseDefaultPOS || !s_bInTutorial) || !s_bPOSMode) return;
  if (!s_bPOSKeyPressDetected) {
    s_bPOSKeyPressDetected = TRUE;
    vWriteBoolean(FCID("CKCK"), TRUE);
    H_DATABASE_bUpdateValueU32(FCID("SCPP"), 0, P_NORMAL);
  }
  vStartPOSTimer(kFreeUseMs);
  U_VIEW_bUnRegisterLayer(POS_MESSAGE_LAYER);
  L_SEMA_Signal(SEMA_VIEW_UPDATE);
}

BOOLEAN T_KEYBOARD_bPOSHandleKeyChange(const MSG_KEY_CHANGE *pMsg) {
  if (!s_bInTutorial) return FALSE;
  const bool bPress = pMsg->state == KEY_DOWN;
  if (pMsg->key == KEY_BIT_EXIT) {
    vWriteBoolean(FCID("CKCK"), TRUE);
    if (bPress) {
      L_MUTEX_LockWait(RES_POS_TUTORIAL);
      T_KEYBOARD_vRestartTutorial();
      vStartPOSTimer(kFreeUseMs);
      L_SEMA_Signal(SEMA_KEYCLICK_GOOD);
      L_MUTEX_Unlock(RES_POS_TUTORIAL);
    }
    return TRUE;
  }
  if (pMsg->key == KEY_BIT_CURSOR && pMsg->cursor == CURSOR_EAST && bPress) {
    vWriteBoolean(FCID("CKCK"), TRUE);
    L_MUTEX_LockWait(RES_POS_TUTORIAL);
    if (s_curBalloon.bMoreInfo && s_activeChapter < s_stackTop) {
      T_KEYBOARD_vSendResetMessages();
      ++s_activeChapter;
      s_u32CurOffset = s_chptStack[s_activeChapter].chapterStart;
      L_SEMA_Signal(SEMA_KEYCLICK_GOOD);
    } else {
      L_SEMA_Signal(SEMA_KEYCLICK_BAD);
    }
    L_MUTEX_Unlock(RES_POS_TUTORIAL);
    return TRUE;
  }
  if (bPress) {
    vWriteBoolean(FCID("CKCK"), TRUE);
    L_SEMA_Signal(SEMA_KEYCLICK_BAD);
  } else if (pMsg->state == KEY_UP) {
    vWriteBoolean(FCID("CKCK"), FALSE);
  }
  return TRUE;
}

void T_KEYBOARD_vHandlePOSReset(void) {
  if (!bPointOfSale()) {
    vReleasePOSTimer();
    s_bPOSMode = FALSE;
    U_VIEW_bUnRegisterLayer(POS_MESSAGE_LAYER);
    L_SEMA_Signal(SEMA_VIEW_UPDATE);
    return;
  }
  if (s_bPOSKeyPressDetected) {
    vStartPOSTimer(2);
    s_bPOSKeyPressDetected = FALSE;
    vWriteBoolean(FCID("CKCK"), FALSE);
    T_KEYBOARD_vSendResetMessages();
    s_u32POSScriptIndex = 0;
    vRegisterMessageLayer();
    L_SEMA_Signal(SEMA_VIEW_UPDATE);
    return;
  }
  const POS_SCRIPT_ITEM &item = s_scriptItems[s_u32POSScriptIndex];
  if (item.changeView != NO_VIEW_PRIORITY) {
    H_DATABASE_bUpdateValueU32(FCID("CVEW"), static_cast<U32>(item.changeView), P_NORMAL);
  }
  if (item.changeDatabaseItem != 0) {
    H_DATABASE_bUpdateValueU32(item.changeDatabaseItem, item.changeDatabaseItemTo, P_NORMAL);
  }
  U32 u32Mbox = 0;
  if (item.issueKeyStroke != 0 && H_DATABASE_bFetchU32(item.sendKeyTo, &u32Mbox, nullptr, nullptr)) {
    auto *pMsg = static_cast<MSG_KEY_CHANGE *>(H_MEMORY_pvCalloc(1, sizeof(MSG_KEY_CHANGE)));
    pMsg->header.Cmd = CMD_ID_KEY_CHANGE;
    pMsg->key = item.issueKeyStroke;
    pMsg->state = item.changeKeyState;
    pMsg->count = item.repeatCount;
    pMsg->cursor = item.changeCursorPosition;
    if (L_MBOX_Send(static_cast<MBOX>(u32Mbox), pMsg, NORMAL_PRIORITY, 0) != lsSUCCESS) H_MEMORY_vFree(pMsg);
  }
  vStartPOSTimer(item.delayToNextState);
  s_u32POSScriptIndex = (s_u32POSScriptIndex + 1) % 4;
}

void T_KEYBOARD_vHandleTutorialStart(void) {
  vFreeScript();
  if (!bLoadCardScript(sCardScriptPath(0)) && !bLoadCardScript(sCardScriptPath(1))) {
    const U32 u32Language = nCurrentLanguage();
    if (s_pcTestScript != nullptr) {
      s_pPOS_FileData = reinterpret_cast<const BYTE *>(s_pcTestScript);
      s_POS_FileSize = static_cast<U32>(std::strlen(s_pcTestScript));
    } else if (u32Language < POS_SCRIPT_LANGUAGES) {
      s_pPOS_FileData = s_internalScripts[u32Language].data;
      s_POS_FileSize = s_internalScripts[u32Language].data != nullptr ? s_internalScripts[u32Language].dataSize : 0;
    }
  }
  if (s_pPOS_FileData == nullptr || s_POS_FileSize == 0) {
    s_bUseDefaultPOS = TRUE;
    vRegisterMessageLayer();
    vStartPOSTimer(100);
    return;
  }
  s_bUseDefaultPOS = FALSE;
  U_KEYBOARD_bRegisterKeys(M_KEYB, 0xFFFE, KEY_CHANGE, FALSE, FALSE, CURSOR_4, REGISTER_POS_TUTORIAL);
  vWriteBoolean(FCID("CKCK"), FALSE);
  H_DATABASE_bUpdateEverythingBoolean(FCID("SDBV"), TRUE, P_DEFAULT_SETTING, D_UNKNOWN, Demo_Balloons,
                                      DB_NO_TIMEOUT);
  H_DATABASE_bRegisterForDataWithConditions(FCID("SDBV"), M_KEYB, TRUE, FALSE, FALSE);
  static const MENU_TITLE kChoices[] = {&Hidden, &s_Visible};
  static const U32 kValues[] = {0, 1};
  U_MENU_bRegisterMainSelectorMenu(&Demo_Balloons, &Setup, MENU_PRIORITY_0, FCID("SDBV"), 2, kChoices, kValues,
                                   M_ADVANCED);
  vDefaultExitBox();
  vRegisterMessageLayer();
  vStartPOSTimer(100);
  s_bInTutorial = TRUE;
}

void T_KEYBOARD_vRestartTutorial(void) {
  s_scriptError = NO_ERROR;
  s_bTutorialStarted = FALSE;
  s_bInTutorial = FALSE;
  s_bPOSKeyPressDetected = FALSE;
  s_u32CurOffset = 0;
  std::memset(&s_curBalloon, 0, sizeof s_curBalloon);
  s_stackTop = -1;
  s_activeChapter = -1;
  s_exitBoxAnchor = {-1, -1};
  s_u32PreambleCount = kPreambleAfterRestart;
  vFreeScript();
  vRemovePhoto();
  U_KEYBOARD_bUnregisterKeys(M_KEYB, 0xFFFE);
  vWriteBoolean(FCID("CDSM"), FALSE);
  vStartPOSTimer(100);
}

void T_KEYBOARD_vProcessPOSScript(void) {
  if (s_u32PreambleCount != 0) {
    --s_u32PreambleCount;
    if (s_u32PreambleCount != 0) {
      T_KEYBOARD_vHandlePOSKeyChange("VIEW");
      vStartPOSTimer(10000);
      return;
    }
    if (bFetchBoolean(FCID("SDBV"))) vWriteBoolean(FCID("CDSM"), TRUE);
  }
  if (s_scriptError != NO_ERROR) return;
  U32 u32Next = 100;
  U32 u32LineOffset = 0;
  if (!bNextValidLine(s_aTextLine, &u32LineOffset)) {
    vStartPOSTimer(u32Next);
    return;
  }
  const char *pcArgs = pcArguments(s_aTextLine);
  switch (T_KEYBOARD_eGetCommand(s_aTextLine)) {
    case CHAPTER: {
      char acName[kChapterNameSize];
      if (!T_KEYBOARD_bGetToken(acName, sizeof acName, pcArgs) || acName[0] == '\0') {
        vSetError(ERR_NO_CHAPTER);
        break;
      }
      if (s_stackTop < 0) {
        vUpper(acName);
        std::snprintf(s_chptStack[0].chapterName, sizeof s_chptStack[0].chapterName, "%s", acName);
        s_chptStack[0].chapterStart = s_u32CurOffset;
        s_chptStack[0].chapterResume = s_u32CurOffset;
        s_stackTop = 0;
        s_activeChapter = 0;
      }
      break;
    }
    case END_CHAPTER:
      if (s_activeChapter > 0) {
        T_KEYBOARD_vSendResetMessages();
        --s_activeChapter;
        // The side chapter is done with: the one it came from is the top again.
        s_stackTop = s_activeChapter;
        s_curBalloon.bMoreInfo = FALSE;
        s_u32CurOffset = s_chptStack[s_activeChapter].chapterResume;
      } else if (s_activeChapter == 0) {
        s_u32CurOffset = s_chptStack[0].chapterStart;
      }
      break;
    case CHANGE_VIEW: {
      if (*pcArgs == '\0') {
        vSetError(ERR_NO_VIEW);
      } else if (std::strlen(pcArgs) >= kViewNameSize) {
        vSetError(ERR_BAD_VIEW);
      } else {
        char acName[kViewNameSize];
        std::snprintf(acName, sizeof acName, "%s", pcArgs);
        vUpper(acName);
        const LAYER_ID view = T_VIEW_GetSelectableView(acName);
        if (view == UNKNOWN_VIEW) {
          vSetError(ERR_BAD_VIEW);
        } else {
          H_DATABASE_bUpdateValueU32(FCID("CVEW"), static_cast<U32>(view), P_NORMAL);
        }
      }
      L_SEMA_Signal(SEMA_VIEW_UPDATE);
      break;
    }
    case CHANGE_KEY:
      T_KEYBOARD_vHandlePOSKeyChange(pcArgs);
      break;
    case WAIT: {
      char acValue[kWaitSize];
      U32 u32Tenths = 0;
      if (!T_KEYBOARD_bGetToken(acValue, sizeof acValue, pcArgs) || !bTenths(acValue, &u32Tenths)) {
        vSetError(ERR_NO_WAIT);
        break;
      }
      vStartPOSTimer(u32Tenths * 100);
      return;
    }
    case BALLOON:
      vBalloon(pcArgs);
      break;
    case NO_BALLOON:
      s_curBalloon.bActive = FALSE;
      L_SEMA_Signal(SEMA_VIEW_UPDATE);
      break;
    case MORE_INFO:
      vMoreInfo(pcArgs);
      break;
    case END_MORE_INFO:
      if (s_activeChapter != s_stackTop && s_stackTop > 0) {
        --s_stackTop;
        s_curBalloon.bMoreInfo = FALSE;
      }
      L_SEMA_Signal(SEMA_VIEW_UPDATE);
      break;
    case SET_DB_ITEM:
      vSet(pcArgs);
      u32Next = 300;
      break;
    case TORVALINON:
      U_CHART_GENERIC_vSetPOSMode(TRUE);
      break;
    case TORVALINOFF:
      U_CHART_GENERIC_vSetPOSMode(FALSE);
      break;
    case PHOTO:
      vPhoto(pcArgs);
      break;
    case EXIT_MESSAGE_BOX:
      vExitMessageBox(pcArgs);
      L_SEMA_Signal(SEMA_VIEW_UPDATE);
      break;
    default:
      break;
  }
  vStartPOSTimer(u32Next);
}

void T_KEYBOARD_vDrawPOSMessage(BITMAP *pBitmap, WINDOW_SPECIFICATION_POINTER) {
  if (s_bUseDefaultPOS) {
    const POS_SCRIPT_ITEM &item = s_scriptItems[(s_u32POSScriptIndex + 3) % 4];
    if (item.pMessageString != nullptr) {
      U_DIALOG_vDrawMessageBlockOutlined(pBitmap, (*item.pMessageString)[nCurrentLanguage()],
                                         std_11x14_font_def_ptr, 0, JUSTIFICATION_CENTER, JUSTIFICATION_BOTTOM,
                                         &item.anchor, item.boxWidth, colour(35), colour(32), colour(32));
    }
    return;
  }
  L_MUTEX_LockWait(RES_POS_TUTORIAL);
  if (s_scriptError != NO_ERROR) {
    const char *pcText = errorMessages[s_scriptError];
    U32 u32Width = G_STRING_u32GetWidth(std_16x17_font_def_ptr, pcText) + 9;
    const U32 u32Max = static_cast<U32>(pBitmap->pixels_wide) - 10;
    if (u32Width > u32Max) u32Width = u32Max;
    U_DIALOG_vDrawDialog(pBitmap, pcText, std_16x17_font_def_ptr, 0, static_cast<U16>(u32Width), nullptr, nullptr,
                         JUSTIFICATION_CENTER, JUSTIFICATION_SCREEN_CENTER);
  } else if (s_curBalloon.bActive) {
    vDrawPhoto(pBitmap);
    vDrawBalloon(pBitmap, s_curBalloon);
  } else {
    vDrawPhoto(pBitmap);
  }
  vDrawExitBox(pBitmap);
  L_MUTEX_Unlock(RES_POS_TUTORIAL);
}

void T_KEYBOARD_vPOSResetForTest(void) {
  vReleasePOSTimer();
  vFreeScript();
  vRemovePhoto();
  s_bPOSMode = s_bTutorialStarted = s_bInTutorial = s_bUseDefaultPOS = s_bPOSKeyPressDetected = FALSE;
  s_u32POSScriptIndex = 0;
  s_u32CurOffset = 0;
  s_scriptError = NO_ERROR;
  s_u32PreambleCount = kPreambleAfterStart;
  s_stackTop = s_activeChapter = -1;
  std::memset(&s_curBalloon, 0, sizeof s_curBalloon);
  s_exitBoxAnchor = {-1, -1};
  s_pcTestScript = nullptr;
}

void T_KEYBOARD_vPOSSetBuiltInScriptForTest(const char *pcScript) { s_pcTestScript = pcScript; }
U32 T_KEYBOARD_u32POSTimerRemainingForTest(void) { return L_TIMER_GetRemaining(s_pPOSTimer); }
ERROR_CODE T_KEYBOARD_ePOSErrorForTest(void) { return s_scriptError; }
BOOLEAN T_KEYBOARD_bPOSBalloonActiveForTest(void) { return s_curBalloon.bActive; }
const char *T_KEYBOARD_pcPOSBalloonTextForTest(void) { return s_curBalloon.text; }
BOOLEAN T_KEYBOARD_bPOSFlagForTest(char cWhich) {
  switch (cWhich) {
    case 'M': return s_bPOSMode;
    case 'S': return s_bTutorialStarted;
    case 'T': return s_bInTutorial;
    case 'D': return s_bUseDefaultPOS;
    case 'K': return s_bPOSKeyPressDetected;
    case 'I': return s_bShowImage;
    case 'X': return s_bUsingExtScript;
    case 'O': return s_curBalloon.bMoreInfo;
    default: return FALSE;
  }
}
U32 T_KEYBOARD_u32POSScriptIndexForTest(void) { return s_u32POSScriptIndex; }
S32 T_KEYBOARD_s32POSActiveChapterForTest(void) { return s_activeChapter; }
