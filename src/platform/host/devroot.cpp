#include "platform/host/devroot.h"

#include <cstdlib>
#include <filesystem>

#include "platform/datadir.h"

const char *HOST_DEVROOT_pcRoot(void) {
  static const std::string s_sRoot = [] {
    const char *pcValue = std::getenv("CORVAN_DEVROOT");
    if (pcValue != nullptr && pcValue[0] != '\0') return std::string(pcValue);
    return std::string(L_UTILS_cpGetPathnamePtr()) + "/devroot";
  }();
  return s_sRoot.c_str();
}

std::string HOST_DEVROOT_sDir(const char *pcSub) {
  std::string sDir = std::string(HOST_DEVROOT_pcRoot()) + "/" + pcSub;
  std::error_code ec;
  std::filesystem::create_directories(sDir, ec);
  return sDir;
}
