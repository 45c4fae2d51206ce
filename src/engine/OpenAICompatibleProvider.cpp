#include "OpenAICompatibleProvider.h"
