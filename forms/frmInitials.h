#pragma once

#include <QDialog>

class QLineEdit;
class QPushButton;

// "Operator": the initials of the operator who makes a session's entries, asked once per session
// before its first entry and carried by every entry. They are the session's, never remembered
// between sessions.
class frmInitials : public QDialog {
    Q_OBJECT

public:
    explicit frmInitials(QWidget *owner = nullptr);

    // The initials as accepted with OK.
    QString initials() const;

public slots:
    // Closes with the initials, or says what initials are taken and stays open.
    void cmdOK_Click();

private:
    QLineEdit *txtInitials = nullptr;
    QPushButton *cmdOK = nullptr;
    QPushButton *cmdCancel = nullptr;
};
