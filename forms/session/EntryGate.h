#pragma once

#include "calc/session/Session.h"

#include <functional>

class QWidget;

// What every entry into a session goes through in the window, in this order: the operator's
// initials, asked once per session before its first entry, with the session code before a new
// session's first entry when the window's field holds none it takes; what the window asks before
// any entry (turning a version-1 file into version 2); the session's check, whose refusal is shown
// and whose questions are asked, each answered Yes or No; and last the operation itself.
class EntryGate {
public:
    EntryGate(Session &session, QWidget *owner);

    // Asked before every entry once the initials are given; false stops the entry.
    void setBeforeEntry(std::function<bool()> before) { m_before = std::move(before); }

    // The window's session code field: what it holds, and how it shows a code the operator gave
    // in the initials' dialog (the field gives it to the session, as when it is typed).
    struct CodeField {
        std::function<QString()> typed;
        std::function<void(const QString &code)> show;
    };
    void setCodeField(CodeField field) { m_codeField = std::move(field); }

    // True when the session has the operator's initials and, until it has a file, a session
    // code; asking for both in one dialog when either is missing.
    bool initialsGiven();

    // Makes an entry: true when `make` made it. Nothing is entered when a question is answered No
    // or a refusal is shown.
    bool enter(const std::function<SessionCheck()> &check,
               const std::function<SessionRefusal()> &make);

private:
    Session &m_session;
    QWidget *m_owner;
    std::function<bool()> m_before;
    CodeField m_codeField;
};
