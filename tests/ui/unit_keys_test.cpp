// The running unit fed with key records through CORVAN_KEYS: holding POWER switches it off.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <string>

#include "platform/keyboard.h"

namespace {

void writeKey(int fd, unsigned short code, int value) { ASSERT_TRUE(DD_KEYBOARD_bWriteKeyRecord(fd, code, value)); }

TEST(UnitKeys, PowerHeldThroughTheKeyFifoSwitchesTheUnitOff) {
  char acDir[] = "/tmp/corvan-unit-keys-XXXXXX";
  const std::string dir = mkdtemp(acDir);
  const std::string fifo = dir + "/keys";
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
    unsetenv("DISPLAY");
    unsetenv("WAYLAND_DISPLAY");
    execl(CORVAN_BINARY, CORVAN_BINARY, static_cast<char *>(nullptr));
    _exit(127);
  }
  close(fdOut[1]);
  FILE *pOut = fdopen(fdOut[0], "r");
  char acLine[512];
  bool bKeyThread = false, bPowerDown = false;
  while (fgets(acLine, sizeof acLine, pOut) != nullptr) {
    const std::string line = acLine;
    if (!bKeyThread && line.find("key thread") != std::string::npos) {
      bKeyThread = true;
      writeKey(fdKeys, 46, 1);  // POWER down, and held
    }
    if (!bPowerDown && line.find("keyboard: power down") != std::string::npos) {
      bPowerDown = true;
      writeKey(fdKeys, 46, 0);  // let go: the unit switches off at once
    }
  }
  fclose(pOut);
  int status = 0;
  ASSERT_EQ(waitpid(pid, &status, 0), pid);
  close(fdKeys);
  EXPECT_TRUE(bKeyThread);
  EXPECT_TRUE(bPowerDown);
  ASSERT_TRUE(WIFEXITED(status));
  EXPECT_EQ(WEXITSTATUS(status), 10);
  unlink(fifo.c_str());
  std::string cmd = "rm -rf '" + dir + "'";
  EXPECT_EQ(std::system(cmd.c_str()), 0);
}

}  // namespace
