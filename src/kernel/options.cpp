#include "kernel/options.h"

#include <cerrno>
#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "kernel/kernel_defs.h"
#include "kernel/log.h"
#include "kernel/task_table.h"

S64 quit_seconds = 0;
S32 debug_seconds = 0;
S32 opt_fakekey = -1;
S64 opt_sleeper = 1000;
BYTE opt_nolog = 0;
BYTE opt_noadc = 0;
BYTE opt_fake_transducer = 0;
BYTE opt_fsync = 0;
BYTE opt_nodisclaimer = 0;
BYTE opt_notone = 0;

namespace {

// Numbers follow strtol: leading blanks and a sign allowed, anything else reads as 0.
long number(const char *pcWord) { return std::strtol(pcWord, nullptr, 10); }

// The value of an option: a whole decimal number from llMin to llMax, else the unit ends (status 1), so
// that no value wraps into another (a huge quit_sec would quit at once).
long long value(const char *pcWord, const char *pcValue, long long llMin, long long llMax) {
  char *pcEnd = nullptr;
  errno = 0;
  const long long ll = std::strtoll(pcValue, &pcEnd, 10);
  if (pcEnd == pcValue || *pcEnd != '\0' || errno == ERANGE || ll < llMin || ll > llMax) {
    bail_out("invalid argument %s %s", pcWord, pcValue);
  }
  return ll;
}

// Task numbers outside 1..69 are ignored.
void setTaskFlags(const char *pcList, BYTE u8Flag) {
  const char *pcItem = pcList;
  for (;;) {
    const long task = number(pcItem);
    if (task >= 1 && task <= ntasks) task_disabled[task - 1] = u8Flag;
    pcItem = std::strchr(pcItem, ',');
    if (pcItem == nullptr) break;
    ++pcItem;
  }
}

struct Flag {
  const char *pcWord;
  BYTE *pu8Flag;
};

const Flag kFlags[] = {
    {"fake_transducer", &opt_fake_transducer}, {"no_log", &opt_nolog},
    {"no_adc", &opt_noadc},                    {"fsync", &opt_fsync},
    {"nodisclaimer", &opt_nodisclaimer},       {"notone", &opt_notone},
};

}  // namespace

void OPTIONS_vParse(int argc, char **argv) {
  for (int i = 1; i < argc; ++i) {
    const char *pcWord = argv[i];
    if (std::strcmp(pcWord, "task_flush") == 0) {
      std::memset(task_disabled, 1, sizeof(task_disabled));
      continue;
    }
    bool bFlag = false;
    for (const Flag &flag : kFlags) {
      if (std::strcmp(pcWord, flag.pcWord) == 0) {
        *flag.pu8Flag = 1;
        bFlag = true;
        break;
      }
    }
    if (bFlag) continue;

    static const char *const kValued[] = {"task_add", "task_rem", "quit_sec", "fake_key", "debug_sec", "sleeper"};
    int nValued = -1;
    for (int k = 0; k < static_cast<int>(sizeof(kValued) / sizeof(kValued[0])); ++k) {
      if (std::strcmp(pcWord, kValued[k]) == 0) nValued = k;
    }
    if (nValued < 0) bail_out("invalid argument %s", pcWord);
    if (i + 1 >= argc) bail_out("specifier required for argument %s", pcWord);
    const char *pcValue = argv[++i];
    switch (nValued) {
      case 0: setTaskFlags(pcValue, 0); break;
      case 1: setTaskFlags(pcValue, 1); break;
      case 2: quit_seconds = static_cast<S64>(value(pcWord, pcValue, 0, INT64_MAX / 1000)) * 1000; break;
      case 3: opt_fakekey = static_cast<S32>(value(pcWord, pcValue, INT32_MIN, INT32_MAX)); break;
      case 4: debug_seconds = static_cast<S32>(value(pcWord, pcValue, 0, INT32_MAX)); break;
      case 5: opt_sleeper = static_cast<S64>(value(pcWord, pcValue, 0, INT64_MAX / 1000)) * 1000; break;
    }
  }
}
