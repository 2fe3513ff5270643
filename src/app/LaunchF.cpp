#include "app/LaunchF.h"

#include "app/GlobalsU.h"
#include "platform/DiscPath.h"
#include "platform/FileIcons.h"
#include "toolkit/Exceptions.h"
#include "toolkit/FileListBox.h"

#include <QFileInfo>
#include <QImage>
#include <QPainter>
#include <QScopeGuard>

namespace {
const QString AllFiles = QStringLiteral("*.*");
const QString SetupName = QStringLiteral("Setup.exe");
const QColor IconBackground = Qt::white;
} // namespace

TLauncher::TLauncher(QWidget *parent) : TForm(parent), files_(new TFileListBox(this))
{
    setObjectName(QStringLiteral("Launcher"));
    setWindowTitle(QStringLiteral("Brindlemoor templates"));
    files_->setObjectName(QStringLiteral("Files"));
}

void TLauncher::LoadListedFileIcon(int index, QImage &iconBitmap) const
{
    const QStringList &items = files_->Items();
    if (index < 0 || index >= items.size())
        throw Exception(QStringLiteral("List index out of bounds (%1)").arg(index));

    const QIcon icon = FileIcons::Associated(files_->Directory() + items.at(index));
    const int size = FileIcons::LargeIconSize;
    iconBitmap = QImage(size, size, QImage::Format_RGB32);
    iconBitmap.fill(IconBackground);
    QPainter painter(&iconBitmap);
    icon.paint(&painter, QRect(0, 0, size, size));
}

void TLauncher::RunFolderSetup(const QString &folder)
{
    const QString listed = GlobalsU::WithTrailingBackslash(folder);
    const QString setupPath = listed + SetupName;
    files_->SetMask(SetupName);
    const auto restoreMask = qScopeGuard([this] { files_->SetMask(AllFiles); });

    if (!QFileInfo(DiscPath::Resolve(listed)).isDir())
        throw EFOpenError(setupPath);
    files_->ApplyFilePath(listed);
    if (files_->Items().isEmpty())
        throw EFOpenError(setupPath);
    GlobalsU::ShellRun(files_->Directory() + files_->Items().first(), QString(), QString(), GlobalsU::SW_SHOWNORMAL);
}
