#pragma once

#include <QDialog>

class QLabel;
class QLineEdit;
class QPushButton;

// "Operator": the initials of the operator who makes a session's entries, asked once per session
// before its first entry and carried by every entry. They are the session's, never remembered
// between sessions. Before a new session's first entry it asks for the session code as well,
// which names the record's file.
class frmInitials : public QDialog {
    Q_OBJECT

public:
    explicit frmInitials(QWidget *owner = nullptr);

    // Asks for the session code too, starting from `code`, and for the initials from `initials`.
    void askSessionCode(const QString &code, const QString &initials);

    // The initials and the session code as accepted with OK.
    QString initials() const;
    QString sessionCode() const;

public slots:
    // Closes with the initials (and the session code, when asked), or says what is taken and
    // stays open.
    void cmdOK_Click();

private:
    QLabel *lblCode = nullptr;
    QLineEdit *txtCode = nullptr;
    QLineEdit *txtInitials = nullptr;
    QPushButton *cmdOK = nullptr;
    QPushButton *cmdCancel = nullptr;
};
