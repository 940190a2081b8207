// The view-selection menu: which families and views it offers, and what choosing an entry does.
#include <gtest/gtest.h>

#include <map>
#include <set>
#include <string>
#include <vector>

#include "view/select_view.h"
#include "view/view_task.h"
#include "settings/database.h"
#include "kernel/mbox.h"
#include "kernel/memory.h"
#include "kernel/sema.h"
#include "ui/menu/menu.h"
#include "run_apart.h"

TEST_RUN_APART(SelectViewTest);

namespace {

const ARRAY_OF_STRING_PTRS kViewName = SAME22("A View");

FOURCHARID key(const char *pc) {
  return static_cast<U32>(static_cast<U8>(pc[0])) | static_cast<U32>(static_cast<U8>(pc[1])) << 8 |
         static_cast<U32>(static_cast<U8>(pc[2])) << 16 | static_cast<U32>(static_cast<U8>(pc[3])) << 24;
}

bool bTakeSignal(SEMA sema) {
  if (L_SEMA_GetWaitingTaskID(sema) != -lsSEMA_DONE) return false;
  L_SEMA_Wait(sema);
  return true;
}

struct Shown {
  LAYER_ID layer;
  const char *pcKey;
  bool bVisible;
};

class SelectViewTest : public ::testing::Test {
 protected:
  void SetUp() override {
    H_DATABASE_bUpdateEverythingU32(FCID("TMNU"), M_MENU, P_NORMAL, D_MAILBOX, nullptr, DB_NO_TIMEOUT);
    H_DATABASE_bUpdateValueU32(FCID("SNID"), 0, P_NORMAL);
    drainMenu();
    drainView();
  }
  void TearDown() override {
    T_VIEW_vResetLayerListForTest();
    SELECT_VIEW_vResetForTest();
    drainMenu();
    drainView();
  }
  // A view registered with the view task under its display key.
  static void registerView(LAYER_ID layer, const char *pcKey, bool bVisible) {
    const FOURCHARID fcid = key(pcKey);
    // The view task offers only display keys that carry a name.
    H_DATABASE_bUpdateEverythingBoolean(fcid, bVisible ? TRUE : FALSE, P_NORMAL, D_UNKNOWN, kViewName,
                                        DB_NO_TIMEOUT);
    auto *pMsg = static_cast<MSG_REGISTER_LAYER *>(H_MEMORY_pvCalloc(1, sizeof(MSG_REGISTER_LAYER)));
    pMsg->header.Cmd = CMD_ID_REGISTER_LAYER;
    pMsg->layer = layer;
    pMsg->where_used = USED_BY_NONE;
    pMsg->fcidDisplayFlag = fcid;
    pMsg->bDisplay = TRUE;
    pMsg->eLocation = SPLIT_FULL_WINDOW;
    T_VIEW_vHandleMessage(pMsg);
  }
  static void unregisterView(LAYER_ID layer) {
    auto *pMsg = static_cast<MSG_UNREGISTER_LAYER *>(H_MEMORY_pvCalloc(1, sizeof(MSG_UNREGISTER_LAYER)));
    pMsg->header.Cmd = CMD_ID_UNREGISTER_LAYER;
    pMsg->layer = layer;
    pMsg->eLocation = SPLIT_FULL_WINDOW;
    T_VIEW_vHandleMessage(pMsg);
  }
  // The menu built now: "Family" for a family entry of the hot menu, "Family/View" for a view entry.
  std::set<std::string> build() {
    drainMenu();
    GUI_vRegisterSelectViewMenu();
    std::set<std::string> entries;
    m_actions.clear();
    for (const MSG_ADD_MENU_ITEM &item : drainMenu()) {
      const char *pcName = (*item.descriptor.pMenuName)[0];
      if (item.descriptor.control == M_SUB_MENU_HOT && item.view == VIRTUAL_DISPLAY_VIEW_LAYER) {
        entries.insert(pcName);
      } else if (item.descriptor.control == M_ACTION_HOT) {
        entries.insert(std::string((*item.pSubMenuName)[0]) + "/" + pcName);
        m_actions[pcName] = item.descriptor.parameters.action.pt2Function;
      }
    }
    return entries;
  }
  // Menu items posted since the last call (other messages are released).
  static std::vector<MSG_ADD_MENU_ITEM> drainMenu(int *pnClears = nullptr) {
    std::vector<MSG_ADD_MENU_ITEM> items;
    while (void *pvMsg = L_MBOX_Receive(M_MENU)) {
      const auto *pHeader = static_cast<const GENERIC_MESSAGE *>(pvMsg);
      if (pHeader->Cmd == CMD_ID_REGISTER_MENU_ITEM) items.push_back(*static_cast<MSG_ADD_MENU_ITEM *>(pvMsg));
      if (pHeader->Cmd == CMD_ID_CLEAR_MENU && pnClears != nullptr) ++*pnClears;
      H_MEMORY_vDumpMail(pvMsg);
    }
    return items;
  }
  // Views the view task was asked to show since the last call.
  static std::vector<U32> drainView() {
    std::vector<U32> layers;
    while (void *pvMsg = L_MBOX_Receive(M_VIEW)) {
      if (static_cast<GENERIC_MESSAGE *>(pvMsg)->Cmd == CMD_ID_SET_VIEW) {
        layers.push_back(static_cast<MSG_SET_VIEW *>(pvMsg)->layer);
      }
      H_MEMORY_vDumpMail(pvMsg);
    }
    return layers;
  }
  std::map<std::string, MENU_FUNCTION> m_actions;
};

struct OfferCase {
  const char *pcName;
  std::vector<Shown> views;
  U32 u32Snid;
  std::vector<const char *> dataKeys;  // 'IVN*' keys written TRUE; the others stay unwritten
  std::set<std::string> expected;
};

TEST_F(SelectViewTest, OffersTheShownRegisteredViewsByFamily) {
  const OfferCase kCases[] = {
      {"chart and sonar",
       {{CHART_VIEW_PRIORITY, "SVNA", true}, {SONAR_VIEW_PRIORITY, "SVSO", true}},
       0,
       {},
       {"Sonar", "Chart", "Sonar/Sonar View", "Chart/Chart View"}},
      {"a hidden radar view leaves no radar family",
       {{CHART_VIEW_PRIORITY, "SVNA", true}, {RADAR_VIEW_PRIORITY, "SVRD", false}},
       0,
       {},
       {"Chart", "Chart/Chart View"}},
      {"radar and system views",
       {{RADAR_PLUS_CHART_VIEW_PRIORITY, "SVRC", true}, {DIAGNOSTIC_GPS_CARTOGRAPHY, "SVGD", true}},
       0,
       {},
       {"Radar", "System", "Radar/Radar/Chart Combo View", "System/GPS Diagnostic View"}},
      {"no NMEA 2000 data: no Data family", {}, 0, {"IVNG"}, {}},
      {"NMEA 2000 data with only the gauge view", {}, 1, {"IVNG"}, {"Data", "Data/NMEA2K Gauge View"}},
      {"NMEA 2000 data, no view valid", {}, 1, {}, {}},
  };
  for (const OfferCase &c : kCases) {
    SCOPED_TRACE(c.pcName);
    for (const Shown &view : c.views) registerView(view.layer, view.pcKey, view.bVisible);
    H_DATABASE_bUpdateValueU32(FCID("SNID"), c.u32Snid, P_NORMAL);
    for (const char *pcKey : {"IVN1", "IVNE", "IVND", "IVNG"}) {
      H_DATABASE_vDeleteEntry(key(pcKey));
    }
    for (const char *pcKey : c.dataKeys) {
      H_DATABASE_bUpdateValueBoolean(key(pcKey), TRUE, P_NORMAL);
    }
    EXPECT_EQ(build(), c.expected);
    for (const Shown &view : c.views) unregisterView(view.layer);
    drainMenu();
  }
}

TEST_F(SelectViewTest, RemovalTakesOutEveryEntryAndFamily) {
  drainMenu();
  GUI_vUnRegisterSelectViewMenu();
  std::set<std::string> removed;
  while (void *pvMsg = L_MBOX_Receive(M_MENU)) {
    const auto *pMsg = static_cast<const MSG_REMOVE_MENU *>(pvMsg);
    if (pMsg->header.Cmd == CMD_ID_UNREGISTER_MENU_ITEM) {
      removed.insert(pMsg->pSubMenuName != nullptr ? std::string((*pMsg->pSubMenuName)[0]) + "/" + (*pMsg->pMenuName)[0]
                                                   : std::string((*pMsg->pMenuName)[0]));
    }
    H_MEMORY_vDumpMail(pvMsg);
  }
  EXPECT_EQ(removed.size(), 20u + 4u + 5u);
  for (const char *pcName : {"Sonar", "Chart", "Radar", "Data", "System", "Data/NMEA2K Gauge View", "Chart/Chart View"}) {
    EXPECT_TRUE(removed.count(pcName)) << pcName;
  }
}

TEST_F(SelectViewTest, ChoosingShowsTheViewOrRefusesOneNoLongerRegistered) {
  registerView(CHART_VIEW_PRIORITY, "SVNA", true);
  registerView(SONAR_VIEW_PRIORITY, "SVSO", true);
  build();
  ASSERT_TRUE(m_actions.count("Chart View"));
  ASSERT_TRUE(m_actions.count("Sonar View"));
  drainView();
  bTakeSignal(SEMA_KEYCLICK_GOOD);
  bTakeSignal(SEMA_KEYCLICK_BAD);

  // Hidden after the menu was built: choosing it shows it again.
  H_DATABASE_bUpdateValueBoolean(FCID("SVNA"), FALSE, P_NORMAL);
  m_actions["Chart View"]();
  BOOLEAN bShown = FALSE;
  H_DATABASE_bFetchBoolean(FCID("SVNA"), &bShown, nullptr, nullptr);
  EXPECT_TRUE(bShown);
  EXPECT_TRUE(bTakeSignal(SEMA_KEYCLICK_GOOD));
  EXPECT_EQ(drainView(), std::vector<U32>{CHART_VIEW_PRIORITY});
  int nClears = 0;
  drainMenu(&nClears);
  EXPECT_EQ(nClears, 1);

  // Unregistered after the menu was built: refused, nothing asked of the view task.
  H_DATABASE_bUpdateValueU32(FCID("CVEW"), CHART_VIEW_PRIORITY, P_NORMAL);
  unregisterView(SONAR_VIEW_PRIORITY);
  m_actions["Sonar View"]();
  EXPECT_TRUE(bTakeSignal(SEMA_KEYCLICK_BAD));
  EXPECT_FALSE(bTakeSignal(SEMA_KEYCLICK_GOOD));
  EXPECT_TRUE(drainView().empty());
  U32 u32View = 0;
  H_DATABASE_bFetchU32(FCID("CVEW"), &u32View, nullptr, nullptr);
  EXPECT_EQ(u32View, static_cast<U32>(CHART_VIEW_PRIORITY));
}

}  // namespace
