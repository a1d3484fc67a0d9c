#include "forms/session/frmChange.h"

#include "calc/dose/DoseFaultTexts.h"
#include "calc/dose/NumberText.h"
#include "calc/session/EntryRules.h"
#include "forms/common/Controls.h"
#include "forms/common/FixedDialog.h"
#include "forms/common/FocusedWheel.h"
#include "forms/common/Fonts.h"
#include "forms/common/OperatorMessage.h"

#include <QComboBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QVBoxLayout>

using namespace Controls;

frmChange::frmChange(Kind kind, int entry, const QString &entryText,
                     const QList<ChangeField> &fields, Apply apply, QWidget *owner)
    : QDialog(owner, FixedDialogFlags), m_fields(fields), m_apply(std::move(apply))
{
    const bool correct = kind == Kind::Correct;
    setObjectName(QStringLiteral("frmChange"));
    setWindowTitle((correct ? QStringLiteral("Correct Entry %1") : QStringLiteral("Void Entry %1"))
                       .arg(entry));
    setModal(true);
    setFont(Fonts::msSansSerif(8.25));

    auto *lblEntry = label("lblEntry", QStringLiteral("Entry %1: %2.").arg(entry).arg(entryText));
    lblEntry->setWordWrap(true);
    auto *lblKept =
        label("lblKept", correct ? QStringLiteral("The entry stays on the record as it was made; "
                                                  "the correction, with its reason, is added.")
                                 : QStringLiteral("The entry stays on the record, left out of "
                                                  "every rule; the void, with its reason, is "
                                                  "added."));
    lblKept->setWordWrap(true);

    auto *form = new QFormLayout;
    for (const ChangeField &field : m_fields) {
        QLabel *caption = label((QByteArray(field.name) + "Caption").constData(), field.caption);
        QWidget *editor = nullptr;
        if (field.clock) {
            auto *time = captioned(named(new ClockField, field.name), caption);
            time->setTime(*field.clock); // the time in force, held
            editor = time;
        } else {
            editor =
                captioned(named(new QLineEdit(SingleToText(field.number)), field.name), caption);
        }
        form->addRow(caption, editor);
        m_editors << editor;
    }
    m_numbers.resize(m_fields.size());
    m_clocks.resize(m_fields.size());

    auto *lblReason =
        label("lblReason",
              QStringLiteral("Reas&on (at most %1 characters):").arg(ChangeReason::MaximumLength));
    cboReason = captioned(named(new QComboBox, "cboReason"), lblReason);
    cboReason->setEditable(true);
    cboReason->setInsertPolicy(QComboBox::NoInsert);
    for (const char *reason : ChangeReason::Standard)
        cboReason->addItem(QString::fromUtf8(reason));
    cboReason->setCurrentIndex(-1);
    cboReason->lineEdit()->setAccessibleName(withoutAccessKey(lblReason->text()));
    form->addRow(lblReason, cboReason);

    cmdOK = commandButton("cmdOK", QStringLiteral("OK"));
    cmdOK->setDefault(true);
    cmdCancel = commandButton("cmdCancel", QStringLiteral("Cancel"));
    connect(cmdOK, &QPushButton::clicked, this, &frmChange::cmdOK_Click);
    connect(cmdCancel, &QPushButton::clicked, this, &QDialog::reject);

    auto *window = new QVBoxLayout(this);
    window->addWidget(lblEntry);
    window->addLayout(form);
    window->addWidget(lblKept);
    window->addLayout(buttonRow({cmdOK, cmdCancel}));
    FocusedWheel::applyTo(this);
    setFixedSize(sizeHint().expandedTo(QSize(fontMetrics().averageCharWidth() * 70, 0)));
}

void frmChange::setClock(const ClockField::Clock &clock)
{
    for (QWidget *editor : std::as_const(m_editors)) {
        if (auto *time = qobject_cast<ClockField *>(editor))
            time->setClock(clock);
    }
}

QTime frmChange::clock(qsizetype field) const
{
    return m_clocks.value(field);
}

float frmChange::number(qsizetype field) const
{
    return m_numbers.value(field);
}

QString frmChange::reason() const
{
    return cboReason->currentText();
}

void frmChange::cmdOK_Click()
{
    for (qsizetype i = 0; i < m_fields.size(); ++i) {
        if (const auto *time = qobject_cast<const ClockField *>(m_editors[i])) {
            if (!time->typedTime()) {
                OperatorMessage::show(this, time->problem());
                m_editors[i]->setFocus();
                return;
            }
            m_clocks[i] = *time->typedTime();
            continue;
        }
        const auto *text = qobject_cast<const QLineEdit *>(m_editors[i]);
        if (!text)
            continue;
        // A value left as shown is the value in force to the bit, though the field shows it
        // with fewer digits than it was typed with.
        if (!text->isModified()) {
            m_numbers[i] = m_fields[i].number;
            continue;
        }
        const SingleFromText number = TextToSingle(text->text());
        if (!number.ok()) {
            QString caption = withoutAccessKey(m_fields[i].caption);
            caption.chop(1); // the colon
            OperatorMessage::show(this, fieldProblemMessage(inputProblemOf(number, text->text()),
                                                            caption, text->text()));
            m_editors[i]->setFocus();
            return;
        }
        m_numbers[i] = number.value;
    }
    if (m_apply(*this))
        accept();
}
