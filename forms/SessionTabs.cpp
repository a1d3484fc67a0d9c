#include "forms/SessionTabs.h"

#include "calc/FaultTexts.h"
#include "calc/NumberText.h"
#include "forms/ClockField.h"
#include "forms/Controls.h"
#include "forms/OperatorMessage.h"
#include "forms/PlanText.h"
#include "forms/SessionClock.h"
#include "forms/SessionText.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLineEdit>
#include <QStackedWidget>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace {

using namespace Controls;

ClockField *clockField(const char *name, QLabel *caption)
{
    return captioned(named(new ClockField, name), caption);
}

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

void fill(QTreeWidget *list, const QList<QStringList> &rows)
{
    const int current = list->currentIndex().row();
    list->clear();
    for (const QStringList &cells : rows) {
        auto *item = new QTreeWidgetItem(list, cells);
        for (int column = 0; column < int(cells.size()); ++column)
            item->setTextAlignment(column, Qt::AlignVCenter |
                                               (column == 1 ? Qt::AlignLeft : Qt::AlignRight));
    }
    if (current >= 0 && current < list->topLevelItemCount())
        list->setCurrentItem(list->topLevelItem(current));
}

QHBoxLayout *row(std::initializer_list<QWidget *> controls)
{
    auto *layout = new QHBoxLayout;
    for (QWidget *control : controls)
        layout->addWidget(control);
    layout->addStretch();
    return layout;
}

QLabel *wrapped(const char *name)
{
    QLabel *line = label(name, QString());
    line->setWordWrap(true);
    return line;
}

} // namespace

SessionTabs::SessionTabs(SessionRecord &record, QWidget *parent)
    : QTabWidget(parent), m_record(record)
{
    setObjectName(QStringLiteral("tabSession"));
    setAccessibleName(QStringLiteral("Session"));
    addTab(createPortionsTab(), QStringLiteral("&Portions"));
    addTab(createReadingsTab(), QStringLiteral("&Readings"));
    addTab(createBoosterTab(), QStringLiteral("&Booster"));
    for (int page = 0; page < count(); ++page)
        widget(page)->setAccessibleName(withoutAccessKey(tabText(page)));
    if (auto *pages = findChild<QStackedWidget *>())
        pages->setAccessibleName(QStringLiteral("Session"));
}

QWidget *SessionTabs::createPortionsTab()
{
    grdPortions = listWithColumns("grdPortions", QStringLiteral("Portions"),
                                  PlanText::portionColumns() << QStringLiteral("Served"));
    auto *lblServed = label("lblServed", QStringLiteral("Served &at:"));
    tmeServed = clockField("tmeServed", lblServed);
    cmdServed = commandButton("cmdServed", QStringLiteral("Mark &Served"));
    connect(cmdServed, &QPushButton::clicked, this, &SessionTabs::cmdServed_Click);
    auto *page = named(new QWidget, "tabPortions");
    auto *layout = new QVBoxLayout(page);
    layout->addWidget(grdPortions, 1);
    layout->addLayout(row({lblServed, tmeServed, cmdServed}));
    return page;
}

QWidget *SessionTabs::createReadingsTab()
{
    grdReadings = listWithColumns("grdReadings", QStringLiteral("Readings"),
                                  SessionText::readingColumns(m_record.input.level));
    auto *lblReadingTime = label("lblReadingTime", QStringLiteral("Ti&me:"));
    tmeReading = clockField("tmeReading", lblReadingTime);
    auto *lblReading =
        label("lblReading", QStringLiteral("Readin&g (%1):").arg(m_record.input.level.unitText()));
    txtReading = captioned(named(new QLineEdit, "txtReading"), lblReading);
    txtReading->setMaximumWidth(fontMetrics().horizontalAdvance(QStringLiteral("0.0000000")) * 2);
    widenToShow(txtReading, QStringLiteral("0.0000"));
    cmdAddReading = commandButton("cmdAddReading", QStringLiteral("&Add Reading"));
    connect(cmdAddReading, &QPushButton::clicked, this, &SessionTabs::cmdAddReading_Click);
    connect(txtReading, &QLineEdit::returnPressed, cmdAddReading, &QPushButton::click);
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
    auto *lblBoosterDD = label("lblBoosterDD", QStringLiteral("Booster drinkin&g period (min):"));
    txtBoosterDD = captioned(
        named(new QLineEdit(SingleToText(Booster::DefaultDrinkingMinutes)), "txtBoosterDD"),
        lblBoosterDD);
    txtBoosterDD->setMaximumWidth(fontMetrics().horizontalAdvance(QStringLiteral("00000")) * 2);
    connect(txtBoosterDD, &QLineEdit::textChanged, this, &SessionTabs::showBooster);
    lblBooster = wrapped("lblBooster");
    lblBoosterWarning = alarmLabel("lblBoosterWarning");
    auto *lblBoosterCaveat = wrapped("lblBoosterCaveat");
    lblBoosterCaveat->setText(SessionText::boosterCaveat());
    auto *lblBoosterTime = label("lblBoosterTime", QStringLiteral("Served &at:"));
    tmeBooster = clockField("tmeBooster", lblBoosterTime);
    cmdBoosterServed = commandButton("cmdBoosterServed", QStringLiteral("Record Booster &Served"));
    connect(cmdBoosterServed, &QPushButton::clicked, this, &SessionTabs::cmdBoosterServed_Click);
    auto *page = named(new QWidget, "tabBooster");
    auto *layout = new QVBoxLayout(page);
    layout->addLayout(row({lblBoosterDD, txtBoosterDD}));
    layout->addWidget(lblBooster);
    layout->addWidget(lblBoosterWarning);
    layout->addWidget(lblBoosterCaveat);
    layout->addLayout(row({lblBoosterTime, tmeBooster, cmdBoosterServed}));
    layout->addStretch();
    return page;
}

void SessionTabs::setPlan(const DoseReport &report, const SessionPlan &plan,
                          const QList<QStringList> &portionRows,
                          const std::optional<Protocol> &protocol)
{
    m_report = report;
    m_plan = plan;
    m_portionRows = portionRows;
    m_protocol = protocol;
    showEntries();
}

void SessionTabs::setReadOnly(bool readOnly)
{
    m_readOnly = readOnly;
    enableEntries();
}

void SessionTabs::showEntries()
{
    const SessionText text = describeSession(m_record, m_plan);
    QList<QStringList> portions = m_portionRows;
    for (qsizetype i = 0; i < portions.size(); ++i)
        portions[i] << text.served.value(i);
    fill(grdPortions, portions);
    fill(grdReadings, text.readings);
    lblObservedPeak->setText(text.observedPeak);
    lblDescending->setText(text.descending);
    lblReleaseReading->setText(text.release);
    showBooster();
}

void SessionTabs::showBooster()
{
    m_boosterWarnings.clear();
    if (m_record.booster) {
        lblBooster->setText(describeSession(m_record, m_plan).booster);
        lblBoosterWarning->clear();
        enableEntries();
        return;
    }
    const SingleFromText minutes = TextToSingle(txtBoosterDD->text());
    if (!minutes.ok()) {
        m_booster = BoosterEstimate{}; // nothing to record until the period can be read
        m_booster.refusal = BoosterRefusal::LimbNotDescended;
        lblBooster->setText(fieldProblemMessage(inputProblemOf(minutes, txtBoosterDD->text()),
                                                QStringLiteral("Booster drinking period"),
                                                txtBoosterDD->text()));
        lblBoosterWarning->clear();
        enableEntries();
        return;
    }
    m_booster = estimateBooster(m_record.input, m_report.dose.state.BAL, m_record.readings,
                                minutes.value, m_record.placebo);
    if (m_booster.refusal != BoosterRefusal::None) {
        lblBooster->setText(boosterRefusalText(m_booster.refusal).message);
    } else if (!m_booster.report.ok()) {
        lblBooster->setText(doseFaultText(m_booster.report.outcome).message);
    } else {
        const DosingState &s = m_booster.report.dose.state;
        const LevelScale &level = m_record.input.level;
        lblBooster->setText(
            QStringLiteral("Booster estimate: %1, to raise the level by %2 %3 over %4 minutes.")
                .arg(volumesText(s.AlcDose, s.MixDose, s.TotDose),
                     SingleToText(level.shownLevel(m_booster.targetBal)), level.unitText(),
                     SingleToText(minutes.value)));
        QList<ServedPortion> poured;
        for (const RecordedPortion &portion : m_record.portions)
            poured << portion.portion;
        m_boosterWarnings =
            judgeWithBooster(servedWithBooster(m_report.dose, poured, s), m_protocol).all();
    }
    lblBoosterWarning->setText(m_boosterWarnings.isEmpty()
                                   ? QString()
                                   : QStringLiteral("WARNING: With this booster: ") +
                                         m_boosterWarnings.join(QStringLiteral("; ")) +
                                         QLatin1Char('.'));
    enableEntries();
}

void SessionTabs::enableEntries()
{
    const bool open = !m_readOnly && m_plan.ok();
    cmdServed->setEnabled(open);
    tmeServed->setEnabled(open);
    cmdAddReading->setEnabled(open);
    tmeReading->setEnabled(open);
    txtReading->setReadOnly(!open);
    const bool booster = open && !m_record.booster && m_booster.ok();
    cmdBoosterServed->setEnabled(booster);
    tmeBooster->setEnabled(booster);
    txtBoosterDD->setReadOnly(!open || m_record.booster.has_value());
    lblBoosterWarning->setVisible(!lblBoosterWarning->text().isEmpty());
}

void SessionTabs::cmdServed_Click()
{
    if (m_record.portions.isEmpty())
        return;
    qsizetype index = grdPortions->currentIndex().row();
    if (index < 0 || index >= m_record.portions.size()) {
        index = 0;
        while (index + 1 < m_record.portions.size() && m_record.portions[index].servedAtMinute)
            ++index;
    }
    RecordedPortion &portion = m_record.portions[index];
    if (portion.servedAtMinute) {
        OperatorMessage::show(this,
                              QStringLiteral("ERROR: Portion %1 is already marked served at %2.")
                                  .arg(portion.portion.number)
                                  .arg(clockText(m_record.startTime, *portion.servedAtMinute)));
        return;
    }
    portion.servedAtMinute = SessionClock::minuteOf(tmeServed->time(), m_record.startTime);
    tmeServed->follow();
    showEntries();
    if (index + 1 < grdPortions->topLevelItemCount())
        grdPortions->setCurrentItem(grdPortions->topLevelItem(int(index + 1)));
    emit changed();
}

void SessionTabs::cmdAddReading_Click()
{
    const QString typed = txtReading->text();
    const SingleFromText level = TextToSingle(typed);
    if (!level.ok()) {
        OperatorMessage::show(this, fieldProblemMessage(inputProblemOf(level, typed),
                                                        QStringLiteral("Reading"), typed));
        txtReading->setFocus();
        return;
    }
    if (level.value < 0) {
        OperatorMessage::show(this, QStringLiteral("ERROR: Reading \"%1\" is below 0. Type the "
                                                   "level the instrument shows.")
                                        .arg(typed));
        txtReading->setFocus();
        return;
    }
    insertReading(m_record.readings,
                  {SessionClock::minuteOf(tmeReading->time(), m_record.startTime), level.value});
    txtReading->clear();
    tmeReading->follow();
    showEntries();
    emit changed();
}

void SessionTabs::cmdBoosterServed_Click()
{
    if (!m_booster.ok() || m_record.booster)
        return;
    if (!m_boosterWarnings.isEmpty() &&
        OperatorMessage::ask(this,
                             QStringLiteral("WARNING: With this booster: %1. Record it as served?")
                                 .arg(m_boosterWarnings.join(QStringLiteral("; "))),
                             QMessageBox::Yes | QMessageBox::No,
                             QMessageBox::No) != QMessageBox::Yes)
        return;
    const DosingState &s = m_booster.report.dose.state;
    m_record.booster = RecordedBooster{
        m_booster.targetBal, s.DD,
        s.AlcDose,           s.MixDose,
        s.TotDose,           SessionClock::minuteOf(tmeBooster->time(), m_record.startTime)};
    tmeBooster->follow();
    showEntries();
    emit changed();
}
