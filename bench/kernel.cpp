// Kernel service costs: a mailbox ping-pong between two tasks against a plain mutex and condition-variable
// queue between two threads, and the jitter of a 100 ms one-shot timer against a plain clock_nanosleep.
// The process runs on one CPU, as the unit's board has one; BM_Ratios reports each figure against its peer.
#include <benchmark/benchmark.h>
#include <time.h>
#include <pthread.h>
#include <sched.h>

#include <atomic>
#include <condition_variable>
#include <deque>
#include <mutex>

#include "kernel/mbox.h"
#include "kernel/sema.h"
#include "kernel/task.h"
#include "kernel/tick.h"
#include "kernel/timer.h"

namespace {

constexpr int kRoundTrips = 1000;

// Pinned before any thread starts, so every task and helper thread inherits the one CPU.
const bool s_bPinned = [] {
  cpu_set_t tSet;
  CPU_ZERO(&tSet);
  const int nCpu = sched_getcpu();
  CPU_SET(nCpu < 0 ? 0 : nCpu, &tSet);
  return sched_setaffinity(0, sizeof tSet, &tSet) == 0;
}();

// The figures of the last run of each benchmark, for BM_Ratios.
double s_dMailboxUs = 0, s_dPlainUs = 0, s_dTimerLateUs = 0, s_dSleepLateUs = 0;

double dMicrosPerTrip(const benchmark::State &state, double dSeconds) {
  return dSeconds * 1e6 / ((double)state.iterations() * kRoundTrips);
}

// --- mailbox ping-pong: task 3 pings task 7, each waits on its mailbox semaphore and drains the mailbox.

GENERIC_MESSAGE s_tBall;
std::atomic<bool> s_bPongStarted{false};

void vPong(void) {
  SEMA aList[] = {SEMA_MBOX_DUMMY, 0};
  for (;;) {
    L_SEMA_WaitMultiple(aList);
    while (void *pvMsg = L_MBOX_Receive(M_DUMMY)) L_MBOX_Send(M_ADC, pvMsg, NORMAL_PRIORITY, 0);
  }
}

void vPing(void) {
  SEMA aList[] = {SEMA_MBOX_ADC, 0};
  for (;;) {
    L_SEMA_Wait(SEMA_USER_TEST);  // one batch per request
    for (int n = 0; n < kRoundTrips; n++) {
      L_MBOX_Send(M_DUMMY, &s_tBall, NORMAL_PRIORITY, 0);
      L_SEMA_WaitMultiple(aList);
      while (L_MBOX_Receive(M_ADC) != nullptr) {
      }
    }
    L_SEMA_Signal(SEMA_TEST_PARAMS);
  }
}

void vStartPingPong(void) {
  if (s_bPongStarted.exchange(true)) return;
  L_MBOX_DefineSema(M_DUMMY, SEMA_MBOX_DUMMY);
  L_MBOX_DefineSema(M_ADC, SEMA_MBOX_ADC);
  TASK_PARAM tPong = {4096, 100, vPong};
  TASK_PARAM tPing = {4096, 100, vPing};
  TASK_vSetParamForTest(DUMMYTASK, &tPong);
  TASK_vSetParamForTest(ADCTASK, &tPing);
  L_TASK_Start(DUMMYTASK);
  L_TASK_Start(ADCTASK);
}

void BM_MailboxPingPong(benchmark::State &state) {
  vStartPingPong();
  const U64 u64Start = L_CLOCK_qwGetTimeInMicros();
  for (auto _ : state) {
    L_SEMA_Signal(SEMA_USER_TEST);
    L_SEMA_Wait(SEMA_TEST_PARAMS);
  }
  s_dMailboxUs = dMicrosPerTrip(state, (double)(L_CLOCK_qwGetTimeInMicros() - u64Start) / 1e6);
  state.counters["pinned"] = s_bPinned ? 1 : 0;
  state.SetItemsProcessed(state.iterations() * kRoundTrips);
  state.counters["round_trip"] = benchmark::Counter(
      (double)state.iterations() * kRoundTrips, benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}
BENCHMARK(BM_MailboxPingPong)->Unit(benchmark::kMillisecond)->UseRealTime();

// --- the same exchange over two plain queues guarded by a mutex and a condition variable.

struct PlainQueue {
  std::mutex mutex;
  std::condition_variable cond;
  std::deque<void *> items;
  void put(void *pv) {
    {
      std::lock_guard<std::mutex> lock(mutex);
      items.push_back(pv);
    }
    cond.notify_one();
  }
  void *get() {
    std::unique_lock<std::mutex> lock(mutex);
    cond.wait(lock, [this] { return !items.empty(); });
    void *pv = items.front();
    items.pop_front();
    return pv;
  }
};

PlainQueue s_tToPong, s_tToPing;

void *pvPlainPong(void *) {
  for (;;) {
    void *pv = s_tToPong.get();
    if (pv == nullptr) return nullptr;
    s_tToPing.put(pv);
  }
}

void BM_PlainQueuePingPong(benchmark::State &state) {
  pthread_t tPong;
  pthread_create(&tPong, nullptr, pvPlainPong, nullptr);
  int nBall = 0;
  const U64 u64Start = L_CLOCK_qwGetTimeInMicros();
  for (auto _ : state) {
    for (int n = 0; n < kRoundTrips; n++) {
      s_tToPong.put(&nBall);
      benchmark::DoNotOptimize(s_tToPing.get());
    }
  }
  s_dPlainUs = dMicrosPerTrip(state, (double)(L_CLOCK_qwGetTimeInMicros() - u64Start) / 1e6);
  s_tToPong.put(nullptr);
  pthread_join(tPong, nullptr);
  state.SetItemsProcessed(state.iterations() * kRoundTrips);
  state.counters["round_trip"] = benchmark::Counter(
      (double)state.iterations() * kRoundTrips, benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}
BENCHMARK(BM_PlainQueuePingPong)->Unit(benchmark::kMillisecond)->UseRealTime();

// --- how late a 100 ms one-shot signals its semaphore.

void BM_TimerJitter100ms(benchmark::State &state) {
  TIMER_INFO *ptTimer = L_TIMER_Allocate();
  double dSumUs = 0, dMaxUs = 0;
  for (auto _ : state) {
    U64 u64Start = L_CLOCK_qwGetTimeInMicros();
    L_TIMER_Start(ptTimer, 100, 0, SEMA_TIMER_INFO);
    L_SEMA_Wait(SEMA_TIMER_INFO);
    double dLateUs = (double)(L_CLOCK_qwGetTimeInMicros() - u64Start) - 100000.0;
    dSumUs += dLateUs;
    if (dLateUs > dMaxUs) dMaxUs = dLateUs;
  }
  L_TIMER_Release(ptTimer);
  s_dTimerLateUs = dSumUs / (double)state.iterations();
  state.counters["late_mean_us"] = dSumUs / (double)state.iterations();
  state.counters["late_max_us"] = dMaxUs;
}
BENCHMARK(BM_TimerJitter100ms)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(30);

// The peer: how late a plain 100 ms clock_nanosleep on the same clock returns.
void BM_NanosleepJitter100ms(benchmark::State &state) {
  double dSumUs = 0, dMaxUs = 0;
  for (auto _ : state) {
    struct timespec tStart, tEnd;
    clock_gettime(CLOCK_MONOTONIC, &tStart);
    const struct timespec tPause = {0, 100000000};
    clock_nanosleep(CLOCK_MONOTONIC, 0, &tPause, nullptr);
    clock_gettime(CLOCK_MONOTONIC, &tEnd);
    const double dLateUs =
        (double)(tEnd.tv_sec - tStart.tv_sec) * 1e6 + (double)(tEnd.tv_nsec - tStart.tv_nsec) / 1e3 - 100000.0;
    dSumUs += dLateUs;
    if (dLateUs > dMaxUs) dMaxUs = dLateUs;
  }
  s_dSleepLateUs = dSumUs / (double)state.iterations();
  state.counters["late_mean_us"] = dSumUs / (double)state.iterations();
  state.counters["late_max_us"] = dMaxUs;
}
BENCHMARK(BM_NanosleepJitter100ms)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(30);

// Each figure against its peer of the same run (goals: mailbox at most 1.5x, timer at most 1.2x).
void BM_Ratios(benchmark::State &state) {
  for (auto _ : state) {
  }
  if (s_dPlainUs > 0) state.counters["mailbox_vs_plain_queue"] = s_dMailboxUs / s_dPlainUs;
  if (s_dSleepLateUs > 0) state.counters["timer_vs_nanosleep_lateness"] = s_dTimerLateUs / s_dSleepLateUs;
}
BENCHMARK(BM_Ratios)->Iterations(1);

}  // namespace

