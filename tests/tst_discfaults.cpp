// A damaged disc: each file the menu reads missing, empty, cut short or garbage in turn. The menu
// shows the error it names for the file, never crashes, and every page stays reachable.

#include "TestSupport.h"

#include "app/Application.h"
#include "app/GlobalsU.h"
#include "app/LaunchF.h"
#include "app/MainF.h"
#include "platform/Fonts.h"
#include "toolkit/RzEdit.h"
#include "toolkit/RzLstBox.h"
#include "toolkit/lxPageControl1.h"

#include <QDir>
#include <QFile>
#include <QRandomGenerator>
#include <QTest>

#include <memory>

namespace {

enum class Damage { Missing, Empty, Truncated, Garbage, FileForFolder };

const QPoint Background(10, 10);

// Bytes that are no file format at all, the same on every run.
QByteArray Garbage(int size)
{
    QRandomGenerator generator(size);
    QByteArray bytes(size, Qt::Uninitialized);
    for (char &byte : bytes)
        byte = char(generator.bounded(256));
    return bytes;
}

// A complete disc for the program CD07 (green scheme) with the menu's windows on it.
class Menu : public MenuWindows
{
public:
    Menu()
    {
        disc.WriteBitmap(QStringLiteral("Files/Interface/Green/MainBack.bmp"), SolidImage(640, 480, Qt::darkGreen));
        disc.WriteBitmap(QStringLiteral("Files/Sample Pics/Sampleware.bmp"), SolidImage(214, 180, Qt::red));
        for (const char *text : {"Zip", "Flash", "Acrobat", "Real", "Sample", "Extra File"})
            disc.Write(QStringLiteral("Files/Text Files/%1.txt").arg(QLatin1String(text)),
                       QByteArray(text) + " text\r\nsecond line\r\n");
        for (const char *name : {"Letter.doc", "budget.xls", "address.mdb"})
            disc.Write(QStringLiteral("Files/Templates/") + QLatin1String(name), "template");
        disc.Write(QStringLiteral("Files/Images/logo.bmp"), "picture");
        disc.Write(QStringLiteral("Files/Sounds/ding.wav"), "sound");
        for (int tool = 1; tool <= 4; ++tool)
            disc.Write(QStringLiteral("Files/ToolBox/Tool%1/Setup.exe").arg(tool), "MZ");
        disc.Write(QStringLiteral("Files/Sample/Setup.exe"), "MZ");
        disc.Write(QStringLiteral("Setup.exe"), "MZ");
        disc.Write(QStringLiteral("Files/Web Files/Order.html"), "<html/>");
        disc.Write(QStringLiteral("Files/Web Files/Help.html"), "<html/>");
        disc.Activate(QStringLiteral("CD07"));
        QDir::setCurrent(disc.Root());
    }

    void Damage(const QString &relativePath, Damage damage) const
    {
        const QString path = disc.Root() + relativePath;
        const QByteArray content = ReadAll(path);
        switch (damage) {
        case Damage::Missing:
            if (QFileInfo(path).isDir())
                QDir(path).removeRecursively();
            else
                disc.Remove(relativePath);
            break;
        case Damage::Empty:
            disc.Write(relativePath, {});
            break;
        case Damage::Truncated:
            disc.Write(relativePath, content.left(content.size() / 2));
            break;
        case Damage::Garbage:
            disc.Write(relativePath, Garbage(qMax<int>(content.size(), 4096)));
            break;
        case Damage::FileForFolder:
            QDir(path).removeRecursively();
            disc.Write(relativePath, Garbage(512));
            break;
        }
    }

    void Start() { QVERIFY(Open()); }

    template <class T = QWidget> T *Find(const char *name) const { return form->findChild<T *>(QLatin1String(name)); }

    QPoint Centre(const char *name) const
    {
        QWidget *w = Find(name);
        return w->mapTo(form.get(), w->rect().center());
    }

    void Click(const char *name)
    {
        QTest::mouseMove(form.get(), Background);
        QTest::mouseMove(form.get(), Centre(name));
        QTest::mouseClick(form->windowHandle(), Qt::LeftButton, {}, Centre(name));
    }

    QString PageName() const
    {
        QWidget *page = Find<TlxPageControl1>("pgcBrindle")->ActivePage();
        return page ? page->objectName() : QString();
    }

    TempDisc disc;
};

} // namespace

class TestDiscFaults : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        Fonts::Install();
        startFolder_ = QDir::currentPath();
    }
    void cleanup() { QDir::setCurrent(startFolder_); }

    void damagedFile_data();
    void damagedFile();

private:
    QString startFolder_;
};

void TestDiscFaults::damagedFile_data()
{
    QTest::addColumn<QString>("file");
    QTest::addColumn<Damage>("damage");
    // The errors shown, in order, while the window is created and then driven through every page;
    // "{disc}" stands for the disc's folder.
    QTest::addColumn<QStringList>("errors");

    const QString background = QStringLiteral("Files/Interface/Green/MainBack.bmp");
    const QString sample = QStringLiteral("Files/Sample Pics/Sampleware.bmp");
    const QString notOpened = QStringLiteral("Cannot open file {disc}%1.");
    const QString invalid = QStringLiteral("Bitmap image is not valid.");

    for (const QString &picture : {background, sample}) {
        // The sample picture is read from the disc whatever the current folder.
        const QString named = notOpened.arg(picture);
        const QByteArray tag = picture.section(QLatin1Char('/'), -1).toLatin1();
        QTest::newRow(tag + " missing") << picture << Damage::Missing << QStringList{named};
        QTest::newRow(tag + " empty") << picture << Damage::Empty << QStringList{invalid};
        QTest::newRow(tag + " garbage") << picture << Damage::Garbage << QStringList{invalid};
        QTest::newRow(tag + " truncated") << picture << Damage::Truncated << QStringList{invalid};
        QTest::newRow(tag + " folder") << picture << Damage::FileForFolder << QStringList{invalid};
    }

    for (const char *text : {"Zip", "Flash", "Acrobat", "Real", "Sample", "Extra File"}) {
        const QString path = QStringLiteral("Files/Text Files/%1.txt").arg(QLatin1String(text));
        const QByteArray tag = QByteArray(text) + ".txt";
        QStringList missing{notOpened.arg(path)};
        // Sample.txt is read at creation and again on the page; Extra File.txt only on its page.
        if (path.endsWith(QLatin1String("Sample.txt")))
            missing.append(notOpened.arg(path));
        QTest::newRow(tag + " missing") << path << Damage::Missing << missing;
        QTest::newRow(tag + " empty") << path << Damage::Empty << QStringList();
        QTest::newRow(tag + " truncated") << path << Damage::Truncated << QStringList();
        QTest::newRow(tag + " garbage") << path << Damage::Garbage << QStringList();
    }

    // The template folder is listed on entering its page; pictures and sounds only on delivery.
    for (const char *folder : {"Files/Templates", "Files/Images", "Files/Sounds"}) {
        const QStringList listed = QByteArray(folder) == "Files/Templates"
                                       ? QStringList{notOpened.arg(QStringLiteral("Files/Templates/"))}
                                       : QStringList();
        QTest::newRow(QByteArray(folder) + " missing") << QString::fromLatin1(folder) << Damage::Missing << listed;
        QTest::newRow(QByteArray(folder) + " a file") << QString::fromLatin1(folder) << Damage::FileForFolder << listed;
    }
    for (const char *file : {"Files/Templates/Letter.doc"}) {
        QTest::newRow("template empty") << QString::fromLatin1(file) << Damage::Empty << QStringList();
        QTest::newRow("template garbage") << QString::fromLatin1(file) << Damage::Garbage << QStringList();
    }

    // Installers and web pages are handed to the desktop as they are; only a toolbox folder
    // without its installer is reported, since nothing can be started there.
    for (const char *file : {"Files/ToolBox/Tool2/Setup.exe", "Files/Sample/Setup.exe", "Setup.exe",
                             "Files/Web Files/Order.html", "Files/Web Files/Help.html"}) {
        const QString path = QString::fromLatin1(file);
        const QStringList reported =
            path.startsWith(QLatin1String("Files/ToolBox")) ? QStringList{notOpened.arg(path)} : QStringList();
        QTest::newRow(QByteArray(file) + " missing") << path << Damage::Missing << reported;
        QTest::newRow(QByteArray(file) + " empty") << path << Damage::Empty << QStringList();
        QTest::newRow(QByteArray(file) + " garbage") << path << Damage::Garbage << QStringList();
    }
}

void TestDiscFaults::damagedFile()
{
    QFETCH(QString, file);
    QFETCH(Damage, damage);
    QFETCH(QStringList, errors);
    ErrorRecorder recorder;
    FakeOpener opener;
    Menu menu;
    menu.Damage(file, damage);
    errors.replaceInStrings(QStringLiteral("{disc}"), menu.disc.Root());

    menu.Start();
    QVERIFY(menu.form->isVisible());

    // Every page, its installers and links, and back to the main page.
    menu.Click("anmMainSampleware");
    QTRY_COMPARE(menu.PageName(), QStringLiteral("tabSampleware"));
    menu.Click("lblOverInstall");
    menu.Click("lblSamplewareBack");
    QTRY_COMPARE(menu.PageName(), QStringLiteral("tabMain"));

    menu.Click("anmMainTemplate");
    QTRY_COMPARE(menu.PageName(), QStringLiteral("tabIndex"));
    auto *templates = menu.Find<TRzListBox>("lbxTemplate");
    QVERIFY(templates);
    // The list, drawn with its icons, holds what the template folder offers.
    menu.form->grab();
    if (!file.startsWith(QLatin1String("Files/Templates")) && !file.contains(QLatin1String("Extra File")))
        QCOMPARE(templates->Count(), 3);
    menu.Click("lblExtraFileHelp");
    menu.Click("lblExtraBack");
    QTRY_COMPARE(menu.PageName(), QStringLiteral("tabMain"));

    menu.Click("anmMainToolbox");
    QTRY_COMPARE(menu.PageName(), QStringLiteral("tabToolBox"));
    for (const char *tool : {"lblOverWinZip", "lblOverFlash", "lblOverAcrobat", "lblOverReal"})
        menu.Click(tool);
    menu.Click("lblToolboxBack");
    QTRY_COMPARE(menu.PageName(), QStringLiteral("tabMain"));
    menu.Click("anmMainOrder");

    QCOMPARE(recorder.errors, errors);
    QVERIFY(menu.form->isVisible());
    // The links that exist on the disc were all opened: four tools, sample installer, order, help.
    const bool toolMissing = file.startsWith(QLatin1String("Files/ToolBox")) && damage == Damage::Missing;
    const int expectedOpened = toolMissing ? 6 : 7;
    QCOMPARE(opener.Calls(expectedOpened).size(), expectedOpened);
}

QTEST_MAIN(TestDiscFaults)
#include "tst_discfaults.moc"
