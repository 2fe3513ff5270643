#pragma once

#include "app/DiscPictures.h"
#include "toolkit/Form.h"
#include "toolkit/RzLstBox.h"

#include <QBuffer>
#include <QFont>
#include <QHash>
#include <QImage>
#include <QList>
#include <QRect>
#include <QString>
#include <QStringList>

#include <cstdint>
#include <span>

class TImage;
class TImageList;
class TlxAnimator;
class TlxPageControl1;
class TLauncher;
class TRzLabel;
class TRzRichEdit;
struct TRect;

// The main window of the menu: four pages in a fixed 640 by 480 picture, animated buttons on the
// main page, hot spots over the artwork and the texts and templates read from the disc.
class TfrmMain : public TForm
{
    Q_OBJECT

public:
    // The disc's pictures are painted by creation, as read from the disc when the window is built
    // unless they were being read already.
    explicit TfrmMain(QWidget *parent = nullptr, DiscPictures discPictures = DiscPictures());
    ~TfrmMain() override;

    // The disc folder of the template list, relative to AppFolder.
    const QString &TemplateFolder() const { return TemplateFolder_; }
    // The scratch picture that receives one file's icon at a time.
    const QImage &IconBitmap() const { return IconBitmap_; }
    // The button animation started last, or none.
    TlxAnimator *CurrentAnimator() const { return CurrentAnimator_; }

    // A description text of the disc's Files/Text Files/ folder and the text box that shows it,
    // with the box's place in the window, from the window description.
    struct TextPlace
    {
        QString file;
        QString box;
        QRect bounds;
    };
    // The six description texts, in the order the window first loads them.
    static QList<TextPlace> TextPlaces();
    // The font of the window, which its text boxes show their texts in.
    static QFont WindowFont();

protected:
    void FormCreate() override;
    void FormShow() override;

private:
    struct Row;
    static std::span<const Row> Description();
    static const Row &DescribedRow(const char *name);
    void CreateComponents();
    void FindComponents();

    // Event handlers bound by the window description.
    void MainClick(QObject *sender);
    void anmMainOrderClick(QObject *sender);
    void BackToMainClick(QObject *sender);
    void QuitClick(QObject *sender);
    void lblLojoClick(QObject *sender);
    void pnlMainButtonsMouseEnter(QObject *sender);
    void pnlBackMouseMove(QObject *sender, Qt::KeyboardModifiers shift, int x, int y);
    void GenMouseMove(QObject *sender, Qt::KeyboardModifiers shift, int x, int y);
    void LitHotSpotMouseLeave(QObject *sender);
    void lblOverQuitMouseEnter(QObject *sender);
    void lblSamplewareBackMouseEnter(QObject *sender);
    void lblOverInstallMouseEnter(QObject *sender);
    void lblExtraBackMouseEnter(QObject *sender);
    void lblExtraFileHelpMouseEnter(QObject *sender);
    void lblToolboxBackMouseEnter(QObject *sender);
    void InstallToolClick(QObject *sender);
    void lblOverInstallClick(QObject *sender);
    void lblExtraFileHelpClick(QObject *sender);
    void lbxTemplateDrawItem(QWidget *control, int index, const TRect &rect, TOwnerDrawState state);
    void lbxTemplateDblClick(QObject *sender);

    // Buttons and pages.
    void AnimateButton(int tag, bool play);
    void SetButtonAnimation(TlxAnimator *animator, bool play);
    void StopAllButtons();
    void HideLitPictures();
    void ShowPage(QWidget *page);

    // Page content from the disc.
    void LoadArtwork();
    void LoadPageTexts();
    void LoadTextInto(TRzRichEdit *control, const QString &path);

    // The template list.
    void FillTemplateList(const QString &folder);
    void AddTemplateEntry(int index);
    TLauncher &Launcher() const;

    std::int32_t HomePage_ = 0;
    TlxAnimator *CurrentAnimator_ = nullptr;
    QBuffer TextBuffer_;
    QString TemplateFolder_;
    QImage IconBitmap_;
    DiscPictures discPictures_;

    // The frame each animated button rests on, from the window description.
    QHash<const TlxAnimator *, std::int32_t> restFrames_;
    // The picture each hot spot lights, from the window description.
    QHash<const QWidget *, TImage *> litPictures_;

    TImage *imgMainBack = nullptr;
    TRzLabel *lblCdRodNumber = nullptr;
    TImage *imgQuit = nullptr;
    TlxPageControl1 *pgcBrindle = nullptr;
    QWidget *tabMain = nullptr;
    QWidget *tabSampleware = nullptr;
    QWidget *tabIndex = nullptr;
    QWidget *tabToolBox = nullptr;
    TlxAnimator *anmMainSampleware = nullptr;
    TlxAnimator *anmMainOrder = nullptr;
    TlxAnimator *anmMainToolbox = nullptr;
    TlxAnimator *anmMainTemplate = nullptr;
    TImage *imgSample = nullptr;
    TImage *imgSampleBack = nullptr;
    TImage *imgArrow = nullptr;
    TRzRichEdit *memSample = nullptr;
    TImage *imgExtraBack = nullptr;
    TImage *imgHelp = nullptr;
    TRzRichEdit *edtText = nullptr;
    TRzListBox *lbxTemplate = nullptr;
    TImage *imgToolBack = nullptr;
    TRzRichEdit *edtAcr = nullptr;
    TRzRichEdit *edtZip = nullptr;
    TRzRichEdit *edtFlash = nullptr;
    TRzRichEdit *edtReal = nullptr;
};
