#include "project/datasetfile.h"
