#include "forms/session/SetupFields.h"

#include "calc/dose/DoseFaultTexts.h"
#include "calc/session/SessionFaultTexts.h"
#include "calc/dose/NumberText.h"
#include "calc/dose/Placebo.h"
#include "calc/session/ClockText.h"
#include "calc/session/SessionClock.h"
#include "calc/session/SessionCode.h"
#include "calc/session/SessionEntries.h"
#include "calc/session/SessionText.h"
#include "forms/common/Controls.h"
#include "forms/common/ModalDialog.h"
#include "forms/common/OperatorMessage.h"
#include "forms/session/EntryGate.h"
#include "forms/session/frmChange.h"

#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScopedValueRollback>
#include <QSpinBox>
#include <QTimeEdit>
#include <QVBoxLayout>
#include <algorithm>

using namespace Controls;

SetupFields::SetupFields(Session &session, SessionPlanSettings &settings, EntryGate &gate,
                         QWidget *window)
    : QObject(window), m_session(session), m_settings(settings), m_gate(gate), m_window(window),
      m_clock(&QDateTime::currentDateTime)
{
    createFrames();
    connect(txtSessionCode, &QLineEdit::textChanged, this, &SetupFields::setSessionCode);
    connect(optPlacebo, &QRadioButton::toggled, this, &SetupFields::setBeverage);
    connect(spnFloat, &QSpinBox::valueChanged, this, &SetupFields::setBeverage);
    connect(tmeStart, &QTimeEdit::timeChanged, this, &SetupFields::setStart);
    connect(spnPortions, &QSpinBox::valueChanged, this, &SetupFields::setPortions);
    connect(txtRelease, &QLineEdit::textChanged, this, &SetupFields::setReleaseLevel);
    connect(tmeStart, &QTimeEdit::editingFinished, this, &SetupFields::correctSetup);
    connect(txtRelease, &QLineEdit::editingFinished, this, &SetupFields::correctSetup);
}

void SetupFields::createFrames()
{
    // Sized by the window's font, which its controls take once they are laid out in it.
    const QFontMetrics metrics = m_window->fontMetrics();
    lblSessionCode = label("lblSessionCode", QStringLiteral("Sessio&n code:"));
    txtSessionCode = captioned(named(new QLineEdit, "txtSessionCode"), lblSessionCode);
    txtSessionCode->setMaximumWidth(metrics.horizontalAdvance(QLatin1Char('W')) * 20);
    lblSessionProblem = alarmLabel("lblSessionProblem");
    lblSessionProblem->hide();
    optAlcohol = named(new QRadioButton(QStringLiteral("A&lcohol")), "optAlcohol");
    optPlacebo = named(new QRadioButton(QStringLiteral("Plac&ebo")), "optPlacebo");
    lblFloat = label("lblFloat", QStringLiteral("&Float (ml):"));
    spnFloat = captioned(named(new QSpinBox, "spnFloat"), lblFloat);
    lblRecordFile = label("lblRecordFile", QString());
    lblRecordFile->setWordWrap(true);
    lblRecordPlace = label("lblRecordPlace", QString());
    lblRecordPlace->setWordWrap(true);
    // Every letter of its caption is another control's access key, on some tab: Alt+. it is.
    cmdChangeFolder = commandButton("cmdChangeFolder", QStringLiteral("Change Folder&..."));
    // Queued, as every button that opens a window: a press through the accessibility interface
    // returns at once.
    connect(cmdChangeFolder, &QPushButton::clicked, this, &SetupFields::changeFolderAsked,
            Qt::QueuedConnection);
    lblOperator = label("lblOperator", QString());

    lblStart = label("lblStart", QStringLiteral("S&tart of drinking:"));
    tmeStart = captioned(named(new QTimeEdit, "tmeStart"), lblStart);
    tmeStart->setDisplayFormat(hoursAndMinutesFormat(QLocale()));
    lblPortions = label("lblPortions", QStringLiteral("N&umber of portions:"));
    spnPortions = captioned(named(new QSpinBox, "spnPortions"), lblPortions);
    spnPortions->setRange(SessionPlanLimits::MinimumPortions, SessionPlanLimits::MaximumPortions);
    const LevelScale &level = m_session.record().setup.input.level;
    lblReleaseLevel =
        label("lblReleaseLevel", QStringLiteral("Relea&se level (%1):").arg(level.unitText()));
    txtRelease = captioned(named(new QLineEdit, "txtRelease"), lblReleaseLevel);
    txtRelease->setMaximumWidth(metrics.horizontalAdvance(QStringLiteral("0.0000000")) * 2);

    auto *sessionLayout = new QHBoxLayout;
    for (QWidget *control : std::initializer_list<QWidget *>{
             lblSessionCode, txtSessionCode, optAlcohol, optPlacebo, lblFloat, spnFloat})
        sessionLayout->addWidget(control);
    sessionLayout->addStretch();
    auto *sessionFrame = new QVBoxLayout;
    sessionFrame->addLayout(sessionLayout);
    sessionFrame->addWidget(lblSessionProblem);
    sessionFrame->addWidget(lblRecordFile);
    auto *placeLayout = new QHBoxLayout;
    placeLayout->addWidget(lblRecordPlace, 1);
    placeLayout->addWidget(cmdChangeFolder, 0, Qt::AlignTop);
    sessionFrame->addLayout(placeLayout);
    sessionFrame->addWidget(lblOperator);
    m_sessionFrame = frame("fraSession", QStringLiteral("Session"), sessionFrame);

    auto *choicesLayout = new QHBoxLayout;
    for (QWidget *control : std::initializer_list<QWidget *>{
             lblStart, tmeStart, lblPortions, spnPortions, lblReleaseLevel, txtRelease}) {
        choicesLayout->addWidget(control);
        if (qobject_cast<QLabel *>(control) == nullptr && control != txtRelease)
            choicesLayout->addSpacing(metrics.height());
    }
    choicesLayout->addStretch();
    m_planFrame = frame("fraChoices", QStringLiteral("Plan"), choicesLayout);
}

void SetupFields::present(const SessionReport &report)
{
    m_report = report;
    const bool fixed = m_session.setupFixed();
    const bool readOnly = m_session.state() == RecordState::ReadOnly;
    for (QWidget *choice : std::initializer_list<QWidget *>{spnPortions, optAlcohol, optPlacebo})
        choice->setEnabled(!fixed);
    spnFloat->setEnabled(!fixed && m_report.placebo);
    txtSessionCode->setReadOnly(m_session.state() != RecordState::NotSaved);
    // Once fixed, a start or a release level typed is a correction of the setup.
    tmeStart->setReadOnly(readOnly);
    txtRelease->setReadOnly(readOnly);
    if (!m_session.operatorInitials().isEmpty())
        lblOperator->setText(QStringLiteral("Operator: ") + m_session.operatorInitials());
    else if (readOnly) // no entry can be made, so nobody is asked
        lblOperator->setText(QStringLiteral("Operator: none, the record is read-only"));
    else
        lblOperator->setText(QStringLiteral("Operator: asked before the first entry"));
}

void SetupFields::showRecordState(const QString &text)
{
    const bool isNew = m_session.state() == RecordState::NotSaved;
    // The other says nothing, to a screen reader either.
    lblRecordPlace->setText(isNew ? text : QString());
    lblRecordFile->setText(isNew ? QString() : text);
    lblRecordFile->setVisible(!isNew);
    lblRecordPlace->setVisible(isNew);
    cmdChangeFolder->setVisible(isNew);
}

void SetupFields::showSetup()
{
    const SessionRecord &record = m_session.record();
    const SessionSetup &setup = record.setup;
    const LevelScale &level = setup.input.level;
    const QSignalBlocker code(txtSessionCode), placebo(optPlacebo), floatMl(spnFloat),
        start(tmeStart), portions(spnPortions), release(txtRelease);
    if (m_session.state() != RecordState::NotSaved)
        txtSessionCode->setText(setup.sessionCode);
    (setup.placebo ? optPlacebo : optAlcohol)->setChecked(true);
    const SessionPlan plan = m_report.hasPlan() ? *m_report.dose.plan : SessionPlan{};
    spnFloat->setRange(0, std::max({0, smallestPortionMl(plan), setup.floatMl}));
    spnFloat->setValue(setup.floatMl);
    const EntryValues inForce = m_session.valuesInForce(1);
    tmeStart->setTime(inForce.start.value_or(setup.start).time());
    spnPortions->setValue(setup.plan.portions);
    txtRelease->setText(
        SingleToText(level.shownLevel(inForce.releaseBal.value_or(setup.plan.releaseLevel))));
}

bool SetupFields::takeSessionCode()
{
    const QString code = txtSessionCode->text();
    if (m_session.record().setup.sessionCode == code && acceptsSessionCode(code))
        return true;
    const SessionRefusal refusal = m_session.setSessionCode(code);
    if (refusal.refused()) {
        OperatorMessage::show(m_window, refusal.message);
        txtSessionCode->setFocus();
    }
    return !refusal.refused();
}

QString SetupFields::typedSessionCode() const
{
    return txtSessionCode->text();
}

void SetupFields::showSessionCode(const QString &code)
{
    txtSessionCode->setText(code);
}

QString SetupFields::setupProblem() const
{
    for (const QWidget *field : std::initializer_list<const QWidget *>{
             optPlacebo, spnFloat, tmeStart, spnPortions, txtRelease}) {
        if (m_setupProblems.contains(field))
            return m_setupProblems.value(field);
    }
    return {};
}

void SetupFields::setupAnswered(QWidget *field, const SessionRefusal &refusal)
{
    if (refusal.refused())
        m_setupProblems.insert(field, refusal.message);
    else
        m_setupProblems.remove(field);
    field->setAccessibleDescription(refusal.message);
    emit answered();
}

void SetupFields::setSessionCode(const QString &code)
{
    const bool usable = code.isEmpty() || acceptsSessionCode(code);
    if (acceptsSessionCode(code))
        m_session.setSessionCode(code);
    lblSessionProblem->setText(usable ? QString() : sessionCodeMessage(code));
    lblSessionProblem->setVisible(!usable);
    txtSessionCode->setAccessibleDescription(lblSessionProblem->text());
}

void SetupFields::setBeverage()
{
    if (m_session.setupFixed())
        return;
    setupAnswered(optPlacebo,
                  m_session.setBeverage(optPlacebo->isChecked(), float(spnFloat->value())));
    showSetup(); // the float a portion of the new plan can hold
}

void SetupFields::setStart()
{
    if (m_session.setupFixed())
        return;
    setupAnswered(tmeStart, m_session.setStart(SessionClock::startAt(tmeStart->time(), m_clock())));
}

void SetupFields::setPortions()
{
    if (m_session.setupFixed())
        return;
    const SessionRefusal refusal = m_session.setPortions(spnPortions->value());
    if (!refusal.refused())
        m_settings.portions = spnPortions->value();
    setupAnswered(spnPortions, refusal);
}

void SetupFields::setReleaseLevel()
{
    if (m_session.setupFixed())
        return;
    const QString typed = txtRelease->text();
    const SingleFromText level = TextToSingle(typed);
    if (!level.ok()) {
        setupAnswered(txtRelease, {SessionFault::PlanChoice,
                                   fieldProblemMessage(inputProblemOf(level, typed),
                                                       QStringLiteral("Release level"), typed)});
        return;
    }
    const SessionRefusal refusal = m_session.setReleaseLevel(level.value);
    if (!refusal.refused()) // only a usable level is remembered, in g/100 ml
        m_settings.releaseLevel = m_session.record().setup.plan.releaseLevel;
    setupAnswered(txtRelease, refusal);
}

void SetupFields::correctSetup()
{
    // Return in a field ends its editing, and so does the focus it loses to the dialog: one
    // correction is asked for, not two.
    if (m_correcting || !m_session.setupFixed() || m_session.state() == RecordState::ReadOnly)
        return;
    const QScopedValueRollback correcting(m_correcting, true);
    const EntryValues inForce = m_session.valuesInForce(1);
    const QDateTime start = inForce.start.value_or(QDateTime());
    const LevelScale &level = m_report.setup.input.level;
    const float release = level.shownLevel(inForce.releaseBal.value_or(0));
    const SingleFromText typed = TextToSingle(txtRelease->text());
    const bool sameStart = tmeStart->time() == start.time();
    const bool sameRelease = typed.ok() && typed.value == release;
    if (sameStart && sameRelease)
        return;
    const QList<ChangeField> fields{
        {"tmeChangeStart", QStringLiteral("&Start of drinking:"), tmeStart->time()},
        {"txtChangeRelease", QStringLiteral("&Release level (%1):").arg(level.unitText()),
         std::nullopt, typed.ok() ? typed.value : release}};
    const auto apply = [&](const frmChange &dialog) {
        EntryValues corrected;
        corrected.start = SessionClock::startAt(dialog.clock(0), start);
        corrected.releaseBal = level.toBal(dialog.number(1));
        const QString reason = dialog.reason();
        const QDateTime now = m_clock();
        return m_gate.enter([&] { return m_session.checkCorrection(1, corrected, reason, now); },
                            [&] { return m_session.correct(1, corrected, reason, now); });
    };
    const SessionEntries entries(m_session.record());
    frmChange dialog(frmChange::Kind::Correct, 1, entryValuesText(entries.setup(), m_report),
                     fields, apply, m_window);
    dialog.setClock([this] { return m_clock().time(); });
    ModalDialog::exec(dialog);
    showSetup(); // as corrected, or as it was
}
