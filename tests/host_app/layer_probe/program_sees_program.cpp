// Must compile: each library sees its own headers and those below it.
#include "documents/host_session.h"
#include "program/host_application.h"
