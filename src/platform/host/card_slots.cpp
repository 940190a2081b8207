#include "platform/host/card_slots.h"

#include <errno.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <mutex>

#include "platform/host/devroot.h"

namespace {

std::mutex s_lock;
U32 s_u32Busy = 0;
std::string s_sRecord;

const std::string &hostDir() {
  static const std::string s_sDir = HOST_DEVROOT_sDir("sys/class/mmc_host");
  return s_sDir;
}
const std::string &deviceDir() {
  static const std::string s_sDir = HOST_DEVROOT_sDir("dev");
  return s_sDir;
}
const std::string &mountDir() {
  static const std::string s_sDir = [] {
    std::string sDir = HOST_DEVROOT_sDir("mnt");
    HOST_DEVROOT_sDir("mnt/mmc0");
    HOST_DEVROOT_sDir("mnt/mmc1");
    return sDir;
  }();
  return s_sDir;
}

std::string cardName(U32 u32Slot) { return "mmc" + std::to_string(u32Slot + 1) + ":0001"; }
std::string blockName(U32 u32Slot) { return "mmcblk" + std::to_string(u32Slot + 1); }

void writeText(const std::string &sPath, const char *pcText) {
  std::ofstream out(sPath);
  out << pcText << "\n";
}

// The slot behind a mount point ".../mmc<S>"; -1 for any other path.
int slotOfMountPoint(const char *pcTarget) {
  const char *pcBase = std::strrchr(pcTarget, '/');
  pcBase = pcBase != nullptr ? pcBase + 1 : pcTarget;
  if (std::strcmp(pcBase, "mmc0") == 0) return 0;
  if (std::strcmp(pcBase, "mmc1") == 0) return 1;
  return -1;
}

}  // namespace

const char *HOST_CARD_pcHostDir(void) { return hostDir().c_str(); }
const char *HOST_CARD_pcDeviceDir(void) { return deviceDir().c_str(); }
const char *HOST_CARD_pcMountDir(void) { return mountDir().c_str(); }

int HOST_CARD_nMount(const char *pcSource, const char *pcTarget, const char *pcType, unsigned long ulFlags,
                     const char *pcOptions) {
  struct stat tDevice;
  if (stat(pcSource, &tDevice) != 0) return -1;  // errno from stat
  const bool bReadOnly = (ulFlags & MS_RDONLY) != 0;
  if (!bReadOnly && (tDevice.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0) {
    errno = EROFS;
    return -1;
  }
  const int nSlot = slotOfMountPoint(pcTarget);
  if (nSlot < 0) {
    errno = ENOENT;
    return -1;
  }
  struct stat tTarget;
  if (lstat(pcTarget, &tTarget) == 0 && S_ISLNK(tTarget.st_mode)) {
    errno = EBUSY;
    return -1;
  }
  const std::string sSlot = HOST_CARD_sSlotDir(static_cast<U32>(nSlot));
  rmdir(pcTarget);
  if (symlink(sSlot.c_str(), pcTarget) != 0) return -1;
  std::lock_guard<std::mutex> guard(s_lock);
  s_sRecord += std::string(pcSource) + " -> " + pcTarget + (bReadOnly ? " ro " : " rw ") + pcType + " " +
               pcOptions + "\n";
  return 0;
}

int HOST_CARD_nUmount(const char *pcTarget) {
  struct stat tTarget;
  if (lstat(pcTarget, &tTarget) != 0 || !S_ISLNK(tTarget.st_mode)) {
    errno = EINVAL;
    return -1;
  }
  {
    std::lock_guard<std::mutex> guard(s_lock);
    if (s_u32Busy > 0) {
      --s_u32Busy;
      errno = EBUSY;
      return -1;
    }
  }
  if (unlink(pcTarget) != 0) return -1;
  mkdir(pcTarget, 0755);
  return 0;
}

void HOST_CARD_vInsert(U32 u32Slot, const HOST_CARD &card) {
  namespace fs = std::filesystem;
  std::error_code ec;
  const std::string sCard = hostDir() + "/mmc" + std::to_string(u32Slot + 1) + "/" + cardName(u32Slot);
  fs::create_directories(sCard + "/block/" + blockName(u32Slot), ec);
  writeText(sCard + "/cid", card.pcCid);
  writeText(sCard + "/type", card.pcType);
  HOST_CARD_sSlotDir(u32Slot);
  const fs::perms mode = card.bWriteProtected ? fs::perms::owner_read | fs::perms::group_read
                                              : fs::perms::owner_read | fs::perms::owner_write;
  const std::string sDisk = deviceDir() + "/" + blockName(u32Slot);
  std::ofstream(sDisk).close();
  fs::permissions(sDisk, mode, ec);
  if (card.bPartition) {
    std::ofstream(sDisk + "p1").close();
    fs::permissions(sDisk + "p1", mode, ec);
  }
}

void HOST_CARD_vRemove(U32 u32Slot) {
  namespace fs = std::filesystem;
  std::error_code ec;
  const std::string sDisk = deviceDir() + "/" + blockName(u32Slot);
  fs::remove(sDisk + "p1", ec);
  fs::remove(sDisk, ec);
  fs::remove_all(hostDir() + "/mmc" + std::to_string(u32Slot + 1) + "/" + cardName(u32Slot), ec);
}

std::string HOST_CARD_sSlotDir(U32 u32Slot) {
  return HOST_DEVROOT_sDir(("slot" + std::to_string(u32Slot)).c_str());
}

void HOST_CARD_vHoldBusy(U32 u32Count) {
  std::lock_guard<std::mutex> guard(s_lock);
  s_u32Busy = u32Count;
}

std::string HOST_CARD_sMountRecord(void) {
  std::lock_guard<std::mutex> guard(s_lock);
  return s_sRecord;
}
