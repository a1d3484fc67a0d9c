#pragma once

#include "forms/common/Fonts.h"
#include "forms/common/Twips.h"

#include <QDialog>

// A modal dialog with a fixed frame: a title bar with the system menu and the close box, no
// minimise or maximise box, not resizable, and no taskbar entry of its own when it has an owner.
inline constexpr Qt::WindowFlags FixedDialogFlags =
    Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
    Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint;

// Names the dialog, sets its caption, the classic dialog face and its client size in twips.
inline void setUpFixedDialog(QDialog *dialog, const char *name, const QString &caption,
                             int clientWidth, int clientHeight)
{
    dialog->setObjectName(QLatin1String(name));
    dialog->setWindowTitle(caption);
    dialog->setModal(true);
    dialog->setFont(Fonts::msSansSerif(8.25));
    dialog->setFixedSize(Twips::toPixels(clientWidth), Twips::toPixels(clientHeight));
}
