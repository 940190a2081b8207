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
U32 fcid_statbits[NVR_STATBIT_WORDS];
bool s_abDirtyWord[NVR_STATBIT_WORDS];      // set in memory, not yet in the file
FOURCHARID s_afcidSlotUser[NVR_SLOTS];      // the key that last wrote each slot in this run
bool s_abSlotShareLogged[NVR_SLOTS];
U32 fcread_offset;  // scan cursor: word
U32 fcread_offbno;  // scan cursor: next bit in the word
std::string s_sDataDir;
std::string s_sScratchDir;
bool s_bDirsOverridden;

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
  const ssize_t nRead = pread(fd, au8, sizeof au8, 0);
  if (nRead <= 0) return;
  for (U32 w = 0; w < NVR_STATBIT_WORDS; w++) {
    fcid_statbits[w] = static_cast<U32>(au8[4 * w]) | static_cast<U32>(au8[4 * w + 1]) << 8 |
                       static_cast<U32>(au8[4 * w + 2]) << 16 | static_cast<U32>(au8[4 * w + 3]) << 24;
  }
}

bool bOpen(U32 u32Index) {
  if (corvan_filehands[u32Index] > 0) return true;
  char acPath[PATH_MAX];
  if (!bPath(u32Index, acPath)) return false;
  const int fd = open(acPath, O_RDWR | O_CREAT | O_CLOEXEC, 0666);
  if (fd < 0) return false;
  corvan_filehands[u32Index] = fd;
  if (u32Index == nfFCID_STATBIT) vLoadStatbits(fd);
  return true;
}

bool bOpenSlotFiles() { return bOpen(nfFCID_ENTRIES) && bOpen(nfFCID_STATBIT); }

bool bPutU32(int fd, U32 u32Value, off_t offset) {
  const U8 au8[4] = {static_cast<U8>(u32Value), static_cast<U8>(u32Value >> 8), static_cast<U8>(u32Value >> 16),
                     static_cast<U8>(u32Value >> 24)};
  return pwrite(fd, au8, 4, offset) == 4;
}

bool bGetU32(int fd, U32 *pu32Value, off_t offset) {
  U8 au8[4];
  if (pread(fd, au8, 4, offset) != 4) return false;
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
  std::memset(fcid_statbits, 0, sizeof fcid_statbits);
  std::memset(s_abDirtyWord, 0, sizeof s_abDirtyWord);
  std::memset(s_afcidSlotUser, 0, sizeof s_afcidSlotUser);
}

bool bMakeDirectories() {
  mkdir(pcDataDir(), 0777);
  mkdir(pcScratchDir(), 0777);
  return true;
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
  if (!bOpenSlotFiles()) return FALSE;
  const S32 s32Slot = H_NVRAM_s32SlotOfKey(pentry->id);
  if (s32Slot < 0) {
    log_me("NVRAM: key %s has no slot, not saved", sKeyText(pentry->id).c_str());
    return FALSE;
  }
  const U32 u32Slot = static_cast<U32>(s32Slot);
  const FOURCHARID fcidUser = s_afcidSlotUser[u32Slot];
  if (fcidUser != 0 && fcidUser != pentry->id && !s_abSlotShareLogged[u32Slot]) {
    s_abSlotShareLogged[u32Slot] = true;
    log_me("NVRAM: keys %s and %s share slot %u", sKeyText(fcidUser).c_str(), sKeyText(pentry->id).c_str(),
           static_cast<unsigned>(u32Slot));
  }
  s_afcidSlotUser[u32Slot] = pentry->id;
  if (!bPutU32(corvan_filehands[nfFCID_ENTRIES], pentry->data.u32Val, static_cast<off_t>(4) * u32Slot)) {
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
  if (corvan_filehands[nfFCID_ENTRIES] > 0 && fsync(corvan_filehands[nfFCID_ENTRIES]) != 0) bOk = false;
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
      log_me("NVRAM: bitmap word %u not written: %s", static_cast<unsigned>(w), std::strerror(errno));
      bOk = false;
    }
  }
  if (bWrote && fsync(fdStat) != 0) bOk = false;
  return bOk ? TRUE : FALSE;
}

void H_NVRAM_vFlashWriteBack(void) { H_NVRAM_bFlashWriteBack(); }

BOOLEAN H_NVRAM_bScratchNVR(U32 u32Code1, U32 u32Code2) {
  if (u32Code1 != NVR_SCRATCH_CODE1 || u32Code2 != NVR_SCRATCH_CODE2) return FALSE;
  bool bOk = true;
  for (U32 u32Index = 0; u32Index < nfCOUNT; u32Index++) {
    char acPath[PATH_MAX];
    if (bPath(u32Index, acPath) && unlink(acPath) != 0 && errno != ENOENT) {
      log_me("NVRAM: cannot remove %s: %s", acPath, std::strerror(errno));
      bOk = false;
    }
  }
  vCloseAndForget();
  bMakeDirectories();
  return bOk ? TRUE : FALSE;
}

BOOLEAN H_NVRAM_bReadBlock(U32 u32Index, U8 *pData, U32 u32Size) {
  if (u32Index >= nfCOUNT || !bOpen(u32Index)) return FALSE;
  const int fd = corvan_filehands[u32Index];
  const bool bOk = pread(fd, pData, u32Size, 0) == static_cast<ssize_t>(u32Size);
  return (bOk && fsync(fd) == 0) ? TRUE : FALSE;
}

BOOLEAN H_NVRAM_bWriteBlock(U32 u32Index, const U8 *pData, U32 u32Size) {
  if (u32Index >= nfCOUNT || !bOpen(u32Index)) return FALSE;
  const int fd = corvan_filehands[u32Index];
  const bool bOk = pwrite(fd, pData, u32Size, 0) == static_cast<ssize_t>(u32Size);
  return (bOk && fsync(fd) == 0) ? TRUE : FALSE;
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

void H_NVRAM_vSetDirectoriesForTest(const char *pcData, const char *pcScratch) {
  vCloseAndForget();
  std::memset(s_abSlotShareLogged, 0, sizeof s_abSlotShareLogged);
  for (UNIT_HEADER_CONTROL &row : s_4chHeader) row.bRegistered = FALSE;
  fcread_offset = 0;
  fcread_offbno = 0;
  s_bDirsOverridden = pcData != nullptr;
  s_sDataDir = pcData != nullptr ? pcData : "";
  s_sScratchDir = pcScratch != nullptr ? pcScratch : "";
}
