#include "util/filename.h"

#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "kernel/log.h"
#include "kernel/memory.h"
#include "platform/datadir.h"
#include "platform/devices.h"

namespace {

// The data directory without a trailing "/" ("/" itself stays).
const std::string &DataDirectory() {
  static const std::string s_path = [] {
    std::string path = L_UTILS_cpGetPathnamePtr();
    while (path.size() > 1 && path.back() == '/') path.pop_back();
    return path;
  }();
  return s_path;
}

// Card slot N is mounted on this prefix followed by the slot digit: "/mnt/mmc" on the board, the simulated mount
// folder on the host.
const char *SlotMountPrefix() {
  thread_local std::string t_sPrefix;
  t_sPrefix = std::string(PLATFORM_ptCard()->pcMountDir()) + "/mmc";
  return t_sPrefix.c_str();
}

// A new block holding text, or the empty text when text does not fit.
char *NewNameBlock(const std::string &text, const char *what) {
  char *block = static_cast<char *>(H_MEMORY_pvMalloc(U_FILE_NAME_BLOCK));
  if (text.size() >= U_FILE_NAME_BLOCK) {
    log_me("U_FILE: %s of %zu characters refused (at most %zu): %.60s...", what, text.size(),
           U_FILE_NAME_BLOCK - 1, text.c_str());
    block[0] = '\0';
    return block;
  }
  std::memcpy(block, text.c_str(), text.size() + 1);
  return block;
}

// Units 0 to 9 are their digit; others keep the character code of "0" plus the unit where it is printable
// and no "/", so that a name never gains a terminator or a directory level.
char UnitCharacter(int numUnit) {
  int c = '0' + numUnit;
  if (numUnit < 0 || numUnit > 9) {
    log_me("U_FILE: unit %d has no digit", numUnit);
    if (c <= ' ' || c > '~' || c == '/') c = '_';
  }
  return static_cast<char>(c);
}

// Whether path lies in directory dir (given without a trailing "/"); *pRest is what follows dir.
bool InDirectory(const char *path, const char *dir, const char **pRest) {
  size_t len = std::strlen(dir);
  if (std::strncmp(path, dir, len) != 0) return false;
  if (path[len] != '/' && path[len] != '\0' && !(len == 1 && dir[0] == '/')) return false;
  *pRest = path + len;
  return true;
}

}  // namespace

char *U_FILE_psCreateDeviceName(const char *psDevice, int numUnit) {
  const std::string device = psDevice != nullptr ? psDevice : "";
  const char unit = UnitCharacter(numUnit);
  std::string name;
  if (device.size() > U_FILE_MAX_DEVICE_CODE) {
    log_me("U_FILE: device code of %zu characters refused", device.size());
  } else if (device == "mmc") {
    name = std::string(SlotMountPrefix()) + unit + "/";
  } else if (device == "mvn") {
    name = DataDirectory() + "/";
    if (name == "//") name = "/";
    if (numUnit != 0) name += std::string("data") + unit + "/";
  } else {
    name = DataDirectory() + "/" + device + unit + "/";
  }
  return NewNameBlock(name, "device name");
}

char *U_FILE_psComposeFileName(const char *psDevice, const char *psFileName) {
  std::string name = psDevice != nullptr ? psDevice : "";
  name += psFileName != nullptr ? psFileName : "";
  return NewNameBlock(name, "file name");
}

void U_FILE_vAddExtension(char *pcFileName, size_t uBufferSize, const char *pcExtension) {
  const size_t nameLen = strnlen(pcFileName, uBufferSize);
  const size_t extLen = std::strlen(pcExtension);
  if (nameLen + 1 + extLen + 1 > uBufferSize) {
    log_me("U_FILE: extension %s does not fit the %zu-byte name %.60s", pcExtension, uBufferSize, pcFileName);
    return;
  }
  pcFileName[nameLen] = '.';
  std::memcpy(pcFileName + nameLen + 1, pcExtension, extLen + 1);
}

BOOLEAN U_FILE_bCheckExtension(const char *pcFileName, const char *pcExtension) {
  const size_t extLen = std::strlen(pcExtension);
  const size_t nameLen = std::strlen(pcFileName);
  if (extLen == 0 || nameLen < extLen + 1) return FALSE;
  for (size_t i = 1; i <= extLen; ++i) {
    const int a = std::toupper(static_cast<unsigned char>(pcFileName[nameLen - i]));
    const int b = std::toupper(static_cast<unsigned char>(pcExtension[extLen - i]));
    if (a != b) return FALSE;
  }
  return pcFileName[nameLen - extLen - 1] == '.' ? TRUE : FALSE;
}

void U_FILE_vIsolateFileName(const char *pcFullName, char *pShortName, size_t uBufferSize) {
  if (uBufferSize == 0) return;
  const char *slash = std::strrchr(pcFullName, '/');
  const char *shortName = slash != nullptr ? slash + 1 : pcFullName;
  const size_t len = std::strlen(shortName);
  if (len + 1 > uBufferSize) {
    log_me("U_FILE: name %.60s does not fit %zu bytes", shortName, uBufferSize);
    pShortName[0] = '\0';
    return;
  }
  std::memcpy(pShortName, shortName, len + 1);
}

void U_FILE_vMarkDeviceName(char *pFileName) {
  if (pFileName[0] != '/') return;
  const char *rest = nullptr;

  // A card slot: cut behind the slot digit.
  const char *prefix = SlotMountPrefix();
  const size_t prefixLen = std::strlen(prefix);
  if (std::strncmp(pFileName, prefix, prefixLen) == 0 &&
      std::isdigit(static_cast<unsigned char>(pFileName[prefixLen])) &&
      (pFileName[prefixLen + 1] == '/' || pFileName[prefixLen + 1] == '\0')) {
    pFileName[prefixLen + 1] = '\0';
    return;
  }
  // The internal memory, wherever the data directory lies; either directory may lie inside the other (the
  // simulator's mount folder is inside its data directory), so the deeper one that holds the file decides.
  const std::string mountDir(prefix, std::strrchr(prefix, '/') - prefix);
  const bool bInMount = InDirectory(pFileName, mountDir.c_str(), &rest);
  const char *restData = nullptr;
  if (InDirectory(pFileName, DataDirectory().c_str(), &restData) &&
      (!bInMount || DataDirectory().size() >= mountDir.size())) {
    pFileName[1] = '\0';
    return;
  }
  // Elsewhere in the mount directory: behind the first digit, if any.
  if (bInMount) {
    for (size_t i = static_cast<size_t>(rest - pFileName); pFileName[i] != '\0'; ++i) {
      if (std::isdigit(static_cast<unsigned char>(pFileName[i]))) {
        pFileName[i + 1] = '\0';
        return;
      }
    }
    return;
  }
  pFileName[1] = '\0';
}
