#include "server/link.h"
