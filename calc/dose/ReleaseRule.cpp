#include "calc/dose/ReleaseRule.h"

#include <cmath>

bool acceptsConfirmingReadings(float readings)
{
    return readings >= ReleaseLimits::MinimumReadings &&
           readings <= ReleaseLimits::MaximumReadings && readings == std::trunc(readings);
}

bool acceptsMinutesApart(float minutes)
{
    return minutes >= ReleaseLimits::MinimumMinutesApart &&
           minutes <= ReleaseLimits::MaximumMinutesApart && minutes == std::trunc(minutes);
}
