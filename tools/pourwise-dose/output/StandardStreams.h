#pragma once

// Run first, before anything opens a file or writes.
//
// On POSIX systems: a standard stream closed by the caller (`pourwise-dose ... >&-`) leaves its
// descriptor free, and the next file opened takes it: Qt's event notifier did, so the doses went
// into it and the run ended with success. Each closed one is taken by /dev/null opened the wrong
// way round instead, so writing to a closed standard output (or reading a closed standard input)
// fails like any other write or read, and is reported.
//
// On Windows: standard input and output carry the same bytes as on other systems (no "\r\n" for
// "\n", no end of file at Ctrl+Z), so a script's output is the same everywhere, and a console
// shows the UTF-8 text the program writes.
void prepareStandardStreams();
