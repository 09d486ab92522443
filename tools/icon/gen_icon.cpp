// Draws the program's icon: a tuning dial over a bar graph of channel levels, in the window's
// colours, on a dark rounded square. Written at build time as a PNG of any size (beside the
// program, and the desktop theme's sizes) or as SVG, all from the same drawing.
#include <QDir>
#include <QFileInfo>
#include <QImage>
#include <QPainter>
#include <QPainterPath>
#include <QSvgGenerator>
#include <cmath>
#include <cstdio>
#include <cstdlib>

namespace {

constexpr int kSize = 256;
const QColor kBackground(0x14, 0x18, 0x1d);
const QColor kPanel(0x1c, 0x23, 0x2b);
const QColor kBorder(0x2b, 0x35, 0x40);
const QColor kAmber(0xff, 0xb0, 0x00);
const QColor kLevel(0x3d, 0xdc, 0x84);

void DrawBackground(QPainter& painter) {
    QPainterPath square;
    square.addRoundedRect(QRectF(8, 8, kSize - 16, kSize - 16), 40, 40);
    painter.fillPath(square, kBackground);
    painter.setPen(QPen(kBorder, 6));
    painter.drawPath(square);
}

// Channel levels rising to one strong sonobuoy in the middle.
void DrawBars(QPainter& painter) {
    const double heights[] = {0.18, 0.26, 0.2, 0.34, 0.5, 0.9, 0.46, 0.3, 0.22, 0.28, 0.16};
    const int count = int(std::size(heights));
    const double left = 36, bottom = 212, width = kSize - 72, maxHeight = 96;
    const double step = width / count;
    for (int i = 0; i < count; ++i) {
        const double h = heights[i] * maxHeight;
        painter.fillRect(QRectF(left + i * step + 3, bottom - h, step - 6, h),
                         i == count / 2 ? kAmber : kLevel);
    }
    painter.fillRect(QRectF(left, bottom + 4, width, 4), kBorder);
}

// A dial across the top: an arc with its scale and a needle pointing at the strong channel.
void DrawDial(QPainter& painter) {
    const QPointF centre(kSize / 2.0, 128);
    const double radius = 84;
    painter.setPen(QPen(kPanel, 22, Qt::SolidLine, Qt::FlatCap));
    painter.drawArc(QRectF(centre.x() - radius, centre.y() - radius, 2 * radius, 2 * radius),
                    30 * 16, 120 * 16);
    painter.setPen(QPen(kAmber, 4, Qt::SolidLine, Qt::RoundCap));
    for (int tick = 0; tick <= 8; ++tick) {
        const double angle = (30 + tick * 15) * M_PI / 180;
        const QPointF direction(std::cos(angle), -std::sin(angle));
        painter.drawLine(centre + direction * (radius - 8), centre + direction * (radius + 8));
    }
    painter.setPen(QPen(kAmber, 8, Qt::SolidLine, Qt::RoundCap));
    painter.drawLine(centre, centre + QPointF(0, -(radius + 4)));
    painter.setBrush(kAmber);
    painter.setPen(Qt::NoPen);
    painter.drawEllipse(centre, 12, 12);
}

void Draw(QPainter& painter) {
    painter.setRenderHint(QPainter::Antialiasing);
    DrawBackground(painter);
    DrawBars(painter);
    DrawDial(painter);
}

bool WritePng(const QString& path, int size) {
    QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    {
        QPainter painter(&image);
        painter.scale(double(size) / kSize, double(size) / kSize);
        Draw(painter);
    }
    return image.save(path, "PNG");
}

bool WriteSvg(const QString& path) {
    QSvgGenerator svg;
    svg.setFileName(path);
    svg.setSize(QSize(kSize, kSize));
    svg.setViewBox(QRect(0, 0, kSize, kSize));
    svg.setTitle(QStringLiteral("K740RX"));
    QPainter painter;
    if (!painter.begin(&svg)) {
        return false;
    }
    Draw(painter);
    return painter.end();
}

}  // namespace

int main(int argc, char** argv) {
    const int size = argc == 3 ? std::atoi(argv[2]) : kSize;
    if (argc < 2 || argc > 3 || size <= 0) {
        std::fprintf(stderr, "usage: %s OUT.png [SIZE] | OUT.svg\n", argv[0]);
        return 2;
    }
    const QString path = QString::fromLocal8Bit(argv[1]);
    const bool written =
        QDir().mkpath(QFileInfo(path).absolutePath()) &&
        (path.endsWith(QLatin1String(".svg")) ? WriteSvg(path) : WritePng(path, size));
    if (!written) {
        std::fprintf(stderr, "cannot write %s\n", argv[1]);
        return 1;
    }
    return 0;
}
