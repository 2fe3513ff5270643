#include "app/Application.h"

namespace {
TfrmMain *mainForm = nullptr;
TLauncher *launcher = nullptr;
TfrmCredits *credits = nullptr;
} // namespace

TfrmMain *Application::MainForm()
{
    return mainForm;
}

TLauncher *Application::Launcher()
{
    return launcher;
}

TfrmCredits *Application::Credits()
{
    return credits;
}

void Application::SetMainForm(TfrmMain *form)
{
    mainForm = form;
}

void Application::SetLauncher(TLauncher *form)
{
    launcher = form;
}

void Application::SetCredits(TfrmCredits *form)
{
    credits = form;
}
