#pragma once

#include "calc/dose/LevelUnits.h"
#include "calc/dose/Protocol.h"

#include <QDialog>

class QLabel;
class QLineEdit;
class QPushButton;

// "Protocol Limits": the three limits a protocol may set on a dose, each optional; an empty
// field sets none.
class frmLimits : public QDialog {
    Q_OBJECT

public:
    // `targetLevel` is the unit of levels the target limit is given in.
    frmLimits(const ProtocolLimits &limits, const LevelScale &targetLevel, const QString &note,
              QWidget *owner = nullptr);

    // The limits as accepted with OK.
    const ProtocolLimits &limits() const { return m_limits; }

public slots:
    // Takes the limits and closes, or names the field that is not a number above 0 and stays
    // open with everything as typed.
    void cmdOK_Click();
    void cmdCancel_Click();

private:
    QLineEdit *field(const char *name, const QString &caption, const std::optional<float> &limit);

    ProtocolLimits m_limits;
    QList<QLineEdit *> m_fields; // in the order ethanol per kg, total, target
    QLineEdit *txtLimitEthanol = nullptr;
    QLineEdit *txtLimitTotal = nullptr;
    QLineEdit *txtLimitTarget = nullptr;
    QPushButton *cmdOK = nullptr;
    QPushButton *cmdCancel = nullptr;
};
