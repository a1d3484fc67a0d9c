#include "forms/session/EntryGate.h"

#include "calc/session/SessionCode.h"
#include "forms/common/ModalDialog.h"
#include "forms/common/OperatorMessage.h"
#include "forms/session/frmInitials.h"

EntryGate::EntryGate(Session &session, QWidget *owner) : m_session(session), m_owner(owner) {}

bool EntryGate::initialsGiven()
{
    // The code names a new session's file, which its first entry makes.
    const bool codeNeeded = m_session.state() == RecordState::NotSaved;
    const QString typed =
        m_codeField.typed ? m_codeField.typed() : m_session.record().setup.sessionCode;
    const bool codeGiven = !codeNeeded || acceptsSessionCode(typed);
    if (codeGiven && !m_session.operatorInitials().isEmpty())
        return true;
    frmInitials dialog(m_owner);
    if (!codeGiven)
        dialog.askSessionCode(typed, m_session.operatorInitials());
    if (ModalDialog::exec(dialog) != QDialog::Accepted)
        return false;
    if (!codeGiven) {
        const SessionRefusal refused = m_session.setSessionCode(dialog.sessionCode());
        if (refused.refused()) {
            OperatorMessage::show(m_owner, refused.message);
            return false;
        }
        if (m_codeField.show)
            m_codeField.show(dialog.sessionCode());
    }
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
