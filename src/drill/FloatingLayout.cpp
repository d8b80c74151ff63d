#include "FloatingLayout.h"

#include <QtGlobal>

namespace Twips {
int toPixels(int twips)
{
    return qRound(twips / double(perPixel));
}
} // namespace Twips

namespace FloatingWindow {

FloatingLayout layoutFor(const QRect &stopButton, const QSize &labelSize)
{
    // The arithmetic runs in twips, as designed; only the results are rounded to pixels.
    const int px = Twips::perPixel;
    const int labelLeft = (stopButton.width() + stopButton.left()) * px + 20;
    const int labelTop = 0;
    const int backdropWidth = labelSize.width() * px;
    const int backdropHeight = labelSize.height() * px + 50;
    const int windowWidth = labelLeft + backdropWidth + 100;
    const int windowHeight = backdropHeight;

    FloatingLayout layout;
    layout.label = QRect(Twips::toPixels(labelLeft), labelTop, labelSize.width(), labelSize.height());
    layout.backdrop = QRect(layout.label.topLeft(), QSize(labelSize.width(), Twips::toPixels(backdropHeight)));
    layout.window = QSize(Twips::toPixels(windowWidth), Twips::toPixels(windowHeight));
    return layout;
}

QSize largestWindow(const QRect &workArea)
{
    return {qMax(1, workArea.width() * 2 / 3), qMax(1, workArea.height())};
}

int linesThatFit(int lineHeight, int maxWindowHeight)
{
    // The window is 50 twips higher than its text.
    const int room = (maxWindowHeight * Twips::perPixel - 50) / Twips::perPixel;
    return qBound(1, room / qMax(1, lineHeight), kMaxLines);
}

int widestLabel(const QRect &stopButton, int maxWindowWidth)
{
    const int px = Twips::perPixel;
    const int chrome = (stopButton.width() + stopButton.left()) * px + 20 + 100;
    int width = qMax(1, (maxWindowWidth * px - chrome) / px);
    // Rounding to pixels may add one; step back until the window fits.
    while (width > 1 && layoutFor(stopButton, QSize(width, 1)).window.width() > maxWindowWidth)
        --width;
    return width;
}

QPoint keepInside(const QPoint &pos, const QSize &size, const QRect &workArea)
{
    QPoint p = pos;
    p.setX(qMin(p.x(), workArea.x() + workArea.width() - size.width()));
    p.setY(qMin(p.y(), workArea.y() + workArea.height() - size.height()));
    p.setX(qMax(p.x(), workArea.x()));
    p.setY(qMax(p.y(), workArea.y()));
    return p;
}

QPoint startPosition(const QRect &workArea, int windowHeight)
{
    const int bottom = workArea.y() + workArea.height();
    return {workArea.x() + Twips::toPixels(500), bottom - windowHeight - Twips::toPixels(100)};
}

qsizetype startScreen(const QList<QRect> &screens, const QPoint *lastCentre, qsizetype primary)
{
    if (!lastCentre || screens.isEmpty())
        return primary;
    qsizetype nearest = primary;
    qint64 nearestDistance = -1;
    for (qsizetype i = 0; i < screens.size(); ++i) {
        const QRect &screen = screens[i];
        if (screen.contains(*lastCentre))
            return i;
        const int dx = qMax(0, qMax(screen.left() - lastCentre->x(), lastCentre->x() - screen.right()));
        const int dy = qMax(0, qMax(screen.top() - lastCentre->y(), lastCentre->y() - screen.bottom()));
        const qint64 distance = qint64(dx) * dx + qint64(dy) * dy;
        if (nearestDistance < 0 || distance < nearestDistance) {
            nearest = i;
            nearestDistance = distance;
        }
    }
    return nearest;
}

} // namespace FloatingWindow
