#include "forms/session/frmInitials.h"

#include "calc/session/SessionFaultTexts.h"
#include "calc/session/EntryRules.h"
#include "calc/session/SessionCode.h"
#include "forms/common/Controls.h"
#include "forms/common/FixedDialog.h"
#include "forms/common/Fonts.h"
#include "forms/common/OperatorMessage.h"

#include <QHBoxLayout>
#include <QVBoxLayout>

using namespace Controls;

frmInitials::frmInitials(QWidget *owner) : QDialog(owner, FixedDialogFlags)
{
    setObjectName(QStringLiteral("frmInitials"));
    setWindowTitle(QStringLiteral("Operator"));
    setModal(true);
    setFont(Fonts::msSansSerif(8.25));

    // Shown only when the session code is asked for as well.
    lblCode = label("lblCode", QStringLiteral("&Session code, which names the record's file:"));
    lblCode->setWordWrap(true);
    txtCode = captioned(named(new QLineEdit, "txtCode"), lblCode);
    txtCode->setMaxLength(SessionCode::MaximumLength * 2); // told, not cut, when longer
    lblCode->hide();
    txtCode->hide();
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
    window->addWidget(lblCode);
    window->addWidget(txtCode);
    window->addWidget(lblInitials);
    window->addWidget(txtInitials);
    window->addLayout(buttonRow({cmdOK, cmdCancel}));
    setFixedSize(sizeHint().expandedTo(QSize(fontMetrics().averageCharWidth() * 50, 0)));
}

void frmInitials::askSessionCode(const QString &code, const QString &initials)
{
    txtCode->setText(code);
    txtInitials->setText(initials);
    lblCode->show();
    txtCode->show();
    setFixedSize(sizeHint().expandedTo(QSize(fontMetrics().averageCharWidth() * 50, 0)));
    (code.isEmpty() ? txtCode : txtInitials)->setFocus();
}

QString frmInitials::sessionCode() const
{
    return txtCode->text();
}

QString frmInitials::initials() const
{
    return txtInitials->text().trimmed();
}

void frmInitials::cmdOK_Click()
{
    // The code as the session's own field takes it, with its words.
    if (!txtCode->isHidden() && !acceptsSessionCode(sessionCode())) {
        OperatorMessage::show(this, sessionCodeMessage(sessionCode()));
        txtCode->setFocus();
        return;
    }
    if (!acceptsOperatorInitials(initials())) {
        OperatorMessage::show(
            this, sessionRefusal(SessionFault::InitialsInvalid, {txtInitials->text()}).message);
        txtInitials->setFocus();
        return;
    }
    accept();
}
