#pragma once

#include "calc/dose/BodyUnits.h"
#include "calc/dose/DoseValues.h"
#include "calc/dose/Protocol.h"
#include "calc/dose/SessionPlan.h"
#include "calc/study/StudyTables.h"
#include "tools/pourwise-dose/LevelOptions.h"
#include "tools/pourwise-dose/ParticipantReader.h"
#include "tools/pourwise-dose/SessionOptions.h"

#include <QByteArray>

class QCommandLineParser;
#include <QString>
#include <QStringList>

#include <array>
#include <optional>

// What the command line asks for, after the usage rules have been checked.
struct DoseRequest {
    enum class Mode { Help, Version, OneParticipant, Roster, CheckRecords, StudyTable };
    Mode mode = Mode::OneParticipant;
    // One participant: the text of every value as given (UTF-8), or the parameter's default.
    std::array<QByteArray, DoseValues.size()> values; // indexed by DoseValue
    // One participant: the units of the height and weight given.
    BodyUnits units = BodyUnits::InchesPounds;
    // One participant: the target is given with --target in the unit of levels, not with --bal.
    bool targetInLevelUnit = false;
    // --level-unit and --breath-ratio, for one participant or every row.
    LevelOptions::Choice level;
    // --protocol: its parameters where the command line gives none, and its limits.
    std::optional<Protocol> protocol;
    // One participant: no --bal or --target, so the target is the protocol's.
    bool targetFromProtocol = false;
    bool explain = false;
    QString rosterPath;                      // "-" for standard input
    bool check = false;                      // roster: add the warning column
    bool spreadsheetSafe = false;            // roster, study table: guard formula-like cells
    std::optional<SessionPlanSettings> plan; // --plan, for one participant or every row
    bool band = false;                       // --band, with the plan
    SessionRequest session;                  // with --plan, for one participant
    QStringList recordFiles; // --check-record, or a study's table: the records, or folders of them
    StudyTableKind studyTable = StudyTableKind::Sessions; // --sessions, --readings, --achievement
    StudyCounting counting;                               // a study's table: --include-unverified
};

// Parses the arguments of pourwise-dose. Options are "--name value" or "--name=value"; a single
// dash works as well.
class DoseCommandLine {
public:
    // False for a usage error, described by errorText().
    bool parse(const QStringList &arguments);

    const DoseRequest &request() const { return m_request; }
    const QString &errorText() const { return m_errorText; }

    static QString helpText();
    static QString versionText();

    // "--height-cm" for the height in centimetres.
    static QString optionName(DoseValue value, BodyUnits units = BodyUnits::InchesPounds);
    // "--target" for a target in the unit of levels.
    static QString optionName(DoseValue value, const ReadingUnits &units);

private:
    bool fail(const QString &text);
    bool readProtocol(const QCommandLineParser &parser);
    // --check-record (no table) or a study's table: false for a usage error.
    bool readRecordRequest(const QCommandLineParser &parser, const QString &option,
                           std::optional<StudyTableKind> table);
    SessionPlanSettings planDefaults() const;
    // The protocol's text of a dosing parameter, as given on the command line; empty for none.
    QByteArray protocolText(DoseValue value) const;

    DoseRequest m_request;
    QString m_errorText;
};
