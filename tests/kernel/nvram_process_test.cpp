// The real program in a fresh data directory creates its settings files.
#include <gtest/gtest.h>
#include <signal.h>
#include <stdlib.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace {

std::vector<unsigned char> readFile(const std::string &sPath) {
  std::ifstream in(sPath, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

unsigned u32At(const std::vector<unsigned char> &bytes, size_t offset) {
  if (offset + 4 > bytes.size()) return 0xDEADBEEF;
  return bytes[offset] | bytes[offset + 1] << 8 | bytes[offset + 2] << 16 | static_cast<unsigned>(bytes[offset + 3]) << 24;
}

TEST(NvramProcess, FreshDataDirectoryGetsTheSettingsFiles) {
  char acTemplate[] = "/tmp/corvan-run-XXXXXX";
  const std::string sRoot = mkdtemp(acTemplate);
  const std::string sData = sRoot + "/data";
  const pid_t pid = fork();
  ASSERT_GE(pid, 0);
  if (pid == 0) {
    setenv("CORVAN_CWD", sData.c_str(), 1);
    setenv("CORVAN_TMP", (sRoot + "/tmp").c_str(), 1);
    setenv("CORVAN_DEVROOT", (sRoot + "/dev").c_str(), 1);
    setenv("CORVAN_HEADLESS", "1", 1);
    if (freopen((sRoot + "/log.txt").c_str(), "w", stdout) == nullptr) _exit(99);
    execl(CORVAN_BINARY, CORVAN_BINARY, static_cast<char *>(nullptr));
    _exit(98);
  }
  // The start-up defaults of CREV and SMDL are header items: both are saved as soon as the store has them.
  const std::string sEntries = sData + "/nvr_entries.dat";
  const std::string sBits = sData + "/nvr_statbit.dat";
  auto ready = [&] {
    const auto bits = readFile(sBits);
    return u32At(bits, 4 * 1458) == 3 && u32At(bits, 4 * 906) == 1u << 9;
  };
  int status = 0;
  bool bExited = false;
  for (int n = 0; n < 600 && !ready(); n++) {
    if (waitpid(pid, &status, WNOHANG) == pid) {
      bExited = true;
      break;
    }
    usleep(50000);
  }
  EXPECT_FALSE(bExited) << "ended early with status " << WEXITSTATUS(status);
  if (!bExited) {
    kill(pid, SIGTERM);
    waitpid(pid, &status, 0);
    EXPECT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 2);
  }
  const auto entries = readFile(sEntries);
  const auto bits = readFile(sBits);
  EXPECT_EQ(entries.size(), 186632u);
  EXPECT_EQ(bits.size(), 5836u);
  EXPECT_EQ(u32At(entries, 186624), 0xFFFFFFF8u);  // NVER
  EXPECT_EQ(u32At(entries, 186628), 0u);           // CREV
  EXPECT_EQ(u32At(entries, 116004), 293u);         // SMDL
  EXPECT_EQ(u32At(bits, 4 * 906), 1u << 9);
  EXPECT_FALSE(std::filesystem::exists(sData + "/sonar.dat"));
  EXPECT_FALSE(std::filesystem::exists(sData + "/personal.dat"));
  std::error_code ec;
  if (!HasFailure()) std::filesystem::remove_all(sRoot, ec);
}

}  // namespace
