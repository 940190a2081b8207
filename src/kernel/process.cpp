#include "kernel/process.h"

#include <unistd.h>

#include <cstdlib>
#include <ctime>

#include "settings/database.h"
#include "kernel/log.h"
#include "kernel/mbox.h"
#include "kernel/task.h"
#include "kernel/tick.h"

// Set-up of modules outside the kernel services.
void H_PLATFORM_vSetup(void);
void U_CONVERT_vInitialiseConversionUtility(void);
void LS_sync_vInit(void);

std::atomic<BOOLEAN> bStartupTaskInitialized{FALSE};

const int kMainStartOrder[45] = {26, 43, 47, 54, 51, 52, 53, 55, 56, 68, 18, 10, 23, 27, 22,
                                 37, 41, 42, 9,  28, 13, 39, 40, 16, 32, 19, 20, 25, 21, 24,
                                 31, 12, 60, 67, 11, 30, 45, 46, 57, 58, 59, 61, 62, 63, 69};

namespace {

// Mailbox and the semaphore that tells its task that mail has arrived, in the order they are bound.
// Mailboxes 28 and 70 are bound by their own tasks.
const struct {
  MBOX mbox;
  SEMA sema;
} kMailboxSemas[60] = {
    {2, 34},   {3, 36},   {4, 35},   {5, 55},   {6, 56},   {10, 40},  {7, 25},   {11, 51},  {9, 50},   {31, 37},
    {8, 47},   {15, 41},  {12, 38},  {13, 31},  {16, 43},  {14, 45},  {17, 52},  {18, 54},  {19, 44},  {20, 26},
    {21, 46},  {22, 28},  {24, 53},  {25, 27},  {26, 39},  {23, 23},  {27, 24},  {29, 42},  {30, 48},  {32, 30},
    {33, 57},  {34, 58},  {35, 59},  {36, 60},  {37, 62},  {38, 61},  {39, 29},  {40, 32},  {41, 33},  {42, 142},
    {44, 144}, {45, 147}, {46, 177}, {53, 202}, {54, 204}, {57, 216}, {58, 218}, {66, 252}, {47, 187}, {48, 188},
    {49, 194}, {55, 207}, {59, 221}, {60, 222}, {61, 223}, {63, 224}, {64, 235}, {62, 246}, {69, 263}, {71, 276},
};

}  // namespace

void Main(void) {
  H_DATABASE_vInit();
  std::srand(static_cast<unsigned>(std::time(nullptr)));
  H_PLATFORM_vSetup();
  H_TICK_vSetup(1000);
  for (const auto &pair : kMailboxSemas) L_MBOX_DefineSema(pair.mbox, pair.sema);
  U_CONVERT_vInitialiseConversionUtility();
  LS_sync_vInit();

  L_TASK_Start(UARTTASK);
  L_TASK_Start(STARTTASK);
  log_me("waiting for the start-up task");
  while (!bStartupTaskInitialized.load()) usleep(1);

  for (const int task : kMainStartOrder) {
    log_me("starting task %d", task);
    L_TASK_Start(task);
  }

  for (;;) sleep(3600);
}
