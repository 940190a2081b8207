// The view-selection menu of a long VIEW press: the shown views grouped in families as the hot menu of the
// virtual display layer; choosing an entry asks the view task to show that view.
#pragma once
#include <atomic>

#include "view/view.h"
#include "settings/database.h"
#include "settings/language.h"
#include "ui/menu/menu_priority.h"

class CViewSelectMenu {
 public:
  typedef void (*pFun)(void);

  // One selectable view.
  typedef struct tag_View {
    const ARRAY_OF_STRING_PTRS *pSubMenuItem;     // the entry
    const ARRAY_OF_STRING_PTRS *pParentMenuItem;  // its family
    MENU_PRIORITY pri;                            // order in the family: the view's layer
    pFun fun;
    FOURCHARID fcid;                              // the view's display key
    std::atomic<BOOLEAN> bRegistered;             // written by the view task, read by the keyboard task
  } VIEW;

  CViewSelectMenu();
  ~CViewSelectMenu();
  static CViewSelectMenu *pGetInstance();
  void vRegisterMenuItem();
  void vUnRegisterMenuItem();
  void vSetViewRegisteration(U32 LayerID, BOOLEAN bRegister);
  // The menu action of one view: shows it when its layer is registered.
  template <LAYER_ID layer, FOURCHARID key>
  static void vSetView();

 private:
  pFun m_Fun;
  static VIEW viewInfo[20];
};

BOOLEAN bMoreThenOneEngine(void);

// Tests: every row back to not registered.
void SELECT_VIEW_vResetForTest(void);
