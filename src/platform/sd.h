// The two memory-card slots: finding the card through sysfs, mounting its FAT file system, its
// identification register, and the watcher that wakes the memory-card task when a card comes or goes.
#pragma once
#include "corvan/types.h"

typedef enum CARD_PRESENT {
  NO_CARD_PRESENT = 1,
  MMC_CARD_PRESENT = 2,
  SD_CARD_PRESENT = 3,
  HCSD_CARD_PRESENT = 4,
  CARD_ERROR = 5,
  CHART_CARD_PRESENT = 6,
} CARD_PRESENT;

void DD_SD_vInit(void);
BOOLEAN DD_SD_bIsCardPresent(U32 u32DeviceIndex);
BOOLEAN DD_SD_bInitCard(U32 u32DeviceIndex);
// Marks the slot empty in every case; FALSE when the file system is still mounted after the last attempt.
BOOLEAN DD_SD_vUmount(U32 u32DeviceIndex);
CARD_PRESENT DD_SD_eReadCardType(U32 id);
BOOLEAN DD_SD_bIsHardwareWriteEnabled(U32 u32DeviceIndex);
void DD_SD_vGetCID(U32 numDeviceIndex, U8 *pu8Dest);
void DD_SD_vWriteProtect(U32 u32DeviceIndex, U32 flags);
void DD_SD_vSetCallback(int (*pfnCallback)(void));
// The slot's mount point ("/mnt/mmc0", "/mnt/mmc1" on the board), "" for another index.
const char *DD_SD_pcMountPoint(U32 u32DeviceIndex);

// The chart file layer's card entries: not supported here.
int FS__MMC_Init(U32 id);
int FS__MMC_CheckStatus(U32 id);

// Tests: the block-device number found by the last search, and how many settle waits the watcher began.
int DD_SD_nLogicalIdForTest(U32 u32DeviceIndex);
U32 DD_SD_u32SettlesForTest(void);
// Tests: insertion and removal events the watcher has acted on.
U32 DD_SD_u32EventsForTest(void);
// Tests: the watcher has its watch on the device directory.
bool DD_SD_bWatchingForTest(void);
