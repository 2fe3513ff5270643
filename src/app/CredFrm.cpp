#include "app/CredFrm.h"

TfrmCredits::TfrmCredits(QWidget *parent)
    : TForm(parent)
{
    setObjectName(QStringLiteral("frmCredits"));
    setWindowTitle(QStringLiteral("Brindlemoor"));
    SetClientSize(462, 439);
}
