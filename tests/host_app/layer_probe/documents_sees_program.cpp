// Must not compile: the documents library does not see the program above it.
#include "program/host_application.h"
