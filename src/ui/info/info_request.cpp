#include "ui/info/info_request.h"

#include <mutex>

namespace {

constexpr U32 kBoxes = 5;
constexpr U32 kMaxRequests = 5;
constexpr FOURCHARID fcidWindow[kBoxes] = {FCID("SIS1"), FCID("SIS2"), FCID("SIS3"), FCID("SIS4"), FCID("SIS5")};

// Sensor tasks call in from their own threads.
std::mutex s_mutex;
U32 s_nRequests = 0;
FOURCHARID s_fcid[kMaxRequests];
U32 s_nWindow[kMaxRequests];

BOOLEAN boxHolds(FOURCHARID fcidBox, FOURCHARID fcidItem) {
  U32 u32Value = 0;
  return H_DATABASE_bFetchU32(fcidBox, &u32Value, nullptr, nullptr) && u32Value == fcidItem;
}

BOOLEAN boxEmpty(FOURCHARID fcidBox) {
  U32 u32Value = 0;
  return H_DATABASE_bFetchU32(fcidBox, &u32Value, nullptr, nullptr) && u32Value == 0;
}

// u32Window is 1..5.
BOOLEAN place(FOURCHARID fcidItem, U32 u32Window) {
  for (FOURCHARID fcidBox : fcidWindow) {
    if (boxHolds(fcidBox, fcidItem)) return TRUE;
  }
  for (U32 i = 0; i < kBoxes; ++i) {
    const U32 u32Box = (u32Window - 1 + i) % kBoxes;
    if (boxEmpty(fcidWindow[u32Box])) {
      return !H_DATABASE_bUpdateValueU32(fcidWindow[u32Box], fcidItem, P_NORMAL);
    }
  }
  return FALSE;
}

}  // namespace

BOOLEAN U_INFO_bDisplayInInfoBox(FOURCHARID fcidItemToBeDisplayed, U32 u32Desired_window) {
  std::lock_guard<std::mutex> lock(s_mutex);
  if (s_nRequests >= kMaxRequests) return FALSE;
  s_fcid[s_nRequests] = fcidItemToBeDisplayed;
  s_nWindow[s_nRequests] = u32Desired_window;
  ++s_nRequests;
  if (u32Desired_window < 1 || u32Desired_window > kBoxes) return FALSE;
  return place(fcidItemToBeDisplayed, u32Desired_window);
}

void U_INFO_vReinitializeInfoBoxes(void) {
  std::lock_guard<std::mutex> lock(s_mutex);
  for (U32 i = 0; i < s_nRequests; ++i) {
    if (s_nWindow[i] >= 1 && s_nWindow[i] <= kBoxes) place(s_fcid[i], s_nWindow[i]);
  }
}

void U_INFO_vResetForTest(void) {
  std::lock_guard<std::mutex> lock(s_mutex);
  s_nRequests = 0;
}
