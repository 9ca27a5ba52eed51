#include "steps/CPreviewPane.h"

#include "convert/CNotesConverter.h"
#include "rtf/RtfReader.h"
#include "steps/FolderTreeTexts.h"
#include "widgets/ShellFileIcon.h"

#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QMimeDatabase>
#include <QStandardPaths>
#include <QIcon>
#include <QListWidget>
#include <QPainter>
#include <QPainterPath>
#include <QTextBrowser>

namespace {

constexpr int kLineY = 68;
constexpr int kStripHeight = 40;

// The icon of an attachment by its file type, from its name alone. The icon
// theme is asked first; without a desktop session no theme is set, so the
// installed themes' mime-type pictures are looked up directly.
QIcon AttachmentIcon(const QString& name) {
    static QMimeDatabase mimes;
    static QHash<QString, QIcon> cache;
    const QMimeType type = mimes.mimeTypeForFile(name, QMimeDatabase::MatchExtension);
    const QString key = type.name();
    const auto cached = cache.constFind(key);
    if (cached != cache.constEnd()) return *cached;
    QIcon icon;
    const QStringList candidates = {type.iconName(), type.genericIconName()};
    for (const QString& candidate : candidates) {
        if (candidate.isEmpty() || !icon.isNull()) continue;
        icon = QIcon::fromTheme(candidate);
        if (!icon.isNull()) break;
        const QStringList roots = QStandardPaths::locateAll(QStandardPaths::GenericDataLocation, QStringLiteral("icons"),
                                                            QStandardPaths::LocateDirectory);
        for (const QString& root : roots) {
            for (const char* theme : {"Adwaita", "hicolor"}) {
                for (const char* size : {"16x16", "24x24", "32x32", "48x48"}) {
                    const QString file = QStringLiteral("%1/%2/%3/mimetypes/%4.png")
                                             .arg(root, QLatin1String(theme), QLatin1String(size), candidate);
                    if (QFileInfo::exists(file)) icon.addFile(file);
                }
                if (!icon.isNull()) break;
            }
            if (!icon.isNull()) break;
        }
    }
    if (icon.isNull()) icon = ShellFileIcon(name);
    cache.insert(key, icon);
    return icon;
}

}  // namespace

CPreviewPane::CPreviewPane(QWidget* parent)
    : QWidget(parent), m_pStrip(new QListWidget(this)), m_pViewer(new QTextBrowser(this)) {
    setObjectName(QStringLiteral("PreviewPane"));
    setAutoFillBackground(true);
    QPalette pal = palette();
    pal.setColor(QPalette::Window, Qt::white);
    setPalette(pal);
    setMinimumHeight(120);

    m_pStrip->setObjectName(QStringLiteral("AttachmentStrip"));
    m_pStrip->setViewMode(QListView::ListMode);
    m_pStrip->setFlow(QListView::TopToBottom);
    m_pStrip->setWrapping(true);
    m_pStrip->setResizeMode(QListView::Adjust);
    m_pStrip->setSelectionMode(QAbstractItemView::SingleSelection);
    m_pStrip->setIconSize(QSize(16, 16));
    m_pStrip->setFrameShape(QFrame::NoFrame);
    m_pStrip->hide();

    m_pViewer->setObjectName(QStringLiteral("PreviewViewer"));
    m_pViewer->setOpenLinks(false);
    m_pViewer->setFrameShape(QFrame::NoFrame);
    LayoutChildren();
}

QString CPreviewPane::MessageRtf(int state) {
    using namespace FolderTreeTexts;
    QString text;
    bool red = false;
    switch (state) {
    case MsgEnumerating: text = kPaneEnumerating; break;
    case MsgNoItem:
        text = kPaneNoItem;
        red = true;
        break;
    case MsgSelectItem: text = kPaneSelectItem; break;
    case MsgGenerating: text = kPaneGenerating; break;
    case MsgNoBody: text = kPaneNoBody; break;
    case MsgFillingList: text = kPaneFillingList; break;
    case MsgNoFolders:
        text = kPaneNoFolders;
        red = true;
        break;
    case MsgNoFoldersOrViews:
        text = kPaneNoFoldersOrViews;
        red = true;
        break;
    default: return QString();
    }
    return (red ? kPrologueRed : kPrologueBlue) + text + kEpilogue;
}

void CPreviewPane::ShowRtf(const QByteArray& rtf) {
    m_pViewer->setHtml(rtf::RtfReader::toHtml(rtf));
    m_pViewer->show();
}

void CPreviewPane::SetMessage(int state) {
    const QString rtf = MessageRtf(state);
    if (rtf.isEmpty()) return;
    m_nMessage = state;
    ShowRtf(rtf.toLatin1());
}

void CPreviewPane::ClearFields() {
    m_strTitle.clear();
    m_strSecond.clear();
    m_strRight.clear();
    m_strSubject.clear();
    m_strAttachment.clear();
    m_strContent.clear();
    m_nItemType = 5;
    m_arrNames.clear();
    m_arrSizes.clear();
    m_pStrip->clear();
    m_bHasAttachments = false;
    LayoutChildren();
    update();
}

void CPreviewPane::SetHeader(const QString& title, const QString& second, const QString& right,
                             const QString& subject, const QString& attachment) {
    m_strTitle = title;
    m_strSecond = second;
    m_strRight = right;
    m_strSubject = subject;
    m_strAttachment = attachment;
    update();
}

void CPreviewPane::SetItemType(int type) {
    m_nItemType = type;
    update();
}

void CPreviewPane::Render(const QStringList& names, const QStringList& sizes) {
    m_arrNames = names;
    m_arrSizes = sizes;
    const QString temp = CNotesConverter::TempFolder();
    const QString rtfFile = temp.isEmpty() ? QString() : temp + QStringLiteral("ch111.rtf");
    QFile file(rtfFile);
    if (!rtfFile.isEmpty() && file.exists() && file.open(QIODevice::ReadOnly)) {
        ShowRtf(file.readAll());
        m_nMessage = -1;
    } else if (!m_strContent.isEmpty()) {
        QString shown = m_strContent;
        shown.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
        shown.replace(QLatin1Char('\r'), QLatin1Char('\n'));
        m_pViewer->setPlainText(shown);
        m_pViewer->show();
        m_nMessage = -1;
    } else {
        SetMessage(FolderTreeTexts::MsgNoBody);
    }

    m_pStrip->clear();
    for (int i = 0; i < m_arrNames.size(); ++i) {
        auto* entry = new QListWidgetItem(AttachmentIcon(m_arrNames[i]), m_arrNames[i] + QLatin1Char(' ') +
                                                                            m_arrSizes.value(i));
        m_pStrip->addItem(entry);
    }
    m_bHasAttachments = !m_arrNames.isEmpty();
    LayoutChildren();
    update();
}

void CPreviewPane::LayoutChildren() {
    const int w = width();
    const int h = height();
    if (m_bHasAttachments) {
        m_pStrip->setGeometry(0, 70, w, kStripHeight);
        m_pStrip->show();
        m_pViewer->setGeometry(0, 110, w, qMax(0, h - 110));
    } else {
        m_pStrip->hide();
        m_pStrip->setGeometry(0, 70, 0, 0);
        m_pViewer->setGeometry(0, 70, w, qMax(0, h - 70));
    }
}

void CPreviewPane::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    LayoutChildren();
}

QPixmap CPreviewPane::KindPicture(int type) {
    if (type < 0 || type > 5) return QPixmap();
    static const QColor colours[6] = {QColor(40, 110, 190), QColor(60, 150, 60), QColor(130, 80, 180),
                                      QColor(30, 140, 170), QColor(200, 70, 130), QColor(190, 120, 30)};
    const QColor c = colours[type];
    QPixmap pm(48, 48);
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(c.darker(130), 2));
    p.setBrush(c.lighter(185));
    switch (type) {
    case 0: {  // an envelope
        const QRectF r(4, 10, 40, 28);
        p.drawRoundedRect(r, 3, 3);
        p.drawLine(QPointF(5, 12), QPointF(24, 27));
        p.drawLine(QPointF(43, 12), QPointF(24, 27));
        break;
    }
    case 1: {  // a calendar page
        const QRectF r(6, 8, 36, 34);
        p.drawRoundedRect(r, 3, 3);
        p.setBrush(c);
        p.drawRect(QRectF(6, 8, 36, 9));
        p.setPen(QPen(c.darker(130), 1.5));
        for (int row = 0; row < 3; ++row)
            for (int col = 0; col < 4; ++col) p.drawRect(QRectF(10 + col * 8, 21 + row * 7, 4, 4));
        break;
    }
    case 2: {  // a ticked box
        p.drawRoundedRect(QRectF(8, 8, 32, 32), 4, 4);
        p.setPen(QPen(c.darker(140), 4, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        QPainterPath tick;
        tick.moveTo(15, 24);
        tick.lineTo(22, 31);
        tick.lineTo(34, 16);
        p.setBrush(Qt::NoBrush);
        p.drawPath(tick);
        break;
    }
    case 3: {  // a person
        p.drawEllipse(QRectF(16, 6, 16, 16));
        QPainterPath body;
        body.moveTo(8, 42);
        body.cubicTo(8, 26, 40, 26, 40, 42);
        body.closeSubpath();
        p.drawPath(body);
        break;
    }
    case 4: {  // a notebook
        p.drawRoundedRect(QRectF(10, 5, 30, 38), 3, 3);
        p.setPen(QPen(c.darker(130), 1.5));
        for (int y = 14; y <= 34; y += 6) p.drawLine(QPointF(17, y), QPointF(35, y));
        p.setPen(QPen(c.darker(150), 3));
        p.drawLine(QPointF(14, 6), QPointF(14, 42));
        break;
    }
    case 5: {  // a form: a sheet with a folded corner, labels and their fields
        QPainterPath sheet;
        sheet.moveTo(9, 4);
        sheet.lineTo(31, 4);
        sheet.lineTo(40, 13);
        sheet.lineTo(40, 44);
        sheet.lineTo(9, 44);
        sheet.closeSubpath();
        p.drawPath(sheet);
        p.drawLine(QPointF(31, 4), QPointF(31, 13));
        p.drawLine(QPointF(31, 13), QPointF(40, 13));
        p.setPen(QPen(c.darker(150), 2.5, Qt::SolidLine, Qt::RoundCap));
        for (int y = 20; y <= 38; y += 6) p.drawLine(QPointF(13, y), QPointF(20, y));
        p.setPen(QPen(c.darker(120), 1.2));
        p.setBrush(Qt::white);
        for (int y = 20; y <= 38; y += 6) p.drawRect(QRectF(23, y - 2, 13, 4));
        break;
    }
    }
    return pm;
}

void CPreviewPane::paintEvent(QPaintEvent* event) {
    QWidget::paintEvent(event);
    QPainter p(this);
    p.fillRect(rect(), Qt::white);
    const QPixmap picture = KindPicture(m_nItemType);
    if (!picture.isNull()) p.drawPixmap(20, 10, picture);

    QFont bold = font();
    bold.setBold(true);
    const int w = width();
    QString title = m_strTitle;
    title.replace(QLatin1Char('\t'), QLatin1Char(' '));
    const int rightX = w - 150;
    const int lineWidth = qMax(0, rightX - 90);
    p.setFont(bold);
    p.setPen(Qt::black);
    const QFontMetrics boldMetrics(bold);
    p.drawText(QRect(80, 20, qMax(0, w - 90), 20), Qt::AlignLeft | Qt::AlignTop,
               boldMetrics.elidedText(title.simplified(), Qt::ElideRight, qMax(0, w - 90)));
    p.setFont(font());
    const QFontMetrics metrics(font());
    p.setPen(QColor(226, 98, 0));
    p.drawText(QRect(80, 40, lineWidth, 20), Qt::AlignLeft | Qt::AlignTop,
               metrics.elidedText(m_strSecond.simplified(), Qt::ElideRight, lineWidth));
    p.setPen(Qt::black);
    p.drawText(QRect(rightX, 50, 145, 18), Qt::AlignLeft | Qt::AlignTop,
               metrics.elidedText(m_strRight.simplified(), Qt::ElideRight, 145));
    p.setPen(QPen(QColor(172, 192, 205), 1));
    p.drawLine(30, kLineY, w, kLineY);
}
