#include "frmInfo.h"

#include <QApplication>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    frmInfo info;
    info.Form_Load();
    return info.exec();
}
