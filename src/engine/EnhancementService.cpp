#include "EnhancementService.h"
