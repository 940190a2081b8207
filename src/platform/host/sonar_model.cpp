#include "platform/host/sonar_model.h"

#include <errno.h>
#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <mutex>
#include <string>

#include "kernel/log.h"

namespace {

constexpr size_t kTransmitBlock = 187;
constexpr size_t kSequence = 31;
constexpr size_t kSequences = 6;
constexpr size_t kSampleStart = 35;
constexpr size_t kTrailer = 6;
constexpr U32 kRingDownSamples = 40;
constexpr U32 kEchoSamples = 24;
constexpr U8 kModeNone = 3;

// CORVAN_TRANSDUCER=0 starts the simulator without a transducer.
bool transducerByDefault(void) {
  const char *pcValue = std::getenv("CORVAN_TRANSDUCER");
  return pcValue == nullptr || std::strcmp(pcValue, "0") != 0;
}

// The bottom and the analogue readings a run starts with: CORVAN_SONAR_BOTTOM (metres) and
// CORVAN_SONAR_ADC (three raw 10-bit readings, "external,transducer,battery"). A bad value keeps the default
// and is reported when the device is first opened.
struct ENVIRONMENT {
  U32 u32BottomCm = 1000;
  U16 au16Adc[3] = {400, 500, 304};  // battery 304: 13.2 V, a healthy 12 V system
  std::string sErrors;
};

ENVIRONMENT readEnvironment(void) {
  ENVIRONMENT env;
  if (const char *pcBottom = std::getenv("CORVAN_SONAR_BOTTOM")) {
    char *pcEnd = nullptr;
    const double dMetres = std::strtod(pcBottom, &pcEnd);
    if (pcEnd == pcBottom || *pcEnd != '\0' || !std::isfinite(dMetres) || dMetres < 0.1 || dMetres > 10000.0) {
      env.sErrors += std::string("CORVAN_SONAR_BOTTOM '") + pcBottom + "' is not a depth of 0.1 to 10000 m; ";
    } else {
      env.u32BottomCm = static_cast<U32>(std::lround(dMetres * 100.0));
    }
  }
  if (const char *pcAdc = std::getenv("CORVAN_SONAR_ADC")) {
    U16 au16Values[3] = {};
    const char *pc = pcAdc;
    bool bGood = true;
    for (int i = 0; i < 3 && bGood; ++i) {
      char *pcEnd = nullptr;
      const long lValue = std::strtol(pc, &pcEnd, 10);
      bGood = pcEnd != pc && lValue >= 0 && lValue <= 1023 && *pcEnd == (i < 2 ? ',' : '\0');
      au16Values[i] = static_cast<U16>(lValue);
      pc = pcEnd + 1;
    }
    if (bGood) {
      std::copy(au16Values, au16Values + 3, env.au16Adc);
    } else {
      env.sErrors += std::string("CORVAN_SONAR_ADC '") + pcAdc + "' is not three readings 0-1023 like 400,500,304; ";
    }
  }
  return env;
}

struct MODEL {
  MODEL() {
    const ENVIRONMENT env = readEnvironment();
    u32BottomCm = env.u32BottomCm;
    std::copy(env.au16Adc, env.au16Adc + 3, au16Adc);
    sEnvironmentErrors = env.sErrors;
  }
  bool bPresent = true;
  bool bTransducer = transducerByDefault();
  U32 u32BottomCm;  // from the environment
  U8 u8Echo = 200;
  U8 u8Noise = 20;
  U16 au16Adc[3];  // external, transducer, battery; from the environment
  std::string sEnvironmentErrors;  // reported at the next open
  std::vector<U8> transmit;
  HOST_SONAR_DAMAGE damage;
  bool bDamage = false;
  U32 u32Writes = 0;
  U32 u32Reads = 0;
  U32 u32Random = 1;
  bool bPace = true;
};

std::mutex s_lock;
MODEL s_model;

U16 le16(const U8 *pu8) { return static_cast<U16>(pu8[0] | pu8[1] << 8); }
void putLe16(U8 *pu8, U16 u16) {
  pu8[0] = static_cast<U8>(u16);
  pu8[1] = static_cast<U8>(u16 >> 8);
}

// Small deterministic jitter, -4..+4.
int jitter(MODEL &m) {
  m.u32Random = m.u32Random * 1103515245u + 12345u;
  return static_cast<int>((m.u32Random >> 16) % 9) - 4;
}

U8 clampSample(int n) { return static_cast<U8>(std::clamp(n, 0, 255)); }

bool transmits(const U8 *pu8Sequence) {
  for (int p = 0; p < 3; ++p) {
    const U8 *pu8Pulse = pu8Sequence + 6 * p;
    if (le16(pu8Pulse) != 0 && pu8Pulse[3] != kModeNone) return true;
  }
  return false;
}

// Channel 0 the first receiver, 1 the second receiver or first side channel, 2 the second side channel.
bool channelEnabled(U8 u8RxEnable, int nChannel) {
  switch (nChannel) {
    case 0: return (u8RxEnable & 0x02) == 0;
    case 1: return (u8RxEnable & 0x08) == 0 || (u8RxEnable & 0x04) == 0;
    default: return (u8RxEnable & 0x10) == 0;
  }
}

std::vector<U8> buildBlock(MODEL &m, size_t size) {
  U8 au8Sequence[kSequence] = {};
  if (m.transmit.size() >= kTransmitBlock) {
    const U32 u32Count = std::clamp<U32>(m.transmit[kTransmitBlock - 1], 1, kSequences);
    std::memcpy(au8Sequence, &m.transmit[kSequence * (m.u32Reads % u32Count)], kSequence);
  }
  const U32 u32Noise = le16(au8Sequence + 25);
  const U32 u32Data = le16(au8Sequence + 23);
  const size_t full = kSampleStart + 3 * static_cast<size_t>(u32Noise + u32Data) + kTrailer;
  const size_t length = std::min(size, full);
  std::vector<U8> block(std::max(length, kSampleStart + kTrailer), 0);
  putLe16(block.data(), static_cast<U16>(m.u32Reads));
  std::memcpy(block.data() + 4, au8Sequence, kSequence);
  const bool bEcho = m.bTransducer && transmits(au8Sequence);
  m.u32Random = 1;  // the same noise every ping, so damaged and clean reads compare
  // 26 us per sample, sound at 1500 m/s: the way down and back.
  const U32 u32Bottom = static_cast<U32>(static_cast<U64>(m.u32BottomCm) * 2 * 1000000 / 150000 / 26);
  const size_t samplesEnd = length >= kSampleStart + kTrailer ? length - kTrailer : kSampleStart;
  for (size_t i = kSampleStart; i < samplesEnd; ++i) {
    const int nChannel = static_cast<int>((i - kSampleStart) % 3);
    const U32 u32Index = static_cast<U32>((i - kSampleStart) / 3);
    if (!channelEnabled(au8Sequence[29], nChannel)) continue;
    int nValue = m.u8Noise + jitter(m);
    if (bEcho && u32Index >= u32Noise) {
      const U32 u32Sample = u32Index - u32Noise;
      if (u32Sample < kRingDownSamples) nValue = m.u8Echo + jitter(m);
      if (u32Sample >= u32Bottom && u32Sample < u32Bottom + kEchoSamples) {
        nValue = m.u8Echo - static_cast<int>(u32Sample - u32Bottom) * 4 + jitter(m);
      }
    }
    block[i] = clampSample(nValue);
  }
  block.resize(length);
  if (length >= kTrailer) {
    U8 *pu8Trailer = block.data() + length - kTrailer;
    const U16 u16Transducer = m.bTransducer ? m.au16Adc[1] : 1023;
    putLe16(pu8Trailer, m.au16Adc[0]);
    putLe16(pu8Trailer + 2, u16Transducer);
    putLe16(pu8Trailer + 4, m.au16Adc[2]);
  }
  return block;
}

void damageBlock(const HOST_SONAR_DAMAGE &d, std::vector<U8> &block, size_t size) {
  for (U32 u32At : d.flips) {
    if (u32At < block.size()) block[u32At] ^= 0xFF;
  }
  if (d.u32DropCount > 0 && d.u32DropAt < block.size()) {
    const size_t end = std::min<size_t>(block.size(), static_cast<size_t>(d.u32DropAt) + d.u32DropCount);
    block.erase(block.begin() + d.u32DropAt, block.begin() + static_cast<std::ptrdiff_t>(end));
  }
  if (d.u32InsertCount > 0 && d.u32InsertAt <= block.size()) {
    block.insert(block.begin() + d.u32InsertAt, d.u32InsertCount, 0xA5);
  }
  if (block.size() > size) block.resize(size);
}

}  // namespace

int HOST_SONAR_nOpen(void) {
  {
    std::lock_guard<std::mutex> guard(s_lock);
    if (!s_model.sEnvironmentErrors.empty()) {
      log_me("sonar model: %s the defaults stay", s_model.sEnvironmentErrors.c_str());
      s_model.sEnvironmentErrors.clear();
    }
    if (!s_model.bPresent) {
      errno = ENODEV;
      return -1;
    }
  }
  // A real descriptor, so the handle is unique and never 0.
  return open("/dev/null", O_RDWR | O_CLOEXEC);
}

constexpr U64 kIdleCycleUs = 50000;

ssize_t HOST_SONAR_nRead(int nFd, void *pvData, size_t size) {
  if (nFd < 0) {
    errno = EBADF;
    return -1;
  }
  std::lock_guard<std::mutex> guard(s_lock);
  std::vector<U8> block = buildBlock(s_model, size);
  if (s_model.bDamage) {
    damageBlock(s_model.damage, block, size);
    s_model.bDamage = false;
  }
  ++s_model.u32Reads;
  std::memcpy(pvData, block.data(), block.size());
  if (s_model.bPace) {
    // A receive lasts as long as the echo the command listens for (26 us a sample), at least 5 ms, as on
    // the device; so the unit's ping loop runs at the device's pace, not as fast as the processor can.
    // A command that listens for nothing (the null pings of a unit that may not ping) keeps the cycle
    // going at 20 a second: an idle unit must not wake 200 times a second for them.
    U32 u32MaxSamples = 0;
    const U32 u32Sequences = s_model.transmit.size() > 186 ? std::min<U32>(s_model.transmit[186], 6) : 0;
    for (U32 q = 0; q < u32Sequences; ++q) {
      const U8 *pu8Seq = s_model.transmit.data() + 31 * q;
      u32MaxSamples = std::max<U32>(u32MaxSamples, static_cast<U32>(pu8Seq[23] | pu8Seq[24] << 8));
    }
    const U64 u64Us = u32MaxSamples == 0 ? kIdleCycleUs : std::max<U64>(5000, static_cast<U64>(u32MaxSamples) * 26);
    const struct timespec tDelay = {static_cast<time_t>(u64Us / 1000000), static_cast<long>(u64Us % 1000000 * 1000)};
    s_lock.unlock();
    nanosleep(&tDelay, nullptr);
    s_lock.lock();
  }
  return static_cast<ssize_t>(block.size());
}

void HOST_SONAR_vSetPacing(bool bPace) {
  std::lock_guard<std::mutex> guard(s_lock);
  s_model.bPace = bPace;
}

namespace {

// One line per new command: per used pulse of each sequence its frequency (kHz), mode and the sequence's
// sample count, so runs of the whole unit can be judged from the log.
void logTransmitBlock(const std::vector<U8> &block) {
  std::string text = "sonar model: command";
  const U32 u32Sequences = block.size() > 186 ? std::min<U32>(block[186], 6) : 0;
  for (U32 s = 0; s < u32Sequences; ++s) {
    const U8 *pu8Seq = block.data() + 31 * s;
    const U32 u32Samples = static_cast<U32>(pu8Seq[23] | pu8Seq[24] << 8);
    for (U32 p = 0; p < 3; ++p) {
      const U8 *pu8Pulse = pu8Seq + 6 * p;
      const U32 u32Freq = static_cast<U32>(pu8Pulse[0] | pu8Pulse[1] << 8);
      if (u32Freq == 0 && p > 0) continue;
      text += " [" + std::to_string(s) + "." + std::to_string(p) + " " + std::to_string(u32Freq) + " kHz mode " +
              std::to_string(pu8Pulse[3]) + " samples " + std::to_string(u32Samples) + "]";
    }
  }
  log_me("%s", text.c_str());
}

}  // namespace

ssize_t HOST_SONAR_nWrite(int nFd, const void *pvData, size_t size) {
  if (nFd < 0) {
    errno = EBADF;
    return -1;
  }
  std::lock_guard<std::mutex> guard(s_lock);
  const U8 *pu8Data = static_cast<const U8 *>(pvData);
  const std::vector<U8> previous = s_model.transmit;
  s_model.transmit.assign(pu8Data, pu8Data + std::min(size, kTransmitBlock));
  ++s_model.u32Writes;
  if (s_model.transmit != previous) logTransmitBlock(s_model.transmit);
  return static_cast<ssize_t>(size);
}

void HOST_SONAR_vReset(void) {
  std::lock_guard<std::mutex> guard(s_lock);
  s_model = MODEL();
}

void HOST_SONAR_vSetPresent(bool bPresent) {
  std::lock_guard<std::mutex> guard(s_lock);
  s_model.bPresent = bPresent;
}

void HOST_SONAR_vSetTransducer(bool bConnected) {
  std::lock_guard<std::mutex> guard(s_lock);
  s_model.bTransducer = bConnected;
}

void HOST_SONAR_vSetBottom(U32 u32DepthCm, U8 u8EchoLevel) {
  std::lock_guard<std::mutex> guard(s_lock);
  s_model.u32BottomCm = u32DepthCm;
  s_model.u8Echo = u8EchoLevel;
}

void HOST_SONAR_vSetNoise(U8 u8Level) {
  std::lock_guard<std::mutex> guard(s_lock);
  s_model.u8Noise = u8Level;
}

void HOST_SONAR_vSetAdc(U16 u16ExternalTemp, U16 u16TransducerTemp, U16 u16BatteryVoltage) {
  std::lock_guard<std::mutex> guard(s_lock);
  s_model.au16Adc[0] = u16ExternalTemp;
  s_model.au16Adc[1] = u16TransducerTemp;
  s_model.au16Adc[2] = u16BatteryVoltage;
}

void HOST_SONAR_vDamageNextRead(const HOST_SONAR_DAMAGE &damage) {
  std::lock_guard<std::mutex> guard(s_lock);
  s_model.damage = damage;
  s_model.bDamage = true;
}

std::vector<U8> HOST_SONAR_lastTransmitBlock(void) {
  std::lock_guard<std::mutex> guard(s_lock);
  return s_model.transmit;
}

U32 HOST_SONAR_u32Writes(void) {
  std::lock_guard<std::mutex> guard(s_lock);
  return s_model.u32Writes;
}

U32 HOST_SONAR_u32Reads(void) {
  std::lock_guard<std::mutex> guard(s_lock);
  return s_model.u32Reads;
}
