#include "calc/DosingState.h"

namespace Module1 {
DosingState dosingState;
} // namespace Module1
