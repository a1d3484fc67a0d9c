#include "forms/main/frmSplash.h"

#include "appinfo/AppInfo.h"
#include "forms/common/DialogKeys.h"
#include "forms/common/Fonts.h"
#include "forms/common/PictureBox.h"
#include "forms/common/Resources.h"
#include "forms/common/TextColour.h"
#include "forms/common/Twips.h"
#include "forms/common/VersionText.h"

#include <QApplication>
#include <QCursor>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QScreen>

namespace {

using Twips::place;

constexpr int SplashClientWidth = 7815;
constexpr int SplashClientHeight = 4740;

QLabel *placedLabel(QWidget *container, const char *name, const QString &text, int left, int top,
                    int width, int height, const QFont &font)
{
    auto *caption = place(new QLabel(text, container), name, left, top, width, height);
    caption->setFont(font);
    return caption;
}

// A label that grows (or shrinks) to fit its text, keeping its top-left corner.
void fitToText(QLabel *label)
{
    label->resize(label->sizeHint());
}

} // namespace

frmSplash::frmSplash(QWidget *parent)
    : QDialog(parent, Qt::Window | Qt::CustomizeWindowHint | Qt::MSWindowsFixedSizeDialogHint)
{
    setObjectName(QStringLiteral("frmSplash"));
    setAttribute(Qt::WA_DeleteOnClose); // unloaded for good: the splash is not shown again
    setWindowTitle(QString());
    setAccessibleName(QString::fromUtf8(AppInfo::Title)); // no title bar, but a name to announce
    setWindowIcon(Resources::icon());
    setFixedSize(Twips::toPixels(SplashClientWidth), Twips::toPixels(SplashClientHeight));

    auto *fraMainFrame = place(new QGroupBox(this), "fraMainFrame", 45, -15, 7740, 4710);
    fraMainFrame->setAccessibleName(QStringLiteral("Pourwise"));
    auto *picLogo = pictureBox(fraMainFrame, "picLogo", Resources::logo(), 120, 240,
                               QStringLiteral("Pourwise logo"));
    placedLabel(fraMainFrame, "lblAuthor",
                QStringLiteral("code by ") + QString::fromUtf8(AppInfo::AuthorName), 4320, 3000,
                3375, 315, Fonts::arial(12, true));
    lblVersion = placedLabel(fraMainFrame, "lblVersion", QStringLiteral("Version"), 180, 3360, 720,
                             240, Fonts::arial(9.75, true));
    auto *lblPlatform = placedLabel(fraMainFrame, "lblPlatform", QStringLiteral("Windows 95"), 180,
                                    3120, 1140, 240, Fonts::arial(9.75, true));
    lblPlatform->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    fitToText(lblPlatform);
    fitToText(lblVersion);

    cmdBegin = place(new QPushButton(QStringLiteral("Begin"), fraMainFrame), "cmdBegin", 6000, 3960,
                     1215, 495);
    cmdBegin->setFont(Fonts::arial(12, true));
    cmdBegin->setAutoDefault(false);
    cmdBegin->setDefault(false);
    connect(cmdBegin, &QPushButton::clicked, this, &frmSplash::cmdBegin_Click);

    // The product name in large type over two lines, in the colours of the logo.
    auto *Label1 = placedLabel(fraMainFrame, "Label1", QStringLiteral("Pour"), 2700, 240, 4935, 615,
                               Fonts::arial(24, true));
    auto *Label2 = placedLabel(fraMainFrame, "Label2", QStringLiteral("wise"), 2700, 840, 2895, 735,
                               Fonts::msSansSerif(24, true));
    setTextColour(Label1, QColor(0x17, 0x5e, 0x6e));
    setTextColour(Label2, QColor(0xd9, 0x83, 0x16));
    placedLabel(fraMainFrame, "Label6", QString::fromUtf8(AppInfo::AuthorEmail), 4325, 3360, 3015,
                495, Fonts::arial(12, true));

    QWidget::setTabOrder(picLogo, cmdBegin);
    centreOnScreen();
}

// Placed here rather than by Qt's dialog placement, which allows for a title bar this window
// does not have and so puts it too high.
void frmSplash::centreOnScreen()
{
    const QScreen *screen = QGuiApplication::screenAt(QCursor::pos());
    if (!screen)
        screen = QGuiApplication::primaryScreen();
    if (!screen)
        return;
    QRect placed(QPoint(), size());
    placed.moveCenter(screen->availableGeometry().center());
    move(placed.topLeft());
}

void frmSplash::Form_Load()
{
    lblVersion->setText(versionText());
    fitToText(lblVersion);
}

void frmSplash::cmdBegin_Click()
{
    emit begun();
}

// Begin is the only way on: Esc must not end the program from here.
void frmSplash::keyPressEvent(QKeyEvent *event)
{
    if (!handleKeyWithoutDefaultButton(this, event))
        QDialog::keyPressEvent(event);
}
