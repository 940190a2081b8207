#include "settings/version.h"

#include <cstdio>
#include <cstring>

#include "settings/database.h"

namespace {

constexpr U32 kProcessorMhz = 550;
constexpr const char *kBuildDate = "May 27 2015";

VERSION_INFO s_versionInfo;
BOOLEAN s_bVersionChanged;
BOOLEAN s_bUpgradingToGroupedWaypointManagement;

void vPut(BYTE *pDest, size_t size, const char *pcText) {
  std::memset(pDest, 0, size);
  const size_t length = std::strlen(pcText);
  std::memcpy(pDest, pcText, length < size ? length : size - 1);
}

}  // namespace

const VERSION_INFO *VERSION_pversion_infoGetCurrentVersion(void) {
  char acText[24];
  std::snprintf(acText, sizeof acText, "%1u.%03u", VERSION_MAJOR, VERSION_MINOR);
  vPut(s_versionInfo.version, sizeof s_versionInfo.version, acText);
  vPut(s_versionInfo.date, sizeof s_versionInfo.date, kBuildDate);
  std::snprintf(acText, sizeof acText, "%uMhz", kProcessorMhz);
  vPut(s_versionInfo.speed, sizeof s_versionInfo.speed, acText);
  U32 u32Rev = 0;
  if (H_DATABASE_bFetchU32(FCID("CREV"), &u32Rev, nullptr, nullptr)) {
    std::snprintf(acText, sizeof acText, "%d", static_cast<int>(u32Rev));
  } else {
    std::snprintf(acText, sizeof acText, "---");
  }
  vPut(s_versionInfo.rev, sizeof s_versionInfo.rev, acText);
  return &s_versionInfo;
}

BOOLEAN VERSION_bDetectVersionChange(void) {
  U32 u32Stored = 0;
  BOOLEAN bValid = FALSE;
  const bool bHaveVersion = H_DATABASE_bFetchU32(FCID("SFVR"), &u32Stored, &bValid, nullptr) && bValid;
  s_bVersionChanged = (bHaveVersion && u32Stored == VERSION_NUMBER) ? FALSE : TRUE;

  U32 u32Start = 0;
  U32 u32End = 0;
  BOOLEAN bStartValid = FALSE;
  BOOLEAN bEndValid = FALSE;
  const bool bGrouped = bHaveVersion && H_DATABASE_bFetchU32(FCID("SAGS"), &u32Start, &bStartValid, nullptr) &&
                        bStartValid && H_DATABASE_bFetchU32(FCID("SAGE"), &u32End, &bEndValid, nullptr) &&
                        bEndValid && u32Start == u32End;
  s_bUpgradingToGroupedWaypointManagement = bGrouped ? FALSE : TRUE;

  if (s_bVersionChanged) H_DATABASE_bUpdateValueU32(FCID("SFVR"), VERSION_NUMBER, P_NORMAL);
  return s_bVersionChanged;
}

BOOLEAN VERSION_bIsVersionChanged(void) { return s_bVersionChanged; }

BOOLEAN VERSION_bIsUpgradingToGroupedWaypointManagement(void) {
  return s_bUpgradingToGroupedWaypointManagement;
}
