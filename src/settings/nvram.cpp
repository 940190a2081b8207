// Settings files. Slot n of "nvr_entries.dat" holds the value of the key that owns slot n; bit n of
// "nvr_statbit.dat" says the slot is used. A value is written at once, its bit is written by the next
// write-back after the values have reached storage, so a power loss never leaves a set bit over a stale value.
#include "settings/nvram.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstring>
#include <string>

#include "kernel/log.h"
#include "util/byte_number_clock.h"
#include "platform/datadir.h"

UNIT_HEADER_CONTROL s_4chHeader[NVR_HEADER_ROWS] = {
    {FCID("NVER"), FALSE}, {FCID("CREV"), FALSE}, {FCID("SCFO"), FALSE}, {FCID("SMDL"), FALSE},
    {FCID("SENB"), FALSE}, {FCID("SENU"), FALSE}, {FCID("SEDB"), FALSE}, {FCID("SEDU"), FALSE},
    {FCID("SEIB"), FALSE}, {FCID("SEIU"), FALSE}, {FCID("SETB"), FALSE}, {FCID("SCOM"), FALSE},
    {FCID("SSTD"), FALSE}, {FCID("SMAC"), FALSE}, {NVR_UNUSED_HEADER, FALSE}, {NVR_UNUSED_HEADER, FALSE},
    {NVR_UNUSED_HEADER, FALSE}, {NVR_UNUSED_HEADER, FALSE}, {NVR_UNUSED_HEADER, FALSE},
    {NVR_UNUSED_HEADER, FALSE},
};

namespace {

constexpr const char *kFileNames[nfCOUNT] = {"sonar.dat", "personal.dat", "nvr_statbit.dat", "nvr_entries.dat"};
constexpr U32 kStatbitBytes = NVR_STATBIT_WORDS * 4;
constexpr U32 kSpecialWord = NVR_STATBIT_WORDS - 1;
constexpr FOURCHARID special_fcids[3] = {FCID("NVER"), FCID("CREV"), FCID("FFST")};

int corvan_filehands[nfCOUNT];
bool s_abReadOnly[nfCOUNT];                 // opened for reading only: the medium refused writing
int s_anError[nfCOUNT];                     // first failure of each file since the caller last took them
int s_anOpenErrorLogged[nfCOUNT];           // the open failure already logged, so a retry loop logs once
bool s_bReadOnlyLogged;
U32 fcid_statbits[NVR_STATBIT_WORDS];
bool s_abDirtyWord[NVR_STATBIT_WORDS];      // set in memory, not yet in the file
FOURCHARID s_afcidSlotUser[NVR_SLOTS];      // the key that last wrote each slot in this run
bool s_abSlotShareLogged[NVR_SLOTS];
U32 fcread_offset;  // scan cursor: word
U32 fcread_offbno;  // scan cursor: next bit in the word
std::string s_sDataDir;
std::string s_sScratchDir;
bool s_bDirsOverridden;

const NVRAM_FILE_OPS kSystemOps = {
    .open = [](const char *pcPath, int nFlags, mode_t mode) { return ::open(pcPath, nFlags, mode); },
    .pread = ::pread,
    .pwrite = ::pwrite,
    .fsync = ::fsync,
};
NVRAM_FILE_OPS s_ops = kSystemOps;

void vNoteError(U32 u32Index, int nErrno) {
  if (s_anError[u32Index] == 0) s_anError[u32Index] = nErrno != 0 ? nErrno : EIO;
}

const char *pcDataDir() { return s_bDirsOverridden ? s_sDataDir.c_str() : L_UTILS_cpGetPathnamePtr(); }
const char *pcScratchDir() { return s_bDirsOverridden ? s_sScratchDir.c_str() : L_UTILS_cpGetScratchPathPtr(); }

std::string sKeyText(FOURCHARID fcid) {
  char ac[5];
  for (int n = 0; n < 4; n++) {
    const char c = static_cast<char>((fcid >> (8 * n)) & 0xFF);
    ac[n] = (c >= 0x20 && c < 0x7F) ? c : '?';
  }
  ac[4] = '\0';
  return ac;
}

// The path of a file, FALSE when it does not fit.
bool bPath(U32 u32Index, char (&acPath)[PATH_MAX]) {
  const int n = std::snprintf(acPath, sizeof acPath, "%s/%s", pcDataDir(), kFileNames[u32Index]);
  if (n < 0 || static_cast<size_t>(n) >= sizeof acPath) {
    log_me("NVRAM: data directory path too long for %s", kFileNames[u32Index]);
    return false;
  }
  return true;
}

void vLoadStatbits(int fd) {
  std::memset(fcid_statbits, 0, sizeof fcid_statbits);
  std::memset(s_abDirtyWord, 0, sizeof s_abDirtyWord);
  U8 au8[kStatbitBytes] = {};
  const ssize_t nRead = s_ops.pread(fd, au8, sizeof au8, 0);
  if (nRead <= 0) return;
  for (U32 w = 0; w < NVR_STATBIT_WORDS; w++) {
    fcid_statbits[w] = static_cast<U32>(au8[4 * w]) | static_cast<U32>(au8[4 * w + 1]) << 8 |
                       static_cast<U32>(au8[4 * w + 2]) << 16 | static_cast<U32>(au8[4 * w + 3]) << 24;
  }
}

// A medium that refuses writing still lets the unit run from what it holds.
bool bReadOnlyError(int nErrno) {
  return nErrno == EROFS || nErrno == EACCES || nErrno == EPERM || nErrno == ENOSPC || nErrno == EDQUOT;
}

// Opens the file; bWrite asks for write access again when it was opened for reading only.
bool bOpen(U32 u32Index, bool bWrite = false) {
  int &fd = corvan_filehands[u32Index];
  if (fd > 0 && !(bWrite && s_abReadOnly[u32Index])) return true;
  char acPath[PATH_MAX];
  if (!bPath(u32Index, acPath)) return false;
  int fdNew = s_ops.open(acPath, O_RDWR | O_CREAT | O_CLOEXEC, 0666);
  bool bReadOnly = false;
  int nErrno = errno;
  if (fdNew < 0 && fd > 0) {  // still read-only: keep what is open
    vNoteError(u32Index, nErrno);
    return true;
  }
  if (fdNew < 0 && bReadOnlyError(nErrno)) {
    if (!s_bReadOnlyLogged) {
      s_bReadOnlyLogged = true;
      log_me("NVRAM: %s cannot be written (%s): setting changes will not be kept", acPath, std::strerror(nErrno));
    }
    fdNew = s_ops.open(acPath, O_RDONLY | O_CLOEXEC, 0);
    bReadOnly = fdNew >= 0;
    if (fdNew < 0 && errno != ENOENT) nErrno = errno;
  }
  if (fdNew < 0) {
    vNoteError(u32Index, nErrno);
    if (s_anOpenErrorLogged[u32Index] != nErrno) {
      s_anOpenErrorLogged[u32Index] = nErrno;
      log_me("NVRAM: cannot open %s: %s", acPath, std::strerror(nErrno));
    }
    return false;
  }
  s_anOpenErrorLogged[u32Index] = 0;
  const bool bReload = fd <= 0;
  if (fd > 0) close(fd);
  fd = fdNew;
  s_abReadOnly[u32Index] = bReadOnly;
  // The bitmap in memory may hold bits still to be written: a reopen for writing keeps it.
  if (u32Index == nfFCID_STATBIT && bReload) vLoadStatbits(fd);
  return true;
}

bool bOpenSlotFiles(bool bWrite = false) { return bOpen(nfFCID_ENTRIES, bWrite) && bOpen(nfFCID_STATBIT, bWrite); }

bool bPutU32(int fd, U32 u32Value, off_t offset) {
  const U8 au8[4] = {static_cast<U8>(u32Value), static_cast<U8>(u32Value >> 8), static_cast<U8>(u32Value >> 16),
                     static_cast<U8>(u32Value >> 24)};
  return s_ops.pwrite(fd, au8, 4, offset) == 4;
}

bool bGetU32(int fd, U32 *pu32Value, off_t offset) {
  U8 au8[4];
  if (s_ops.pread(fd, au8, 4, offset) != 4) return false;
  *pu32Value = static_cast<U32>(au8[0]) | static_cast<U32>(au8[1]) << 8 | static_cast<U32>(au8[2]) << 16 |
               static_cast<U32>(au8[3]) << 24;
  return true;
}

bool bSlotUsed(U32 u32Slot) { return (fcid_statbits[u32Slot / 32] >> (u32Slot % 32)) & 1u; }

char cFirst(FOURCHARID fcid) { return static_cast<char>(fcid & 0x7F); }

bool bIsHeaderKey(FOURCHARID fcid) {
  for (const UNIT_HEADER_CONTROL &row : s_4chHeader) {
    if (row.id == NVR_UNUSED_HEADER) break;
    if (row.id == fcid) return true;
  }
  return false;
}

void vSetFailed(NVR_ENTRY *pentry) {
  pentry->id = 0xFFFFFFFFu;
  pentry->data.RawData = 0xFFFFFFFFu;
}

// The scan of words u32First..u32Last.
BOOLEAN bScan(U32 index, NVR_ENTRY *pentry, U32 u32First, U32 u32Last) {
  if (!bOpenSlotFiles()) return FALSE;
  if (index == 0 || fcread_offset < u32First || fcread_offset > u32Last + 1) {
    fcread_offset = u32First;
    fcread_offbno = 0;
  }
  while (fcread_offset <= u32Last) {
    const U32 u32Word = fcid_statbits[fcread_offset];
    if (u32Word != 0) {
      for (U32 bit = fcread_offbno; bit < 32; bit++) {
        if (!((u32Word >> bit) & 1u)) continue;
        const U32 u32Slot = 32 * fcread_offset + bit;
        if (u32Slot >= NVR_SLOTS) break;
        pentry->id = H_NVRAM_fcidXlatNumber(u32Slot);
        if (!H_NVRAM_bGetItemByNumber(u32Slot, pentry)) break;  // ends the walk of this word
        fcread_offbno = bit + 1;
        if (fcread_offbno == 32) {
          fcread_offset++;
          fcread_offbno = 0;
        }
        return TRUE;
      }
    }
    fcread_offset++;
    fcread_offbno = 0;
  }
  return FALSE;
}

// Every file closed, the bitmap and the slot users forgotten.
void vCloseAndForget() {
  for (int &fd : corvan_filehands) {
    if (fd > 0) close(fd);
    fd = 0;
  }
  std::memset(s_abReadOnly, 0, sizeof s_abReadOnly);
  std::memset(fcid_statbits, 0, sizeof fcid_statbits);
  std::memset(s_abDirtyWord, 0, sizeof s_abDirtyWord);
  std::memset(s_afcidSlotUser, 0, sizeof s_afcidSlotUser);
}

bool bMakeDirectories() {
  mkdir(pcDataDir(), 0777);
  mkdir(pcScratchDir(), 0777);
  return true;
}

// Removes a settings file; a directory standing in its place goes too (moved aside when it holds anything).
bool bRemove(const char *pcPath) {
  if (unlink(pcPath) == 0 || errno == ENOENT) return true;
  int nErrno = errno;
  struct stat st;
  if (lstat(pcPath, &st) == 0 && S_ISDIR(st.st_mode)) {
    if (rmdir(pcPath) == 0) return true;
    const std::string sAside = std::string(pcPath) + ".damaged";
    if (rename(pcPath, sAside.c_str()) == 0) {
      log_me("NVRAM: directory %s moved to %s", pcPath, sAside.c_str());
      return true;
    }
    nErrno = errno;
  }
  log_me("NVRAM: cannot remove %s: %s", pcPath, std::strerror(nErrno));
  return false;
}

}  // namespace

S32 H_NVRAM_s32SlotOfKey(FOURCHARID fcid) {
  for (U32 n = 0; n < 3; n++) {
    if (fcid == special_fcids[n]) return static_cast<S32>(NVR_S_SLOTS + n);
  }
  if (cFirst(fcid) != 'S') return -1;
  return static_cast<S32>(1296 * DD_UTIL_XlatCapNumeric(fcid >> 8) + 36 * DD_UTIL_XlatCapNumeric(fcid >> 16) +
                          DD_UTIL_XlatCapNumeric(fcid >> 24));
}

FOURCHARID H_NVRAM_fcidXlatNumber(U32 u32Slot) {
  if (u32Slot >= NVR_SLOTS) return 0xFFFFFFFFu;
  if (u32Slot >= NVR_S_SLOTS) return special_fcids[u32Slot - NVR_S_SLOTS];
  return static_cast<U32>('S') | static_cast<U32>(static_cast<U8>(DD_UTIL_FormCapNumeric(u32Slot / 1296))) << 8 |
         static_cast<U32>(static_cast<U8>(DD_UTIL_FormCapNumeric(u32Slot / 36 % 36))) << 16 |
         static_cast<U32>(static_cast<U8>(DD_UTIL_FormCapNumeric(u32Slot % 36))) << 24;
}

NVR_STATE H_NVRAM_eInit(void) {
  bMakeDirectories();
  struct stat st;
  if (stat(pcDataDir(), &st) != 0 || !S_ISDIR(st.st_mode)) return STATE_HARDWARE_FAILURE;
  char acPath[PATH_MAX];
  if (!bPath(nfFCID_STATBIT, acPath)) return STATE_HARDWARE_FAILURE;
  if (stat(acPath, &st) != 0 || st.st_size == 0) return STATE_VIRGIN;
  return STATE_ACTIVE;
}

BOOLEAN H_NVRAM_bWriteFCID(const NVR_ENTRY *pentry) {
  const S32 s32Slot = H_NVRAM_s32SlotOfKey(pentry->id);
  if (s32Slot < 0) {
    log_me("NVRAM: key %s has no slot, not saved", sKeyText(pentry->id).c_str());
    return FALSE;
  }
  if (!bOpenSlotFiles(true)) return FALSE;
  const U32 u32Slot = static_cast<U32>(s32Slot);
  const FOURCHARID fcidUser = s_afcidSlotUser[u32Slot];
  if (fcidUser != 0 && fcidUser != pentry->id && !s_abSlotShareLogged[u32Slot]) {
    s_abSlotShareLogged[u32Slot] = true;
    log_me("NVRAM: keys %s and %s share slot %u", sKeyText(fcidUser).c_str(), sKeyText(pentry->id).c_str(),
           static_cast<unsigned>(u32Slot));
  }
  s_afcidSlotUser[u32Slot] = pentry->id;
  if (!bPutU32(corvan_filehands[nfFCID_ENTRIES], pentry->data.u32Val, static_cast<off_t>(4) * u32Slot)) {
    vNoteError(nfFCID_ENTRIES, errno);
    return FALSE;
  }
  const U32 u32Word = u32Slot / 32;
  const U32 u32Bit = 1u << (u32Slot % 32);
  if (!(fcid_statbits[u32Word] & u32Bit)) {
    fcid_statbits[u32Word] |= u32Bit;
    s_abDirtyWord[u32Word] = true;
  }
  return TRUE;
}

BOOLEAN H_NVRAM_bGetItemByID(NVR_ENTRY *pentry) {
  const char c = cFirst(pentry->id);
  if (c != 'S' && c != 'F' && !bIsHeaderKey(pentry->id)) return FALSE;
  const S32 s32Slot = H_NVRAM_s32SlotOfKey(pentry->id);
  if (s32Slot < 0 || !bOpenSlotFiles() || !H_NVRAM_bGetItemByNumber(static_cast<U32>(s32Slot), pentry)) {
    vSetFailed(pentry);
    return FALSE;
  }
  return TRUE;
}

BOOLEAN H_NVRAM_bGetItemByNumber(U32 u32Number, NVR_ENTRY *pentry) {
  if (u32Number >= NVR_SLOTS || !bOpenSlotFiles() || !bSlotUsed(u32Number)) return FALSE;
  U32 u32Value;
  if (!bGetU32(corvan_filehands[nfFCID_ENTRIES], &u32Value, static_cast<off_t>(4) * u32Number)) return FALSE;
  pentry->data.RawData = 0;
  pentry->data.u32Val = u32Value;
  return TRUE;
}

BOOLEAN H_NVRAM_bReadSEntry(U32 index, NVR_ENTRY *pentry) { return bScan(index, pentry, 0, kSpecialWord - 1); }

BOOLEAN H_NVRAM_bReadFEntry(U32 index, NVR_ENTRY *pentry) {
  return bScan(index, pentry, kSpecialWord, kSpecialWord);
}

BOOLEAN H_NVRAM_bReadUnitHeaderEntry(U32 u32ItemNumber, NVR_ENTRY *pentry) {
  if (u32ItemNumber >= NVR_HEADER_ROWS) return FALSE;
  pentry->id = s_4chHeader[u32ItemNumber].id;
  pentry->data.RawData = 0;
  if (pentry->id == NVR_UNUSED_HEADER) {
    pentry->id = 0xFFFFFFFFu;
    return FALSE;
  }
  return H_NVRAM_bGetItemByID(pentry);
}

void H_NVRAM_vVersionChangeFindAndSave(FOURCHARID fcid) {
  const char c = cFirst(fcid);
  if (c != 'S' && c != 'F' && !bIsHeaderKey(fcid)) return;
  const S32 s32Slot = H_NVRAM_s32SlotOfKey(fcid);
  NVR_ENTRY entry = {fcid, {}};
  if (s32Slot < 0 || !H_NVRAM_bGetItemByNumber(static_cast<U32>(s32Slot), &entry)) return;
  H_DATABASE_bUpdateValue(fcid, entry.data, P_NORMAL);
}

BOOLEAN H_NVRAM_bFlashWriteBack(void) {
  bool bOk = true;
  const int fdEntries = corvan_filehands[nfFCID_ENTRIES];
  if (fdEntries > 0 && !s_abReadOnly[nfFCID_ENTRIES] && s_ops.fsync(fdEntries) != 0) {
    vNoteError(nfFCID_ENTRIES, errno);
    bOk = false;
  }
  const int fdStat = corvan_filehands[nfFCID_STATBIT];
  if (fdStat <= 0) return bOk ? TRUE : FALSE;
  if (!bOk) return FALSE;  // no bit may reach storage before its value
  bool bWrote = false;
  for (U32 w = 0; w < NVR_STATBIT_WORDS; w++) {
    if (!s_abDirtyWord[w]) continue;
    if (bPutU32(fdStat, fcid_statbits[w], static_cast<off_t>(4) * w)) {
      s_abDirtyWord[w] = false;
      bWrote = true;
    } else {
      vNoteError(nfFCID_STATBIT, errno);
      bOk = false;
    }
  }
  if (bWrote && s_ops.fsync(fdStat) != 0) {
    vNoteError(nfFCID_STATBIT, errno);
    bOk = false;
  }
  return bOk ? TRUE : FALSE;
}

void H_NVRAM_vFlashWriteBack(void) { H_NVRAM_bFlashWriteBack(); }

BOOLEAN H_NVRAM_bScratchNVR(U32 u32Code1, U32 u32Code2) {
  if (u32Code1 != NVR_SCRATCH_CODE1 || u32Code2 != NVR_SCRATCH_CODE2) return FALSE;
  bool bOk = true;
  for (U32 u32Index = 0; u32Index < nfCOUNT; u32Index++) {
    char acPath[PATH_MAX];
    if (bPath(u32Index, acPath) && !bRemove(acPath)) bOk = false;
  }
  vCloseAndForget();
  bMakeDirectories();
  return bOk ? TRUE : FALSE;
}

BOOLEAN H_NVRAM_bReadBlock(U32 u32Index, U8 *pData, U32 u32Size) {
  if (u32Index >= nfCOUNT || !bOpen(u32Index)) return FALSE;
  const int fd = corvan_filehands[u32Index];
  const bool bOk = s_ops.pread(fd, pData, u32Size, 0) == static_cast<ssize_t>(u32Size);
  return (bOk && s_ops.fsync(fd) == 0) ? TRUE : FALSE;
}

BOOLEAN H_NVRAM_bWriteBlock(U32 u32Index, const U8 *pData, U32 u32Size) {
  if (u32Index >= nfCOUNT || !bOpen(u32Index, true)) return FALSE;
  const int fd = corvan_filehands[u32Index];
  if (s_ops.pwrite(fd, pData, u32Size, 0) != static_cast<ssize_t>(u32Size) || s_ops.fsync(fd) != 0) {
    vNoteError(u32Index, errno);
    return FALSE;
  }
  return TRUE;
}

namespace {

template <size_t N>
BOOLEAN bReadWords(U32 u32Index, U16 (&au16)[N]) {
  U8 au8[2 * N];
  if (!H_NVRAM_bReadBlock(u32Index, au8, sizeof au8)) return FALSE;
  for (size_t n = 0; n < N; n++) au16[n] = static_cast<U16>(au8[2 * n] | au8[2 * n + 1] << 8);
  return TRUE;
}

template <size_t N>
BOOLEAN bWriteWords(U32 u32Index, const U16 (&au16)[N]) {
  U8 au8[2 * N];
  for (size_t n = 0; n < N; n++) {
    au8[2 * n] = static_cast<U8>(au16[n]);
    au8[2 * n + 1] = static_cast<U8>(au16[n] >> 8);
  }
  return H_NVRAM_bWriteBlock(u32Index, au8, sizeof au8);
}

}  // namespace

BOOLEAN H_NVRAM_bReadSonarData(SONAR_DATA_BLOCK *pData) { return bReadWords(nfSONAR_DATA, pData->data); }
BOOLEAN H_NVRAM_bWriteSonarData(const SONAR_DATA_BLOCK *pData) { return bWriteWords(nfSONAR_DATA, pData->data); }
BOOLEAN H_NVRAM_bReadPersonalizationData(PERSONALIZATION_DATA_BLOCK *pData) {
  return bReadWords(nfPERSONAL_DATA, pData->data);
}
BOOLEAN H_NVRAM_bWritePersonalizationData(const PERSONALIZATION_DATA_BLOCK *pData) {
  return bWriteWords(nfPERSONAL_DATA, pData->data);
}

const char *H_NVRAM_pcFileName(U32 u32Index) { return u32Index < nfCOUNT ? kFileNames[u32Index] : "?"; }

void H_NVRAM_vTakeErrors(int (&anErrno)[nfCOUNT]) {
  for (U32 u32Index = 0; u32Index < nfCOUNT; u32Index++) {
    anErrno[u32Index] = s_anError[u32Index];
    s_anError[u32Index] = 0;
  }
}

void H_NVRAM_vDescribeVersionLoss(char *pcText, size_t size) {
  const U32 u32Slot = NVR_S_SLOTS;  // NVER
  char acPath[PATH_MAX];
  struct stat st;
  for (const U32 u32Index : {static_cast<U32>(nfFCID_STATBIT), static_cast<U32>(nfFCID_ENTRIES)}) {
    if (!bPath(u32Index, acPath)) {
      std::snprintf(pcText, size, "path of %s too long", kFileNames[u32Index]);
      return;
    }
    if (stat(acPath, &st) != 0) {
      std::snprintf(pcText, size, "%s: %s", kFileNames[u32Index], std::strerror(errno));
      return;
    }
    if (!S_ISREG(st.st_mode)) {
      std::snprintf(pcText, size, "%s is not a plain file", kFileNames[u32Index]);
      return;
    }
    const off_t need =
        u32Index == nfFCID_STATBIT ? static_cast<off_t>(kStatbitBytes) : 4 * static_cast<off_t>(u32Slot + 1);
    if (st.st_size < need) {
      std::snprintf(pcText, size, "%s holds %lld bytes, the version needs %lld", kFileNames[u32Index],
                    static_cast<long long>(st.st_size), static_cast<long long>(need));
      return;
    }
    if (!bOpen(u32Index)) {
      std::snprintf(pcText, size, "%s cannot be opened", kFileNames[u32Index]);
      return;
    }
    if (u32Index == nfFCID_STATBIT && !bSlotUsed(u32Slot)) {
      std::snprintf(pcText, size, "%s: the version's bit is clear", kFileNames[u32Index]);
      return;
    }
  }
  std::snprintf(pcText, size, "%s: the version cannot be read", kFileNames[nfFCID_ENTRIES]);
}

void H_NVRAM_vSetFileOpsForTest(const NVRAM_FILE_OPS *pOps) { s_ops = pOps != nullptr ? *pOps : kSystemOps; }

void H_NVRAM_vSetDirectoriesForTest(const char *pcData, const char *pcScratch) {
  vCloseAndForget();
  s_bReadOnlyLogged = false;
  std::memset(s_anError, 0, sizeof s_anError);
  std::memset(s_anOpenErrorLogged, 0, sizeof s_anOpenErrorLogged);
  std::memset(s_abSlotShareLogged, 0, sizeof s_abSlotShareLogged);
  for (UNIT_HEADER_CONTROL &row : s_4chHeader) row.bRegistered = FALSE;
  fcread_offset = 0;
  fcread_offbno = 0;
  s_bDirsOverridden = pcData != nullptr;
  s_sDataDir = pcData != nullptr ? pcData : "";
  s_sScratchDir = pcScratch != nullptr ? pcScratch : "";
}
