// Kept for callers of the earlier stand-in: the menu clients are in ui/menu.h, the dialog box in ui/dialog.h.
#pragma once
#include "ui/dialog.h"
#include "ui/menu.h"
