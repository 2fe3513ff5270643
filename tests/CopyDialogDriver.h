#pragma once

#include "app/CopyF.h"
#include "platform/FileDialogs.h"

#include <QAbstractButton>
#include <QApplication>
#include <QLabel>
#include <QPointer>
#include <QTest>
#include <QTimer>

#include <functional>

// Answers the copy dialogs a test opens, as a user would: each step runs on the showing dialog
// once the events of the step before are done. A dialog that shows with no step left is closed
// and counted, so that a test never waits for a person.
class CopyDialogDriver
{
public:
    using Step = std::function<void(TfrmCopy &dialog)>;

    explicit CopyDialogDriver(QList<Step> steps = {}) : steps_(std::move(steps))
    {
        timer_.setInterval(5);
        QObject::connect(&timer_, &QTimer::timeout, [this] { Poll(); });
        timer_.start();
    }

    int StepsRun() const { return next_; }
    int Unexpected() const { return unexpected_; }
    bool AllStepsRun() const { return next_ == steps_.size(); }

    // The page and the proposed folder at each step, as shown to the user.
    QList<int> pages;
    QStringList shownFolders;

    static TfrmCopy *Showing()
    {
        for (QWidget *widget : QApplication::topLevelWidgets()) {
            auto *dialog = qobject_cast<TfrmCopy *>(widget);
            if (dialog && dialog->isVisible())
                return dialog;
        }
        return nullptr;
    }

    static void Click(TfrmCopy &dialog, const char *button)
    {
        auto *control = dialog.findChild<QAbstractButton *>(QLatin1String(button));
        QVERIFY2(control, button);
        QVERIFY2(control->isVisible(), button);
        QTest::mouseClick(control, Qt::LeftButton);
    }

    static QString PathShown(TfrmCopy &dialog) { return dialog.findChild<QLabel *>(QStringLiteral("lblPath"))->text(); }

private:
    void Poll()
    {
        TfrmCopy *dialog = Showing();
        if (!dialog)
            return;
        if (next_ >= steps_.size()) {
            ++unexpected_;
            dialog->close();
            return;
        }
        pages.append(dialog->PageIndex());
        shownFolders.append(PathShown(*dialog));
        steps_.at(next_++)(*dialog);
    }

    QList<Step> steps_;
    qsizetype next_ = 0;
    int unexpected_ = 0;
    QTimer timer_;
};

// Answers the folder and open dialogs with prepared answers, recording what they were asked.
class FileDialogAnswers
{
public:
    FileDialogAnswers()
    {
        previousFolder_ = FileDialogs::SetFolderAnswerer([this](const FileDialogs::FolderRequest &request) {
            folderRequests.append(request);
            return folderAnswer;
        });
        previousOpen_ = FileDialogs::SetOpenAnswerer([this](const FileDialogs::OpenRequest &request) {
            openRequests.append(request);
            return openAnswer;
        });
    }
    ~FileDialogAnswers()
    {
        FileDialogs::SetFolderAnswerer(previousFolder_);
        FileDialogs::SetOpenAnswerer(previousOpen_);
    }
    FileDialogAnswers(const FileDialogAnswers &) = delete;
    FileDialogAnswers &operator=(const FileDialogAnswers &) = delete;

    std::optional<QString> folderAnswer;
    std::optional<QString> openAnswer;
    QList<FileDialogs::FolderRequest> folderRequests;
    QList<FileDialogs::OpenRequest> openRequests;

private:
    FileDialogs::FolderAnswerer previousFolder_;
    FileDialogs::OpenAnswerer previousOpen_;
};
