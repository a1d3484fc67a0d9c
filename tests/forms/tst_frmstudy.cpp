#include "calc/record/RecordCsv.h"
#include "calc/record/RecordFaultTexts.h"
#include "calc/record/RecordReader.h"
#include "calc/record/RecordWriter.h"
#include "calc/study/StudyFiles.h"
#include "calc/study/StudyTables.h"
#include "forms/chart/BalChart.h"
#include "forms/common/OperatorMessage.h"
#include "forms/study/StudyPicture.h"
#include "forms/study/StudySortModel.h"
#include "forms/study/frmStudy.h"
#include "tests/support/AccessKeys.h"
#include "tests/support/ReferenceFiles.h"
#include "tests/support/SessionEntries.h"

#include <QAccessible>
#include <QHeaderView>
#include <QImage>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QSignalSpy>
#include <QTabWidget>
#include <QTableView>
#include <QTemporaryDir>
#include <QTest>
#include <QToolTip>
#include <memory>

namespace {

const QString TestData = QStringLiteral(POURWISE_TEST_DATA);

// A table as pourwise-dose writes it, made here from calc's own calls, record by record, and
// what it says it left out.
QByteArray commandLineTable(StudyTableKind kind, const QStringList &paths,
                            QStringList *leftOut = nullptr)
{
    StudyTable table(kind);
    QByteArray text = table.header();
    StudyFiles::forEach(
        paths,
        {.record = [&](const QString &file) { text += table.add(readStudyRecord(file)); },
         .emptyFolder = [](const QString &) {},
         .skipped = [&](StudyFiles::Skip why, const QString &path) { table.skip(why, path); }});
    text += table.finish();
    if (leftOut)
        *leftOut = table.leftOut().warnings();
    return text;
}

// What a table view shows, its header first, as CSV text: the columns it does not hide.
QByteArray shownAsCsv(const QTableView *view)
{
    const QAbstractItemModel *model = view->model();
    QByteArray text;
    for (int row = -1; row < model->rowCount(); ++row) {
        QList<QByteArray> cells;
        for (int column = 0; column < model->columnCount(); ++column) {
            if (!view->isColumnHidden(column))
                cells << (row < 0 ? model->headerData(column, Qt::Horizontal)
                                  : model->index(row, column).data())
                             .toString()
                             .toUtf8();
        }
        text += csvRow(cells);
    }
    return text;
}

// "code|protocol|beverage|peak[|after]": the worked example's session, as a study reads its
// version-2 record, under that code and protocol (empty: none), with "alcohol" or "placebo", its
// portions served and one reading at 70 minutes, its observed peak, in g/100 ml; with `after`, a
// booster at 100 minutes and a reading of `after` at 150.
StudyRecord studySession(const QString &session)
{
    const QStringList parts = session.split(QLatin1Char('|'));
    SessionRecord record = workedSession();
    record.setup.sessionCode = parts[0];
    record.setup.protocolName = parts[1];
    if (!parts[1].isEmpty())
        record.setup.protocolSha256 =
            "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad";
    if (parts[2] == QLatin1String("placebo")) {
        record.setup.placebo = true;
        record.setup.floatMl = 5;
        record.entries = workedPortions(stampAt("13:58:12"), true);
    }
    record.entries << servedEntry(5, 1, 0, stampAt("14:05:30"))
                   << servedEntry(6, 2, 13, stampAt("14:18:02"))
                   << servedEntry(7, 3, 27, stampAt("14:32:15"))
                   << readingEntry(8, 70, parts[3].toFloat(), stampAt("15:15:10"));
    if (parts.size() > 4)
        record.entries << boosterEntry(9, 100, 0.01f, 10, 10, 60, stampAt("15:45:00"))
                       << readingEntry(10, 150, parts[4].toFloat(), stampAt("16:35:00"));
    const QString file = parts[0] + QLatin1String(".csv");
    return studyRecord(file, RecordReader::read(RecordWriter::text(record), file));
}

// Whether `pixel` is nearer to `colour` than to the picture's other colours: a line of that
// colour, however thin, covers most of some pixel along it.
bool nearestIs(const QColor &pixel, const QColor &colour, const BalChart::Colours &picture)
{
    const auto distance = [](const QColor &a, const QColor &b) {
        return std::max({std::abs(a.red() - b.red()), std::abs(a.green() - b.green()),
                         std::abs(a.blue() - b.blue())});
    };
    return std::ranges::all_of(
        std::array{picture.base, picture.text, picture.grid, picture.target, picture.reading},
        [&](const QColor &other) {
            return other == colour || distance(pixel, colour) < distance(pixel, other);
        });
}

// Whether some pixel along `line`, or beside it, is in the target's colour.
bool drawnAlong(const QImage &image, const QLineF &line, const BalChart::Colours &colours)
{
    for (double t = 0.02; t < 1; t += 0.02) {
        for (int dy = -1; dy <= 1; ++dy) {
            const QPoint at = line.pointAt(t).toPoint() + QPoint(0, dy);
            if (nearestIs(image.pixelColor(at), colours.target, colours))
                return true;
        }
    }
    return false;
}

} // namespace

class TestFrmStudy : public QObject {
    Q_OBJECT

private:
    QStringList messages;
    std::unique_ptr<QTemporaryDir> temp;
    std::unique_ptr<frmStudy> form;

    template <typename T = QWidget> T *control(const char *name)
    {
        T *found = form->findChild<T *>(QLatin1String(name));
        if (!found)
            qFatal("no control %s", name);
        return found;
    }
    // The window, shown, summarising the records of `paths`; until all are read when `wait`.
    void summarise(const QStringList &paths, bool wait = true)
    {
        form = std::make_unique<frmStudy>(temp->path());
        form->show();
        QVERIFY(QTest::qWaitForWindowExposed(form.get()));
        QSignalSpy ready(form.get(), &frmStudy::summaryReady);
        form->summarise(paths);
        QVERIFY(!wait || ready.wait(20000));
    }
    QStringList inFolder(const QStringList &paths) const
    {
        QStringList full;
        for (const QString &path : paths)
            full << QDir(temp->path()).filePath(path);
        return full;
    }

private slots:
    void init()
    {
        temp = std::make_unique<QTemporaryDir>();
        QVERIFY(temp->isValid());
        messages.clear();
        QLocale::setDefault(QLocale::c());
        OperatorMessage::setCapture([this](const QString &text) { messages << text; });
    }
    void cleanup()
    {
        form.reset();
        OperatorMessage::setCapture({});
    }

    // Each table, saved as CSV and as shown, holds the very bytes pourwise-dose writes of the same
    // records, whatever they are worth. The window counts the records by status, asks the
    // operator to check those the command line warns of, and names the folders without a record.
    void tablesAreTheCommandLines_data()
    {
        QTest::addColumn<QStringList>("layout"); // see ReferenceFiles::makeFiles
        QTest::addColumn<QStringList>("given");
        QTest::addColumn<QString>("counts");
        QTest::addColumn<int>("toCheck");
        QTest::addColumn<QStringList>("empty"); // the folders the operator is told hold no record

        QStringList references;
        for (const char *file : {"v1-alcohol.csv", "v1-breath.csv", "v1-placebo.csv",
                                 "v2-alcohol.csv", "v2-breath.csv", "v2-placebo.csv"})
            references << QStringLiteral("%1=%1").arg(QLatin1String(file));
        QTest::newRow("the reference records, in the order given")
            << references << QStringList{"v2-placebo.csv", "v1-alcohol.csv", "v2-alcohol.csv",
                                         "v1-breath.csv",  "v2-breath.csv",  "v1-placebo.csv"}
            << "6 records: 3 counted, 3 unverified not counted" << 0 << QStringList();
        QTest::newRow("a folder with a cut, a changed record and a dose that differs")
            << QStringList{"study/a.csv=cut:v2-alcohol.csv", "study/b.csv=changed:v2-alcohol.csv",
                           "study/c.csv=older:v1-alcohol.csv"}
            << QStringList{"study"}
            << "3 records: 0 counted, 1 dose differs not counted, 1 cut not counted, 1 changed not "
               "counted"
            << 2 << QStringList();
        QTest::newRow("a record that cannot be read, one not there and an empty folder")
            << QStringList{"a.csv=v2-alcohol.csv", "b.csv=garbage:v2-alcohol.csv",
                           "empty/notes.txt="}
            << QStringList{"a.csv", "b.csv", "missing.csv", "empty"}
            << "3 records: 1 counted, 2 unreadable" << 2 << QStringList{"empty"};
        QTest::newRow("a record reached by two names, tabled once")
            << QStringList{"study/a.csv=v2-alcohol.csv"} << QStringList{"study", "study/a.csv"}
            << "1 record: 1 counted" << 0 << QStringList();
    }
    void tablesAreTheCommandLines()
    {
        QFETCH(QStringList, layout);
        QFETCH(QStringList, given);
        QFETCH(QString, counts);
        QFETCH(int, toCheck);
        QFETCH(QStringList, empty);
        QVERIFY(ReferenceFiles::makeFiles(QDir(temp->path()), layout));
        const QStringList paths = inFolder(given);
        summarise(paths);
        // Each table, its file's name and the view that shows it (none for the readings).
        for (const auto &[kind, name, view] :
             {std::tuple{StudyTableKind::Sessions, "sessions.csv", "tblSessions"},
              std::tuple{StudyTableKind::Readings, "readings.csv", ""},
              std::tuple{StudyTableKind::Achievement, "achievement.csv", "tblAchievement"}}) {
            QStringList leftOut;
            const QByteArray expected = commandLineTable(kind, paths, &leftOut);
            // What the achievement leaves out is told above the tables, as on the command line.
            if (kind == StudyTableKind::Achievement) {
                const auto *told = control<QLabel>("lblLeftOut");
                QCOMPARE(told->text(), leftOut.join(u'\n'));
                QCOMPARE(told->isVisibleTo(form.get()), !leftOut.isEmpty());
            }
            const QString saved = QDir(temp->path()).filePath(QLatin1String(name));
            QVERIFY(form->saveTable(kind, saved));
            QCOMPARE(ReferenceFiles::contentOf(saved), expected);
            if (*view)
                QCOMPARE(shownAsCsv(control<QTableView>(view)), expected);
        }
        QCOMPARE(control<QLabel>("lblCounts")->text(), counts);
        const auto *check = control<QLabel>("lblCheck");
        QCOMPARE(check->isVisibleTo(form.get()), toCheck > 0);
        QVERIFY2(check->text().startsWith(QStringLiteral("Check %1 of").arg(toCheck)),
                 qPrintable(check->text()));
        QStringList told;
        for (const QString &folder : inFolder(empty))
            told << studyFolderEmptyMessage(folder);
        QCOMPARE(messages, told.isEmpty() ? QStringList() : QStringList{told.join(u'\n')});
    }

    // A click on a column's heading sorts the sessions by it, the next the other way, the third
    // gives back the order the records were read in; rows alike keep that order.
    void sessionsSortByAColumn_data()
    {
        QTest::addColumn<QString>("column");
        QTest::addColumn<int>("clicks");
        QTest::addColumn<QString>("files"); // in tests/data, as the rows show them

        QTest::newRow("observed peak, ascending")
            << "observed_peak" << 1
            << "v1-placebo v2-placebo v1-alcohol v2-alcohol v1-breath v2-breath";
        QTest::newRow("observed peak, descending")
            << "observed_peak" << 2
            << "v1-breath v2-breath v1-alcohol v2-alcohol v1-placebo v2-placebo";
        QTest::newRow("observed peak, as read")
            << "observed_peak" << 3
            << "v1-alcohol v1-breath v1-placebo v2-alcohol v2-breath v2-placebo";
        QTest::newRow("peak / target, ascending: the placebos, without one, last")
            << "peak_vs_target" << 1
            << "v1-alcohol v1-breath v2-alcohol v2-breath v1-placebo v2-placebo";
    }
    void sessionsSortByAColumn()
    {
        QFETCH(QString, column);
        QFETCH(int, clicks);
        QFETCH(QString, files);
        summarise({TestData});
        control<QTabWidget>("tabStudy")->setCurrentWidget(control("pgSessions"));
        auto *view = control<QTableView>("tblSessions");
        QHeaderView *header = view->horizontalHeader();
        int section = -1;
        for (int c = 0; c < view->model()->columnCount(); ++c) {
            if (view->model()->headerData(c, Qt::Horizontal).toString() == column)
                section = c;
        }
        QVERIFY(section >= 0);
        header->setSectionResizeMode(QHeaderView::Fixed);
        header->resizeSection(section, 60);
        view->scrollTo(view->model()->index(0, section));
        QApplication::processEvents();
        const QPoint heading(header->sectionViewportPosition(section) + 30, header->height() / 2);
        for (int i = 0; i < clicks; ++i)
            QTest::mouseClick(header->viewport(), Qt::LeftButton, {}, heading);
        QStringList order;
        for (int row = 0; row < view->model()->rowCount(); ++row)
            order << QFileInfo(view->model()->index(row, 0).data().toString()).baseName();
        QCOMPARE(order.join(u' '), files);
    }

    // Cells compare as an analyst expects whichever way a column is sorted.
    void cellsSortAsAnalystsExpect_data()
    {
        QTest::addColumn<QString>("left");
        QTest::addColumn<QString>("right");
        QTest::addColumn<bool>("ascending"); // goes left before right...
        QTest::addColumn<bool>("descending");

        const auto row = [](const char *name, const char *left, const char *right, bool ascending,
                            bool descending) {
            QTest::newRow(name) << QString::fromUtf8(left) << QString::fromUtf8(right) << ascending
                                << descending;
        };
        row("numbers by their value", "9", "10", true, false);
        row("fractions by their value", "0.3", "0.06", false, true);
        row("exponents by their value", "1e-05", "0.001", true, false);
        row("below 0", "-3", "-2", true, false);
        row("numbers before words", "0.08", "mixed", true, false);
        row("an empty cell last, ascending", "", "0.75", false, false);
        row("a number before an empty cell", "0.75", "", true, true);
        row("a word before an empty cell", "cut", "", true, true);
        row("words without regard to case", "Arm b", "arm A", false, true);
        row("dates as text", "2026-12-08", "2027-01-02", true, false);
        row("alike: neither first", "0.060", "0.06", false, false);
        row("two empty cells", "", "", false, false);
    }
    void cellsSortAsAnalystsExpect()
    {
        QFETCH(QString, left);
        QFETCH(QString, right);
        QFETCH(bool, ascending);
        QFETCH(bool, descending);
        QCOMPARE(StudySortModel::cellBefore(left, right, Qt::AscendingOrder), ascending);
        QCOMPARE(StudySortModel::cellBefore(left, right, Qt::DescendingOrder), descending);
    }

    // Whatever the sessions, every point lies inside the plot, higher for a higher peak, in its
    // group's column; each alcohol group has its target and the lines 20 % either side of it,
    // drawn in the target's colour, a placebo group none; and a point is found where it is drawn.
    void pictureHoldsItsPoints_data()
    {
        QTest::addColumn<QStringList>("sessions"); // see studySession
        QTest::addColumn<int>("groups");
        QTest::addColumn<int>("targets"); // target lines
        QTest::addColumn<bool>("dark");

        const QStringList three{"A-1|Arm A|alcohol|0.06", "A-2|Arm A|alcohol|0.08",
                                "A-3|Arm A|alcohol|0.1"};
        QTest::newRow("one group, a peak on its target") << three << 1 << 1 << false;
        QTest::newRow("the same on a dark palette") << three << 1 << 1 << true;
        QTest::newRow("a peak far above the target")
            << QStringList{"B-1|Arm B|alcohol|0.07", "B-2|Arm B|alcohol|0.6"} << 1 << 1 << false;
        QTest::newRow("a boosted session, at its peak before the booster")
            << QStringList{"A-1|Arm A|alcohol|0.08", "B-1|Arm A|alcohol|0.07|0.09"} << 1 << 1
            << false;
        QTest::newRow("a placebo group, a peak of 0")
            << QStringList{"P-1||placebo|0.004", "P-2||placebo|0"} << 1 << 0 << false;
        QStringList many;
        for (int i = 0; i < 150; ++i)
            many << QStringLiteral("M-%1|Arm A|alcohol|%2").arg(i).arg(0.05 + i * 0.0003);
        QTest::newRow("many sessions in one group") << many << 1 << 1 << false;
        QTest::newRow("four groups")
            << QStringList{"A-1|Arm A|alcohol|0.07", "N-1||alcohol|0.09", "P-1||placebo|0.01",
                           "B-1|Arm B|alcohol|0.085", "A-2|Arm A|alcohol|0.075"}
            << 4 << 3 << false;
    }
    void pictureHoldsItsPoints()
    {
        QFETCH(QStringList, sessions);
        QFETCH(int, groups);
        QFETCH(int, targets);
        QFETCH(bool, dark);
        StudyPicture picture;
        if (dark) // from a dark button: a black base and white text
            picture.setPalette(QPalette(QColor(0x2b, 0x2b, 0x2b)));
        picture.resize(900, 560);
        for (const QString &session : sessions)
            picture.add(studySession(session));
        const QList<StudyPicture::Point> &points = picture.points();
        const QList<StudyPicture::Group> all = picture.groups();
        QCOMPARE(all.size(), groups);
        // Each at the peak before any booster; a boosted one named in the key.
        QCOMPARE(points.size(), sessions.size());
        for (qsizetype i = 0; i < points.size(); ++i) {
            QCOMPARE(points[i].peakBal, sessions[i].section(u'|', 3, 3).toDouble());
            QCOMPARE(points[i].boosted, sessions[i].count(u'|') > 3);
        }

        const StudyPicture::Layout drawn =
            picture.layout(picture.plotArea(), QFontMetricsF(picture.font(), &picture));
        QCOMPARE(drawn.points.size(), sessions.size());
        QCOMPARE(drawn.targets.size(), targets);
        QCOMPARE(drawn.bands.size(), 2 * targets);
        QCOMPARE(drawn.key.contains(QStringLiteral("Boosted: peak before the booster")),
                 std::ranges::any_of(points, &StudyPicture::Point::boosted));
        for (qsizetype g = 0; g < all.size(); ++g) {
            for (qsizetype i : all[g].drawn) {
                const QPointF &at = drawn.points[i];
                QVERIFY2(drawn.plot.contains(at), qPrintable(points[i].code));
                QVERIFY(at.x() >= drawn.columns[g].left() && at.x() <= drawn.columns[g].right());
            }
        }
        for (qsizetype i = 0; i < drawn.points.size(); ++i) {
            for (qsizetype j = 0; j < drawn.points.size(); ++j) {
                if (points[i].peakBal > points[j].peakBal)
                    QVERIFY(drawn.points[i].y() < drawn.points[j].y());
            }
            QCOMPARE(picture.pointAt(drawn.points[i]), i);
            // A peak on its target is drawn on the target's line.
            if (points[i].peakBal == points[i].targetBal)
                QCOMPARE(drawn.points[i].y(), drawn.targets[0].y1());
        }
        QCOMPARE(picture.pointAt(QPointF(1, 1)), -1);
        // The lines 20 % below and above a target are as far from it either side.
        for (qsizetype t = 0; t < drawn.targets.size(); ++t) {
            const double target = drawn.targets[t].y1();
            QVERIFY(drawn.plot.contains(drawn.targets[t].p1()));
            QVERIFY(drawn.plot.contains(drawn.bands[2 * t + 1].p1()));
            QVERIFY(drawn.bands[2 * t].y1() > target);
            QVERIFY(std::abs((drawn.bands[2 * t].y1() - target) -
                             (target - drawn.bands[2 * t + 1].y1())) < 0.01);
        }

        const QImage image = picture.grab().toImage();
        const BalChart::Colours colours = BalChart::colours(picture.palette());
        for (const QLineF &line : drawn.targets + drawn.bands)
            QVERIFY(drawnAlong(image, line, colours));
        // A session is a filled point; a boosted one is drawn hollow, its own marker.
        for (qsizetype i = 0; i < drawn.points.size(); ++i) {
            const QPointF &at = drawn.points[i];
            const bool alone = std::ranges::none_of(drawn.points, [&](const QPointF &other) {
                return other != at && QLineF(at, other).length() < drawn.radius * 3 + 2;
            });
            if (alone)
                QVERIFY(nearestIs(image.pixelColor(at.toPoint()),
                                  points[i].boosted ? colours.base : colours.reading, colours));
        }
    }

    // A point is named by its session code when the pointer rests on it, when it is clicked and
    // when the arrow keys, Home and End reach it, which go group by group.
    void pointNamesItsSession_data()
    {
        QTest::addColumn<QList<int>>("keys");
        QTest::addColumn<QString>("code");

        // The groups of the reference records that are ok: no protocol with alcohol (P-019),
        // no protocol with placebo (P-018), then Arm A with alcohol (P-017).
        QTest::newRow("Home") << QList<int>{Qt::Key_Home} << "P-019";
        QTest::newRow("Right from none") << QList<int>{Qt::Key_Right} << "P-019";
        QTest::newRow("Right twice") << QList<int>{Qt::Key_Right, Qt::Key_Right} << "P-018";
        QTest::newRow("Left from none: the last") << QList<int>{Qt::Key_Left} << "P-017";
        QTest::newRow("past the last") << QList<int>{Qt::Key_End, Qt::Key_Down} << "P-017";
        QTest::newRow("back from the last") << QList<int>{Qt::Key_End, Qt::Key_Up} << "P-018";
    }
    void pointNamesItsSession()
    {
        QFETCH(QList<int>, keys);
        QFETCH(QString, code);
        summarise({TestData});
        control<QTabWidget>("tabStudy")->setCurrentWidget(control("pgPicture"));
        auto *picture = control<StudyPicture>("picStudy");
        picture->setFocus();
        QVERIFY(QTest::qWaitFor([&] { return picture->hasFocus(); }));
        for (int key : keys)
            QTest::keyClick(picture, Qt::Key(key));
        const qsizetype selected = picture->selected();
        QVERIFY(selected >= 0);
        QCOMPARE(picture->points()[selected].code, code);
        const QString label = control<QLabel>("lblSelected")->text();
        QVERIFY2(label.contains(code) && label.contains(picture->points()[selected].file),
                 qPrintable(label));

        // The same point, hovered over and clicked.
        const QPointF at =
            picture->layout(picture->plotArea(), QFontMetricsF(picture->font(), picture))
                .points[selected];
        QHelpEvent hover(QEvent::ToolTip, at.toPoint(), picture->mapToGlobal(at.toPoint()));
        QApplication::sendEvent(picture, &hover);
        QVERIFY2(QToolTip::text().startsWith(code), qPrintable(QToolTip::text()));
        picture->select(-1);
        QVERIFY(!control<QLabel>("lblSelected")->text().contains(code));
        QTest::mouseClick(picture, Qt::LeftButton, {}, at.toPoint());
        QCOMPARE(picture->selected(), selected);
        QVERIFY(control<QLabel>("lblSelected")->text().contains(code));
    }

    // A screen reader hears what the picture shows, group by group.
    void pictureIsDescribed_data()
    {
        QTest::addColumn<QString>("records");
        QTest::addColumn<QStringList>("mentions"); // the first is how the description begins
        QTest::newRow("three groups")
            << TestData
            << QStringList{"3 sessions drawn in 3 groups.",
                           "Arm A, alcohol, m: 1 session, 1 drawn (1 boosted, at its peak before "
                           "the booster), target 0.08 g/100 ml, 0 within 20 % of it.",
                           "No protocol, placebo, m: 1 session, 1 drawn."};
        QTest::newRow("one group") << TestData + QStringLiteral("/v2-placebo.csv")
                                   << QStringList{"1 session drawn in 1 group."};
    }
    void pictureIsDescribed()
    {
        QFETCH(QString, records);
        QFETCH(QStringList, mentions);
        summarise({records});
        const QString description = QAccessible::queryAccessibleInterface(control("picStudy"))
                                        ->text(QAccessible::Description);
        QVERIFY2(description.startsWith(mentions[0]), qPrintable(description));
        for (const QString &group : mentions)
            QVERIFY2(description.contains(group), qPrintable(description));
    }

    // Tables and the picture are offered in the folder above the records', then where the last
    // one went; the dialogs that open records still start among the records.
    void tablesOfferedApartFromTheRecords()
    {
        const QString records = QDir(temp->path()).filePath(QStringLiteral("records"));
        const QString tables = QDir(temp->path()).filePath(QStringLiteral("tables"));
        QVERIFY(QDir().mkpath(records) && QDir().mkpath(tables));
        form = std::make_unique<frmStudy>(records);
        QCOMPARE(form->tablesFolder(), temp->path());
        QVERIFY(form->saveTable(StudyTableKind::Sessions, tables + QStringLiteral("/s.csv")));
        QCOMPARE(form->tablesFolder(), tables);
        QCOMPARE(form->recordFolder(), records);
    }

    // The picture is saved as PNG or PDF by its name's ending; a table or the picture that cannot
    // be saved leaves the file as it was and the operator is told why.
    void savedThroughTheVerifiedSave_data()
    {
        QTest::addColumn<bool>("picture"); // else the sessions table
        QTest::addColumn<QString>("name");
        QTest::addColumn<QByteArray>("starts"); // the file's first bytes; empty: not saved
        QTest::addColumn<QString>("message");

        const auto row = [](const char *name, bool picture, const char *file, const char *starts,
                            const char *message) {
            QTest::newRow(name) << picture << QString::fromUtf8(file) << QByteArray(starts)
                                << QString::fromUtf8(message);
        };
        row("PNG", true, "study.png", "\x89PNG", "");
        row("PDF, the ending in capitals", true, "study.PDF", "%PDF-", "");
        row("another ending", true, "study.jpg", "", "is not a name the picture can be saved");
        row("a picture into a folder that is not there", true, "none/study.png", "",
            "could not be saved");
        row("a table into a folder that is not there", false, "none/sessions.csv", "",
            "could not be saved");
    }
    void savedThroughTheVerifiedSave()
    {
        QFETCH(bool, picture);
        QFETCH(QString, name);
        QFETCH(QByteArray, starts);
        QFETCH(QString, message);
        summarise({TestData});
        const QString path = QDir(temp->path()).filePath(name);
        const bool saved =
            picture ? form->savePicture(path) : form->saveTable(StudyTableKind::Sessions, path);
        QCOMPARE(saved, !starts.isEmpty());
        QVERIFY2(ReferenceFiles::contentOf(path).startsWith(starts), qPrintable(path));
        QCOMPARE(QFileInfo::exists(path), saved);
        QCOMPARE(messages.size(), saved ? 0 : 1);
        if (!saved) {
            QVERIFY(messages[0].startsWith(QLatin1String("ERROR: ")));
            QVERIFY2(messages[0].contains(message), qPrintable(messages[0]));
        }
        if (starts.startsWith("\x89PNG")) {
            const QImage image(path);
            QCOMPARE(image.size(), QSize(2400, 1500));
            QVERIFY(image.pixelColor(5, 5) == Qt::white);
        }
    }

    // The records are read from the event loop, a few at a time: the window answers while they
    // are, shows how far it has come, and saves nothing until all are read.
    void readsInTurns()
    {
        QStringList layout;
        for (int i = 0; i < 60; ++i)
            layout << QStringLiteral("r%1.csv=v2-placebo.csv").arg(i, 2, 10, QLatin1Char('0'));
        QVERIFY(ReferenceFiles::makeFiles(QDir(temp->path()), layout));
        summarise({temp->path()}, false);
        QSignalSpy ready(form.get(), &frmStudy::summaryReady);
        QVERIFY(form->isReading());
        auto *progress = control<QProgressBar>("prgReading");
        QVERIFY(progress->isVisible());
        QCOMPARE(progress->maximum(), 60);
        QVERIFY(!control<QPushButton>("cmdSaveSessions")->isEnabled());
        QTRY_VERIFY(progress->value() > 0 && progress->value() < 60);
        QVERIFY(ready.wait(20000));
        QVERIFY(!progress->isVisible());
        QVERIFY(control<QPushButton>("cmdSaveSessions")->isEnabled());
        QCOMPARE(control<QTableView>("tblSessions")->model()->rowCount(), 60);
    }

    // Every caption has an access key, none shared in the window.
    void everyCaptionHasItsOwnKey()
    {
        form = std::make_unique<frmStudy>();
        const QList<CaptionedControl> controls = captionedControls(form.get());
        QVERIFY(controls.size() > 5);
        const QStringList without = withoutTheirKey(controls);
        QVERIFY2(without.isEmpty(), qPrintable(without.join(QLatin1Char('\n'))));
        const QStringList shared = sharingAKey(controls);
        QVERIFY2(shared.isEmpty(), qPrintable(shared.join(QLatin1Char('\n'))));
    }
};

QTEST_MAIN(TestFrmStudy)
#include "tst_frmstudy.moc"
