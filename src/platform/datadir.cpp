#include "platform/datadir.h"

#include <cstdlib>
#include <cstring>

namespace {

// The copy is never freed: tasks may still read it while the process ends.
const char *pathFromEnvironment(const char *pcVariable, const char *pcDefault) {
  const char *pcValue = std::getenv(pcVariable);
  return strdup(pcValue != nullptr && pcValue[0] != '\0' ? pcValue : pcDefault);
}

}  // namespace

const char *L_UTILS_cpGetPathnamePtr(void) {
  static const char *const s_pcPath = pathFromEnvironment("CORVAN_CWD", "/usr/corvan");
  return s_pcPath;
}

const char *L_UTILS_cpGetScratchPathPtr(void) {
  static const char *const s_pcPath = pathFromEnvironment("CORVAN_TMP", "/tmp/corvan");
  return s_pcPath;
}
