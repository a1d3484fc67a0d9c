#pragma once

#include "calc/BodyUnits.h"
#include "calc/DoseEvaluation.h"
#include "calc/DoseValues.h"
#include "calc/DosingState.h"

#include <QDialog>
#include <QStringList>
#include <optional>

class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;

// "User Input & Output": the participant, the dosing parameters and the computed volumes.
// Holds no data of its own; it copies its fields to and from the dosing state and, for height
// and weight, the run's centimetres and kilograms beside it. In metric units the height and
// weight fields are in centimetres and kilograms and go to the calculation as typed. The values
// of each successful calculation are kept as the run's last dose.
class frmInfo : public QDialog {
    Q_OBJECT

public:
    frmInfo(DosingState &state, BodyInCm &bodyInCm, std::optional<DoseInput> &lastDose,
            BodyUnits units = BodyUnits::InchesPounds, QWidget *owner = nullptr);

    // Fills the fields from the dosing state, height and weight in the window's units; run once
    // before the window is shown.
    void Form_Load();

signals:
    // After every calculation that gave a dose: the values outside their plausible range, in
    // words (empty when there are none).
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
    bool usesMetricUnits() const { return m_units == BodyUnits::CentimetresKilograms; }
    void showResults();

    DosingState &m_state;
    BodyInCm &m_bodyInCm;
    std::optional<DoseInput> &m_lastDose;
    const BodyUnits m_units;
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
