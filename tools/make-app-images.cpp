// Draws the reader's own pictures: the tab icons, the font control's "A"s,
// the About picture, the application icon, and the demo dictionary's icon
// and background. The PNGs are committed; run this again only to change
// them:
//   cmake --build build --target wl_make_app_images
//   QT_QPA_PLATFORM=offscreen build/tools/wl_make_app_images SOURCE_DIR
#include <QDir>
#include <QFont>
#include <QGuiApplication>
#include <QImage>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>

#include <cmath>
#include <cstdio>
#include <functional>

namespace {

using Draw = std::function<void(QPainter &, double size)>;

const QColor kNormal(0x99, 0x99, 0x99);

bool save(const QImage &image, const QString &path)
{
    if (!image.save(path)) {
        std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
        return false;
    }
    std::printf("%s\n", qPrintable(path));
    return true;
}

QImage render(int width, int height, double scale, const std::function<void(QPainter &)> &draw)
{
    QImage image(int(width * scale), int(height * scale), QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setRenderHint(QPainter::TextAntialiasing);
    painter.scale(scale, scale);
    draw(painter);
    return image;
}

// A tab icon as a silhouette, in the bar's grey and in the selected blue,
// at 1x and 2x.
bool tabIcon(const QString &directory, const QString &name, const Draw &shape)
{
    bool ok = true;
    for (const bool selected : {false, true}) {
        for (const int scale : {1, 2}) {
            const QImage image = render(30, 30, scale, [&](QPainter &p) {
                QPainterPath path;
                QImage mask(30 * scale, 30 * scale, QImage::Format_ARGB32_Premultiplied);
                mask.fill(Qt::transparent);
                {
                    QPainter m(&mask);
                    m.setRenderHint(QPainter::Antialiasing);
                    m.scale(scale, scale);
                    m.setPen(Qt::NoPen);
                    m.setBrush(Qt::black);
                    shape(m, 30);
                }
                QLinearGradient fill(0, 0, 0, 30);
                if (selected) {
                    fill.setColorAt(0, QColor(0xb8, 0xe4, 0xff));
                    fill.setColorAt(0.5, QColor(0x3c, 0xa8, 0xf5));
                    fill.setColorAt(1, QColor(0x16, 0x6f, 0xd6));
                } else {
                    fill.setColorAt(0, kNormal.lighter(115));
                    fill.setColorAt(1, kNormal.darker(115));
                }
                p.resetTransform();
                p.drawImage(0, 0, mask);
                p.setCompositionMode(QPainter::CompositionMode_SourceIn);
                p.scale(scale, scale);
                p.fillRect(QRectF(0, 0, 30, 30), fill);
            });
            QString file = name + (selected ? QStringLiteral("-selected") : QString());
            if (scale == 2)
                file += QStringLiteral("@2x");
            ok = save(image, QDir(directory).filePath(file + QStringLiteral(".png"))) && ok;
        }
    }
    return ok;
}

void indexShape(QPainter &p, double)
{
    // An open book with lines of entries.
    QPainterPath book;
    book.moveTo(15, 8);
    book.cubicTo(11, 5, 6, 5, 3, 6);
    book.lineTo(3, 25);
    book.cubicTo(6, 24, 11, 24, 15, 27);
    book.cubicTo(19, 24, 24, 24, 27, 25);
    book.lineTo(27, 6);
    book.cubicTo(24, 5, 19, 5, 15, 8);
    book.closeSubpath();
    QPainterPath cut;
    for (int i = 0; i < 4; ++i) {
        const double y = 10.5 + i * 3.6;
        cut.addRect(QRectF(6, y, 6.5, 1.4));
        cut.addRect(QRectF(17.5, y, 6.5, 1.4));
    }
    cut.addRect(QRectF(14.4, 8, 1.2, 18));
    p.drawPath(book.subtracted(cut));
}

void searchShape(QPainter &p, double)
{
    QPainterPath ring;
    ring.addEllipse(QPointF(12.5, 12.5), 8.5, 8.5);
    QPainterPath hole;
    hole.addEllipse(QPointF(12.5, 12.5), 5.6, 5.6);
    p.drawPath(ring.subtracted(hole));
    QPainterPath handle;
    handle.moveTo(18, 20.2);
    handle.lineTo(20.2, 18);
    handle.lineTo(27.5, 25.3);
    handle.lineTo(25.3, 27.5);
    handle.closeSubpath();
    p.drawPath(handle);
}

void bookmarksShape(QPainter &p, double)
{
    QPainterPath ribbon;
    ribbon.moveTo(8, 3);
    ribbon.lineTo(22, 3);
    ribbon.lineTo(22, 27);
    ribbon.lineTo(15, 20.5);
    ribbon.lineTo(8, 27);
    ribbon.closeSubpath();
    p.drawPath(ribbon);
}

void historyShape(QPainter &p, double)
{
    QPainterPath face;
    face.addEllipse(QPointF(15, 15), 12, 12);
    QPainterPath inner;
    inner.addEllipse(QPointF(15, 15), 9.4, 9.4);
    QPainterPath hands;
    hands.addRect(QRectF(14, 7.5, 2, 8.5));
    QTransform turn;
    turn.translate(15, 15);
    turn.rotate(-50);
    turn.translate(-15, -15);
    QPainterPath minute;
    minute.addRect(QRectF(14.1, 14, 1.8, 7));
    p.drawPath(face.subtracted(inner).united(hands).united(turn.map(minute)));
}

// The font control's two letters: black "A"s of two sizes.
bool fontLetter(const QString &path, int pixelSize, int scale)
{
    const QImage image = render(22, 22, scale, [&](QPainter &p) {
        QFont font(QStringLiteral("DejaVu Sans"));
        font.setBold(true);
        font.setPixelSize(pixelSize);
        p.setFont(font);
        // White with a dark shadow, as on the bar's blue segments.
        p.setPen(QColor(0x2c, 0x40, 0x60));
        p.drawText(QRectF(0, -1, 22, 22), Qt::AlignCenter, QStringLiteral("A"));
        p.setPen(Qt::white);
        p.drawText(QRectF(0, 0, 22, 22), Qt::AlignCenter, QStringLiteral("A"));
    });
    return save(image, path);
}

// The About picture: a lamp of letters over a dark blue sky.
bool aboutPicture(const QString &path, int scale)
{
    const int w = 390;
    const int h = 760;
    const QImage image = render(w, h, scale, [&](QPainter &p) {
        QLinearGradient sky(0, 0, 0, h);
        sky.setColorAt(0, QColor(0x0e, 0x1e, 0x3a));
        sky.setColorAt(0.6, QColor(0x1d, 0x4e, 0x89));
        sky.setColorAt(1, QColor(0xf3, 0xe9, 0xd2));
        p.fillRect(QRectF(0, 0, w, h), sky);
        QRadialGradient glow(QPointF(w / 2.0, 250), 190);
        glow.setColorAt(0, QColor(255, 236, 170, 200));
        glow.setColorAt(1, QColor(255, 236, 170, 0));
        p.fillRect(QRectF(0, 0, w, h), glow);
        // Letters rising like sparks from an open book.
        QFont letters(QStringLiteral("DejaVu Serif"));
        const QString alphabet = QStringLiteral("AaBbCcDdEeFfGgHhIiJjKkLlMmNnOoPp");
        for (int i = 0; i < alphabet.size(); ++i) {
            const double angle = i * 2.399963;
            const double radius = 20 + 6.2 * i;
            const QPointF at(w / 2.0 + std::cos(angle) * radius * 0.9,
                             330 - i * 5.5 + std::sin(angle) * radius * 0.35);
            letters.setPixelSize(10 + (i % 5) * 4);
            p.setFont(letters);
            p.setPen(QColor(255, 248, 225, 90 + (i * 5) % 150));
            p.drawText(at, alphabet.mid(i, 1));
        }
        QPainterPath book;
        book.moveTo(w / 2.0, 420);
        book.cubicTo(w / 2.0 - 60, 395, w / 2.0 - 120, 398, w / 2.0 - 150, 410);
        book.lineTo(w / 2.0 - 150, 500);
        book.cubicTo(w / 2.0 - 120, 488, w / 2.0 - 60, 486, w / 2.0, 512);
        book.cubicTo(w / 2.0 + 60, 486, w / 2.0 + 120, 488, w / 2.0 + 150, 500);
        book.lineTo(w / 2.0 + 150, 410);
        book.cubicTo(w / 2.0 + 120, 398, w / 2.0 + 60, 395, w / 2.0, 420);
        p.setPen(QPen(QColor(0x6b, 0x5b, 0x3e), 2));
        p.setBrush(QColor(0xfb, 0xf6, 0xe8));
        p.drawPath(book);
        p.drawLine(QPointF(w / 2.0, 420), QPointF(w / 2.0, 512));
        QFont title(QStringLiteral("DejaVu Serif"));
        title.setPixelSize(40);
        title.setBold(true);
        p.setFont(title);
        p.setPen(QColor(0x1d, 0x2e, 0x4a));
        p.drawText(QRectF(0, 560, w, 50), Qt::AlignCenter, QStringLiteral("WL Reader"));
        QFont line(QStringLiteral("DejaVu Sans"));
        line.setPixelSize(15);
        p.setFont(line);
        p.setPen(QColor(0x3a, 0x4a, 0x66));
        p.drawText(QRectF(0, 610, w, 24), Qt::AlignCenter, QStringLiteral("an offline dictionary"));
    });
    return save(image, path);
}

// The application icon: an open book under a capital "W", on blue.
QImage appIcon(int size)
{
    return render(size, size, 1, [&](QPainter &p) {
        const double s = size / 64.0;
        p.scale(s, s);
        QLinearGradient face(0, 0, 0, 64);
        face.setColorAt(0, QColor(0x3c, 0x7d, 0xc8));
        face.setColorAt(1, QColor(0x1d, 0x4e, 0x89));
        p.setPen(Qt::NoPen);
        p.setBrush(face);
        p.drawRoundedRect(QRectF(2, 2, 60, 60), 13, 13);
        QPainterPath book;
        book.moveTo(32, 40);
        book.cubicTo(25, 35, 16, 35, 10, 37);
        book.lineTo(10, 52);
        book.cubicTo(16, 50, 25, 50, 32, 55);
        book.cubicTo(39, 50, 48, 50, 54, 52);
        book.lineTo(54, 37);
        book.cubicTo(48, 35, 39, 35, 32, 40);
        p.setBrush(QColor(0xfb, 0xf6, 0xe8));
        p.drawPath(book);
        p.setPen(QPen(QColor(0x9c, 0x8a, 0x66), 1));
        p.drawLine(QPointF(32, 40), QPointF(32, 55));
        QFont font(QStringLiteral("DejaVu Serif"));
        font.setBold(true);
        font.setPixelSize(28);
        p.setFont(font);
        p.setPen(Qt::white);
        p.drawText(QRectF(0, 4, 64, 34), Qt::AlignCenter, QStringLiteral("W"));
    });
}

// The demo's background: warm paper with faint ruled lines.
bool paper(const QString &path)
{
    const QImage image = render(390, 760, 1, [&](QPainter &p) {
        QLinearGradient tone(0, 0, 390, 760);
        tone.setColorAt(0, QColor(0xfb, 0xf4, 0xe2));
        tone.setColorAt(1, QColor(0xf0, 0xe4, 0xc8));
        p.fillRect(QRectF(0, 0, 390, 760), tone);
        p.setPen(QPen(QColor(0xc9, 0xb3, 0x7e, 70), 1));
        for (int y = 44; y < 760; y += 44)
            p.drawLine(QPointF(0, y + 0.5), QPointF(390, y + 0.5));
        p.setPen(QPen(QColor(0xd9, 0x7a, 0x6a, 80), 1.5));
        p.drawLine(QPointF(34.5, 0), QPointF(34.5, 760));
    });
    return save(image, path);
}

} // namespace

int main(int argc, char *argv[])
{
    QGuiApplication app(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s SOURCE_DIR\n", argv[0]);
        return 2;
    }
    const QDir source(QString::fromLocal8Bit(argv[1]));
    const QString resources = source.filePath(QStringLiteral("src/screens/resources"));
    const QString demo = source.filePath(QStringLiteral("dictionaries/demo"));
    const QString icons = source.filePath(QStringLiteral("data/icons"));
    QDir().mkpath(resources);
    QDir().mkpath(icons);

    bool ok = tabIcon(resources, QStringLiteral("kxIndex30"), indexShape);
    ok = tabIcon(resources, QStringLiteral("TabSearch"), searchShape) && ok;
    ok = tabIcon(resources, QStringLiteral("TabBookmarks"), bookmarksShape) && ok;
    ok = tabIcon(resources, QStringLiteral("TabHistory"), historyShape) && ok;
    ok = fontLetter(QDir(resources).filePath(QStringLiteral("SmallA22.png")), 11, 1) && ok;
    ok = fontLetter(QDir(resources).filePath(QStringLiteral("SmallA22@2x.png")), 11, 2) && ok;
    ok = fontLetter(QDir(resources).filePath(QStringLiteral("LargeA22.png")), 19, 1) && ok;
    ok = fontLetter(QDir(resources).filePath(QStringLiteral("LargeA22@2x.png")), 19, 2) && ok;
    ok = aboutPicture(QDir(resources).filePath(QStringLiteral("About.png")), 1) && ok;
    for (const int size : {16, 24, 32, 48, 64, 128, 256})
        ok = save(appIcon(size), QDir(icons).filePath(QStringLiteral("wlreader-%1.png").arg(size))) && ok;
    ok = save(appIcon(29), QDir(demo).filePath(QStringLiteral("icon.png"))) && ok;
    ok = paper(QDir(demo).filePath(QStringLiteral("paper.png"))) && ok;
    return ok ? 0 : 1;
}
