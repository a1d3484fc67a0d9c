#include "forms/session/frmLabDay.h"

#include "calc/session/ScheduleText.h"
#include "forms/common/Controls.h"
#include "forms/common/Fonts.h"
#include "forms/session/frmPlan.h"

#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QSizeGrip>
#include <QTreeWidget>
#include <QVBoxLayout>

using namespace Controls;

frmLabDay::frmLabDay(Sessions sessions, QWidget *owner)
    : QDialog(owner), m_sessions(std::move(sessions))
{
    setObjectName(QStringLiteral("frmLabDay"));
    setWindowTitle(QStringLiteral("Lab Day"));
    setFont(Fonts::msSansSerif(8.25));
    setSizeGripEnabled(true);
    if (auto *grip = findChild<QSizeGrip *>())
        grip->setAccessibleName(QStringLiteral("Size grip"));

    grdLabDay = named(new QTreeWidget, "grdLabDay");
    grdLabDay->setAccessibleName(QStringLiteral("Sessions"));
    grdLabDay->setHeaderLabels(columns());
    grdLabDay->setRootIsDecorated(false);
    grdLabDay->setUniformRowHeights(true);
    grdLabDay->setEditTriggers(QAbstractItemView::NoEditTriggers);
    grdLabDay->setSelectionMode(QAbstractItemView::SingleSelection);
    grdLabDay->header()->setStretchLastSection(true);
    grdLabDay->header()->setSectionResizeMode(QHeaderView::ResizeToContents);
    nameScrollBars(grdLabDay);
    // Enter, or a double click, as the platform activates an item.
    connect(grdLabDay, &QTreeWidget::itemActivated, this,
            [this](QTreeWidgetItem *item) { raiseSession(grdLabDay->indexOfTopLevelItem(item)); });
    lblNoSession = label("lblNoSession", QStringLiteral("No session is open."));
    cmdClose = commandButton("cmdClose", QStringLiteral("Cl&ose"));
    connect(cmdClose, &QPushButton::clicked, this, &QDialog::close);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(grdLabDay, 1);
    layout->addWidget(lblNoSession);
    layout->addLayout(buttonRow({cmdClose}));

    connect(&m_tick, &QTimer::timeout, this, &frmLabDay::refresh);
    m_tick.start(1000);
    refresh();
    const QFontMetrics metrics = fontMetrics();
    sizeWithinScreen(this, QSize(metrics.averageCharWidth() * 130, metrics.height() * 16),
                     QSize(metrics.averageCharWidth() * 60, metrics.height() * 10));
}

QStringList frmLabDay::columns()
{
    return {
        QStringLiteral("Session"),    QStringLiteral("Next"),           QStringLiteral("At"),
        QStringLiteral("Time to it"), QStringLiteral("Latest reading"), QStringLiteral("Taken at"),
        QStringLiteral("Age"),        QStringLiteral("State")};
}

void frmLabDay::refresh()
{
    const QList<frmPlan *> sessions = m_sessions();
    m_rows.clear();
    for (frmPlan *plan : sessions)
        m_rows << plan;
    while (grdLabDay->topLevelItemCount() > sessions.size())
        delete grdLabDay->takeTopLevelItem(grdLabDay->topLevelItemCount() - 1);
    while (grdLabDay->topLevelItemCount() < sessions.size())
        new QTreeWidgetItem(grdLabDay);
    for (int row = 0; row < sessions.size(); ++row)
        showRow(grdLabDay->topLevelItem(row), sessions[row]);
    lblNoSession->setVisible(sessions.isEmpty());
}

void frmLabDay::showRow(QTreeWidgetItem *item, frmPlan *plan)
{
    const ScheduleText text = describeSchedule(plan->report(), plan->schedule(), plan->now());
    const QStringList cells{text.session, text.next,      text.at,  text.in,
                            text.reading, text.readingAt, text.age, text.state};
    QFont font = grdLabDay->font();
    font.setBold(text.due);
    const QColor colour = text.due ? alarmColour(grdLabDay->palette().color(QPalette::Base))
                                   : grdLabDay->palette().color(QPalette::Text);
    // Only what changed, so that a screen reader hears the row change, not every second.
    for (int column = 0; column < int(cells.size()); ++column) {
        if (item->text(column) != cells[column])
            item->setText(column, cells[column]);
        // An empty cell is still announced.
        const QVariant said =
            cells[column].isEmpty() ? QVariant(QStringLiteral("none")) : QVariant();
        if (item->data(column, Qt::AccessibleTextRole) != said)
            item->setData(column, Qt::AccessibleTextRole, said);
        if (item->font(column).bold() != text.due) {
            item->setFont(column, font);
            item->setForeground(column, colour);
        }
    }
}

void frmLabDay::raiseSession(int row)
{
    frmPlan *plan = m_rows.value(row);
    if (!plan)
        return;
    if (plan->isMinimized())
        plan->showNormal();
    plan->raise();
    plan->activateWindow();
}
