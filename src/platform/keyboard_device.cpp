// The keypad driver: an input thread per key source sets one pressed flag per physical key.
#include <errno.h>
#include <fcntl.h>
#include <linux/input.h>
#include <poll.h>
#include <unistd.h>
// The keypad's own names for key states take the place of these two Linux key codes here.
#undef KEY_UP
#undef KEY_DOWN

#include <atomic>
#include <cstdlib>
#include <cstring>

#include "kernel/log.h"
#include "kernel/options.h"
#include "kernel/task.h"
#include "kernel/tick.h"
#include "platform/keyboard.h"
#include "platform/keypad_ops.h"

namespace {

// The keypad's codes in driver index order (the Linux names are only labels: the cursor-up key arrives as
// KEY_LEFT, zoom-out as KEY_UP, zoom-in as KEY_RIGHT).
constexpr U16 kCodes[DKEY_NUM_KEYS] = {46, 50, 30, 28, 106, 103, 36, 18, 24, 105, 108, 23, 49, 48, 33, 37};

constexpr int kThreadPriority = 98;
constexpr U32 kFakePressMs = 100;
constexpr U32 kFakeReleaseMs = 250;

std::atomic<BOOLEAN> s_state[DKEY_NUM_KEYS];
// A press stays latched until a poll has seen it, so a tap shorter than the poll interval still counts once.
std::atomic<BOOLEAN> s_latched[DKEY_NUM_KEYS];
std::atomic<bool> s_bStarted{false};
// The test key's next toggle time; only the polling task touches it.
U32 s_u32FakeNextToggle = 0;
bool s_bFakeRunning = false;
bool s_bFakeChecked = false;
int s_nFakeKey = -1;

void *pvReaderThread(void *pvPath) {
  if (!TASK_bSetFifo(kThreadPriority)) log_me("key thread: real-time priority refused, running on");
  show_linux_priority("key thread");
  const char *pcPath = static_cast<const char *>(pvPath);
  if (!DD_KEYBOARD_bReadRecords(pcPath)) log_me("key thread: cannot open %s", pcPath);
  return nullptr;
}

void vStartReader(const char *pcPath) {
  if (L_UTILS_threadCreateSimpleThread("keyboard", pvReaderThread, const_cast<char *>(pcPath)) == 0) {
    log_me("key thread: cannot start for %s", pcPath);
  }
}

// The test key index from the command line; anything outside the keypad is refused once, with a log line.
int nFakeKey() {
  if (!s_bFakeChecked) {
    s_bFakeChecked = true;
    s_nFakeKey = -1;
    if (opt_fakekey >= 0 && opt_fakekey < static_cast<S32>(DKEY_NUM_KEYS)) {
      s_nFakeKey = opt_fakekey;
    } else if (opt_fakekey != -1) {
      log_me("fake_key %d refused: driver keys are 0 to 15", opt_fakekey);
    }
  }
  return s_nFakeKey;
}

}  // namespace

int DD_KEYBOARD_nIndexOfCode(U16 u16Code) {
  for (U32 i = 0; i < DKEY_NUM_KEYS; ++i) {
    if (kCodes[i] == u16Code) return static_cast<int>(i);
  }
  return -1;
}

U16 DD_KEYBOARD_u16CodeOfIndex(U32 u32Index) { return u32Index < DKEY_NUM_KEYS ? kCodes[u32Index] : 0; }

void DD_KEYBOARD_vHandleRecord(U16 u16Type, U16 u16Code, S32 s32Value) {
  if (u16Type != EV_KEY || (s32Value != 0 && s32Value != 1)) return;
  const int nIndex = DD_KEYBOARD_nIndexOfCode(u16Code);
  if (nIndex < 0) return;
  if (s32Value == 1) s_latched[nIndex].store(TRUE, std::memory_order_relaxed);
  s_state[nIndex].store(s32Value == 1 ? TRUE : FALSE, std::memory_order_relaxed);
}

bool DD_KEYBOARD_bReadRecords(const char *pcPath) {
  // Not blocking: the open of a FIFO would wait for a writer, and the reads wait in TASK_nWaitFd, where a task
  // reading keys ends when it is told to.
  const int fd = open(pcPath, O_RDONLY | O_CLOEXEC | O_NONBLOCK);
  if (fd < 0) return false;
  // Native records: 24 bytes on a 64-bit machine. A record may arrive in pieces from a pipe.
  struct input_event tEvent;
  size_t uHave = 0;
  for (;;) {
    const int nWait = TASK_nWaitFd(fd, POLLIN, -1, -1);
    if (nWait == TASK_WAIT_ENDING) {
      close(fd);
      TASK_vSafePoint();
    }
    if (nWait == TASK_WAIT_FAILED) break;
    const ssize_t n = read(fd, reinterpret_cast<char *>(&tEvent) + uHave, sizeof tEvent - uHave);
    if (n < 0 && (errno == EINTR || errno == EAGAIN)) continue;
    if (n <= 0) break;
    uHave += static_cast<size_t>(n);
    if (uHave < sizeof tEvent) continue;
    uHave = 0;
    DD_KEYBOARD_vHandleRecord(tEvent.type, tEvent.code, tEvent.value);
  }
  close(fd);
  return true;
}

bool DD_KEYBOARD_bWriteKeyRecord(int fd, U16 u16Code, S32 s32Value) {
  struct input_event tEvent = {};
  tEvent.type = EV_KEY;
  tEvent.code = u16Code;
  tEvent.value = s32Value;
  return write(fd, &tEvent, sizeof tEvent) == static_cast<ssize_t>(sizeof tEvent);
}

void DD_KEYBOARD_vInit(void) {
  if (s_bStarted.exchange(true)) return;
  for (auto &flag : s_state) flag.store(FALSE, std::memory_order_relaxed);
  for (auto &flag : s_latched) flag.store(FALSE, std::memory_order_relaxed);
  const KEYPAD_OPS *pOps = KEYPAD_pGetOps();
  if (const char *pcDevice = pOps->pcDevicePath()) vStartReader(pcDevice);
  pOps->vStartOtherSources();
  const char *pcScript = std::getenv("CORVAN_KEYS");
  if (pcScript != nullptr && *pcScript != '\0') {
    // The thread keeps the path for as long as it runs.
    static char s_acScript[4096];
    std::strncpy(s_acScript, pcScript, sizeof s_acScript - 1);
    vStartReader(s_acScript);
  }
}

void DD_KEYBOARD_vGetState(BOOLEAN *pbList) {
  const int nFake = nFakeKey();
  if (nFake >= 0) {
    const U32 u32Now = H_TICK_u32ReadFreeRunningTimerInMilliSeconds();
    if (!s_bFakeRunning || static_cast<S32>(u32Now - s_u32FakeNextToggle) >= 0) {
      s_bFakeRunning = true;
      const BOOLEAN bPressed = s_state[nFake].load(std::memory_order_relaxed) ? FALSE : TRUE;
      s_state[nFake].store(bPressed, std::memory_order_relaxed);
      s_u32FakeNextToggle = u32Now + (bPressed ? kFakePressMs : kFakeReleaseMs);
    }
  }
  for (U32 i = 0; i < DKEY_NUM_KEYS; ++i) {
    const BOOLEAN bLatched = s_latched[i].exchange(FALSE, std::memory_order_relaxed);
    pbList[i] = s_state[i].load(std::memory_order_relaxed) || bLatched ? TRUE : FALSE;
  }
}

void DD_KEYBOARD_vPhasedScan(void) {}

BOOLEAN DD_KEYBOARD_bIsPressed(DKEY_ID eKey) {
  return eKey < DKEY_NUM_KEYS ? s_state[eKey].load(std::memory_order_relaxed) : FALSE;
}

void DD_KEYBOARD_vResetForTest(void) {
  for (auto &flag : s_state) flag.store(FALSE, std::memory_order_relaxed);
  for (auto &flag : s_latched) flag.store(FALSE, std::memory_order_relaxed);
  s_u32FakeNextToggle = 0;
  s_bFakeRunning = false;
  s_bFakeChecked = false;
}
