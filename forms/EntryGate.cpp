#include "forms/EntryGate.h"

#include "forms/ModalDialog.h"
#include "forms/OperatorMessage.h"
#include "forms/frmInitials.h"

EntryGate::EntryGate(Session &session, QWidget *owner) : m_session(session), m_owner(owner) {}

bool EntryGate::initialsGiven()
{
    if (!m_session.operatorInitials().isEmpty())
        return true;
    frmInitials dialog(m_owner);
    if (ModalDialog::exec(dialog) != QDialog::Accepted)
        return false;
    const SessionRefusal refusal = m_session.setOperatorInitials(dialog.initials());
    if (refusal.refused())
        OperatorMessage::show(m_owner, refusal.message);
    return !refusal.refused();
}

bool EntryGate::enter(const std::function<SessionCheck()> &check,
                      const std::function<SessionRefusal()> &make)
{
    if (!initialsGiven() || (m_before && !m_before()))
        return false;
    const SessionCheck checked = check();
    if (checked.refused()) {
        OperatorMessage::show(m_owner, checked.refusal.message);
        return false;
    }
    for (const QString &question : checked.questions) {
        if (OperatorMessage::ask(m_owner, question, QMessageBox::Yes | QMessageBox::No,
                                 QMessageBox::No) != QMessageBox::Yes)
            return false;
    }
    const SessionRefusal refusal = make();
    if (refusal.refused())
        OperatorMessage::show(m_owner, refusal.message);
    return !refusal.refused();
}
