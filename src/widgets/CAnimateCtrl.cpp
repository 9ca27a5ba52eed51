#include "widgets/CAnimateCtrl.h"

#include <QPainter>
#include <QPainterPath>

CAnimateCtrl::CAnimateCtrl(QWidget* parent) : QWidget(parent) {
    m_timer.setInterval(90);
    connect(&m_timer, &QTimer::timeout, this, &CAnimateCtrl::NextFrame);
    setMinimumSize(96, 40);
}

void CAnimateCtrl::Play(int from, int to) {
    m_from = qBound(0, from, kFrameCount - 1);
    m_to = to < 0 ? kFrameCount - 1 : qBound(m_from, to, kFrameCount - 1);
    m_frame = m_from;
    m_timer.start();
    update();
}

void CAnimateCtrl::Stop() {
    m_timer.stop();
    update();
}

void CAnimateCtrl::NextFrame() {
    m_frame = m_frame >= m_to ? m_from : m_frame + 1;
    update();
}

void CAnimateCtrl::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    const QRectF area = QRectF(rect()).adjusted(2, 2, -2, -2);
    const qreal h = area.height();
    const QColor ink = isEnabled() ? palette().color(QPalette::WindowText) : palette().color(QPalette::Mid);

    // The server on the left: a tower with three drive slots.
    const QRectF server(area.left(), area.top(), h * 0.55, h);
    p.setPen(QPen(ink, 1.2));
    p.setBrush(palette().color(QPalette::Button));
    p.drawRoundedRect(server, 2, 2);
    for (int i = 0; i < 3; ++i)
        p.drawLine(QPointF(server.left() + 3, server.top() + h * (0.25 + 0.2 * i)),
                   QPointF(server.right() - 3, server.top() + h * (0.25 + 0.2 * i)));

    // The folder on the right.
    const QRectF folder(area.right() - h * 0.8, area.top() + h * 0.25, h * 0.8, h * 0.6);
    QPainterPath tab;
    tab.moveTo(folder.left(), folder.top());
    tab.lineTo(folder.left() + folder.width() * 0.4, folder.top());
    tab.lineTo(folder.left() + folder.width() * 0.5, folder.top() + 4);
    tab.lineTo(folder.right(), folder.top() + 4);
    tab.lineTo(folder.right(), folder.bottom());
    tab.lineTo(folder.left(), folder.bottom());
    tab.closeSubpath();
    p.setBrush(QColor(0xf2, 0xc9, 0x4c));
    p.drawPath(tab);

    // The page on its way, only while playing.
    if (!IsPlaying()) return;
    const qreal startX = server.right() + 2;
    const qreal endX = folder.left() - h * 0.35;
    const qreal t = kFrameCount > 1 ? qreal(m_frame) / (kFrameCount - 1) : 0;
    const qreal x = startX + (endX - startX) * t;
    const qreal y = area.top() + h * 0.2 + h * 0.25 * (1 - 4 * (t - 0.5) * (t - 0.5));
    const QRectF page(x, y, h * 0.3, h * 0.4);
    p.setBrush(Qt::white);
    p.setPen(QPen(QColor(0x1f, 0x5f, 0xa8), 1.2));
    p.drawRect(page);
    p.drawLine(QPointF(page.left() + 2, page.top() + 4), QPointF(page.right() - 2, page.top() + 4));
    p.drawLine(QPointF(page.left() + 2, page.top() + 8), QPointF(page.right() - 2, page.top() + 8));
}
