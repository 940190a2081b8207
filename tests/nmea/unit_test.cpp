// The running unit: `corvan` with a GPS tool on channel 0's pseudo-terminal. These runs take the unit's own
// 8 s splash in real time.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <stdio.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <termios.h>
#include <unistd.h>

#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>
#include <string>

#include "platform/keyboard.h"
#include "draw/color.h"
#include "platform/png.h"
#include "test_environment.h"

namespace {

class UnitRun : public ::testing::Test {
 protected:
  void SetUp() override {
    m_sDir = TEST_dataDirectory() + "/unit-" + ::testing::UnitTest::GetInstance()->current_test_info()->name();
    std::filesystem::create_directories(m_sDir);
    setenv("CORVAN_HEADLESS", "1", 1);
    unsetenv("CORVAN_DEVROOT");
    for (int i = 0; i < 4; ++i) unsetenv(("CORVAN_SERIAL" + std::to_string(i)).c_str());
  }
  void TearDown() override { unsetenv("CORVAN_TRANSDUCER"); }
  std::string m_sDir;
};

TEST_F(UnitRun, NormalRunSwitchesTheReceiverToNmeaWithOneSiRFFrame) {
  UnitProcess unit({"quit_sec", "60", "nodisclaimer"}, m_sDir);
  ASSERT_TRUE(unit.waitForLine("linked as " + m_sDir + "/devroot/dev/ttyS0"));
  // gpscat reports each packet as "type (length@offset): bytes"; it ends when the unit closes the terminal.
  const std::string sCommand = "gpscat -t -s 38400 " + m_sDir + "/devroot/dev/ttyS0 2>&1";
  FILE *pTool = popen(sCommand.c_str(), "r");
  ASSERT_NE(pTool, nullptr);
  ASSERT_TRUE(unit.waitForLine("system state 3"));
  ASSERT_TRUE(unit.waitForLine("switch-to-NMEA frame sent on channel 0"));
  // Under heavy load gpscat has been seen to report one unframed 6-byte packet before the frame, with no
  // printable content, while a raw reader of the same terminal receives the frame alone: such lines are skipped.
  char acLine[512] = "";
  std::string sFirst;
  while (sFirst.find("(32@") == std::string::npos && fgets(acLine, sizeof(acLine), pTool) != nullptr) sFirst = acLine;
  EXPECT_EQ(sFirst.rfind("4 (32@0): \\xa0\\xa2\\x00\\x18\\x81\\x02", 0), 0u) << sFirst;
  EXPECT_NE(sFirst.find("\\x96\\x00\\x01'\\xb0\\xb3"), std::string::npos) << sFirst;
  unit.signal(SIGTERM);
  unit.wait();
  std::string sRest;
  while (fgets(acLine, sizeof(acLine), pTool) != nullptr) sRest += acLine;
  pclose(pTool);
  // Nothing the tool could not frame (type -1), no second frame.
  EXPECT_EQ(sRest.find("-1 ("), std::string::npos) << sRest;
  EXPECT_EQ(sRest.find("(32@"), std::string::npos) << sRest;
}

TEST_F(UnitRun, BurnInSendsNoFrameAndLocksTheFourChannelsAt4800) {
  setenv("CORVAN_TRANSDUCER", "0", 1);
  UnitProcess unit({"quit_sec", "60", "nodisclaimer"}, m_sDir);
  ASSERT_TRUE(unit.waitForLine("system state 2"));
  for (int i = 0; i < 4; ++i) {
    ASSERT_TRUE(unit.waitForLine("NMEA: channel " + std::to_string(i) + " locked at 4800 baud"));
  }
  unit.signal(SIGTERM);
  unit.wait();
  EXPECT_EQ(unit.out().find("switch-to-NMEA frame"), std::string::npos);
  EXPECT_NE(unit.out().find("NMEA: channel 0 to 4800 baud"), std::string::npos);
}

std::string keyLog(const UnitProcess &unit) {
  std::string sOut;
  for (const std::string &sLine : unit.outLines()) {
    if (sLine.find(" key ") != std::string::npos || sLine.find("menu") != std::string::npos) sOut += sLine + "\n";
  }
  return sOut;
}

// The keypad of a running unit: key records written into a FIFO that the unit reads (CORVAN_KEYS).
class Keypad {
 public:
  explicit Keypad(const std::string &sFifo) {
    EXPECT_EQ(mkfifo(sFifo.c_str(), 0600), 0);
    m_nFd = open(sFifo.c_str(), O_RDWR);
    setenv("CORVAN_KEYS", sFifo.c_str(), 1);
  }
  ~Keypad() {
    close(m_nFd);
    unsetenv("CORVAN_KEYS");
  }
  // Down, then up, each held as long as a person's tap: the keypad is polled in real time, and a key pressed again
  // at once after its release reads as held.
  void press(unsigned short u16Code) {
    for (int nValue : {1, 0}) {
      ASSERT_TRUE(DD_KEYBOARD_bWriteKeyRecord(m_nFd, u16Code, nValue));
      usleep(150000);
    }
  }
  // Presses the key until the unit logs the line: a key that comes while its owner is still being set up is
  // not taken.
  // Only for keys whose second press does no harm: a loaded machine may take seconds to show the first.
  bool pressUntil(UnitProcess &unit, unsigned short u16Code, const std::string &sLine) {
    for (int n = 0; n < 6; ++n) {
      press(u16Code);
      if (unit.waitForNext(sLine, 8000)) return true;
    }
    return false;
  }
  // From the fresh unit's quick-setup list to "NMEA 0183 Output" switched on (the seventh row of the Setup tab of
  // the main menu, opened by MENU twice while the capture review is the only view).
  void switchOutputOn(UnitProcess &unit) {
    constexpr unsigned short kExit = 30, kMenu = 50, kRight = 49, kDown = 108;
    // The quick-setup list may miss a key that comes as it opens; a MENU pressed twice would go further.
    ASSERT_TRUE(unit.waitForNext("key CMNU = 1 ", 60000));
    ASSERT_TRUE(pressUntil(unit, kExit, "key CMNU = 0 ")) << keyLog(unit);
    press(kMenu);
    ASSERT_TRUE(unit.waitForNext("key CMNU = 2 ", 60000)) << keyLog(unit);
    press(kMenu);
    ASSERT_TRUE(unit.waitForNext("key CMNU = 3 ", 60000)) << keyLog(unit);
    // Tab and rows move at once; a value control takes keys only once it is up, so its change is waited for (and
    // shows that the keys before it arrived).
    press(kRight);
    for (int i = 0; i < 7; ++i) press(kDown);
    ASSERT_TRUE(pressUntil(unit, kRight, "key SNOE = 1 "))
        << "the seventh row of the Setup tab did not switch the output; the unit's key log:\n" << keyLog(unit);
  }

 private:
  int m_nFd = -1;
};

// The Setup tab of the main menu on a fresh unit: its seventh row is "NMEA 0183 Output" (switching it on and off
// again changes 'SNOE'), with "Off" at its lower right.
TEST_F(UnitRun, SetupTabShowsTheNmeaOutputItem) {
  std::vector<COLOR> pixels;
  U32 u32W = 0, u32H = 0;
  {
    Keypad keypad(m_sDir + "/keys");
    setenv("CORVAN_LOG_KEYS", "CMNU,SNOE", 1);
    setenv("CORVAN_SCREENSHOT", (m_sDir + "/shot.png").c_str(), 1);
    UnitProcess unit({"nodisclaimer"}, m_sDir);
    keypad.switchOutputOn(unit);
    EXPECT_TRUE(keypad.pressUntil(unit, 23, "key SNOE = 0 "));  // left: off again
    unit.signal(SIGTERM);
    unit.wait();
    unsetenv("CORVAN_LOG_KEYS");
    unsetenv("CORVAN_SCREENSHOT");
  }
  ASSERT_TRUE(PNG_bReadRgb565((m_sDir + "/shot.png").c_str(), &pixels, &u32W, &u32H));
  ASSERT_EQ(u32W * u32H, 800u * 480u);
  auto at = [&](int x, int y) { return pixels[static_cast<size_t>(y) * 800 + static_cast<size_t>(x)]; };
  const COLOR background = at(166, 400);  // the seventh row, left of its title
  int nTitleInk = 0, nValueInk = 0;
  for (int y = 388; y < 412; ++y) {
    for (int x = 166; x < 330; ++x) nTitleInk += at(x, y) != background;
  }
  for (int y = 415; y < 440; ++y) {
    for (int x = 365; x < 400; ++x) nValueInk += at(x, y) != background;  // "Off"
  }
  EXPECT_GT(nTitleInk, 200);
  EXPECT_GT(nValueInk, 20);
}

// One receiver cycle of a log: its text and its fix.
struct Cycle {
  std::string sText;
  double dLat = 0, dLon = 0;
  std::string sTime;  // hhmmss
};
std::vector<Cycle> cyclesOf(const std::string &sPath) {
  std::ifstream in(sPath);
  std::vector<Cycle> a;
  auto degrees = [](const std::string &s, int nDegreeDigits, char cHemisphere) {
    const double d = std::stod(s.substr(0, nDegreeDigits)) + std::stod(s.substr(nDegreeDigits)) / 60.0;
    return cHemisphere == 'S' || cHemisphere == 'W' ? -d : d;
  };
  for (std::string sLine; std::getline(in, sLine);) {
    if (sLine.empty() || sLine[0] == '#') continue;
    if (sLine.rfind("$GPGGA,", 0) == 0) {
      a.emplace_back();
      std::vector<std::string> as;
      std::stringstream ss(sLine);
      for (std::string sField; std::getline(ss, sField, ',');) as.push_back(sField);
      a.back().sTime = as[1].substr(0, 6);
      a.back().dLat = degrees(as[2], 2, as[3][0]);
      a.back().dLon = degrees(as[4], 3, as[5][0]);
    }
    if (!a.empty()) a.back().sText += sLine + "\n";
  }
  return a;
}

// A GPS log replayed into channel 0's terminal moves the unit's position; with the output switched on through the
// menu, its own GLL, GGA and RMC sentences, read back from the same terminal and parsed by pynmea2, carry the log's
// recent positions, times and date, advancing with it.
TEST_F(UnitRun, ReplayedLogComesBackInTheUnitsOwnSentences) {
  if (system("/usr/bin/python3 -c 'import pynmea2' 2> /dev/null") != 0) GTEST_SKIP() << "pynmea2 is not installed";
  const std::vector<Cycle> aCycles = cyclesOf(std::string(CORVAN_TEST_DATA) + "/coastal_gp.log");
  ASSERT_EQ(aCycles.size(), 120u);
  struct Heard {
    std::string sLine;
    size_t szCycle;  // the last cycle fed when it arrived
  };
  std::vector<Heard> aHeard;
  std::string sUnitLog;
  {
    Keypad keypad(m_sDir + "/keys");
    setenv("CORVAN_LOG_KEYS", "CMNU,SNOE,IPFI,ISPD,IHDG", 1);
    UnitProcess unit({"nodisclaimer", "quit_sec", "200"}, m_sDir);
    unsetenv("CORVAN_LOG_KEYS");
    const std::string sLink = m_sDir + "/devroot/dev/ttyS0";
    ASSERT_TRUE(unit.waitForLine("linked as " + sLink));
    // The GPS end of the line: raw, no echo (an echo would feed the unit's sentences back to it).
    const int nFd = open(sLink.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK);
    ASSERT_GE(nFd, 0);
    struct termios t;
    ASSERT_EQ(tcgetattr(nFd, &t), 0);
    cfmakeraw(&t);
    ASSERT_EQ(tcsetattr(nFd, TCSANOW, &t), 0);
    keypad.switchOutputOn(unit);
    // Two cycles a second, as gpsfake -c 0.5 would; what the unit sends is collected between them.
    std::string sPending;
    for (size_t i = 0; i < aCycles.size(); ++i) {
      ASSERT_EQ(write(nFd, aCycles[i].sText.data(), aCycles[i].sText.size()),
                static_cast<ssize_t>(aCycles[i].sText.size()));
      unit.waitForNext("(pacing only)", 500);
      char ac[4096];
      for (ssize_t n; (n = read(nFd, ac, sizeof ac)) > 0;) sPending.append(ac, static_cast<size_t>(n));
      for (size_t szEnd; (szEnd = sPending.find("\r\n")) != std::string::npos; sPending.erase(0, szEnd + 2)) {
        // Only the unit's sentences: the switch-to-NMEA frame of its start is binary.
        const size_t szStart = sPending.rfind("$IN", szEnd);
        if (szStart != std::string::npos) aHeard.push_back({sPending.substr(szStart, szEnd - szStart), i});
      }
    }
    close(nFd);
    unit.signal(SIGTERM);
    unit.wait();
    sUnitLog = keyLog(unit);
  }
  // pynmea2 reads each valid GLL, GGA and RMC: kind, latitude, longitude, time, date.
  const std::string sFile = m_sDir + "/heard.nmea", sScript = m_sDir + "/fields.py";
  {
    std::ofstream out(sFile);
    for (const Heard &h : aHeard) out << h.sLine << "\n";
  }
  std::ofstream(sScript) << "import pynmea2, sys\n"
                            "for line in open(sys.argv[1]):\n"
                            "    try:\n"
                            "        m = pynmea2.parse(line.strip(), check=True)\n"
                            "    except Exception as e:\n"
                            "        print('ERROR', e); continue\n"
                            "    if m.sentence_type not in ('GLL', 'GGA', 'RMC') or not m.lat:\n"
                            "        print('-'); continue\n"
                            "    date = m.datestamp.strftime('%d%m%y') if m.sentence_type == 'RMC' else '-'\n"
                            "    print(m.sentence_type, '%.8f %.8f' % (m.latitude, m.longitude),\n"
                            "          m.timestamp.strftime('%H%M%S'), date)\n";
  FILE *pTool = popen(("/usr/bin/python3 " + sScript + " " + sFile + " 2>&1").c_str(), "r");
  ASSERT_NE(pTool, nullptr);
  std::map<std::string, int> counts;
  double dFirstLat = 0, dLastLat = 0;
  char acLine[512];
  for (const Heard &h : aHeard) {
    ASSERT_NE(fgets(acLine, sizeof acLine, pTool), nullptr) << h.sLine;
    char acKind[8] = "", acTime[16] = "", acDate[16] = "";
    double dLat = 0, dLon = 0;
    if (std::sscanf(acLine, "%7s %lf %lf %15s %15s", acKind, &dLat, &dLon, acTime, acDate) != 5) {
      EXPECT_EQ(std::string(acLine), "-\n") << h.sLine;
      continue;
    }
    SCOPED_TRACE(h.sLine);
    // Within 2 m of one of the last eight fixes fed, with the time of one of them.
    bool bNear = false, bTime = false;
    for (size_t j = h.szCycle >= 8 ? h.szCycle - 8 : 0; j <= h.szCycle; ++j) {
      const double dNorth = (dLat - aCycles[j].dLat) * 111195.0;
      const double dEast = (dLon - aCycles[j].dLon) * 111195.0 * std::cos(dLat * M_PI / 180.0);
      bNear = bNear || std::hypot(dNorth, dEast) < 2.0;
      bTime = bTime || aCycles[j].sTime == acTime;
    }
    EXPECT_TRUE(bNear);
    EXPECT_TRUE(bTime) << acTime;
    if (std::string(acKind) == "RMC") {
      EXPECT_STREQ(acDate, "140625");
    }
    if (counts["GLL"] + counts["GGA"] + counts["RMC"] == 0) dFirstLat = dLat;
    dLastLat = dLat;
    ++counts[acKind];
  }
  pclose(pTool);
  // After the 20 s acquisition period, a GLL and a GGA every 4 s and an RMC every 2 s.
  EXPECT_GE(counts["GLL"], 5);
  EXPECT_GE(counts["GGA"], 5);
  EXPECT_GE(counts["RMC"], 10) << sUnitLog;
  EXPECT_GT(dLastLat - dFirstLat, 10.0 / 111195.0);  // the boat runs north-east at 3 m/s
}

}  // namespace
