#pragma once

#include "forms/common/ClockField.h"

#include <QDialog>
#include <QList>
#include <QTime>
#include <functional>
#include <optional>

class QComboBox;
class QLineEdit;
class QPushButton;

// One value of an entry as a correction gives it: a clock time, or a number typed as the
// window's fields are typed (with the user's decimal separator).
struct ChangeField {
    const char *name; // the field's object name
    QString caption;  // with its access key
    std::optional<QTime> clock;
    float number = 0; // the value in force, for a number field
};

// "Correct Entry" and "Void Entry": the new values of an entry of a session and the reason, or
// only the reason to void it. The reason is chosen from the usual ones or typed. OK hands what
// was typed to the window, which makes the change or says why not; the dialog closes only once
// the change is made.
class frmChange : public QDialog {
    Q_OBJECT

public:
    enum class Kind { Correct, Void };
    // Makes the change from the dialog's values; true when it was made.
    using Apply = std::function<bool(const frmChange &dialog)>;

    // `entryText` says what the entry records now; a void has no fields.
    frmChange(Kind kind, int entry, const QString &entryText, const QList<ChangeField> &fields,
              Apply apply, QWidget *owner = nullptr);

    // The clock a time typed without AM or PM is read by: the system's unless the window gives
    // its own.
    void setClock(const ClockField::Clock &clock);
    // The values as typed, in the order of the fields; each only once OK has read it.
    QTime clock(qsizetype field) const;
    float number(qsizetype field) const;
    QString reason() const;

public slots:
    // Reads the numbers, naming one that cannot be read, and applies the change.
    void cmdOK_Click();

private:
    QList<ChangeField> m_fields;
    QList<QWidget *> m_editors; // a ClockField or a QLineEdit per field
    QList<float> m_numbers;
    QList<QTime> m_clocks;
    Apply m_apply;
    QComboBox *cboReason = nullptr;
    QPushButton *cmdOK = nullptr;
    QPushButton *cmdCancel = nullptr;
};
