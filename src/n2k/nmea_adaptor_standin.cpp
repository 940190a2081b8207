#include "n2k/nmea_adaptor_standin.h"

#include <cstring>
#include <mutex>

namespace {

std::mutex s_lock;
std::vector<N2K_ADAPT_RECORD> s_aAdapted;
std::string s_sGSA;
std::vector<std::string> s_asGSV;
BOOLEAN s_bGPSSelected = FALSE;

void copyText(char *pcOut, const std::string &sText) {
  std::strncpy(pcOut, sText.c_str(), N2K_SENTENCE_TEXT - 1);
  pcOut[N2K_SENTENCE_TEXT - 1] = '\0';
}

}  // namespace

void U_NMEA_Adaptor_vDataAdapt(BOOLEAN bToNMEA2k, U32 u32DataId, FOURCHARID FourCharId, DB_DATA_TYPE dbValue) {
  std::lock_guard<std::mutex> guard(s_lock);
  s_aAdapted.push_back({bToNMEA2k, u32DataId, FourCharId, dbValue});
}

BOOLEAN U_NMEA_Adaptor_bFetchSatellites(char *pcGSA, char (*pacGSV)[N2K_SENTENCE_TEXT]) {
  std::lock_guard<std::mutex> guard(s_lock);
  if (s_sGSA.empty()) return FALSE;
  copyText(pcGSA, s_sGSA);
  for (size_t i = 0; i < 5; ++i) copyText(pacGSV[i], i < s_asGSV.size() ? s_asGSV[i] : std::string());
  return TRUE;
}

std::vector<N2K_ADAPT_RECORD> N2K_STANDIN_vTakeAdapted(void) {
  std::lock_guard<std::mutex> guard(s_lock);
  std::vector<N2K_ADAPT_RECORD> aOut;
  aOut.swap(s_aAdapted);
  return aOut;
}

void N2K_STANDIN_vSetSatellites(const std::string &sGSA, const std::vector<std::string> &asGSV) {
  std::lock_guard<std::mutex> guard(s_lock);
  s_sGSA = sGSA;
  s_asGSV = asGSV;
}

BOOLEAN U_NMEA_Adaptor_bNMEA2kGPSSelected(void) {
  std::lock_guard<std::mutex> guard(s_lock);
  return s_bGPSSelected;
}

void N2K_STANDIN_vSetGPSSelected(BOOLEAN bSelected) {
  std::lock_guard<std::mutex> guard(s_lock);
  s_bGPSSelected = bSelected;
}
