// The artwork of the window's image list, drawn in a 16 x 16 coordinate system so that the
// images look the same on every desktop, with or without an icon theme.

#include "ui/imagelist.h"

#include <QPainter>
#include <QPainterPath>
#include <QtMath>

namespace {

const QColor Outline(60, 60, 60);
const QColor Paper(255, 255, 255);
const QColor FolderFill(240, 196, 80);
const QColor FolderDark(184, 134, 30);
const QColor Blue(40, 100, 200);
const QColor Green(40, 150, 60);
const QColor Red(200, 40, 40);

QPen Pen(const QColor &C, qreal W = 1.0) {
    QPen P(C, W);
    P.setJoinStyle(Qt::RoundJoin);
    P.setCapStyle(Qt::RoundCap);
    return P;
}

void Page(QPainter &P, const QRectF &R) {
    QPainterPath Path;
    const qreal Fold = 3.5;
    Path.moveTo(R.left(), R.top());
    Path.lineTo(R.right() - Fold, R.top());
    Path.lineTo(R.right(), R.top() + Fold);
    Path.lineTo(R.right(), R.bottom());
    Path.lineTo(R.left(), R.bottom());
    Path.closeSubpath();
    P.setPen(Pen(Outline));
    P.setBrush(Paper);
    P.drawPath(Path);
    P.setBrush(QColor(220, 220, 220));
    QPainterPath Corner;
    Corner.moveTo(R.right() - Fold, R.top());
    Corner.lineTo(R.right() - Fold, R.top() + Fold);
    Corner.lineTo(R.right(), R.top() + Fold);
    P.drawPath(Corner);
}

void TextLines(QPainter &P, qreal X1, qreal X2, qreal Y, int Count) {
    P.setPen(Pen(QColor(150, 150, 150)));
    for (int i = 0; i < Count; ++i)
        P.drawLine(QPointF(X1, Y + i * 2.0), QPointF(X2, Y + i * 2.0));
}

void Arrow(QPainter &P, QPointF From, QPointF To, const QColor &C) {
    P.setPen(Pen(C, 2.0));
    P.drawLine(From, To);
    const qreal Angle = qAtan2(To.y() - From.y(), To.x() - From.x());
    const qreal Len = 3.5;
    QPolygonF Head;
    Head << To + QPointF(qCos(Angle) * 1.0, qSin(Angle) * 1.0)
         << To - QPointF(qCos(Angle - 0.7) * Len, qSin(Angle - 0.7) * Len)
         << To - QPointF(qCos(Angle + 0.7) * Len, qSin(Angle + 0.7) * Len);
    P.setPen(Pen(C, 1.0));
    P.setBrush(C);
    P.drawPolygon(Head);
}

void ClosedFolder(QPainter &P) {
    P.setPen(Pen(FolderDark));
    P.setBrush(FolderFill.darker(110));
    QPainterPath Tab;
    Tab.moveTo(1.5, 4.5);
    Tab.lineTo(1.5, 2.5);
    Tab.lineTo(6.0, 2.5);
    Tab.lineTo(7.5, 4.5);
    Tab.closeSubpath();
    P.drawPath(Tab);
    P.setBrush(FolderFill);
    P.drawRoundedRect(QRectF(1.5, 4.5, 13, 9), 1, 1);
}

void OpenFolder(QPainter &P) {
    P.setPen(Pen(FolderDark));
    P.setBrush(FolderFill.darker(115));
    QPainterPath Back;
    Back.moveTo(1.5, 13.5);
    Back.lineTo(1.5, 2.5);
    Back.lineTo(6.0, 2.5);
    Back.lineTo(7.5, 4.5);
    Back.lineTo(13.5, 4.5);
    Back.lineTo(13.5, 7.0);
    P.drawPath(Back);
    P.setBrush(FolderFill.lighter(110));
    QPolygonF Front;
    Front << QPointF(1.5, 13.5) << QPointF(4.0, 7.0) << QPointF(15.0, 7.0) << QPointF(12.5, 13.5);
    P.drawPolygon(Front);
}

void Floppy(QPainter &P, const QColor &Body) {
    P.setPen(Pen(Body.darker(160)));
    P.setBrush(Body);
    QPainterPath Disk;
    Disk.moveTo(1.5, 1.5);
    Disk.lineTo(12.5, 1.5);
    Disk.lineTo(14.5, 3.5);
    Disk.lineTo(14.5, 14.5);
    Disk.lineTo(1.5, 14.5);
    Disk.closeSubpath();
    P.drawPath(Disk);
    P.setBrush(Paper);
    P.drawRect(QRectF(4, 1.5, 7, 5));
    P.setBrush(Body.darker(130));
    P.drawRect(QRectF(8.5, 2.5, 1.5, 3));
    P.setBrush(QColor(235, 235, 235));
    P.drawRect(QRectF(3.5, 9, 9, 5.5));
}

void ClockFace(QPainter &P, const QRectF &R, const QColor &Ring) {
    P.setPen(Pen(Ring, 1.2));
    P.setBrush(Paper);
    P.drawEllipse(R);
    const QPointF C = R.center();
    P.setPen(Pen(Outline, 1.2));
    P.drawLine(C, C + QPointF(0, -R.height() * 0.32));
    P.drawLine(C, C + QPointF(R.width() * 0.25, 0));
}

void Disc(QPainter &P, const QColor &C) {
    QRadialGradient G(QPointF(6, 5), 10);
    G.setColorAt(0, C.lighter(140));
    G.setColorAt(1, C);
    P.setPen(Pen(C.darker(140)));
    P.setBrush(G);
    P.drawEllipse(QRectF(1.5, 1.5, 13, 13));
}

void Plus(QPainter &P, QPointF C, const QColor &Col) {
    P.setPen(Pen(Col.darker(130), 1.0));
    P.setBrush(Col);
    P.drawEllipse(C, 3.5, 3.5);
    P.setPen(Pen(Paper, 1.5));
    P.drawLine(C - QPointF(2, 0), C + QPointF(2, 0));
    P.drawLine(C - QPointF(0, 2), C + QPointF(0, 2));
}

void Gear(QPainter &P, QPointF C, qreal R) {
    QPainterPath Path;
    const int Teeth = 8;
    for (int i = 0; i < Teeth * 2; ++i) {
        const qreal A = i * M_PI / Teeth;
        const qreal Rad = (i % 2 == 0) ? R : R * 0.72;
        const QPointF Pt = C + QPointF(qCos(A) * Rad, qSin(A) * Rad);
        if (i == 0)
            Path.moveTo(Pt);
        else
            Path.lineTo(Pt);
    }
    Path.closeSubpath();
    Path.addEllipse(C, R * 0.32, R * 0.32);
    P.setPen(Pen(QColor(70, 70, 80)));
    P.setBrush(QColor(150, 155, 170));
    P.drawPath(Path);
}

void Stopwatch(QPainter &P) {
    P.setPen(Pen(QColor(30, 60, 120), 1.0));
    P.setBrush(QColor(70, 120, 200));
    P.drawRoundedRect(QRectF(6.5, 0.5, 3, 2), 0.5, 0.5);
    P.drawRect(QRectF(7.3, 2.0, 1.4, 1.5));
    QRadialGradient G(QPointF(6.5, 7.5), 8);
    G.setColorAt(0, QColor(120, 170, 240));
    G.setColorAt(1, QColor(40, 90, 180));
    P.setBrush(G);
    P.drawEllipse(QRectF(1.5, 3.0, 13, 12.5));
    P.setBrush(Paper);
    P.setPen(Pen(QColor(30, 60, 120), 0.8));
    P.drawEllipse(QRectF(3.3, 4.8, 9.4, 8.9));
    const QPointF C(8.0, 9.25);
    P.setPen(Pen(Red, 1.3));
    P.drawLine(C, C + QPointF(2.5, -2.5));
    P.setPen(Pen(Outline, 1.2));
    P.drawLine(C, C + QPointF(0, -3.2));
}

} // namespace

void DrawImageListArt(QPainter &P, int Index) {
    switch (Index) {
    case imgNew:
        Page(P, QRectF(3.5, 1.5, 9, 13));
        break;
    case imgOpen:
        OpenFolder(P);
        break;
    case imgSave:
        Floppy(P, Blue);
        break;
    case imgStartMeasure: {
        Disc(P, Green);
        P.setPen(Qt::NoPen);
        P.setBrush(Paper);
        QPolygonF Tri;
        Tri << QPointF(6.0, 4.5) << QPointF(11.5, 8.0) << QPointF(6.0, 11.5);
        P.drawPolygon(Tri);
        break;
    }
    case imgVersionCheck: {
        Disc(P, QColor(50, 130, 210));
        P.setPen(Pen(QColor(230, 240, 255), 0.9));
        P.setBrush(Qt::NoBrush);
        P.drawEllipse(QRectF(5.0, 1.5, 6, 13));
        P.drawLine(QPointF(1.5, 8), QPointF(14.5, 8));
        P.drawLine(QPointF(3, 4.5), QPointF(13, 4.5));
        P.drawLine(QPointF(3, 11.5), QPointF(13, 11.5));
        Arrow(P, QPointF(10.0, 14.0), QPointF(14.0, 10.0), Green);
        break;
    }
    case imgInfo: {
        Disc(P, Blue);
        P.setPen(Qt::NoPen);
        P.setBrush(Paper);
        P.drawEllipse(QPointF(8, 4.8), 1.2, 1.2);
        P.drawRoundedRect(QRectF(6.9, 6.8, 2.2, 5.8), 0.6, 0.6);
        break;
    }
    case imgExport:
        Page(P, QRectF(1.5, 1.5, 9, 13));
        TextLines(P, 3.5, 8.5, 5.5, 3);
        Arrow(P, QPointF(7.0, 11.0), QPointF(14.5, 11.0), Green);
        break;
    case imgClose: {
        P.setPen(Pen(QColor(90, 60, 30)));
        P.setBrush(QColor(150, 100, 50));
        P.drawRect(QRectF(2.5, 1.5, 8, 13));
        P.setBrush(QColor(200, 150, 90));
        QPolygonF Door;
        Door << QPointF(2.5, 1.5) << QPointF(7.5, 3.0) << QPointF(7.5, 15.5) << QPointF(2.5, 14.5);
        P.drawPolygon(Door);
        Arrow(P, QPointF(9.0, 8.0), QPointF(15.0, 8.0), Red);
        break;
    }
    case imgDelete:
        P.setPen(Pen(Red.darker(120), 3.2));
        P.drawLine(QPointF(3.5, 3.5), QPointF(12.5, 12.5));
        P.drawLine(QPointF(12.5, 3.5), QPointF(3.5, 12.5));
        P.setPen(Pen(QColor(240, 90, 90), 1.4));
        P.drawLine(QPointF(3.5, 3.5), QPointF(12.5, 12.5));
        P.drawLine(QPointF(12.5, 3.5), QPointF(3.5, 12.5));
        break;
    case imgEdit: {
        P.save();
        P.translate(8, 8);
        P.rotate(45);
        P.setPen(Pen(QColor(120, 90, 20)));
        P.setBrush(QColor(245, 200, 60));
        P.drawRect(QRectF(-2, -7, 4, 10));
        P.setBrush(QColor(240, 150, 160));
        P.drawRect(QRectF(-2, -8.5, 4, 1.5));
        P.setBrush(QColor(240, 220, 180));
        QPolygonF Tip;
        Tip << QPointF(-2, 3) << QPointF(2, 3) << QPointF(0, 7);
        P.drawPolygon(Tip);
        P.setBrush(Outline);
        QPolygonF Lead;
        Lead << QPointF(-0.7, 5.6) << QPointF(0.7, 5.6) << QPointF(0, 7);
        P.drawPolygon(Lead);
        P.restore();
        break;
    }
    case imgNewEntry:
        ClockFace(P, QRectF(1.5, 1.5, 11, 11), Outline);
        Plus(P, QPointF(11.8, 11.8), Green);
        break;
    case imgStopMeasure:
        Disc(P, Red);
        P.setPen(Qt::NoPen);
        P.setBrush(Paper);
        P.drawRect(QRectF(5.0, 5.0, 6, 6));
        break;
    case imgMinimize:
        P.setPen(Pen(Outline));
        P.setBrush(Paper);
        P.drawRect(QRectF(1.5, 1.5, 11, 8));
        P.setBrush(Blue);
        P.drawRect(QRectF(1.5, 1.5, 11, 2));
        P.setBrush(QColor(200, 200, 200));
        P.drawRect(QRectF(0.5, 13.0, 15, 2.5));
        Arrow(P, QPointF(11.0, 6.0), QPointF(13.0, 11.0), Green);
        break;
    case imgFolderOpen:
        OpenFolder(P);
        break;
    case imgFolder:
        ClosedFolder(P);
        break;
    case imgEntryPlain:
        ClockFace(P, QRectF(2.0, 2.0, 12, 12), Outline);
        break;
    case imgUnused:
        break;
    case imgSettings:
        Page(P, QRectF(1.5, 1.5, 9, 12));
        TextLines(P, 3.5, 8.5, 5.5, 3);
        Gear(P, QPointF(11.0, 11.0), 4.5);
        break;
    case imgPrint:
        P.setPen(Pen(Outline));
        P.setBrush(Paper);
        P.drawRect(QRectF(4.5, 1.5, 7, 6));
        P.setBrush(QColor(170, 170, 180));
        P.drawRoundedRect(QRectF(1.5, 6.5, 13, 6), 1, 1);
        P.setBrush(Paper);
        P.drawRect(QRectF(4.5, 10.5, 7, 4));
        TextLines(P, 5.5, 10.5, 12.0, 2);
        P.setPen(Qt::NoPen);
        P.setBrush(Green);
        P.drawEllipse(QPointF(12.5, 8.5), 0.8, 0.8);
        break;
    case imgEntryOverlapping:
        ClockFace(P, QRectF(2.0, 2.0, 12, 12), Red);
        P.setPen(Pen(Red.darker(110)));
        P.setBrush(QColor(250, 210, 60));
        {
            QPolygonF Warn;
            Warn << QPointF(11.5, 7.5) << QPointF(15.5, 15.0) << QPointF(7.5, 15.0);
            P.drawPolygon(Warn);
        }
        P.setPen(Pen(Outline, 1.2));
        P.drawLine(QPointF(11.5, 10.0), QPointF(11.5, 12.5));
        P.drawPoint(QPointF(11.5, 14.0));
        break;
    case imgCut:
        P.setPen(Pen(QColor(120, 120, 130), 1.3));
        P.drawLine(QPointF(5.0, 1.5), QPointF(10.0, 10.5));
        P.drawLine(QPointF(11.0, 1.5), QPointF(6.0, 10.5));
        P.setPen(Pen(Red.darker(110), 1.4));
        P.setBrush(Qt::NoBrush);
        P.drawEllipse(QPointF(4.5, 12.0), 2.3, 2.3);
        P.drawEllipse(QPointF(11.5, 12.0), 2.3, 2.3);
        break;
    case imgPaste:
        P.setPen(Pen(QColor(110, 70, 30)));
        P.setBrush(QColor(190, 140, 80));
        P.drawRoundedRect(QRectF(1.5, 2.5, 10, 12), 1, 1);
        P.setBrush(QColor(200, 200, 200));
        P.drawRoundedRect(QRectF(4.0, 1.0, 5, 3), 1, 1);
        Page(P, QRectF(6.5, 6.5, 8, 9));
        TextLines(P, 8.0, 12.5, 10.0, 3);
        break;
    case imgImport:
        Page(P, QRectF(5.5, 1.5, 9, 13));
        TextLines(P, 7.5, 12.5, 5.5, 3);
        Arrow(P, QPointF(1.0, 11.0), QPointF(9.0, 11.0), Blue);
        break;
    case imgSaveNothing:
        Floppy(P, QColor(165, 165, 165));
        break;
    case imgSearch:
        P.setPen(Pen(QColor(90, 60, 30), 3.0));
        P.drawLine(QPointF(9.5, 9.5), QPointF(14.0, 14.0));
        P.setPen(Pen(Outline, 1.5));
        P.setBrush(QColor(200, 230, 255));
        P.drawEllipse(QPointF(6.5, 6.5), 4.5, 4.5);
        break;
    case imgFilter: {
        P.setPen(Pen(QColor(30, 70, 140)));
        P.setBrush(QColor(90, 150, 230));
        QPolygonF Funnel;
        Funnel << QPointF(1.5, 2.0) << QPointF(14.5, 2.0) << QPointF(9.5, 8.0) << QPointF(9.5, 14.0)
               << QPointF(6.5, 12.5) << QPointF(6.5, 8.0);
        P.drawPolygon(Funnel);
        break;
    }
    case imgProgram:
        Stopwatch(P);
        break;
    default:
        break;
    }
}
