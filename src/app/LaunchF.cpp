#include "app/LaunchF.h"

#include "app/GlobalsU.h"
#include "platform/DiscPath.h"
#include "platform/FileIcons.h"
#include "platform/Installer.h"
#include "toolkit/Exceptions.h"
#include "toolkit/FileListBox.h"

#include <QFileInfo>
#include <QImage>
#include <QPainter>
#include <QScopeGuard>

#include <algorithm>

namespace {
const QString AllFiles = QStringLiteral("*.*");
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
    const QString setupPath = listed + Installer::WindowsName();
    const QStringList names = Installer::Names();
    files_->SetMask(names.join(QLatin1Char(';')));
    const auto restoreMask = qScopeGuard([this] { files_->SetMask(AllFiles); });

    if (!QFileInfo(DiscPath::Resolve(listed)).isDir())
        throw EFOpenError(setupPath);
    files_->ApplyFilePath(listed);
    // The installer this system prefers, of those the folder holds.
    const QStringList &items = files_->Items();
    for (const QString &name : names) {
        const auto found = std::find_if(items.cbegin(), items.cend(), [&name](const QString &item) {
            return item.compare(name, Qt::CaseInsensitive) == 0;
        });
        if (found == items.cend())
            continue;
        const QString installer = files_->Directory() + *found;
        switch (Installer::Start(installer)) {
        case Installer::Outcome::Started:
            return;
        case Installer::Outcome::ForWindows:
            throw EInstallerError(QStringLiteral("%1 is an installer for Windows, and this computer cannot run "
                                                 "Windows programs")
                                      .arg(installer));
        case Installer::Outcome::NotExecutable:
            throw EInstallerError(QStringLiteral("%1 cannot be started: it is not executable").arg(installer));
        }
    }
    throw EFOpenError(setupPath);
}
