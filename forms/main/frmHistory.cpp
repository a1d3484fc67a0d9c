#include "forms/main/frmHistory.h"

#include "calc/record/RecordFile.h"
#include "calc/session/SessionText.h"
#include "forms/common/Controls.h"
#include "forms/common/Fonts.h"
#include "forms/common/OffThread.h"
#include "forms/common/OperatorMessage.h"

#include <QDir>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QSizeGrip>
#include <QStyledItemDelegate>
#include <QTreeWidget>
#include <QVBoxLayout>

using namespace Controls;

namespace {

// The columns that hold sentences wrap; the others are as wide as their cells.
constexpr int FirstSentenceColumn = 4;

// A list's rows as high as their text wraps in the width its column has: a tree view asks for a
// row's height without saying how wide the column is.
class WrappingDelegate : public QStyledItemDelegate {
public:
    explicit WrappingDelegate(QTreeView *view) : QStyledItemDelegate(view), m_view(view) {}

    QSize sizeHint(const QStyleOptionViewItem &option, const QModelIndex &index) const override
    {
        QStyleOptionViewItem sized = option;
        // A valid rectangle as wide as the column: the style wraps the text within it.
        sized.rect = QRect(0, 0, m_view->columnWidth(index.column()), QWIDGETSIZE_MAX);
        return QStyledItemDelegate::sizeHint(sized, index);
    }

private:
    QTreeView *m_view;
};

} // namespace

frmHistory::frmHistory(const SessionRecord &record, const QString &path, const QString &warning,
                       QWidget *owner)
    : QDialog(owner)
{
    setObjectName(QStringLiteral("frmHistory"));
    setWindowTitle(QStringLiteral("Session History"));
    setFont(Fonts::msSansSerif(8.25));
    setSizeGripEnabled(true);
    if (auto *grip = findChild<QSizeGrip *>())
        grip->setAccessibleName(QStringLiteral("Size grip"));

    auto *lblRecord =
        label("lblRecord", QStringLiteral("Session %1, recorded in %2. Every row of the record, "
                                          "in the order it was made; nothing is ever changed or "
                                          "removed.")
                               .arg(record.setup.sessionCode, QDir::toNativeSeparators(path)));
    lblRecord->setWordWrap(true);
    auto *lblWarning = alarmLabel("lblWarning");
    lblWarning->setText(warning);
    lblWarning->setVisible(!warning.isEmpty());

    const SessionReport report = evaluateSession(record, QDateTime::currentDateTime());
    const QStringList columns = historyColumns();
    grdHistory = named(new QTreeWidget, "grdHistory");
    grdHistory->setAccessibleName(QStringLiteral("History"));
    grdHistory->setHeaderLabels(columns);
    grdHistory->setRootIsDecorated(false);
    grdHistory->setWordWrap(true);
    grdHistory->setUniformRowHeights(false);
    grdHistory->setTextElideMode(Qt::ElideNone);
    grdHistory->setItemDelegate(new WrappingDelegate(grdHistory));
    grdHistory->setEditTriggers(QAbstractItemView::NoEditTriggers);
    grdHistory->setSelectionMode(QAbstractItemView::SingleSelection);
    grdHistory->header()->setStretchLastSection(false);
    for (int column = 0; column < int(columns.size()); ++column)
        grdHistory->header()->setSectionResizeMode(column, column < FirstSentenceColumn
                                                               ? QHeaderView::ResizeToContents
                                                               : QHeaderView::Stretch);
    for (const QStringList &cells : describeHistory(record, report)) {
        auto *item = new QTreeWidgetItem(grdHistory, cells);
        for (int column = 0; column < int(cells.size()); ++column) {
            item->setTextAlignment(column, Qt::AlignLeft | Qt::AlignTop);
            if (cells[column].isEmpty()) // a change has nothing in force: said all the same
                item->setData(column, Qt::AccessibleTextRole, QStringLiteral("none"));
        }
    }
    nameScrollBars(grdHistory);
    // The rows' heights follow their columns' widths.
    connect(
        grdHistory->header(), &QHeaderView::sectionResized, grdHistory,
        [this] { grdHistory->doItemsLayout(); }, Qt::QueuedConnection);

    cmdClose = commandButton("cmdClose", QStringLiteral("Cl&ose"));
    cmdClose->setDefault(true);
    connect(cmdClose, &QPushButton::clicked, this, &QDialog::accept);
    auto *window = new QVBoxLayout(this);
    window->addWidget(lblRecord);
    window->addWidget(lblWarning);
    window->addWidget(grdHistory, 1);
    window->addLayout(buttonRow({cmdClose}));

    // Wide enough for the sentences to read on two lines or so, within the screen.
    const int u = fontMetrics().height();
    sizeWithinScreen(this, QSize(u * 70, u * 50), QSize(u * 24, u * 14));
}

std::unique_ptr<frmHistory> frmHistory::openRecord(const QString &path, QWidget *owner)
{
    // A large record takes a while to read: the windows go on meanwhile.
    const RecordReading reading = offThread([path] { return RecordFile::open(path); });
    if (!reading.record) {
        OperatorMessage::show(owner, reading.error);
        return nullptr;
    }
    return std::make_unique<frmHistory>(*reading.record, path, reading.warning, owner);
}
