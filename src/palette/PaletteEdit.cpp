#include "palette/PaletteEdit.h"
