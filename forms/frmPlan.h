#pragma once

#include "calc/DoseEvaluation.h"
#include "calc/SessionPlan.h"

#include <QDialog>
#include <QTime>

class BalChart;
class QLabel;
class QLineEdit;
class QPushButton;
class QSpinBox;
class QTreeWidget;
class QTimeEdit;

// "Session Plan": how to serve the last dose calculated in this run and when the participant is
// expected to fall below the release level, by the dosing model's own assumptions. The number of
// portions and the release level are the run's, remembered with the other settings.
class frmPlan : public QDialog {
    Q_OBJECT

public:
    // `dose` holds the values of the dose as the operator gave them.
    frmPlan(const DoseInput &dose, SessionPlanSettings &settings, QWidget *owner = nullptr);

    // The start of drinking offered first: `now` rounded up to the next 5 minutes.
    static QTime defaultStart(const QTime &now);

public slots:
    void cmdPrint_Click();
    void cmdClose_Click();

private:
    void createControls();
    // Recomputes the plan from the current choices and shows it.
    void refresh();
    void showPlan();

    const DoseInput m_input;
    SessionPlanSettings &m_settings;
    DoseReport m_report; // the dose and the plan of the current choices
    SessionPlan m_plan;  // the report's plan, or why there is none
    QLabel *lblDoseInputs = nullptr;
    QLabel *lblDoseVolumes = nullptr;
    QTimeEdit *tmeStart = nullptr;
    QSpinBox *spnPortions = nullptr;
    QLineEdit *txtRelease = nullptr;
    QLabel *lblProblem = nullptr;
    QTreeWidget *grdPortions = nullptr;
    QLabel *lblPeak = nullptr;
    QLabel *lblRelease = nullptr;
    QLabel *lblZero = nullptr;
    BalChart *picChart = nullptr;
    QPushButton *cmdPrint = nullptr;
    QPushButton *cmdClose = nullptr;
};
