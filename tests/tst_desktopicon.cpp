// The icon the desktop shows for the sample disc is the program's own window icon, pixel for pixel.

#include "app/Artwork.h"

#include <QFile>
#include <QIcon>
#include <QImage>
#include <QPixmap>
#include <QProcess>
#include <QProcessEnvironment>
#include <QTemporaryDir>
#include <QtTest>

class TestDesktopIcon : public QObject
{
    Q_OBJECT

private:
    static QImage WindowIcon()
    {
        const QIcon icon = Artwork::Icon();
        const QList<QSize> sizes = icon.availableSizes();
        if (sizes.size() != 1 || sizes.first() != QSize(32, 32))
            return {};
        return icon.pixmap(sizes.first()).toImage().convertToFormat(QImage::Format_ARGB32);
    }

    static int RunArtgen(const QString &png)
    {
        QProcess artgen;
        // In a sanitizer build the generator's leak reports come from fontconfig and Qt, not from it.
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("ASAN_OPTIONS"), QStringLiteral("detect_leaks=0"));
        artgen.setProcessEnvironment(environment);
        artgen.start(QStringLiteral(BRINDLE_ARTGEN), {QStringLiteral("--icon-png"), png});
        if (!artgen.waitForFinished(60000) || artgen.exitStatus() != QProcess::NormalExit)
            return -1;
        return artgen.exitCode();
    }

    static void CompareWithWindowIcon(const QString &png)
    {
        const QImage window = WindowIcon();
        QVERIFY2(!window.isNull(), "the window icon is not one 32 by 32 picture");
        QImage desktop;
        QVERIFY(desktop.load(png, "PNG"));
        QCOMPARE(desktop.size(), QSize(32, 32));
        desktop = desktop.convertToFormat(QImage::Format_ARGB32);
        int transparent = 0;
        for (int y = 0; y < 32; ++y)
            for (int x = 0; x < 32; ++x) {
                const QRgb d = desktop.pixel(x, y), w = window.pixel(x, y);
                // Where the mask hides a pixel its colour is of no account.
                if (qAlpha(w) == 0) {
                    QCOMPARE(qAlpha(d), 0);
                    ++transparent;
                } else {
                    QVERIFY2(d == w, qPrintable(QStringLiteral("pixel %1,%2: %3 on the desktop, %4 in the window")
                                                    .arg(x)
                                                    .arg(y)
                                                    .arg(d, 8, 16, QLatin1Char('0'))
                                                    .arg(w, 8, 16, QLatin1Char('0'))));
                }
            }
        // The cubes stand on a see-through ground: both parts must be there.
        QVERIFY(transparent > 0);
        QVERIFY(transparent < 32 * 32);
    }

private slots:
    void installedIconIsTheWindowIcon() { CompareWithWindowIcon(QStringLiteral(BRINDLE_DESKTOP_ICON)); }

    void generatorWritesTheWindowIcon()
    {
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        const QString png = dir.filePath(QStringLiteral("brindlemoor.png"));
        QCOMPARE(RunArtgen(png), 0);
        CompareWithWindowIcon(png);
    }

    void generatorReportsAnUnwritableIcon()
    {
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        // A folder path through a regular file cannot be written, even by root.
        const QString file = dir.filePath(QStringLiteral("plain"));
        QFile plain(file);
        QVERIFY(plain.open(QIODevice::WriteOnly));
        plain.close();
        QCOMPARE(RunArtgen(file + QStringLiteral("/brindlemoor.png")), 1);
    }
};

QTEST_MAIN(TestDesktopIcon)
#include "tst_desktopicon.moc"
