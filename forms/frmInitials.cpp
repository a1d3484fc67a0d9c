#include "forms/frmInitials.h"

#include "calc/EntryRules.h"
#include "calc/FaultTexts.h"
#include "forms/Controls.h"
#include "forms/FixedDialog.h"
#include "forms/Fonts.h"
#include "forms/OperatorMessage.h"

#include <QHBoxLayout>
#include <QVBoxLayout>

using namespace Controls;

frmInitials::frmInitials(QWidget *owner) : QDialog(owner, FixedDialogFlags)
{
    setObjectName(QStringLiteral("frmInitials"));
    setWindowTitle(QStringLiteral("Operator"));
    setModal(true);
    setFont(Fonts::msSansSerif(8.25));

    auto *lblInitials =
        label("lblInitials", QStringLiteral("Your &initials (1 to %1 letters), carried by every "
                                            "entry you make in this session:")
                                 .arg(OperatorInitials::MaximumLength));
    lblInitials->setWordWrap(true);
    txtInitials = captioned(named(new QLineEdit, "txtInitials"), lblInitials);
    txtInitials->setMaxLength(OperatorInitials::MaximumLength * 2); // told, not cut, when longer
    cmdOK = commandButton("cmdOK", QStringLiteral("OK"));
    cmdOK->setDefault(true);
    cmdCancel = commandButton("cmdCancel", QStringLiteral("Cancel"));
    connect(cmdOK, &QPushButton::clicked, this, &frmInitials::cmdOK_Click);
    connect(cmdCancel, &QPushButton::clicked, this, &QDialog::reject);

    auto *window = new QVBoxLayout(this);
    window->addWidget(lblInitials);
    window->addWidget(txtInitials);
    window->addLayout(buttonRow({cmdOK, cmdCancel}));
    setFixedSize(sizeHint().expandedTo(QSize(fontMetrics().averageCharWidth() * 50, 0)));
}

QString frmInitials::initials() const
{
    return txtInitials->text().trimmed();
}

void frmInitials::cmdOK_Click()
{
    if (!acceptsOperatorInitials(initials())) {
        OperatorMessage::show(
            this, sessionRefusal(SessionFault::InitialsInvalid, {txtInitials->text()}).message);
        txtInitials->setFocus();
        return;
    }
    accept();
}
