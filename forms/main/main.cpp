#include "appinfo/AppInfo.h"
#include "forms/common/Resources.h"
#include "forms/main/Module1.h"
#include "forms/main/frmMain.h"

#include <QApplication>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QApplication::setWindowIcon(Resources::icon());
    QApplication::setDesktopFileName(QString::fromLatin1(AppInfo::DesktopId));

    Module1::Main();
    const int status = app.exec();
    delete Module1::MainWindow.data();
    return status;
}
