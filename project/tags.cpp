// LOADTAGS and FindTagIndex.
#include "app/frmMAIN.h"
#include "fault/trap.h"
#include "project/mGENERAL.h"
