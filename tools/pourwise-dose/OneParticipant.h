#pragma once

#include "tools/pourwise-dose/DoseCommandLine.h"

#include <cstdio>

// Computes the dose of the participant given on the command line and prints the three volumes,
// with the intermediates first if asked. Returns the exit status.
namespace OneParticipant {
int run(const DoseRequest &request, std::FILE *output, std::FILE *errors);
}
