// Card slots of the simulator. Under the device root: "dev" stands for /dev (watched for mmcblkN entries),
// "sys/class/mmc_host" is the sysfs tree of the two hosts, "slot0" and "slot1" hold the cards' files, and
// "mnt/mmc0", "mnt/mmc1" are the mount points; a mount makes the mount point a link to the slot directory.
// Nothing here calls mount(2).
#pragma once
#include <string>

#include "corvan/types.h"

// The device table's entries.
const char *HOST_CARD_pcHostDir(void);
const char *HOST_CARD_pcDeviceDir(void);
const char *HOST_CARD_pcMountDir(void);
// ENOENT without the device entry, EROFS for a read-write mount of a write-protected entry (no write
// permission bit), EBUSY when something is mounted there already.
int HOST_CARD_nMount(const char *pcSource, const char *pcTarget, const char *pcType, unsigned long ulFlags,
                     const char *pcOptions);
// EINVAL when nothing is mounted there; EBUSY while the file system is held busy (see below).
int HOST_CARD_nUmount(const char *pcTarget);

typedef struct HOST_CARD {
  const char *pcCid = "0353445355333247803EDA2C2A00B7C1";  // 32 hexadecimal characters
  const char *pcType = "SD";
  bool bPartition = true;         // mmcblkNp1 exists beside mmcblkN
  bool bWriteProtected = false;
} HOST_CARD;

// Puts a card in slot u32Slot (0 or 1): its sysfs entry "mmc<slot+1>:0001" with cid, type and
// block/mmcblk<slot+1>, then the device entries. Removal deletes the device entries, then the sysfs entry.
void HOST_CARD_vInsert(U32 u32Slot, const HOST_CARD &card);
void HOST_CARD_vRemove(U32 u32Slot);
// The directory holding the files of the card in the slot.
std::string HOST_CARD_sSlotDir(U32 u32Slot);
// The next u32Count unmount attempts fail with EBUSY.
void HOST_CARD_vHoldBusy(U32 u32Count);
// Successful mounts so far, as "source -> target ro|rw type options".
std::string HOST_CARD_sMountRecord(void);
