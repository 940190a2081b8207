#include "nmea/ais/ais_message.h"

#include <cstdlib>

#include "kernel/memory.h"

void AIS_vDeleteMessage(AISMessage *pMessage) {
  if (pMessage == nullptr) return;
  pMessage->~AISMessage();
  H_MEMORY_vFree(pMessage);
}

void DmDecoder::Init(long nValue) {
  m_bPositive = nValue > 0;
  const long nAbs = std::labs(nValue);
  m_nDegrees = nAbs / 10000 / 60;
  m_dMinutes = nAbs / 10000.0 - static_cast<double>(m_nDegrees) * 60.0;
}

void ETADecoder::Init(long nValue) {
  m_nMinute = static_cast<unsigned>(nValue & 0x3F);
  m_nHour = static_cast<unsigned>((nValue >> 6) & 0x1F);
  m_nDay = static_cast<unsigned>((nValue >> 11) & 0x1F);
  m_nMonth = static_cast<unsigned>((nValue >> 16) & 0x0F);
}

void PosDimDecoder::Init(long nValue) {
  m_nD = static_cast<unsigned>(nValue & 0x3F);
  m_nC = static_cast<unsigned>((nValue >> 6) & 0x3F);
  m_nB = static_cast<unsigned>((nValue >> 12) & 0x1FF);
  m_nA = static_cast<unsigned>((nValue >> 21) & 0x1FF);
}
