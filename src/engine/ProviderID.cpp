#include "ProviderID.h"
