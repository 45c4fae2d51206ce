#include "Preset.h"
