#pragma once

#include "calc/Session.h"

#include <functional>

class QWidget;

// What every entry into a session goes through in the window, in this order: the operator's
// initials, asked once per session before its first entry; what the window asks before any entry
// (turning a version-1 file into version 2); the session's check, whose refusal is shown and
// whose questions are asked, each answered Yes or No; and last the operation itself.
class EntryGate {
public:
    EntryGate(Session &session, QWidget *owner);

    // Asked before every entry once the initials are given; false stops the entry.
    void setBeforeEntry(std::function<bool()> before) { m_before = std::move(before); }

    // True when the session has the operator's initials, asking for them when it has none.
    bool initialsGiven();

    // Makes an entry: true when `make` made it. Nothing is entered when a question is answered No
    // or a refusal is shown.
    bool enter(const std::function<SessionCheck()> &check,
               const std::function<SessionRefusal()> &make);

private:
    Session &m_session;
    QWidget *m_owner;
    std::function<bool()> m_before;
};
