// Shared set-up of the navigation store tests: empty tables, empty store directories, a system state.
#pragma once
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "nav/track.h"
#include "navdata/nav_nvram.h"
#include "navdata/nav_records.h"
#include "platform/datadir.h"
#include "settings/database.h"

inline std::vector<U8> readFile(const std::string &sPath) {
  std::ifstream in(sPath, std::ios::binary);
  return std::vector<U8>(std::istreambuf_iterator<char>(in), {});
}

inline void writeFile(const std::string &sPath, const std::vector<U8> &bytes) {
  std::ofstream out(sPath, std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char *>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

class NavStoreTest : public ::testing::Test {
 protected:
  void SetUp() override {
    NAV_vClearTables();
    std::filesystem::path data(L_UTILS_cpGetPathnamePtr());
    for (const char *pcDir : {"wpts", "routes", "tracks", "cr_track", "wendrixs"}) {
      std::filesystem::remove_all(data / pcDir);
    }
    H_DATABASE_bUpdateValueU32(FCID("CCST"), 3, P_NORMAL);
    T_NAV_NVRAM_vInit();
    T_NAV_NVRAM_vEraseCurrentTrack();
  }

  static std::string path(const std::string &sRelative) {
    return std::string(L_UTILS_cpGetPathnamePtr()) + "/" + sRelative;
  }

  static WAYPOINT waypoint(const char *pcName, S32 x, S32 y, U8 u8Icon = 5) {
    WAYPOINT w{};
    w.u8Status = WP_STATUS_NORMAL;
    w.u8Icon = u8Icon;
    w.u16Depth = 1234;
    w.u32DateTime = 0x01020304;
    w.pt = POINT{x, y};
    std::memcpy(w.sName, pcName, std::min(std::strlen(pcName), sizeof w.sName));
    return w;
  }
};

// The navigation task's side of the current track: add a point, then one ring-file call for its new delta.
inline void NAVTEST_vAppendPoint(TRACK *pTrack, POINT pt, bool bGap, U16 u16Depth = 7) {
  U_NAV_vAddTrackPoint(pTrack, pt, u16Depth, bGap ? TRUE : FALSE);
  const TRACK_HEADER &h = pTrack->sHeader;
  if (h.u16Count < 2) return;
  U16 u16Last = static_cast<U16>((h.u16FirstDelta + h.u16Count - 2) % NAV_TRACK_DELTAS);
  U16 u16Delta = bGap ? static_cast<U16>((u16Last + NAV_TRACK_DELTAS - 2) % NAV_TRACK_DELTAS) : u16Last;
  T_NAV_NVRAM_vAddCurrentTrackPoint(pTrack, u16Delta, u16Last, bGap ? TRUE : FALSE);
}
