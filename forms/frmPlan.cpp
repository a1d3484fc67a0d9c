#include "forms/frmPlan.h"

#include "calc/FaultTexts.h"
#include "calc/NumberText.h"
#include "forms/BalChart.h"
#include "forms/ClockText.h"
#include "forms/FixedDialog.h"
#include "forms/OperatorMessage.h"
#include "forms/PlanRecord.h"
#include "forms/PlanText.h"

#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPrintDialog>
#include <QPrinter>
#include <QPushButton>
#include <QSpinBox>
#include <QTimeEdit>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace {

constexpr int ClientWidth = 12600;
constexpr int ClientHeight = 8400;
constexpr int MinutesPerStep = 5;

template <typename Control> Control *named(Control *control, const char *name)
{
    control->setObjectName(QLatin1String(name));
    return control;
}

QLabel *label(const char *name, const QString &text)
{
    return named(new QLabel(text), name);
}

// A field is announced by screen readers with the caption of the label beside it.
template <typename Field> Field *captioned(Field *field, QLabel *caption)
{
    caption->setBuddy(field);
    field->setAccessibleName(caption->text());
    return field;
}

QGroupBox *frame(const char *name, const QString &caption, QLayout *contents)
{
    auto *box = named(new QGroupBox(caption), name);
    box->setAccessibleName(caption);
    box->setLayout(contents);
    return box;
}

QPushButton *commandButton(const char *name, const QString &caption)
{
    auto *button = named(new QPushButton(caption), name);
    button->setAutoDefault(false);
    return button;
}

// Sized once for the widest values and twelve portions, some served on the next day, so that
// nothing moves as the choices change.
void sizePortionTable(QTreeWidget *table)
{
    const QStringList widest = {QStringLiteral("12"), clockText(QTime(23, 55), 10),
                                QStringLiteral("-32768"), QStringLiteral("-32768"),
                                QStringLiteral("-65536")};
    auto *sample = new QTreeWidgetItem(table, widest);
    table->header()->setStretchLastSection(false);
    int width = 2 * table->frameWidth();
    for (int column = 0; column < table->columnCount(); ++column) {
        table->resizeColumnToContents(column);
        width += table->columnWidth(column);
    }
    table->header()->setSectionResizeMode(QHeaderView::Fixed);
    const int rowHeight = table->visualItemRect(sample).height();
    delete sample;
    table->setFixedSize(width, table->header()->sizeHint().height() +
                                   SessionPlanLimits::MaximumPortions * rowHeight +
                                   2 * table->frameWidth());
}

} // namespace

frmPlan::frmPlan(const DoseInput &dose, SessionPlanSettings &settings, QWidget *owner)
    : QDialog(owner, FixedDialogFlags), m_input(dose), m_settings(settings)
{
    setUpFixedDialog(this, "frmPlan", QStringLiteral("Session Plan"), ClientWidth, ClientHeight);
    createControls();
    // The designed size, or more where the user's fonts need it.
    setFixedSize(size().expandedTo(layout()->totalMinimumSize()));
    refresh();
}

QTime frmPlan::defaultStart(const QTime &now)
{
    constexpr int StepMsecs = MinutesPerStep * 60 * 1000;
    const int msecs = now.msecsSinceStartOfDay();
    const int rounded = (msecs + StepMsecs - 1) / StepMsecs * StepMsecs;
    return QTime::fromMSecsSinceStartOfDay(rounded % (24 * 60 * 60 * 1000));
}

void frmPlan::createControls()
{
    lblDoseInputs = label("lblDoseInputs", QString());
    lblDoseInputs->setWordWrap(true);
    lblDoseVolumes = label("lblDoseVolumes", QString());
    auto *doseLayout = new QVBoxLayout;
    doseLayout->addWidget(lblDoseInputs);
    doseLayout->addWidget(lblDoseVolumes);

    auto *lblStart = label("lblStart", QStringLiteral("Start of drinking:"));
    tmeStart =
        captioned(named(new QTimeEdit(defaultStart(QTime::currentTime())), "tmeStart"), lblStart);
    tmeStart->setDisplayFormat(hoursAndMinutesFormat(QLocale()));
    auto *lblPortions = label("lblPortions", QStringLiteral("Number of portions:"));
    spnPortions = captioned(named(new QSpinBox, "spnPortions"), lblPortions);
    spnPortions->setRange(SessionPlanLimits::MinimumPortions, SessionPlanLimits::MaximumPortions);
    spnPortions->setValue(m_settings.portions);
    const LevelScale &level = m_input.level;
    auto *lblReleaseLevel =
        label("lblReleaseLevel", QStringLiteral("Release level (%1):").arg(level.unitText()));
    txtRelease = captioned(
        named(new QLineEdit(SingleToText(level.shownLevel(m_settings.releaseLevel))), "txtRelease"),
        lblReleaseLevel);
    txtRelease->setMaximumWidth(fontMetrics().horizontalAdvance(QStringLiteral("0.0000000")) * 2);
    auto *choicesLayout = new QHBoxLayout;
    for (QWidget *control : std::initializer_list<QWidget *>{
             lblStart, tmeStart, lblPortions, spnPortions, lblReleaseLevel, txtRelease}) {
        choicesLayout->addWidget(control);
        if (qobject_cast<QLabel *>(control) == nullptr && control != txtRelease)
            choicesLayout->addSpacing(fontMetrics().height());
    }
    choicesLayout->addStretch();

    lblProblem = label("lblProblem", QString());
    lblProblem->setWordWrap(true);
    QPalette alarm = lblProblem->palette();
    alarm.setColor(QPalette::WindowText, QColor(0xb0, 0x00, 0x20));
    lblProblem->setPalette(alarm);

    // A list with columns rather than a table: a screen reader meets no unnamed corner cell.
    grdPortions = named(new QTreeWidget, "grdPortions");
    grdPortions->setAccessibleName(QStringLiteral("Portions"));
    grdPortions->setHeaderLabels(PlanText::portionColumns());
    grdPortions->setRootIsDecorated(false);
    grdPortions->setUniformRowHeights(true);
    grdPortions->setEditTriggers(QAbstractItemView::NoEditTriggers);
    grdPortions->setSelectionMode(QAbstractItemView::SingleSelection);
    grdPortions->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    grdPortions->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    sizePortionTable(grdPortions);

    QFont bold = font();
    bold.setBold(true);
    lblPeak = label("lblPeak", QString());
    lblRelease = label("lblRelease", QString());
    lblZero = label("lblZero", QString());
    auto *timesLayout = new QVBoxLayout;
    for (QLabel *line : {lblPeak, lblRelease, lblZero}) {
        line->setFont(bold);
        timesLayout->addWidget(line);
    }
    picChart = new BalChart;
    auto *resultsLayout = new QHBoxLayout;
    resultsLayout->addWidget(grdPortions, 0, Qt::AlignTop);
    resultsLayout->addWidget(picChart, 1);

    auto *lblCaveat = label("lblCaveat", PlanText::caveat());
    lblCaveat->setWordWrap(true);
    lblCaveat->setFont(bold);

    cmdPrint = commandButton("cmdPrint", QStringLiteral("Print..."));
    cmdClose = commandButton("cmdClose", QStringLiteral("Close"));
    connect(cmdPrint, &QPushButton::clicked, this, &frmPlan::cmdPrint_Click);
    connect(cmdClose, &QPushButton::clicked, this, &frmPlan::cmdClose_Click);
    auto *buttonsLayout = new QHBoxLayout;
    buttonsLayout->addStretch();
    buttonsLayout->addWidget(cmdPrint);
    buttonsLayout->addWidget(cmdClose);

    auto *window = new QVBoxLayout(this);
    window->addWidget(frame("fraDose", QStringLiteral("Calculated dose"), doseLayout));
    window->addWidget(frame("fraChoices", QStringLiteral("Plan"), choicesLayout));
    window->addWidget(lblProblem);
    window->addLayout(timesLayout);
    window->addLayout(resultsLayout, 1);
    window->addWidget(lblCaveat);
    window->addLayout(buttonsLayout);

    connect(tmeStart, &QTimeEdit::timeChanged, this, &frmPlan::refresh);
    connect(spnPortions, &QSpinBox::valueChanged, this, &frmPlan::refresh);
    connect(txtRelease, &QLineEdit::textChanged, this, &frmPlan::refresh);
}

void frmPlan::refresh()
{
    m_settings.portions = spnPortions->value();
    const SingleFromText release = TextToSingle(txtRelease->text());
    QString problem;
    if (!release.ok())
        problem = fieldProblemMessage(inputProblemOf(release, txtRelease->text()),
                                      QStringLiteral("Release level"), txtRelease->text());
    else if (!acceptsReleaseLevel(m_input.level.toBal(release.value)))
        problem = planFaultText(PlanProblem::ReleaseLevelNotAboveZero).message;
    else // only a usable level is remembered, in g/100 ml
        m_settings.releaseLevel = m_input.level.toBal(release.value);

    // Without a usable release level the dose is shown without a plan.
    DoseOptions options;
    if (problem.isEmpty())
        options.plan = m_settings;
    m_report = evaluateDose(m_input, options);
    m_plan = SessionPlan{};
    m_plan.problem = PlanProblem::ReleaseLevelNotAboveZero;
    if (m_report.plan) {
        m_plan = *m_report.plan;
        problem = planFaultText(m_plan.problem).message;
    }
    lblProblem->setText(problem);
    lblProblem->setVisible(!problem.isEmpty());
    txtRelease->setAccessibleDescription(problem);
    showPlan();
}

void frmPlan::showPlan()
{
    const SessionPlanSettings shown{spnPortions->value(), m_settings.releaseLevel};
    const PlanText text = describePlan(m_report.dose, m_plan, tmeStart->time(), shown);
    lblDoseInputs->setText(text.doseInputs);
    lblDoseVolumes->setText(text.doseVolumes);
    lblPeak->setText(text.peakLine);
    lblRelease->setText(text.releaseLine);
    lblZero->setText(text.zeroLine);
    for (QLabel *line : {lblPeak, lblRelease, lblZero})
        line->setVisible(m_plan.ok());

    grdPortions->clear();
    for (const QStringList &cells : text.portionRows) {
        auto *item = new QTreeWidgetItem(grdPortions, cells);
        for (int column = 0; column < int(cells.size()); ++column)
            item->setTextAlignment(column, Qt::AlignVCenter |
                                               (column == 1 ? Qt::AlignLeft : Qt::AlignRight));
    }
    picChart->setData({m_plan, m_report.dose.state.BAL, m_settings.releaseLevel, tmeStart->time(),
                       m_input.level});
    picChart->setAccessibleDescription(
        m_plan.ok()
            ? QStringList{text.peakLine, text.releaseLine, text.zeroLine}.join(QStringLiteral(". "))
            : QStringLiteral("No plan"));
    cmdPrint->setEnabled(m_plan.ok());
}

void frmPlan::cmdPrint_Click()
{
    QPrinter printer(QPrinter::HighResolution);
    printer.setDocName(QStringLiteral("Session Plan"));
    QPrintDialog dialog(&printer, this);
    dialog.setObjectName(QStringLiteral("printDialog"));
    if (dialog.exec() != QDialog::Accepted)
        return;
    if (!PlanRecord::paint(printer, m_report.dose, m_plan, tmeStart->time(), m_settings,
                           QDateTime::currentDateTime()))
        OperatorMessage::show(this, QStringLiteral("ERROR: The session plan could not be printed. "
                                                   "Check the printer, or print to a PDF file."));
}

void frmPlan::cmdClose_Click()
{
    close();
}
