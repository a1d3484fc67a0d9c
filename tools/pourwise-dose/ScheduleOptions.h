#pragma once

#include <QList>
#include <QString>

class QCommandLineParser;

// A portion served as given: its number and whole minutes after the start of drinking.
struct GivenServing {
    int portion = 0;
    int atMinute = 0;
};

// What is due in the session on the command line: --served N=MIN (repeatable) marks portions
// served as the window does, and --schedule with --now MIN prints the schedule at that minute.
struct ScheduleRequest {
    QList<GivenServing> served;
    bool schedule = false;
    int nowMinute = 0;

    bool any() const { return !served.isEmpty() || schedule; }
};

namespace ScheduleOptions {

void add(QCommandLineParser &parser);

// As SessionOptions::read: each belongs to the plan of one participant.
bool read(const QCommandLineParser &parser, bool roster, bool plan, ScheduleRequest &schedule,
          QString &errorText);

bool repeatable(const QString &option);

// The options' part of --help, with the worked example.
QString helpText();

} // namespace ScheduleOptions
