#include "ProviderError.h"
