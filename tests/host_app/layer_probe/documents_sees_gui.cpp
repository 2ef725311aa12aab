// Must not compile: the documents library does not see the windows.
#include "gui/main_frame.h"
