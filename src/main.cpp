// The process entry of the unit.
#include "kernel/log.h"
#include "kernel/options.h"
#include "kernel/process.h"
#include "platform/signals.h"

namespace {
const char kModelCode[] = "CORVAN";
}

int main(int argc, char **argv) {
  PLATFORM_SIGNALS_vIgnoreBrokenPipe();
  log_me("%s start", kModelCode);
  OPTIONS_vParse(argc, argv);
  Main();
}
