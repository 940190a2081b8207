// What the capture review view draws (thumbnails with their scroll bar, the full picture, the information box
// and the playback bar), the picture and thumbnail requests to the card task, and the delete requests, which
// the draw function carries out.
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>

#include "chartlib/nav/nv_navig.h"
#include "draw/bmp.h"
#include "draw/box.h"
#include "view/buffers.h"
#include "view/capture_internal.h"
#include "draw/circle.h"
#include "draw/color.h"
#include "draw/icon.h"
#include "draw/icon_data.h"
#include "draw/string.h"
#include "util/datum.h"
#include "kernel/memory.h"
#include "kernel/sema.h"
#include "nav/nav_standin.h"
#include "ui/menu/dialog.h"
#include "ui/info/format.h"
#include "ui/menu/menu_draw_arrows.h"

namespace {

const ARRAY_OF_STRING_PTRS s_No_Images_Found = SAME22("No Images Found");
const ARRAY_OF_STRING_PTRS s_Title = SAME22("Snapshot and Recording View");
const ARRAY_OF_STRING_PTRS Current_Ping = SAME22("Current Ping");
const ARRAY_OF_STRING_PTRS Average_Ping = SAME22("Average Ping");
const ARRAY_OF_STRING_PTRS Remaining = SAME22("Remaining");

constexpr PIXEL kSlotX = 36;
constexpr PIXEL kSlotLower[3] = {315, 148, 14};
constexpr U32 kArrowWidth = 21;
constexpr U32 kKBPerMB = 1024;
constexpr U32 kKBPerGB = 1048576;

// The playback icon bar: rew, playrev, playrewslow, pause, playslow, play, ffw, rec, stop.
const ICON *const spInactiveIconList[9] = {&rew_inactive_icon,   &playrev_inactive_icon,  &playrewslow_inactive_icon,
                                           &pause_inactive_icon, &playslow_inactive_icon, &play_inactive_icon,
                                           &ffw_inactive_icon,   &rec_inactive_icon,      &stop_inactive_icon};
const ICON *s_pProgressIcon[9];
U32 s_u32ProgressIconWidth[9];
U32 s_u32ModeBarWidthRow1 = 0;
U32 s_u32ModeBarWidthRow2 = 0;

CAPTURE_STATE &st() { return T_VIEW_captureState(); }
COLOR colour(U32 u32Index) { return gCOLOR_pcolColorTable[u32Index]; }
const FONT_DEF *small() { return std_11x14_font_def_ptr; }

void vPutCentred(BITMAP *pBitmap, COLOR c, PIXEL xCentre, PIXEL y, const FONT_DEF *pFont, const char *pcText) {
  POINT at = {xCentre - static_cast<PIXEL>(G_STRING_u32GetWidth(pFont, pcText) / 2), y};
  G_STRING_vPut(pBitmap, c, &at, pFont, pcText);
}

void vOutline(BITMAP *pBitmap, COLOR c, PIXEL x, PIXEL y, U32 w, U32 h) {
  const POINT at = {x, y};
  G_BOX_vDraw(pBitmap, c, &at, w, h);
}

void vFill(BITMAP *pBitmap, COLOR c, PIXEL x, PIXEL y, U32 w, U32 h) {
  const POINT at = {x, y};
  G_BOX_vDrawFilled(pBitmap, c, &at, w, h);
}

COLOR arrowColour(bool bHighlighted) { return colour(bHighlighted ? 32 : 36); }

// An up arrow whose base is at y, centred on x; a down arrow whose tip is at y.
void vArrowUp(BITMAP *pBitmap, PIXEL xCentre, PIXEL yBase, bool bHigh) {
  U_MENU_vDrawArrowUp(pBitmap, {xCentre - static_cast<PIXEL>(kArrowWidth / 2), yBase}, kArrowWidth, arrowColour(bHigh));
}
void vArrowDown(BITMAP *pBitmap, PIXEL xCentre, PIXEL yTip, bool bHigh) {
  U_MENU_vDrawArrowDown(pBitmap,
                        {xCentre - static_cast<PIXEL>(kArrowWidth / 2), yTip + static_cast<PIXEL>(kArrowWidth / 2)},
                        kArrowWidth, arrowColour(bHigh));
}

void vIcon(BITMAP *pBitmap, const ICON *pIcon, PIXEL x, PIXEL y) {
  const POINT at = {x, y};
  G_ICON_vPut(pBitmap, pIcon, &at);
}

void vIconCentred(BITMAP *pBitmap, const ICON *pIcon, PIXEL xCentre, PIXEL yCentre) {
  vIcon(pBitmap, pIcon, xCentre - static_cast<PIXEL>(G_ICON_u32GetWidth(pIcon) / 2),
        yCentre - static_cast<PIXEL>(G_ICON_u32GetHeight(pIcon) / 2));
}

// The zoom-in (plus) or zoom-out (minus) sign of the review: a magnifier 20 pixels square.
void vZoomSign(BITMAP *pBitmap, PIXEL x, PIXEL y, bool bIn) {
  const POINT centre = {x + 8, y + 11};
  G_CIRCLE_vDrawFilled(pBitmap, colour(36), &centre, 17);
  G_CIRCLE_vDrawFilled(pBitmap, colour(34), &centre, 13);
  vFill(pBitmap, colour(36), x + 4, y + 10, 9, 3);
  if (bIn) vFill(pBitmap, colour(36), x + 7, y + 7, 3, 9);
  for (PIXEL i = 0; i < 6; ++i) vFill(pBitmap, colour(36), x + 13 + i, y + 3 - i + 0, 3, 3);
}

void vCopyName(char *pcDest, size_t szDest, const char *pcName, size_t szMax) {
  const size_t szCut = std::min(std::strcspn(pcName, "."), szMax);
  std::snprintf(pcDest, szDest, "%.*s", static_cast<int>(szCut), pcName);
}

// Fills the two slots after the current one from the list.
void vFillFollowing() {
  CAPTURE_STATE &s = st();
  char acPath[THUMBNAIL_NAME_SIZE];
  THUMBNAIL_TYPE eNext = s.pCard->eFindNext(s.psCurrentThumbnail->sName, acPath, nullptr);
  T_VIEW_vLoadSlot(s.psNextThumbnail, acPath, eNext);
  THUMBNAIL_TYPE eNextNext = THUMBNAIL_NONE;
  if (eNext != THUMBNAIL_NONE) eNextNext = s.pCard->eFindNext(s.psNextThumbnail->sName, acPath, nullptr);
  T_VIEW_vLoadSlot(s.psNextNextThumbnail, acPath, eNextNext);
}

void vFindLatest() {
  CAPTURE_STATE &s = st();
  const auto eLatest = static_cast<THUMBNAIL_TYPE>(s.eLatestThumbNailType.exchange(THUMBNAIL_NONE));
  if (eLatest == THUMBNAIL_NONE) return;
  char acPath[THUMBNAIL_NAME_SIZE];
  U32 u32Position = 0;
  const THUMBNAIL_TYPE eType = s.pCard->eFindLatest(acPath, eLatest, &u32Position);
  if (eType == THUMBNAIL_NONE) {
    s.bInitialThumbNailSearch = TRUE;
    return;
  }
  T_VIEW_vLoadSlot(s.psCurrentThumbnail, acPath, eType);
  s.scroll.u32TopThumbNailPosition = u32Position;
  vFillFollowing();
  s.bItemBeforeCurrent = s.pCard->eFindPrevious(acPath, nullptr, nullptr) != THUMBNAIL_NONE;
  s.bAllDeleted = FALSE;
}

// Searches the list from its first item when a search is due.
void vInitialSearch() {
  CAPTURE_STATE &s = st();
  if (!s.bInitialThumbNailSearch.exchange(FALSE)) return;
  char acPath[THUMBNAIL_NAME_SIZE];
  U32 u32Position = 0;
  const THUMBNAIL_TYPE eType = s.pCard->eFindFirst(acPath, &u32Position);
  T_VIEW_vLoadSlot(s.psCurrentThumbnail, acPath, eType);
  if (eType == THUMBNAIL_NONE) {
    T_VIEW_vClearSlot(s.psNextThumbnail);
    T_VIEW_vClearSlot(s.psNextNextThumbnail);
    s.scroll.u32TopThumbNailPosition = 0;
    return;
  }
  s.scroll.u32TopThumbNailPosition = u32Position != 0 ? u32Position : 1;
  s.bItemBeforeCurrent = FALSE;
  s.bAllDeleted = FALSE;
  vFillFollowing();
}

void vDrawNoImages(BITMAP *pBitmap) {
  const char *pcText = s_No_Images_Found[nCurrentLanguage()];
  const U32 u32TextWidth = G_STRING_u32GetWidth(std_16x17_font_def_ptr, pcText);
  const PIXEL w = pBitmap->pixels_wide, h = pBitmap->pixels_high;
  const POINT anchor = {(w + 160 - static_cast<PIXEL>(u32TextWidth + 10)) / 2, h / 2};
  U_DIALOG_vDrawMessageBlockOutlined(pBitmap, pcText, std_16x17_font_def_ptr, 0, JUSTIFICATION_CENTER,
                                     JUSTIFICATION_BOTTOM, &anchor, u32TextWidth + 10, colour(35), colour(32),
                                     colour(32));
  const char *pcTitle = s_Title[nCurrentLanguage()];
  const U32 u32TitleWidth = G_STRING_u32GetWidth(std_16x17_font_def_ptr, pcTitle);
  POINT title = {(w - 14 - static_cast<PIXEL>(u32TitleWidth)) / 2,
                 static_cast<PIXEL>(G_STRING_u32GetHeight(std_16x17_font_def_ptr) / 2 + 7)};
  G_STRING_vPut(pBitmap, colour(32), &title, std_16x17_font_def_ptr, pcTitle);
}

void vDrawScrollBar(BITMAP *pBitmap) {
  CAPTURE_STATE &s = st();
  const bool bUp = s.scroll.eScrollState == THUMBNAIL_SCROLL_STATE_UP;
  const bool bDown = s.scroll.eScrollState == THUMBNAIL_SCROLL_STATE_DOWN;
  vArrowUp(pBitmap, 6 + kArrowWidth / 2, 457, bUp);
  vArrowDown(pBitmap, 6 + kArrowWidth / 2, 6, bDown);
  vFill(pBitmap, colour(33), 7, 23, 19, 434);
  const U32 n = s.pCard->u32ThumbNailsInList();
  if (n == 0) return;
  const U32 p = std::min(std::max<U32>(s.scroll.u32TopThumbNailPosition, 1), n);
  PIXEL yBottom = static_cast<PIXEL>((100 - 100 * p / n) * 434 / 100 + 23);
  const U32 u32L = n >= 3 ? (300 / n) * 434 : 43400;
  const U32 u32Length = u32L < 1100 ? 10 : std::min<U32>(u32L / 100, 434);
  // The thumb stays inside the track: near the first item it hangs from the track's top.
  if (yBottom + static_cast<PIXEL>(u32Length) > 457) yBottom = 457 - static_cast<PIXEL>(u32Length);
  const COLOR cThumb = colour(bUp || bDown ? 32 : 36);
  const COLOR cEdge = colour(bUp || bDown ? 36 : 32);
  const POINT at = {8, yBottom};
  G_BOX_vDrawRoundedFilled(pBitmap, cThumb, &at, 17, u32Length, u32Length >= 10 ? 4 : 1);
  G_BOX_vDrawRounded(pBitmap, cEdge, &at, 17, u32Length, u32Length >= 10 ? 4 : 1);
}

void vDrawThumbNail(BITMAP *pBitmap, const THUMBNAIL_HEADER_TYPE *pSlot, THUMBNAIL_LOCATION eLocation) {
  CAPTURE_STATE &s = st();
  const PIXEL yLower = kSlotLower[eLocation];
  const bool bTop = eLocation == THUMBNAIL_LOCATION_TOP;
  const COLOR cOutline = colour(bTop ? 36 : 131);
  const bool bPicture = pSlot->eType == THUMBNAIL_IMAGE_TYPE && !pSlot->bWrongSizeThumbnail;
  if (bPicture) {
    vFill(pBitmap, cOutline, kSlotX - 3, yLower - 3, THUMBNAIL_WIDTH + 6, THUMBNAIL_HEIGHT + 6);
    COLOR *pcol = G_BITMAP_pcolPixels(pBitmap);
    for (U32 k = 0; k < THUMBNAIL_HEIGHT; ++k) {
      const PIXEL y = yLower + static_cast<PIXEL>(k);
      if (y < pBitmap->s32ClipBottom || y > pBitmap->s32ClipTop) continue;
      const COLOR *pRow = pSlot->snapshot->ImageData + k * THUMBNAIL_WIDTH;
      for (U32 i = 0; i < THUMBNAIL_WIDTH; ++i) {
        const PIXEL x = kSlotX + static_cast<PIXEL>(i);
        if (x < pBitmap->s32ClipLeft || x > pBitmap->s32ClipRight) continue;
        pcol[G_BITMAP_szIndex(pBitmap, x, y)] = pRow[i];
      }
    }
  } else {
    if (bTop) {
      for (PIXEL j = 1; j <= 3; ++j) {
        vOutline(pBitmap, cOutline, kSlotX - j, yLower - j, THUMBNAIL_WIDTH + 2 * j, THUMBNAIL_HEIGHT + 2 * j);
      }
    }
    const ICON *pIcon = pSlot->eType == THUMBNAIL_RECORDING_TYPE ? &recording_thumbnail_icon : &improper_screen_icon;
    const PIXEL xCentre = kSlotX + THUMBNAIL_WIDTH / 2, yCentre = yLower + THUMBNAIL_HEIGHT / 2;
    vIconCentred(pBitmap, pIcon, xCentre, yCentre);
    if (pSlot->eType == THUMBNAIL_RECORDING_TYPE) {
      char acName[12];
      vCopyName(acName, sizeof acName, pSlot->recording->RecordingStartWaypoint.sName, 11);
      const PIXEL yText = yCentre - static_cast<PIXEL>(G_ICON_u32GetHeight(pIcon) / 2) -
                          static_cast<PIXEL>(G_STRING_u32GetHeight(small())) - 2;
      vPutCentred(pBitmap, colour(36), xCentre, yText, small(), acName);
    }
  }
  if (!bTop) return;
  const U32 n = s.pCard->u32ThumbNailsInList();
  const U32 p = s.scroll.u32TopThumbNailPosition;
  const bool bItemAfter = s.psNextThumbnail->eType != THUMBNAIL_NONE;
  if (s.bItemBeforeCurrent || p == 1) {
    vArrowUp(pBitmap, kSlotX + THUMBNAIL_WIDTH / 2, yLower + 127, s.scroll.eScrollState == THUMBNAIL_SCROLL_STATE_UP);
  }
  if (bItemAfter || p == n) {
    vArrowDown(pBitmap, kSlotX + THUMBNAIL_WIDTH / 2, yLower - 7 - static_cast<PIXEL>(kArrowWidth / 2) + 0,
               s.scroll.eScrollState == THUMBNAIL_SCROLL_STATE_DOWN);
  }
  if (bPicture || pSlot->eType == THUMBNAIL_RECORDING_TYPE) {
    const PIXEL yMiddle = yLower + THUMBNAIL_HEIGHT / 2;
    U_MENU_vDrawArrowRight(pBitmap, {243, yMiddle - static_cast<PIXEL>(kArrowWidth / 2)}, kArrowWidth,
                           arrowColour(s.scroll.eScrollState == THUMBNAIL_SCROLL_STATE_RIGHT));
    const PIXEL xSign = 243 + static_cast<PIXEL>(kArrowWidth / 2) + 1 + 4;
    if (bPicture) {
      vZoomSign(pBitmap, xSign, yMiddle - 11, true);
    } else {
      vIcon(pBitmap, &start_playback_icon, xSign,
            yMiddle - static_cast<PIXEL>(G_ICON_u32GetHeight(&start_playback_icon) / 2));
    }
  }
}

bool bTwoRows(const THUMBNAIL_HEADER_TYPE *pSlot) {
  const SR_VIEW_STATE e = st().eSRViewState;
  return e == SR_VIEW_RECORDING || e == SR_VIEW_PLAYBACK ||
         (pSlot != nullptr && pSlot->eType == THUMBNAIL_RECORDING_TYPE);
}

void vDrawImageInfoBox(BITMAP *pBitmap, bool bTwo) {
  const PIXEL y = bTwo ? 314 : 374;
  const U32 h = bTwo ? 120 : 60;
  vFill(pBitmap, colour(128), 310, y, 474, h);
  const U32 kOutlines[] = {36, 36, 128};
  for (PIXEL j = 1; j <= 3; ++j) vOutline(pBitmap, colour(kOutlines[j - 1]), 310 - j, y - j, 474 + 2 * j, h + 2 * j);
  for (PIXEL yRow = 374; yRow >= y; yRow -= 60) {
    vFill(pBitmap, colour(36), 467, yRow, 2, 60);
    vFill(pBitmap, colour(36), 625, yRow, 2, 60);
  }
  if (bTwo) {
    for (PIXEL x : {312, 470, 628}) vFill(pBitmap, colour(36), x, 373, 154, 2);
  }
}

void vCell(BITMAP *pBitmap, U32 u32Cell, const char *pcUpper, const char *pcLower) {
  const PIXEL x = 310 + 158 * static_cast<PIXEL>(u32Cell % 3);
  const PIXEL yBase = 434 - 60 * static_cast<PIXEL>(u32Cell / 3 + 1);
  if (pcLower == nullptr) {
    vPutCentred(pBitmap, colour(131), x + 79, yBase + 22, small(), pcUpper);
    return;
  }
  vPutCentred(pBitmap, colour(131), x + 79, yBase + 34, small(), pcUpper);
  vPutCentred(pBitmap, colour(131), x + 79, yBase + 10, small(), pcLower);
}

void vPosition(bool bValid, double dLat, double dLon, char *pcLat, char *pcLon) {
  pcLat[0] = pcLon[0] = '\0';
  if (!bValid) return;
  U32 u32Datum = 0, u32Format = F_DD_MM_MMM;
  H_DATABASE_bFetchU32(FCID("SDTM"), &u32Datum, nullptr, nullptr);
  H_DATABASE_bFetchU32(FCID("SIPF"), &u32Format, nullptr, nullptr);
  double dDatumLat = dLat, dDatumLon = dLon;
  if (u32Datum != 0) WGS84_2_Datum(dLat, dLon, &dDatumLat, &dDatumLon, static_cast<DATUM_PLANE>(u32Datum));
  U_NAV_vFormatPosition(D_POSITION_LAT, dDatumLat, pcLat, static_cast<NAV_FORMAT_ENUM>(u32Format), nCurrentLanguage(),
                        IPS_SPACE);
  U_NAV_vFormatPosition(D_POSITION_LON, dDatumLon, pcLon, static_cast<NAV_FORMAT_ENUM>(u32Format), nCurrentLanguage(),
                        IPS_SPACE);
}

void vMinutesSeconds(char *pc, size_t sz, U32 u32Ms) {
  const U32 u32S = u32Ms / 1000;
  std::snprintf(pc, sz, "%u:%02u", u32S / 60, u32S % 60);
}

// Reads the figures the sonar recording publishes while recording or playing back.
void vRefreshFigures() {
  CAPTURE_STATE &s = st();
  RECORDING_FIGURES &f = s.figures;
  U32 u32Bytes = 0, u32PingBytes = 0, u32Mode = PLAYBACK_MODE_STOP;
  H_DATABASE_bFetchU32(FCID("CRTS"), &f.u32TimeFromStartMs, nullptr, nullptr);
  if (H_DATABASE_bFetchU32(FCID("CRBS"), &u32Bytes, nullptr, nullptr)) f.u32SizeFromStartKB = u32Bytes / 1024;
  H_DATABASE_bFetchU32(FCID("CRPB"), &u32PingBytes, nullptr, nullptr);
  H_DATABASE_bFetchU32(FCID("CRCP"), &f.u32CurrentPingMs, nullptr, nullptr);
  H_DATABASE_bFetchU32(FCID("CRAV"), &f.u32AveragePingMs, nullptr, nullptr);
  H_DATABASE_bFetchU32(FCID("CPSP"), &u32Mode, nullptr, nullptr);
  if (s.eSRViewState == SR_VIEW_PLAYBACK) {
    const bool bPlayedPart = (u32Mode >= 2 && u32Mode <= 6) || u32Mode == PLAYBACK_MODE_END_FILL;
    if (bPlayedPart) {
      f.u32RemainingTimeMs = f.u32TimeFromStartMs;
      f.u32RemainingSizeKB = f.u32SizeFromStartKB;
    } else {
      f.u32RemainingTimeMs = f.u32TotalTimeMs > f.u32TimeFromStartMs ? f.u32TotalTimeMs - f.u32TimeFromStartMs : 0;
      f.u32RemainingSizeKB = f.u32TotalSizeKB > f.u32SizeFromStartKB ? f.u32TotalSizeKB - f.u32SizeFromStartKB : 0;
    }
  } else if (s.eSRViewState == SR_VIEW_RECORDING && u32PingBytes != 0) {
    const double dMsPerKB = static_cast<double>(f.u32AveragePingMs) * 1024.0 / u32PingBytes;
    const U32 u32Free = f.u32CardAvailableKB > f.u32SizeFromStartKB ? f.u32CardAvailableKB - f.u32SizeFromStartKB : 0;
    f.u32RemainingTimeMs = static_cast<U32>(std::min(4.0e9, u32Free * dMsPerKB));
    f.u32TotalTimeMs = static_cast<U32>(std::min(4.0e9, f.u32CardSizeKB * dMsPerKB));
    f.u32RemainingSizeKB = u32Free;
  }
}

void vDrawImageInfoText(BITMAP *pBitmap, const THUMBNAIL_HEADER_TYPE *pSlot) {
  CAPTURE_STATE &s = st();
  const SR_VIEW_STATE e = s.eSRViewState;
  const bool bLive = e == SR_VIEW_RECORDING || e == SR_VIEW_PLAYBACK;
  const bool bRecording = pSlot != nullptr && pSlot->eType == THUMBNAIL_RECORDING_TYPE;
  char acName[THUMBNAIL_NAME_SIZE] = {};
  time_t tWhen = 0;
  bool bTimeValid = false, bPosValid = false;
  double dLat = 0, dLon = 0;
  if (e == SR_VIEW_RECORDING) {
    std::snprintf(acName, sizeof acName, "%s", s.figures.sFileName);
    tWhen = static_cast<time_t>(s.figures.u32StartDateTime) + s.figures.u32TimeFromStartMs / 1000;
    bTimeValid = s.figures.u32StartDateTime != 0;
  } else if (e == SR_VIEW_PLAYBACK) {
    if (pSlot != nullptr) vCopyName(acName, sizeof acName, pSlot->recording->RecordingStartWaypoint.sName, 15);
    U32 u32Now = 0;
    bTimeValid = H_DATABASE_bFetchU32(FCID("IDTM"), &u32Now, nullptr, nullptr);
    tWhen = static_cast<time_t>(u32Now);
  } else if (bRecording) {
    const THUMBNAIL_WAYPOINT &w = pSlot->recording->RecordingStartWaypoint;
    vCopyName(acName, sizeof acName, w.sName, 15);
    tWhen = static_cast<time_t>(w.u32Time);
    bTimeValid = w.u32Time != 0;
    const POINT pt = {w.s32MercatorX, w.s32MercatorY};
    POSITION p = {0.0, 0.0};
    bPosValid = pSlot->recording->bWaypointValid && !CL_IsError(nv_MeterToDegr(&pt, &p));
    dLat = p.lat;
    dLon = p.lon;
  } else if (pSlot != nullptr) {
    const THUMBNAIL_WAYPOINT &w = pSlot->snapshot->Header.Image_Waypoint;
    vCopyName(acName, sizeof acName, w.sName, 15);
    tWhen = static_cast<time_t>(w.u32Time);
    bTimeValid = w.u32Time != 0;
    const POINT pt = {w.s32MercatorX, w.s32MercatorY};
    POSITION p = {0.0, 0.0};
    bPosValid = pSlot->snapshot->Header.WaypointValid && !CL_IsError(nv_MeterToDegr(&pt, &p));
    dLat = p.lat;
    dLon = p.lon;
  }
  if (bLive) {
    float fLat = 0, fLon = 0;
    BOOLEAN bLatValid = FALSE, bLonValid = FALSE;
    const bool bLat = H_DATABASE_bFetchFloat(FCID("ILAT"), &fLat, &bLatValid, nullptr) && bLatValid;
    const bool bLon = H_DATABASE_bFetchFloat(FCID("ILON"), &fLon, &bLonValid, nullptr) && bLonValid;
    bPosValid = bLat && bLon;
    dLat = fLat;
    dLon = fLon;
  }
  vCell(pBitmap, 0, acName, nullptr);
  char acTime[INFO_TIME_TEXT_SIZE] = {}, acDate[INFO_TIME_TEXT_SIZE] = {};
  if (bTimeValid) T_INFO_vFormatTime(tWhen, FALSE, TRUE, acTime, acDate, nullptr);
  vCell(pBitmap, 1, acTime, acDate);
  char acLat[40], acLon[40];
  vPosition(bPosValid, dLat, dLon, acLat, acLon);
  vCell(pBitmap, 2, acLat, acLon);
  if (!bRecording && !bLive) return;
  const RECORDING_FIGURES &f = s.figures;
  const U32 u32Language = nCurrentLanguage();
  char acUpper[48], acLower[48];
  std::snprintf(acUpper, sizeof acUpper, "%s:", Current_Ping[u32Language]);
  std::snprintf(acLower, sizeof acLower, "%u mS", f.u32CurrentPingMs);
  vCell(pBitmap, 3, acUpper, acLower);
  std::snprintf(acUpper, sizeof acUpper, "%s:", Average_Ping[u32Language]);
  std::snprintf(acLower, sizeof acLower, "%u mS", f.u32AveragePingMs);
  vCell(pBitmap, 4, acUpper, acLower);
  std::snprintf(acUpper, sizeof acUpper, "%s:", Remaining[u32Language]);
  char acTimeLeft[16], acSize[16];
  vMinutesSeconds(acTimeLeft, sizeof acTimeLeft, f.u32RemainingTimeMs);
  T_VIEW_vFormatSize(acSize, sizeof acSize, f.u32RemainingSizeKB, TRUE);
  std::snprintf(acLower, sizeof acLower, "%s %s", acTimeLeft, acSize);
  vCell(pBitmap, 5, acUpper, acLower);
}

constexpr PIXEL kLabelGap = 8;

void vDrawProgressBar(BITMAP *pBitmap) {
  CAPTURE_STATE &s = st();
  const RECORDING_FIGURES &f = s.figures;
  const POINT outer = {310, 13}, inner = {311, 14};
  G_BOX_vDrawRounded(pBitmap, colour(32), &outer, 478, 202, 3);
  G_BOX_vDrawRounded(pBitmap, colour(32), &inner, 476, 200, 3);
  const PIXEL xBar = 310 + (478 - 400) / 2, yBase = 13, yBar = yBase + 155;
  const bool bRecording = s.eSRViewState == SR_VIEW_RECORDING;
  double dFraction = 0;
  if (bRecording) {
    if (f.u32CardAvailableKB != 0) dFraction = static_cast<double>(f.u32SizeFromStartKB) / f.u32CardAvailableKB;
  } else if (f.u32TotalTimeMs != 0) {
    dFraction = static_cast<double>(f.u32TimeFromStartMs) / f.u32TotalTimeMs;
  }
  dFraction = std::min(1.0, std::max(0.0, dFraction));
  // The empty bar, the part played (or used on the card) and the end ticks.
  vFill(pBitmap, colour(bRecording ? 65 : 33), xBar, yBar, 400, 22);
  vOutline(pBitmap, colour(64), xBar, yBar, 400, 22);
  const U32 u32Filled = std::min<U32>(static_cast<U32>(dFraction * 401), 400);
  if (u32Filled > 0) vFill(pBitmap, colour(bRecording ? 36 : 39), xBar, yBar, u32Filled, 22);
  vFill(pBitmap, colour(32), xBar - 3, yBar + 5, 3, 11);
  vFill(pBitmap, colour(32), xBar + 400, yBar + 5, 3, 11);
  const PIXEL xSlider = xBar + static_cast<PIXEL>(dFraction * 399);
  vIcon(pBitmap, &playback_slider_icon, xSlider - 5, yBar + 22);
  // The texts under the bar: the start, the end and the time (and, recording, the size) reached.
  const PIXEL yText = yBar - 18;
  char acText[40];
  POINT at = {xBar, yText};
  G_STRING_vPut(pBitmap, colour(32), &at, small(), "0:00");
  const PIXEL wStart = static_cast<PIXEL>(G_STRING_u32GetWidth(small(), "0:00"));
  vMinutesSeconds(acText, sizeof acText, bRecording ? f.u32RemainingTimeMs + f.u32TimeFromStartMs : f.u32TotalTimeMs);
  const PIXEL wEnd = static_cast<PIXEL>(G_STRING_u32GetWidth(small(), acText));
  at = {xBar + 400 - wEnd, yText};
  G_STRING_vPut(pBitmap, colour(32), &at, small(), acText);
  vMinutesSeconds(acText, sizeof acText, f.u32TimeFromStartMs);
  if (bRecording) {
    char acSize[16];
    T_VIEW_vFormatSize(acSize, sizeof acSize, f.u32SizeFromStartKB, FALSE);
    const size_t szUsed = std::strlen(acText);
    std::snprintf(acText + szUsed, sizeof acText - szUsed, " %s", acSize);
  }
  // Under the slider, but always clear of the start and end labels between which it stands.
  const PIXEL wNow = static_cast<PIXEL>(G_STRING_u32GetWidth(small(), acText));
  const PIXEL xLow = xBar + wStart + kLabelGap + wNow / 2, xHigh = xBar + 400 - wEnd - kLabelGap - (wNow + 1) / 2;
  const PIXEL xCentre = xLow <= xHigh ? std::min(std::max(xSlider, xLow), xHigh) : (xLow + xHigh) / 2;
  vPutCentred(pBitmap, colour(32), xCentre, yText, small(), acText);
  // The icon bar: row 1 (seven icons) and row 2 (rec, stop), each centred in 401 pixels.
  const U32 kRowWidths[2] = {s_u32ModeBarWidthRow1, s_u32ModeBarWidthRow2};
  const U32 kFirst[2] = {0, 7}, kCount[2] = {7, 2};
  const PIXEL kRowY[2] = {yBase + 110, yBase + 80};
  for (U32 r = 0; r < 2; ++r) {
    PIXEL x = xBar + static_cast<PIXEL>((401 - std::min<U32>(kRowWidths[r], 401)) / 2);
    for (U32 i = kFirst[r]; i < kFirst[r] + kCount[r]; ++i) {
      if (s_pProgressIcon[i] != nullptr) vIcon(pBitmap, s_pProgressIcon[i], x, kRowY[r]);
      x += static_cast<PIXEL>(s_u32ProgressIconWidth[i] + 26);
    }
  }
}

// The delete requests of the menu, carried out at the frame.
void vCarryOutDeletes() {
  CAPTURE_STATE &s = st();
  const bool bAllImages = s.bDeleteAllImages.exchange(FALSE);
  const bool bAllRecordings = s.bDeleteAllRecordings.exchange(FALSE);
  const bool bCurrent = s.bDeleteCurrentImage.exchange(FALSE);
  if (!bAllImages && !bAllRecordings && !bCurrent) return;
  MBOX mbox = 0;
  const bool bCard = T_VIEW_bCardMailbox(&mbox);
  auto post = [&](const char *pcName) {
    if (!bCard) return;
    auto *pMsg = static_cast<MSG_DELETE_IMAGE *>(H_MEMORY_pvCalloc(1, sizeof(MSG_DELETE_IMAGE)));
    pMsg->header.Cmd = CMD_ID_DELETE_IMAGE;
    std::snprintf(pMsg->FileName, sizeof pMsg->FileName, "%s", pcName);
    if (L_MBOX_Send(mbox, pMsg, NORMAL_PRIORITY, 0) != lsSUCCESS) H_MEMORY_vFree(pMsg);
  };
  if (bAllImages || bAllRecordings) {
    for (THUMBNAIL_HEADER_TYPE &slot : s.slots) T_VIEW_vClearSlot(&slot);
    if (bAllImages) post("all images");
    if (bAllRecordings) post("all recordings");
  } else if (bCurrent && s.psCurrentThumbnail->eType != THUMBNAIL_NONE) {
    char acGone[THUMBNAIL_NAME_SIZE];
    std::snprintf(acGone, sizeof acGone, "%s", s.psCurrentThumbnail->sName);
    char acPath[THUMBNAIL_NAME_SIZE];
    U32 u32Position = 0;
    THUMBNAIL_TYPE eType = s.pCard->eFindNext(acGone, acPath, nullptr);
    if (eType == THUMBNAIL_NONE) {
      // The last item went: the one before it becomes current.
      eType = s.pCard->eFindPrevious(acGone, acPath, &u32Position);
      if (eType != THUMBNAIL_NONE) s.scroll.u32TopThumbNailPosition = u32Position;
    }
    post(acGone);
    T_VIEW_vLoadSlot(s.psCurrentThumbnail, acPath, eType);
    if (eType != THUMBNAIL_NONE) {
      vFillFollowing();
    } else {
      T_VIEW_vClearSlot(s.psNextThumbnail);
      T_VIEW_vClearSlot(s.psNextNextThumbnail);
    }
  }
  T_VIEW_vUpdateSnapshotMenu();
}

void vDrawThumbnails(BITMAP *pBitmap) {
  CAPTURE_STATE &s = st();
  vFindLatest();
  vInitialSearch();
  bool bDrawn = false;
  THUMBNAIL_HEADER_TYPE *pCur = s.psCurrentThumbnail;
  if (pCur->eType != THUMBNAIL_NONE) {
    if (pCur->eType == THUMBNAIL_RECORDING_TYPE) T_VIEW_vFiguresFromItem(pCur);
    vDrawThumbNail(pBitmap, pCur, THUMBNAIL_LOCATION_TOP);
    const bool bTwo = bTwoRows(pCur);
    vDrawImageInfoBox(pBitmap, bTwo);
    vDrawImageInfoText(pBitmap, pCur);
    if (bTwo) vDrawProgressBar(pBitmap);
    if (s.psNextThumbnail->eType != THUMBNAIL_NONE)
      vDrawThumbNail(pBitmap, s.psNextThumbnail, THUMBNAIL_LOCATION_MIDDLE);
    if (s.psNextNextThumbnail->eType != THUMBNAIL_NONE) {
      vDrawThumbNail(pBitmap, s.psNextNextThumbnail, THUMBNAIL_LOCATION_BOTTOM);
    }
    bDrawn = true;
  }
  if (bDrawn) vDrawScrollBar(pBitmap);
  vCarryOutDeletes();
  // An empty list keeps its message on every frame, not only on the frame that searched it.
  if (s.psCurrentThumbnail->eType == THUMBNAIL_NONE) vDrawNoImages(pBitmap);
}

}  // namespace

void T_VIEW_vFormatSize(char *pcText, size_t szText, U32 u32KB, BOOLEAN bMinus) {
  char acNumber[24];
  if (u32KB < 102400) {
    std::snprintf(acNumber, sizeof acNumber, "%.1fMB", static_cast<double>(u32KB) / kKBPerMB);
  } else if (u32KB < kKBPerGB) {
    std::snprintf(acNumber, sizeof acNumber, "%.0fMB", static_cast<double>(u32KB) / kKBPerMB);
  } else {
    std::snprintf(acNumber, sizeof acNumber, "%.1fGB", static_cast<double>(u32KB) / kKBPerGB);
  }
  // A size that reads as zero takes no sign: "-0.0MB" would read as a card overfilled.
  const bool bZero = std::strpbrk(acNumber, "123456789") == nullptr;
  std::snprintf(pcText, szText, "%s%s", bMinus && !bZero ? "-" : "", acNumber);
}

void T_VIEW_vLoadSlot(THUMBNAIL_HEADER_TYPE *pSlot, const char *pcPath, THUMBNAIL_TYPE eType) {
  T_VIEW_vClearSlot(pSlot);
  if (eType == THUMBNAIL_NONE) return;
  std::snprintf(pSlot->sName, sizeof pSlot->sName, "%s", pcPath);
  pSlot->eType = eType;
  T_VIEW_vRequestThumbnailLoad(pSlot);
}

void T_VIEW_vClearSlot(THUMBNAIL_HEADER_TYPE *pSlot) {
  pSlot->bWrongSizeThumbnail = FALSE;
  pSlot->u32CardSizeKB = 0;
  pSlot->u32CardAvailableKB = 0;
  pSlot->eType = THUMBNAIL_NONE;
  pSlot->sName[0] = '\0';
  if (pSlot->snapshot != nullptr) {
    pSlot->snapshot->Header = {};
    std::fill_n(pSlot->snapshot->ImageData, THUMBNAIL_PIXELS, colour(34));
  }
  if (pSlot->recording != nullptr) *pSlot->recording = {};
}

void T_VIEW_vFiguresFromItem(const THUMBNAIL_HEADER_TYPE *pSlot) {
  if (pSlot->eType != THUMBNAIL_RECORDING_TYPE) return;
  RECORDING_FIGURES &f = st().figures;
  const SONAR_RECORD_THUMB_HEADER &r = *pSlot->recording;
  f.u32TotalTimeMs = r.u32TotalTimeMs;
  f.u32TotalSizeKB = static_cast<U32>(static_cast<U64>(r.u32NumberOfPings) * r.u32PingSizeBytes / 1024);
  f.u32CurrentPingMs = r.u32FirstPingPeriodMs;
  const U32 u32Beams = static_cast<U32>(__builtin_popcount(r.u32BeamMask));
  f.u32AveragePingMs = r.u32NumberOfPings != 0
                           ? static_cast<U32>(static_cast<U64>(r.u32TotalTimeMs) * u32Beams / r.u32NumberOfPings)
                           : 0;
  if (st().eSRViewState != SR_VIEW_PLAYBACK) {
    f.u32TimeFromStartMs = 0;
    f.u32SizeFromStartKB = 0;
    f.u32RemainingTimeMs = f.u32TotalTimeMs;
    f.u32RemainingSizeKB = f.u32TotalSizeKB;
  }
}

void T_VIEW_vRequestThumbnailLoad(THUMBNAIL_HEADER_TYPE *pSlot) {
  if (pSlot->eType == THUMBNAIL_NONE) return;
  const THUMBNAIL_TYPE eType = pSlot->eType;
  char acName[THUMBNAIL_NAME_SIZE];
  std::snprintf(acName, sizeof acName, "%s", pSlot->sName);
  T_VIEW_vClearSlot(pSlot);
  pSlot->eType = eType;
  std::snprintf(pSlot->sName, sizeof pSlot->sName, "%s", acName);
  MBOX mbox = 0;
  if (!T_VIEW_bCardMailbox(&mbox)) return;
  auto *pMsg = static_cast<MSG_LOAD_THUMBNAIL *>(H_MEMORY_pvCalloc(1, sizeof(MSG_LOAD_THUMBNAIL)));
  pMsg->header.Cmd = eType == THUMBNAIL_RECORDING_TYPE ? CMD_ID_LOAD_RECORDING : CMD_ID_LOAD_THUMBNAIL;
  const size_t szName = std::strlen(acName) + 1;
  pMsg->pFilename = static_cast<char *>(H_MEMORY_pvMalloc(static_cast<U32>(szName)));
  std::memcpy(pMsg->pFilename, acName, szName);
  pMsg->pThumbnailDestination = pSlot;
  if (L_MBOX_Send(mbox, pMsg, NORMAL_PRIORITY, 0) != lsSUCCESS) {
    H_MEMORY_vFree(pMsg->pFilename);
    H_MEMORY_vFree(pMsg);
  }
}

void T_VIEW_vLoadImageThumbnails(void) {
  CAPTURE_STATE &s = st();
  T_VIEW_vClearSlot(s.psNextThumbnail);
  T_VIEW_vClearSlot(s.psNextNextThumbnail);
  if (s.psCurrentThumbnail->eType == THUMBNAIL_NONE) return;
  T_VIEW_vRequestThumbnailLoad(s.psCurrentThumbnail);
  vFillFollowing();
}

void T_VIEW_vLoadFullViewImage(void) {
  CAPTURE_STATE &s = st();
  char acPath[THUMBNAIL_NAME_SIZE];
  const char *pcName = s.psCurrentThumbnail->sName;
  s.bPreviousImage = s.pCard->eFindPreviousImage(pcName, acPath, nullptr) != THUMBNAIL_NONE;
  s.bItemBeforeCurrent = s.pCard->eFindPrevious(pcName, acPath, nullptr) != THUMBNAIL_NONE;
  std::lock_guard<std::mutex> lock(s.fileImageMutex);
  if (s.pFileImage == nullptr) s.pFileImage = T_VIEW_pCreateFullScreenBitmap();
  if (s.pFileImage == nullptr) return;
  MBOX mbox = 0;
  if (T_VIEW_bCardMailbox(&mbox)) {
    auto *pMsg = static_cast<MSG_LOAD_BITMAP *>(H_MEMORY_pvCalloc(1, sizeof(MSG_LOAD_BITMAP)));
    pMsg->header.Cmd = CMD_ID_LOAD_BMP;
    pMsg->pBitmap = s.pFileImage;
    pMsg->pFileName = T_VIEW_pcCopyWithExtension(pcName, "PNG");
    pMsg->u32RequestID = ++s.u32LatestRequestID;
    pMsg->pu32LatestRequestID = &s.u32LatestRequestID;
    if (L_MBOX_Send(mbox, pMsg, NORMAL_PRIORITY, 0) != lsSUCCESS) {
      H_MEMORY_vFree(pMsg->pFileName);
      H_MEMORY_vFree(pMsg);
    }
  }
  T_VIEW_vUpdateSnapshotMenu();
}

BOOLEAN T_VIEW_bRequestSnapshotImage(BITMAP **pBitmap, const char *pcName, SEMA sema) {
  MBOX mbox = 0;
  if (!T_VIEW_bCardMailbox(&mbox)) return FALSE;
  if (*pBitmap == nullptr) {
    *pBitmap = T_VIEW_pCreateFullScreenBitmap();
    if (*pBitmap == nullptr) return FALSE;
  }
  G_BMP_vSet(*pBitmap, colour(34));
  auto *pMsg = static_cast<MSG_LOAD_BITMAP *>(H_MEMORY_pvCalloc(1, sizeof(MSG_LOAD_BITMAP)));
  pMsg->header.Cmd = CMD_ID_LOAD_BMP;
  pMsg->pBitmap = *pBitmap;
  pMsg->pFileName = T_VIEW_pcCopyWithExtension(pcName, "PNG");
  // A request of its own: it is always the newest for its bitmap.
  pMsg->u32RequestID = 0;
  pMsg->pu32LatestRequestID = nullptr;
  if (L_MBOX_Send(mbox, pMsg, NORMAL_PRIORITY, sema) != lsSUCCESS) {
    H_MEMORY_vFree(pMsg->pFileName);
    H_MEMORY_vFree(pMsg);
    return FALSE;
  }
  return TRUE;
}

void T_VIEW_vDrawSnapshotRecordingBackground(BITMAP *pBitmap) {
  for (PIXEL i = 0; i <= 4; ++i) {
    vOutline(pBitmap, colour(36), i, i, static_cast<U32>(800 - 2 * i), static_cast<U32>(480 - 2 * i));
  }
  vOutline(pBitmap, colour(35), 5, 5, 790, 470);
}

void T_VIEW_vDrawSnapshotPreviewBorder(BITMAP *pBitmap) { T_VIEW_vDrawSnapshotRecordingBackground(pBitmap); }

void T_VIEW_vUpdateProgressIcons(U32 u32Mode) {
  for (U32 i = 0; i < 9; ++i) s_pProgressIcon[i] = spInactiveIconList[i];
  switch (u32Mode) {
    case 2:
      s_pProgressIcon[0] = &rew2_active_icon;
      break;
    case 3:
      s_pProgressIcon[0] = &rew1_active_icon;
      break;
    case 4:
      s_pProgressIcon[1] = &playrev_active_icon;
      break;
    case 5:
      s_pProgressIcon[2] = &playrewslow_active_icon;
      break;
    case 6:
    case 12:
    case 15:
    case 16:
      s_pProgressIcon[3] = &pause_active_icon;
      break;
    case 7:
      s_pProgressIcon[4] = &playslow_active_icon;
      break;
    case 8:
      s_pProgressIcon[5] = &play_active_icon;
      break;
    case 9:
      s_pProgressIcon[6] = &ffw1_active_icon;
      break;
    case 10:
      s_pProgressIcon[6] = &ffw2_active_icon;
      break;
    case 13:
      s_pProgressIcon[8] = &stop_active_icon;
      break;
    case 14:
      s_pProgressIcon[7] = &rec_active_icon;
      break;
    default:
      break;
  }
  if (u32Mode == PLAYBACK_MODE_PAUSED_BEGIN) {
    s_pProgressIcon[0] = &rew_notavail_icon;
    s_pProgressIcon[1] = &playrev_notavail_icon;
    s_pProgressIcon[2] = &playrewslow_notavail_icon;
  } else if (u32Mode == PLAYBACK_MODE_PAUSED_END) {
    s_pProgressIcon[4] = &playslow_notavail_icon;
    s_pProgressIcon[5] = &play_notavail_icon;
    s_pProgressIcon[6] = &ffw_notavail_icon;
  }
  for (U32 i = 0; i < 9; ++i) s_u32ProgressIconWidth[i] = G_ICON_u32GetWidth(s_pProgressIcon[i]);
  s_u32ModeBarWidthRow1 = 156;
  for (U32 i = 0; i < 7; ++i) s_u32ModeBarWidthRow1 += s_u32ProgressIconWidth[i];
  s_u32ModeBarWidthRow2 = 26 + s_u32ProgressIconWidth[7] + s_u32ProgressIconWidth[8];
}

void T_VIEW_vSetupPlaybackIconBar(void) { T_VIEW_vUpdateProgressIcons(PLAYBACK_MODE_STOP); }

void T_VIEW_vDrawCaptureReviewView(BITMAP *pBitmap, WINDOW_SPECIFICATION_POINTER) {
  CAPTURE_STATE &s = st();
  switch (s.eSRViewState) {
    case SR_VIEW_FULLIMAGE: {
      {
        std::lock_guard<std::mutex> lock(s.fileImageMutex);
        if (s.psCurrentThumbnail->eType == THUMBNAIL_IMAGE_TYPE && s.pFileImage != nullptr) {
          const POINT origin = {0, 0};
          G_BMP_vPlaceLogicalOnLogical(pBitmap, &origin, s.pFileImage, &origin,
                                       static_cast<U32>(std::min(pBitmap->pixels_wide, s.pFileImage->pixels_wide)),
                                       static_cast<U32>(std::min(pBitmap->pixels_high, s.pFileImage->pixels_high)));
        } else {
          vFill(pBitmap, colour(34), 0, 0, static_cast<U32>(pBitmap->pixels_wide),
                static_cast<U32>(pBitmap->pixels_high));
        }
      }
      T_VIEW_vDrawSnapshotRecordingBackground(pBitmap);
      const THUMBNAIL_SCROLL_STATE e = s.scroll.eScrollState;
      vArrowUp(pBitmap, 400, 473 - static_cast<PIXEL>(kArrowWidth / 2) - 1, e == THUMBNAIL_SCROLL_STATE_UP);
      vArrowDown(pBitmap, 400, 7, e == THUMBNAIL_SCROLL_STATE_DOWN);
      vZoomSign(pBitmap, 7, 240 - 11, false);
      U_MENU_vDrawArrowLeft(pBitmap, {7 + 20 + 2, 240 - static_cast<PIXEL>(kArrowWidth / 2)}, kArrowWidth,
                            arrowColour(e == THUMBNAIL_SCROLL_STATE_LEFT));
      break;
    }
    case SR_VIEW_RECORDING:
    case SR_VIEW_PLAYBACK: {
      vFill(pBitmap, colour(34), 0, 0, static_cast<U32>(pBitmap->pixels_wide), static_cast<U32>(pBitmap->pixels_high));
      T_VIEW_vDrawSnapshotRecordingBackground(pBitmap);
      vRefreshFigures();
      vDrawImageInfoBox(pBitmap, true);
      vDrawImageInfoText(pBitmap, s.psCurrentThumbnail);
      vDrawProgressBar(pBitmap);
      vIconCentred(pBitmap, &recording_thumbnail_icon, kSlotX + THUMBNAIL_WIDTH / 2,
                   kSlotLower[0] + THUMBNAIL_HEIGHT / 2);
      break;
    }
    default:
      vFill(pBitmap, colour(34), 0, 0, static_cast<U32>(pBitmap->pixels_wide), static_cast<U32>(pBitmap->pixels_high));
      T_VIEW_vDrawSnapshotRecordingBackground(pBitmap);
      vDrawThumbnails(pBitmap);
      break;
  }
  s.scroll.eScrollState = THUMBNAIL_SCROLL_STATE_NONE;
}
