#pragma once

#include "calc/dose/LevelUnits.h"

#include <QString>

class QCommandLineParser;

// The command line's unit of levels: --level-unit UNIT and --breath-ratio R. The target may then
// be given with --target in that unit, and --release is read in it.
namespace LevelOptions {

struct Choice {
    LevelScale scale;
    bool unitGiven = false; // --level-unit: the outputs gain the peak in the unit
    bool given = false;     // any of the level options
};

void add(QCommandLineParser &parser);

// The unit and ratio asked for into `choice`. False for a usage error, described in `errorText`.
bool read(const QCommandLineParser &parser, Choice &choice, QString &errorText);

// The options' part of --help, with an example of each kind of unit.
QString helpText();

} // namespace LevelOptions
