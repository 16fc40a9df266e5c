// The one header of the main program's resource script (app/corvanix.rc):
// each id is defined once, with the layer that uses it.
#pragma once

#include "dialogs/controlids.h"
#include "panes/commandids.h"
