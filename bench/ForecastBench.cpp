// How well the personal forecast does on simulated participants, 1,000 of each sex with the
// fixed seed: the figures docs/model.md quotes. Not a timed test; run it by hand with
//   ninja run-forecast-bench        or        bench/pourwise-forecast-bench [PARTICIPANTS]

#include "calc/dose/DosingState.h"
#include "calc/dose/PersonalForecast.h"
#include "calc/dose/PersonalSimulation.h"

#include <cstdio>
#include <cstdlib>

namespace {

void print(const char *sex, std::int16_t gender, int participants)
{
    const SimulationFigures figures = simulatePersonalForecast(gender, participants);
    std::printf("%d simulated %s, seed %llu, reading SD %.3f g/100 ml, release level 0.02\n",
                figures.participants, sex,
                static_cast<unsigned long long>(PersonalSimulation::Seed),
                PersonalPrior::ReadingSd);
    std::printf("  readings  shown   80 %% band holds the true release  median error  "
                "median width\n");
    for (const ForecastFigures &after : figures.after)
        std::printf("  %8d  %4.0f %%  %33.1f %%  %8.0f min  %8.0f min\n", after.readings,
                    after.applies * 100, after.coverage * 100, after.medianError,
                    after.medianWidth);
    std::printf("  the plan's release time: median error %.0f min\n\n", figures.planMedianError);
}

} // namespace

int main(int argc, char **argv)
{
    const int participants = argc > 1 ? std::atoi(argv[1]) : 1000;
    if (participants < 1) {
        std::fprintf(stderr, "ERROR: the number of participants must be a whole number above 0\n");
        return 1;
    }
    print("men", Gender::Male, participants);
    print("women", Gender::Female, participants);
    return 0;
}
