// The NVRAM task (task 14, mailbox 'TNVR'): restores the saved settings at start, writes header items at once
// and other changed settings every 10 minutes, on request (SEMA_NVRAM_UPDATE) and at shut-down.
#pragma once
#include "settings/database.h"
#include "kernel/mbox.h"
#include "settings/nvram.h"

typedef struct {
  GENERIC_MESSAGE Header;  // CMD_ID_WRITE_TO_HEADER
  FOURCHARID id;
} MSG_NVRAM_WRITE_TO_HEADER;

typedef struct {
  GENERIC_MESSAGE Header;  // CMD_ID_WRITE_TO_NVR
  FOURCHARID id;
} MSG_NVRAM_WRITE_TO_NVR;

// Block requests are synchronous: send with an acknowledgement semaphore, then read bSuccess.
typedef struct {
  GENERIC_MESSAGE Header;  // CMD_ID_READ_SONAR_DATA / CMD_ID_WRITE_SONAR_DATA
  SONAR_DATA_BLOCK *pSonarData;
  BOOLEAN bSuccess;
} MSG_READ_SONAR_DATA;
typedef MSG_READ_SONAR_DATA MSG_WRITE_SONAR_DATA;

typedef struct {
  GENERIC_MESSAGE Header;  // CMD_ID_READ_PERSONALIZED / CMD_ID_WRITE_PERSONALIZED
  PERSONALIZATION_DATA_BLOCK *pPersonData;
  BOOLEAN bSuccess;
} MSG_READ_PERSONALIZED;
typedef MSG_READ_PERSONALIZED MSG_WRITE_PERSONALIZED;

// Save period of the settings: 10 minutes.
constexpr U32 NVRAM_SAVE_PERIOD_MS = 600000;

void T_NVRAM_vMain(void);
// The start-up check and the format-version handling; files whose version cannot be read are started afresh
// like files of another format (the model and the configuration kept), so damaged files never stop a start.
void T_NVRAM_vInitHardware(void);
// One save pass. Values that fail to write or to sync stay marked and are written by the next pass; each
// failing file is logged once per pass.
void T_NVRAM_vHandleDataSave(void);
// The row of a header item (0..19), 0xFFFFFFFF when it is none.
U32 T_NVRAM_u32FetchItemNumber(FOURCHARID id);
