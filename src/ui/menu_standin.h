// The menu clients are in ui/menu.h and the dialog box in ui/dialog.h; this header only gathers them for the
// modules that still include it.
#pragma once
#include "ui/dialog.h"
#include "ui/menu.h"
