#pragma once

#include <QStringList>
#include <QWidget>

class QListWidget;
class QTextBrowser;

// The preview pane under the item list: a header strip with the item's kind
// icon and its main lines, a strip with its attachments, and the viewer that
// shows the item's text, an RTF file (a large mail body) or one of the
// pane's messages.
class CPreviewPane : public QWidget {
    Q_OBJECT
public:
    explicit CPreviewPane(QWidget* parent = nullptr);

    // Shows message state 0, 2, 3, 4, 5 or 6 (FolderTreeTexts::PaneMessage).
    void SetMessage(int state);
    int MessageState() const { return m_nMessage; }
    // Empties the header lines, the content, the item type and the attachments.
    void ClearFields();
    void SetHeader(const QString& title, const QString& second, const QString& right, const QString& subject,
                   const QString& attachment);
    void SetAttachmentCell(const QString& attachment) { m_strAttachment = attachment; }
    void SetContent(const QString& content) { m_strContent = content; }
    // RenderItem's type code: 0 mail .. 4 journal, 5 none.
    void SetItemType(int type);
    // Shows the content (or "ch111.rtf" when a body export left it) and the attachments.
    void Render(const QStringList& names, const QStringList& sizes);

    // The RTF document of a message state (empty for an unknown state).
    static QString MessageRtf(int state);
    // The 48 x 48 picture of a kind (type code 0..4); null for any other.
    static QPixmap KindPicture(int type);

    QString TitleLine() const { return m_strTitle; }
    QString SecondLine() const { return m_strSecond; }
    QString RightLine() const { return m_strRight; }
    QString Subject() const { return m_strSubject; }
    QString AttachmentCell() const { return m_strAttachment; }
    QString Content() const { return m_strContent; }
    int ItemType() const { return m_nItemType; }
    bool HasAttachments() const { return m_bHasAttachments; }
    QTextBrowser* Viewer() const { return m_pViewer; }
    QListWidget* AttachmentStrip() const { return m_pStrip; }

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void LayoutChildren();
    void ShowRtf(const QByteArray& rtf);

    QString m_strTitle;
    QString m_strSecond;
    QString m_strRight;
    QString m_strSubject;
    QString m_strAttachment;
    QString m_strContent;
    int m_nItemType = 5;
    int m_nMessage = -1;
    QStringList m_arrNames;
    QStringList m_arrSizes;
    bool m_bHasAttachments = false;
    QListWidget* m_pStrip;
    QTextBrowser* m_pViewer;
};
