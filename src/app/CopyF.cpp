#include "app/CopyF.h"

#include "app/GlobalsU.h"
#include "platform/AppTitle.h"
#include "platform/DiscPath.h"
#include "platform/ErrorBox.h"
#include "platform/FileDialogs.h"
#include "platform/FileOps.h"
#include "platform/ProfileFile.h"
#include "platform/SystemFolders.h"
#include "toolkit/Dispatch.h"
#include "toolkit/Exceptions.h"

#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QGroupBox>
#include <QHash>
#include <QKeyEvent>
#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <QScopeGuard>
#include <QStackedWidget>
#include <QToolButton>

#include <algorithm>

namespace CopyF {

namespace {
// Paths are built with the system's own separator: "\" on Windows, "/" elsewhere.
const QChar Separator = QDir::separator();
const QString TemplateSection = QStringLiteral("Template");

struct FilterEntry
{
    const char *ext;
    const char *filter;
};

// The template types the open dialog knows, matched in this order.
constexpr FilterEntry TemplateFilters[] = {
    {".DOC", "Microsoft Word files|*"},  {".XLS", "Microsoft Excel files|*"}, {".MDB", "Microsoft Access templates|*"},
    {".WKS", "Microsoft Works files|*"}, {".WPS", "Microsoft Works files|*"},
};
} // namespace

QString SettingsFileName()
{
    return SystemFolders::SettingsFile(QStringLiteral("BrindlePC.Ini"));
}

QString DefaultTemplateFolder()
{
    return AppendBackslash(SystemFolders::HardDisk()) + QStringLiteral("BrindlePC") + Separator +
           QStringLiteral("CD-ROM") + QString::number(GlobalsU::DiscNumber()) + Separator;
}

QString TemplateFileFilter(const QString &ext)
{
    const QString upper = ext.toUpper();
    for (const FilterEntry &entry : TemplateFilters) {
        if (upper == QLatin1String(entry.ext))
            return QLatin1String(entry.filter) + ext;
    }
    // Another type: files of that extension, and nothing else.
    return QLatin1Char('*') + ext;
}

QString AppendBackslash(const QString &path)
{
    return path.endsWith(Separator) ? path : path + Separator;
}

QString ExtractFilePath(const QString &path)
{
    return path.left(path.lastIndexOf(Separator) + 1);
}

QString ExtractFileName(const QString &path)
{
    return path.mid(path.lastIndexOf(Separator) + 1);
}

QString ExtractFileExt(const QString &path)
{
    const QString name = ExtractFileName(path);
    const qsizetype dot = name.lastIndexOf(QLatin1Char('.'));
    return dot < 0 ? QString() : name.mid(dot);
}

void RecordTemplateFolder(const QString &path)
{
    const QString name = ExtractFileName(path);
    if (!ProfileFile::CanHoldKey(name))
        return;
    const QString settings = SettingsFileName();
    if (!ProfileFile::WriteString(settings, TemplateSection, name, ExtractFilePath(path)))
        throw EIniFileException(settings);
}

void MakeFileWritable(const QString &path)
{
    FileOps::MakeWritable(path);
}

bool CopyTemplateFile(const QString &source, const QString &destination)
{
    if (!FileOps::FileExists(destination)) {
        FileOps::ForceDirectories(ExtractFilePath(destination));
        FileOps::CopyFile(DiscPath::Resolve(source), destination, true);
    }
    return FileOps::FileExists(destination);
}

QString LookUpTemplateFolder(const QString &source)
{
    const QString notRemembered = QLatin1String(NotRemembered);
    const QString name = ExtractFileName(source);
    const QString settings = SettingsFileName();
    if (settings.isEmpty() || !ProfileFile::CanHoldKey(name))
        return notRemembered;
    return ProfileFile::ReadString(settings, TemplateSection, name, notRemembered);
}

bool RunCopyDialog(int page, const QString &source, QString &destination)
{
    // The dialog sits over the active window, which owns it; it is disposed of in every case, unless
    // its owner has already taken it along.
    const QPointer<TfrmCopy> dialog = new TfrmCopy(QApplication::activeWindow(), page, source);
    const auto dispose = qScopeGuard([&dialog] { delete dialog.data(); });
    dialog->SetDestination(destination);
    if (dialog->ShowModal() != TForm::mrOk || !dialog)
        return false;
    destination = dialog->Destination();
    return true;
}

bool LocateTemplate(const QString &source, QString &destination)
{
    const QString defaultFolder = DefaultTemplateFolder();
    destination = defaultFolder + ExtractFileName(source);
    // Only this disc's default folder counts as remembered: a browsed folder or another disc's
    // folder is offered the default place again.
    if (LookUpTemplateFolder(source) != defaultFolder)
        return RunCopyDialog(0, source, destination);
    if (FileOps::FileExists(destination))
        return true;
    return RunCopyDialog(1, source, destination);
}

} // namespace CopyF

// One component of the dialog's window description.
struct TfrmCopy::ComponentRow
{
    enum Kind { Notebook, Page, Label, GroupBox, SpeedButton, Button };

    const char *name; // empty for an unnamed component
    Kind kind;
    const char *parent; // empty for the form
    int left, top, width, height;
    const char *text;
    const char *fontName; // empty: the parent's font
    int fontPixels;
    bool bold;
    bool wordWrap;
    int tabOrder; // -1: takes no part
    int modalResult;
    void (TfrmCopy::*onClick)();
    bool autoSize = false; // a label that takes the size of its text
};

namespace {
using Row = TfrmCopy::ComponentRow;

constexpr int FormWidth = 397;
constexpr int FormHeight = 247;
constexpr int NoTab = -1;
} // namespace

TfrmCopy::TfrmCopy(QWidget *owner, int page, const QString &source) : TForm(owner), source_(source)
{
    setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::WindowCloseButtonHint);
    setWindowTitle(AppTitle::Title());
    QFont font(QStringLiteral("MS Sans Serif"));
    font.setPixelSize(11);
    setFont(font);
    SetClientSize(FormWidth, FormHeight);
    Build();
    ShowPage(page);
}

void TfrmCopy::Build()
{
    // The window description: every component once, with its place, settings and events.
    static const Row Description[] = {
        {"Notebook", Row::Notebook, "", 3, 2, 390, 241, "", "Arial", 12, false, false, 0, 0, nullptr},
        {"PageOne", Row::Page, "Notebook", 0, 0, 390, 241, "", "", 0, false, false, NoTab, 0, nullptr},
        {"PageTwo", Row::Page, "Notebook", 0, 0, 390, 241, "", "", 0, false, false, NoTab, 0, nullptr},
        {"Sentence1", Row::Label, "PageOne", 14, 11, 355, 14,
         "To open this document, it needs to be copied to your hard drive.", "Arial", 12, false, true, NoTab, 0,
         nullptr},
        {"Sentence2", Row::Label, "PageOne", 14, 41, 355, 18,
         "The program can copy it for you to the location displayed below.", "Arial", 12, false, true, NoTab, 0,
         nullptr},
        {"", Row::Label, "PageOne", 14, 70, 353, 15,
         "If you wish to choose a different location click the 'Browse' button.", "Arial", 12, false, true, NoTab, 0,
         nullptr},
        {"GroupBox1", Row::GroupBox, "PageOne", 7, 112, 377, 54, " Copy to: ", "MS Sans Serif", 11, false, false, 2, 0,
         nullptr},
        {"lblPath", Row::Label, "GroupBox1", 10, 24, 295, 17, "", "", 0, false, false, NoTab, 0, nullptr},
        {"btnBrowse", Row::SpeedButton, "GroupBox1", 315, 16, 55, 28, "Browse...", "", 0, false, false, NoTab, 0,
         &TfrmCopy::btnBrowseClick},
        {"btnCopy", Row::Button, "PageOne", 205, 194, 160, 30, "Copy the document", "Arial", 12, true, false, 0, mrOk,
         nullptr},
        {"btnCancel", Row::Button, "PageOne", 26, 194, 160, 30, "Cancel and return to CD", "Arial", 12, true, false, 1,
         mrCancel, nullptr},
        {"Label1", Row::Label, "PageTwo", 16, 12, 333, 32,
         "The program could not find the templates in the expected location on your hard drive.", "Arial", 13, false,
         true, NoTab, 0, nullptr},
        {"Label5", Row::Label, "PageTwo", 16, 51, 203, 16, "The following actions can be taken:", "Arial", 13, false,
         false, NoTab, 0, nullptr},
        {"Label2", Row::Label, "PageTwo", 53, 99, 204, 15, "1. Cancel and return to the CD.............", "Arial", 12,
         false, false, NoTab, 0, nullptr, true},
        {"Label3", Row::Label, "PageTwo", 53, 147, 203, 15, "2. Find the templates yourself..............", "Arial", 12,
         false, false, NoTab, 0, nullptr, true},
        {"Label4", Row::Label, "PageTwo", 53, 194, 204, 15, "3. Copy the templates again.................", "Arial", 12,
         false, false, NoTab, 0, nullptr, true},
        {"btnCancelToo", Row::Button, "PageTwo", 258, 87, 65, 30, "Cancel", "Arial", 12, true, false, 0, mrCancel,
         nullptr},
        {"btnBrowseToo", Row::Button, "PageTwo", 258, 135, 65, 30, "Browse", "Arial", 12, true, false, 1, 0,
         &TfrmCopy::btnBrowseTooClick},
        {"btnCopyToo", Row::Button, "PageTwo", 258, 182, 65, 30, "Copy", "Arial", 12, true, false, 2, 0,
         &TfrmCopy::btnCopyTooClick},
    };

    QHash<QString, QWidget *> made;
    const auto parentOf = [this, &made](const Row &row) -> QWidget * {
        return *row.parent ? made.value(QLatin1String(row.parent)) : this;
    };
    for (const Row &row : Description) {
        QWidget *parent = parentOf(row);
        const QString text = QString::fromLatin1(row.text);
        QWidget *widget = nullptr;
        switch (row.kind) {
        case Row::Notebook:
            widget = Notebook = new QStackedWidget(parent);
            break;
        case Row::Page:
            widget = new QWidget(parent);
            static_cast<QStackedWidget *>(parent)->addWidget(widget);
            break;
        case Row::Label: {
            auto *label = new QLabel(text, parent);
            label->setTextFormat(Qt::PlainText);
            label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
            label->setWordWrap(row.wordWrap);
            widget = label;
            break;
        }
        case Row::GroupBox:
            widget = new QGroupBox(text, parent);
            break;
        case Row::SpeedButton: {
            auto *button = new QToolButton(parent);
            button->setText(text);
            // A speed button never takes the focus.
            button->setFocusPolicy(Qt::NoFocus);
            widget = button;
            break;
        }
        case Row::Button: {
            auto *button = new QPushButton(text, parent);
            // Enter clicks the focused button.
            button->setAutoDefault(true);
            widget = button;
            break;
        }
        }
        widget->setObjectName(QLatin1String(row.name));
        if (row.kind != Row::Page)
            widget->setGeometry(row.left, row.top, row.width, row.height);
        if (*row.fontName) {
            QFont font(QLatin1String(row.fontName));
            font.setPixelSize(row.fontPixels);
            font.setBold(row.bold);
            widget->setFont(font);
        }
        if (row.autoSize)
            widget->resize(widget->sizeHint());
        if (auto *button = qobject_cast<QAbstractButton *>(widget)) {
            const int modalResult = row.modalResult;
            const auto onClick = row.onClick;
            connect(button, &QAbstractButton::clicked, this, [this, modalResult, onClick] {
                Dispatch::Guarded([this, modalResult, onClick] {
                    if (modalResult != mrNone)
                        SetModalResult(modalResult);
                    if (onClick)
                        (this->*onClick)();
                });
            });
        }
        if (*row.name)
            made.insert(QLatin1String(row.name), widget);
    }
    lblPath = static_cast<QLabel *>(made.value(QStringLiteral("lblPath")));

    // The focus moves through the components by their tab order, depth first.
    QList<QWidget *> &chain = tabChain_;
    const auto walk = [&](const auto &self, const QString &parent) -> void {
        std::vector<const Row *> children;
        for (const Row &row : Description) {
            if (QLatin1String(row.parent) == parent && *row.name)
                children.push_back(&row);
        }
        std::stable_sort(children.begin(), children.end(), [](const Row *a, const Row *b) {
            return static_cast<unsigned>(a->tabOrder) < static_cast<unsigned>(b->tabOrder);
        });
        for (const Row *row : children) {
            QWidget *widget = made.value(QLatin1String(row->name));
            if (widget->focusPolicy() & Qt::TabFocus)
                chain.push_back(widget);
            self(self, QLatin1String(row->name));
        }
    };
    walk(walk, QString());
    for (qsizetype i = 1; i < chain.size(); ++i)
        setTabOrder(chain.at(i - 1), chain.at(i));
}

int TfrmCopy::PageIndex() const
{
    return Notebook->currentIndex();
}

void TfrmCopy::ShowPage(int page)
{
    Notebook->setCurrentIndex(page);
    // The page's first control in tab order takes the focus.
    const QWidget *current = Notebook->currentWidget();
    const auto first = std::find_if(tabChain_.cbegin(), tabChain_.cend(),
                                    [current](const QWidget *widget) { return current->isAncestorOf(widget); });
    if (first != tabChain_.cend())
        (*first)->setFocus();
}

void TfrmCopy::SetDestination(const QString &path)
{
    destination_ = path;
    lblPath->setText(CopyF::ExtractFilePath(path));
    lblPath->setToolTip(lblPath->text());
}

void TfrmCopy::FormShow()
{
    CentreOnScreen();
    ShowPage(PageIndex());
}

void TfrmCopy::btnBrowseClick()
{
    const std::optional<QString> folder = FileDialogs::SelectFolder(this, SystemFolders::HardDisk());
    if (folder && !folder->isEmpty())
        SetDestination(CopyF::AppendBackslash(*folder) + CopyF::ExtractFileName(source_));
}

void TfrmCopy::btnBrowseTooClick()
{
    const QString name = CopyF::ExtractFileName(destination_);
    const QString folder = CopyF::ExtractFilePath(destination_);
    const QString start = !folder.isEmpty() && QFileInfo(folder).isDir() ? folder : SystemFolders::HardDisk();
    const std::optional<QString> picked =
        FileDialogs::OpenFile(this, start, name, CopyF::TemplateFileFilter(CopyF::ExtractFileExt(name)));
    if (!picked || CopyF::ExtractFileName(*picked).compare(name, Qt::CaseInsensitive) != 0)
        return;
    SetDestination(*picked);
    SetModalResult(mrYes);
}

void TfrmCopy::btnCopyTooClick()
{
    ShowPage(0);
}

void TfrmCopy::FormCloseQuery(bool &canClose)
{
    const int result = ModalResult();
    if (result != mrOk && result != mrYes)
        return;
    // A copy is recorded only once it is really at its destination. A file already there counts as
    // the copy and is opened as it is.
    const bool inPlace = result == mrYes || CopyF::CopyTemplateFile(source_, destination_);
    if (!inPlace || !FileOps::FileExists(destination_)) {
        ErrorBox::Inform(QStringLiteral("An error has occured whilst copying the file"));
        canClose = false;
        return;
    }
    CopyF::MakeFileWritable(destination_);
    CopyF::RecordTemplateFolder(destination_);
}

void TfrmCopy::FormClose()
{
    if (ModalResult() == mrYes)
        SetModalResult(mrOk);
}

void TfrmCopy::keyPressEvent(QKeyEvent *event)
{
    if (event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier) {
        SetModalResult(mrCancel);
        return;
    }
    TForm::keyPressEvent(event);
}
