#pragma once

#include <functional>

class QDialog;

// Every dialog a window opens to ask for values (the operator's initials, a correction) runs
// through here, so that a test can answer it without a modal loop, as OperatorMessage lets it
// answer a question.
namespace ModalDialog {

// Runs `dialog` modally; QDialog::Accepted or Rejected.
int exec(QDialog &dialog);

// Replaces the modal loop by `answer` until reset with an empty function. The answer fills in
// and presses the dialog's own controls, and returns its result().
using Answer = std::function<int(QDialog &dialog)>;
void setAnswer(Answer answer);

} // namespace ModalDialog
