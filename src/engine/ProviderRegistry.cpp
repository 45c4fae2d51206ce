#include "ProviderRegistry.h"
