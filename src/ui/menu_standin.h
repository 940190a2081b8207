// Stand-in header kept for the modules that still include it: the menu clients are in ui/menu.h, the dialog
// box in ui/dialog.h.
#pragma once
#include "graphics/bitmap.h"
#include "ui/dialog.h"
#include "ui/menu.h"
