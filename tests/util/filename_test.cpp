#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>
#include <string>

#include "util/filename.h"
#include "kernel/memory.h"
#include "platform/datadir.h"
#include "platform/devices.h"
#include "run_apart.h"

TEST_RUN_APART(FileName);

namespace {

std::string DataDir() {
  const char *value = std::getenv("CORVAN_CWD");
  std::string dir = value != nullptr && value[0] != '\0' ? value : "/usr/corvan";
  while (dir.size() > 1 && dir.back() == '/') dir.pop_back();
  return dir;
}

std::string Take(char *block) {
  std::string text(block);
  H_MEMORY_vFree(block);
  return text;
}

TEST(FileName, DeviceNames) {
  const std::string d = DataDir();
  const std::string m = std::string(PLATFORM_ptCard()->pcMountDir()) + "/mmc";
  struct Case {
    const char *code;
    int unit;
    std::string expected;
  };
  const Case cases[] = {
      {"mmc", 0, m + "0/"},          {"mmc", 1, m + "1/"},      {"mvn", 0, d + "/"},
      {"mvn", 2, d + "/data2/"},     {"mmcx", 0, d + "/mmcx0/"}, {"mv", 3, d + "/mv3/"},
      {"MMC", 1, d + "/MMC1/"},      {"mmc", -1, m + "_/"},      {"mvn", 10, d + "/data:/"},
  };
  for (const auto &c : cases) EXPECT_EQ(Take(U_FILE_psCreateDeviceName(c.code, c.unit)), c.expected) << c.code;
}

TEST(FileName, NamesThatOutgrowTheBlockAreRefused) {
  const std::string d = DataDir();
  // Code lengths that give exactly 126 and 127 characters in the data directory.
  const size_t fits = U_FILE_NAME_BLOCK - 1 - (d.size() + 3);
  if (fits <= U_FILE_MAX_DEVICE_CODE) {
    EXPECT_EQ(Take(U_FILE_psCreateDeviceName(std::string(fits, 'x').c_str(), 1)).size(), 126u);
  }
  EXPECT_EQ(Take(U_FILE_psCreateDeviceName(std::string(fits + 1, 'x').c_str(), 1)), "");
  EXPECT_EQ(Take(U_FILE_psCreateDeviceName(std::string(U_FILE_MAX_DEVICE_CODE + 1, 'x').c_str(), 1)), "");

  const std::string dir = "/mnt/mmc0/";
  EXPECT_EQ(Take(U_FILE_psComposeFileName(dir.c_str(), "REC0001.SON")), "/mnt/mmc0/REC0001.SON");
  EXPECT_EQ(Take(U_FILE_psComposeFileName(dir.c_str(), std::string(116, 'a').c_str())).size(), 126u);
  // A card listing's long entry name cannot overflow the block.
  EXPECT_EQ(Take(U_FILE_psComposeFileName(dir.c_str(), std::string(255, 'a').c_str())), "");
}

TEST(FileName, Extensions) {
  struct Case {
    const char *name, *ext;
    BOOLEAN expected;
  };
  const Case cases[] = {
      {"IMAGE.BMP", "bmp", TRUE}, {".bmp", "bmp", TRUE},   {"bmp", "bmp", FALSE},   {"IMAGEBMP", "bmp", FALSE},
      {"A.BMP", "", FALSE},       {"A.XBMP", "BMP", FALSE}, {"/mnt/mmc0/x.qwr", "QWR", TRUE}, {"", "a", FALSE},
  };
  for (const auto &c : cases) EXPECT_EQ(U_FILE_bCheckExtension(c.name, c.ext), c.expected) << c.name << " " << c.ext;

  char name[16] = "REC0001";
  U_FILE_vAddExtension(name, "SON");
  EXPECT_STREQ(name, "REC0001.SON");
  char tight[12] = "REC0001";
  U_FILE_vAddExtension(tight, "SONX");  // needs 13 bytes: refused, name kept
  EXPECT_STREQ(tight, "REC0001");
  char exact[12] = "REC0001";
  U_FILE_vAddExtension(exact, "SON");
  EXPECT_STREQ(exact, "REC0001.SON");
}

TEST(FileName, IsolateFileName) {
  char out[8] = "zzzzzzz";
  U_FILE_vIsolateFileName("/mnt/mmc1/DIR/a.dat", out);
  EXPECT_STREQ(out, "a.dat");
  U_FILE_vIsolateFileName("a.dat", out);
  EXPECT_STREQ(out, "a.dat");
  U_FILE_vIsolateFileName("/mnt/mmc1/DIR/", out);
  EXPECT_STREQ(out, "");
  U_FILE_vIsolateFileName("/x/1234567.dat", out);  // does not fit 8 bytes
  EXPECT_STREQ(out, "");
  U_FILE_vIsolateFileName("/x/1234567", out);  // exactly fits
  EXPECT_STREQ(out, "1234567");
}

TEST(FileName, MarkDeviceName) {
  const std::string d = DataDir();
  const std::string md = PLATFORM_ptCard()->pcMountDir(), m = md + "/mmc";
  struct Case {
    std::string path, expected;
  };
  const Case cases[] = {
      {m + "0/DARAVAZO/CHARTS/a.nv2", m + "0"},
      {m + "1", m + "1"},
      {d + "/data2/snap1.png", "/"},
      {d, "/"},
      {"/usr/corvan/x1.dat", "/"},
      {"/var/log/x", "/"},
      {md + "/usb/photos/a.png", md + "/usb/photos/a.png"},
      {md + "/usb3/a.png", md + "/usb3"},
      {"DIR1/a.dat", "DIR1/a.dat"},
      {"", ""},
  };
  for (const auto &c : cases) {
    std::string buffer = c.path;
    U_FILE_vMarkDeviceName(buffer.data());
    EXPECT_EQ(std::string(buffer.c_str()), c.expected) << c.path;
  }
}

// A data directory under the mount directory and holding a digit: device names follow it, and paths in it are
// internal memory, not a device of the mount directory. The data directory is read once per process, so the
// check runs in a child that sets it first.
TEST(FileName, DataDirectoryUnderTheMountDirectory) {
  const pid_t pid = fork();
  ASSERT_GE(pid, 0);
  if (pid == 0) {
    setenv("CORVAN_CWD", "/mnt/data7/corvan/", 1);
    if (std::strcmp(L_UTILS_cpGetPathnamePtr(), "/mnt/data7/corvan/") != 0) _exit(77);
    bool ok = Take(U_FILE_psCreateDeviceName("mvn", 0)) == "/mnt/data7/corvan/";
    ok = ok && Take(U_FILE_psCreateDeviceName("mvn", 3)) == "/mnt/data7/corvan/data3/";
    // The card mount folder: "/mnt" on the board, inside the data directory in the simulator.
    const std::string md = PLATFORM_ptCard()->pcMountDir();
    for (const auto &[path, device] : {std::pair<std::string, std::string>{"/mnt/data7/corvan/data2/x.png", "/"},
                                       {"/mnt/data7/corvan", "/"},
                                       {md + "/data7/other/x", md + "/data7"},
                                       {md + "/mmc1/x", md + "/mmc1"}}) {
      std::string buffer = path;
      U_FILE_vMarkDeviceName(buffer.data());
      ok = ok && std::string(buffer.c_str()) == device;
    }
    _exit(ok ? 0 : 1);
  }
  int status = 0;
  ASSERT_EQ(waitpid(pid, &status, 0), pid);
  ASSERT_TRUE(WIFEXITED(status));
  if (WEXITSTATUS(status) == 77) GTEST_SKIP() << "the data directory was read earlier in this process";
  EXPECT_EQ(WEXITSTATUS(status), 0);
}

}  // namespace
