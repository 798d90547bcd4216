#include "IconGroup.h"
#include "RunProgram.h"
#include "VidomarResources.h"
#include "controls/button/ButtonResources.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QImage>
#include <QMimeDatabase>
#include <QTemporaryDir>
#include <QTest>

using namespace VidomarResources;
using namespace ButtonResources;

class TestResources : public QObject
{
    Q_OBJECT

private slots:
    void pictures_data();
    void pictures();
    void faceStatesDiffer_data();
    void faceStatesDiffer();
    void facesMatchTheBackground_data();
    void facesMatchTheBackground();
    void handCursorHotSpotIsTheFingertip();
    void iconGroupHasEverySize();
    void committedPicturesAreCurrent();
    void installsDesktopEntryAndIcons();
    void desktopEntryOpensVideos_data();
    void desktopEntryOpensVideos();
};

namespace {

const char *const FaceStates[] = {"normal", "over", "down"};

bool fullyOpaque(const QImage &image)
{
    const QImage argb = image.convertToFormat(QImage::Format_ARGB32);
    for (int y = 0; y < argb.height(); ++y) {
        for (int x = 0; x < argb.width(); ++x) {
            if (qAlpha(argb.pixel(x, y)) != 255)
                return false;
        }
    }
    return true;
}

// One level either way in a channel: Qt's raster engine rounds blended edges differently on
// processors with wider vector units, and that is not a stale picture.
bool samePixel(QRgb a, QRgb b)
{
    return qAbs(qAlpha(a) - qAlpha(b)) <= 1 && qAbs(qRed(a) - qRed(b)) <= 1 && qAbs(qGreen(a) - qGreen(b)) <= 1
           && qAbs(qBlue(a) - qBlue(b)) <= 1;
}

// The first differing pixel, for a readable failure.
QString firstDifference(const QImage &a, const QImage &b)
{
    if (a.size() != b.size())
        return QStringLiteral("size %1x%2 against %3x%4").arg(a.width()).arg(a.height()).arg(b.width()).arg(b.height());
    const QImage left = a.convertToFormat(QImage::Format_ARGB32);
    const QImage right = b.convertToFormat(QImage::Format_ARGB32);
    for (int y = 0; y < left.height(); ++y) {
        for (int x = 0; x < left.width(); ++x) {
            if (!samePixel(left.pixel(x, y), right.pixel(x, y)))
                return QStringLiteral("pixel (%1, %2): %3 against %4").arg(x).arg(y)
                    .arg(left.pixel(x, y), 8, 16, QLatin1Char('0')).arg(right.pixel(x, y), 8, 16, QLatin1Char('0'));
        }
    }
    return {};
}

QStringList pngFilesBelow(const QString &folder)
{
    QStringList files;
    QDirIterator it(folder, {QStringLiteral("*.png")}, QDir::Files, QDirIterator::Subdirectories);
    while (it.hasNext())
        files << QDir(folder).relativeFilePath(it.next());
    files.sort();
    return files;
}

QMap<QString, QString> desktopEntry(const QString &path)
{
    QMap<QString, QString> keys;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text))
        return keys;
    const QStringList lines = QString::fromUtf8(file.readAll()).split(QLatin1Char('\n'));
    if (lines.value(0) != QLatin1String("[Desktop Entry]"))
        return keys;
    for (const QString &line : lines) {
        const qsizetype equals = line.indexOf(QLatin1Char('='));
        if (equals > 0)
            keys.insert(line.left(equals), line.mid(equals + 1));
    }
    return keys;
}

} // namespace

void TestResources::pictures_data()
{
    QTest::addColumn<QString>("path");
    QTest::addColumn<QSize>("size");
    QTest::addColumn<bool>("opaque");

    // Pictures the controls stretch onto 24-bit surfaces must not rely on transparency.
    QTest::newRow("background") << artFile(QStringLiteral("background")) << QSize(550, 400) << true;
    const std::pair<const char *, QSize> buttons[] = {
        {"browse", QSize(80, 35)}, {"convert", QSize(120, 65)}, {"min", QSize(30, 22)}, {"close", QSize(30, 22)}};
    for (const auto &[button, size] : buttons) {
        for (const char *state : FaceStates) {
            const QString name = QStringLiteral("%1-%2").arg(QLatin1String(button), QLatin1String(state));
            QTest::newRow(qPrintable(name)) << artFile(name) << size << true;
        }
    }
    QTest::newRow("progress back") << artFile(QStringLiteral("probar-back")) << QSize(386, 32) << true;
    QTest::newRow("progress cover") << artFile(QStringLiteral("probar-cover")) << QSize(386, 32) << true;
    QTest::newRow("hand cursor") << QString::fromLatin1(HandCursor) << QSize(32, 32) << false;
    for (const int size : IconSizes)
        QTest::newRow(qPrintable(QStringLiteral("icon %1").arg(size))) << iconFile(size) << QSize(size, size) << false;
}

void TestResources::pictures()
{
    QFETCH(QString, path);
    QFETCH(QSize, size);
    QFETCH(bool, opaque);

    const QImage image(path);
    QVERIFY2(!image.isNull(), qPrintable(path));
    QCOMPARE(image.size(), size);
    if (opaque) {
        QVERIFY(fullyOpaque(image));
    } else {
        // Shaped pictures: clear corners, solid middle.
        QCOMPARE(qAlpha(image.pixel(0, size.height() - 1)), 0);
        QCOMPARE(qAlpha(image.pixel(size.width() - 1, 0)), 0);
        QCOMPARE(qAlpha(image.pixel(size.width() / 2, size.height() * 2 / 3)), 255);
    }
}

void TestResources::faceStatesDiffer_data()
{
    QTest::addColumn<QString>("button");
    for (const char *button : {"browse", "convert", "min", "close"})
        QTest::newRow(button) << QString::fromLatin1(button);
}

void TestResources::faceStatesDiffer()
{
    QFETCH(QString, button);
    const QImage normal(artFile(button + QStringLiteral("-normal")));
    const QImage over(artFile(button + QStringLiteral("-over")));
    const QImage down(artFile(button + QStringLiteral("-down")));
    QVERIFY(!normal.isNull() && !over.isNull() && !down.isNull());
    QVERIFY(normal != over);
    QVERIFY(normal != down);
    QVERIFY(over != down);
}

void TestResources::facesMatchTheBackground_data()
{
    QTest::addColumn<QString>("face");
    QTest::addColumn<QPoint>("place");
    QTest::newRow("cmdSource") << QStringLiteral("browse-normal") << QPoint(429, 146);
    QTest::newRow("cmdDest") << QStringLiteral("browse-normal") << QPoint(429, 255);
    QTest::newRow("cmdConvert") << QStringLiteral("convert-normal") << QPoint(414, 313);
    QTest::newRow("cmdMin") << QStringLiteral("min-normal") << QPoint(491, 1);
    QTest::newRow("cmdClose") << QStringLiteral("close-normal") << QPoint(519, 1);
}

void TestResources::facesMatchTheBackground()
{
    // Faces are opaque rectangles over the window; their corners are the window's own pixels,
    // so a face painted for another place, or an outdated background, shows a seam.
    QFETCH(QString, face);
    QFETCH(QPoint, place);
    const QImage background(artFile(QStringLiteral("background")));
    const QImage picture(artFile(face));
    QVERIFY(!background.isNull() && !picture.isNull());
    const int right = picture.width() - 1;
    const int bottom = picture.height() - 1;
    for (const QPoint corner : {QPoint(0, 0), QPoint(right, 0), QPoint(0, bottom), QPoint(right, bottom)}) {
        QCOMPARE(QColor(picture.pixel(corner)), QColor(background.pixel(place + corner)));
    }
}

void TestResources::handCursorHotSpotIsTheFingertip()
{
    const QImage hand = QImage(QString::fromLatin1(HandCursor)).convertToFormat(QImage::Format_ARGB32);
    QVERIFY(!hand.isNull());
    QVERIFY(hand.rect().contains(HandCursorHotSpot));
    // The hot spot is the tip's outline: dark and opaque, with nothing above it and the white
    // finger right below it.
    const QRgb tip = hand.pixel(HandCursorHotSpot);
    QCOMPARE(qAlpha(tip), 255);
    QVERIFY(qGray(tip) < 64);
    if (HandCursorHotSpot.y() > 0)
        QCOMPARE(qAlpha(hand.pixel(HandCursorHotSpot - QPoint(0, 1))), 0);
    QVERIFY(qGray(hand.pixel(HandCursorHotSpot + QPoint(0, 2))) > 200);
}

void TestResources::iconGroupHasEverySize()
{
    const QIcon icon = IconGroup::icon();
    QList<QSize> expected;
    for (const int size : IconSizes)
        expected << QSize(size, size);
    QCOMPARE(icon.availableSizes(), expected);
    for (const QSize &size : expected)
        QCOMPARE(icon.pixmap(size).size(), size);
}

void TestResources::committedPicturesAreCurrent()
{
    // The pictures are painted by tools/artwork; a change to the tool must come with fresh PNGs.
    QTemporaryDir output;
    QVERIFY(output.isValid());
    const QString tool = QDir(qEnvironmentVariable("VIDOMAR_BIN_DIR")).filePath(QStringLiteral("artwork"));
    QVERIFY2(QFile::exists(tool), qPrintable(tool));
    const ProgramRun painting = runProgram(tool, {output.path()}, {.limitMs = 120000});
    QVERIFY2(painting.exitCode == 0, painting.output.constData());

    const QDir committed(QStringLiteral(VIDOMAR_RESOURCES_DIR));
    const QStringList painted = pngFilesBelow(output.path());
    QVERIFY(!painted.isEmpty());
    QCOMPARE(painted, pngFilesBelow(committed.path()));
    for (const QString &file : painted) {
        const QImage fresh(QDir(output.path()).filePath(file));
        const QImage stored(committed.filePath(file));
        QVERIFY2(!stored.isNull(), qPrintable(file + QStringLiteral(" is not committed")));
        const QString difference = firstDifference(fresh, stored);
        QVERIFY2(difference.isEmpty(), qPrintable(file + QStringLiteral(": ") + difference +
                                                  QStringLiteral(" (run scripts/make-artwork)")));
    }
}

void TestResources::installsDesktopEntryAndIcons()
{
    QTemporaryDir prefix;
    QVERIFY(prefix.isValid());
    const ProgramRun install = runProgram(QStringLiteral(VIDOMAR_CMAKE),
                                          {QStringLiteral("--install"), QStringLiteral(VIDOMAR_BUILD_DIR),
                                           QStringLiteral("--prefix"), prefix.path(), QStringLiteral("--component"),
                                           QStringLiteral("desktop")},
                                          {.limitMs = 60000});
    QVERIFY2(install.exitCode == 0, install.output.constData());

    const QDir share(prefix.filePath(QStringLiteral("share")));
    const QMap<QString, QString> entry = desktopEntry(share.filePath(QStringLiteral("applications/vidomar.desktop")));
    QCOMPARE(entry.value(QStringLiteral("Type")), QStringLiteral("Application"));
    QCOMPARE(entry.value(QStringLiteral("Name")), QStringLiteral("Zorvik Vidomar"));
    QCOMPARE(entry.value(QStringLiteral("Exec")), QStringLiteral("vidomar %F"));
    QCOMPARE(entry.value(QStringLiteral("Categories")), QStringLiteral("AudioVideo;Video;"));

    // The entry's icon name resolves in the hicolor theme at every size.
    const QString iconName = entry.value(QStringLiteral("Icon"));
    QCOMPARE(iconName, QStringLiteral("vidomar"));
    for (const int size : IconSizes) {
        const QString path = share.filePath(QStringLiteral("icons/hicolor/%1x%1/apps/%2.png").arg(size).arg(iconName));
        const QImage installed(path);
        QVERIFY2(!installed.isNull(), qPrintable(path));
        QCOMPARE(installed.size(), QSize(size, size));
        QVERIFY(installed == QImage(iconFile(size)));
    }
}

// "Open With" offers the program for every kind of file its source dialog lists.
void TestResources::desktopEntryOpensVideos_data()
{
    QTest::addColumn<QString>("extension");
    for (const char *extension : {"avi", "mp4", "m4v", "mkv", "mov", "webm", "wmv", "mpg", "mpeg", "flv", "3gp", "ts",
                                  "vob", "ogv"})
        QTest::newRow(extension) << QString::fromLatin1(extension);
}

void TestResources::desktopEntryOpensVideos()
{
    QFETCH(QString, extension);
    const QMap<QString, QString> entry = desktopEntry(QStringLiteral(VIDOMAR_RESOURCES_DIR "/vidomar.desktop"));
    const QMimeDatabase mime;
    QStringList listed;
    for (const QString &name : entry.value(QStringLiteral("MimeType")).split(QLatin1Char(';'), Qt::SkipEmptyParts)) {
        const QMimeType type = mime.mimeTypeForName(name);
        QVERIFY2(type.isValid(), qPrintable(name));
        listed << type.name();
    }
    QStringList matching;
    for (const QMimeType &type : mime.mimeTypesForFileName(QStringLiteral("clip.") + extension))
        matching << type.name();
    QVERIFY2(std::any_of(matching.begin(), matching.end(), [&](const QString &name) { return listed.contains(name); }),
             qPrintable(matching.join(QLatin1Char(' '))));
}

QTEST_MAIN(TestResources)
#include "tst_resources.moc"
