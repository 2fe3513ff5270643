#pragma once

class TfrmMain;
class TLauncher;
class TfrmCredits;

// The program's three windows as the start-up created them; they live for the whole run.
class Application
{
public:
    static TfrmMain *MainForm();
    static TLauncher *Launcher();
    static TfrmCredits *Credits();

    // Set by the start-up (and by tests that build their own windows); null clears.
    static void SetMainForm(TfrmMain *form);
    static void SetLauncher(TLauncher *form);
    static void SetCredits(TfrmCredits *form);
};
