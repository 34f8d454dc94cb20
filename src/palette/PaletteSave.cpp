#include "palette/PaletteSave.h"
