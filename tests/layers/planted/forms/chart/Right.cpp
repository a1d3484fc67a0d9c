// Right's source includes Left, whose header includes Right: two units round a loop.
#include "forms/chart/Left.h"
