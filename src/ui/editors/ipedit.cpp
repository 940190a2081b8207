// The network address editor and the confirmation queue of the start-up task.
#include "ui/editors/ipedit.h"

#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "draw/box.h"
#include "draw/color.h"
#include "draw/icon_data.h"
#include "draw/line.h"
#include "draw/string.h"
#include "kernel/log.h"
#include "kernel/memory.h"
#include "kernel/sema.h"
#include "ui/menu/menu_draw_arrows.h"

namespace {

const ARRAY_OF_STRING_PTRS IP_Address_Setup = SAME22("IP Address Setup");
const ARRAY_OF_STRING_PTRS Mode = SAME22("Mode");
const ARRAY_OF_STRING_PTRS Address = SAME22("Address");
const ARRAY_OF_STRING_PTRS Subnet = SAME22("Subnet");
const ARRAY_OF_STRING_PTRS Mask = SAME22("Mask");
const ARRAY_OF_STRING_PTRS Default = SAME22("Default");
const ARRAY_OF_STRING_PTRS Gateway = SAME22("Gateway");
const ARRAY_OF_STRING_PTRS Save = SAME22("Save");
const ARRAY_OF_STRING_PTRS Dynamic = SAME22("Dynamic");
const ARRAY_OF_STRING_PTRS Static = SAME22("Static");
const ARRAY_OF_STRING_PTRS Save_Changes = SAME22("Save Changes?");
const ARRAY_OF_STRING_PTRS Confirm = SAME22("Confirm:");
const ARRAY_OF_STRING_PTRS No = SAME22("No");
const ARRAY_OF_STRING_PTRS Yes = SAME22("Yes");

constexpr U32 kKeysButRocker = 0xFFEF;
constexpr U32 kAllKeysButPower = 0xFFFE;
constexpr U16 kConfWrapWidth = 533;
constexpr U8 kMacPrefix[3] = {0x02, 0xC0, 0x7A};  // locally administered

STARTUP_EDIT_STATE s_eStartupEditState = STARTUP_EDIT_NONE;
IPA_EDIT_INFO s_IPAddressEdit = {};
STARTUP_CONF_NODE *s_pConf = nullptr;

void registerKeys() {
  U_KEYBOARD_bRegisterKeys(M_STARTUP, kKeysButRocker, KEY_DOWN, FALSE, FALSE, NOT_CURSOR_KEY, REGISTER_DIALOG_BOX);
  U_KEYBOARD_bRegisterKeys(M_STARTUP, KEY_BIT_CURSOR, KEY_DOWN, TRUE, TRUE, CURSOR_4, REGISTER_DIALOG_BOX);
}

void closeEditor() {
  s_eStartupEditState = STARTUP_EDIT_NONE;
  // A box still queued keeps the keys: they go back with the last box.
  if (s_pConf == nullptr) U_KEYBOARD_bUnregisterKeys(M_STARTUP, kAllKeysButPower);
  U_VIEW_bUnRegisterLayer(STARTUP_EDIT_LAYER);
}

void click(BOOLEAN bGood, U32 u32Count) {
  if (u32Count <= 1) L_SEMA_Signal(bGood ? SEMA_KEYCLICK_GOOD : SEMA_KEYCLICK_BAD);
}

void cancel() {
  closeEditor();
  L_SEMA_Signal(SEMA_KEYCLICK_GOOD);
}

U32 fetchAddress(FOURCHARID fcid) {
  U32 u32Value = 0;
  if (!H_DATABASE_bFetchU32(fcid, &u32Value, nullptr, nullptr)) u32Value = 0;
  return u32Value;
}

void formatAddress(U32 u32Value, const char *pcFormat, char *sAddress) {
  std::snprintf(sAddress, 16, pcFormat, static_cast<int>(u32Value >> 24), static_cast<int>((u32Value >> 16) & 0xFF),
                static_cast<int>((u32Value >> 8) & 0xFF), static_cast<int>(u32Value & 0xFF));
}

// The text a value state edits.
char *valueText(IPA_EDIT_STATE eState) {
  switch (eState) {
    case IPA_EDIT_ADDR_VALUE: return s_IPAddressEdit.sIPAddress;
    case IPA_EDIT_MASK_VALUE: return s_IPAddressEdit.sSubnetMask;
    case IPA_EDIT_GATE_VALUE: return s_IPAddressEdit.sDefaultGateway;
    default: return nullptr;
  }
}

// The dotted text as a value, first octet highest; parts that are not numbers count 0.
U32 parseAddress(const char *pcText) {
  char acCopy[IPA_TEXT_SIZE + 1];
  std::snprintf(acCopy, sizeof acCopy, "%s.", pcText);
  U32 u32Value = 0;
  char *pcPart = acCopy;
  for (int nPart = 0; nPart < 4; ++nPart) {
    char *pcDot = std::strchr(pcPart, '.');
    U32 u32Octet = 0;
    if (pcDot != nullptr) {
      *pcDot = '\0';
      u32Octet = static_cast<U32>(std::strtoul(pcPart, nullptr, 10)) & 0xFF;
      pcPart = pcDot + 1;
    }
    u32Value = (u32Value << 8) | u32Octet;
  }
  return u32Value;
}

BOOLEAN toggleMode() {
  s_IPAddressEdit.nMode = s_IPAddressEdit.nMode == 0 ? 1 : 0;
  s_IPAddressEdit.bDirty = TRUE;
  return TRUE;
}

BOOLEAN stepOctet(int nStep) {
  char *pcText = valueText(s_IPAddressEdit.eState);
  const S32 nPos = s_IPAddressEdit.nPosition;
  if (pcText == nullptr || nPos < 0 || nPos + 3 > static_cast<S32>(std::strlen(pcText))) return TRUE;
  int nValue = 0;
  for (int i = 0; i < 3; ++i) {
    const char c = pcText[nPos + i];
    nValue = nValue * 10 + (std::isdigit(static_cast<unsigned char>(c)) ? c - '0' : 0);
  }
  if (nStep > 0) {
    nValue = nValue >= 255 ? 0 : nValue + 1;
  } else {
    nValue = nValue <= 0 ? 255 : nValue - 1;
  }
  pcText[nPos] = static_cast<char>('0' + nValue / 100);
  pcText[nPos + 1] = static_cast<char>('0' + nValue / 10 % 10);
  pcText[nPos + 2] = static_cast<char>('0' + nValue % 10);
  s_IPAddressEdit.bDirty = TRUE;
  return TRUE;
}

BOOLEAN octetUp() { return stepOctet(+1); }
BOOLEAN octetDown() { return stepOctet(-1); }

BOOLEAN nextOctet() {
  const char *pcText = valueText(s_IPAddressEdit.eState);
  const S32 nLength = pcText != nullptr ? static_cast<S32>(std::strlen(pcText)) : 0;
  S32 nPos = s_IPAddressEdit.nPosition + 4;
  while (nPos < nLength && !std::isdigit(static_cast<unsigned char>(pcText[nPos]))) ++nPos;
  if (nPos > 12 || nPos >= nLength) {
    s_IPAddressEdit.eState = IPA_EDIT_SAVE;
    nPos = 0;
  }
  s_IPAddressEdit.nPosition = nPos;
  return TRUE;
}

BOOLEAN previousOctet() {
  if (s_IPAddressEdit.nPosition <= 0) {
    s_IPAddressEdit.eState = static_cast<IPA_EDIT_STATE>(s_IPAddressEdit.eState - 1);
    s_IPAddressEdit.nPosition = 0;
    return TRUE;
  }
  const char *pcText = valueText(s_IPAddressEdit.eState);
  S32 nPos = s_IPAddressEdit.nPosition - 4;
  if (nPos < 0) nPos = 0;
  while (nPos > 0 && pcText != nullptr && std::isdigit(static_cast<unsigned char>(pcText[nPos - 1]))) --nPos;
  s_IPAddressEdit.nPosition = nPos;
  return TRUE;
}

BOOLEAN modeDown() {
  s_IPAddressEdit.eState = s_IPAddressEdit.nMode != 0 ? IPA_EDIT_SAVE : IPA_EDIT_ADDR;
  s_IPAddressEdit.nPosition = 0;
  return TRUE;
}

BOOLEAN saveUp() {
  s_IPAddressEdit.eState = s_IPAddressEdit.nMode != 0 ? IPA_EDIT_MODE : IPA_EDIT_GATE;
  s_IPAddressEdit.nPosition = 0;
  return TRUE;
}

void save() {
  auto *pMsg = static_cast<MSG_SAVE_IP_SETUP *>(H_MEMORY_pvMalloc(sizeof(MSG_SAVE_IP_SETUP)));
  if (pMsg != nullptr) {
    std::memset(static_cast<void *>(pMsg), 0, sizeof *pMsg);
    pMsg->header.Cmd = CMD_ID_SAVE_IP_SETUP;
    if (s_IPAddressEdit.bDirty) {
      H_DATABASE_bUpdateValueU32(FCID("SIPD"), s_IPAddressEdit.nMode, P_NORMAL);
      if (s_IPAddressEdit.nMode != 0) {
        pMsg->bDynamic = TRUE;
      } else {
        const struct {
          const char *pcText;
          FOURCHARID fcid;
          char *pcOut;
        } kFields[] = {{s_IPAddressEdit.sIPAddress, FCID("SIPA"), pMsg->sIPAddress},
                       {s_IPAddressEdit.sSubnetMask, FCID("SIPM"), pMsg->sSubnetMask},
                       {s_IPAddressEdit.sDefaultGateway, FCID("SIPG"), pMsg->sDefaultGateway}};
        for (const auto &f : kFields) {
          H_DATABASE_bUpdateValueU32(f.fcid, parseAddress(f.pcText), P_NORMAL);
          T_STARTUP_EDIT_vFormatAddressLinux(f.fcid, f.pcOut);
        }
      }
    }
    pMsg->bChanged = s_IPAddressEdit.bDirty;
    L_MBOX_Send(M_ETHERNET, pMsg, NORMAL_PRIORITY, 0);
  } else {
    log_me("T_STARTUP_EDIT save: no memory for the message");
  }
  closeEditor();
  L_SEMA_Signal(SEMA_KEYCLICK_GOOD);
}

BOOLEAN saveAction() {
  save();
  return TRUE;
}

typedef BOOLEAN (*ACTION)(void);
struct Step {
  ACTION pfnAction;
  IPA_EDIT_STATE eNext;  // IPA_EDIT_NONE: nothing
};

// By state, then up, right, down, left.
const Step kSteps[IPA_EDIT_STATE_COUNT][4] = {
    /* NONE */ {{nullptr, IPA_EDIT_NONE}, {nullptr, IPA_EDIT_NONE}, {nullptr, IPA_EDIT_NONE}, {nullptr, IPA_EDIT_NONE}},
    /* MODE */
    {{nullptr, IPA_EDIT_MODE}, {nullptr, IPA_EDIT_MODE_VALUE}, {modeDown, IPA_EDIT_NONE}, {nullptr, IPA_EDIT_MODE}},
    /* MODE_VALUE */
    {{toggleMode, IPA_EDIT_NONE}, {nullptr, IPA_EDIT_NONE}, {toggleMode, IPA_EDIT_NONE}, {nullptr, IPA_EDIT_MODE}},
    /* ADDR */
    {{nullptr, IPA_EDIT_MODE}, {nullptr, IPA_EDIT_ADDR_VALUE}, {nullptr, IPA_EDIT_MASK}, {nullptr, IPA_EDIT_ADDR}},
    /* ADDR_VALUE */ {{octetUp, IPA_EDIT_NONE}, {nextOctet, IPA_EDIT_NONE}, {octetDown, IPA_EDIT_NONE},
                      {previousOctet, IPA_EDIT_NONE}},
    /* MASK */
    {{nullptr, IPA_EDIT_ADDR}, {nullptr, IPA_EDIT_MASK_VALUE}, {nullptr, IPA_EDIT_GATE}, {nullptr, IPA_EDIT_MASK}},
    /* MASK_VALUE */ {{octetUp, IPA_EDIT_NONE}, {nextOctet, IPA_EDIT_NONE}, {octetDown, IPA_EDIT_NONE},
                      {previousOctet, IPA_EDIT_NONE}},
    /* GATE */
    {{nullptr, IPA_EDIT_MASK}, {nullptr, IPA_EDIT_GATE_VALUE}, {nullptr, IPA_EDIT_SAVE}, {nullptr, IPA_EDIT_GATE}},
    /* GATE_VALUE */ {{octetUp, IPA_EDIT_NONE}, {nextOctet, IPA_EDIT_NONE}, {octetDown, IPA_EDIT_NONE},
                      {previousOctet, IPA_EDIT_NONE}},
    /* SAVE */
    {{saveUp, IPA_EDIT_NONE}, {saveAction, IPA_EDIT_NONE}, {nullptr, IPA_EDIT_SAVE}, {nullptr, IPA_EDIT_NONE}},
};

void rocker(const MSG_KEY_CHANGE *pMsg) {
  int nDirection = -1;
  switch (pMsg->cursor) {
    case CURSOR_NORTH: nDirection = 0; break;
    case CURSOR_EAST: nDirection = 1; break;
    case CURSOR_SOUTH: nDirection = 2; break;
    case CURSOR_WEST: nDirection = 3; break;
    default: break;
  }
  const IPA_EDIT_STATE eState = s_IPAddressEdit.eState;
  if (nDirection >= 0 && eState < IPA_EDIT_STATE_COUNT) {
    const Step &step = kSteps[eState][nDirection];
    if (step.pfnAction != nullptr) {
      // Saving closes the editor and gives its own click.
      const BOOLEAN bSaving = step.pfnAction == saveAction;
      const BOOLEAN bGood = step.pfnAction();
      if (!bSaving) click(bGood, pMsg->count);
    } else if (step.eNext != IPA_EDIT_NONE) {
      s_IPAddressEdit.eState = step.eNext;
      s_IPAddressEdit.nPosition = 0;
      click(TRUE, pMsg->count);
    }
  }
  L_SEMA_Signal(SEMA_VIEW_UPDATE);
}

void exitKey() {
  const IPA_EDIT_STATE eState = s_IPAddressEdit.eState;
  if (eState == IPA_EDIT_MODE_VALUE || eState == IPA_EDIT_ADDR_VALUE || eState == IPA_EDIT_MASK_VALUE ||
      eState == IPA_EDIT_GATE_VALUE) {
    s_IPAddressEdit.eState = static_cast<IPA_EDIT_STATE>(eState - 1);
    s_IPAddressEdit.nPosition = 0;
    L_SEMA_Signal(SEMA_KEYCLICK_GOOD);
  } else if (s_IPAddressEdit.bDirty) {
    T_STARTUP_EDIT_vConfirmationSetup(&Save_Changes, save, cancel);
    L_SEMA_Signal(SEMA_KEYCLICK_GOOD);
  } else {
    cancel();
  }
  L_SEMA_Signal(SEMA_VIEW_UPDATE);
}

COLOR colour(U32 u32Index) { return gCOLOR_pcolColorTable[u32Index]; }

void put(BITMAP *pBitmap, COLOR color, PIXEL x, PIXEL y, const FONT_DEF *pFont, const char *pcText) {
  POINT anchor = {x, y};
  G_STRING_vPut(pBitmap, color, &anchor, pFont, pcText);
}

// The three rounded frames of the editor and the boxes: outline, outline one in, fill one further in.
void frame(BITMAP *pBitmap, PIXEL x, PIXEL y, U32 u32W, U32 u32H, U32 u32OuterRadius, COLOR colorLine,
           COLOR colorFill) {
  POINT at = {x, y};
  G_BOX_vDrawRounded(pBitmap, colorLine, &at, u32W, u32H, u32OuterRadius);
  at = {x + 1, y + 1};
  G_BOX_vDrawRounded(pBitmap, colorLine, &at, u32W - 2, u32H - 2, 3);
  at = {x + 2, y + 2};
  G_BOX_vDrawRoundedFilled(pBitmap, colorFill, &at, u32W - 4, u32H - 4, 3);
}

}  // namespace

void T_STARTUP_EDIT_vIPAddressSetup(void) {
  L_SEMA_Signal(SEMA_KEYCLICK_GOOD);
  s_eStartupEditState = STARTUP_EDIT_IPADDRESS;
  s_IPAddressEdit.eState = IPA_EDIT_MODE;
  s_IPAddressEdit.nPosition = 0;
  s_IPAddressEdit.nMode = fetchAddress(FCID("SIPD")) != 0 ? 1 : 0;
  T_STARTUP_EDIT_vFormatAddress(FCID("SIPA"), s_IPAddressEdit.sIPAddress);
  T_STARTUP_EDIT_vFormatAddress(FCID("SIPM"), s_IPAddressEdit.sSubnetMask);
  T_STARTUP_EDIT_vFormatAddress(FCID("SIPG"), s_IPAddressEdit.sDefaultGateway);
  s_IPAddressEdit.bDirty = FALSE;
  registerKeys();
  U_VIEW_bRegisterLayer(T_STARTUP_EDIT_vRenderIPAddressSetup, STARTUP_EDIT_LAYER, USED_BY_ALL, 0, 0, TRUE, nullptr,
                        nullptr, nullptr);
}

BOOLEAN T_STARTUP_EDIT_bHandleKeys(const MSG_KEY_CHANGE *pMsg) {
  if (pMsg == nullptr || s_eStartupEditState != STARTUP_EDIT_IPADDRESS) return FALSE;
  if (pMsg->key == KEY_BIT_CURSOR) {
    rocker(pMsg);
    return TRUE;
  }
  if (pMsg->key == KEY_BIT_EXIT) {
    exitKey();
    return TRUE;
  }
  return FALSE;
}

void T_STARTUP_EDIT_vResetState(void) {
  if (s_eStartupEditState != STARTUP_EDIT_NONE) closeEditor();
}

void T_STARTUP_EDIT_vConfirmationSetup(const ARRAY_OF_STRING_PTRS *pStatement, void (*pYes)(void),
                                       void (*pNo)(void)) {
  auto *pNode = static_cast<STARTUP_CONF_NODE *>(H_MEMORY_pvMalloc(sizeof(STARTUP_CONF_NODE)));
  if (pNode == nullptr) {
    log_me("T_STARTUP_EDIT_vConfirmationSetup: no memory");
    return;
  }
  std::memset(static_cast<void *>(pNode), 0, sizeof *pNode);
  pNode->pStatement = pStatement;
  pNode->nLang = nCurrentLanguage();
  pNode->pYes = pYes;
  pNode->pNo = pNo;
  const char *pcText = pStatement != nullptr ? (*pStatement)[pNode->nLang] : "";
  const U16 u16Lines = U_DIALOG_u16ExtractTextIntoLines(pcText, pNode->lines, std_16x17_font_def_ptr, kConfWrapWidth);
  pNode->nLines = static_cast<int>(u16Lines > STARTUP_CONF_MAX_LINES ? U16{STARTUP_CONF_MAX_LINES} : u16Lines);

  const BOOLEAN bWasEmpty = s_pConf == nullptr;
  STARTUP_CONF_NODE **ppTail = &s_pConf;
  while (*ppTail != nullptr) ppTail = &(*ppTail)->pNext;
  *ppTail = pNode;
  if (bWasEmpty) {
    registerKeys();
    U_VIEW_bRegisterLayer(T_STARTUP_EDIT_vRenderConf, STARTUP_CONF_LAYER, USED_BY_ALL, 0, 0, TRUE, nullptr, nullptr,
                          nullptr);
  }
}

BOOLEAN T_STARTUP_EDIT_bHandleConfKeys(const MSG_KEY_CHANGE *pMsg) {
  if (pMsg == nullptr || s_pConf == nullptr) return FALSE;
  if (pMsg->key != KEY_BIT_CURSOR && pMsg->key != KEY_BIT_EXIT) return FALSE;
  STARTUP_CONF_NODE *pHead = s_pConf;
  void (*pfnAnswer)(void) = nullptr;
  if (pMsg->key == KEY_BIT_EXIT || pMsg->cursor == CURSOR_WEST) {
    pfnAnswer = pHead->pNo;
  } else if (pMsg->cursor == CURSOR_EAST) {
    pfnAnswer = pHead->pYes;
  } else {
    click(FALSE, pMsg->count);
    L_SEMA_Signal(SEMA_VIEW_UPDATE);
    return TRUE;
  }
  if (pfnAnswer != nullptr) {
    pfnAnswer();  // the head stays queued while it runs, so the keys stay taken
  } else {
    L_SEMA_Signal(SEMA_KEYCLICK_GOOD);
  }
  s_pConf = pHead->pNext;
  H_MEMORY_vFree(pHead);
  if (s_pConf == nullptr) {
    if (s_eStartupEditState == STARTUP_EDIT_NONE) U_KEYBOARD_bUnregisterKeys(M_STARTUP, kAllKeysButPower);
    U_VIEW_bUnRegisterLayer(STARTUP_CONF_LAYER);
  }
  L_SEMA_Signal(SEMA_VIEW_UPDATE);
  return TRUE;
}

void T_STARTUP_EDIT_vFormatAddress(FOURCHARID fcid, char *sAddress) {
  formatAddress(fetchAddress(fcid), "%03d.%03d.%03d.%03d", sAddress);
}

void T_STARTUP_EDIT_vFormatAddressLinux(FOURCHARID fcid, char *sAddress) {
  formatAddress(fetchAddress(fcid), "%d.%d.%d.%d", sAddress);
}

void T_STARTUP_EDIT_vFormatMACAddress(char *sAddress) {
  const U32 u32Mac = fetchAddress(FCID("SMAC"));
  std::snprintf(sAddress, 18, "%02x:%02x:%02x:%02x:%02x:%02x", kMacPrefix[0], kMacPrefix[1], kMacPrefix[2],
                static_cast<unsigned>((u32Mac >> 16) & 0xFF), static_cast<unsigned>((u32Mac >> 8) & 0xFF),
                static_cast<unsigned>(u32Mac & 0xFF));
}

STARTUP_EDIT_STATE T_STARTUP_EDIT_eState(void) { return s_eStartupEditState; }
const IPA_EDIT_INFO *T_STARTUP_EDIT_pEditInfo(void) { return &s_IPAddressEdit; }
const STARTUP_CONF_NODE *T_STARTUP_EDIT_pConfHead(void) { return s_pConf; }

void T_STARTUP_EDIT_vRenderConf(BITMAP *pBitmap, WINDOW_SPECIFICATION_POINTER) {
  const STARTUP_CONF_NODE *pNode = s_pConf;
  if (pNode == nullptr) return;
  const FONT_DEF *pFont = std_16x17_font_def_ptr;
  const U32 u32Lang = pNode->nLang < NUMBER_OF_LANGUAGES ? pNode->nLang : 0;
  const U32 u32Lines = static_cast<U32>(pNode->nLines);
  U32 u32Widest = 0;
  for (U32 i = 0; i < u32Lines; ++i) {
    if (pNode->lines[i].u16WidthOfLine > u32Widest) u32Widest = pNode->lines[i].u16WidthOfLine;
  }
  const char *pcTitle = Confirm[u32Lang];
  const U32 u32Title = G_STRING_u32GetWidth(pFont, pcTitle);
  const U32 u32Icon = G_ICON_u32GetWidth(&confirm_icon);
  const U32 u32H = 24 * u32Lines + 78;
  const U32 u32W = u32Widest + 4 < 2 * u32Icon + u32Title ? 2 * u32Icon + u32Title + 16 : u32Widest + 20;
  const PIXEL x = (pBitmap->pixels_wide - static_cast<PIXEL>(u32W)) / 2;
  const PIXEL y = (pBitmap->pixels_high - static_cast<PIXEL>(u32H)) / 2;
  const PIXEL yTop = y + static_cast<PIXEL>(u32H);
  const PIXEL xRight = x + static_cast<PIXEL>(u32W);

  frame(pBitmap, x, y, u32W, u32H, 5, colour(67), colour(71));
  POINT at;
  const POINT lineFrom = {x, yTop - 36}, lineTo = {xRight - 1, yTop - 36};
  G_LINE_vDraw(pBitmap, colour(67), &lineFrom, &lineTo);
  const PIXEL xTitle = x + static_cast<PIXEL>((u32W - u32Title) / 2);
  put(pBitmap, colour(68), xTitle, yTop - 28, pFont, pcTitle);
  at = {xTitle - 6 - static_cast<PIXEL>(u32Icon), yTop - 29};
  G_ICON_vPut(pBitmap, &confirm_icon, &at);

  const char *pcText = pNode->pStatement != nullptr ? (*pNode->pStatement)[u32Lang] : "";
  for (U32 i = 0; i < u32Lines; ++i) {
    char acLine[100];
    const LINEOFTEXT &line = pNode->lines[i];
    const size_t szStart = static_cast<size_t>(line.pcStartOfText - pcText);
    const size_t szCount = line.u8NumberOfCharsInLine < sizeof acLine - 1 ? line.u8NumberOfCharsInLine : sizeof acLine - 1;
    std::snprintf(acLine, sizeof acLine, "%.*s", static_cast<int>(szCount), pcText + szStart);
    put(pBitmap, colour(68), x + 10, yTop - 36 - 24 * static_cast<PIXEL>(i + 1), pFont, acLine);
  }

  U_MENU_vDrawArrowLeft(pBitmap, {x + 23, y + 5}, 26, colour(68));
  put(pBitmap, colour(68), x + 23 + 13 + 8, y + 9, pFont, No[u32Lang]);
  U_MENU_vDrawArrowRight(pBitmap, {xRight - 24, y + 5}, 26, colour(68));
  put(pBitmap, colour(68), xRight - 24 - 4 - static_cast<PIXEL>(G_STRING_u32GetWidth(pFont, Yes[u32Lang])), y + 9,
      pFont, Yes[u32Lang]);
}

void T_STARTUP_EDIT_vRenderIPAddressSetup(BITMAP *pBitmap, WINDOW_SPECIFICATION_POINTER) {
  const U32 u32Lang = nCurrentLanguage();
  const FONT_DEF *pLabelFont = std_11x14_font_def_ptr;
  const FONT_DEF *pValueFont = std_16x17_font_def_ptr;
  const IPA_EDIT_INFO &edit = s_IPAddressEdit;

  POINT at = {219, 79};
  G_BOX_vDrawRoundedFilled(pBitmap, colour(128), &at, 362, 402, 6);
  frame(pBitmap, 220, 80, 360, 400, 5, colour(131), colour(129));
  // The title bar along the top edge of the screen, over the frame.
  const char *pcTitle = IP_Address_Setup[u32Lang];
  const U32 u32TitleBar = G_STRING_u32GetWidth(pValueFont, pcTitle) + 319;
  const PIXEL xBar = u32TitleBar >= SCREEN_PIXELS_WIDE ? 0 : (SCREEN_PIXELS_WIDE - static_cast<PIXEL>(u32TitleBar)) / 2;
  at = {xBar, SCREEN_PIXELS_HIGH - 40};
  G_BOX_vDrawRoundedFilled(pBitmap, colour(128), &at, u32TitleBar, 40, 6);
  at = {xBar + 1, SCREEN_PIXELS_HIGH - 39};
  G_BOX_vDrawRounded(pBitmap, colour(131), &at, u32TitleBar - 2, 38, 5);
  put(pBitmap, colour(131), (SCREEN_PIXELS_WIDE - static_cast<PIXEL>(G_STRING_u32GetWidth(pValueFont, pcTitle))) / 2,
      SCREEN_PIXELS_HIGH - 30, pValueFont, pcTitle);

  // Labels, with the upper word of a two-line label one font height higher.
  const PIXEL nLabelHeight = static_cast<PIXEL>(G_FONTS_u32GetHeight(pLabelFont));
  const struct {
    const ARRAY_OF_STRING_PTRS *pUpper;
    const ARRAY_OF_STRING_PTRS *pLower;
    PIXEL y;
    IPA_EDIT_STATE eLabel;
  } kLabels[] = {{nullptr, &Mode, 410, IPA_EDIT_MODE},
                 {nullptr, &Address, 344, IPA_EDIT_ADDR},
                 {&Subnet, &Mask, 278, IPA_EDIT_MASK},
                 {&Default, &Gateway, 212, IPA_EDIT_GATE},
                 {nullptr, &Save, 151, IPA_EDIT_SAVE}};
  for (const auto &label : kLabels) {
    const char *pcLower = (*label.pLower)[u32Lang];
    U32 u32Width = G_STRING_u32GetWidth(pLabelFont, pcLower);
    if (label.pUpper != nullptr) {
      const U32 u32Upper = G_STRING_u32GetWidth(pLabelFont, (*label.pUpper)[u32Lang]);
      if (u32Upper > u32Width) u32Width = u32Upper;
    }
    if (edit.eState == label.eLabel) {
      const U32 u32High = label.pUpper != nullptr ? 44 : 24;
      at = {225, label.y - 5};
      G_BOX_vDrawRoundedFilled(pBitmap, colour(128), &at, u32Width + 19, u32High, 3);
      G_BOX_vDrawRounded(pBitmap, colour(130), &at, u32Width + 19, u32High, 3);
      U_MENU_vDrawArrowRight(pBitmap, {230 + static_cast<PIXEL>(u32Width) + 2, label.y}, 14, colour(131));
    }
    put(pBitmap, colour(131), 230, label.y, pLabelFont, pcLower);
    if (label.pUpper != nullptr) {
      put(pBitmap, colour(131), 230, label.y + nLabelHeight, pLabelFont, (*label.pUpper)[u32Lang]);
    }
  }

  // Mode value.
  const char *pcMode = edit.nMode != 0 ? Dynamic[u32Lang] : Static[u32Lang];
  const U32 u32ModeBox = G_STRING_u32GetWidth(pValueFont, pcMode) + 16;
  at = {362, 410};
  if (edit.eState == IPA_EDIT_MODE_VALUE) {
    G_BOX_vDrawRoundedFilled(pBitmap, colour(128), &at, u32ModeBox, 27, 3);
    U_MENU_vDrawArrowUp(pBitmap, {362 + static_cast<PIXEL>(u32ModeBox) / 2 - 7, 410 + 29}, 14, colour(131));
    U_MENU_vDrawArrowDown(pBitmap, {362 + static_cast<PIXEL>(u32ModeBox) / 2 - 7, 410 - 2}, 14, colour(131));
  }
  G_BOX_vDrawRounded(pBitmap, colour(130), &at, u32ModeBox, 27, 3);
  put(pBitmap, colour(131), 370, 415, pValueFont, pcMode);

  // Address values.
  const COLOR colorText = edit.nMode != 0 ? colour(130) : colour(131);
  const struct {
    const char *pcText;
    PIXEL y;
    IPA_EDIT_STATE eValue;
  } kValues[] = {{edit.sIPAddress, 349, IPA_EDIT_ADDR_VALUE},
                 {edit.sSubnetMask, 283, IPA_EDIT_MASK_VALUE},
                 {edit.sDefaultGateway, 217, IPA_EDIT_GATE_VALUE}};
  for (const auto &value : kValues) {
    at = {362, value.y - 5};
    if (edit.eState != value.eValue) {
      G_BOX_vDrawRounded(pBitmap, colour(130), &at, 212, 27, 3);
      put(pBitmap, colorText, 370, value.y, pValueFont, value.pcText);
      continue;
    }
    G_BOX_vDrawRoundedFilled(pBitmap, colour(128), &at, 212, 27, 3);
    G_BOX_vDrawRounded(pBitmap, colour(130), &at, 212, 27, 3);
    PIXEL x = 370;
    for (S32 i = 0; value.pcText[i] != '\0'; ++i) {
      const char acChar[2] = {value.pcText[i], '\0'};
      if (i == edit.nPosition) {
        const U32 u32Digits = G_STRING_u32GetWidth(pValueFont, "000");
        POINT box = {x - 3, value.y - 4};
        G_BOX_vDraw(pBitmap, colour(130), &box, u32Digits + 5, 23);
        const PIXEL xMiddle = x + static_cast<PIXEL>(u32Digits / 2) - 7;
        U_MENU_vDrawArrowUp(pBitmap, {xMiddle, value.y + 21}, 14, colour(131));
        U_MENU_vDrawArrowDown(pBitmap, {xMiddle, value.y - 6}, 14, colour(131));
      }
      put(pBitmap, colorText, x, value.y, pValueFont, acChar);
      x += static_cast<PIXEL>(G_STRING_u32GetWidth(pValueFont, acChar));
    }
  }
}
