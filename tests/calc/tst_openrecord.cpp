#include "calc/record/OpenedRecord.h"
#include "calc/record/RecordFaultTexts.h"
#include "tests/support/DamagedRecords.h"
#include "tests/support/RecordPlaces.h"
#include "tests/support/ReferenceFiles.h"
#include "tests/support/ReferenceRecords.h"

#include <QTemporaryDir>
#include <QTest>

Q_DECLARE_METATYPE(RecordStatus)

namespace {

using ReferenceFiles::bytes;

// The SHA-256 v2-alcohol.csv records for its protocol, "Arm A".
const QByteArray ArmA = "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad";

// What a record whose end row says `check` opens as, its dose as recorded.
RecordStatus statusOf(RecordCheck check)
{
    return check == RecordCheck::Cut          ? RecordStatus::Cut
           : check == RecordCheck::Changed    ? RecordStatus::Changed
           : check == RecordCheck::Unverified ? RecordStatus::Unverified
                                              : RecordStatus::Ok;
}

// Why a record of `status` is read-only, by its contents alone.
QString readOnlyOf(RecordStatus status)
{
    return status == RecordStatus::Cut           ? recordCheckReason(RecordCheck::Cut)
           : status == RecordStatus::Changed     ? recordCheckReason(RecordCheck::Changed)
           : status == RecordStatus::DoseDiffers ? recordDoseDiffersReason()
                                                 : QString();
}

} // namespace

// Every reference file, every damaged copy the reader's tests make and every place a record's
// path may lead to, opened as the window, the command line and a study's tables open it.
class TestOpenRecord : public QObject {
    Q_OBJECT

private slots:
    void opened_data();
    void opened();
};

void TestOpenRecord::opened_data()
{
    QTest::addColumn<QByteArray>("file"); // the record's bytes
    // Where its path leads: "file" (the bytes there), "hard link" or "read-only" (the file given
    // a second name or marked so), or a place of RecordPlaces, beside the file of v2-alcohol.csv.
    QTest::addColumn<QString>("place");
    // The SHA-256 of the protocol in use; "-": limits set for the run, from no file; empty: none.
    QTest::addColumn<QByteArray>("inUse");
    QTest::addColumn<RecordStatus>("status");
    QTest::addColumn<QString>("readOnly");
    QTest::addColumn<bool>("limits");
    QTest::addColumn<bool>("session");

    using S = RecordStatus;
    const auto row = [](const char *name, const QByteArray &file, const char *place,
                        const QByteArray &inUse, S status, const QString &readOnly, bool limits,
                        bool session) {
        QTest::newRow(name) << file << QString::fromLatin1(place) << inUse << status << readOnly
                            << limits << session;
    };
    // A file with a record, as it stands at the record's path.
    const auto file = [&row](const char *name, const QByteArray &bytes, S status) {
        row(name, bytes, "file", {}, status, readOnlyOf(status), false, status != S::Unreadable);
    };
    for (const ReferenceRecord &reference : ReferenceRecords::all())
        file(reference.file, bytes(reference.file), statusOf(reference.check));
    const std::pair<const char *, S> copies[] = {{"cut:v2-alcohol.csv", S::Cut},
                                                 {"changed:v2-alcohol.csv", S::Changed},
                                                 {"restarted:v2-alcohol.csv", S::Changed},
                                                 {"blank:v2-alcohol.csv", S::Changed},
                                                 {"formula:v2-alcohol.csv", S::Changed},
                                                 {"boosted:v2-alcohol.csv", S::Ok},
                                                 {"unserved:v1-alcohol.csv", S::Unverified},
                                                 {"older:v1-alcohol.csv", S::DoseDiffers},
                                                 {"escape:v2-alcohol.csv", S::Unreadable},
                                                 {"garbage:v2-alcohol.csv", S::Unreadable}};
    for (const auto &[source, status] : copies)
        file(source, bytes(source), status);
    for (const DamagedRecords::Refused &copy : DamagedRecords::refused())
        file(copy.name, copy.file, S::Unreadable);
    for (const DamagedRecords::Read &copy : DamagedRecords::read())
        file(copy.name, copy.file, statusOf(copy.check));

    // Its protocol's limits judge it only under the very protocol file it names.
    const QByteArray v2 = bytes("v2-alcohol.csv");
    const QByteArray v1 = bytes("v1-alcohol.csv");
    row("under Arm A", v2, "file", ArmA, S::Ok, {}, true, true);
    row("under another protocol", v2, "file", QByteArray(64, 'a'), S::Ok, {}, false, true);
    row("naming none, under Arm A", v1, "file", ArmA, S::Unverified, {}, false, true);
    row("under limits set for the run", v1, "file", "-", S::Unverified, {}, false, true);
    row("cut, under Arm A", bytes("cut:v2-alcohol.csv"), "file", ArmA, S::Cut, readOnlyOf(S::Cut),
        true, true);

    // The file itself forbids adding to it before its dose does; its end row before the file.
    row("marked read-only", v2, "read-only", {}, S::Ok, recordReadOnlyFileReason(), false, true);
    if (RecordPlaces::HardLinks)
        row("a second name", v2, "hard link", {}, S::Ok, recordHardLinkedReason(2), false, true);
    row("cut, marked read-only", bytes("cut:v2-alcohol.csv"), "read-only", {}, S::Cut,
        readOnlyOf(S::Cut), false, true);
    row("its dose differs, marked read-only", bytes("older:v1-alcohol.csv"), "read-only", {},
        S::DoseDiffers, recordReadOnlyFileReason(), false, true);

    for (const char *place : {"record", "link to record", "link to /dev/zero", "folder",
                              "link to folder", "large", "pipe", "nothing"}) {
        const bool record = QByteArray(place).endsWith("record");
#ifndef Q_OS_UNIX
        if (QByteArray(place) == "pipe")
            continue;
#endif
        row(place, {}, place, {}, record ? S::Ok : S::Unreadable, {}, false, record);
    }
}

void TestOpenRecord::opened()
{
    QFETCH(QByteArray, file);
    QFETCH(QString, place);
    QFETCH(QByteArray, inUse);
    QFETCH(RecordStatus, status);
    QFETCH(QString, readOnly);
    QFETCH(bool, limits);
    QFETCH(bool, session);
    QTemporaryDir folder;
    QVERIFY(folder.isValid());
    const QString path = folder.filePath(QStringLiteral("P-017.csv"));
    const auto write = [](const QString &at, const QByteArray &bytes) {
        QFile out(at);
        return out.open(QIODevice::WriteOnly) && out.write(bytes) == bytes.size();
    };
    if (place == QLatin1String("file") || place == QLatin1String("read-only") ||
        place == QLatin1String("hard link")) {
        QVERIFY(write(path, file));
        if (place == QLatin1String("read-only"))
            QVERIFY(RecordPlaces::markReadOnly(path));
        else if (place == QLatin1String("hard link"))
            QVERIFY(RecordPlaces::hardLink(path));
    } else {
        const QString record = folder.filePath(QStringLiteral("record.csv"));
        const QString other = folder.filePath(QStringLiteral("folder"));
        QVERIFY(write(record, bytes("v2-alcohol.csv")) && QDir().mkpath(other));
        QVERIFY(RecordPlaces::make(place, record, path, other));
    }
    SessionProtocol protocol;
    if (!inUse.isEmpty())
        protocol = {Protocol{}, QStringLiteral("Arm A"), inUse == "-" ? QByteArray() : inUse};

    const OpenedRecord opened = openRecord(path, protocol);
    QCOMPARE(opened.status, status);
    QCOMPARE(opened.readOnlyReason, readOnly);
    QCOMPARE(opened.limitsApply, limits);
    QCOMPARE(opened.protocol.has_value(), limits);
    QCOMPARE(opened.record.has_value(), session);
    // What the operator is told first says why, when it is not to be added to.
    QCOMPARE(opened.messages.isEmpty(), status == RecordStatus::Ok && readOnly.isEmpty());
    QCOMPARE(opened.statusMessage.isEmpty(), status == RecordStatus::Ok);
}

QTEST_GUILESS_MAIN(TestOpenRecord)
#include "tst_openrecord.moc"
