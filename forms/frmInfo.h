#pragma once

#include "calc/DosingState.h"

#include <QDialog>

class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;

// "User Input & Output": the participant, the dosing parameters and the computed volumes.
// Holds no data of its own; it copies its fields to and from the dosing state.
class frmInfo : public QDialog {
    Q_OBJECT

public:
    explicit frmInfo(DosingState &state, QWidget *owner = nullptr);

    // Fills the fields from the dosing state; run once before the window is shown.
    void Form_Load();

public slots:
    void cmdCalcNow_Click();
    void Command1_Click();

protected:
    void keyPressEvent(QKeyEvent *event) override;

private:
    void createControls();
    void setTabOrder();
    bool readField(QLineEdit *field, float &target);
    void showResults();

    DosingState &m_state;
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
