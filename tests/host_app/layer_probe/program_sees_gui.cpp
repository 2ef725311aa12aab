// Must not compile: the program library does not see the windows above it.
#include "gui/view_canvas.h"
