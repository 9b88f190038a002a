// Draws the program icon (the picture of chronark.svg) into PNG files of the given sizes:
//   render_icon <output folder> 16 32 48 256
// Small sizes leave out the tick marks and draw the rim a little stronger, so they stay clear.

#include <QColor>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QPainterPath>
#include <QTransform>

#include <cstdio>

namespace {

const QColor Rim(0x1f, 0x4e, 0x79);
const QColor Elapsed(0xf0, 0xa0, 0x30);
const QColor Hand(0xc0, 0x39, 0x2b);

void Draw(QPainter &P, int Size) {
    const bool small = Size < 40;
    P.setRenderHint(QPainter::Antialiasing);
    P.scale(Size / 256.0, Size / 256.0);
    P.setPen(Qt::NoPen);
    P.setBrush(Rim);
    P.drawRoundedRect(QRectF(108, 8, 40, 22), 6, 6);
    P.drawRect(QRectF(120, 26, 16, 20));
    P.save();
    P.translate(203, 73);
    P.rotate(45);
    P.drawRoundedRect(QRectF(-11, -7, 22, 14), 3, 3);
    P.restore();

    const QPointF centre(128, 148);
    P.drawEllipse(centre, 100, 100);
    P.setBrush(Qt::white);
    const double face = small ? 76 : 84;
    P.drawEllipse(centre, face, face);

    QPainterPath wedge;
    wedge.moveTo(centre);
    wedge.lineTo(128, 78);
    wedge.arcTo(QRectF(58, 78, 140, 140), 90, -135);
    wedge.closeSubpath();
    P.fillPath(wedge, Elapsed);

    if (!small) {
        P.setPen(QPen(Rim, 6, Qt::SolidLine, Qt::RoundCap));
        for (int i = 0; i < 12; ++i) {
            P.save();
            P.translate(centre);
            P.rotate(30.0 * i);
            P.drawLine(QPointF(0, -82), QPointF(0, -74));
            P.restore();
        }
    }
    P.setPen(QPen(Hand, small ? 14 : 8, Qt::SolidLine, Qt::RoundCap));
    P.drawLine(centre, QPointF(174.7, 194.7));
    P.setPen(Qt::NoPen);
    P.setBrush(Rim);
    P.drawEllipse(centre, small ? 14 : 10, small ? 14 : 10);
}

} // namespace

int main(int argc, char **argv) {
    QGuiApplication app(argc, argv);
    if (argc < 3) {
        std::fprintf(stderr, "usage: render_icon <folder> <size>...\n");
        return 2;
    }
    for (int i = 2; i < argc; ++i) {
        const int size = QString::fromLocal8Bit(argv[i]).toInt();
        QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
        image.fill(Qt::transparent);
        QPainter painter(&image);
        Draw(painter, size);
        painter.end();
        const QString file = QStringLiteral("%1/chronark%2.png").arg(argv[1]).arg(size);
        if (!image.save(file)) {
            std::fprintf(stderr, "cannot write %s\n", qPrintable(file));
            return 1;
        }
    }
    return 0;
}
