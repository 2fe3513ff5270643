#include "app/MainF.h"

#include "app/Application.h"
#include "app/Artwork.h"
#include "app/CredFrm.h"
#include "app/GlobalsU.h"
#include "app/LaunchF.h"
#include "app/MainFDescription.h"
#include "app/TemplateDelivery.h"
#include "platform/DiscPath.h"
#include "platform/FileOps.h"
#include "platform/Installer.h"
#include "toolkit/AnsiText.h"
#include "toolkit/Exceptions.h"
#include "toolkit/FileListBox.h"
#include "toolkit/Image.h"
#include "toolkit/ImageList.h"
#include "toolkit/Rect.h"
#include "toolkit/RzEdit.h"
#include "toolkit/RzLabel.h"
#include "toolkit/lxAnimator.h"
#include "toolkit/lxPageControl1.h"

#include <QFile>
#include <QPainter>
#include <QPointer>
#include <QScopeGuard>

#include <algorithm>
#include <functional>
#include <future>
#include <map>
#include <type_traits>
#include <utility>
#include <vector>

using namespace MainDescription;

namespace {

constexpr int ClientWidth = 640;
constexpr int ClientHeight = 480;
constexpr int StarterLabelHeight = 50;
constexpr qint64 ReadChunk = 64 * 1024;

const QString StarterCaption = QStringLiteral("Your Starter CD");
const QString DiscCaption = QStringLiteral("CD-Rom ");

} // namespace

namespace {

// Binds a control's notify event to a handler of the window.
template <class Event> void bindNotify(Event &event, TfrmMain *form, void (TfrmMain::*handler)(QObject *))
{
    if (handler)
        event = [form, handler](QObject *sender) { (form->*handler)(sender); };
}

void applyFrame(auto &control, const auto &settings)
{
    // Loading keeps the stored sides and style that switching the flat look on would reset.
    control.BeginLoad();
    control.SetFrameSides(settings.frameSides);
    control.SetFrameStyle(settings.frameStyle);
    control.SetFrameFlatStyle(settings.frameFlatStyle);
    control.SetFrameFocusStyle(settings.frameFocusStyle);
    control.SetFrameVisible(settings.frameVisible);
    control.SetFrameFlat(settings.frameFlat);
    control.EndLoad();
}

} // namespace

TfrmMain::TfrmMain(QWidget *parent, DiscPictures discPictures) : TForm(parent), discPictures_(std::move(discPictures))
{
    setObjectName(QStringLiteral("frmMain"));
    setWindowTitle(QStringLiteral("Brindlemoor"));
    setWindowIcon(Artwork::Icon());
    SetClientSize(ClientWidth, ClientHeight);

    QPalette colours = palette();
    colours.setColor(QPalette::Window, colours.color(QPalette::Button));
    setPalette(colours);
    setAutoFillBackground(true);
    setFont(WindowFont());

    TextBuffer_.open(QIODevice::ReadWrite);
    CreateComponents();
    FindComponents();
    CentreOnScreen();
}

TfrmMain::~TfrmMain() = default;

void TfrmMain::CreateComponents()
{
    std::map<QString, QObject *> created;
    const auto find = [&created](const char *name) -> QObject * {
        const auto it = created.find(QLatin1String(name));
        return it == created.end() ? nullptr : it->second;
    };
    std::map<QWidget *, std::vector<std::pair<int, QWidget *>>> tabOrders;

    for (const Row &row : Description()) {
        const Row::Settings &s = row.settings;
        const Row::Events &e = row.events;
        QWidget *parent = row.parent ? qobject_cast<QWidget *>(find(row.parent)) : this;
        const QRect bounds = s.align == Align::Client ? parent->rect()
                             : s.align == Align::Top  ? QRect(0, 0, parent->width(), row.bounds.height())
                                                      : row.bounds;
        QObject *component = nullptr;
        QWidget *control = nullptr;

        switch (row.kind) {
        case Kind::Image: {
            auto *image = new TImage(parent);
            // Decoded when first shown: pictures on hidden pages and the backdrop that the disc's
            // own backdrop covers are never decoded at start-up. The first page's are decoded on a
            // thread while the window is built, ready for its first paint.
            std::function<QImage()> picture = Artwork::DeferredPicture(QLatin1String(s.picture));
            if (row.parent && qstrcmp(row.parent, "tabMain") == 0)
                picture = [decoded = std::async(std::launch::async, picture).share()] { return decoded.get(); };
            image->SetPicture(row.bounds.size(), std::move(picture));
            bindNotify(image->OnClick, this, e.onClick);
            bindNotify(image->OnMouseEnter, this, e.onMouseEnter);
            if (e.onMouseMove) {
                image->OnMouseMove = [this, h = e.onMouseMove](QObject *sender, Qt::KeyboardModifiers shift, int x,
                                                               int y) { (this->*h)(sender, shift, x, y); };
            }
            control = image;
            break;
        }
        case Kind::Label:
        case Kind::HotSpot: {
            auto *label = new TRzLabel(parent);
            label->SetAutoSize(false);
            label->SetTransparent(true);
            label->SetTextStyle(s.textStyle);
            label->SetAlignment(s.alignment);
            if (s.fontName) {
                QFont font(QLatin1String(s.fontName));
                font.setPixelSize(s.fontPixels);
                font.setBold(s.bold);
                label->SetFont(font);
            }
            if (s.caption)
                label->SetCaption(QLatin1String(s.caption));
            if (row.kind == Kind::HotSpot)
                label->setCursor(Qt::PointingHandCursor);
            label->setFocusPolicy(Qt::NoFocus);
            bindNotify(label->OnClick, this, e.onClick);
            bindNotify(label->OnMouseEnter, this, e.onMouseEnter);
            bindNotify(label->OnMouseLeave, this, e.onMouseLeave);
            if (s.litPicture)
                litPictures_.insert(label, qobject_cast<TImage *>(find(s.litPicture)));
            control = label;
            break;
        }
        case Kind::PageControl:
            control = new TlxPageControl1(parent);
            break;
        case Kind::Page:
            component = qobject_cast<TlxPageControl1 *>(parent)->AddPage(QLatin1String(row.name));
            break;
        case Kind::ImageList: {
            auto *list = new TImageList(row.bounds.width(), row.bounds.height(), this);
            list->SetBkColor(QColor::fromRgb(s.bkColor));
            Artwork::LoadImageList(QLatin1String(s.picture), *list);
            component = list;
            break;
        }
        case Kind::Animator: {
            auto *animator = new TlxAnimator(parent);
            animator->SetAnimate(s.animate);
            animator->SetDelay(s.delay);
            animator->SetImageIndex(s.imageIndex);
            if (s.handCursor)
                animator->setCursor(Qt::PointingHandCursor);
            bindNotify(animator->OnClick, this, e.onClick);
            bindNotify(animator->OnMouseEnter, this, e.onMouseEnter);
            restFrames_.insert(animator, s.imageIndex);
            control = animator;
            break;
        }
        case Kind::RichEdit: {
            auto *edit = new TRzRichEdit(parent);
            edit->SetReadOnly(s.readOnly);
            applyFrame(*edit, s);
            control = edit;
            break;
        }
        case Kind::ListBox: {
            auto *list = new TRzListBox(parent);
            list->SetStyle(s.style);
            list->SetItemHeight(s.itemHeight);
            applyFrame(*list, s);
            bindNotify(list->OnDblClick, this, e.onDblClick);
            if (e.onDrawItem) {
                list->OnDrawItem = [this, h = e.onDrawItem](QWidget *c, int index, const TRect &rect,
                                                            TOwnerDrawState state) {
                    (this->*h)(c, index, rect, state);
                };
            }
            control = list;
            break;
        }
        }

        if (control) {
            control->setGeometry(bounds);
            if (s.accessibleName)
                control->setAccessibleName(QString::fromUtf8(s.accessibleName));
            SetTagOf(control, row.tag);
            if (s.tabOrder >= 0)
                tabOrders[parent].emplace_back(s.tabOrder, control);
            component = control;
        }
        component->setObjectName(QLatin1String(row.name));
        created.emplace(QLatin1String(row.name), component);
    }

    // References to components described later are resolved once every component exists.
    for (const Row &row : Description()) {
        if (row.kind == Kind::Animator) {
            auto *animator = qobject_cast<TlxAnimator *>(find(row.name));
            animator->SetImageList(qobject_cast<TImageList *>(find(row.settings.imageList)));
        } else if (row.kind == Kind::PageControl && row.settings.activePage) {
            qobject_cast<TlxPageControl1 *>(find(row.name))
                ->SetActivePage(qobject_cast<QWidget *>(find(row.settings.activePage)));
        }
    }
    for (auto &[parent, controls] : tabOrders) {
        std::sort(controls.begin(), controls.end(), [](const auto &a, const auto &b) { return a.first < b.first; });
        for (std::size_t i = 1; i < controls.size(); ++i)
            QWidget::setTabOrder(controls[i - 1].second, controls[i].second);
    }
}

void TfrmMain::FindComponents()
{
    const auto bind = [this](auto *&field, const char *name) {
        field = findChild<std::remove_reference_t<decltype(*field)> *>(QLatin1String(name));
        Q_ASSERT(field);
    };
    bind(imgMainBack, "imgMainBack");
    bind(lblCdRodNumber, "lblCdRodNumber");
    bind(imgQuit, "imgQuit");
    bind(pgcBrindle, "pgcBrindle");
    bind(tabMain, "tabMain");
    bind(tabSampleware, "tabSampleware");
    bind(tabIndex, "tabIndex");
    bind(tabToolBox, "tabToolBox");
    bind(anmMainSampleware, "anmMainSampleware");
    bind(anmMainOrder, "anmMainOrder");
    bind(anmMainToolbox, "anmMainToolbox");
    bind(anmMainTemplate, "anmMainTemplate");
    bind(imgSample, "imgSample");
    bind(imgSampleBack, "imgSampleBack");
    bind(imgArrow, "imgArrow");
    bind(memSample, "memSample");
    bind(imgExtraBack, "imgExtraBack");
    bind(imgHelp, "imgHelp");
    bind(edtText, "edtText");
    bind(lbxTemplate, "lbxTemplate");
    bind(imgToolBack, "imgToolBack");
    bind(edtAcr, "edtAcr");
    bind(edtZip, "edtZip");
    bind(edtFlash, "edtFlash");
    bind(edtReal, "edtReal");
}

void TfrmMain::FormCreate()
{
    SetClientSize(ClientWidth, ClientHeight);
    HomePage_ = 0;

    if (GlobalsU::DiscNumber() == 0) {
        lblCdRodNumber->SetWordWrap(true);
        lblCdRodNumber->resize(lblCdRodNumber->width(), StarterLabelHeight);
        lblCdRodNumber->SetCaption(StarterCaption);
    } else {
        lblCdRodNumber->SetCaption(DiscCaption + QString::number(GlobalsU::DiscNumber()));
    }
    lblCdRodNumber->SetFontColor(GlobalsU::LabelColours[GlobalsU::ColourIndex()]);

    ShowPage(pgcBrindle->Pages(HomePage_));
    // TextBuffer_ and IconBitmap_ live as long as the window, so a failed load below leaves the
    // rest of the window working.
    LoadArtwork();
    LoadPageTexts();
}

void TfrmMain::FormShow()
{
    ShowPage(pgcBrindle->Pages(HomePage_));
}

// Navigation.

void TfrmMain::ShowPage(QWidget *page)
{
    pgcBrindle->SetActivePage(page);
}

void TfrmMain::MainClick(QObject *sender)
{
    switch (TagOf(sender)) {
    case 1:
        ShowPage(tabIndex);
        edtText->SetText(QString());
        LoadTextInto(edtText, GlobalsU::DiscFile(DiscFolder::TextFiles, QStringLiteral("Extra File.txt")));
        TemplateFolder_ = GlobalsU::FolderOf(DiscFolder::Templates);
        FillTemplateList(TemplateFolder_);
        break;
    case 2:
        ShowPage(tabSampleware);
        imgSample->setVisible(true);
        LoadTextInto(memSample, GlobalsU::DiscFile(DiscFolder::TextFiles, QStringLiteral("Sample.txt")));
        break;
    case 3:
        // The order button's caption strip does what the button does.
        anmMainOrderClick(sender);
        break;
    case 6:
        ShowPage(tabToolBox);
        break;
    default:
        break;
    }
}

void TfrmMain::BackToMainClick(QObject *)
{
    ShowPage(pgcBrindle->Pages(HomePage_));
    lbxTemplate->Clear();
}

void TfrmMain::QuitClick(QObject *)
{
    close();
}

void TfrmMain::lblLojoClick(QObject *)
{
    Application::Credits()->ShowModal();
}

// Buttons and lit pictures.

void TfrmMain::AnimateButton(int tag, bool play)
{
    for (TlxAnimator *button : {anmMainTemplate, anmMainSampleware, anmMainOrder, anmMainToolbox}) {
        if (button->Tag() == tag) {
            SetButtonAnimation(button, play);
            return;
        }
    }
}

void TfrmMain::SetButtonAnimation(TlxAnimator *animator, bool play)
{
    if (!animator)
        return;
    animator->SetAnimate(play);
    if (play)
        CurrentAnimator_ = animator;
    else
        animator->SetImageIndex(restFrames_.value(animator));
}

void TfrmMain::StopAllButtons()
{
    for (int tag = 1; tag <= 6; ++tag)
        AnimateButton(tag, false);
}

void TfrmMain::pnlMainButtonsMouseEnter(QObject *sender)
{
    const int tag = TagOf(sender);
    if (CurrentAnimator_ && CurrentAnimator_->Tag() != tag)
        SetButtonAnimation(CurrentAnimator_, false);
    AnimateButton(tag, true);
}

void TfrmMain::pnlBackMouseMove(QObject *sender, Qt::KeyboardModifiers shift, int x, int y)
{
    SetButtonAnimation(CurrentAnimator_, false);
    GenMouseMove(sender, shift, x, y);
}

void TfrmMain::GenMouseMove(QObject *, Qt::KeyboardModifiers, int, int)
{
    HideLitPictures();
}

void TfrmMain::HideLitPictures()
{
    for (TImage *picture : {imgQuit, imgExtraBack, imgToolBack, imgSampleBack, imgArrow, imgHelp})
        picture->setVisible(false);
}

void TfrmMain::LitHotSpotMouseLeave(QObject *sender)
{
    // Leaving the window leaves the picture lit, and so does a page change that takes the hot
    // spot away; a move straight onto another control of the window puts it out at once. Which it
    // was is known once the change that made the pointer leave is complete.
    QMetaObject::invokeMethod(
        this,
        [this, spot = QPointer<QWidget>(qobject_cast<QWidget *>(sender))] {
            if (spot && spot->isVisible() && underMouse() && !spot->underMouse())
                litPictures_.value(spot)->setVisible(false);
        },
        Qt::QueuedConnection);
}

void TfrmMain::lblOverQuitMouseEnter(QObject *)
{
    imgQuit->setVisible(true);
}

void TfrmMain::lblSamplewareBackMouseEnter(QObject *)
{
    imgSampleBack->setVisible(true);
}

void TfrmMain::lblOverInstallMouseEnter(QObject *)
{
    imgArrow->setVisible(true);
}

void TfrmMain::lblExtraBackMouseEnter(QObject *)
{
    imgExtraBack->setVisible(true);
}

void TfrmMain::lblExtraFileHelpMouseEnter(QObject *)
{
    imgHelp->setVisible(true);
}

void TfrmMain::lblToolboxBackMouseEnter(QObject *)
{
    imgToolBack->setVisible(true);
}

// Installers, order form and help.

TLauncher &TfrmMain::Launcher() const
{
    TLauncher *launcher = Application::Launcher();
    Q_ASSERT(launcher);
    return *launcher;
}

void TfrmMain::InstallToolClick(QObject *sender)
{
    Launcher().RunFolderSetup(GlobalsU::AppFolder() + GlobalsU::ToolFolder(TagOf(sender)));
}

void TfrmMain::lblOverInstallClick(QObject *)
{
    // Only a file counts: a folder of that name leads to the installer beside the program.
    const QStringList names = Installer::Names();
    const bool inSampleFolder = std::any_of(names.cbegin(), names.cend(), [](const QString &name) {
        return FileOps::FileExists(DiscPath::Resolve(GlobalsU::DiscFile(DiscFolder::Sample, name)));
    });
    Launcher().RunFolderSetup(inSampleFolder ? GlobalsU::DiscFile(DiscFolder::Sample) : GlobalsU::AppFolder());
}

void TfrmMain::anmMainOrderClick(QObject *)
{
    GlobalsU::ShellRun(DiscPath::Resolve(GlobalsU::DiscFile(DiscFolder::WebFiles, QStringLiteral("Order.html"))),
                       QString(), QString(), GlobalsU::SW_SHOWNORMAL);
}

void TfrmMain::lblExtraFileHelpClick(QObject *)
{
    GlobalsU::ShellRun(DiscPath::Resolve(GlobalsU::DiscFile(DiscFolder::WebFiles, QStringLiteral("Help.html"))),
                       QString(), QString(), GlobalsU::SW_SHOWNORMAL);
}

// Page content.

void TfrmMain::LoadArtwork()
{
    GlobalsU::PaintBitmap(*imgMainBack, discPictures_.TakeBackdrop());
    GlobalsU::PaintBitmap(*imgSample, discPictures_.TakeSample());
    StopAllButtons();
    HideLitPictures();
}

void TfrmMain::LoadPageTexts()
{
    for (const auto &[fileName, box] : std::span(DescriptionTexts).first(TextsLoadedAtCreation))
        LoadTextInto(findChild<TRzRichEdit *>(QLatin1String(box)),
                     GlobalsU::DiscFile(DiscFolder::TextFiles, QLatin1String(fileName)));
}

void TfrmMain::LoadTextInto(TRzRichEdit *control, const QString &path)
{
    QFile file(DiscPath::Resolve(path));
    // The buffer is left empty and the file closed however the load ends.
    const auto emptyBuffer = qScopeGuard([this] {
        TextBuffer_.buffer().clear();
        TextBuffer_.seek(0);
    });
    if (!file.open(QIODevice::ReadOnly))
        throw EFOpenError(path);
    while (!file.atEnd()) {
        const QByteArray chunk = file.read(ReadChunk);
        if (file.error() != QFileDevice::NoError)
            throw EReadError(QStringLiteral("Stream read error"));
        if (chunk.isEmpty())
            break;
        TextBuffer_.write(chunk);
    }
    file.close();
    control->SetText(AnsiText::Decode(TextBuffer_.data()));
}

// The template list.

void TfrmMain::FillTemplateList(const QString &folder)
{
    TLauncher &launcher = Launcher();
    launcher.Files().ApplyFilePath(GlobalsU::AppFolder() + folder);
    const qsizetype count = launcher.Files().Items().size();
    for (int index = 0; index < count; ++index) {
        launcher.LoadListedFileIcon(index, IconBitmap_);
        AddTemplateEntry(index);
    }
}

void TfrmMain::AddTemplateEntry(int index)
{
    lbxTemplate->AddItem(Launcher().Files().Items().at(index), IconBitmap_);
}

void TfrmMain::lbxTemplateDrawItem(QWidget *control, int index, const TRect &rect, TOwnerDrawState)
{
    auto *list = static_cast<TRzListBox *>(control);
    QPainter &canvas = list->Canvas();
    const int itemHeight = list->ItemHeight();
    canvas.fillRect(rect.ToQRect(), canvas.brush().color());

    // The picture's right edge is measured from the list's left edge, not from the item's.
    const TRect pictureRect{rect.Left + 3, rect.Top + 2, itemHeight + 3, rect.Bottom - 2};
    const QImage picture = list->ItemPicture(index);
    if (!picture.isNull() && pictureRect.Width() > 0 && pictureRect.Height() > 0)
        canvas.drawImage(pictureRect.ToQRect(), picture);

    const int textLeft = itemHeight + 6;
    const int textTop = rect.Top + 4;
    canvas.drawText(QRect(textLeft, textTop, std::max(0, rect.Right - textLeft), rect.Bottom - textTop),
                    Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine, list->ItemText(index));
}

void TfrmMain::lbxTemplateDblClick(QObject *)
{
    const int selected = lbxTemplate->ItemIndex();
    if (selected < 0)
        return;
    QStringList entries;
    for (int i = 0; i < lbxTemplate->Count(); ++i)
        entries.append(lbxTemplate->ItemText(i));
    TemplateDelivery::Deliver(TemplateFolder_, entries, selected);
}
