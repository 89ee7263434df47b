#include "core/rule.h"
