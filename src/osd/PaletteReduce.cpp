#include "osd/PaletteReduce.h"
