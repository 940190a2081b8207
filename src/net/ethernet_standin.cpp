// Stand-in of the network address queries: 'SIPD' decides dynamic addressing; no interface address is known
// until the unit networking is built (the readiness query is with the network message stand-in).
#include "net/ethernet_standin.h"

#include <cstring>

#include "settings/database.h"

BOOLEAN T_ETHERNET_bIsDynamic(void) {
  BOOLEAN bDynamic = FALSE;
  BOOLEAN bValid = FALSE;
  return H_DATABASE_bFetchBoolean(FCID("SIPD"), &bDynamic, &bValid, nullptr) && bValid && bDynamic;
}

BOOLEAN T_ETHERNET_vGetIPAddress(char *pcText) {
  std::strcpy(pcText, "");
  return FALSE;
}
