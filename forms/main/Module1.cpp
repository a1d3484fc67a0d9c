#include "forms/main/Module1.h"

#include "forms/main/frmMain.h"
#include "forms/main/frmSplash.h"

#include <QApplication>

void Module1::Main()
{
    DosingState &state = dosingState;
    state.Gender = Gender::NotSpecified;
    state.Weight = 0;
    state.Height = 0;
    state.Age = 0;
    run = RunValues{};

    if (!Splash) {
        Splash = new frmSplash();
        Splash->Form_Load();
        QObject::connect(Splash, &frmSplash::begun, &Module1::Begin);
    }
    Splash->show();
    Splash->repaint();
}

void Module1::Begin()
{
    // Between the splash going and the main window showing no window is visible; that must not
    // end the program.
    const bool quitOnLastWindow = QApplication::quitOnLastWindowClosed();
    QApplication::setQuitOnLastWindowClosed(false);

    MainWindow = new frmMain(dosingState, run);
    MainWindow->MDIForm_Load();
    if (Splash)
        Splash->close();
    MainWindow->show();

    QApplication::setQuitOnLastWindowClosed(quitOnLastWindow);
}
