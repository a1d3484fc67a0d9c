#pragma once

// Run before anything opens a file. A standard stream closed by the caller (`pourwise-dose ...
// >&-`) leaves its descriptor free, and the next file opened takes it: Qt's event notifier did,
// so the doses went into it and the run ended with success. Each closed one is taken by
// /dev/null opened the wrong way round instead, so writing to a closed standard output (or
// reading a closed standard input) fails like any other write or read, and is reported.
void reserveClosedStandardDescriptors();
