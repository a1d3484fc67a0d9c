#pragma once

#include "forms/chart/Right.h"
