// Directory listing with full paths, small file functions and removal.
#pragma once
#include <dirent.h>

#include <cstdio>

#include "corvan/types.h"

typedef struct tagCORVAN_DIRENT {
  char full_name[256];     // directory path, "/", entry name
  struct dirent *pDirent;  // the system's entry
  U32 size;                // bytes (0xFFFFFFFF for larger files)
  U8 attr;                 // 16 directory, 0 anything else
} CORVAN_DIRENT;

typedef struct tagCORVAN_DIR {
  char name[256];
  DIR *pDir;
  CORVAN_DIRENT mdirent;  // the entry returned last
} CORVAN_DIR;
typedef CORVAN_DIR FS_DIR;

constexpr U8 FS_ATTR_DIRECTORY = 16;
constexpr U8 FS_ATTR_UNKNOWN = 255;

// NULL when the directory cannot be opened or its path does not fit.
CORVAN_DIR *FS_OpenDir(const char *pcPath);
// The next entry ("." and ".." skipped, entries that cannot be examined skipped), NULL at the end.
CORVAN_DIRENT *FS_ReadDir(CORVAN_DIR *pDir);
void FS_RewindDir(CORVAN_DIR *pDir);
void FS_CloseDir(CORVAN_DIR *pDir);
// Copies the entry's name (at most 256 bytes with the NUL).
void FS_DirEnt2Name(const CORVAN_DIRENT *pEntry, char *pcName);
U32 FS_DirEnt2Size(const CORVAN_DIRENT *pEntry);
void FS_DirEnt2Attr(const CORVAN_DIRENT *pEntry, U8 *pu8Attr);
// 16 directory, 0 other file, 255 when it cannot be examined.
U8 FS_GetFileAttributes(const char *pcPath);
// The size of an open stream; 0xFFFFFFFF when it cannot seek.
U32 FS_GetFileSize(FILE *pFile);
// Removes the file and syncs at once. 0 also when the file did not exist; else the negated errno.
int FS_Remove(const char *pcPath);

// Hooks of a file-system layer; nothing calls them.
int FS_X_OS_Init(void);
int FS_X_OS_Exit(void);
int FS_X_OS_GetDate(void);
int FS_X_OS_GetTime(void);
int FS_X_OS_Lock(void);
int FS_X_OS_Unlock(void);
