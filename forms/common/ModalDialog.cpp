#include "forms/common/ModalDialog.h"

#include <QDialog>

namespace {

ModalDialog::Answer &dialogAnswer()
{
    static ModalDialog::Answer instance;
    return instance;
}

} // namespace

int ModalDialog::exec(QDialog &dialog)
{
    if (dialogAnswer())
        return dialogAnswer()(dialog);
    return dialog.exec();
}

void ModalDialog::setAnswer(Answer newAnswer)
{
    dialogAnswer() = std::move(newAnswer);
}
