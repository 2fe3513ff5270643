#pragma once

#include "toolkit/Form.h"

// The main window of the menu.
class TfrmMain : public TForm
{
    Q_OBJECT

public:
    explicit TfrmMain(QWidget *parent = nullptr);

protected:
    void FormCreate() override;
};
