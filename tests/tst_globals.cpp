#include "TestSupport.h"

#include "app/GlobalsU.h"
#include "platform/DiscPath.h"
#include "toolkit/Exceptions.h"
#include "toolkit/Image.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>

// Disc context, digit extraction, folder helpers, shell opening and bitmap painting.
class TestGlobals : public QObject
{
    Q_OBJECT

private slots:
    void digitsToNumber_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<int>("number");
        QTest::newRow("CD07") << "CD07" << 7;
        QTest::newRow("DISC12") << "DISC12" << 12;
        QTest::newRow("spread") << "CD1V2" << 12;
        QTest::newRow("no digits") << "MENU" << 0;
        QTest::newRow("extension digits") << "A1B2.EX3" << 123;
        QTest::newRow("leading zeros") << "CD0004" << 4;
        QTest::newRow("largest") << "CD2147483647" << 2147483647;
        QTest::newRow("many zeros then largest") << "0000000000002147483647" << 2147483647;
        QTest::newRow("empty") << "" << 0;
        QTest::newRow("non-ASCII digits ignored") << QString::fromUtf8("CD\u0663\u00b27") << 7;
    }

    void digitsToNumber()
    {
        QFETCH(QString, name);
        QFETCH(int, number);
        QCOMPARE(GlobalsU::DigitsToNumber(name), number);
    }

    void digitsTooLargeFailWithTheDigitString_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("message");
        QTest::newRow("just above") << "CD2147483648"
                                    << "'2147483648' is not a valid integer value";
        QTest::newRow("spread") << "D9I9S9C99999999999.X"
                                << "'99999999999999' is not a valid integer value";
        QTest::newRow("huge") << QString(40, QLatin1Char('9'))
                              << QStringLiteral("'%1' is not a valid integer value").arg(QString(40, QLatin1Char('9')));
    }

    void digitsTooLargeFailWithTheDigitString()
    {
        QFETCH(QString, name);
        QFETCH(QString, message);
        try {
            GlobalsU::DigitsToNumber(name);
            QFAIL("no error raised");
        } catch (const EConvertError &e) {
            QCOMPARE(e.Message(), message);
        }
    }

    void discContextFromProgramPath_data()
    {
        QTest::addColumn<QString>("path");
        QTest::addColumn<int>("number");
        QTest::addColumn<int>("colour");
        QTest::addColumn<QString>("appFolder");
        QTest::addColumn<QString>("interfaceFolder");
        QTest::newRow("CD07") << "/media/cdrom/CD07" << 7 << 3 << "/media/cdrom/"
                              << "/media/cdrom/Files/Interface/Green/";
        QTest::newRow("starter") << "/media/cdrom/MENU" << 0 << 0 << "/media/cdrom/"
                                 << "/media/cdrom/Files/Interface/Blue/";
        QTest::newRow("leading zeros") << "/d/CD0004.EXE" << 4 << 0 << "/d/"
                                       << "/d/Files/Interface/Blue/";
        QTest::newRow("red") << "/d/CD05" << 5 << 1 << "/d/"
                             << "/d/Files/Interface/Red/";
        QTest::newRow("purple") << "/d/CD2" << 2 << 2 << "/d/"
                                << "/d/Files/Interface/Purple/";
        QTest::newRow("folder digits ignored") << "/mnt/disc12/MENU" << 0 << 0 << "/mnt/disc12/"
                                               << "/mnt/disc12/Files/Interface/Blue/";
        QTest::newRow("blank in folder") << "/mnt/My Disc/CD3" << 3 << 3 << "/mnt/My Disc/"
                                         << "/mnt/My Disc/Files/Interface/Green/";
    }

    void discContextFromProgramPath()
    {
        QFETCH(QString, path);
        QFETCH(int, number);
        QFETCH(int, colour);
        QFETCH(QString, appFolder);
        QFETCH(QString, interfaceFolder);
        const DiscContext c = DiscContext::FromProgramPath(path);
        QCOMPARE(c.DiscNumber, number);
        QCOMPARE(int(c.ColourIndex), colour);
        QCOMPARE(c.AppFolder, appFolder);
        QCOMPARE(c.InterfaceFolder, interfaceFolder);
    }

    void labelColoursFollowTheSchemes()
    {
        QCOMPARE(GlobalsU::LabelColours[0], QColor(148, 165, 222));
        QCOMPARE(GlobalsU::LabelColours[1], QColor(222, 0, 41));
        QCOMPARE(GlobalsU::LabelColours[2], QColor(99, 8, 123));
        QCOMPARE(GlobalsU::LabelColours[3], QColor(0, 181, 57));
    }

    void discFilesAreBuiltUnderTheProgramsFolder()
    {
        GlobalsU::SetContext(DiscContext::FromProgramPath(QStringLiteral("/media/cdrom/CD07")));
        QCOMPARE(GlobalsU::DiscFile(DiscFolder::TextFiles, QStringLiteral("Zip.txt")),
                 QStringLiteral("/media/cdrom/Files/Text Files/Zip.txt"));
        QCOMPARE(GlobalsU::AppFolder() + GlobalsU::ToolFolder(3), QStringLiteral("/media/cdrom/Files/ToolBox/Tool3/"));
        QCOMPARE(GlobalsU::DiscFile(DiscFolder::WebFiles, QStringLiteral("Order.html")),
                 QStringLiteral("/media/cdrom/Files/Web Files/Order.html"));
    }

    void withTrailingBackslash_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("result");
        QTest::newRow("appends") << "/tmp/Temp"
                                 << "/tmp/Temp/";
        QTest::newRow("keeps") << "/tmp/Temp/"
                               << "/tmp/Temp/";
        QTest::newRow("empty") << ""
                               << "";
        QTest::newRow("blanks only") << "   "
                                     << "";
        QTest::newRow("surrounding blanks") << " /tmp/Temp "
                                            << "/tmp/Temp/";
        QTest::newRow("control characters") << "\t/tmp/Temp\r\n"
                                            << "/tmp/Temp/";
        QTest::newRow("root") << "/"
                              << "/";
        QTest::newRow("inner blank kept") << "/tmp/My Docs"
                                          << "/tmp/My Docs/";
    }

    void withTrailingBackslash()
    {
        QFETCH(QString, text);
        QFETCH(QString, result);
        QCOMPARE(GlobalsU::WithTrailingBackslash(text), result);
    }

    void paintBitmapFileChangesOnlyTheCoveredCorner()
    {
        TempDisc disc;
        const QString file = disc.WriteBitmap(QStringLiteral("small.bmp"), SolidImage(320, 200, Qt::red));
        TImage image;
        image.resize(640, 480);
        image.SetPicture(SolidImage(640, 480, Qt::blue).convertToFormat(QImage::Format_RGB32));
        GlobalsU::PaintBitmapFile(image, file);
        const QImage &p = image.Picture();
        QCOMPARE(p.size(), QSize(640, 480));
        QCOMPARE(p.pixelColor(0, 0), QColor(Qt::red));
        QCOMPARE(p.pixelColor(319, 199), QColor(Qt::red));
        QCOMPARE(p.pixelColor(320, 199), QColor(Qt::blue));
        QCOMPARE(p.pixelColor(319, 200), QColor(Qt::blue));
        QCOMPARE(p.pixelColor(639, 479), QColor(Qt::blue));
    }

    void paintBitmapFileOnAnEmptyControlMakesAControlSizedPicture()
    {
        TempDisc disc;
        const QString file = disc.WriteBitmap(QStringLiteral("small.bmp"), SolidImage(10, 10, Qt::green));
        TImage image;
        image.resize(30, 20);
        GlobalsU::PaintBitmapFile(image, file);
        QCOMPARE(image.Picture().size(), QSize(30, 20));
        QCOMPARE(image.Picture().pixelColor(9, 9), QColor(Qt::green));
    }

    void paintBitmapFileFailuresLeaveThePictureUnchanged_data()
    {
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<bool>("exists");
        QTest::addColumn<QString>("message");
        QTest::newRow("missing") << QByteArray() << false << "Cannot open file %1";
        QTest::newRow("empty") << QByteArray() << true << "Bitmap image is not valid";
        QTest::newRow("text") << QByteArray("hello, world") << true << "Bitmap image is not valid";
        QTest::newRow("truncated header") << QByteArray("BM\x10\x00", 4) << true << "Bitmap image is not valid";
        QByteArray png;
        {
            QBuffer buffer(&png);
            buffer.open(QIODevice::WriteOnly);
            SolidImage(4, 4, Qt::red).save(&buffer, "PNG");
        }
        QTest::newRow("png named bmp") << png << true << "Bitmap image is not valid";
    }

    void paintBitmapFileFailuresLeaveThePictureUnchanged()
    {
        QFETCH(QByteArray, content);
        QFETCH(bool, exists);
        QFETCH(QString, message);
        TempDisc disc;
        QString file = disc.Root() + QStringLiteral("Pics/back.bmp");
        if (exists)
            file = disc.Write(QStringLiteral("Pics/back.bmp"), content);
        TImage image;
        image.resize(8, 8);
        const QImage before = SolidImage(8, 8, Qt::blue).convertToFormat(QImage::Format_RGB32);
        image.SetPicture(before);
        try {
            GlobalsU::PaintBitmapFile(image, file);
            QFAIL("no error raised");
        } catch (const Exception &e) {
            QCOMPARE(e.Message(), message.contains(QLatin1String("%1")) ? message.arg(file) : message);
        }
        QCOMPARE(image.Picture(), before);
    }

    void discFilesAreFoundWhateverTheirLetterCase()
    {
        QTemporaryDir dir;
        const QString root = dir.path() + QLatin1Char('/');
        const auto write = [&root](const QString &relative) {
            QDir().mkpath(QFileInfo(root + relative).path());
            QFile file(root + relative);
            QVERIFY(file.open(QIODevice::WriteOnly));
        };
        write(QStringLiteral("FILES/TEXT FILES/ZIP.TXT"));
        const QString asked = root + QStringLiteral("Files/Text Files/Zip.txt");
        QCOMPARE(DiscPath::Resolve(asked), root + QStringLiteral("FILES/TEXT FILES/ZIP.TXT"));
        QCOMPARE(DiscPath::Resolve(root + QStringLiteral("files/text files/")),
                 root + QStringLiteral("FILES/TEXT FILES/"));
        // The exact name wins over a case-blind one, and a name that matches nothing is kept as asked.
        write(QStringLiteral("Files/Text Files/Zip.txt"));
        QCOMPARE(DiscPath::Resolve(asked), asked);
        const QString missing = root + QStringLiteral("Files/Nothing/here.txt");
        QCOMPARE(DiscPath::Resolve(missing), missing);
        QCOMPARE(DiscPath::Resolve(QStringLiteral("relative/never/there")), QStringLiteral("relative/never/there"));
    }

    void pictureDecodedOnlyWhenNotCoveredByTheFile_data()
    {
        QTest::addColumn<QSize>("file");
        QTest::addColumn<int>("decodes");
        QTest::newRow("same size") << QSize(64, 48) << 0;
        QTest::newRow("larger") << QSize(80, 60) << 0;
        QTest::newRow("narrower") << QSize(63, 48) << 1;
        QTest::newRow("shorter") << QSize(64, 47) << 1;
    }

    // A control handed a picture to decode later (the built-in artwork) skips the decoding when
    // the disc's file hides all of it, and shows exactly what painting over it would have shown.
    void pictureDecodedOnlyWhenNotCoveredByTheFile()
    {
        QFETCH(QSize, file);
        QFETCH(int, decodes);
        TempDisc disc;
        const QString path =
            disc.WriteBitmap(QStringLiteral("back.bmp"), SolidImage(file.width(), file.height(), Qt::red));
        int loads = 0;
        TImage image;
        image.resize(64, 48);
        image.SetPicture(QSize(64, 48), [&loads] {
            ++loads;
            return SolidImage(64, 48, Qt::blue).convertToFormat(QImage::Format_RGB32);
        });
        QCOMPARE(image.PictureSize(), QSize(64, 48));
        GlobalsU::PaintBitmapFile(image, path);
        QCOMPARE(loads, decodes);

        const QImage &p = image.Picture();
        QCOMPARE(loads, decodes);
        QCOMPARE(p.size(), QSize(64, 48));
        QCOMPARE(p.format(), QImage::Format_RGB32);
        QCOMPARE(p.pixelColor(0, 0), QColor(Qt::red));
        const QColor corner = file.width() >= 64 && file.height() >= 48 ? QColor(Qt::red) : QColor(Qt::blue);
        QCOMPARE(p.pixelColor(63, 47), corner);
        QCOMPARE(image.grab().toImage().pixelColor(63, 47), corner);
    }

    void pictureDecodedOnceWhenFirstShown()
    {
        TempDisc disc;
        int loads = 0;
        TImage image;
        image.resize(20, 10);
        image.SetPicture(QSize(20, 10), [&loads] {
            ++loads;
            return SolidImage(20, 10, Qt::green).convertToFormat(QImage::Format_RGB32);
        });
        // A file that cannot be read leaves the picture waiting, as it leaves a decoded one unchanged.
        QVERIFY_THROWS_EXCEPTION(Exception, GlobalsU::PaintBitmapFile(image, disc.Root() + QStringLiteral("none.bmp")));
        QCOMPARE(loads, 0);
        QCOMPARE(image.grab().toImage().pixelColor(5, 5), QColor(Qt::green));
        QCOMPARE(image.grab().toImage().pixelColor(19, 9), QColor(Qt::green));
        QCOMPARE(image.Picture().size(), QSize(20, 10));
        QCOMPARE(loads, 1);

        // A picture set afterwards replaces the one waiting to be decoded.
        TImage other;
        other.resize(4, 4);
        other.SetPicture(QSize(4, 4), [&loads] {
            ++loads;
            return QImage();
        });
        other.SetPicture(SolidImage(4, 4, Qt::red));
        QCOMPARE(other.Picture().pixelColor(1, 1), QColor(Qt::red));
        QCOMPARE(loads, 1);
    }

    void pictureThatFailsToDecodeIsReportedOnce()
    {
        ErrorRecorder errors;
        int loads = 0;
        TImage image;
        image.resize(8, 8);
        image.SetPicture(QSize(8, 8), [&loads]() -> QImage {
            ++loads;
            throw EInvalidGraphic();
        });
        image.grab();
        image.grab();
        QCOMPARE(loads, 1);
        // Shown once painting is over, never from inside the paint event.
        QCOMPARE(errors.errors, QStringList());
        QTRY_COMPARE(errors.errors, QStringList{QStringLiteral("Bitmap image is not valid.")});
        QVERIFY(image.Picture().isNull());
    }

    void bitmapsAreReadCaseBlind()
    {
        QTemporaryDir dir;
        QDir(dir.path()).mkpath(QStringLiteral("FILES/INTERFACE/GREEN"));
        QVERIFY(SolidImage(4, 4, Qt::green)
                    .save(dir.path() + QStringLiteral("/FILES/INTERFACE/GREEN/MAINBACK.BMP"), "BMP"));
        TImage image;
        image.resize(4, 4);
        GlobalsU::PaintBitmapFile(image, dir.path() + QStringLiteral("/Files/Interface/Green/MainBack.bmp"));
        QCOMPARE(image.Picture().pixelColor(3, 3), QColor(Qt::green));
    }

    void shellRunPassesThePathUntouched_data()
    {
        QTest::addColumn<QString>("name");
        QTest::newRow("plain") << "Order.html";
        QTest::newRow("blanks") << "My Order Form.html";
        QTest::newRow("quotes") << "it's \"quoted\".html";
        QTest::newRow("semicolon") << "a; rm -rf b.html";
        QTest::newRow("command substitution") << "$(touch pwned) `touch pwned2`.html";
    }

    void shellRunPassesThePathUntouched()
    {
        QFETCH(QString, name);
        FakeOpener opener;
        TempDisc disc;
        const QString file = disc.Write(name, "x");
        const QString before = QDir::currentPath();
        QDir::setCurrent(disc.Root() + QStringLiteral("Files"));
        GlobalsU::ShellRun(file, QString(), QString(), GlobalsU::SW_SHOWNORMAL);
        QDir::setCurrent(before);
        const auto calls = opener.Calls(1);
        QCOMPARE(calls.size(), 1);
        QCOMPARE(calls.at(0).arguments, QStringList{file});
        QCOMPARE(calls.at(0).folder, disc.Root() + QStringLiteral("Files"));
        QVERIFY(!QFile::exists(disc.Root() + QStringLiteral("Files/pwned")));
        QVERIFY(!QFile::exists(disc.Root() + QStringLiteral("Files/pwned2")));
    }

    void shellRunStartsAProgramWithItsParameters()
    {
        FakeOpener opener;
        // The recorder stands for the program, started with the parameters as its own arguments.
        GlobalsU::ShellRun(QStringLiteral("xdg-open"), QStringLiteral("-o \"My Files\" $(x)"), {},
                           GlobalsU::SW_SHOWNORMAL);
        QCOMPARE(opener.Calls(1).value(0).arguments, QStringList({"-o", "My Files", "$(x)"}));
    }

    void shellRunOnAMissingFileReturnsQuietly()
    {
        FakeOpener opener;
        ErrorRecorder errors;
        const QString missing = QStringLiteral("/nonexistent/folder/Setup.exe");
        GlobalsU::ShellRun(missing, QString(), QString(), GlobalsU::SW_SHOWNORMAL);
        QCOMPARE(opener.Calls(1).value(0).arguments, QStringList{missing});
        QVERIFY(errors.errors.isEmpty());
    }
};

QTEST_MAIN(TestGlobals)
#include "tst_globals.moc"
