#pragma once

#include "toolkit/Form.h"

// The credits window.
class TfrmCredits : public TForm
{
    Q_OBJECT

public:
    explicit TfrmCredits(QWidget *parent = nullptr);
};
