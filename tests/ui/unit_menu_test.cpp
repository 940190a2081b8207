// The running unit fed with key records through CORVAN_KEYS: MENU opens the menu and the cursor walks it; the
// picture on display when the unit ends shows it.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <linux/input.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <string>
#include <thread>
#include <vector>

#include "graphics/color.h"
#include "platform/png.h"

namespace {

void writeKey(int fd, unsigned short code) {
  for (int value : {1, 0}) {
    struct input_event tEvent = {};
    tEvent.type = EV_KEY;
    tEvent.code = code;
    tEvent.value = value;
    ASSERT_EQ(write(fd, &tEvent, sizeof tEvent), static_cast<ssize_t>(sizeof tEvent));
    std::this_thread::sleep_for(std::chrono::milliseconds(200));
  }
}

TEST(UnitMenu, MenuKeyOpensADrawnMenuAndTheCursorWalksIt) {
  char acDir[] = "/tmp/corvan-unit-menu-XXXXXX";
  const std::string dir = mkdtemp(acDir);
  const std::string fifo = dir + "/keys", shot = dir + "/shot.png";
  ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
  const int fdKeys = open(fifo.c_str(), O_RDWR);
  ASSERT_GE(fdKeys, 0);
  int fdOut[2];
  ASSERT_EQ(pipe(fdOut), 0);
  const pid_t pid = fork();
  if (pid == 0) {
    dup2(fdOut[1], 1);
    close(fdOut[0]);
    setenv("CORVAN_CWD", dir.c_str(), 1);
    setenv("CORVAN_TMP", (dir + "/scratch").c_str(), 1);
    setenv("CORVAN_HEADLESS", "1", 1);
    setenv("CORVAN_KEYS", fifo.c_str(), 1);
    setenv("CORVAN_SCREENSHOT", shot.c_str(), 1);
    unsetenv("DISPLAY");
    unsetenv("WAYLAND_DISPLAY");
    execl(CORVAN_BINARY, CORVAN_BINARY, static_cast<char *>(nullptr));
    _exit(127);
  }
  close(fdOut[1]);
  FILE *pOut = fdopen(fdOut[0], "r");
  char acLine[512];
  bool bFrame = false, bKeys = false;
  while (!(bFrame && bKeys) && fgets(acLine, sizeof acLine, pOut) != nullptr) {
    const std::string line = acLine;
    bFrame = bFrame || line.find("showing the chart disclaimer") != std::string::npos;
    bKeys = bKeys || line.find("key thread") != std::string::npos;
  }
  ASSERT_TRUE(bFrame && bKeys);
  // EXIT leaves the chart disclaimer; the system then runs with the quick-setup menu of a first start open.
  writeKey(fdKeys, 30);
  bool bRunning = false;
  while (!bRunning && fgets(acLine, sizeof acLine, pOut) != nullptr) {
    bRunning = std::string(acLine).find("run-system sent") != std::string::npos;
  }
  ASSERT_TRUE(bRunning);
  writeKey(fdKeys, 30);  // EXIT: the quick-setup menu goes
  std::this_thread::sleep_for(std::chrono::milliseconds(500));
  writeKey(fdKeys, 50);   // MENU: the main menu (the view has no hot menu), focus on the tab bar
  writeKey(fdKeys, 108);  // cursor down: into the rows
  std::this_thread::sleep_for(std::chrono::milliseconds(500));
  kill(pid, SIGTERM);
  while (fgets(acLine, sizeof acLine, pOut) != nullptr) {
  }
  fclose(pOut);
  int status = 0;
  ASSERT_EQ(waitpid(pid, &status, 0), pid);
  close(fdKeys);

  std::vector<COLOR> vPixels;
  U32 w = 0, h = 0;
  ASSERT_TRUE(PNG_bReadRgb565(shot.c_str(), &vPixels, &w, &h));
  ASSERT_EQ(w, 800u);
  ASSERT_EQ(h, 480u);
  auto at = [&](PIXEL x, PIXEL y) { return vPixels[static_cast<size_t>(479 - y) * 800 + static_cast<size_t>(x)]; };
  // The first row is highlighted (colour 64), the second a plain row (colour 65); both left of the panel's middle.
  EXPECT_EQ(at(166, 395), gCOLOR_pcolColorTable[64]);
  EXPECT_EQ(at(166, 395 - 59), gCOLOR_pcolColorTable[65]);
  std::string cmd = "rm -rf '" + dir + "'";
  EXPECT_EQ(std::system(cmd.c_str()), 0);
}

}  // namespace
