#include "osd/OsdSources.h"
