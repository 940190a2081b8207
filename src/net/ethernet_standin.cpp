// Stand-in of the network address queries: 'SIPD' decides dynamic addressing; no interface address is known
// until the unit networking is built (the readiness query is with the network message stand-in).
#include "net/ethernet_standin.h"

#include <cstdio>
#include <cstring>

#include "settings/database.h"

BOOLEAN T_ETHERNET_bIsDynamic(void) {
  BOOLEAN bDynamic = FALSE;
  BOOLEAN bValid = FALSE;
  return H_DATABASE_bFetchBoolean(FCID("SIPD"), &bDynamic, &bValid, nullptr) && bValid && bDynamic;
}

BOOLEAN T_ETHERNET_vGetIPAddress(char *pcText) {
  const U32 u32Address = GMSG_STANDIN_u32Address();
  if (u32Address == 0) {
    std::strcpy(pcText, "");
    return FALSE;
  }
  std::snprintf(pcText, 16, "%u.%u.%u.%u", u32Address & 0xFF, u32Address >> 8 & 0xFF, u32Address >> 16 & 0xFF,
                u32Address >> 24);
  return TRUE;
}
