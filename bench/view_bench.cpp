// One full frame of the view task: two 800 x 480 pictures (the view and a picture overlay), a readout column,
// an open menu and an alarm dialog, composed into an idle page. Reports the median and 99th percentile.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <array>
#include <chrono>
#include <vector>

#include "draw/bmp.h"
#include "draw/box.h"
#include "view/buffers.h"
#include "draw/fonts.h"
#include "draw/string.h"
#include "view/view_task.h"
#include "platform/lcd.h"
#include "ui/menu/dialog.h"

namespace {

std::array<std::vector<U32>, 4> s_pages;
std::array<bool, 4> s_busy{};

U32 *pu32GetPage() {
  for (size_t i = 0; i < s_pages.size(); ++i) {
    if (!s_busy[i]) {
      s_busy[i] = true;
      return s_pages[i].data();
    }
  }
  return nullptr;
}
void vRelease(const U32 *pu32) {
  for (size_t i = 0; i < s_pages.size(); ++i) {
    if (s_pages[i].data() == pu32) s_busy[i] = false;
  }
}
void vFreePage(U32 *pu32) { vRelease(pu32); }
void vShow(const BITMAP *pBitmap) { vRelease(pBitmap->pBuffer); }
const VIEW_DISPLAY_OPS kOps = {.pu32GetPage = pu32GetPage, .vFreePage = vFreePage, .vShow = vShow};

struct Pictures {
  std::vector<U32> vChart = std::vector<U32>(LCD_SCREEN_WORDS);
  std::vector<U32> vSonar = std::vector<U32>(LCD_SCREEN_WORDS);
  BITMAP chart{}, sonar{};
  Pictures() {
    for (size_t i = 0; i < vChart.size(); ++i) {
      vChart[i] = static_cast<U32>(i * 2654435761u);
      vSonar[i] = (i % 7 == 0) ? 0xFFFFFFFFu : static_cast<U32>(i * 40503u);
    }
    G_BUFFERS_pCreateBitmap(800, 480, &chart, vChart.data());
    G_BUFFERS_pCreateBitmap(800, 480, &sonar, vSonar.data());
  }
};
Pictures *s_pPictures = nullptr;

void vDrawChart(BITMAP *pBitmap, WINDOW_SPECIFICATION_POINTER) {
  G_BMP_vCopyRegion(&s_pPictures->chart, pBitmap, 0, 0, SCREEN_PIXELS_WIDE);
}

// The second picture over the first, its white pixels letting the chart through.
void vDrawSonar(BITMAP *pBitmap, WINDOW_SPECIFICATION_POINTER) {
  const POINT dest{0, 0}, src{0, 0};
  G_BMP_vCopyPhysicalToLogical(pBitmap, &dest, &s_pPictures->sonar, &src, 800, 480, 0xFFFF);
}

void vDrawReadouts(BITMAP *pBitmap, WINDOW_SPECIFICATION_POINTER) {
  static const char *const kValues[] = {"12.4 ft", "5.2 kn", "63.1 F", "271 M", "0.42 nm", "13:05"};
  for (int i = 0; i < 6; ++i) {
    const POINT box{640, 400 - i * 76};
    G_BOX_vDrawRoundedFilled(pBitmap, 0x2104, &box, 150, 70, 6);
    POINT text{650, 420 - i * 76};
    G_STRING_vPut(pBitmap, 0xFFFF, &text, std_16x17_font_def_ptr, kValues[i]);
  }
}

void vDrawMenu(BITMAP *pBitmap, WINDOW_SPECIFICATION_POINTER) {
  const POINT frame{200, 60};
  G_BOX_vDrawRoundedFilled(pBitmap, 0x4208, &frame, 360, 380, 6);
  for (int i = 0; i < 10; ++i) {
    const POINT row{206, 400 - i * 36};
    G_BOX_vDrawRoundedFilled(pBitmap, i == 3 ? 0x001F : 0x8410, &row, 348, 32, 4);
    POINT text{214, 408 - i * 36};
    G_STRING_vPut(pBitmap, 0xFFFF, &text, std_16x17_font_def_ptr, "Menu item with a value");
  }
}

void vDrawAlarm(BITMAP *pBitmap, WINDOW_SPECIFICATION_POINTER) {
  U_DIALOG_vDrawDialog(pBitmap, "Shallow Water Alarm: the depth is below the alarm setting", std_16x17_font_def_ptr, 0,
                       300, nullptr, nullptr, JUSTIFICATION_CENTER, JUSTIFICATION_CENTER);
}

void vRegister(DRAW_FUNCTION *pfn, LAYER_ID layer, LAYER_ID where) {
  MSG_REGISTER_LAYER msg{};
  msg.layer = layer;
  msg.where_used = where;
  msg.pDrawFunction = pfn;
  msg.eLocation = SPLIT_FULL_WINDOW;
  T_VIEW_vHandleRegisterLayer(&msg);
}

void BM_FullFrameComposition(benchmark::State &state) {
  Pictures pictures;
  s_pPictures = &pictures;
  for (auto &page : s_pages) page.assign(LCD_SCREEN_WORDS, 0);
  T_VIEW_vSetDisplayOps(&kOps);
  vRegister(vDrawChart, CHART_VIEW_PRIORITY, USED_BY_NONE);
  vRegister(vDrawSonar, SONAR_COMBO_LAYER, CHART_VIEW_PRIORITY);
  vRegister(vDrawReadouts, INFO_CHART_LAYER, CHART_VIEW_PRIORITY);
  vRegister(vDrawMenu, MAIN_MENU_LAYER, USED_BY_ALL);
  vRegister(vDrawAlarm, ALARM_LAYER, USED_BY_ALL);
  T_VIEW_vSetCurrentLayer(CHART_VIEW_PRIORITY);
  std::vector<double> ms;
  for (auto _ : state) {
    const auto t0 = std::chrono::steady_clock::now();
    T_VIEW_vHandleRefreshDisplay();
    const auto t1 = std::chrono::steady_clock::now();
    ms.push_back(std::chrono::duration<double, std::milli>(t1 - t0).count());
  }
  std::sort(ms.begin(), ms.end());
  state.counters["median_ms"] = ms[ms.size() / 2];
  state.counters["p99_ms"] = ms[std::min(ms.size() - 1, ms.size() * 99 / 100)];
  T_VIEW_vResetForTest();
  T_VIEW_vSetDisplayOps(nullptr);
}
BENCHMARK(BM_FullFrameComposition)->Iterations(500)->Unit(benchmark::kMillisecond);

}  // namespace
