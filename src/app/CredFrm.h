#pragma once

#include "toolkit/Form.h"

class QObject;
class QShowEvent;
class TCustomPanel;
class TImage;
class TMarquee;

// The credits window: fixed artwork with a framed box in which the disclaimer and the credit lines
// scroll upwards in an endless loop; a click anywhere closes it, and the text keeps its place.
class TfrmCredits : public TForm
{
    Q_OBJECT

public:
    // parent is the main window, which owns the credits on the screen.
    explicit TfrmCredits(QWidget *parent = nullptr);
    ~TfrmCredits() override;

    TCustomPanel *pnlCredits = nullptr;
    TImage *imgCredits = nullptr;

protected:
    void FormCreate() override;
    void FormShow() override;
    void showEvent(QShowEvent *event) override;

private:
    void CreateComponents();
    void CreateMarquee();
    void AddCreditLines();
    void FormDestroy();
    void imgCreditsClick(QObject *sender);

    TMarquee *Marquee = nullptr;
};
