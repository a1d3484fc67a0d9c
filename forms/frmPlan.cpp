#include "forms/frmPlan.h"

#include "calc/FaultTexts.h"
#include "calc/NumberText.h"
#include "calc/Placebo.h"
#include "calc/RecordReader.h"
#include "calc/RecordWriter.h"
#include "calc/SessionCode.h"
#include "forms/BalChart.h"
#include "forms/ClockText.h"
#include "forms/Controls.h"
#include "forms/FocusedWheel.h"
#include "forms/Fonts.h"
#include "forms/OperatorMessage.h"
#include "forms/PlanRecord.h"
#include "forms/PlanText.h"
#include "forms/SessionClock.h"
#include "forms/SessionTabs.h"
#include "forms/SessionText.h"
#include "forms/VersionText.h"

#include <QCloseEvent>
#include <QDir>
#include <QFileDialog>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPrintDialog>
#include <QPrinter>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QScrollArea>
#include <QScrollBar>
#include <QShortcut>
#include <QSizeGrip>
#include <QSpinBox>
#include <QTimeEdit>
#include <QVBoxLayout>

namespace {

using namespace Controls;

constexpr int MinutesPerStep = 5;

// A new session: the dose as given and the run's choices, starting at the next five minutes of
// today, or of tomorrow just before midnight.
SessionRecord newRecord(const DoseInput &dose, const SessionPlanSettings &settings)
{
    SessionRecord record;
    record.programVersion = versionNumber();
    const QDateTime now = QDateTime::currentDateTime();
    record.startTime = frmPlan::defaultStart(now.time());
    record.startDate = now.date().addDays(record.startTime < now.time().addSecs(-60) ? 1 : 0);
    record.input = dose;
    record.plan = settings;
    return record;
}

} // namespace

frmPlan::frmPlan(const DoseInput &dose, SessionPlanSettings &settings,
                 const std::optional<Protocol> &protocol, QWidget *owner)
    : QDialog(owner), m_settings(settings), m_protocol(protocol),
      m_record(newRecord(dose, settings))
{
    createControls();
    refresh();
}

frmPlan::frmPlan(const SessionRecord &record, const QString &path, bool readOnly, QWidget *owner)
    : QDialog(owner), m_ownSettings(record.plan), m_settings(m_ownSettings), m_record(record),
      m_recordPath(path), m_readOnly(readOnly)
{
    createControls();
    txtSessionCode->setText(record.sessionCode);
    txtSessionCode->setReadOnly(true);
    (record.placebo ? optPlacebo : optAlcohol)->setChecked(true);
    spnFloat->setMaximum(record.floatMl);
    spnFloat->setValue(record.floatMl);
    tabSession->setReadOnly(readOnly);
    refresh();
}

std::unique_ptr<frmPlan> frmPlan::openRecord(const QString &path, QWidget *owner)
{
    const RecordReader::Result read = RecordReader::open(path);
    if (!read.record) {
        OperatorMessage::show(owner, read.errorText);
        return nullptr;
    }
    const SessionRecord &record = *read.record;
    DoseOptions options;
    options.plan = record.plan;
    const DoseReport report = evaluateDose(record.input, options);
    const bool same = recordedDoseMatches(record, report);
    if (!same) {
        const DosingState &s = report.dose.state;
        OperatorMessage::show(
            owner, QStringLiteral("WARNING: The dose computed again from the values in \"%1\" (%2) "
                                  "differs from the dose the record saved (%3). The record opens "
                                  "read-only; neither dose is taken for the other.")
                       .arg(QDir::toNativeSeparators(path),
                            report.ok() ? volumesText(s.AlcDose, s.MixDose, s.TotDose)
                                        : doseFaultText(report.outcome).message,
                            volumesText(record.alcoholMl, record.mixerMl, record.totalMl)));
    }
    return std::make_unique<frmPlan>(record, path, !same, owner);
}

QTime frmPlan::defaultStart(const QTime &now)
{
    constexpr int StepMsecs = MinutesPerStep * 60 * 1000;
    const int msecs = now.msecsSinceStartOfDay();
    const int rounded = (msecs + StepMsecs - 1) / StepMsecs * StepMsecs;
    return QTime::fromMSecsSinceStartOfDay(rounded % (24 * 60 * 60 * 1000));
}

QString frmPlan::fileBaseName(const SessionRecord &record)
{
    const QDate date = record.startDate.isValid() ? record.startDate : QDate::currentDate();
    return record.sessionCode + QLatin1Char('-') + date.toString(Qt::ISODate);
}

void frmPlan::createControls()
{
    setObjectName(QStringLiteral("frmPlan"));
    setWindowTitle(QStringLiteral("Session Plan"));
    setModal(true);
    setFont(Fonts::msSansSerif(8.25));
    setSizeGripEnabled(true);

    lblSessionCode = label("lblSessionCode", QStringLiteral("Session &code:"));
    txtSessionCode = captioned(named(new QLineEdit, "txtSessionCode"), lblSessionCode);
    txtSessionCode->setMaximumWidth(fontMetrics().horizontalAdvance(QLatin1Char('W')) * 20);
    lblSessionProblem = alarmLabel("lblSessionProblem");
    lblSessionProblem->hide();
    optAlcohol = named(new QRadioButton(QStringLiteral("A&lcohol")), "optAlcohol");
    optPlacebo = named(new QRadioButton(QStringLiteral("Plac&ebo")), "optPlacebo");
    optAlcohol->setChecked(true);
    lblFloat = label("lblFloat", QStringLiteral("&Float (ml):"));
    spnFloat = captioned(named(new QSpinBox, "spnFloat"), lblFloat);
    spnFloat->setRange(0, 0);
    lblRecordFile = label("lblRecordFile", QString());
    lblRecordFile->setWordWrap(true);

    lblDoseInputs = label("lblDoseInputs", QString());
    lblDoseInputs->setWordWrap(true);
    lblDoseVolumes = label("lblDoseVolumes", QString());

    lblStart = label("lblStart", QStringLiteral("S&tart of drinking:"));
    tmeStart = captioned(named(new QTimeEdit(m_record.startTime), "tmeStart"), lblStart);
    tmeStart->setDisplayFormat(hoursAndMinutesFormat(QLocale()));
    lblPortions = label("lblPortions", QStringLiteral("&Number of portions:"));
    spnPortions = captioned(named(new QSpinBox, "spnPortions"), lblPortions);
    spnPortions->setRange(SessionPlanLimits::MinimumPortions, SessionPlanLimits::MaximumPortions);
    spnPortions->setValue(m_record.plan.portions);
    const LevelScale &level = m_record.input.level;
    lblReleaseLevel =
        label("lblReleaseLevel", QStringLiteral("Release le&vel (%1):").arg(level.unitText()));
    txtRelease =
        captioned(named(new QLineEdit(SingleToText(level.shownLevel(m_record.plan.releaseLevel))),
                        "txtRelease"),
                  lblReleaseLevel);
    txtRelease->setMaximumWidth(fontMetrics().horizontalAdvance(QStringLiteral("0.0000000")) * 2);

    lblProblem = alarmLabel("lblProblem");
    lblProtocol = alarmLabel("lblProtocol");
    QFont bold = font();
    bold.setBold(true);
    lblPeak = label("lblPeak", QString());
    lblRelease = label("lblRelease", QString());
    lblZero = label("lblZero", QString());
    lblPlacebo = label("lblPlacebo", SessionText::placeboNote());
    for (QLabel *line : {lblPeak, lblRelease, lblZero, lblPlacebo})
        line->setFont(bold);
    tabSession = new SessionTabs(m_record);
    picChart = new BalChart;

    cmdSaveRecord = commandButton("cmdSaveRecord", QStringLiteral("Save Recor&d..."));
    // Ctrl+S as well: a button answers to one shortcut, its access key.
    connect(new QShortcut(QKeySequence::Save, this), &QShortcut::activated, cmdSaveRecord,
            &QPushButton::click);
    cmdPrint = commandButton("cmdPrint", QStringLiteral("Pr&int..."));
    cmdClose = commandButton("cmdClose", QStringLiteral("Cl&ose"));
    connect(cmdSaveRecord, &QPushButton::clicked, this, &frmPlan::cmdSaveRecord_Click);
    connect(cmdPrint, &QPushButton::clicked, this, &frmPlan::cmdPrint_Click);
    connect(cmdClose, &QPushButton::clicked, this, &frmPlan::cmdClose_Click);
    layOut();
    FocusedWheel::applyTo(this);

    connect(txtSessionCode, &QLineEdit::textChanged, this, &frmPlan::setSessionCode);
    connect(optPlacebo, &QRadioButton::toggled, this, &frmPlan::setBeverage);
    connect(spnFloat, &QSpinBox::valueChanged, this, &frmPlan::setBeverage);
    connect(tmeStart, &QTimeEdit::timeChanged, this, &frmPlan::refresh);
    connect(spnPortions, &QSpinBox::valueChanged, this, &frmPlan::refresh);
    connect(txtRelease, &QLineEdit::textChanged, this, &frmPlan::refresh);
    connect(tabSession, &SessionTabs::changed, this, &frmPlan::recordChanged);
    // The chart's "now" line moves with the clock.
    connect(&m_nowTimer, &QTimer::timeout, this, &frmPlan::showPlan);
    m_nowTimer.start(60 * 1000);
}

void frmPlan::layOut()
{
    auto *sessionLayout = new QHBoxLayout;
    for (QWidget *control : std::initializer_list<QWidget *>{
             lblSessionCode, txtSessionCode, optAlcohol, optPlacebo, lblFloat, spnFloat})
        sessionLayout->addWidget(control);
    sessionLayout->addStretch();
    auto *sessionFrame = new QVBoxLayout;
    sessionFrame->addLayout(sessionLayout);
    sessionFrame->addWidget(lblSessionProblem);
    sessionFrame->addWidget(lblRecordFile);

    auto *doseLayout = new QVBoxLayout;
    doseLayout->addWidget(lblDoseInputs);
    doseLayout->addWidget(lblDoseVolumes);

    auto *choicesLayout = new QHBoxLayout;
    for (QWidget *control : std::initializer_list<QWidget *>{
             lblStart, tmeStart, lblPortions, spnPortions, lblReleaseLevel, txtRelease}) {
        choicesLayout->addWidget(control);
        if (qobject_cast<QLabel *>(control) == nullptr && control != txtRelease)
            choicesLayout->addSpacing(fontMetrics().height());
    }
    choicesLayout->addStretch();

    auto *timesLayout = new QVBoxLayout;
    for (QLabel *line : {lblPeak, lblRelease, lblZero, lblPlacebo})
        timesLayout->addWidget(line);
    auto *resultsLayout = new QHBoxLayout;
    resultsLayout->addWidget(tabSession, 0);
    resultsLayout->addWidget(picChart, 1);

    auto *lblCaveat = label("lblCaveat", PlanText::caveat());
    lblCaveat->setWordWrap(true);
    QFont bold = font();
    bold.setBold(true);
    lblCaveat->setFont(bold);

    // Everything but the buttons scrolls when the window is smaller than it, so the buttons stay
    // on screen at any scale.
    auto *contents = named(new QWidget, "pnlContents");
    contents->setAccessibleName(QStringLiteral("Session Plan"));
    auto *column = new QVBoxLayout(contents);
    column->addWidget(frame("fraSession", QStringLiteral("Session"), sessionFrame));
    column->addWidget(frame("fraDose", QStringLiteral("Calculated dose"), doseLayout));
    column->addWidget(frame("fraChoices", QStringLiteral("Plan"), choicesLayout));
    column->addWidget(lblProblem);
    column->addWidget(lblProtocol);
    column->addLayout(timesLayout);
    column->addLayout(resultsLayout, 1);
    column->addWidget(lblCaveat);
    auto *scroll = named(new QScrollArea, "scrContents");
    scroll->setWidget(contents);
    scroll->setWidgetResizable(true);
    scroll->setFrameShape(QFrame::NoFrame);
    scroll->setAccessibleName(QStringLiteral("Session Plan"));
    scroll->viewport()->setAccessibleName(QStringLiteral("Session Plan"));
    nameScrollBars(scroll);
    if (auto *grip = findChild<QSizeGrip *>())
        grip->setAccessibleName(QStringLiteral("Size grip"));

    auto *buttonsLayout = new QHBoxLayout;
    buttonsLayout->addStretch();
    buttonsLayout->addWidget(cmdSaveRecord);
    buttonsLayout->addWidget(cmdPrint);
    buttonsLayout->addWidget(cmdClose);
    auto *window = new QVBoxLayout(this);
    window->addWidget(scroll, 1);
    window->addLayout(buttonsLayout);

    // As large as its contents want, within the screen it opens on; never smaller than a third
    // of that, so that the scrolled part stays usable.
    const QSize wanted =
        contents->sizeHint() +
        QSize(scroll->verticalScrollBar()->sizeHint().width(), cmdClose->sizeHint().height() * 2);
    const QScreen *screen =
        parentWidget() ? parentWidget()->screen() : QGuiApplication::primaryScreen();
    const QSize available = screen ? screen->availableGeometry().size() * 0.9 : wanted;
    setMinimumSize(
        QSize(fontMetrics().height() * 24, fontMetrics().height() * 16).boundedTo(available));
    resize(wanted.boundedTo(available));
    if (parentWidget()) // centred on the main window
        move(parentWidget()->frameGeometry().center() - rect().center());
}

bool frmPlan::hasEntries() const
{
    for (const RecordedPortion &portion : m_record.portions) {
        if (portion.servedAtMinute)
            return true;
    }
    return !m_record.readings.isEmpty() || m_record.booster.has_value();
}

void frmPlan::setSessionCode(const QString &code)
{
    const bool usable = code.isEmpty() || acceptsSessionCode(code);
    if (acceptsSessionCode(code))
        m_record.sessionCode = code;
    else if (code.isEmpty())
        m_record.sessionCode.clear();
    lblSessionProblem->setText(usable ? QString() : sessionCodeMessage(code));
    lblSessionProblem->setVisible(!usable);
    txtSessionCode->setAccessibleDescription(lblSessionProblem->text());
}

void frmPlan::setBeverage()
{
    if (m_readOnly || hasEntries() || !m_recordPath.isEmpty())
        return; // the record's beverage, as served
    m_record.placebo = optPlacebo->isChecked();
    m_record.floatMl = spnFloat->value();
    refresh();
}

void frmPlan::refresh()
{
    // What was served and measured belongs to the plan it was served by: once the session has
    // entries or a file, its choices stay as they are. The release level only judges readings.
    const bool fixed = m_readOnly || hasEntries() || !m_recordPath.isEmpty();
    for (QWidget *choice :
         std::initializer_list<QWidget *>{tmeStart, spnPortions, optAlcohol, optPlacebo})
        choice->setEnabled(!fixed);
    spnFloat->setEnabled(!fixed && m_record.placebo);
    txtRelease->setReadOnly(m_readOnly);
    if (!fixed) {
        m_record.startTime = tmeStart->time();
        m_record.plan.portions = spnPortions->value();
        m_settings.portions = spnPortions->value();
    }
    const SingleFromText release = TextToSingle(txtRelease->text());
    const float releaseBefore = m_record.plan.releaseLevel;
    QString problem;
    if (!release.ok())
        problem = fieldProblemMessage(inputProblemOf(release, txtRelease->text()),
                                      QStringLiteral("Release level"), txtRelease->text());
    else if (!acceptsReleaseLevel(m_record.input.level.toBal(release.value)))
        problem = planFaultText(PlanProblem::ReleaseLevelNotAboveZero).message;
    else // only a usable level is remembered, in g/100 ml
        m_record.plan.releaseLevel = m_settings.releaseLevel =
            m_record.input.level.toBal(release.value);

    // Without a usable release level the dose is shown without a plan.
    DoseOptions options;
    options.protocol = m_protocol;
    if (problem.isEmpty())
        options.plan = m_record.plan;
    m_report = evaluateDose(m_record.input, options);
    m_plan = SessionPlan{};
    m_plan.problem = PlanProblem::ReleaseLevelNotAboveZero;
    if (m_report.plan) {
        m_plan = *m_report.plan;
        problem = planFaultText(m_plan.problem).message;
    }
    if (!fixed) {
        // A new session pours the plan of its current choices.
        const DosingState &s = m_report.dose.state;
        m_record.alcoholMl = s.AlcDose;
        m_record.mixerMl = s.MixDose;
        m_record.totalMl = s.TotDose;
        spnFloat->setMaximum(std::max(0, smallestPortionMl(m_plan)));
        m_record.floatMl = spnFloat->value();
        const QList<ServedPortion> poured =
            m_record.placebo ? placeboPortions(m_plan, m_record.floatMl) : m_plan.portions;
        m_record.portions.clear();
        for (const ServedPortion &portion : poured)
            m_record.portions << RecordedPortion{portion, std::nullopt};
    }
    lblProblem->setText(problem);
    lblProblem->setVisible(!problem.isEmpty());
    txtRelease->setAccessibleDescription(problem);
    if (releaseBefore != m_record.plan.releaseLevel)
        saveChanges();
    showPlan();
}

void frmPlan::showPlan()
{
    // The portions as poured: a placebo's floats, or a reopened record's own.
    SessionPlan poured = m_plan;
    poured.portions.clear();
    for (const RecordedPortion &portion : m_record.portions)
        poured.portions << portion.portion;
    const PlanText text = describePlan(m_report.dose, poured, m_record.startTime, m_record.plan);
    lblDoseInputs->setText(text.doseInputs);
    lblDoseVolumes->setText(text.doseVolumes);
    lblPeak->setText(text.peakLine);
    lblRelease->setText(text.releaseLine);
    lblZero->setText(text.zeroLine);
    const QStringList protocol = protocolLines(m_report, m_protocol);
    lblProtocol->setText(protocol.join(QLatin1Char('\n')));
    lblProtocol->setVisible(!protocol.isEmpty());
    // A placebo has no expected curve, and says so.
    for (QLabel *line : {lblPeak, lblRelease, lblZero})
        line->setVisible(m_plan.ok() && !m_record.placebo);
    lblPlacebo->setVisible(m_plan.ok() && m_record.placebo);
    tabSession->setPlan(m_report, poured, text.portionRows, m_protocol);
    tabSession->setEnabled(m_plan.ok());

    BalChartData chart{m_plan, m_report.dose.state.BAL, m_record.plan.releaseLevel,
                       m_record.startTime, m_record.input.level};
    chart.placebo = m_record.placebo;
    chart.readings = m_record.readings;
    for (const RecordedPortion &portion : m_record.portions)
        chart.servedAtMinute << portion.servedAtMinute;
    chart.booster = m_record.booster;
    if (m_record.startDate.isValid()) {
        const qint64 seconds =
            QDateTime(m_record.startDate, m_record.startTime).secsTo(QDateTime::currentDateTime());
        chart.nowMinute = int(std::clamp<qint64>(seconds / 60, -1000000, 1000000));
    }
    picChart->setData(chart);
    picChart->setAccessibleDescription(
        m_plan.ok()
            ? QStringList{text.peakLine, text.releaseLine, text.zeroLine}.join(QStringLiteral(". "))
            : QStringLiteral("No plan"));
    cmdPrint->setEnabled(m_plan.ok());
    showRecordState();
}

void frmPlan::showRecordState()
{
    cmdSaveRecord->setEnabled(!m_readOnly && m_plan.ok() && m_recordPath.isEmpty());
    QString state;
    if (m_readOnly)
        state = QStringLiteral("Read-only: %1").arg(QDir::toNativeSeparators(m_recordPath));
    else if (m_recordPath.isEmpty())
        state = QStringLiteral("Not saved yet. Save Record... keeps every entry from then on.");
    else if (m_unsaved)
        state = QStringLiteral("The last entries could not be saved to %1.")
                    .arg(QDir::toNativeSeparators(m_recordPath));
    else
        state = QStringLiteral("Every entry is saved to %1.")
                    .arg(QDir::toNativeSeparators(m_recordPath));
    lblRecordFile->setText(state);
}

void frmPlan::recordChanged()
{
    m_unsaved = true;
    saveChanges();
    refresh();
}

void frmPlan::saveChanges()
{
    if (m_recordPath.isEmpty() || m_readOnly)
        return;
    QString error;
    if (RecordWriter::save(m_recordPath, m_record, error)) {
        m_unsaved = false;
        return;
    }
    m_unsaved = true;
    OperatorMessage::show(this, error);
}

void frmPlan::cmdSaveRecord_Click()
{
    if (!acceptsSessionCode(m_record.sessionCode)) {
        OperatorMessage::show(this, sessionCodeMessage(txtSessionCode->text()));
        txtSessionCode->setFocus();
        return;
    }
    const QString path = QFileDialog::getSaveFileName(
        this, QStringLiteral("Save Record"),
        QDir::home().filePath(fileBaseName(m_record) + QStringLiteral(".csv")),
        QStringLiteral("Session records (*.csv)"));
    if (!path.isEmpty())
        saveRecordAs(path);
}

bool frmPlan::saveRecordAs(const QString &path)
{
    if (m_readOnly || !m_plan.ok())
        return false;
    if (!acceptsSessionCode(m_record.sessionCode)) {
        OperatorMessage::show(this, sessionCodeMessage(txtSessionCode->text()));
        return false;
    }
    QString error;
    if (!RecordWriter::save(path, m_record, error)) {
        OperatorMessage::show(this, error);
        return false;
    }
    m_recordPath = path;
    m_unsaved = false;
    // The file is named after the code.
    txtSessionCode->setReadOnly(true);
    refresh();
    return true;
}

bool frmPlan::mayClose()
{
    if (m_closeAllowed || m_readOnly || !m_unsaved || !hasEntries())
        return true;
    const QMessageBox::StandardButton answer = OperatorMessage::ask(
        this,
        QStringLiteral("The session record has entries that are not saved. Save them before "
                       "closing?"),
        QMessageBox::Save | QMessageBox::Discard | QMessageBox::Cancel, QMessageBox::Save);
    if (answer == QMessageBox::Discard)
        return true;
    if (answer == QMessageBox::Save) {
        if (m_recordPath.isEmpty())
            cmdSaveRecord_Click();
        else
            saveChanges();
        return !m_unsaved;
    }
    return false;
}

void frmPlan::closeEvent(QCloseEvent *event)
{
    if (!mayClose()) {
        event->ignore();
        return;
    }
    m_closeAllowed = true;
    QDialog::closeEvent(event);
}

void frmPlan::reject()
{
    if (!mayClose())
        return;
    m_closeAllowed = true;
    QDialog::reject();
}

void frmPlan::cmdPrint_Click()
{
    QPrinter printer(QPrinter::HighResolution);
    // Qt's print dialog offers the document's name for a PDF file.
    printer.setDocName(acceptsSessionCode(m_record.sessionCode) ? fileBaseName(m_record)
                                                                : QStringLiteral("Session Plan"));
    QPrintDialog dialog(&printer, this);
    dialog.setObjectName(QStringLiteral("printDialog"));
    if (dialog.exec() != QDialog::Accepted)
        return;
    if (!PlanRecord::paint(printer, m_report.dose, m_plan, m_record.startTime, m_record.plan,
                           QDateTime::currentDateTime(), protocolLines(m_report, m_protocol),
                           &m_record))
        OperatorMessage::show(this, QStringLiteral("ERROR: The session plan could not be printed. "
                                                   "Check the printer, or print to a PDF file."));
}

void frmPlan::cmdClose_Click()
{
    close();
}
