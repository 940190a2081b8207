// The menu clients are in ui/menu.h and the dialog box in ui/dialog.h; this header gathers both for the
// modules that still include it, and declares what the menu task itself still lacks.
#pragma once
#include "graphics/bitmap.h"
#include "ui/dialog.h"
#include "ui/menu.h"
