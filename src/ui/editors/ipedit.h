// The network address editor of the start-up task (mode, address, mask, gateway), its queue of Yes/No
// confirmation boxes, and the address formatters the Ethernet task shares.
#pragma once
#include "view/view.h"
#include "settings/database.h"
#include "settings/language.h"
#include "ui/menu/dialog.h"
#include "ui/keys/keyboard.h"

enum STARTUP_EDIT_STATE : U32 { STARTUP_EDIT_NONE = 0, STARTUP_EDIT_IPADDRESS = 1 };

enum IPA_EDIT_STATE : U32 {
  IPA_EDIT_NONE = 0,
  IPA_EDIT_MODE = 1,
  IPA_EDIT_MODE_VALUE = 2,
  IPA_EDIT_ADDR = 3,
  IPA_EDIT_ADDR_VALUE = 4,
  IPA_EDIT_MASK = 5,
  IPA_EDIT_MASK_VALUE = 6,
  IPA_EDIT_GATE = 7,
  IPA_EDIT_GATE_VALUE = 8,
  IPA_EDIT_SAVE = 9,
  IPA_EDIT_STATE_COUNT = 10,
};

enum IPA_FIELD : U32 {
  IPA_FIELD_MODE = 0,
  IPA_FIELD_ADDR = 1,
  IPA_FIELD_MASK = 2,
  IPA_FIELD_GATE = 3,
  IPA_FIELD_SAVE = 4,
  IPA_FIELD_COUNT = 5,
};

enum : U32 {
  IPA_TEXT_SIZE = 17,         // "192.168.000.001" and its end
  STARTUP_CONF_MAX_LINES = 10 // lines of a confirmation statement that are kept
};

typedef struct {
  IPA_EDIT_STATE eState;
  U32 nMode;      // 0 static, 1 dynamic
  S32 nPosition;  // offset of the octet being edited: 0, 4, 8 or 12
  char sIPAddress[IPA_TEXT_SIZE];
  char sSubnetMask[IPA_TEXT_SIZE];
  char sDefaultGateway[IPA_TEXT_SIZE];
  BOOLEAN bDirty;
} IPA_EDIT_INFO;

// One queued confirmation box; the head of the queue is shown.
typedef struct STARTUP_CONF_INFO_TAG {
  struct STARTUP_CONF_INFO_TAG *pNext;
  const ARRAY_OF_STRING_PTRS *pStatement;
  U32 nLang;  // language when queued
  int nLines;
  LINEOFTEXT lines[U_DIALOG_MAX_LINES];  // the wrap writes up to 20; the first 10 are kept
  void (*pYes)(void);
  void (*pNo)(void);
} STARTUP_CONF_NODE;

// To the Ethernet task (mailbox 45), which rewrites the interface configuration.
typedef struct {
  GENERIC_MESSAGE header;  // CMD_ID_SAVE_IP_SETUP
  BOOLEAN bChanged;
  BOOLEAN bDynamic;
  char sIPAddress[IPA_TEXT_SIZE];  // "%d.%d.%d.%d" of the stored values; empty in dynamic mode
  char sSubnetMask[IPA_TEXT_SIZE];
  char sDefaultGateway[IPA_TEXT_SIZE];
} MSG_SAVE_IP_SETUP;

void T_STARTUP_EDIT_vIPAddressSetup(void);
// FALSE when the editor is not open or the key is not its own.
BOOLEAN T_STARTUP_EDIT_bHandleKeys(const MSG_KEY_CHANGE *pMsg);
// FALSE when no box is queued or the key is not its own.
BOOLEAN T_STARTUP_EDIT_bHandleConfKeys(const MSG_KEY_CHANGE *pMsg);
void T_STARTUP_EDIT_vConfirmationSetup(const ARRAY_OF_STRING_PTRS *pStatement, void (*pYes)(void),
                                       void (*pNo)(void));
// Closes the editor without saving; nothing when it is not open.
void T_STARTUP_EDIT_vResetState(void);
// The address held in the setting as "%03d.%03d.%03d.%03d" (sAddress: at least 16 bytes); 0 when missing.
void T_STARTUP_EDIT_vFormatAddress(FOURCHARID fcid, char *sAddress);
// The same as "%d.%d.%d.%d", the form of the interface configuration.
void T_STARTUP_EDIT_vFormatAddressLinux(FOURCHARID fcid, char *sAddress);
// The unit's hardware address (sAddress: at least 18 bytes): a fixed prefix, then the low 24 bits of 'SMAC'.
void T_STARTUP_EDIT_vFormatMACAddress(char *sAddress);

void T_STARTUP_EDIT_vRenderIPAddressSetup(BITMAP *pBitmap, WINDOW_SPECIFICATION_POINTER pWindow);
void T_STARTUP_EDIT_vRenderConf(BITMAP *pBitmap, WINDOW_SPECIFICATION_POINTER pWindow);

// State queries (tests, the start-up task).
STARTUP_EDIT_STATE T_STARTUP_EDIT_eState(void);
const IPA_EDIT_INFO *T_STARTUP_EDIT_pEditInfo(void);
const STARTUP_CONF_NODE *T_STARTUP_EDIT_pConfHead(void);
