#include "steps/CFolderTreeWidget.h"

#include "notes/NotesFolderEntry.h"
#include "steps/CPauseGate.h"
#include "steps/CPreviewPane.h"
#include "steps/FolderTreeTexts.h"

#include <QApplication>
#include <QHeaderView>
#include <QMetaObject>
#include <QMouseEvent>
#include <QPointer>
#include <QStyle>
#include <QThread>

namespace {
constexpr int kNotesNameRole = Qt::UserRole;
constexpr int kItemDataRole = Qt::UserRole + 1;
constexpr int kImageRole = Qt::UserRole + 2;
constexpr int kListedRole = Qt::UserRole + 3;  // the node is a listed folder or view
constexpr int kStandaloneRole = Qt::UserRole + 4;  // ticking the parent leaves the node alone
}  // namespace

CFolderTreeWidget::CFolderTreeWidget(QWidget* parent) : QTreeWidget(parent) {
    setObjectName(QStringLiteral("FolderTree"));
    setColumnCount(1);
    header()->hide();
    setRootIsDecorated(true);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setDragDropMode(QAbstractItemView::NoDragDrop);
    setIconSize(QSize(16, 16));
    connect(this, &QTreeWidget::itemChanged, this, &CFolderTreeWidget::OnItemChanged);
    connect(this, &QTreeWidget::itemClicked, this, &CFolderTreeWidget::OnItemClicked);
}

QIcon CFolderTreeWidget::FolderIcon(int image) {
    QStyle* st = QApplication::style();
    const auto kind = [](int type) { return QIcon(CPreviewPane::KindPicture(type)); };
    switch (image) {
    case 0: return st->standardIcon(QStyle::SP_DriveHDIcon);
    case 1: return st->standardIcon(QStyle::SP_DirClosedIcon);
    case 3: return kind(1);
    case 4: return kind(3);
    case 5: return kind(2);
    case 7: return st->standardIcon(QStyle::SP_TrashIcon);
    case 8: return kind(0);
    case 9: return kind(4);
    case 10: {
        const QIcon sent = QIcon::fromTheme(QStringLiteral("mail-send"));
        return sent.isNull() ? st->standardIcon(QStyle::SP_ArrowForward) : sent;
    }
    default: return st->standardIcon(QStyle::SP_DirIcon);
    }
}

void CFolderTreeWidget::ClearTree() {
    m_bPropagating = true;
    clear();
    m_nodes.clear();
    m_bPropagating = false;
}

QTreeWidgetItem* CFolderTreeWidget::RootItem() const { return topLevelItemCount() > 0 ? topLevelItem(0) : nullptr; }

quintptr CFolderTreeWidget::insertPath(const QString& path, int image) {
    if (m_gate) m_gate->Checkpoint();
    const quintptr id = m_nextId.fetch_add(1);
    if (QThread::currentThread() == thread()) {
        InsertOnUi(path, image, id);
    } else {
        QPointer<CFolderTreeWidget> self(this);
        QMetaObject::invokeMethod(
            this, [self, path, image, id] { if (self) self->InsertOnUi(path, image, id); }, Qt::QueuedConnection);
    }
    return id;
}

void CFolderTreeWidget::setItemData(quintptr node, quint32 data) {
    if (QThread::currentThread() == thread()) {
        SetDataOnUi(node, data);
        return;
    }
    QPointer<CFolderTreeWidget> self(this);
    QMetaObject::invokeMethod(
        this, [self, node, data] { if (self) self->SetDataOnUi(node, data); }, Qt::QueuedConnection);
}

void CFolderTreeWidget::setStandalone(quintptr node) {
    if (QThread::currentThread() == thread()) {
        SetStandaloneOnUi(node);
        return;
    }
    QPointer<CFolderTreeWidget> self(this);
    QMetaObject::invokeMethod(
        this, [self, node] { if (self) self->SetStandaloneOnUi(node); }, Qt::QueuedConnection);
}

void CFolderTreeWidget::SetStandaloneOnUi(quintptr id) {
    QTreeWidgetItem* node = m_nodes.value(id);
    if (!node) return;
    node->setData(0, kStandaloneRole, true);
    m_bPropagating = true;
    node->setCheckState(0, Qt::Unchecked);
    m_bPropagating = false;
}

void CFolderTreeWidget::expand(quintptr node) {
    if (QThread::currentThread() == thread()) {
        ExpandOnUi(node);
        return;
    }
    QPointer<CFolderTreeWidget> self(this);
    QMetaObject::invokeMethod(
        this, [self, node] { if (self) self->ExpandOnUi(node); }, Qt::QueuedConnection);
}

QTreeWidgetItem* CFolderTreeWidget::ChildByName(QTreeWidgetItem* parent, const QString& name) const {
    const int n = parent ? parent->childCount() : topLevelItemCount();
    for (int i = 0; i < n; ++i) {
        QTreeWidgetItem* child = parent ? parent->child(i) : topLevelItem(i);
        if (NotesName(child) == name) return child;
    }
    return nullptr;
}

void CFolderTreeWidget::InsertOnUi(const QString& path, int image, quintptr id) {
    m_bPropagating = true;  // new nodes take their parent's tick without further propagation
    QTreeWidgetItem* node = nullptr;
    const QStringList segments = path.split(QLatin1Char('\\'), Qt::SkipEmptyParts);
    for (const QString& segment : segments) {
        QTreeWidgetItem* found = ChildByName(node, segment);
        if (!found) {
            const bool isRoot = !node && segment == FolderTreeTexts::kRootNode;
            const int nodeImage = isRoot ? 0 : image;
            found = node ? new QTreeWidgetItem(node) : new QTreeWidgetItem(this);
            found->setData(0, kNotesNameRole, segment);
            found->setText(0, isRoot ? segment : SystemFolderDisplayNames(segment));
            found->setToolTip(0, segment);
            found->setData(0, kImageRole, nodeImage);
            found->setData(0, kItemDataRole, quint32(isRoot ? 0 : image));
            found->setIcon(0, FolderIcon(nodeImage));
            found->setFlags(found->flags() | Qt::ItemIsUserCheckable);
            const Qt::CheckState parentState = node ? node->checkState(0) : Qt::Unchecked;
            found->setCheckState(0, parentState == Qt::Checked ? Qt::Checked : Qt::Unchecked);
            if (RootItem()) RootItem()->setExpanded(true);
        }
        node = found;
    }
    if (node) {
        node->setData(0, kListedRole, true);
        m_nodes.insert(id, node);
    }
    m_bPropagating = false;
}

void CFolderTreeWidget::SetDataOnUi(quintptr id, quint32 data) {
    if (QTreeWidgetItem* node = m_nodes.value(id)) node->setData(0, kItemDataRole, data);
}

void CFolderTreeWidget::ExpandOnUi(quintptr id) {
    if (QTreeWidgetItem* node = m_nodes.value(id)) node->setExpanded(true);
}

QString CFolderTreeWidget::NotesName(const QTreeWidgetItem* item) {
    return item ? item->data(0, kNotesNameRole).toString() : QString();
}

quint32 CFolderTreeWidget::ItemData(const QTreeWidgetItem* item) {
    return item ? item->data(0, kItemDataRole).toUInt() : 0;
}

int CFolderTreeWidget::ImageIndex(const QTreeWidgetItem* item) { return item ? item->data(0, kImageRole).toInt() : 0; }

QString CFolderTreeWidget::PathOf(const QTreeWidgetItem* item) {
    QString path;
    for (const QTreeWidgetItem* it = item; it; it = it->parent()) path.prepend(NotesName(it) + QLatin1Char('\\'));
    const QString root = FolderTreeTexts::kRootNode + QLatin1Char('\\');
    if (path.startsWith(root)) path.remove(0, root.size());
    return path;
}

QTreeWidgetItem* CFolderTreeWidget::FindPath(const QString& path) const {
    QTreeWidgetItem* node = RootItem();
    if (!node) return nullptr;
    for (const QString& segment : path.split(QLatin1Char('\\'), Qt::SkipEmptyParts)) {
        node = ChildByName(node, segment);
        if (!node) return nullptr;
    }
    return node;
}

void CFolderTreeWidget::SetChecked(QTreeWidgetItem* item, bool checked) {
    if (!item) return;
    item->setCheckState(0, checked ? Qt::Checked : Qt::Unchecked);  // OnItemChanged ticks the rest
}

void CFolderTreeWidget::OnItemChanged(QTreeWidgetItem* item, int column) {
    if (m_bPropagating || column != 0) return;
    m_bCheckToggled = true;
    const Qt::CheckState state = item->checkState(0);
    m_bPropagating = true;
    QList<QTreeWidgetItem*> pending;
    for (int i = 0; i < item->childCount(); ++i) pending.append(item->child(i));
    while (!pending.isEmpty()) {
        QTreeWidgetItem* it = pending.takeLast();
        if (it->data(0, kStandaloneRole).toBool()) continue;
        it->setCheckState(0, state);
        for (int i = 0; i < it->childCount(); ++i) pending.append(it->child(i));
    }
    m_bPropagating = false;
}

void CFolderTreeWidget::mousePressEvent(QMouseEvent* event) {
    m_bCheckToggled = false;
    QTreeWidget::mousePressEvent(event);
}

void CFolderTreeWidget::OnItemClicked(QTreeWidgetItem* item, int column) {
    (void)column;
    if (m_bCheckToggled) {  // the click was on the check box
        m_bCheckToggled = false;
        return;
    }
    if (!item || item == RootItem()) return;
    setCurrentItem(item);
    emit folderClicked(PathOf(item));
}

void CFolderTreeWidget::Collect(const QTreeWidgetItem* item, QStringList& out) const {
    if (item != RootItem() && item->checkState(0) == Qt::Checked && item->data(0, kListedRole).toBool())
        out.append(PathOf(item));
    for (int i = 0; i < item->childCount(); ++i) Collect(item->child(i), out);
}

QStringList CFolderTreeWidget::TickedFolders() const {
    QStringList out;
    for (int i = 0; i < topLevelItemCount(); ++i) Collect(topLevelItem(i), out);
    return out;
}
