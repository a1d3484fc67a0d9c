#pragma once

#include "calc/dose/DoseValues.h"
#include "calc/dose/DosingState.h"
#include "forms/main/RunValues.h"

#include <QDialog>
#include <QStringList>
#include <optional>

class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;

// "User Input & Output": the participant, the dosing parameters and the computed volumes.
// Holds no data of its own; it copies its fields to and from the dosing state and, for height,
// weight and target, the run's values beside it. In metric units the height and weight fields
// are in centimetres and kilograms and go to the calculation as typed; the target is in the
// lab's unit of levels. The values of each successful calculation are kept as the run's last
// dose.
class frmInfo : public QDialog {
    Q_OBJECT

public:
    frmInfo(DosingState &state, RunValues &run, ValueUnits units = {}, QWidget *owner = nullptr);

    // Fills the fields from the dosing state, height and weight in the window's units; run once
    // before the window is shown.
    void Form_Load();

signals:
    // After every calculation that gave a dose: the values outside their plausible range and the
    // protocol's limits it passes, in words (empty when there are none).
    void doseCalculated(const QStringList &notices);

public slots:
    void cmdCalcNow_Click();
    void Command1_Click();

protected:
    void keyPressEvent(QKeyEvent *event) override;

private:
    // The caption of a value's field in the window's units.
    QString caption(DoseValue value) const;
    void createControls();
    void setTabOrder();
    bool readField(QLineEdit *field, float &target);
    bool readHeightAndWeight();
    // The target in the lab's unit, or none when the level shown for the state's BAL is still
    // there untouched: the BAL then stays exactly as it is.
    bool readTarget(std::optional<float> &typed);
    bool usesMetricUnits() const { return m_units.body == BodyUnits::CentimetresKilograms; }
    void showResults();

    DosingState &m_state;
    RunValues &m_run;
    const ValueUnits m_units;
    QString m_shownTarget; // the target field's text as shown, when converted from the BAL
    QRadioButton *optMale = nullptr;
    QRadioButton *optFemale = nullptr;
    QRadioButton *optNG = nullptr;
    QLineEdit *txtHeight = nullptr;
    QLineEdit *txtWeight = nullptr;
    QLineEdit *txtAge = nullptr;
    QLineEdit *txtBAL = nullptr;
    QLineEdit *txtDD = nullptr;
    QLineEdit *txtProof = nullptr;
    QLineEdit *txtRatio = nullptr;
    QLineEdit *txtAlcDose = nullptr;
    QLineEdit *txtMixDose = nullptr;
    QLineEdit *txtTotDose = nullptr;
    QPushButton *cmdCalcNow = nullptr;
    QPushButton *Command1 = nullptr;
};
