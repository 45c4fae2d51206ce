#include "MetaPrompt.h"
