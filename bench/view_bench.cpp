// Frames of the running unit, composed by the view task on the bench thread: the view and menu tasks, the
// alarm task and the readouts are set up as the unit sets them up and register their own layers; the main
// menu is opened with the MENU key and an alarm is raised, so each frame draws the unit's own layers.
// Frames go to pages in memory. Reports CPU per frame, and a memset of one page in the same run as a yardstick.
#include <benchmark/benchmark.h>
#include <linux/perf_event.h>
#include <sys/ioctl.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <array>
#include <chrono>
#include <cstring>
#include <vector>

#include "draw/color.h"
#include "draw/icon_data.h"
#include "kernel/mbox.h"
#include "kernel/memory.h"
#include "kernel/sema.h"
#include "platform/lcd.h"
#include "settings/database.h"
#include "ui/info/alarm_task.h"
#include "ui/info/info.h"
#include "ui/info/info_internal.h"
#include "ui/info/readout.h"
#include "ui/keys/keyboard.h"
#include "ui/keys/tone.h"
#include "ui/menu/menu.h"
#include "ui/menu/menu_task.h"
#include "ui/startup/startup.h"
#include "util/convert.h"
#include "view/capture.h"
#include "view/view_task.h"

namespace {

// A mailbox no task serves in this process stands for the keyboard task.
constexpr MBOX kKeyboardStandIn = M_FENWISP;

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

void vDrain(MBOX mbox) {
  while (void *pvMsg = L_MBOX_Receive(mbox)) H_MEMORY_vDumpMail(pvMsg);
}

// Hands every task its mail until no task has any left.
void vPump() {
  for (bool bAny = true; bAny;) {
    bAny = false;
    while (void *pvMsg = L_MBOX_Receive(M_MENU)) {
      T_MENU_vHandleMessage(pvMsg);
      bAny = true;
    }
    while (void *pvMsg = L_MBOX_Receive(M_VIEW)) {
      T_VIEW_vHandleMessage(pvMsg);
      bAny = true;
    }
    if (L_SEMA_GetWaitingTaskID(SEMA_MBOX_ALARM) == -lsSEMA_DONE) {
      L_SEMA_Wait(SEMA_MBOX_ALARM);
      T_ALARM_vHandleSema(SEMA_MBOX_ALARM);
      bAny = true;
    }
  }
  vDrain(kKeyboardStandIn);
  vDrain(M_TONE);
}

void vSetU32(const char (&acKey)[5], U32 u32Value, DATA_TYPE eType = D_UNKNOWN) {
  H_DATABASE_bUpdateEverythingU32(FCID(acKey), u32Value, P_NORMAL, eType, nullptr, DB_NO_TIMEOUT);
}
void vSetFloat(const char (&acKey)[5], float fValue, DATA_TYPE eType) {
  H_DATABASE_bUpdateEverythingFloat(FCID(acKey), fValue, P_NORMAL, eType, nullptr, DB_NO_TIMEOUT);
}

void vPressMenu() {
  for (KEY_STATE eState : {KEY_DOWN, KEY_UP}) {
    auto *pMsg = static_cast<MSG_KEY_CHANGE *>(H_MEMORY_pvCalloc(1, sizeof(MSG_KEY_CHANGE)));
    pMsg->header.Cmd = CMD_ID_KEY_CHANGE;
    pMsg->key = KEY_BIT_MENU;
    pMsg->state = eState;
    pMsg->count = 1;
    pMsg->cursor = CURSOR_ILLEGAL;
    L_MBOX_Send(M_MENU, pMsg, NORMAL_PRIORITY, 0);
    vPump();
  }
}

// The unit after its start: the layers and menus of its view, menu, tone and alarm tasks, the readouts of the
// status view, the main menu open and an alarm raised.
void vSetUpUnit() {
  static bool s_bDone = false;
  if (s_bDone) return;
  s_bDone = true;
  for (auto &page : s_pages) page.assign(LCD_SCREEN_WORDS, 0);
  T_VIEW_vSetDisplayOps(&kOps);
  U_CONVERT_vInitialiseConversionUtility();
  vSetU32("TKBD", kKeyboardStandIn, D_MAILBOX);
  vSetU32("CCST", 3);
  vSetU32("SQCD", TRUE);
  vSetU32("CUSR", M_ADVANCED);
  L_MBOX_DefineSema(M_ALARM, SEMA_MBOX_ALARM);
  T_VIEW_vInit();
  T_MENU_vInit();
  vPump();

  // What the start-up task registers, before the other tasks add their menus.
  U_MENU_bRegisterTab(&Views, SELECT_VIEWS_TAB_PRIORITY, &ViewTab_icon, M_BASIC);
  U_MENU_bRegisterTab(&Alarms, ALARM_TAB_PRIORITY, &Alarm_icon, M_BASIC);
  U_MENU_bRegisterTab(&Setup, SETUP_TAB_PRIORITY, &Setup_icon, M_BASIC);
  U_MENU_bRegisterTab(&Accessories, ACCESSORY_TAB_PRIORITY, &acc_icon, M_BASIC);
  vPump();
  vSetU32("SVST", TRUE);
  U_VIEW_bRegisterLayer(T_STARTUP_vDrawSelfTestView, DIAGNOSTIC_SELF_TEST, USED_BY_NONE, 0, FCID("SVST"), FALSE,
                        nullptr, nullptr, nullptr);
  U_VIEW_bRegisterLayer(T_INFO_vDrawInfoLayer_Instrumentation_SonarView, INFO_SELF_TEST_LAYER,
                        DIAGNOSTIC_SELF_TEST, 0, 0, TRUE, nullptr, nullptr, nullptr);
  // The view task's own review view, the alarm task and its menus.
  T_VIEW_vSetupCapture();
  T_TONE_vInit();
  T_ALARM_vInit();
  T_ALARM_vRegisterMenu();
  vPump();

  // Five readouts in the status view's column.
  INFO_vApplyPalette(1);
  T_INFO_vSetAlpha(0);
  vSetU32("BDEP", FCID("IDEP"), D_FCID);
  vSetFloat("IDEP", 12.4f, D_DEPTH);
  vSetFloat("ITMP", 17.3f, D_TEMPERATURE);
  vSetFloat("ISPD", 2.6f, D_SPEED);
  vSetU32("SIS1", FCID("BDEP"), D_FCID);
  vSetU32("SIS2", FCID("ITMP"), D_FCID);
  vSetU32("SIS3", FCID("ISPD"), D_FCID);
  vSetU32("SIS4", FCID("IDEP"), D_FCID);
  vSetU32("SIS5", FCID("ITMP"), D_FCID);

  // The first MENU opens the view's menu, the second the main menu.
  T_VIEW_vSetCurrentLayer(CAPTURE_REVIEW_VIEW_PRIORITY);
  vSetU32("CVEW", CAPTURE_REVIEW_VIEW_PRIORITY);
  vPump();
  vPressMenu();
  vPressMenu();

  auto *pAlarm = static_cast<ALARM_SET_MESSAGE *>(H_MEMORY_pvCalloc(1, sizeof(ALARM_SET_MESSAGE)));
  pAlarm->header.Cmd = CMD_ID_SET_ALARM;
  pAlarm->Priority = SHALLOW_WATER_DEPTH_ALARM;
  pAlarm->pMessageString = "Shallow Water Alarm";
  pAlarm->InitialToneID = TONE_ALARM_ALERT;
  pAlarm->ReminderToneID = TONE_ALARM_ALERT;
  L_MBOX_Send(M_ALARM, pAlarm, NORMAL_PRIORITY, 0);
  vPump();
}

// Microseconds per memset of one page, over as many pages as the frames took.
double dMemsetPageUs(size_t szPages) {
  std::vector<U32> vPage(LCD_SCREEN_WORDS);
  const auto t0 = std::chrono::steady_clock::now();
  for (size_t i = 0; i < szPages; i++) {
    std::memset(vPage.data(), static_cast<int>(i), vPage.size() * sizeof(U32));
    benchmark::ClobberMemory();
  }
  return std::chrono::duration<double, std::micro>(std::chrono::steady_clock::now() - t0).count() /
         static_cast<double>(szPages);
}

// The instructions this thread retires in user space, where the machine lets a process count them.
class InstructionCounter {
 public:
  InstructionCounter() {
    perf_event_attr attr{};
    attr.type = PERF_TYPE_HARDWARE;
    attr.size = sizeof attr;
    attr.config = PERF_COUNT_HW_INSTRUCTIONS;
    attr.disabled = 1;
    attr.exclude_kernel = 1;
    attr.exclude_hv = 1;
    m_fd = static_cast<int>(syscall(SYS_perf_event_open, &attr, 0, -1, -1, 0));
  }
  ~InstructionCounter() {
    if (m_fd >= 0) close(m_fd);
  }
  bool available() const { return m_fd >= 0; }
  void start() {
    if (m_fd >= 0) ioctl(m_fd, PERF_EVENT_IOC_ENABLE, 0);
  }
  void stop() {
    if (m_fd >= 0) ioctl(m_fd, PERF_EVENT_IOC_DISABLE, 0);
  }
  long long count() const {
    long long ll = 0;
    return m_fd >= 0 && read(m_fd, &ll, sizeof ll) == static_cast<ssize_t>(sizeof ll) ? ll : -1;
  }

 private:
  int m_fd = -1;
};

// CPU per frame; beside it the frame's wall time against a memset of one page in the same run, and the
// instructions per frame where the machine counts them (goal: at most a million).
void vComposeFrames(benchmark::State &state, LAYER_ID view) {
  vSetUpUnit();
  T_VIEW_vSetCurrentLayer(view);
  InstructionCounter instructions;
  double dFramesUs = 0;
  for (auto _ : state) {
    const auto t0 = std::chrono::steady_clock::now();
    instructions.start();
    T_VIEW_vHandleRefreshDisplay();
    instructions.stop();
    benchmark::ClobberMemory();
    dFramesUs += std::chrono::duration<double, std::micro>(std::chrono::steady_clock::now() - t0).count();
  }
  if (instructions.available()) {
    state.counters["instructions_per_frame"] =
        static_cast<double>(instructions.count()) / static_cast<double>(state.iterations());
  }
  const double dFrameUs = dFramesUs / static_cast<double>(state.iterations());
  const double dMemsetUs = dMemsetPageUs(state.iterations());
  state.counters["frame_us"] = dFrameUs;
  state.counters["page_memset_us"] = dMemsetUs;
  state.counters["frame_per_memset"] = dFrameUs / dMemsetUs;
}

// The view the unit shows after its start, with the main menu and the alarm box.
void BM_UnitFrame_ReviewView(benchmark::State &state) { vComposeFrames(state, CAPTURE_REVIEW_VIEW_PRIORITY); }
BENCHMARK(BM_UnitFrame_ReviewView)->Unit(benchmark::kMicrosecond);

// The status view with its readout column, the main menu and the alarm box.
void BM_UnitFrame_StatusView(benchmark::State &state) { vComposeFrames(state, DIAGNOSTIC_SELF_TEST); }
BENCHMARK(BM_UnitFrame_StatusView)->Unit(benchmark::kMicrosecond);

}  // namespace
