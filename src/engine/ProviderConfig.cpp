#include "ProviderConfig.h"
