// Stand-in entries of the tasks whose modules come later: each publishes its mailbox key and drains its
// mailbox, releasing every message with H_MEMORY_vDumpMail. Replace an entry here when its task is written.
#include "kernel/tasks_standin.h"

#include <unistd.h>

#include "kernel/error.h"
#include "kernel/log.h"
#include "kernel/mbox.h"
#include "kernel/memory.h"
#include "kernel/reset.h"
#include "kernel/sema.h"
#include "kernel/task_table.h"

void STANDIN_vPublishMailbox(FOURCHARID key, MBOX mbox, U32 u32Priority, const char *pcFatalText) {
  if (H_DATABASE_bUpdateEverythingU32(key, static_cast<U32>(mbox), u32Priority, D_MAILBOX, nullptr,
                                      DB_NO_TIMEOUT)) {
    ERROR_error(__FILE__, __LINE__, pcFatalText);
    U_RESET_vReset();
  }
}

namespace {
// A gateway record carries a block of its own; dropping only the message would leak it.
void dispose(void *pvMsg) {
  if (pvMsg == nullptr) return;
  auto *pMsg = static_cast<GENERIC_MESSAGE *>(pvMsg);
  if (pMsg->Cmd == CMD_ID_GATEWAY_DATA) {
    auto *pGateway = static_cast<GATEWAY_DATA_MESSAGE *>(pvMsg);
    if (pGateway->gwdata != nullptr) H_MEMORY_vFree(pGateway->gwdata);
    pGateway->gwdata = nullptr;
  }
  H_MEMORY_vDumpMail(pvMsg);
}
}  // namespace

void STANDIN_vServe(const SEMA *pSemas, const MBOX *pMboxes) {
  for (;;) {
    if (pSemas[0] != 0) {
      L_SEMA_WaitMultiple(pSemas);
    } else if (pMboxes[0] != 0) {
      dispose(L_MBOX_ReceiveWait(pMboxes[0]));  // a mailbox that no semaphore announces
    } else {
      sleep(3600);
      continue;
    }
    for (const MBOX *pMbox = pMboxes; *pMbox != 0; ++pMbox) {
      while (void *pvMsg = L_MBOX_Receive(*pMbox)) dispose(pvMsg);
    }
  }
}

namespace {

struct StandIn {
  TASK task;
  FOURCHARID keys[2];
  MBOX mboxes[3];  // zero-terminated
  SEMA semas[3];   // zero-terminated
  const char *pcFatalText;
};

// clang-format off
const StandIn kStandIns[] = {
    {CHARTTASK,          {FCID("TCRT")}, {M_CHART},          {SEMA_MBOX_CHART},          "Somebody else registered the Chart Task Mailbox"},
    {PCCTASK,            {FCID("TPCC")}, {M_PCCOM},          {SEMA_MBOX_PCC},            "Somebody else registered the PC Connect Task Mailbox"},
    {BARTASK,            {FCID("TX01")}, {M_BAROMETER},      {SEMA_MBOX_BAR},            "Somebody else registered the Barometer Task Mailbox"},
    {ACCTASK,            {FCID("TAUX")}, {M_ACCESSORY, M_ACC_REPLY}, {SEMA_MBOX_ACC, SEMA_ACC_REPLY}, "Somebody else registered the Accessory Task Mailbox"},
    {WTEMPTASK,          {FCID("TTEM")}, {M_WTEMP},          {SEMA_MBOX_WTEMP},          "Somebody else registered the Water Temp Task Mailbox"},
    {INLINETESTTASK,     {FCID("TTST")}, {M_INLINETEST},     {SEMA_MBOX_INLINETEST},     "Somebody else registered the Inline Test Task Mailbox"},
    {ACCCOMM,            {FCID("TACC")}, {M_ACC_COMM},       {SEMA_MBOX_ACC_COMM},       "Somebody else registered the Accessory Comm Task Mailbox"},
    {HISTORYTASK,        {FCID("TSMG")}, {M_HISTORY},        {SEMA_MBOX_HISTORY},        "Somebody else registered the History Task Mailbox"},
    {CHARTINFOTASK,      {FCID("TCIN")}, {M_CHART_INFO},     {SEMA_MBOX_CHART_INFO},     "Somebody else registered the Chart Info Task Mailbox"},
    {DOWNRIGGERTASK,     {FCID("TX04")}, {M_DOWNRIGGER},     {SEMA_MBOX_DOWNRIGGER},     "Somebody else registered the Downrigger Task Mailbox"},
    {CHART3DTASK,        {FCID("TC3D")}, {M_CHART3D},        {SEMA_MBOX_CHART3D},        "Somebody else registered the Chart 3D Task Mailbox"},
    {HTMLTASK,           {FCID("THTM")}, {M_HTML},           {SEMA_MBOX_HTML},           "Somebody else registered the HTML Task Mailbox"},
    {GATEWAYTASK,        {FCID("TX03")}, {M_GATEWAY},        {SEMA_MBOX_GATEWAY},        "Somebody else registered the Gateway Task Mailbox"},
    {GATEWAYNAVTASK,     {FCID("TGWN")}, {M_GATEWAY_NAV},    {SEMA_MBOX_GATEWAY_NAV},    "Somebody else registered the Gateway Nav Task Mailbox"},
    {ETHERNETTASK,       {FCID("TETH")}, {M_ETHERNET},       {SEMA_MBOX_ETHERNET},       "Somebody else registered the Ethernet Task Mailbox"},
    {SATWEATHERTASK,     {FCID("TX05")}, {M_SATWEATHER},     {SEMA_MBOX_SATWEATHER},     "Somebody else registered the Sat Weather Task Mailbox"},
    {SATWEATHERDATATASK, {FCID("TWDA")}, {M_SATWEATHER_DATA}, {SEMA_MBOX_SATWEATHER_DATA}, "Somebody else registered the Sat Weather Data Task Mailbox"},
    {SLPTESTTASK,        {FCID("TSLT")}, {M_SLPTEST},        {},                         "Somebody else registered the SLP Test Task Mailbox"},
    {GMSGTASK,           {FCID("TMSG")}, {M_GMSG},           {SEMA_MBOX_GMSG},           "Somebody else registered the GMSG Task Mailbox"},
    {GMSGSOCKETTASK,     {},             {},                 {},                         nullptr},
    {SLPCLIENTTASK,      {FCID("TSLC")}, {M_SLPCLIENT},      {SEMA_MBOX_SLPCLIENT},      "Somebody else registered the SLP Client Task Mailbox"},
    {SUDPIN,             {},             {M_SUDPIN},         {SEMA_MBOX_SUDPIN},         nullptr},
    {SUDPOUT,            {},             {M_SUDPOUT},        {SEMA_MBOX_SUDPOUT},        nullptr},
    {RADARTASK,          {FCID("TRDR")}, {M_RADAR},          {SEMA_MBOX_RADAR},          "Somebody else registered the Radar Task Mailbox"},
    {RADARDATATASK,      {FCID("TRDD")}, {M_RADAR_DATA},     {SEMA_MBOX_RADAR_DATA},     "Somebody else registered the Radar Data Task Mailbox"},
    {RADARSERVERTASK,    {FCID("TRDS"), FCID("TRDT")}, {M_RADAR_SERVER, M_RADAR_SERVER_TCP}, {SEMA_MBOX_RADAR_SERVER, SEMA_MBOX_RADAR_SERVER_TCP}, "Somebody else registered the Radar Server Task Mailbox"},
    {PINGRECORDREADTASK, {},             {},                 {},                         nullptr},
    {RADARCLIENTTASK,    {FCID("TRDC")}, {M_RADAR_CLIENT},   {SEMA_MBOX_RADAR_CLIENT},   "Somebody else registered the Radar Client Task Mailbox"},
    {ETHBCASTTASK,       {},             {},                 {},                         nullptr},
    {ETHUPDATERTASK,     {FCID("TEUD")}, {M_ETHUPDATE},      {SEMA_MBOX_ETH_UPDATER},    "Somebody else registered the Eth Updater Task Mailbox"},
    {NETPINGRECEIVETASK, {},             {M_NETPING},        {SEMA_MBOX_NETPING_RECEIVE}, nullptr},
    {VANTRELTASK,        {FCID("TVN2")}, {M_VANTREL},        {SEMA_MBOX_VANTREL},        "Somebody else registered the Vantrel Task Mailbox"},
};
// clang-format on

[[noreturn]] void runStandIn(TASK task) {
  const StandIn *pStandIn = nullptr;
  for (const StandIn &row : kStandIns) {
    if (row.task == task) pStandIn = &row;
  }
  // Mailboxes that their own tasks bind at start.
  if (task == ACCTASK) L_MBOX_DefineSema(M_ACC_REPLY, SEMA_ACC_REPLY);
  if (task == VANTRELTASK) L_MBOX_DefineSema(M_VANTREL, SEMA_MBOX_VANTREL);
  const U32 u32Priority = task == INLINETESTTASK ? P_TESTMODE : P_NORMAL;
  if (task == HISTORYTASK) {
    // The history task's registration: the default transducer (kind 1) and its sonar sources (the 2-D one).
    H_DATABASE_bUpdateEverythingU32(FCID("SSTS"), 1, P_DEFAULT_SETTING, D_UNKNOWN, nullptr, DB_NO_TIMEOUT);
    H_DATABASE_bUpdateEverythingU32(FCID("SSES"), 1, P_DEFAULT_SETTING, D_UNKNOWN, nullptr, DB_NO_TIMEOUT);
  }
  for (int i = 0; i < 2 && pStandIn->keys[i] != 0; ++i) {
    STANDIN_vPublishMailbox(pStandIn->keys[i], pStandIn->mboxes[i], u32Priority, pStandIn->pcFatalText);
  }
  log_me("stand-in running");
  STANDIN_vServe(pStandIn->semas, pStandIn->mboxes);
}

}  // namespace

#define STANDIN_ENTRY(entry, task) \
  void entry(void) { runStandIn(task); }

STANDIN_ENTRY(T_CHART_vMain, CHARTTASK)
STANDIN_ENTRY(T_PCC_vMain, PCCTASK)
STANDIN_ENTRY(T_BAROMETER_vMain, BARTASK)
STANDIN_ENTRY(T_ACC_vMain, ACCTASK)
STANDIN_ENTRY(T_TEMP_vMain, WTEMPTASK)
STANDIN_ENTRY(T_INLINETEST_vMain, INLINETESTTASK)
STANDIN_ENTRY(T_ACC_COMM_vMain, ACCCOMM)
STANDIN_ENTRY(T_N_HISTORY_vMain, HISTORYTASK)
STANDIN_ENTRY(T_CHART_INFO_vMain, CHARTINFOTASK)
STANDIN_ENTRY(T_DOWNRIGGER_vMain, DOWNRIGGERTASK)
STANDIN_ENTRY(T_CHART_3D_vMain, CHART3DTASK)
STANDIN_ENTRY(T_HTML_vMain, HTMLTASK)
STANDIN_ENTRY(T_GATEWAY_vMain, GATEWAYTASK)
STANDIN_ENTRY(T_GATEWAY_NAV_vMain, GATEWAYNAVTASK)
STANDIN_ENTRY(T_ETHERNET_vMain, ETHERNETTASK)
STANDIN_ENTRY(T_SATWEATHER_vMain, SATWEATHERTASK)
STANDIN_ENTRY(T_SATWEATHER_DATA_vMain, SATWEATHERDATATASK)
STANDIN_ENTRY(T_SLPTEST_vMain, SLPTESTTASK)
STANDIN_ENTRY(T_GMSG_vMain, GMSGTASK)
STANDIN_ENTRY(T_GMSG_vSocketMain, GMSGSOCKETTASK)
STANDIN_ENTRY(T_SLP_CLIENT_vMain, SLPCLIENTTASK)
STANDIN_ENTRY(T_SUDP_IN_vMain, SUDPIN)
STANDIN_ENTRY(T_SUDP_OUT_vMain, SUDPOUT)
STANDIN_ENTRY(T_RADAR_vMain, RADARTASK)
STANDIN_ENTRY(T_RADAR_DATA_vMain, RADARDATATASK)
STANDIN_ENTRY(T_RADAR_SERVER_vMain, RADARSERVERTASK)
STANDIN_ENTRY(T_READ_RECORD_PINGDATA_vMain, PINGRECORDREADTASK)
STANDIN_ENTRY(T_RADAR_CLIENT_vMain, RADARCLIENTTASK)
STANDIN_ENTRY(T_ETHBCAST_vMain, ETHBCASTTASK)
STANDIN_ENTRY(T_ETH_UPDATER_vMain, ETHUPDATERTASK)
STANDIN_ENTRY(T_NET_PING_RECEIVE_vMain, NETPINGRECEIVETASK)
STANDIN_ENTRY(T_VANTREL_vMain, VANTRELTASK)
