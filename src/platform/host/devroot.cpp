#include "platform/host/devroot.h"

#include <cstdlib>
#include <filesystem>

#include "platform/datadir.h"

std::string HOST_DEVROOT_sRoot(void) {
  const char *pcValue = std::getenv("CORVAN_DEVROOT");
  if (pcValue != nullptr && pcValue[0] != '\0') return pcValue;
  return std::string(L_UTILS_cpGetPathnamePtr()) + "/devroot";
}

std::string HOST_DEVROOT_sDir(const char *pcSub) {
  std::string sDir = HOST_DEVROOT_sRoot() + "/" + pcSub;
  std::error_code ec;
  std::filesystem::create_directories(sDir, ec);
  return sDir;
}
