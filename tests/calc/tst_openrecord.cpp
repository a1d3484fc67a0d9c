#include "calc/FaultTexts.h"
#include "calc/record/OpenedRecord.h"
#include "tests/support/DamagedRecords.h"
#include "tests/support/RecordPlaces.h"
#include "tests/support/ReferenceFiles.h"

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
    switch (check) {
    case RecordCheck::Unverified:
        return RecordStatus::Unverified;
    case RecordCheck::Cut:
        return RecordStatus::Cut;
    case RecordCheck::Changed:
        return RecordStatus::Changed;
    case RecordCheck::Ok:
        break;
    }
    return RecordStatus::Ok;
}

} // namespace

// Every reference file, every damaged copy the reader's tests make and every place a record's
// path may lead to, opened as the window, the command line and a study's tables open it.
class TestOpenRecord : public QObject {
    Q_OBJECT

private slots:
    void opened_data();
    void opened();
    void counts_data();
    void counts();
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
    const QString cut = recordCheckReason(RecordCheck::Cut);
    const QString changed = recordCheckReason(RecordCheck::Changed);
    const QString differs = recordDoseDiffersReason();
    const auto row = [](const char *name, const QByteArray &file, const char *place,
                        const QByteArray &inUse, S status, const QString &readOnly, bool limits,
                        bool session) {
        QTest::newRow(name) << file << QString::fromLatin1(place) << inUse << status << readOnly
                            << limits << session;
    };
    const QByteArray v2 = bytes("v2-alcohol.csv");
    row("v1-alcohol.csv", bytes("v1-alcohol.csv"), "file", {}, S::Unverified, {}, false, true);
    row("v1-placebo.csv", bytes("v1-placebo.csv"), "file", {}, S::Unverified, {}, false, true);
    row("v1-breath.csv", bytes("v1-breath.csv"), "file", {}, S::Unverified, {}, false, true);
    row("v2-alcohol.csv", v2, "file", {}, S::Ok, {}, false, true);
    row("v2-placebo.csv", bytes("v2-placebo.csv"), "file", {}, S::Ok, {}, false, true);
    row("v2-breath.csv", bytes("v2-breath.csv"), "file", {}, S::Ok, {}, false, true);

    // Its protocol's limits judge it only under the very protocol file it names.
    row("v2-alcohol.csv under Arm A", v2, "file", ArmA, S::Ok, {}, true, true);
    row("v2-alcohol.csv under another protocol", v2, "file", QByteArray(64, 'a'), S::Ok, {}, false,
        true);
    row("v1-alcohol.csv, naming none, under Arm A", bytes("v1-alcohol.csv"), "file", ArmA,
        S::Unverified, {}, false, true);
    row("v1-alcohol.csv under limits set for the run", bytes("v1-alcohol.csv"), "file", "-",
        S::Unverified, {}, false, true);
    row("cut:v2-alcohol.csv under Arm A", bytes("cut:v2-alcohol.csv"), "file", ArmA, S::Cut, cut,
        true, true);

    row("cut:v2-alcohol.csv", bytes("cut:v2-alcohol.csv"), "file", {}, S::Cut, cut, false, true);
    row("changed:v2-alcohol.csv", bytes("changed:v2-alcohol.csv"), "file", {}, S::Changed, changed,
        false, true);
    row("restarted:v2-alcohol.csv", bytes("restarted:v2-alcohol.csv"), "file", {}, S::Changed,
        changed, false, true);
    row("blank:v2-alcohol.csv", bytes("blank:v2-alcohol.csv"), "file", {}, S::Changed, changed,
        false, true);
    row("formula:v2-alcohol.csv", bytes("formula:v2-alcohol.csv"), "file", {}, S::Changed, changed,
        false, true);
    row("boosted:v2-alcohol.csv", bytes("boosted:v2-alcohol.csv"), "file", {}, S::Ok, {}, false,
        true);
    row("unserved:v1-alcohol.csv", bytes("unserved:v1-alcohol.csv"), "file", {}, S::Unverified, {},
        false, true);
    row("older:v1-alcohol.csv", bytes("older:v1-alcohol.csv"), "file", {}, S::DoseDiffers, differs,
        false, true);
    row("escape:v2-alcohol.csv", bytes("escape:v2-alcohol.csv"), "file", {}, S::Unreadable, {},
        false, false);
    row("garbage:v2-alcohol.csv", bytes("garbage:v2-alcohol.csv"), "file", {}, S::Unreadable, {},
        false, false);

    // The file itself forbids adding to it before its dose does; its end row before the file.
    row("marked read-only", v2, "read-only", {}, S::Ok, recordReadOnlyFileReason(), false, true);
    if (RecordPlaces::HardLinks)
        row("a second name", v2, "hard link", {}, S::Ok, recordHardLinkedReason(2), false, true);
    row("cut, marked read-only", bytes("cut:v2-alcohol.csv"), "read-only", {}, S::Cut, cut, false,
        true);
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

    for (const DamagedRecords::Refused &copy : DamagedRecords::refused())
        row(copy.name, copy.file, "file", {}, S::Unreadable, {}, false, false);
    for (const DamagedRecords::Read &copy : DamagedRecords::read()) {
        const S status = statusOf(copy.check);
        const QString readOnly = status == S::Cut       ? cut
                                 : status == S::Changed ? changed
                                                        : QString();
        row(copy.name, copy.file, "file", {}, status, readOnly, false, true);
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

void TestOpenRecord::counts_data()
{
    QTest::addColumn<QString>("source");
    QTest::addColumn<int>("entries"); // the plan counted
    QTest::addColumn<int>("corrections");
    QTest::addColumn<int>("voids");

    QTest::newRow("v1-alcohol.csv") << "v1-alcohol.csv" << 9 << 0 << 0;
    QTest::newRow("v2-alcohol.csv") << "v2-alcohol.csv" << 18 << 3 << 1;
    QTest::newRow("garbage:v2-alcohol.csv") << "garbage:v2-alcohol.csv" << 0 << 0 << 0;
}

// The counts pourwise-dose --check-record prints and a study's tables give.
void TestOpenRecord::counts()
{
    QFETCH(QString, source);
    QFETCH(int, entries);
    QFETCH(int, corrections);
    QFETCH(int, voids);
    const QString file = ReferenceFiles::fileOf(source);
    const OpenedRecord opened =
        openRecord(RecordReader::read(ReferenceFiles::bytes(source), file), file);
    QCOMPARE(opened.entries, entries);
    QCOMPARE(opened.corrections, corrections);
    QCOMPARE(opened.voids, voids);
}

QTEST_GUILESS_MAIN(TestOpenRecord)
#include "tst_openrecord.moc"
