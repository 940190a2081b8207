#include "platform/sd.h"

#include <dirent.h>
#include <errno.h>
#include <fcntl.h>
#include <poll.h>
#include <pthread.h>
#include <sys/inotify.h>
#include <sys/mount.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "kernel/error.h"
#include "util/hex.h"
#include "kernel/kernel_defs.h"
#include "kernel/log.h"
#include "kernel/reset.h"
#include "kernel/sema.h"
#include "kernel/task.h"
#include "kernel/tick.h"
#include "platform/clock.h"
#include "platform/devices.h"

namespace {

constexpr U32 kSlots = 2;
constexpr int kMountAttempts = 3;
constexpr int kUmountAttempts = 5;
constexpr TICKS kRetryTicks = 1000;
constexpr TICKS kSettleTicks = 2000;

typedef struct SD_STATUS {
  char cDeviceName[12];
  char cFullName[12];
  std::string dir_name;  // the card's sysfs directory; as long as the device root makes it
  U8 cCID[16];
  int nLogicalID;
  CARD_PRESENT eCardPresent;
  BOOLEAN bReadOnly;
} SD_STATUS;

SD_STATUS s_sSDStatus[kSlots];
// Callers keep the pointer: rewritten only when the mount directory changes.
std::string s_asMountPoint[kSlots];
std::atomic<bool> s_hw_thread{false};
std::atomic<U32> s_u32Settles{0};
std::atomic<U32> s_u32Events{0};
std::atomic<bool> s_bWatching{false};

bool validSlot(U32 u32Slot) { return u32Slot < kSlots; }

const char *mountPoint(U32 u32Slot) {
  const std::string sPoint = std::string(PLATFORM_ptCard()->pcMountDir()) + "/mmc" + std::to_string(u32Slot);
  if (sPoint != s_asMountPoint[u32Slot]) s_asMountPoint[u32Slot] = sPoint;
  return s_asMountPoint[u32Slot].c_str();
}

// A directory of the card's sysfs tree; a path the system refuses as too long is logged, not taken for "no card".
DIR *openDirectory(const std::string &sPath) {
  DIR *pDir = opendir(sPath.c_str());
  if (pDir == nullptr && errno == ENAMETOOLONG) {
    log_me("DD_SD: path too long (%zu bytes): %.160s...", sPath.size(), sPath.c_str());
  }
  return pDir;
}

bool startsWith(const char *pcText, const char *pcPrefix) {
  return std::strncmp(pcText, pcPrefix, std::strlen(pcPrefix)) == 0;
}

// "mmcblk" followed by digits: the number, else -1.
int blockNumber(const char *pcName) {
  if (!startsWith(pcName, "mmcblk") || !std::isdigit(static_cast<unsigned char>(pcName[6]))) return -1;
  long lNumber = 0;
  for (const char *pc = pcName + 6; std::isdigit(static_cast<unsigned char>(*pc)) && lNumber < 100000; ++pc) {
    lNumber = lNumber * 10 + (*pc - '0');
  }
  return lNumber < 100000 ? static_cast<int>(lNumber) : -1;
}

bool DD_SD_vFindDevice(U32 u32Slot) {
  SD_STATUS &sd = s_sSDStatus[u32Slot];
  sd.dir_name = std::string(PLATFORM_ptCard()->pcHostDir()) + "/" + sd.cDeviceName;
  DIR *pDir = openDirectory(sd.dir_name);
  if (pDir == nullptr) return false;
  char acPrefix[sizeof(sd.cDeviceName) + 1];
  std::snprintf(acPrefix, sizeof(acPrefix), "%s:", sd.cDeviceName);
  bool bFound = false;
  while (struct dirent *pEntry = readdir(pDir)) {
    if (!startsWith(pEntry->d_name, acPrefix)) continue;
    // A name that does not fit the record is no card of ours.
    if (std::strlen(pEntry->d_name) >= sizeof(sd.cFullName)) {
      log_me("DD_SD: card name %s too long", pEntry->d_name);
      continue;
    }
    std::strcpy(sd.cFullName, pEntry->d_name);
    sd.dir_name += "/";
    sd.dir_name += sd.cFullName;
    bFound = true;
    break;
  }
  closedir(pDir);
  if (!bFound) return false;
  pDir = openDirectory(sd.dir_name + "/block");
  if (pDir == nullptr) return false;
  bFound = false;
  while (struct dirent *pEntry = readdir(pDir)) {
    const int nNumber = blockNumber(pEntry->d_name);
    if (nNumber < 0) continue;
    sd.nLogicalID = nNumber;
    bFound = true;
    break;
  }
  closedir(pDir);
  return bFound;
}

bool DD_SD_bMount(int nLogicalID, U32 u32Slot) {
  const PLATFORM_CARD_OPS *pCard = PLATFORM_ptCard();
  const char *pcTarget = mountPoint(u32Slot);
  sync();
  for (int nWhole = 0; nWhole < 2; ++nWhole) {
    const std::string sSource = std::string(pCard->pcDeviceDir()) + "/mmcblk" + std::to_string(nLogicalID) +
                                (nWhole ? "" : "p1");
    const char *pcSource = sSource.c_str();
    for (int nAttempt = kMountAttempts; nAttempt > 0; --nAttempt) {
      BOOLEAN bReadOnly = FALSE;
      int nResult = pCard->nMount(pcSource, pcTarget, "msdos", 0, "check=r");
      if (nResult != 0 && errno == EROFS) {
        bReadOnly = TRUE;
        nResult = pCard->nMount(pcSource, pcTarget, "msdos", MS_RDONLY, "check=r");
      }
      if (nResult == 0) {
        s_sSDStatus[u32Slot].bReadOnly = bReadOnly;
        log_me("DD_SD: mounted %s on %s (%s)%s, attempt %d", pcSource, pcTarget, nWhole ? "whole card" : "partition 1",
               bReadOnly ? " read-only" : "", nAttempt);
        return true;
      }
      if (nWhole) log_me("DD_SD: mount failed %s: %d %s, attempt %d", pcSource, errno, strerror(errno), nAttempt);
      L_CLOCK_Sleep(kRetryTicks);
    }
  }
  return false;
}

// Up to size characters of a file of the card's sysfs directory; -1 when it cannot be opened.
ssize_t readCardFile(U32 u32Slot, const char *pcName, char *pcText, size_t size) {
  SD_STATUS &sd = s_sSDStatus[u32Slot];
  const int nFd = open((sd.dir_name + "/" + pcName).c_str(), O_RDONLY | O_CLOEXEC);
  if (nFd < 0) return -1;
  size_t got = 0;
  while (got < size) {
    const ssize_t nRead = read(nFd, pcText + got, size - got);
    if (nRead < 0 && errno == EINTR) continue;
    if (nRead <= 0) break;
    got += static_cast<size_t>(nRead);
  }
  close(nFd);
  return static_cast<ssize_t>(got);
}

void DD_SD_bFetchCID(U32 u32Slot) {
  char acText[32];
  if (readCardFile(u32Slot, "cid", acText, sizeof(acText)) < static_cast<ssize_t>(sizeof(acText))) return;
  for (char c : acText) {
    if (!std::isxdigit(static_cast<unsigned char>(c))) {
      log_me("DD_SD: cid of slot %u is not hexadecimal", static_cast<unsigned>(u32Slot));
      return;
    }
  }
  U_HEX_v2Hex(acText, s_sSDStatus[u32Slot].cCID, sizeof(s_sSDStatus[u32Slot].cCID));
}

void DD_SD_vFetchType(U32 u32Slot) {
  char acType[6] = {};
  if (readCardFile(u32Slot, "type", acType, 5) <= 0) return;
  for (char &c : acType) {
    if (c != '\0' && !std::isprint(static_cast<unsigned char>(c))) c = '\0';
  }
  log_me("DD_SD: card type of slot %u: %s", static_cast<unsigned>(u32Slot), acType);
}

[[noreturn]] void fatal(U32 u32Line, const char *pcText) {
  ERROR_error(__FILE__, u32Line, pcText);
  U_RESET_vReset();
}

// Milliseconds to wait on the watcher's descriptor until the earliest due settle (-1: none due). The test clock
// moves without the descriptor knowing: poll it every millisecond then.
int nSettleWaitMs(const U64 *pu64Due) {
  U64 u64First = 0;
  for (U32 n = 1; n <= kSlots; ++n) {
    if (pu64Due[n] != 0 && (u64First == 0 || pu64Due[n] < u64First)) u64First = pu64Due[n];
  }
  if (u64First == 0) return -1;
  const U64 u64Now = L_CLOCK_qwGetTimeInMillis();
  if (u64First <= u64Now) return 0;
  if (PLATFORM_CLOCK_bIsTestClock()) return 1;
  return static_cast<int>(std::min<U64>(u64First - u64Now, 60000));
}

// The watcher: every create or delete of a slot's device entry (re)starts that slot's settle time; 2 s after
// the last event of a burst the card task is told once, and looks at the slot as it is then. A storm of
// insertions and removals costs one settle per slot, not one per event.
void *DD_SD_vThread(void *) {
  TASK_bSetFifo(98);
  pthread_detach(pthread_self());
  const int nInotify = inotify_init1(IN_CLOEXEC | IN_NONBLOCK);
  if (nInotify < 0) fatal(__LINE__, "DD_SD inotify_init_fail");
  const int nWatch = inotify_add_watch(nInotify, PLATFORM_ptCard()->pcDeviceDir(), IN_CREATE | IN_DELETE | IN_ONLYDIR);
  if (nWatch < 0) fatal(__LINE__, "DD_SD inotify_add_watch fail");
  s_bWatching.store(true);
  U32 au32LastMask[kSlots + 1] = {};
  U64 au64Due[kSlots + 1] = {};  // kernel clock (ms) when the slot's burst has settled; 0: none
  alignas(struct inotify_event) char acBuffer[4096];
  for (;;) {
    const int nWait = TASK_nWaitFd(nInotify, POLLIN, -1, nSettleWaitMs(au64Due));
    if (nWait == TASK_WAIT_FAILED) {
      log_me("DD_SD: watcher wait failed, %d %s", errno, strerror(errno));
      break;
    }
    if (nWait == TASK_WAIT_READY) {
      const ssize_t nRead = read(nInotify, acBuffer, sizeof(acBuffer));
      if (nRead < 0 && (errno == EINTR || errno == EAGAIN)) continue;
      if (nRead <= 0) {
        log_me("DD_SD: watcher read failed, %d %s", errno, strerror(errno));
        break;
      }
      size_t offset = 0;
      while (offset + sizeof(struct inotify_event) <= static_cast<size_t>(nRead)) {
        struct inotify_event tEvent;
        std::memcpy(&tEvent, acBuffer + offset, sizeof(tEvent));
        const char *pcName = acBuffer + offset + sizeof(tEvent);
        offset += sizeof(tEvent) + tEvent.len;
        if (offset > static_cast<size_t>(nRead) || tEvent.wd != nWatch || tEvent.len == 0) continue;
        const int nNumber = blockNumber(pcName);
        if (nNumber != 1 && nNumber != 2) continue;
        const U32 u32Mask = tEvent.mask & (IN_CREATE | IN_DELETE);
        if (u32Mask == 0 || u32Mask == au32LastMask[nNumber]) continue;
        log_me("DD_SD: card %s (%s)", (u32Mask & IN_CREATE) ? "being inserted" : "being removed", pcName);
        au32LastMask[nNumber] = u32Mask;
        s_u32Events.fetch_add(1);
        if (au64Due[nNumber] == 0) s_u32Settles.fetch_add(1);
        au64Due[nNumber] = L_CLOCK_qwGetTimeInMillis() + kSettleTicks;
      }
    }
    const U64 u64Now = L_CLOCK_qwGetTimeInMillis();
    for (U32 n = 1; n <= kSlots; ++n) {
      if (au64Due[n] == 0 || au64Due[n] > u64Now) continue;
      au64Due[n] = 0;
      L_SEMA_Signal(SEMA_TIMER_MMC);
    }
  }
  close(nInotify);
  s_bWatching.store(false);
  s_hw_thread.store(false);
  return nullptr;
}

}  // namespace

void DD_SD_vInit(void) {
  if (!s_hw_thread.exchange(true)) {
    if (L_UTILS_threadCreateSimpleThread("sd", DD_SD_vThread, nullptr) == 0) s_hw_thread.store(false);
  }
  for (U32 u32Slot = 0; u32Slot < kSlots; ++u32Slot) {
    SD_STATUS &sd = s_sSDStatus[u32Slot];
    std::snprintf(sd.cDeviceName, sizeof(sd.cDeviceName), "mmc%1u", static_cast<unsigned>(u32Slot + 1));
    sd.eCardPresent = NO_CARD_PRESENT;
    sd.bReadOnly = TRUE;
    DD_SD_vUmount(u32Slot);
  }
}

BOOLEAN DD_SD_bIsCardPresent(U32 u32DeviceIndex) {
  return validSlot(u32DeviceIndex) && DD_SD_vFindDevice(u32DeviceIndex);
}

BOOLEAN DD_SD_bInitCard(U32 u32DeviceIndex) {
  if (!validSlot(u32DeviceIndex) || !DD_SD_vFindDevice(u32DeviceIndex)) return FALSE;
  if (!DD_SD_bMount(s_sSDStatus[u32DeviceIndex].nLogicalID, u32DeviceIndex)) return FALSE;
  DD_SD_bFetchCID(u32DeviceIndex);
  DD_SD_vFetchType(u32DeviceIndex);
  s_sSDStatus[u32DeviceIndex].eCardPresent = SD_CARD_PRESENT;
  return TRUE;
}

BOOLEAN DD_SD_vUmount(U32 u32DeviceIndex) {
  if (!validSlot(u32DeviceIndex)) return TRUE;
  const char *pcTarget = mountPoint(u32DeviceIndex);
  bool bMounted = true;
  for (int nAttempt = kUmountAttempts; nAttempt > 0; --nAttempt) {
    const int nResult = PLATFORM_ptCard()->nUmount(pcTarget);
    const int nError = nResult == 0 ? 0 : errno;
    log_me("DD_SD: umount %s attempt %d result %d error %d %s", pcTarget, nAttempt, nResult, nError,
           nResult == 0 ? "" : strerror(nError));
    // Nothing mounted there is as good as unmounted.
    if (nResult == 0 || nError == EINVAL || nError == ENOENT) {
      bMounted = false;
      break;
    }
    if (nError != EBUSY) break;
    if (nAttempt > 1) L_CLOCK_Sleep(kRetryTicks);
  }
  // A pulled card is gone whatever the kernel says: the slot counts as empty.
  s_sSDStatus[u32DeviceIndex].eCardPresent = NO_CARD_PRESENT;
  s_sSDStatus[u32DeviceIndex].bReadOnly = TRUE;
  if (bMounted) log_me("DD_SD: %s is still mounted", pcTarget);
  return bMounted ? FALSE : TRUE;
}

CARD_PRESENT DD_SD_eReadCardType(U32 id) { return validSlot(id) ? s_sSDStatus[id].eCardPresent : NO_CARD_PRESENT; }

BOOLEAN DD_SD_bIsHardwareWriteEnabled(U32 u32DeviceIndex) {
  return validSlot(u32DeviceIndex) && !s_sSDStatus[u32DeviceIndex].bReadOnly;
}

void DD_SD_vGetCID(U32 numDeviceIndex, U8 *pu8Dest) {
  if (validSlot(numDeviceIndex)) std::memcpy(pu8Dest, s_sSDStatus[numDeviceIndex].cCID, 16);
}

void DD_SD_vWriteProtect(U32, U32) {}
void DD_SD_vSetCallback(int (*)(void)) {}

const char *DD_SD_pcMountPoint(U32 u32DeviceIndex) {
  return validSlot(u32DeviceIndex) ? mountPoint(u32DeviceIndex) : "";
}

int FS__MMC_Init(U32) { return -1; }
int FS__MMC_CheckStatus(U32) { return -1; }

int DD_SD_nLogicalIdForTest(U32 u32DeviceIndex) {
  return validSlot(u32DeviceIndex) ? s_sSDStatus[u32DeviceIndex].nLogicalID : -1;
}
U32 DD_SD_u32SettlesForTest(void) { return s_u32Settles.load(); }
U32 DD_SD_u32EventsForTest(void) { return s_u32Events.load(); }
bool DD_SD_bWatchingForTest(void) { return s_bWatching.load(); }
