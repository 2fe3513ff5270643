#include "CopyDialogDriver.h"
#include "TestSupport.h"

#include "app/CopyF.h"
#include "app/TemplateDelivery.h"
#include "platform/FileOps.h"
#include "toolkit/Dispatch.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

namespace {
const QString Templates = QStringLiteral("Files/Templates/");

void overwrite(const QString &path, const QByteArray &content)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write(content);
}

QStringList filesIn(const QString &folder)
{
    return QDir(folder).entryList(QDir::Files | QDir::Hidden, QDir::Name | QDir::IgnoreCase);
}
} // namespace

// A template delivered from a disc in a temporary folder: the copy, its companions and the folder opened.
class TestTemplateDelivery : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();

    void deliversTemplateWithCompanions();
    void neverOverwritesUserFiles();
    void cancelledDeliveryDoesNothing();
    void discWithoutPicturesOrSounds_data();
    void discWithoutPicturesOrSounds();
    void folderEndingInBlank();
    void selectionOutOfRange();

private:
    QStringList entries() const
    {
        return {QStringLiteral("Budget.xls"), QStringLiteral("Letter.doc"), QStringLiteral("notes.wps")};
    }

    std::unique_ptr<QTemporaryDir> home_;
    std::unique_ptr<QTemporaryDir> config_;
    std::unique_ptr<TempDisc> disc_;
    std::unique_ptr<ErrorRecorder> errors_;
    std::unique_ptr<FileDialogAnswers> dialogs_;
    std::unique_ptr<FakeOpener> opener_;
};

void TestTemplateDelivery::initTestCase()
{
    QStandardPaths::setTestModeEnabled(false);
}

void TestTemplateDelivery::init()
{
    home_ = std::make_unique<QTemporaryDir>();
    config_ = std::make_unique<QTemporaryDir>();
    qputenv("HOME", home_->path().toLocal8Bit());
    qputenv("XDG_CONFIG_HOME", config_->path().toLocal8Bit());
    disc_ = std::make_unique<TempDisc>();
    disc_->Activate(QStringLiteral("CD03"));
    for (const QString &name : entries())
        disc_->Write(Templates + name, "template " + name.toLatin1());
    // Pictures and sounds as an ISO disc shows them: names in any case, only some of the right type.
    disc_->Remove(QStringLiteral("Files/Images"));
    disc_->Write(QStringLiteral("Files/IMAGES/logo.gif"), "gif logo");
    disc_->Write(QStringLiteral("Files/IMAGES/PHOTO.GIF"), "gif photo");
    disc_->Write(QStringLiteral("Files/IMAGES/scan.png"), "not a gif");
    disc_->Write(QStringLiteral("Files/IMAGES/.hidden.gif"), "hidden");
    disc_->Write(QStringLiteral("Files/IMAGES/folder.gif/inner.gif"), "in a folder");
    disc_->Write(QStringLiteral("Files/Sounds/chime.wav"), "wav chime");
    disc_->Write(QStringLiteral("Files/Sounds/Bell.WAV"), "wav bell");
    disc_->Write(QStringLiteral("Files/Sounds/readme.txt"), "not a sound");
    disc_->MakeReadOnly();
    errors_ = std::make_unique<ErrorRecorder>();
    dialogs_ = std::make_unique<FileDialogAnswers>();
    opener_ = std::make_unique<FakeOpener>();
}

void TestTemplateDelivery::cleanup()
{
    QTRY_VERIFY(!CopyDialogDriver::Showing());
    opener_.reset();
    dialogs_.reset();
    errors_.reset();
    disc_.reset();
    config_.reset();
    home_.reset();
}

void TestTemplateDelivery::deliversTemplateWithCompanions()
{
    {
        CopyDialogDriver driver({[](TfrmCopy &dialog) { CopyDialogDriver::Click(dialog, "btnCopy"); }});
        TemplateDelivery::Deliver(Templates, entries(), 1);
        QVERIFY(driver.AllStepsRun());
    }
    const QString folder = home_->path() + QStringLiteral("/BrindlePC/CD-ROM3/");
    QCOMPARE(filesIn(folder), entries());
    for (const QString &name : entries())
        QCOMPARE(ReadAll(folder + name), "template " + name.toLatin1());
    QCOMPARE(filesIn(folder + QStringLiteral("Images")), (QStringList{"logo.gif", "PHOTO.GIF"}));
    QCOMPARE(ReadAll(folder + QStringLiteral("Images/PHOTO.GIF")), QByteArray("gif photo"));
    QCOMPARE(filesIn(folder + QStringLiteral("Sounds")), (QStringList{"Bell.WAV", "chime.wav"}));
    QCOMPARE(ReadAll(folder + QStringLiteral("Sounds/chime.wav")), QByteArray("wav chime"));
    // Everything copied from the read-only disc can be saved by the user.
    for (const QString &copy : {folder + QStringLiteral("Budget.xls"), folder + QStringLiteral("Letter.doc"),
                                folder + QStringLiteral("Images/logo.gif"), folder + QStringLiteral("Sounds/Bell.WAV")})
        QVERIFY2(!FileOps::IsReadOnly(copy), qPrintable(copy));

    const QList<FakeOpener::Call> calls = opener_->Calls(1);
    QCOMPARE(calls.size(), 1);
    QCOMPARE(calls.front().arguments, QStringList{folder});
    QVERIFY(errors_->errors.isEmpty());
    QVERIFY(errors_->messages.isEmpty());
}

void TestTemplateDelivery::neverOverwritesUserFiles()
{
    {
        CopyDialogDriver driver({[](TfrmCopy &dialog) { CopyDialogDriver::Click(dialog, "btnCopy"); }});
        TemplateDelivery::Deliver(Templates, entries(), 0);
        QVERIFY(driver.AllStepsRun());
    }
    const QString folder = home_->path() + QStringLiteral("/BrindlePC/CD-ROM3/");
    overwrite(folder + QStringLiteral("Budget.xls"), "my budget");
    overwrite(folder + QStringLiteral("Letter.doc"), "my letter");
    overwrite(folder + QStringLiteral("Images/logo.gif"), "my logo");
    QVERIFY(QFile::remove(folder + QStringLiteral("notes.wps")));
    QVERIFY(QFile::remove(folder + QStringLiteral("Sounds/Bell.WAV")));

    // The remembered copy is found without a dialog; the delivery runs again.
    {
        CopyDialogDriver noDialog;
        TemplateDelivery::Deliver(Templates, entries(), 0);
        QCOMPARE(noDialog.Unexpected(), 0);
    }
    QCOMPARE(ReadAll(folder + QStringLiteral("Budget.xls")), QByteArray("my budget"));
    QCOMPARE(ReadAll(folder + QStringLiteral("Letter.doc")), QByteArray("my letter"));
    QCOMPARE(ReadAll(folder + QStringLiteral("Images/logo.gif")), QByteArray("my logo"));
    // What went missing is copied again.
    QCOMPARE(ReadAll(folder + QStringLiteral("notes.wps")), QByteArray("template notes.wps"));
    QCOMPARE(ReadAll(folder + QStringLiteral("Sounds/Bell.WAV")), QByteArray("wav bell"));
    QCOMPARE(opener_->Calls(2).size(), 2);
}

void TestTemplateDelivery::cancelledDeliveryDoesNothing()
{
    {
        CopyDialogDriver driver({[](TfrmCopy &dialog) { CopyDialogDriver::Click(dialog, "btnCancel"); }});
        TemplateDelivery::Deliver(Templates, entries(), 2);
        QVERIFY(driver.AllStepsRun());
    }
    QVERIFY(!QFileInfo::exists(home_->path() + QStringLiteral("/BrindlePC")));

    // The only folder ever opened is the one of the delivery that went through.
    const QString chosen = home_->filePath(QStringLiteral("Chosen"));
    QVERIFY(QDir().mkpath(chosen));
    dialogs_->folderAnswer = chosen;
    {
        CopyDialogDriver driver({[](TfrmCopy &dialog) {
            CopyDialogDriver::Click(dialog, "btnBrowse");
            CopyDialogDriver::Click(dialog, "btnCopy");
        }});
        TemplateDelivery::Deliver(Templates, entries(), 2);
        QVERIFY(driver.AllStepsRun());
    }
    const QList<FakeOpener::Call> calls = opener_->Calls(1);
    QCOMPARE(calls.size(), 1);
    QCOMPARE(calls.front().arguments, QStringList{chosen + QLatin1Char('/')});
    QCOMPARE(filesIn(chosen), entries());
    QVERIFY(QFileInfo(chosen + QStringLiteral("/Images")).isDir());
}

void TestTemplateDelivery::discWithoutPicturesOrSounds_data()
{
    QTest::addColumn<QString>("missing");
    QTest::addColumn<QString>("listed");
    QTest::addColumn<QStringList>("pictures");
    QTest::newRow("no pictures") << "Files/IMAGES"
                                 << "Files/Images/" << QStringList();
    QTest::newRow("no sounds") << "Files/Sounds"
                               << "Files/Sounds/" << QStringList{"logo.gif", "PHOTO.GIF"};
}

// Listing the missing folder fails: the error box tells the user, and the rest of the delivery,
// opening the folder included, does not happen.
void TestTemplateDelivery::discWithoutPicturesOrSounds()
{
    QFETCH(QString, missing);
    QFETCH(QString, listed);
    QFETCH(QStringList, pictures);
    disc_->Remove(missing);
    {
        CopyDialogDriver driver({[](TfrmCopy &dialog) { CopyDialogDriver::Click(dialog, "btnCopy"); }});
        Dispatch::Guarded([this] { TemplateDelivery::Deliver(Templates, entries(), 1); });
        QVERIFY(driver.AllStepsRun());
    }
    QCOMPARE(errors_->errors,
             QStringList{QStringLiteral("Cannot open file ") + disc_->Root() + listed + QLatin1Char('.')});
    const QString folder = home_->path() + QStringLiteral("/BrindlePC/CD-ROM3/");
    QCOMPARE(filesIn(folder), entries());
    QCOMPARE(filesIn(folder + QStringLiteral("Images")), pictures);
    QVERIFY(QFileInfo(folder + QStringLiteral("Sounds")).isDir());
    QCOMPARE(filesIn(folder + QStringLiteral("Sounds")), QStringList());
    QCOMPARE(opener_->Calls(1, 1000).size(), 0);
}

void TestTemplateDelivery::folderEndingInBlank()
{
    // A folder name may end in a blank here: it is used as it stands.
    const QString chosen = home_->filePath(QStringLiteral("Work "));
    QVERIFY(QDir().mkpath(chosen));
    dialogs_->folderAnswer = chosen;
    {
        CopyDialogDriver driver({[](TfrmCopy &dialog) {
            CopyDialogDriver::Click(dialog, "btnBrowse");
            CopyDialogDriver::Click(dialog, "btnCopy");
        }});
        TemplateDelivery::Deliver(Templates, entries(), 1);
        QVERIFY(driver.AllStepsRun());
    }
    QCOMPARE(filesIn(chosen), entries());
    QCOMPARE(filesIn(chosen + QStringLiteral("/Sounds")), (QStringList{"Bell.WAV", "chime.wav"}));
    QVERIFY(!QFileInfo::exists(home_->filePath(QStringLiteral("Work"))));
    QCOMPARE(opener_->Calls(1).front().arguments, QStringList{chosen + QLatin1Char('/')});
}

void TestTemplateDelivery::selectionOutOfRange()
{
    CopyDialogDriver noDialog;
    TemplateDelivery::Deliver(Templates, entries(), -1);
    TemplateDelivery::Deliver(Templates, entries(), 3);
    TemplateDelivery::Deliver(Templates, {}, 0);
    QCOMPARE(noDialog.Unexpected(), 0);
    QVERIFY(!QFileInfo::exists(home_->path() + QStringLiteral("/BrindlePC")));
    QVERIFY(!QFileInfo::exists(CopyF::SettingsFileName()));
}

QTEST_MAIN(TestTemplateDelivery)
#include "tst_templatedelivery.moc"
