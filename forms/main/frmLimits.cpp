#include "forms/main/frmLimits.h"

#include "calc/dose/DoseFaultTexts.h"
#include "calc/dose/NumberText.h"
#include "forms/common/Controls.h"
#include "forms/common/FixedDialog.h"
#include "forms/common/Fonts.h"
#include "forms/common/OperatorMessage.h"

#include <QFormLayout>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QVBoxLayout>

using namespace Controls;

frmLimits::frmLimits(const ProtocolLimits &limits, const LevelScale &targetLevel,
                     const QString &note, QWidget *owner)
    : QDialog(owner, FixedDialogFlags), m_limits(limits)
{
    setObjectName(QStringLiteral("frmLimits"));
    setWindowTitle(QStringLiteral("Protocol Limits"));
    setModal(true);
    setFont(Fonts::msSansSerif(8.25));

    auto *form = new QFormLayout;
    const auto addField = [&](const char *name, const QString &caption,
                              const std::optional<float> &limit) {
        auto *captionLabel = label((QByteArray(name) + "Caption").constData(), caption);
        auto *edit = captioned(named(new QLineEdit(limit ? SingleToText(*limit) : QString()), name),
                               captionLabel);
        form->addRow(captionLabel, edit);
        m_fields << edit;
        return edit;
    };
    txtLimitEthanol =
        addField("txtLimitEthanol", QStringLiteral("Ethanol at most (g per kg of body weight):"),
                 limits.ethanolPerKg);
    txtLimitTotal =
        addField("txtLimitTotal", QStringLiteral("Total beverage at most (mls):"), limits.totalMl);
    txtLimitTarget = addField("txtLimitTarget",
                              QStringLiteral("Target %1 at most (%2):")
                                  .arg(targetLevel.levelName(), targetLevel.unitText()),
                              limits.target);

    auto *lblNote = label("lblNote", QStringLiteral("Leave a field empty for no limit. ") + note);
    lblNote->setWordWrap(true);
    cmdOK = commandButton("cmdOK", QStringLiteral("OK"));
    cmdOK->setDefault(true);
    cmdCancel = commandButton("cmdCancel", QStringLiteral("Cancel"));
    connect(cmdOK, &QPushButton::clicked, this, &frmLimits::cmdOK_Click);
    connect(cmdCancel, &QPushButton::clicked, this, &frmLimits::cmdCancel_Click);

    auto *window = new QVBoxLayout(this);
    window->addLayout(form);
    window->addWidget(lblNote);
    window->addLayout(buttonRow({cmdOK, cmdCancel}));
    setFixedSize(sizeHint().expandedTo(QSize(fontMetrics().averageCharWidth() * 60, 0)));
}

void frmLimits::cmdOK_Click()
{
    std::array<std::optional<float>, 3> read;
    for (qsizetype i = 0; i < m_fields.size(); ++i) {
        const QString typed = m_fields[i]->text().trimmed();
        if (typed.isEmpty())
            continue;
        QString caption = m_fields[i]->accessibleName();
        caption.chop(1); // the colon
        const SingleFromText number = TextToSingle(typed);
        if (!number.ok()) {
            OperatorMessage::show(
                this, fieldProblemMessage(inputProblemOf(number, typed), caption, typed));
            m_fields[i]->setFocus();
            return;
        }
        if (!acceptsLimit(number.value)) {
            OperatorMessage::show(this, limitNotAboveZeroMessage(caption));
            m_fields[i]->setFocus();
            return;
        }
        read[std::size_t(i)] = number.value;
    }
    m_limits = {read[0], read[1], read[2]};
    accept();
}

void frmLimits::cmdCancel_Click()
{
    reject();
}
