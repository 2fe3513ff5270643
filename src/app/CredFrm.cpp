#include "app/CredFrm.h"

#include "app/Application.h"
#include "app/Artwork.h"
#include "app/MainF.h"
#include "toolkit/AnsiText.h"
#include "toolkit/Dispatch.h"
#include "toolkit/Image.h"
#include "toolkit/Panel.h"
#include "toolkit/ScrollU.h"

#include <QApplication>
#include <QShowEvent>
#include <QStringList>

#include <utility>

namespace {

// TFRMCREDITS: the window as designed.
constexpr QSize ClientSize(462, 439);
const QString Caption = QStringLiteral("Brindlemoor");
const QString FormFont = QStringLiteral("MS Sans Serif");
constexpr int FormFontPixels = 11;

enum class Kind { Image, Panel };

// One component of the window, in creation order (later ones lie on top); every one closes the
// window when clicked.
struct Component
{
    const char *name;
    Kind kind;
    QRect bounds;
};

constexpr Component Components[] = {
    {"imgCredits", Kind::Image, QRect(0, 0, 462, 439)},
    {"pnlCredits", Kind::Panel, QRect(155, 314, 299, 120)},
};

// The scrolling box.
constexpr int MarqueeInterval = 25;
const QString MarqueeFont = QStringLiteral("Times New Roman");
// What screen readers call the scrolling box and the parts a click on closes the window.
const QString CreditsName = QStringLiteral("Credits");
const QString CloseName = QStringLiteral("Close the credits");
constexpr int MarqueeFontPoints = 8;

// Windows-1252 text, already broken to fit the box; blank lines are a single space. The three lines
// after the disclaimer are the notice the LGPL asks of a program that shows copyright notices: that
// it uses Qt, under which licence, and where the licence is.
constexpr const char *CreditLines[] = {
    "Brindlemoor makes every effort to ensure that",
    "its information is accurate, up to date and appropriate",
    "for Windows Me and 98 platforms. The series is intended",
    "to complement, not act as a substitute for the user's",
    "manual for your PC and software. You are advised to",
    "consult your manuals for specific instructions for your",
    "PC and the programs installed on it.",
    "Every effort has been made to ensure that this disk is",
    "free from viruses. The publishers give no warranties",
    "about the suitability of the sampler software on this CD",
    "and shall not be liable for any damages of any kind",
    "suffered by you or any user of this software.",
    " ",
    "Built with Qt 6, \xA9 The Qt Company Ltd. and others,",
    "under the GNU LGPL v3: see the licences folder in the",
    "Runtime folder on this disc, beside Qt's source.",
    " ",
    "Produced by",
    "Quillfen",
    "in association with",
    "Ostrowel Ltd",
    "for",
    "Larkspire Ltd",
};

// A size in points as whole pixels at the given resolution, rounded the way the original toolkit
// rounds it, so that the pre-broken lines keep their widths.
int PointsToPixels(int points, int dotsPerInch)
{
    return (points * dotsPerInch + 36) / 72;
}

} // namespace

TfrmCredits::TfrmCredits(QWidget *parent) : TForm(parent)
{
    // A dialog of the window that opens it: owned by it, with the program's icon and no task-bar
    // entry of its own.
    setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::WindowCloseButtonHint);
    setObjectName(QStringLiteral("frmCredits"));
    setWindowTitle(Caption);
    setWindowIcon(Artwork::Icon());
    SetClientSize(ClientSize.width(), ClientSize.height());
    QFont font(FormFont);
    font.setPixelSize(FormFontPixels);
    setFont(font);
    CreateComponents();
}

TfrmCredits::~TfrmCredits()
{
    Dispatch::Guarded([this] { FormDestroy(); });
}

void TfrmCredits::CreateComponents()
{
    for (const Component &row : Components) {
        TControl *control = nullptr;
        if (row.kind == Kind::Image) {
            imgCredits = new TImage(this);
            // Decoded when the credits are first shown.
            imgCredits->SetPicture(row.bounds.size(), Artwork::DeferredPicture(QString::fromLatin1(row.name)));
            control = imgCredits;
        } else {
            pnlCredits = new TCustomPanel(this);
            pnlCredits->SetBevelOuter(TCustomPanel::bvNone);
            pnlCredits->SetBorderStyle(TCustomPanel::bsSingle);
            pnlCredits->SetCtl3D(false);
            control = pnlCredits;
        }
        control->setObjectName(QString::fromLatin1(row.name));
        control->setGeometry(row.bounds);
        control->OnClick = [this](QObject *sender) { imgCreditsClick(sender); };
        control->setAccessibleName(CloseName);
    }
}

void TfrmCredits::FormCreate()
{
    CreateMarquee();
    AddCreditLines();
    // The window takes the main window's colour; without one, the button face it also has.
    QColor colour = QApplication::palette().color(QPalette::Button);
    if (const QWidget *main = Application::MainForm())
        colour = main->palette().color(QPalette::Window);
    QPalette colours = palette();
    colours.setColor(QPalette::Window, colour);
    setPalette(colours);
}

void TfrmCredits::CreateMarquee()
{
    Marquee = new TMarquee(pnlCredits);
    Marquee->setObjectName(QStringLiteral("Marquee"));
    Marquee->SetAlign(TCustomPanel::alClient);
    Marquee->SetColor(Qt::white);
    Marquee->SetInterval(MarqueeInterval);
    // The marquee has taken over the panel's font and text colour; only face, style and size change.
    QFont font = Marquee->font();
    font.setFamily(MarqueeFont);
    font.setBold(false);
    font.setItalic(false);
    font.setUnderline(false);
    font.setStrikeOut(false);
    font.setPixelSize(PointsToPixels(MarqueeFontPoints, Marquee->logicalDpiY()));
    Marquee->setFont(font);
    Marquee->OnClick = [this](QObject *sender) { imgCreditsClick(sender); };
    Marquee->setAccessibleName(CreditsName);
}

void TfrmCredits::AddCreditLines()
{
    // Screen readers read the credits whole rather than a line passing by.
    QStringList text;
    for (const char *line : CreditLines) {
        Marquee->Items().append(QByteArray(line));
        const QString decoded = AnsiText::Decode(QByteArray(line)).trimmed();
        if (!decoded.isEmpty())
            text.append(decoded);
    }
    Marquee->setAccessibleDescription(text.join(QLatin1Char('\n')));
}

void TfrmCredits::FormShow()
{
    if (!Marquee)
        return;
    Marquee->Start();
    Marquee->setVisible(true);
}

void TfrmCredits::FormDestroy()
{
    delete std::exchange(Marquee, nullptr);
}

void TfrmCredits::imgCreditsClick(QObject *sender)
{
    Q_UNUSED(sender);
    close();
}

void TfrmCredits::showEvent(QShowEvent *event)
{
    // Placed in the centre of the screen at every showing by the program.
    if (!event->spontaneous())
        CentreOnScreen();
    TForm::showEvent(event);
}
