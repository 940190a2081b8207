#include "settings/fs.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "kernel/memory.h"
#include "kernel/mutex.h"

namespace {

template <size_t N>
bool bCopy(char (&acDest)[N], const char *pcSource) {
  const size_t length = std::strlen(pcSource);
  if (length >= N) return false;
  std::memcpy(acDest, pcSource, length + 1);
  return true;
}

}  // namespace

CORVAN_DIR *FS_OpenDir(const char *pcPath) {
  if (pcPath == nullptr || std::strlen(pcPath) >= sizeof(CORVAN_DIR::name)) return nullptr;
  DIR *pSysDir = opendir(pcPath);
  if (pSysDir == nullptr) return nullptr;
  auto *pDir = static_cast<CORVAN_DIR *>(H_MEMORY_pvMalloc(sizeof(CORVAN_DIR)));
  std::memset(pDir, 0, sizeof *pDir);
  pDir->pDir = pSysDir;
  bCopy(pDir->name, pcPath);
  return pDir;
}

CORVAN_DIRENT *FS_ReadDir(CORVAN_DIR *pDir) {
  if (pDir == nullptr) return nullptr;
  for (;;) {
    struct dirent *pEntry = readdir(pDir->pDir);
    if (pEntry == nullptr) return nullptr;
    if (std::strcmp(pEntry->d_name, ".") == 0 || std::strcmp(pEntry->d_name, "..") == 0) continue;
    CORVAN_DIRENT &ent = pDir->mdirent;
    const int n = std::snprintf(ent.full_name, sizeof ent.full_name, "%s/%s", pDir->name, pEntry->d_name);
    if (n < 0 || static_cast<size_t>(n) >= sizeof ent.full_name) continue;  // name does not fit: skip it
    struct stat st;
    if (stat(ent.full_name, &st) != 0) continue;  // vanished or unreadable: skip it, the listing goes on
    ent.pDirent = pEntry;
    ent.attr = S_ISDIR(st.st_mode) ? FS_ATTR_DIRECTORY : 0;
    ent.size = st.st_size > 0xFFFFFFFF ? 0xFFFFFFFFu : static_cast<U32>(st.st_size);
    return &ent;
  }
}

void FS_RewindDir(CORVAN_DIR *pDir) {
  if (pDir != nullptr) rewinddir(pDir->pDir);
}

void FS_CloseDir(CORVAN_DIR *pDir) {
  if (pDir == nullptr) return;
  closedir(pDir->pDir);
  H_MEMORY_vFree(pDir);
}

void FS_DirEnt2Name(const CORVAN_DIRENT *pEntry, char *pcName) {
  std::snprintf(pcName, sizeof(pEntry->full_name), "%s", pEntry->pDirent->d_name);
}

U32 FS_DirEnt2Size(const CORVAN_DIRENT *pEntry) { return pEntry->size; }

void FS_DirEnt2Attr(const CORVAN_DIRENT *pEntry, U8 *pu8Attr) { *pu8Attr = pEntry->attr; }

U8 FS_GetFileAttributes(const char *pcPath) {
  struct stat st;
  if (stat(pcPath, &st) != 0) return FS_ATTR_UNKNOWN;
  return S_ISDIR(st.st_mode) ? FS_ATTR_DIRECTORY : 0;
}

U32 FS_GetFileSize(FILE *pFile) {
  const long lWhere = std::ftell(pFile);
  if (lWhere < 0 || std::fseek(pFile, 0, SEEK_END) != 0) return 0xFFFFFFFFu;
  const long lSize = std::ftell(pFile);
  if (lSize != lWhere) std::fseek(pFile, lWhere, SEEK_SET);
  return lSize < 0 ? 0xFFFFFFFFu : static_cast<U32>(lSize);
}

int FS_Remove(const char *pcPath) {
  int nResult = 0;
  if (std::remove(pcPath) != 0 && errno != ENOENT) nResult = -errno;
  sync();
  return nResult;
}

int FS_X_OS_Init(void) { return 0; }
int FS_X_OS_Exit(void) { return 0; }
int FS_X_OS_GetDate(void) { return 0; }
int FS_X_OS_GetTime(void) { return 0; }
int FS_X_OS_Lock(void) { return L_MUTEX_LockWait(RES_FS_FOP); }
int FS_X_OS_Unlock(void) { return L_MUTEX_Unlock(RES_FS_FOP); }
