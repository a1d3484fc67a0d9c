#pragma once

#include "tools/pourwise-dose/DoseCommandLine.h"
#include "tools/pourwise-dose/output/OutputBuffer.h"

#include <cstdio>

// Computes the dose of the participant given on the command line and prints the three volumes,
// with the intermediates first if asked. Returns the exit status; the caller flushes the output.
namespace OneParticipant {
int run(const DoseRequest &request, OutputBuffer &output, std::FILE *errors);
}
