#pragma once

#include <QDialog>
#include <QList>
#include <QPointer>
#include <QTimer>
#include <functional>

class QLabel;
class QPushButton;
class QTreeWidget;
class QTreeWidgetItem;
class frmPlan;

// "Lab Day": every session open, a row each, in the order they were opened: the session code,
// the next item due with its clock time and the time to it (counted down every second), the
// latest counting reading with its time and age, and the session's state. It names no dose and no
// beverage. An item whose time has come is said in its row ("due now", "overdue by 2:10") and
// the row is set in bold and in the alarm colour; Enter or a double click on a row brings that
// session's window to the front. Not modal: it stays open beside the sessions.
class frmLabDay : public QDialog {
    Q_OBJECT

public:
    using Sessions = std::function<QList<frmPlan *>()>;

    // The rows are the windows `sessions` gives, asked again every second.
    explicit frmLabDay(Sessions sessions, QWidget *owner = nullptr);

    static QStringList columns();

public slots:
    // The rows anew, the one selected kept.
    void refresh();
    // Brings the window of the session on `row` to the front.
    void raiseSession(int row);

private:
    void showRow(QTreeWidgetItem *item, frmPlan *plan);

    Sessions m_sessions;
    QList<QPointer<frmPlan>> m_rows; // the window of each row
    QTimer m_tick;
    QTreeWidget *grdLabDay = nullptr;
    QLabel *lblNoSession = nullptr;
    QPushButton *cmdClose = nullptr;
};
