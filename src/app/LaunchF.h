#pragma once

#include "toolkit/Form.h"

#include <QString>

class QImage;
class TFileListBox;

// The hidden launcher window: holds the file list through which disc folders are listed, draws
// the icons of listed files and starts the installers found in disc folders.
class TLauncher : public TForm
{
    Q_OBJECT

public:
    explicit TLauncher(QWidget *parent = nullptr);

    TFileListBox &Files() const { return *files_; }

    // Draws the desktop's icon of listed file index (from 0) into iconBitmap, which takes the
    // icon's size and an opaque background where the icon is transparent.
    void LoadListedFileIcon(int index, QImage &iconBitmap) const;

    // Starts the installer of folder, found in any letter case: the one for this system where it
    // holds one, otherwise its "Setup.exe" where the desktop can run it. A missing folder or
    // installer raises EFOpenError with the path of "Setup.exe", one this system cannot start
    // EInstallerError saying why; the mask is "*.*" afterwards in every case.
    void RunFolderSetup(const QString &folder);

private:
    TFileListBox *files_;
};
