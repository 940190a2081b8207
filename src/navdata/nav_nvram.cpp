// Navigation record files on internal flash. A record file is replaced whole: the new content goes to a
// temporary beside it, is synced and renamed over the old one, so a cut write leaves the old record.
#include "navdata/nav_nvram.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "kernel/kernel_defs.h"
#include "kernel/log.h"
#include "kernel/mutex.h"
#include "nav/track.h"
#include "navdata/nav_card.h"
#include "platform/datadir.h"
#include "settings/database.h"
#include "settings/fs.h"
#include "ui/startup/startup_state.h"

namespace {

constexpr const char *kWpts = "wpts";
constexpr const char *kRoutes = "routes";
constexpr const char *kTracks = "tracks";
constexpr const char *kCurrent = "cr_track";
constexpr const char *kWendrixs = "wendrixs";
constexpr const char *kTmpSuffix = ".tmp";
constexpr U32 kHeaderBytes = 8;

S32 s_currentTrackOffset;
TRACK s_sTrack;
U8 s_au8TrackImage[kHeaderBytes + NAV_TRACK_BYTES];

struct DirKind {
  const char *pcDir;
  U8 u8Type;
  U8 u8Version;
  U32 nRecordBytes;
  U32 nCount;
};

constexpr DirKind kKinds[] = {
    {kTracks, NAV_FILE_TRACK, 3, NAV_TRACK_BYTES, NAV_TRACKS},
    {kWpts, NAV_FILE_WAYPOINT, 3, NAV_WAYPOINT_BYTES, NAV_WAYPOINT_SLOTS},
    {kRoutes, NAV_FILE_ROUTE, 3, NAV_ROUTE_BYTES, NAV_ROUTES},
    {kWendrixs, NAV_FILE_WENDRIX, 1, NAV_WENDRIX_BYTES, NAV_WENDRIXS},
};

const DirKind &kindOf(U8 u8Type) { return kKinds[u8Type - 1]; }

std::string sPath(const char *pcDir, const char *pcName = nullptr) {
  std::string s = std::string(L_UTILS_cpGetPathnamePtr()) + "/" + pcDir;
  if (pcName != nullptr) s += std::string("/") + pcName;
  return s;
}

std::string sRecordPath(const char *pcDir, U32 nIndex) { return sPath(pcDir, std::to_string(nIndex).c_str()); }

BOOLEAN bStateAllowsWrite(BOOLEAN bOverridePointOfSale) {
  if (bOverridePointOfSale) return TRUE;
  U32 u32State = 0;
  if (!H_DATABASE_bFetchU32(FCID("CCST"), &u32State, nullptr, nullptr)) return FALSE;
  return u32State != STATE_POINT_OF_SALE;
}

BOOLEAN bNormalRun(void) {
  U32 u32State = 0;
  return H_DATABASE_bFetchU32(FCID("CCST"), &u32State, nullptr, nullptr) && u32State == STATE_NORMAL_RUN;
}

bool bWriteAll(int fd, const U8 *pu8Data, size_t uSize) {
  while (uSize > 0) {
    ssize_t n = write(fd, pu8Data, uSize);
    if (n < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    pu8Data += n;
    uSize -= static_cast<size_t>(n);
  }
  return true;
}

void vSyncDir(const std::string &sDir) {
  int fd = open(sDir.c_str(), O_RDONLY | O_DIRECTORY);
  if (fd < 0) return;
  fsync(fd);
  close(fd);
}

// Header and image as one file, put in place by rename.
void vWriteRecord(U8 u8Type, U32 nIndex, const U8 *pu8Record, BOOLEAN bOverridePointOfSale) {
  const DirKind &kind = kindOf(u8Type);
  if (nIndex >= kind.nCount) {
    log_me("nav: %s record %u not written: index past the table", kind.pcDir, static_cast<unsigned>(nIndex));
    return;
  }
  if (!bStateAllowsWrite(bOverridePointOfSale)) return;
  U8 au8Header[kHeaderBytes];
  NAV_vPut32(au8Header, NAV_FS_VERSION, false);
  au8Header[4] = u8Type;
  au8Header[5] = kind.u8Version;
  NAV_vPut16(au8Header + 6, static_cast<U16>(nIndex), false);
  std::string sFinal = sRecordPath(kind.pcDir, nIndex);
  std::string sTemp = sFinal + kTmpSuffix;
  int fd = open(sTemp.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
  if (fd < 0) {
    log_me("nav: cannot write %s: %s", sTemp.c_str(), std::strerror(errno));
    return;
  }
  bool bOk = bWriteAll(fd, au8Header, sizeof au8Header) && bWriteAll(fd, pu8Record, kind.nRecordBytes) &&
             fsync(fd) == 0;
  bOk = (close(fd) == 0) && bOk;
  if (!bOk || rename(sTemp.c_str(), sFinal.c_str()) != 0) {
    log_me("nav: writing %s failed: %s; the previous record is kept", sFinal.c_str(), std::strerror(errno));
    unlink(sTemp.c_str());
    return;
  }
  vSyncDir(sPath(kind.pcDir));
}

void vDeleteRecord(U8 u8Type, U16 u16Index, BOOLEAN bOverridePointOfSale) {
  const DirKind &kind = kindOf(u8Type);
  if (u16Index >= kind.nCount || !bStateAllowsWrite(bOverridePointOfSale)) return;
  FS_Remove(sRecordPath(kind.pcDir, u16Index).c_str());
}

bool bEndsWith(const char *pcName, const char *pcSuffix) {
  size_t n = std::strlen(pcName), m = std::strlen(pcSuffix);
  return n >= m && std::strcmp(pcName + n - m, pcSuffix) == 0;
}

const DirKind *pKindOfDir(const char *pDirName) {
  const char *pcSlash = std::strrchr(pDirName, '/');
  const char *pcLeaf = pcSlash != nullptr ? pcSlash + 1 : pDirName;
  for (const DirKind &kind : kKinds) {
    if (std::strcmp(pcLeaf, kind.pcDir) == 0) return &kind;
  }
  return nullptr;
}

void vRaise(S32 *ps32Out, S32 s32Value) {
  if (ps32Out != nullptr && *ps32Out < s32Value) *ps32Out = s32Value;
}

// One record file into the table; false when the file is to be removed.
bool bLoadRecordFile(FILE *pFile, const char *pcName, const DirKind &kind, void *pNavData, S32 *s32Out) {
  U8 au8Header[kHeaderBytes];
  if (fread(au8Header, 1, sizeof au8Header, pFile) != sizeof au8Header ||
      NAV_u32Get(au8Header, false) != NAV_FS_VERSION) {
    log_me("nav: %s is no record file; removed", pcName);
    return false;
  }
  U8 u8Type = au8Header[4];
  U8 u8Version = au8Header[5];
  U16 u16Index = NAV_u16Get(au8Header + 6, false);
  if (u8Type != kind.u8Type) {
    log_me("nav: %s holds a record of type %u, not of this directory; kept, not loaded", pcName, u8Type);
    return true;
  }
  if (u16Index >= kind.nCount) {
    log_me("nav: %s names index %u past the table; removed", pcName, static_cast<unsigned>(u16Index));
    return false;
  }
  // Track files are checked for their whole length but only their header is kept.
  U32 nRead = u8Type == NAV_FILE_TRACK ? NAV_TRACK_HEADER_BYTES : kind.nRecordBytes;
  std::vector<U8> image(kind.nRecordBytes);
  if (fread(image.data(), 1, nRead, pFile) != nRead ||
      (u8Type == NAV_FILE_TRACK && FS_GetFileSize(pFile) < kHeaderBytes + NAV_TRACK_BYTES)) {
    log_me("nav: %s is cut short; removed", pcName);
    return false;
  }
  switch (u8Type) {
    case NAV_FILE_TRACK: {
      TRACK_HEADER tHeader;
      NAV_vUnpackTrackHeader(image.data(), &tHeader);
      if (NAV_bTrackHeaderIsSound(&tHeader, pcName)) static_cast<TRACK_HEADER *>(pNavData)[u16Index] = tHeader;
      break;
    }
    case NAV_FILE_WAYPOINT: {
      WAYPOINT *pSlot = &static_cast<WAYPOINT *>(pNavData)[u16Index];
      NAV_vUnpackWaypoint(image.data(), pSlot);
      vRaise(s32Out, u16Index + 1);
      T_NAV_DATA_vFixBadStrelloqIcon(u16Index, u8Version, pSlot);
      break;
    }
    case NAV_FILE_ROUTE: {
      ROUTE tRoute;
      NAV_vUnpackRoute(image.data(), &tRoute);
      if (NAV_bRouteIsSound(&tRoute, pcName)) static_cast<ROUTE *>(pNavData)[u16Index] = tRoute;
      break;
    }
    case NAV_FILE_WENDRIX: {
      auto *pWendrix = new WENDRIX;
      NAV_vUnpackWendrix(image.data(), pWendrix);
      if (NAV_bWendrixIsSound(&pWendrix->tHeader, pcName)) {
        static_cast<WENDRIX *>(pNavData)[u16Index] = *pWendrix;
        vRaise(s32Out, u16Index + 1);
      }
      delete pWendrix;
      break;
    }
    default:
      break;
  }
  return true;
}

// Ring-file delta as written.
void vPutDelta(std::vector<U8> &bytes, S16 x, S16 y, U16 u16Depth) {
  U8 au8[6];
  NAV_vPut16(au8, static_cast<U16>(x), false);
  NAV_vPut16(au8 + 2, static_cast<U16>(y), false);
  NAV_vPut16(au8 + 4, u16Depth, false);
  bytes.insert(bytes.end(), au8, au8 + 6);
}

bool bIsMarkerA(const TRACK_DELTA_DEPTH_TRIPLE &d) { return d.x == 0x7FFF && d.y == 0x7FFF; }
bool bIsMarkerB(const TRACK_DELTA_DEPTH_TRIPLE &d) { return d.x == -32768 && d.y == -32768; }

U32 nPrev(U32 i) { return i == 0 ? NAV_TRACK_DELTAS - 1 : i - 1; }

TRACK_DELTA_DEPTH_TRIPLE tDeltaAt(const U8 *p) {
  return TRACK_DELTA_DEPTH_TRIPLE{static_cast<S16>(NAV_u16Get(p, false)), static_cast<S16>(NAV_u16Get(p + 2, false)),
                                  NAV_u16Get(p + 4, false)};
}

void vApply(TRACK *pTrack, const TRACK_DELTA_DEPTH_TRIPLE &d, BOOLEAN bGap) {
  POINT pt{NAV_s32WrapX(static_cast<S64>(pTrack->sHeader.ptLast.x) + d.x),
           NAV_s32ClampY(static_cast<S64>(pTrack->sHeader.ptLast.y) + d.y)};
  U_NAV_vAddTrackPoint(pTrack, pt, d.u16Depth, bGap);
}

std::string sRingPath(int n) { return sPath(kCurrent, n == 1 ? "track.1" : "track.2"); }

}  // namespace

void NAV_NVRAM_vDirPath(const char *pcDir, char *pcOut, size_t uSize) {
  std::snprintf(pcOut, uSize, "%s", sPath(pcDir).c_str());
}

void T_NAV_NVRAM_vInit(void) {
  for (const char *pcDir : {kWpts, kRoutes, kTracks, kCurrent, kWendrixs}) {
    std::string sDir = sPath(pcDir);
    if (mkdir(sDir.c_str(), 0777) != 0 && errno != EEXIST) {
      log_me("nav: cannot make %s: %s", sDir.c_str(), std::strerror(errno));
    }
  }
}

void T_NAV_NVRAM_vRemoveDir(const char *pFullDirName) {
  CORVAN_DIR *pDir = FS_OpenDir(pFullDirName);
  if (pDir != nullptr) {
    while (CORVAN_DIRENT *pEntry = FS_ReadDir(pDir)) FS_Remove(pEntry->full_name);
    FS_CloseDir(pDir);
  }
  rmdir(pFullDirName);
}

void T_NAV_NVRAM_vErase(void) {
  for (const char *pcDir : {kWpts, kRoutes, kTracks, kCurrent, kWendrixs}) {
    T_NAV_NVRAM_vRemoveDir(sPath(pcDir).c_str());
  }
  s_currentTrackOffset = 0;
}

void T_NAV_NVRAM_vSaveWaypoint(const WAYPOINT *pWaypoint, U16 u16Index, BOOLEAN bOverridePointOfSale) {
  U8 au8Image[NAV_WAYPOINT_BYTES];
  NAV_vPackWaypoint(pWaypoint, au8Image);
  vWriteRecord(NAV_FILE_WAYPOINT, u16Index, au8Image, bOverridePointOfSale);
}

void T_NAV_NVRAM_vSaveRoute(const ROUTE *pRoute, U16 u16Index, BOOLEAN bOverridePointOfSale) {
  U8 au8Image[NAV_ROUTE_BYTES];
  NAV_vPackRoute(pRoute, au8Image);
  vWriteRecord(NAV_FILE_ROUTE, u16Index, au8Image, bOverridePointOfSale);
}

void T_NAV_NVRAM_vSaveTrack(const TRACK *pTrack, U16 u16Index, BOOLEAN bOverridePointOfSale) {
  std::vector<U8> image(NAV_TRACK_BYTES);
  NAV_vPackTrack(pTrack, image.data());
  vWriteRecord(NAV_FILE_TRACK, u16Index, image.data(), bOverridePointOfSale);
}

void T_NAV_NVRAM_vSaveWendrix(const WENDRIX *pWendrix, U16 u16Index, BOOLEAN bOverridePointOfSale) {
  std::vector<U8> image(NAV_WENDRIX_BYTES);
  NAV_vPackWendrix(pWendrix, image.data());
  vWriteRecord(NAV_FILE_WENDRIX, u16Index, image.data(), bOverridePointOfSale);
}

void T_NAV_NVRAM_vDeleteWaypoint(U16 u16Index, BOOLEAN bOverride) { vDeleteRecord(NAV_FILE_WAYPOINT, u16Index, bOverride); }
void T_NAV_NVRAM_vDeleteRoute(U16 u16Index, BOOLEAN bOverride) { vDeleteRecord(NAV_FILE_ROUTE, u16Index, bOverride); }
void T_NAV_NVRAM_vDeleteTrack(U16 u16Index, BOOLEAN bOverride) { vDeleteRecord(NAV_FILE_TRACK, u16Index, bOverride); }
void T_NAV_NVRAM_vDeleteWendrix(U16 u16Index, BOOLEAN bOverride) { vDeleteRecord(NAV_FILE_WENDRIX, u16Index, bOverride); }

void T_NAV_NVRAM_vScanData(void *pNavData, const char *pDirName, S32 *s32Out) {
  const DirKind *pKind = pKindOfDir(pDirName);
  if (pKind == nullptr) {
    log_me("nav: %s is no store directory", pDirName);
    return;
  }
  CORVAN_DIR *pDir = FS_OpenDir(pDirName);
  if (pDir == nullptr) return;
  while (CORVAN_DIRENT *pEntry = FS_ReadDir(pDir)) {
    if (pEntry->attr == FS_ATTR_DIRECTORY) continue;
    const char *pcName = pEntry->full_name;
    if (bEndsWith(pcName, kTmpSuffix)) {
      log_me("nav: %s left by a cut write; removed", pcName);
      FS_Remove(pcName);
      continue;
    }
    FILE *pFile = std::fopen(pcName, "rb");
    if (pFile == nullptr) continue;
    bool bKeep = bLoadRecordFile(pFile, pcName, *pKind, pNavData, s32Out);
    std::fclose(pFile);
    if (!bKeep) FS_Remove(pcName);
  }
  FS_CloseDir(pDir);
}

void T_NAV_NVRAM_vScan(TRACK_HEADER *pTrackHeader, WAYPOINT *pWaypoint, S32 *pnWaypointsUsed, ROUTE *pRoute) {
  T_NAV_NVRAM_vScanData(pWaypoint, sPath(kWpts).c_str(), pnWaypointsUsed);
  T_NAV_NVRAM_vScanData(pRoute, sPath(kRoutes).c_str(), nullptr);
  T_NAV_NVRAM_vScanData(pTrackHeader, sPath(kTracks).c_str(), nullptr);
}

void T_NAV_NVRAM_vScanWendrix(WENDRIX *pWendrix, S32 *pnWendrixsUsed) {
  T_NAV_NVRAM_vScanData(pWendrix, sPath(kWendrixs).c_str(), pnWendrixsUsed);
}

TRACK *T_NAV_NVRAM_pLoadTrack(U32 nIndex) {
  L_MUTEX_LockWait(RES_STATIC_TRACK);
  s_sTrack.sHeader.u16Count = 0;
  if (nIndex >= NAV_TRACKS) return &s_sTrack;
  std::string sName = sRecordPath(kTracks, nIndex);
  FILE *pFile = std::fopen(sName.c_str(), "rb");
  if (pFile == nullptr) return &s_sTrack;
  size_t n = fread(s_au8TrackImage, 1, sizeof s_au8TrackImage, pFile);
  std::fclose(pFile);
  if (n != sizeof s_au8TrackImage || NAV_u32Get(s_au8TrackImage, false) != NAV_FS_VERSION ||
      s_au8TrackImage[4] != NAV_FILE_TRACK) {
    log_me("nav: %s is damaged; track not loaded", sName.c_str());
    return &s_sTrack;
  }
  NAV_vUnpackTrack(s_au8TrackImage + kHeaderBytes, &s_sTrack);
  if (!NAV_bTrackHeaderIsSound(&s_sTrack.sHeader, sName.c_str())) s_sTrack.sHeader.u16Count = 0;
  return &s_sTrack;
}

void T_NAV_NVRAM_vReleaseTrack(void) { L_MUTEX_Unlock(RES_STATIC_TRACK); }

void T_NAV_NVRAM_vAddCurrentTrackPoint(const TRACK *pTrack, U16 nDeltaIndex, U16 nLastDeltaIndex,
                                       BOOLEAN bGapPoint) {
  if (nDeltaIndex >= NAV_TRACK_DELTAS) return;
  if (s_currentTrackOffset > NAV_RING_ROTATE_AFTER) {
    FS_Remove(sRingPath(1).c_str());
    if (rename(sRingPath(2).c_str(), sRingPath(1).c_str()) != 0) {
      log_me("nav: cannot rotate the current track: %s", std::strerror(errno));
    }
    s_currentTrackOffset = 0;
  }
  U32 nOwn = bGapPoint ? (nDeltaIndex + 2u) % NAV_TRACK_DELTAS : nDeltaIndex;
  const TRACK_DELTA_DEPTH_TRIPLE &own = pTrack->aDelta[nOwn];
  std::vector<U8> bytes;
  if (s_currentTrackOffset == 0) {
    // The point the call's delta leads to: the newest point taken back over the later deltas.
    S64 x = pTrack->sHeader.ptLast.x, y = pTrack->sHeader.ptLast.y;
    if (nLastDeltaIndex < NAV_TRACK_DELTAS) {
      U32 j = nLastDeltaIndex;
      for (U32 nSteps = 0; j != nOwn && nSteps < NAV_TRACK_DELTAS; ++nSteps) {
        const TRACK_DELTA_DEPTH_TRIPLE &d = pTrack->aDelta[j];
        if (bIsMarkerB(d) && bIsMarkerA(pTrack->aDelta[nPrev(j)]) && nPrev(j) != nOwn) {
          j = nPrev(nPrev(j));
          continue;
        }
        x = NAV_s32WrapX(x - d.x);
        y = NAV_s32ClampY(y - d.y);
        j = nPrev(j);
      }
    }
    U8 au8Origin[10];
    NAV_vPut32(au8Origin, static_cast<U32>(x), false);
    NAV_vPut32(au8Origin + 4, static_cast<U32>(y), false);
    NAV_vPut16(au8Origin + 8, own.u16Depth, false);
    bytes.insert(bytes.end(), au8Origin, au8Origin + 10);
    if (bGapPoint) {
      vPutDelta(bytes, 0x7FFF, 0x7FFF, own.u16Depth);
      vPutDelta(bytes, -32768, -32768, own.u16Depth);
      vPutDelta(bytes, 1, 1, own.u16Depth);
    }
  } else {
    if (bGapPoint) {
      for (U32 k = 0; k < 2; ++k) {
        const TRACK_DELTA_DEPTH_TRIPLE &d = pTrack->aDelta[(nDeltaIndex + k) % NAV_TRACK_DELTAS];
        vPutDelta(bytes, d.x, d.y, d.u16Depth);
      }
    }
    vPutDelta(bytes, own.x, own.y, own.u16Depth);
  }
  // One write per call, so a cut leaves at most one partial call at the end.
  std::string sName = sRingPath(2);
  int fd = open(sName.c_str(), O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0666);
  if (fd < 0) return;
  if (!bWriteAll(fd, bytes.data(), bytes.size())) {
    log_me("nav: appending to %s failed: %s", sName.c_str(), std::strerror(errno));
  }
  close(fd);
  s_currentTrackOffset += static_cast<S32>(bytes.size());
}

S32 T_NAV_NVRAM_vScanCurrentTrackFile(TRACK *pTrack, const char *pFullFileName) {
  FILE *pFile = std::fopen(pFullFileName, "rb");
  if (pFile == nullptr) return 0;
  std::vector<U8> data;
  U8 au8Chunk[8192];
  size_t n;
  while ((n = fread(au8Chunk, 1, sizeof au8Chunk, pFile)) > 0) data.insert(data.end(), au8Chunk, au8Chunk + n);
  std::fclose(pFile);
  const size_t uSize = data.size();
  if (uSize < 10) {
    if (uSize > 0) log_me("nav: %s holds no whole origin; left out", pFullFileName);
    return 0;
  }
  POINT ptOrigin{static_cast<S32>(NAV_u32Get(data.data(), false)), static_cast<S32>(NAV_u32Get(data.data() + 4, false))};
  U16 u16OriginDepth = NAV_u16Get(data.data() + 8, false);
  size_t uPos = 10;
  auto bGapAt = [&](size_t p) {
    return p + 12 <= uSize && bIsMarkerA(tDeltaAt(&data[p])) && bIsMarkerB(tDeltaAt(&data[p + 6]));
  };
  if (bGapAt(uPos) && uPos + 18 <= uSize) {
    TRACK_DELTA_DEPTH_TRIPLE d = tDeltaAt(&data[uPos + 12]);
    if (d.x == 1 && d.y == 1) {
      U_NAV_vAddTrackPoint(pTrack, ptOrigin, u16OriginDepth, TRUE);
      uPos += 18;
    } else {
      U_NAV_vAddTrackPoint(pTrack, ptOrigin, u16OriginDepth, FALSE);
    }
  } else {
    U_NAV_vAddTrackPoint(pTrack, ptOrigin, u16OriginDepth, FALSE);
  }
  while (uPos + 6 <= uSize) {
    TRACK_DELTA_DEPTH_TRIPLE d = tDeltaAt(&data[uPos]);
    if (bIsMarkerA(d)) {
      // A marker is only whole with what follows it: the second marker and its delta, or an ordinary delta.
      if (uPos + 12 > uSize) break;
      if (bIsMarkerB(tDeltaAt(&data[uPos + 6]))) {
        if (uPos + 18 > uSize) break;
        vApply(pTrack, tDeltaAt(&data[uPos + 12]), TRUE);
        uPos += 18;
        continue;
      }
      vApply(pTrack, d, FALSE);
      vApply(pTrack, tDeltaAt(&data[uPos + 6]), FALSE);
      uPos += 12;
      continue;
    }
    vApply(pTrack, d, FALSE);
    uPos += 6;
  }
  if (uPos != uSize) {
    log_me("nav: %s ends in a partial record (%zu of %zu bytes whole)", pFullFileName, uPos, uSize);
  }
  return static_cast<S32>(uPos);
}

void T_NAV_NVRAM_vScanCurrentTrack(TRACK *pTrack) {
  if (!bNormalRun()) return;
  U_NAV_vClearTrack(&pTrack->sHeader);
  T_NAV_NVRAM_vScanCurrentTrackFile(pTrack, sRingPath(1).c_str());
  std::string sName = sRingPath(2);
  S32 s32Whole = T_NAV_NVRAM_vScanCurrentTrackFile(pTrack, sName.c_str());
  struct stat st;
  if (stat(sName.c_str(), &st) == 0 && st.st_size != s32Whole) {
    // Cut back to the last whole call so the next append stays in step.
    if (truncate(sName.c_str(), s32Whole) != 0) {
      log_me("nav: cannot cut %s back: %s", sName.c_str(), std::strerror(errno));
    }
  }
  s_currentTrackOffset = s32Whole;
}

void T_NAV_NVRAM_vEraseCurrentTrack(void) {
  if (!bNormalRun()) return;
  FS_Remove(sRingPath(1).c_str());
  FS_Remove(sRingPath(2).c_str());
  s_currentTrackOffset = 0;
}

S32 NAV_NVRAM_s32CurrentTrackOffset(void) { return s_currentTrackOffset; }
