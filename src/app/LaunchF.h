#pragma once

#include "toolkit/Form.h"

// The hidden launcher window: holds the file list through which disc folders are listed.
class TLauncher : public TForm
{
    Q_OBJECT

public:
    explicit TLauncher(QWidget *parent = nullptr);
};
