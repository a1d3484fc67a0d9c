#include "forms/session/SessionTabs.h"

#include "calc/dose/DoseFaultTexts.h"
#include "calc/dose/NumberText.h"
#include "calc/session/EntryCorrection.h"
#include "calc/session/PlanText.h"
#include "calc/session/SessionClock.h"
#include "calc/session/SessionEntries.h"
#include "calc/session/SessionText.h"
#include "forms/common/ClockField.h"
#include "forms/common/Controls.h"
#include "forms/common/ModalDialog.h"
#include "forms/common/OperatorMessage.h"
#include "forms/session/EntryGate.h"
#include "forms/session/frmChange.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QLineEdit>
#include <QScrollBar>
#include <QStackedWidget>
#include <QTabWidget>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace {

using namespace Controls;

// Each row keeps the entry Correct... and Void... act on (0: none), and what finds
// the row again after the list is filled anew.
constexpr int EntryRole = Qt::UserRole;
constexpr int KeyRole = Qt::UserRole + 1;

// A list with columns rather than a table: a screen reader meets no unnamed corner cell.
QTreeWidget *listWithColumns(const char *name, const QString &accessibleName,
                             const QStringList &columns)
{
    auto *list = named(new QTreeWidget, name);
    list->setAccessibleName(accessibleName);
    list->setHeaderLabels(columns);
    list->setRootIsDecorated(false);
    list->setUniformRowHeights(true);
    list->setEditTriggers(QAbstractItemView::NoEditTriggers);
    list->setSelectionMode(QAbstractItemView::SingleSelection);
    list->header()->setStretchLastSection(false);
    list->header()->setSectionResizeMode(QHeaderView::ResizeToContents);
    nameScrollBars(list);
    return list;
}

struct Row {
    QStringList cells;
    int entry = 0; // the entry a change acts on; 0 for none
    int key = 0;
    bool voided = false;
};

// A row of a list: what it shows is worked out when the list asks, not stored cell by cell, so
// that a record of many thousands of entries fills its lists in a moment.
class RowItem : public QTreeWidgetItem {
public:
    RowItem(const Row &row, const QList<int> &leftColumns)
        : QTreeWidgetItem(row.cells), m_leftColumns(leftColumns), m_voided(row.voided)
    {
        QTreeWidgetItem::setData(0, EntryRole, row.entry);
        QTreeWidgetItem::setData(0, KeyRole, row.key);
    }

    QVariant data(int column, int role) const override
    {
        switch (role) {
        case Qt::TextAlignmentRole:
            return int(Qt::AlignVCenter |
                       (m_leftColumns.contains(column) ? Qt::AlignLeft : Qt::AlignRight));
        case Qt::AccessibleTextRole:
            // An empty cell (a note that says nothing) is still announced.
            if (text(column).isEmpty())
                return QStringLiteral("none");
            break;
        case Qt::FontRole:
            // A voided row is in italics as well as saying so in its note.
            if (m_voided) {
                QFont font = treeWidget() ? treeWidget()->font() : QFont();
                font.setItalic(true);
                return font;
            }
            break;
        default:
            break;
        }
        return QTreeWidgetItem::data(column, role);
    }

private:
    QList<int> m_leftColumns;
    bool m_voided = false;
};

// Fills `list` with `rows`, the row selected before selected again.
void fill(QTreeWidget *list, const QList<Row> &rows, const QList<int> &leftColumns)
{
    const QList<QTreeWidgetItem *> chosen = list->selectedItems();
    const QVariant selected = chosen.isEmpty() ? QVariant() : chosen[0]->data(0, KeyRole);
    list->clear();
    // Made apart from the list and given to it at once: a list told of each item as it is made
    // would take seconds for a record of many thousands of entries.
    QList<QTreeWidgetItem *> items;
    items.reserve(rows.size());
    QTreeWidgetItem *current = nullptr;
    for (const Row &row : rows) {
        items.append(new RowItem(row, leftColumns));
        if (selected.isValid() && selected.toInt() == row.key)
            current = items.constLast();
    }
    list->addTopLevelItems(items);
    if (current)
        list->setCurrentItem(current);
}

QHBoxLayout *row(std::initializer_list<QWidget *> controls)
{
    auto *layout = new QHBoxLayout;
    for (QWidget *control : controls)
        layout->addWidget(control);
    layout->addStretch();
    return layout;
}

// A time for what happens now, announced and reached by its caption.
ClockField *clockField(const char *name, QLabel *caption)
{
    return captioned(named(new ClockField, name), caption);
}

QLabel *wrapped(const char *name)
{
    QLabel *line = label(name, QString());
    line->setWordWrap(true);
    return line;
}

} // namespace

SessionTabs::SessionTabs(Session &session, EntryGate &gate, QWidget *parent)
    : QWidget(parent), m_session(session), m_gate(gate), m_clock(&QDateTime::currentDateTime)
{
    setObjectName(QStringLiteral("pnlEntries"));
    setAccessibleName(QStringLiteral("Entries"));
    tabSession = named(new QTabWidget, "tabSession");
    tabSession->setAccessibleName(QStringLiteral("Session"));
    tabSession->addTab(createPortionsTab(), QStringLiteral("&Portions"));
    tabSession->addTab(createReadingsTab(), QStringLiteral("Readin&gs"));
    tabSession->addTab(createBoosterTab(), QStringLiteral("&Booster"));
    for (int page = 0; page < tabSession->count(); ++page)
        tabSession->widget(page)->setAccessibleName(withoutAccessKey(tabSession->tabText(page)));
    if (auto *pages = tabSession->findChild<QStackedWidget *>())
        pages->setAccessibleName(QStringLiteral("Session"));
    connect(tabSession, &QTabWidget::currentChanged, this, &SessionTabs::enableEntries);

    // Every button here may open a window (the operator's initials, a question, a correction):
    // queued, so that a press through the accessibility interface returns at once.
    cmdCorrect = commandButton("cmdCorrect", QStringLiteral("&Correct..."));
    cmdVoid = commandButton("cmdVoid", QStringLiteral("&Void..."));
    connect(cmdCorrect, &QPushButton::clicked, this, &SessionTabs::cmdCorrect_Click,
            Qt::QueuedConnection);
    connect(cmdVoid, &QPushButton::clicked, this, &SessionTabs::cmdVoid_Click,
            Qt::QueuedConnection);

    auto *changes = new QHBoxLayout;
    changes->addStretch();
    changes->addWidget(cmdCorrect);
    changes->addWidget(cmdVoid);
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(tabSession, 1);
    layout->addLayout(changes);
}

QWidget *SessionTabs::createPortionsTab()
{
    grdPortions = listWithColumns("grdPortions", QStringLiteral("Portions"),
                                  PlanText::portionColumns()
                                      << QStringLiteral("Served") << QStringLiteral("Note"));
    auto *lblServed = label("lblServed", QStringLiteral("Served &at:"));
    tmeServed = clockField("tmeServed", lblServed);
    cmdServed = commandButton("cmdServed", QStringLiteral("&Mark Served"));
    connect(cmdServed, &QPushButton::clicked, this, &SessionTabs::cmdServed_Click,
            Qt::QueuedConnection);
    connect(grdPortions, &QTreeWidget::itemSelectionChanged, this, &SessionTabs::enableEntries);
    auto *page = named(new QWidget, "tabPortions");
    auto *layout = new QVBoxLayout(page);
    layout->addWidget(grdPortions, 1);
    layout->addLayout(row({lblServed, tmeServed, cmdServed}));
    return page;
}

QWidget *SessionTabs::createReadingsTab()
{
    const LevelScale &level = m_session.record().setup.input.level;
    grdReadings = listWithColumns("grdReadings", QStringLiteral("Readings"),
                                  SessionText::readingColumns(level));
    auto *lblReadingTime = label("lblReadingTime", QStringLiteral("Ti&me:"));
    tmeReading = clockField("tmeReading", lblReadingTime);
    auto *lblReading = label("lblReading", QStringLiteral("&Reading (%1):").arg(level.unitText()));
    txtReading = captioned(named(new QLineEdit, "txtReading"), lblReading);
    txtReading->setMaximumWidth(fontMetrics().horizontalAdvance(QStringLiteral("0.0000000")) * 2);
    widenToShow(txtReading, QStringLiteral("0.0000"));
    cmdAddReading = commandButton("cmdAddReading", QStringLiteral("&Add Reading"));
    connect(cmdAddReading, &QPushButton::clicked, this, &SessionTabs::cmdAddReading_Click,
            Qt::QueuedConnection);
    connect(txtReading, &QLineEdit::returnPressed, cmdAddReading, &QPushButton::click);
    connect(grdReadings, &QTreeWidget::itemSelectionChanged, this, &SessionTabs::enableEntries);
    lblObservedPeak = wrapped("lblObservedPeak");
    lblDescending = wrapped("lblDescending");
    lblReleaseReading = wrapped("lblReleaseReading");
    auto *page = named(new QWidget, "tabReadings");
    auto *layout = new QVBoxLayout(page);
    layout->addWidget(grdReadings, 1);
    layout->addLayout(row({lblReadingTime, tmeReading, lblReading, txtReading, cmdAddReading}));
    for (QLabel *line : {lblObservedPeak, lblDescending, lblReleaseReading})
        layout->addWidget(line);
    return page;
}

QWidget *SessionTabs::createBoosterTab()
{
    auto *lblBoosterDD = label("lblBoosterDD", QStringLiteral("Booster drin&king period (min):"));
    txtBoosterDD = captioned(
        named(new QLineEdit(SingleToText(Booster::DefaultDrinkingMinutes)), "txtBoosterDD"),
        lblBoosterDD);
    txtBoosterDD->setMaximumWidth(fontMetrics().horizontalAdvance(QStringLiteral("00000")) * 2);
    connect(txtBoosterDD, &QLineEdit::textChanged, this, &SessionTabs::boosterPeriodChanged);
    lblBooster = wrapped("lblBooster");
    lblBoosterWarning = alarmLabel("lblBoosterWarning");
    lblBoosterCourse = wrapped("lblBoosterCourse");
    lblBoosterCaveat = wrapped("lblBoosterCaveat");
    lblBoosterCaveat->setText(SessionText::boosterCaveat());
    grdBoosters =
        listWithColumns("grdBoosters", QStringLiteral("Boosters"), SessionText::boosterColumns());
    connect(grdBoosters, &QTreeWidget::itemSelectionChanged, this, &SessionTabs::enableEntries);
    auto *lblBoosterTime = label("lblBoosterTime", QStringLiteral("Served &at:"));
    tmeBooster = clockField("tmeBooster", lblBoosterTime);
    cmdBoosterServed = commandButton("cmdBoosterServed", QStringLiteral("&Record Booster Served"));
    connect(cmdBoosterServed, &QPushButton::clicked, this, &SessionTabs::cmdBoosterServed_Click,
            Qt::QueuedConnection);
    auto *page = named(new QWidget, "tabBooster");
    auto *layout = new QVBoxLayout(page);
    layout->addLayout(row({lblBoosterDD, txtBoosterDD}));
    layout->addWidget(lblBooster);
    layout->addWidget(lblBoosterWarning);
    layout->addWidget(lblBoosterCourse);
    layout->addWidget(lblBoosterCaveat);
    layout->addWidget(grdBoosters, 1);
    layout->addLayout(row({lblBoosterTime, tmeBooster, cmdBoosterServed}));
    return page;
}

QSize SessionTabs::sizeHint() const
{
    // Wide enough for every column's title of the widest list, where the screen has room; a
    // smaller window scrolls the list instead.
    int widest = 0;
    for (const QTreeWidget *list : {grdPortions, grdReadings, grdBoosters}) {
        int width = list->frameWidth() * 2 + list->verticalScrollBar()->sizeHint().width();
        for (int column = 0; column < list->columnCount(); ++column)
            width += list->header()->sectionSizeHint(column);
        widest = std::max(widest, width);
    }
    const int margins = fontMetrics().height() * 2; // of the tab's page and of the page's layout
    QSize hint = QWidget::sizeHint();
    hint.setWidth(std::max(hint.width(), widest + margins));
    return hint;
}

void SessionTabs::setClock(Clock clock)
{
    m_clock = std::move(clock);
    for (ClockField *time : {tmeServed, tmeReading, tmeBooster})
        time->setClock([this] { return m_clock().time(); });
}

std::optional<float> SessionTabs::boosterMinutes() const
{
    const SingleFromText minutes = TextToSingle(txtBoosterDD->text());
    return minutes.ok() ? std::optional(minutes.value) : std::nullopt;
}

void SessionTabs::present(const SessionReport &report)
{
    present(report, describeSession(report, QLocale()));
}

void SessionTabs::present(const SessionReport &report, const SessionText &text)
{
    m_report = report;
    const QLocale locale;
    const PlanText plan = describePlan(report, locale);

    QList<Row> portions;
    for (qsizetype i = 0; i < report.portions.size(); ++i) {
        const std::optional<ServedMark> served = report.portions[i].served();
        portions.append(
            {plan.portionRows.value(i) << text.served.value(i) << text.servedNotes.value(i),
             served ? served->entry : 0, report.portions[i].portion.number, false});
    }
    fill(grdPortions, portions, {1, 5, 6});

    QList<Row> readings;
    for (qsizetype i = 0; i < report.readings.size(); ++i) {
        const ReadingLine &reading = report.readings[i];
        readings.append({text.readings.value(i), reading.voided ? 0 : reading.entry, reading.entry,
                         reading.voided});
    }
    fill(grdReadings, readings, {1, 5});
    lblObservedPeak->setText(text.observedPeak);
    lblDescending->setText(text.descending);
    lblDescending->setVisible(!text.descending.isEmpty());
    lblReleaseReading->setText(text.release);

    QList<Row> boosters;
    for (qsizetype i = 0; i < report.boosters.size(); ++i) {
        const BoosterLine &booster = report.boosters[i];
        boosters.append({text.boosters.value(i), booster.voided ? 0 : booster.entry, booster.entry,
                         booster.voided});
    }
    fill(grdBoosters, boosters, {1, 6});
    QString offer = text.booster.isEmpty() ? text.offer : text.booster;
    QStringList warnings = text.offerWarnings;
    if (text.booster.isEmpty() && !boosterMinutes()) {
        offer = fieldProblemMessage(
            inputProblemOf(TextToSingle(txtBoosterDD->text()), txtBoosterDD->text()),
            QStringLiteral("Booster drinking period"), txtBoosterDD->text());
        warnings.clear();
    }
    lblBooster->setText(offer);
    lblBoosterWarning->setText(warnings.join(QLatin1Char('\n')));
    // The plan's times are named here alone once a booster is served.
    QStringList course = text.boosterCourse;
    if (!text.plannedBeforeBooster.isEmpty())
        course << text.plannedBeforeBooster;
    lblBoosterCourse->setText(course.join(QLatin1Char('\n')));
    lblBoosterCaveat->setText(
        QStringList{SessionText::boosterCaveat(), text.booster.isEmpty() ? text.offerPeakBand : ""}
            .join(QLatin1Char(' '))
            .trimmed());
    enableEntries();
}

void SessionTabs::enableEntries()
{
    const bool open = m_session.state() != RecordState::ReadOnly && m_report.hasPlan();
    // A time field is for its tab's entry only: it is enabled as long as that entry may be made.
    const bool unserved = open && m_report.nextUnservedPortion().has_value();
    tmeServed->setEnabled(unserved);
    cmdServed->setEnabled(unserved);
    tmeReading->setEnabled(open);
    cmdAddReading->setEnabled(open);
    txtReading->setReadOnly(!open);
    const bool offered = open && !m_report.booster() && m_report.offer &&
                         (m_report.offer->ok() || m_report.offer->staleNow());
    tmeBooster->setEnabled(offered);
    cmdBoosterServed->setEnabled(offered && boosterMinutes().has_value());
    txtBoosterDD->setReadOnly(!open || m_report.booster());
    lblBoosterWarning->setVisible(!lblBoosterWarning->text().isEmpty());
    lblBoosterCourse->setVisible(!lblBoosterCourse->text().isEmpty());
    const bool selected = open && selectedEntry() != 0;
    cmdCorrect->setEnabled(selected);
    cmdVoid->setEnabled(selected);
}

int SessionTabs::selectedEntry() const
{
    const QWidget *page = tabSession->currentWidget();
    const QTreeWidget *list = page->findChild<QTreeWidget *>();
    // The row selected, by the keyboard, the mouse or a screen reader.
    const QList<QTreeWidgetItem *> chosen =
        list ? list->selectedItems() : QList<QTreeWidgetItem *>();
    return chosen.isEmpty() ? 0 : chosen[0]->data(0, EntryRole).toInt();
}

std::optional<QTime> SessionTabs::timeOf(ClockField *field)
{
    if (const std::optional<QTime> time = field->typedTime())
        return time;
    OperatorMessage::show(window(), field->problem());
    field->setFocus();
    return std::nullopt;
}

void SessionTabs::cmdServed_Click()
{
    const std::optional<int> portion = m_report.nextUnservedPortion();
    if (!portion)
        return;
    const std::optional<QTime> at = timeOf(tmeServed);
    if (!at)
        return;
    const QTime clock = *at;
    const QDateTime now = m_clock();
    // Made, the field shows the clock again, ready for the next; refused, it keeps the time typed.
    if (m_gate.enter([&] { return m_session.checkServed(*portion, clock, now); },
                     [&] { return m_session.markServed(*portion, clock, now); }))
        tmeServed->follow();
}

void SessionTabs::cmdAddReading_Click()
{
    const QString typed = txtReading->text();
    const SingleFromText level = TextToSingle(typed);
    if (!level.ok()) {
        OperatorMessage::show(window(), fieldProblemMessage(inputProblemOf(level, typed),
                                                            QStringLiteral("Reading"), typed));
        txtReading->setFocus();
        return;
    }
    const std::optional<QTime> at = timeOf(tmeReading);
    if (!at)
        return;
    const QTime clock = *at;
    const QDateTime now = m_clock();
    if (m_gate.enter([&] { return m_session.checkReading(clock, level.value, now); },
                     [&] { return m_session.addReading(clock, level.value, now); })) {
        txtReading->clear();
        tmeReading->follow();
    } else {
        txtReading->setFocus();
    }
}

void SessionTabs::cmdBoosterServed_Click()
{
    const std::optional<float> minutes = boosterMinutes();
    if (!minutes)
        return;
    const std::optional<QTime> at = timeOf(tmeBooster);
    if (!at)
        return;
    const QTime clock = *at;
    const QDateTime now = m_clock();
    if (m_gate.enter([&] { return m_session.checkBooster(clock, *minutes, now); },
                     [&] { return m_session.serveBooster(clock, *minutes, now); }))
        tmeBooster->follow();
}

void SessionTabs::cmdCorrect_Click()
{
    const int entry = selectedEntry();
    const SessionEntries entries(m_session.record());
    const EntryInForce *found = entries.find(entry);
    const std::optional<EntryCorrection> asked = found ? entryCorrection(*found) : std::nullopt;
    if (!asked)
        return;
    QList<ChangeField> fields{{"tmeChangeTime", QStringLiteral("&Time:"),
                               SessionClock::clockAfter(m_report.start.time(), asked->minute)}};
    const LevelScale &level = m_report.setup.input.level;
    switch (asked->number) {
    case EntryCorrection::Number::Level:
        fields.append({"txtChangeLevel", QStringLiteral("&Level (%1):").arg(level.unitText()),
                       std::nullopt, asked->value});
        break;
    case EntryCorrection::Number::DrinkingMinutes:
        fields.append({"txtChangePeriod", QStringLiteral("Drinking &period (min):"), std::nullopt,
                       asked->value});
        break;
    case EntryCorrection::Number::None:
        break;
    }
    const auto apply = [&](const frmChange &dialog) {
        const EntryValues corrected =
            asked->corrected(m_session.minuteOf(dialog.clock(0)),
                             asked->number == EntryCorrection::Number::None ? 0 : dialog.number(1));
        const QString reason = dialog.reason();
        const QDateTime now = m_clock();
        return m_gate.enter(
            [&] { return m_session.checkCorrection(entry, corrected, reason, now); },
            [&] { return m_session.correct(entry, corrected, reason, now); });
    };
    frmChange dialog(frmChange::Kind::Correct, entry, entryValuesText(*found, m_report), fields,
                     apply, window());
    dialog.setClock([this] { return m_clock().time(); });
    ModalDialog::exec(dialog);
}

void SessionTabs::cmdVoid_Click()
{
    const int entry = selectedEntry();
    const SessionEntries entries(m_session.record());
    const EntryInForce *found = entries.find(entry);
    if (!found)
        return;
    const auto apply = [&](const frmChange &dialog) {
        const QString reason = dialog.reason();
        const QDateTime now = m_clock();
        return m_gate.enter([&] { return m_session.checkVoid(entry, reason); },
                            [&] { return m_session.voidEntry(entry, reason, now); });
    };
    frmChange dialog(frmChange::Kind::Void, entry, entryValuesText(*found, m_report), {}, apply,
                     window());
    ModalDialog::exec(dialog);
}
