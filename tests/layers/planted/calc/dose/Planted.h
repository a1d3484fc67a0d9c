#pragma once

// A dose header that reaches up into the study: the layer check must refuse it.
#include "calc/study/StudyTables.h"
