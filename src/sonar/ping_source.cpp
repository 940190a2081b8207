#include "sonar/ping_source.h"

#include "kernel/log.h"
#include "net/gmsg_standin.h"
#include "settings/database.h"
#include "sonar/net_ping_receive_standin.h"
#include "sonar/ping_exchange.h"
#include "sonar/ping_server.h"
#include "sonar/ping_state.h"
#include "sonar/synthsim_standin.h"
#include "ui/info/alarm.h"
#include "ui/startup/startup.h"

namespace {

U32 s_u32LocalPingMask = 0;
U32 s_u32ClientPingMask = 0;
U32 s_u32NetworkPingMask = 0;
U32 s_au32SonarSourceMAC[NUMBER_OF_SONAR_SOURCES] = {0xFFFFFF, 0xFFFFFF, 0xFFFFFF, 0xFFFFFF};
sonarRegisteredClientNode *s_apClients[NUMBER_OF_SONAR_SOURCES];

const FOURCHARID kTransducerKeys[NUMBER_OF_SONAR_SOURCES] = {FCID("YST1"), FCID("YST2"), FCID("YST3"),
                                                              FCID("YST4")};

BOOLEAN fetchValidU32(FOURCHARID Id, U32 *pu32Value) {
  BOOLEAN bValid = FALSE;
  return H_DATABASE_bFetchU32(Id, pu32Value, &bValid, nullptr) && bValid;
}

U32 fetchMask(const char (&acKey)[5]) {
  U32 u32Value = 0;
  return fetchValidU32(FCID(acKey), &u32Value) ? u32Value : 0;
}

void writeMask(const char (&acKey)[5], U32 u32Value) {
  H_DATABASE_bUpdateEverythingU32(FCID(acKey), u32Value, P_NORMAL, D_UNKNOWN, nullptr, DB_NO_TIMEOUT);
}

}  // namespace

U32 T_N_PING_u32LocalPingMask(void) { return s_u32LocalPingMask; }
U32 T_N_PING_u32ClientPingMask(void) { return s_u32ClientPingMask; }
U32 T_N_PING_u32NetworkPingMask(void) { return s_u32NetworkPingMask; }
void T_N_PING_vSetMasks(U32 u32Local, U32 u32Client, U32 u32Network) {
  s_u32LocalPingMask = u32Local;
  s_u32ClientPingMask = u32Client;
  s_u32NetworkPingMask = u32Network;
}

sonarRegisteredClientNode **T_N_PING_ppClientList(U16 u16Source) {
  return &s_apClients[u16Source % NUMBER_OF_SONAR_SOURCES];
}

BOOLEAN T_N_PING_bHasNetworkDestination(void) {
  for (sonarRegisteredClientNode *pHead : s_apClients) {
    if (pHead != nullptr) return TRUE;
  }
  return FALSE;
}

void T_N_PING_vDeleteAllClients(void) {
  for (sonarRegisteredClientNode *&pHead : s_apClients) U_PING_vAllDeleteClientNodes(&pHead);
}

BOOLEAN T_N_PING_vUnregisterForNetworkData(U32 u32ServerIP, U32 u32ServerPort, U32 u32SonarSource) {
  log_me("T_N_PING_vUnregisterForNetworkData: 0x%08x:%u source %u", static_cast<unsigned>(u32ServerIP),
         static_cast<unsigned>(u32ServerPort), static_cast<unsigned>(u32SonarSource));
  if (u32ServerIP == 0) return TRUE;
  GMSG_ADDRESS Target{};
  GMSG_vMakeSocketAddress(&Target, u32ServerIP, u32ServerPort);
  const sonarRequestDataType request = {0, 0, u32SonarSource};
  const BOOLEAN bSent = U_GMSG_bSendMsgNoWaitAsync(M_PING, &Target, GMSG_ID_SONAR_REQUEST_DATA,
                                                   &DT_SONAR_REQUEST_DATA, &request, 0, 500);
  log_me("T_N_PING_vUnregisterForNetworkData: request %s", bSent ? "sent" : "not sent");
  if (u32SonarSource >= NUMBER_OF_SONAR_SOURCES) return TRUE;
  const U16 u16Source = static_cast<U16>(u32SonarSource);
  GMSG_ADDRESS Server{};
  U_PING_vGetServerAddress(&Server, u16Source);
  if (Server.uAddr.SocketAddress.u32Address != u32ServerIP) return TRUE;
  U_ALARM_bRemovePeer(&Server);
  const S32 s32Monitor = U_PING_s32GetServerMonitorHandle(u16Source);
  if (s32Monitor >= 0) U_SERVER_MONITOR_vSetActive(static_cast<U32>(s32Monitor), FALSE);
  Server.uAddr.SocketAddress.u32Address = 0;
  Server.uAddr.SocketAddress.u32Port = 0;
  U_PING_vSetServerAddress(Server, u16Source);
  U_PING_vSetNetworkClientState(NETWORK_CLIENT_STATE_DISCONNECTED, u16Source);
  return TRUE;
}

void T_N_PING_vSwitchToNetworkSonar(U16 u16LocalIndex, U32 u32Transducer, U32 u32Mac) {
  if (u16LocalIndex >= NUMBER_OF_SONAR_SOURCES) return;
  const U32 u32Bit = 1u << u16LocalIndex;
  const U32 u32Local = fetchMask("ELPM");
  if (u32Local & u32Bit) writeMask("ELPM", u32Local & ~u32Bit);
  U_PING_vSetNetworkClientState(NETWORK_CLIENT_STATE_DISCONNECTED, u16LocalIndex);
  T_N_PING_vUpdateSonarSource(static_cast<S32>(u32Mac & 0xFFFFFF), u16LocalIndex);
  T_NET_PING_RECEIVE_vUpdateSonarSource(u32Mac & 0xFFFFFF, u16LocalIndex);
  H_DATABASE_bUpdateEverythingU32(kTransducerKeys[u16LocalIndex], u32Transducer, P_NORMAL, D_UNKNOWN, nullptr,
                                  DB_NO_TIMEOUT);
}

BOOLEAN T_N_PING_vSwitchToLocalSonar(U16 u16Source) {
  U32 u32Kind = 0;
  fetchValidU32(FCID("SSTS"), &u32Kind);
  const U32 u32Sources = S_TRANSDUCER_u32GetSonarSources(static_cast<U8>(u32Kind));
  log_me("T_N_PING_vSwitchToLocalSonar: source %u, transducer %u, sources 0x%x", static_cast<unsigned>(u16Source),
         static_cast<unsigned>(u32Kind), static_cast<unsigned>(u32Sources));
  if (u16Source >= NUMBER_OF_SONAR_SOURCES || (u32Sources & (1u << u16Source)) == 0) {
    log_me("T_N_PING_vSwitchToLocalSonar: transducer does not offer source %u", static_cast<unsigned>(u16Source));
    return FALSE;
  }
  const U32 u32Bit = 1u << u16Source;
  const U32 u32Network = fetchMask("ENPM");
  if (u32Network & u32Bit) writeMask("ENPM", u32Network & ~u32Bit);
  const U32 u32Local = fetchMask("ELPM");
  if ((u32Local & u32Bit) == 0) writeMask("ELPM", u32Local | u32Bit);
  U32 u32Mac = 0;
  fetchValidU32(FCID("SMAC"), &u32Mac);
  T_N_PING_vUpdateSonarSource(static_cast<S32>(u32Mac), u16Source);
  T_NET_PING_RECEIVE_vUpdateSonarSource(u32Mac, u16Source);
  U_PING_vSetNetworkClientState(NETWORK_CLIENT_STATE_LOCAL, u16Source);
  H_DATABASE_bUpdateEverythingU32(kTransducerKeys[u16Source], u16Source == SONAR_SOURCE_360 ? 16 : u32Kind, P_NORMAL,
                                  D_UNKNOWN, nullptr, DB_NO_TIMEOUT);
  return TRUE;
}

void T_N_PING_vSetPingBitMask(BOOLEAN b2D, BOOLEAN bZP, BOOLEAN bZF, BOOLEAN b360) {
  const U32 u32Old = fetchMask("ELPM");
  U32 u32New = u32Old;
  const BOOLEAN abOn[NUMBER_OF_SONAR_SOURCES] = {b2D, bZP, bZF, b360};
  for (U32 n = 0; n < NUMBER_OF_SONAR_SOURCES; ++n) u32New = abOn[n] ? (u32New | 1u << n) : (u32New & ~(1u << n));
  writeMask("ELPM", u32New);
  log_me("T_N_PING_vSetPingBitMask: ELPM 0x%x -> 0x%x", static_cast<unsigned>(u32Old), static_cast<unsigned>(u32New));
}

void T_N_PING_vSetSonarViewEnable(void) {
  BOOLEAN bEnable = U_PING_bGetPlayback();
  const BOOLEAN bAnyConnected = U_PING_eGetNetworkClientState(0) == NETWORK_CLIENT_STATE_CONNECTED ||
                                U_PING_eGetNetworkClientState(1) == NETWORK_CLIENT_STATE_CONNECTED;
  const BOOLEAN bAnyLocal = U_PING_eGetNetworkClientState(0) == NETWORK_CLIENT_STATE_LOCAL ||
                            U_PING_eGetNetworkClientState(1) == NETWORK_CLIENT_STATE_LOCAL;
  BOOLEAN bFound = FALSE;
  BOOLEAN bValid = FALSE;
  if (H_DATABASE_bFetchBoolean(FCID("SFEF"), &bFound, &bValid, nullptr) && bValid && bFound && bAnyConnected) {
    bEnable = TRUE;
  }
  U32 u32Detected = 0;
  BOOLEAN bSonarOn = TRUE;
  const BOOLEAN bHaveSonarOn = H_DATABASE_bFetchBoolean(FCID("SSEN"), &bSonarOn, &bValid, nullptr);
  if (fetchValidU32(FCID("ITXD"), &u32Detected) && u32Detected != 0 && u32Detected != 0xFFFFFFFF &&
      (!bHaveSonarOn || bSonarOn) && bAnyLocal) {
    bEnable = TRUE;
  }
  H_DATABASE_bUpdateEverythingBoolean(FCID("ISEN"), bEnable, P_NORMAL, D_UNKNOWN, nullptr, DB_NO_TIMEOUT);
}

U32 T_N_PING_u32SonarSourceId(U16 u16Source) {
  return u16Source < NUMBER_OF_SONAR_SOURCES ? s_au32SonarSourceMAC[u16Source] : 0xFFFFFF;
}

void T_N_PING_vUpdateSonarSource(S32 s32Id, U16 u16Source) {
  if (u16Source >= NUMBER_OF_SONAR_SOURCES) return;
  log_me("T_N_PING_vUpdateSonarSource: id 0x%x, source %u", static_cast<unsigned>(s32Id),
         static_cast<unsigned>(u16Source));
  const U32 u32Id = static_cast<U32>(s32Id) & 0xFFFFFF;
  s_au32SonarSourceMAC[u16Source] = u32Id;
  U32 u32Mac = 0;
  if (!fetchValidU32(FCID("SMAC"), &u32Mac)) return;
  const BOOLEAN bOwn = u32Id == (u32Mac & 0xFFFFFF);
  const BOOLEAN bDetected = T_STARTUP_bIsSonarTransducerDetected();
  const U32 u32Bit = 1u << u16Source;
  // The kind and elements of this unit's transducer, none without a detected one.
  auto localTransducer = [](U32 *pu32Kind, U32 *pu32Elements) {
    U32 u32Detected = 0;
    *pu32Kind = 0;
    *pu32Elements = 0;
    if (fetchValidU32(FCID("ITXD"), &u32Detected) && u32Detected != 0 && u32Detected != 0xFFFFFFFF) {
      fetchValidU32(FCID("SSTS"), pu32Kind);
      fetchValidU32(FCID("SSES"), pu32Elements);
    }
  };
  switch (U_PING_eGetNetworkClientState(u16Source)) {
    case NETWORK_CLIENT_STATE_INIT:
      T_N_PING_vUpdateLocalDatabaseItems(u16Source);
      if (bOwn && bDetected) {
        U32 u32Kind, u32Elements;
        localTransducer(&u32Kind, &u32Elements);
        if (u16Source < SONAR_SOURCE_360) {
          H_DATABASE_bUpdateEverythingU32(kTransducerKeys[u16Source], u32Kind, P_NORMAL, D_UNKNOWN, nullptr,
                                          DB_NO_TIMEOUT);
          if (u16Source != SONAR_SOURCE_2D) vMenuSideScanFrequency(TRUE);
        }
        U_PING_vSetNetworkClientState(NETWORK_CLIENT_STATE_LOCAL, u16Source);
      } else {
        U_PING_vSetNetworkClientState(NETWORK_CLIENT_STATE_DISCONNECTED, u16Source);
      }
      break;
    case NETWORK_CLIENT_STATE_LOCAL:
      if (u32Id != 0xFFFFFF && bDetected) {
        if (!bOwn) {
          U_PING_vSetNetworkClientState(NETWORK_CLIENT_STATE_DISCONNECTED, u16Source);
          writeMask("ELPM", fetchMask("ELPM") & ~u32Bit);
        } else {
          writeMask("ELPM", fetchMask("ELPM") | u32Bit);
        }
        writeMask("ENPM", fetchMask("ENPM") & ~u32Bit);
      }
      break;
    case NETWORK_CLIENT_STATE_CONNECTED:
    case NETWORK_CLIENT_STATE_DISCONNECTED:
      if (bOwn) {
        U32 u32Kind, u32Elements;
        localTransducer(&u32Kind, &u32Elements);
        H_DATABASE_bUpdateEverythingU32(kTransducerKeys[u16Source], u16Source == SONAR_SOURCE_360 ? 16 : u32Kind,
                                        P_NORMAL, D_UNKNOWN, nullptr, DB_NO_TIMEOUT);
        if (u16Source == SONAR_SOURCE_ZP || u16Source == SONAR_SOURCE_ZF) vMenuSideScanFrequency(TRUE);
        const bool bElement = S_TRANSDUCER_u32GetElementBit(u32Elements, static_cast<NET_SOURCE_TYPE>(u16Source)) != 0;
        writeMask("ELPM", bElement ? (fetchMask("ELPM") | u32Bit) : (fetchMask("ELPM") & ~u32Bit));
        writeMask("ENPM", fetchMask("ENPM") & ~u32Bit);
        T_N_PING_vUpdateLocalDatabaseItems(u16Source);
        U_PING_vSetNetworkClientState(NETWORK_CLIENT_STATE_LOCAL, u16Source);
      }
      break;
    default:
      break;
  }
}
