#include "osd/OsdFont.h"
