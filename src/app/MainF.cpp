#include "app/MainF.h"

TfrmMain::TfrmMain(QWidget *parent)
    : TForm(parent)
{
    setObjectName(QStringLiteral("frmMain"));
    setWindowTitle(QStringLiteral("Brindlemoor"));
    SetClientSize(640, 480);
}

void TfrmMain::FormCreate()
{
}
