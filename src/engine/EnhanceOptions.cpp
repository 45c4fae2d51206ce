#include "EnhanceOptions.h"
