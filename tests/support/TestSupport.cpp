#include "TestSupport.h"

#include "app/Application.h"
#include "app/GlobalsU.h"
#include "app/LaunchF.h"
#include "app/MainF.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QIcon>
#include <QTest>

ErrorRecorder::ErrorRecorder()
{
    previousError_ = ErrorBox::SetPresenter([this](const QString &title, const QString &text) {
        lastTitle = title;
        errors.append(text);
    });
    previousInform_ = ErrorBox::SetInformer([this](const QString &title, const QString &text) {
        lastTitle = title;
        messages.append(text);
    });
}

ErrorRecorder::~ErrorRecorder()
{
    ErrorBox::SetPresenter(previousError_);
    ErrorBox::SetInformer(previousInform_);
}

namespace {

// An executable shell script of the given text in the folder.
void writeScript(const QString &path, const char *text)
{
    QFile file(path);
    file.open(QIODevice::WriteOnly);
    file.write(text);
    file.close();
    file.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
}

} // namespace

FakeOpener::FakeOpener()
{
    // One record per call: the working folder, then each argument, NUL-separated, ended by a newline.
    writeScript(
        dir_.filePath(QStringLiteral("xdg-open")),
        "#!/bin/sh\n"
        "log=\"$(dirname \"$0\")/calls.log\"\n"
        "{ printf '%s' \"$PWD\"; for a in \"$@\"; do printf '\\037%s' \"$a\"; done; printf '\\036'; } >> \"$log\"\n");
    writeScript(dir_.filePath(QStringLiteral("xdg-mime")),
                "#!/bin/sh\n"
                "[ \"$1\" = query ] && [ \"$2\" = default ] && cat \"$(dirname \"$0\")/windows-programs\" 2>/dev/null\n"
                "exit 0\n");
    SetRunsWindowsPrograms(true);
    oldPath_ = qgetenv("PATH");
    qputenv("PATH", dir_.path().toLocal8Bit() + ':' + oldPath_);
}

void FakeOpener::SetRunsWindowsPrograms(bool runs)
{
    QFile answer(dir_.filePath(QStringLiteral("windows-programs")));
    if (runs && answer.open(QIODevice::WriteOnly))
        answer.write("wine.desktop\n");
    else if (!runs)
        answer.remove();
}

FakeOpener::~FakeOpener()
{
    qputenv("PATH", oldPath_);
}

QList<FakeOpener::Call> FakeOpener::Calls(int count, int timeoutMs) const
{
    const QString log = dir_.filePath(QStringLiteral("calls.log"));
    QDeadlineTimer deadline(timeoutMs);
    QList<Call> calls;
    for (;;) {
        calls.clear();
        const QString text = QString::fromLocal8Bit(ReadAll(log));
        for (const QString &record : text.split(QChar(0x1e), Qt::SkipEmptyParts)) {
            QStringList fields = record.split(QChar(0x1f));
            Call call;
            call.folder = fields.takeFirst();
            call.arguments = fields;
            calls.append(call);
        }
        if (calls.size() >= count || deadline.hasExpired())
            return calls;
        QTest::qWait(20);
    }
}

void UseOwnIconTheme()
{
    qputenv("XDG_DATA_HOME", BRINDLE_TEST_DATA "/icon-theme");
    qputenv("XDG_DATA_DIRS", BRINDLE_TEST_DATA "/icon-theme");
}

ScalableIconTheme::ScalableIconTheme(const QString &iconName, const QColor &bitmapColour, const QByteArray &svg)
    : previousPaths_(QIcon::themeSearchPaths()), previousName_(QIcon::themeName())
{
    const QDir theme(dir_.filePath(QStringLiteral("Scalable")));
    theme.mkpath(QStringLiteral("16x16/mimetypes"));
    theme.mkpath(QStringLiteral("scalable/mimetypes"));
    QFile index(theme.filePath(QStringLiteral("index.theme")));
    index.open(QIODevice::WriteOnly);
    index.write("[Icon Theme]\nName=Scalable\nDirectories=16x16/mimetypes,scalable/mimetypes\n\n"
                "[16x16/mimetypes]\nSize=16\nContext=MimeTypes\nType=Fixed\n\n"
                "[scalable/mimetypes]\nSize=128\nMinSize=8\nMaxSize=512\nContext=MimeTypes\nType=Scalable\n");
    index.close();
    QImage bitmap(16, 16, QImage::Format_ARGB32);
    bitmap.fill(bitmapColour);
    bitmap.save(theme.filePath(QStringLiteral("16x16/mimetypes/") + iconName + QStringLiteral(".png")));
    QFile file(theme.filePath(QStringLiteral("scalable/mimetypes/") + iconName + QStringLiteral(".svg")));
    file.open(QIODevice::WriteOnly);
    file.write(svg);
    file.close();
    QIcon::setThemeSearchPaths({dir_.path()});
    QIcon::setThemeName(QStringLiteral("Scalable"));
}

ScalableIconTheme::~ScalableIconTheme()
{
    QIcon::setThemeSearchPaths(previousPaths_);
    QIcon::setThemeName(previousName_);
}

TempDisc::TempDisc()
{
    for (const char *folder : {"Files/Interface/Blue", "Files/Interface/Red", "Files/Interface/Purple",
                               "Files/Interface/Green", "Files/Sample Pics", "Files/Text Files", "Files/Templates",
                               "Files/Images", "Files/Sounds", "Files/Sample", "Files/ToolBox/Tool1",
                               "Files/ToolBox/Tool2", "Files/ToolBox/Tool3", "Files/ToolBox/Tool4", "Files/Web Files"})
        QDir(dir_.path()).mkpath(QString::fromLatin1(folder));
}

QString TempDisc::Root() const
{
    return dir_.path() + QLatin1Char('/');
}

QString TempDisc::ProgramPath(const QString &name) const
{
    return Root() + name;
}

QString TempDisc::Write(const QString &relativePath, const QByteArray &content) const
{
    const QString path = Root() + relativePath;
    QDir().mkpath(QFileInfo(path).path());
    QFile file(path);
    file.open(QIODevice::WriteOnly | QIODevice::Truncate);
    file.write(content);
    return path;
}

QString TempDisc::WriteBitmap(const QString &relativePath, const QImage &image) const
{
    const QString path = Root() + relativePath;
    QDir().mkpath(QFileInfo(path).path());
    image.save(path, "BMP");
    return path;
}

void TempDisc::MakeReadOnly() const
{
    QDirIterator files(Root(), QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
    while (files.hasNext())
        QFile::setPermissions(files.next(), QFile::ReadOwner | QFile::ReadGroup | QFile::ReadOther);
}

void TempDisc::Remove(const QString &relativePath) const
{
    const QString path = Root() + relativePath;
    if (QFileInfo(path).isDir())
        QDir(path).removeRecursively();
    else
        QFile::remove(path);
}

void TempDisc::WriteStartFiles() const
{
    for (const char *scheme : {"Blue", "Red", "Purple", "Green"})
        WriteBitmap(QStringLiteral("Files/Interface/%1/MainBack.bmp").arg(QLatin1String(scheme)),
                    SolidImage(640, 480, Qt::darkGreen));
    WriteBitmap(QStringLiteral("Files/Sample Pics/Sampleware.bmp"), SolidImage(214, 180, Qt::gray));
    for (const char *text : {"Zip", "Flash", "Acrobat", "Real", "Sample", "Extra File"})
        Write(QStringLiteral("Files/Text Files/%1.txt").arg(QLatin1String(text)), "Text\r\n");
}

void TempDisc::Activate(const QString &name) const
{
    GlobalsU::InitDiscContext(ProgramPath(name));
}

QByteArray ReadAll(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return file.readAll();
}

QImage SolidImage(int width, int height, const QColor &colour)
{
    QImage image(width, height, QImage::Format_RGB888);
    image.fill(colour);
    return image;
}

MenuWindows::MenuWindows() = default;

MenuWindows::~MenuWindows()
{
    Application::SetMainForm(nullptr);
    Application::SetLauncher(nullptr);
}

bool MenuWindows::Open()
{
    form = std::make_unique<TfrmMain>();
    Application::SetMainForm(form.get());
    form->Create();
    form->show();
    const bool exposed = QTest::qWaitForWindowExposed(form.get());
    launcher = std::make_unique<TLauncher>();
    Application::SetLauncher(launcher.get());
    launcher->Create();
    return exposed;
}
