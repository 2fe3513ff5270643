#pragma once

#include "toolkit/Form.h"

#include <QList>
#include <QString>

class QKeyEvent;
class QLabel;
class QStackedWidget;

// Where the disc's templates go on the hard disk, the settings file that remembers it, and the
// copy dialog that puts a template there with the user's consent.
namespace CopyF {

// The settings file "BrindlePC.Ini" in the system's folder for it; empty when there is none.
QString SettingsFileName();
// "BrindlePC/CD-ROM<n>/" for this disc on the hard disk (C:\ on Windows, the home folder elsewhere).
QString DefaultTemplateFolder();
// The open dialog's filter for a template's extension (".doc"), the extension kept in its case.
QString TemplateFileFilter(const QString &ext);
// Path with a separator added when it does not end with one; an empty path gives the separator.
QString AppendBackslash(const QString &path);

// The folder part of a path with its final separator, and the name after it.
QString ExtractFilePath(const QString &path);
QString ExtractFileName(const QString &path);
// The name's extension from its last dot on, or nothing.
QString ExtractFileExt(const QString &path);

// Remembers the folder of path for its file name; raises EIniFileException when it cannot. A file
// name the settings file cannot hold as a key is not remembered.
void RecordTemplateFolder(const QString &path);
// Clears the read-only attribute. A hidden file (a name starting with a dot) stays hidden.
void MakeFileWritable(const QString &path);
// Copies source from the disc to destination, creating its folder; true when a file is at destination
// afterwards. A file already there is kept as it is: it may be the user's edited copy.
bool CopyTemplateFile(const QString &source, const QString &destination);

// The remembered folder of the template at source, or "ERROR".
QString LookUpTemplateFolder(const QString &source);
// Shows the copy dialog on page (0 or 1) proposing destination; on OK sets destination to the copy.
bool RunCopyDialog(int page, const QString &source, QString &destination);
// Finds the hard-disk copy of the disc template at source, with the copy dialog when needed.
bool LocateTemplate(const QString &source, QString &destination);

// The sentinel of a template without a remembered folder.
inline constexpr char NotRemembered[] = "ERROR";

} // namespace CopyF

// The modal dialog that copies a template to the hard disk, or lets the user point to a copy.
class TfrmCopy : public TForm
{
    Q_OBJECT

public:
    TfrmCopy(QWidget *owner, int page, const QString &source);

    const QString &Source() const { return source_; }
    const QString &Destination() const { return destination_; }
    void SetDestination(const QString &path);

    int PageIndex() const;

    struct ComponentRow;

protected:
    void FormShow() override;
    void FormCloseQuery(bool &canClose) override;
    void FormClose() override;
    void keyPressEvent(QKeyEvent *event) override;

private:
    void btnBrowseClick();
    void btnBrowseTooClick();
    void btnCopyTooClick();
    void ShowPage(int page);
    void Build();

    QString source_;
    QString destination_;
    QStackedWidget *Notebook = nullptr;
    QLabel *lblPath = nullptr;
    QList<QWidget *> tabChain_;
};
