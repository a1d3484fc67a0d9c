#pragma once

#include "calc/session/SessionRecord.h"

#include <QDialog>
#include <memory>

class QPushButton;
class QTreeWidget;

// "Session History": every row of a session's record in file order, each entry as it was made
// beside what it is now (as corrected, or voided), and each correction and void with what it did,
// why, when and by whom. It only shows the record, never changes it.
class frmHistory : public QDialog {
    Q_OBJECT

public:
    // `path` names the record's file; `warning` is shown above the rows (a file cut short or
    // changed outside Pourwise).
    frmHistory(const SessionRecord &record, const QString &path, const QString &warning = {},
               QWidget *owner = nullptr);

    // The history of the record at `path`; none, with a message naming what is wrong, when the
    // file cannot be read.
    static std::unique_ptr<frmHistory> openRecord(const QString &path, QWidget *owner = nullptr);

private:
    QTreeWidget *grdHistory = nullptr;
    QPushButton *cmdClose = nullptr;
};
