#include "DosingState.h"
#include "Module1.h"
#include "frmMain.h"

#include <QApplication>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);

    DosingState &state = Module1::dosingState;
    state.Gender = Gender::NotSpecified;
    state.Weight = 0;
    state.Height = 0;
    state.Age = 0;

    frmMain mainWindow;
    Module1::MainWindow = &mainWindow;
    mainWindow.MDIForm_Load();
    mainWindow.show();
    return app.exec();
}
