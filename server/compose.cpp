#include "server/compose.h"
