#pragma once

#include "calc/dose/Booster.h"
#include "calc/dose/DoseEvaluation.h"
#include "calc/dose/Protocol.h"
#include "calc/session/SessionFault.h"
#include "calc/session/SessionRecord.h"
#include "calc/session/SessionReport.h"

#include <QByteArray>
#include <QDateTime>
#include <QLocale>
#include <QObject>
#include <QString>
#include <QStringList>
#include <QTime>
#include <optional>

// The protocol a new session is dosed under.
struct SessionProtocol {
    std::optional<Protocol> protocol; // its limits judge the dose and a booster
    QString name;                     // as the record names it
    QByteArray sha256;                // of its file as read, lower-case hex
};

// Where the record is kept. Writing the file is the front end's (see RecordFile); the session
// only knows whether and where it was saved.
enum class RecordState {
    NotSaved, // a new session, not yet saved
    Saved,    // saved to path(): every entry is written there as it is made
    ReadOnly, // opened from a file and not to be added to, for readOnlyReason()
};

// What an operation would do: refused, or done once each question is answered yes.
struct SessionCheck {
    SessionRefusal refusal;
    QStringList questions;

    bool refused() const { return refusal.refused(); }
};

// One participant's session: its record and every operation on it. The windows and the command
// line only call these operations and present evaluateSession's report. An operation either adds
// an entry to the record (and emits changed()) or returns a refusal; an entry is never changed or
// removed. Clock times are the operator's, turned into minutes after the start of drinking by
// SessionClock; `now` is always given, never read from the clock here.
class Session : public QObject {
    Q_OBJECT

public:
    // A new session of `input` with the plan's choices, starting at the next five minutes.
    Session(const DoseInput &input, const SessionPlanSettings &plan,
            const SessionProtocol &protocol, const QString &programVersion, const QDateTime &now,
            QObject *parent = nullptr);
    // A session read from `path`; read-only when `readOnlyReason` says why. `protocol` is the
    // protocol the record names, when the front end has it (its file's SHA-256 is the record's).
    Session(SessionRecord record, const QString &path, const QString &readOnlyReason = {},
            const std::optional<Protocol> &protocol = std::nullopt, QObject *parent = nullptr);

    const SessionRecord &record() const { return m_record; }
    const std::optional<Protocol> &protocol() const { return m_protocol; }
    // How many readings release the participant: the protocol's, else one; the command line may
    // ask for others.
    const ReleaseRule &releaseRule() const { return m_release; }
    void setReleaseRule(const ReleaseRule &rule) { m_release = rule; }
    // The regional format of the session's words (refusals and questions).
    const QLocale &locale() const { return m_locale; }
    void setLocale(const QLocale &locale) { m_locale = locale; }

    // The record's state. The front end saves the record (after prepareToSave) and says so with
    // setSaved, then writes it again after every change and says so with setEntriesSaved; neither
    // emits changed().
    RecordState state() const;
    QString path() const { return m_path; }
    QString readOnlyReason() const { return m_readOnlyReason; }
    bool hasUnsavedEntries() const { return m_unsavedEntries; }
    SessionRefusal prepareToSave(const QDateTime &now);
    // Saved at `path`, where every entry is written from now on; a session that had stopped
    // recording goes on there.
    void setSaved(const QString &path);
    void setEntriesSaved();
    // The file is no longer the session's to write (another program or window changed it): the
    // session is read-only for `reason`, and the entries not saved stay unsaved until setSaved
    // names a new file.
    void stopRecording(const QString &reason);
    bool recordingStopped() const { return m_stopped; }
    // A version-1 record goes on in the current version, as the operator agreed: a correction of
    // the setup that changes nothing and says so (ChangeReason::ContinuedFromVersionOne) keeps it
    // in the record's history. Nothing is done for a record of the current version.
    void continueFromVersionOne(const QDateTime &now);

    // The operator's initials, asked once before the first entry and carried by every entry.
    QString operatorInitials() const { return m_initials; }
    SessionRefusal setOperatorInitials(const QString &initials);

    // The setup changes only before the first entry and before the record has a file (the
    // session code until the file); each change computes the dose, the plan and its portions
    // again. Afterwards the start of drinking and the release level are corrected (entry 1).
    bool setupFixed() const;
    SessionRefusal setSessionCode(const QString &code);
    SessionRefusal setBeverage(bool placebo, float floatMl);
    SessionRefusal setStart(const QDateTime &start); // local time; the seconds are left out
    SessionRefusal setPortions(int portions);
    SessionRefusal setReleaseLevel(float level); // in the lab's unit

    // `clock` as minutes after the start of drinking in force.
    int minuteOf(const QTime &clock) const;

    // Each entry at a clock time the operator typed, or at a minute after the start (as the
    // command line gives it). `level` is in the lab's unit.
    SessionCheck checkServed(int portion, const QTime &clock, const QDateTime &now) const;
    SessionCheck checkServed(int portion, int minute, const QDateTime &now) const;
    SessionRefusal markServed(int portion, const QTime &clock, const QDateTime &now);
    SessionRefusal markServed(int portion, int minute, const QDateTime &now);
    SessionCheck checkReading(const QTime &clock, float level, const QDateTime &now) const;
    SessionCheck checkReading(int minute, float level, const QDateTime &now) const;
    SessionRefusal addReading(const QTime &clock, float level, const QDateTime &now);
    SessionRefusal addReading(int minute, float level, const QDateTime &now);
    SessionCheck checkBooster(const QTime &clock, float drinkingMinutes,
                              const QDateTime &now) const;
    SessionCheck checkBooster(int minute, float drinkingMinutes, const QDateTime &now) const;
    SessionRefusal serveBooster(const QTime &clock, float drinkingMinutes, const QDateTime &now);
    SessionRefusal serveBooster(int minute, float drinkingMinutes, const QDateTime &now);

    // A correction gives every value the entry records (see valuesInForce), in the record's
    // units: minutes after the start, a reading in the lab's unit, the release level in g/100 ml.
    EntryValues valuesInForce(int entry) const;
    SessionCheck checkCorrection(int entry, const EntryValues &values, const QString &reason,
                                 const QDateTime &now) const;
    SessionRefusal correct(int entry, const EntryValues &values, const QString &reason,
                           const QDateTime &now);
    SessionCheck checkVoid(int entry, const QString &reason) const;
    SessionRefusal voidEntry(int entry, const QString &reason, const QDateTime &now);

signals:
    void changed();

private:
    SessionReport reportAt(const QDateTime &now, std::optional<int> boosterAtMinute = std::nullopt,
                           float boosterMinutes = Booster::DefaultDrinkingMinutes) const;
    SessionRefusal setupRefusal() const;
    DoseReport doseOf(const SessionSetup &setup) const;
    SessionRefusal applySetup(SessionSetup setup);
    SessionRefusal entryRefusal(const SessionReport &report) const;
    SessionRefusal timeRefusal(const SessionReport &report, int minute, bool served,
                               const QDateTime &now) const;
    QStringList readingQuestions(const SessionReport &report, int minute, float level,
                                 int exceptEntry) const;
    SessionCheck checkChange(int entry, const QString &reason, bool voiding) const;
    void stampSetup(const QDateTime &now);
    void append(SessionEntry entry, const QDateTime &now);

    SessionRecord m_record;
    std::optional<Protocol> m_protocol;
    ReleaseRule m_release;
    QLocale m_locale;
    QString m_initials;
    QString m_path;
    QString m_readOnlyReason;
    bool m_saved = false;
    bool m_unsavedEntries = false;
    bool m_stopped = false;
};

// The record's entry `entry` for a portion of the plan, poured as planned and not yet served.
SessionEntry plannedPortionEntry(int entry, const ServedPortion &portion);

// What the session's report is made with: its protocol, release rule and regional format; the
// booster offered over `boosterMinutes` at `boosterAtMinute` (none: now).
SessionReportOptions sessionReportOptions(const Session &session,
                                          float boosterMinutes = Booster::DefaultDrinkingMinutes,
                                          std::optional<int> boosterAtMinute = std::nullopt);
// The session's report at `now`, made with sessionReportOptions.
SessionReport evaluateSession(const Session &session, const QDateTime &now,
                              float boosterMinutes = Booster::DefaultDrinkingMinutes,
                              std::optional<int> boosterAtMinute = std::nullopt);
