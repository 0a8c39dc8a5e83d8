#include "rod/nodes.h"
