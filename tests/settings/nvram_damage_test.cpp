// Damaged settings files never lock the unit out, and kill -9 at any file operation of a save leaves files
// that load. Every start is a fresh process: the test child (the NVRAM task alone) or the whole unit.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <optional>
#include <random>
#include <string>
#include <vector>

#include "settings_child.h"
#include "settings_fixture.h"
#include "test_environment.h"

namespace {

namespace fs = std::filesystem;

struct ChildRun {
  int nStatus;  // exit status, 128 + signal when killed
  std::string sOut;
};

// Runs the test child with the arguments; standard output collected.
ChildRun runChild(const std::vector<std::string> &args) {
  int anPipe[2];
  if (pipe(anPipe) != 0) std::abort();
  const pid_t pid = fork();
  if (pid == 0) {
    dup2(anPipe[1], 1);
    close(anPipe[0]);
    close(anPipe[1]);
    std::vector<char *> argv{const_cast<char *>(SETTINGS_CHILD)};
    for (const std::string &s : args) argv.push_back(const_cast<char *>(s.c_str()));
    argv.push_back(nullptr);
    execv(SETTINGS_CHILD, argv.data());
    _exit(127);
  }
  close(anPipe[1]);
  ChildRun run{-1, {}};
  char acBuffer[4096];
  for (ssize_t n; (n = read(anPipe[0], acBuffer, sizeof acBuffer)) > 0;) {
    run.sOut.append(acBuffer, static_cast<size_t>(n));
  }
  close(anPipe[0]);
  int nStatus = 0;
  waitpid(pid, &nStatus, 0);
  run.nStatus = WIFEXITED(nStatus) ? WEXITSTATUS(nStatus) : 128 + WTERMSIG(nStatus);
  return run;
}

enum Kind { kTruncate0, kTruncate1, kHalf, kZeroed, kLastWordZeroed, kDirectory, kGrown, kFlipped };

struct Damage {
  const char *pcName;
  const char *pcFile;
  Kind kind;
};

void PrintTo(const Damage &d, std::ostream *pOut) { *pOut << d.pcName; }

void damage(const std::string &sPath, Kind kind) {
  const auto bytes = readFile(sPath);
  auto rewrite = [&](const std::vector<U8> &out) {
    std::ofstream(sPath, std::ios::binary | std::ios::trunc).write(reinterpret_cast<const char *>(out.data()),
                                                                    static_cast<std::streamsize>(out.size()));
  };
  switch (kind) {
    case kTruncate0:
      ASSERT_EQ(truncate(sPath.c_str(), 0), 0);
      break;
    case kTruncate1:
      ASSERT_EQ(truncate(sPath.c_str(), 1), 0);
      break;
    case kHalf:
      ASSERT_EQ(truncate(sPath.c_str(), static_cast<off_t>(bytes.size() / 2)), 0);
      break;
    case kZeroed:
      rewrite(std::vector<U8>(bytes.size(), 0));
      break;
    case kLastWordZeroed: {
      auto out = bytes;
      for (size_t n = out.size() - 4; n < out.size(); n++) out[n] = 0;
      rewrite(out);
      break;
    }
    case kDirectory:
      fs::remove(sPath);
      fs::create_directory(sPath);
      std::ofstream(sPath + "/note.txt") << "kept";  // not ours to throw away
      break;
    case kGrown: {
      auto out = bytes;
      out.insert(out.end(), 1 << 20, 0xA5);
      rewrite(out);
      break;
    }
    case kFlipped: {
      auto out = bytes;
      std::mt19937 rng(77);
      for (int n = 0; n < 24; n++) {
        const size_t word = rng() % (out.size() / 4);
        for (size_t b = 0; b < 4; b++) out[4 * word + b] ^= 0xFF;
      }
      rewrite(out);
      break;
    }
  }
}

const FOURCHARID kKept[] = {FCID("SMDL"), FCID("SCFO")};
const FOURCHARID kOther = FCID("SXYZ");

std::string keyText(FOURCHARID id) {
  return {static_cast<char>(id), static_cast<char>(id >> 8), static_cast<char>(id >> 16), static_cast<char>(id >> 24)};
}

// "KEY=value" lines of a child's report.
std::map<std::string, std::optional<U32>> reported(const std::string &sOut) {
  std::map<std::string, std::optional<U32>> values;
  for (FOURCHARID id : {kKept[0], kKept[1], kOther}) {
    const std::string sKey = keyText(id);
    const size_t at = sOut.find("\n" + sKey + "=");
    values[sKey] = at == std::string::npos ? std::optional<U32>() : std::optional<U32>(std::stoul(sOut.substr(at + 6)));
  }
  return values;
}

class DamagedFilesTest : public SettingsTest, public ::testing::WithParamInterface<Damage> {
 protected:
  // Files of a unit that ran: the version, the model, the configuration and one ordinary setting.
  void SetUp() override {
    SettingsTest::SetUp();
    ASSERT_EQ(H_NVRAM_eInit(), STATE_VIRGIN);
    const std::pair<FOURCHARID, U32> values[] = {{FCID("NVER"), NVR_VERSION}, {FCID("CREV"), 0},
                                                 {FCID("SMDL"), 292},          {FCID("SCFO"), 5},
                                                 {kOther, 1}};
    for (const auto &[id, u32Value] : values) {
      NVR_ENTRY e = {id, {}};
      e.data.u32Val = u32Value;
      ASSERT_TRUE(H_NVRAM_bWriteFCID(&e));
    }
    ASSERT_TRUE(H_NVRAM_bFlashWriteBack());
    H_NVRAM_vSetDirectoriesForTest(m_sData.c_str(), (m_sRoot + "/tmp").c_str());  // closed, as at power-off
    damage(file(GetParam().pcFile), GetParam().kind);
  }
  bool versionReadable() const { return storedValueIn(m_sData, FCID("NVER")).has_value(); }
  // An empty bitmap is a fresh start: the version is written anew, nothing is reported.
  bool fresh() const {
    return fs::is_regular_file(file("nvr_statbit.dat")) && fs::file_size(file("nvr_statbit.dat")) == 0;
  }
  bool versionKept() const { return storedValueIn(m_sData, FCID("NVER")) == NVR_VERSION; }
  std::string expectedLine() const {
    return versionReadable() ? "replaced by" : std::string("no settings format version (") + GetParam().pcFile;
  }
};

// The NVRAM task alone: it starts, publishes its mailbox, keeps what the damage left of the model and the
// configuration, and the second start finds sound files.
TEST_P(DamagedFilesTest, NvramTaskStartsAndTheNextStartFindsSoundFiles) {
  const bool bKept = versionKept();
  const bool bFresh = fresh();
  std::map<std::string, std::optional<U32>> expected;
  for (FOURCHARID id : kKept) expected[keyText(id)] = storedValueIn(m_sData, id);
  expected[keyText(kOther)] = bKept ? storedValueIn(m_sData, kOther) : std::nullopt;
  const std::string sLine = expectedLine();

  const std::vector<std::string> args = {m_sData, "boot", "SMDL", "SCFO", "SXYZ"};
  const ChildRun first = runChild(args);
  EXPECT_EQ(first.nStatus, 0) << first.sOut;
  EXPECT_NE(first.sOut.find("published TNVR"), std::string::npos) << first.sOut;
  EXPECT_EQ(reported(first.sOut), expected) << first.sOut;
  if (!bKept && !bFresh) {
    EXPECT_NE(first.sOut.find(sLine), std::string::npos) << first.sOut;
  }
  EXPECT_FALSE(fs::exists(file("FATAL.LOG")));
  if (GetParam().kind == kDirectory) {
    EXPECT_EQ(readFile(file(GetParam().pcFile) + ".damaged/note.txt").size(), 4u);
  }

  const ChildRun second = runChild(args);
  EXPECT_EQ(second.nStatus, 0) << second.sOut;
  EXPECT_NE(second.sOut.find("published TNVR"), std::string::npos) << second.sOut;
  EXPECT_EQ(reported(second.sOut), reported(first.sOut)) << second.sOut;
  EXPECT_EQ(second.sOut.find("no settings format version"), std::string::npos) << second.sOut;
  EXPECT_EQ(second.sOut.find("replaced by"), std::string::npos) << second.sOut;
  EXPECT_FALSE(fs::exists(file("FATAL.LOG")));
}

// The whole unit, twice: each start reaches the running system and ends with status 2 at SIGTERM.
TEST_P(DamagedFilesTest, UnitReachesTheRunningSystemTwice) {
  const bool bReported = !versionKept() && !fresh();
  const std::string sLine = expectedLine();
  setenv("CORVAN_HEADLESS", "1", 1);
  for (int nStart = 0; nStart < 2; nStart++) {
    UnitProcess unit({"nodisclaimer"}, m_sData);
    ASSERT_TRUE(unit.waitForLine("run-system sent")) << unit.out();
    unit.signal(SIGTERM);
    EXPECT_EQ(unit.wait(), 2) << unit.out();
    EXPECT_EQ(unit.out().find("FATAL"), std::string::npos) << unit.out();
    EXPECT_FALSE(fs::exists(file("FATAL.LOG")));
    if (nStart == 0 && bReported) {
      EXPECT_NE(unit.out().find(sLine), std::string::npos) << unit.out();
    }
    if (nStart == 1) {
      EXPECT_EQ(unit.out().find("no settings format version"), std::string::npos) << unit.out();
    }
  }
}

const Damage kDamages[] = {
    {"BitmapEmpty", "nvr_statbit.dat", kTruncate0},
    {"BitmapOneByte", "nvr_statbit.dat", kTruncate1},
    {"BitmapHalf", "nvr_statbit.dat", kHalf},
    {"BitmapZeroed", "nvr_statbit.dat", kZeroed},
    {"BitmapLastWordZeroed", "nvr_statbit.dat", kLastWordZeroed},
    {"BitmapIsADirectory", "nvr_statbit.dat", kDirectory},
    {"BitmapGrown", "nvr_statbit.dat", kGrown},
    {"BitmapWordsFlipped", "nvr_statbit.dat", kFlipped},
    {"ValuesEmpty", "nvr_entries.dat", kTruncate0},
    {"ValuesOneByte", "nvr_entries.dat", kTruncate1},
    {"ValuesHalf", "nvr_entries.dat", kHalf},
    {"ValuesZeroed", "nvr_entries.dat", kZeroed},
    {"ValuesIsADirectory", "nvr_entries.dat", kDirectory},
    {"ValuesGrown", "nvr_entries.dat", kGrown},
    {"ValuesWordsFlipped", "nvr_entries.dat", kFlipped},
};

INSTANTIATE_TEST_SUITE_P(Damages, DamagedFilesTest, ::testing::ValuesIn(kDamages),
                         [](const ::testing::TestParamInfo<Damage> &info) { return std::string(info.param.pcName); });

// kill -9 at seeded moments of a writer that keeps saving: after every kill each set bit stands over a slot
// the writer wrote, with a value it wrote, and the next start loads the files without starting them afresh.
// CORVAN_KILL_ROUNDS sets the number of rounds (default 300; 100 in the sanitizer build, whose every start is slow).
TEST(NvramKill, EveryKillLeavesFilesThatLoad) {
#if defined(__SANITIZE_ADDRESS__)
  constexpr int kDefaultRounds = 100;
#else
  constexpr int kDefaultRounds = 300;
#endif
  const char *pcRounds = getenv("CORVAN_KILL_ROUNDS");
  const int nRounds = pcRounds != nullptr ? std::atoi(pcRounds) : kDefaultRounds;
  // Page cache semantics are all a kill can reach: a memory file system keeps the rounds fast.
  const std::string sBase = fs::is_directory("/dev/shm") ? "/dev/shm" : TEST_dataDirectory();
  char acTemplate[PATH_MAX];
  std::snprintf(acTemplate, sizeof acTemplate, "%s/corvan-kill-XXXXXX", sBase.c_str());
  ASSERT_NE(mkdtemp(acTemplate), nullptr);
  const std::string sDir = acTemplate;

  std::map<U32, FOURCHARID> allowed = {{static_cast<U32>(H_NVRAM_s32SlotOfKey(FCID("NVER"))), FCID("NVER")}};
  for (FOURCHARID id : SETTINGS_CHILD_writerKeys()) allowed[static_cast<U32>(H_NVRAM_s32SlotOfKey(id))] = id;

  // A run without a kill counts the file operations of a whole run: the kills fall among them.
  const ChildRun whole = runChild({sDir, "write", "1", "0"});
  ASSERT_EQ(whole.nStatus, 0) << whole.sOut;
  const size_t at = whole.sOut.find("file operations: ");
  ASSERT_NE(at, std::string::npos);
  const long lOps = std::atol(whole.sOut.c_str() + at + 17);
  ASSERT_GT(lOps, 100);
  std::error_code ec;
  fs::remove_all(sDir, ec);
  fs::create_directory(sDir);

  std::mt19937 rng(20261211);
  int nKilled = 0;
  for (int nRound = 0; nRound < nRounds && !HasFailure(); nRound++) {
    const bool bSound = storedValueIn(sDir, FCID("NVER")) == NVR_VERSION;
    const long lKillAt = 1 + static_cast<long>(rng() % static_cast<unsigned long>(lOps));
    const ChildRun run = runChild({sDir, "write", std::to_string(rng()), std::to_string(lKillAt)});
    nKilled += run.nStatus == 128 + SIGKILL ? 1 : 0;
    EXPECT_TRUE(run.nStatus == 0 || run.nStatus == 128 + SIGKILL) << "round " << nRound << ": " << run.nStatus;
    if (bSound) {
      EXPECT_NE(run.sOut.find("published TNVR"), std::string::npos) << "round " << nRound << run.sOut;
      EXPECT_EQ(run.sOut.find("started afresh"), std::string::npos) << "round " << nRound << run.sOut;
      EXPECT_EQ(run.sOut.find("replaced by"), std::string::npos) << "round " << nRound << run.sOut;
    }
    const auto bits = readFile(sDir + "/nvr_statbit.dat");
    const auto entries = readFile(sDir + "/nvr_entries.dat");
    for (U32 u32Slot = 0; u32Slot < NVR_SLOTS && 4 * (u32Slot / 32) + 4 <= bits.size(); u32Slot++) {
      if (!((u32At(bits, 4 * (u32Slot / 32)) >> (u32Slot % 32)) & 1)) continue;
      ASSERT_TRUE(allowed.count(u32Slot)) << "round " << nRound << ": bit over unwritten slot " << u32Slot;
      ASSERT_LE(4 * u32Slot + 4, entries.size()) << "round " << nRound << ": bit over a missing value";
      const U32 u32Value = u32At(entries, 4 * u32Slot);
      if (allowed[u32Slot] == FCID("NVER")) {
        EXPECT_EQ(u32Value, NVR_VERSION) << "round " << nRound;
      } else {
        EXPECT_EQ(u32Value >> 14, u32Slot) << "round " << nRound << ": value never written, slot " << u32Slot;
      }
    }
  }
  EXPECT_GT(nKilled, nRounds / 2);
  fs::remove_all(sDir, ec);
}

}  // namespace
