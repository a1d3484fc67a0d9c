#include "forms/main/frmAbout.h"

#include "appinfo/AppInfo.h"
#include "forms/common/FixedDialog.h"
#include "forms/common/Fonts.h"
#include "forms/common/LineShape.h"
#include "forms/common/OperatorMessage.h"
#include "forms/common/PictureBox.h"
#include "forms/common/Resources.h"
#include "forms/common/TextColour.h"
#include "forms/common/Twips.h"
#include "forms/common/VersionText.h"
#include "sysinfo/SysInfoLauncher.h"
#include "sysinfo/SystemPlatform.h"

#include <QLabel>
#include <QPushButton>

namespace {

using Twips::place;

constexpr int AboutClientWidth = 5655;
constexpr int AboutClientHeight = 3630;
constexpr int RuleTop = 2400;

QLabel *placedLabel(QWidget *window, const char *name, const QString &text, int left, int top,
                    int width, int height, bool bold)
{
    auto *caption = place(new QLabel(text, window), name, left, top, width, height);
    if (bold)
        caption->setFont(Fonts::msSansSerif(8.25, true));
    setTextColour(caption, Qt::black);
    return caption;
}

} // namespace

frmAbout::frmAbout(QWidget *owner)
    : QDialog(owner, FixedDialogFlags), m_platformFactory(makeSystemPlatform)
{
    // The caption is fixed text, not built from the application title.
    setUpFixedDialog(this, "frmAbout", QStringLiteral("About Pourwise"), AboutClientWidth,
                     AboutClientHeight);
    createControls();
}

void frmAbout::createControls()
{
    auto *picIcon = pictureBox(this, "picIcon", Resources::icon().pixmap(32, 32), 240, 240,
                               QStringLiteral("Pourwise icon"));
    picIcon->setAutoFillBackground(true);
    QPalette grey = picIcon->palette();
    grey.setColor(QPalette::Window, QColor(192, 192, 192));
    picIcon->setPalette(grey);

    cmdOK = place(new QPushButton(QStringLiteral("OK"), this), "cmdOK", 4245, 2625, 1260, 345);
    cmdOK->setDefault(true);
    cmdSysInfo = place(new QPushButton(QStringLiteral("&System Info..."), this), "cmdSysInfo", 4260,
                       3075, 1245, 345);
    connect(cmdOK, &QPushButton::clicked, this, &frmAbout::cmdOK_Click);
    connect(cmdSysInfo, &QPushButton::clicked, this, &frmAbout::cmdSysInfo_Click);

    placedLabel(this, "Label2", QString::fromUtf8(AppInfo::AuthorInstitution), 240, 3000, 3135, 255,
                true);
    placedLabel(this, "Label1", QString::fromUtf8(AppInfo::AuthorPosition), 240, 2760, 3135, 255,
                true);
    placedLabel(this, "lblEmail", QString::fromUtf8(AppInfo::AuthorEmail), 240, 3240, 2415, 345,
                true);
    placedLabel(this, "lblAuthor", QString::fromUtf8(AppInfo::AuthorName), 240, 2520, 2670, 315,
                true);
    lblDescription = placedLabel(this, "lblDescription", QStringLiteral("App Description"), 1050,
                                 1125, 3885, 690, false);
    lblDescription->setWordWrap(true);
    lblDescription->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    lblTitle = placedLabel(this, "lblTitle", QStringLiteral("Application Title"), 1050, 240, 3885,
                           480, true);
    lblTitle->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    lblVersion =
        place(new QLabel(QStringLiteral("Version"), this), "lblVersion", 1050, 780, 3885, 225);

    // An etched rule across the window: the grey line first, the white one over it.
    new LineShape(this, 1, QLine(225, RuleTop, 5450, RuleTop), QColor(128, 128, 128), 1);
    new LineShape(this, 0, QLine(240, RuleTop, 5450, RuleTop), QColor(255, 255, 255), 2);

    QWidget::setTabOrder(cmdOK, cmdSysInfo);
    QWidget::setTabOrder(cmdSysInfo, picIcon);
}

void frmAbout::Form_Load()
{
    lblVersion->setText(versionText());
    lblTitle->setText(QString::fromUtf8(AppInfo::Title));
    lblDescription->setText(QString::fromUtf8(AppInfo::Description));
}

void frmAbout::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    cmdOK->setFocus();
}

void frmAbout::cmdOK_Click()
{
    close();
}

void frmAbout::cmdSysInfo_Click()
{
    const auto platform = m_platformFactory([this](const std::string &text) {
        OperatorMessage::show(this, QString::fromStdString(text));
    });
    StartSysInfo(*platform);
}
