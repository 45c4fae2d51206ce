#include "AnthropicProvider.h"
