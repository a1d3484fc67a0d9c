#include "forms/common/ModalDialog.h"

#include <QDialog>

namespace {

ModalDialog::Answer &answer()
{
    static ModalDialog::Answer instance;
    return instance;
}

} // namespace

int ModalDialog::exec(QDialog &dialog)
{
    if (answer())
        return answer()(dialog);
    return dialog.exec();
}

void ModalDialog::setAnswer(Answer newAnswer)
{
    answer() = std::move(newAnswer);
}
