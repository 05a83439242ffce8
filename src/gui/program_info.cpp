#include "program_info.h"

#include <QPainter>
#include <QPainterPath>
#include <QPixmap>
#include <cmath>

#include "app/message_format.h"

#ifndef PARTITA_VERSION
#define PARTITA_VERSION "0.0.0"
#endif

namespace partita::gui {
namespace {

QPixmap DrawIcon(int size) {
    QPixmap pixmap(size, size);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    const qreal s = size;
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(0x1f, 0x4e, 0x79));
    painter.drawRoundedRect(QRectF(0, 0, s, s), s * 0.18, s * 0.18);

    // A waveform across the tile: two halves in different colours meeting at the cut.
    QPainterPath left;
    QPainterPath right;
    const int steps = 24;
    for (int i = 0; i <= steps; ++i) {
        qreal x = s * (0.1 + 0.8 * i / steps);
        qreal amplitude = s * 0.28 * std::fabs(std::sin(i * 0.9)) * (0.5 + 0.5 * std::cos(i * 0.3));
        QPainterPath& path = i <= steps / 2 ? left : right;
        path.moveTo(x, s * 0.5 - amplitude);
        path.lineTo(x, s * 0.5 + amplitude);
    }
    painter.setBrush(Qt::NoBrush);
    painter.setPen(QPen(QColor(0x9c, 0xd3, 0xff), s / 24.0, Qt::SolidLine, Qt::RoundCap));
    painter.drawPath(left);
    painter.setPen(QPen(QColor(0xff, 0xd2, 0x7f), s / 24.0, Qt::SolidLine, Qt::RoundCap));
    painter.drawPath(right);
    painter.setPen(QPen(Qt::white, s / 20.0, Qt::DashLine, Qt::FlatCap));
    painter.drawLine(QPointF(s * 0.5, s * 0.1), QPointF(s * 0.5, s * 0.9));
    return pixmap;
}

}  // namespace

QString ProgramName() {
    return QStringLiteral("Partita Studio");
}

QString ProgramVersion() {
    return QStringLiteral(PARTITA_VERSION);
}

QString WindowTitle() {
    const MessageArg args[] = {ProgramName().toStdString(), ProgramVersion().toStdString()};
    return QString::fromStdString(FormatMessageText("%s v%s", args));
}

QIcon ProgramIcon() {
    QIcon icon;
    for (int size : {16, 24, 32, 48, 64, 128, 256})
        icon.addPixmap(DrawIcon(size));
    return icon;
}

}  // namespace partita::gui
