#include "forms/main/Module1.h"

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
    }
    Splash->show();
    Splash->repaint();
}
