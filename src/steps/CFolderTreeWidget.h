#pragma once

#include "convert/ProgressInterfaces.h"

#include <QHash>
#include <QTreeWidget>

#include <atomic>

class CPauseGate;

// The folder tree of the folder selection step: a root "NSF File" with the
// listed folders below it, one node per nesting level, each with a check box.
// A node's text is the Notes name of its level; system folders are shown by
// their display names. Ticking a node ticks everything below it; clicking a
// label reports the node's folder path.
//
// The core fills it through IFolderTree from a worker thread: each call is
// handed to the tree's thread in order (never waited for), and is a
// checkpoint of the pause gate.
class CFolderTreeWidget : public QTreeWidget, public IFolderTree {
    Q_OBJECT
public:
    explicit CFolderTreeWidget(QWidget* parent = nullptr);

    void SetPauseGate(CPauseGate* gate) { m_gate = gate; }
    // Deletes every node (UI thread).
    void ClearTree();
    QTreeWidgetItem* RootItem() const;

    // IFolderTree (any thread).
    quintptr insertPath(const QString& path, int image) override;
    void setItemData(quintptr node, quint32 data) override;
    void expand(quintptr node) override;

    // The folder path of a node: the Notes names from the top down, each
    // followed by "\", without the root's "NSF File\".
    static QString PathOf(const QTreeWidgetItem* item);
    // Ticked listed folders, depth first, a parent before its children.
    QStringList TickedFolders() const;
    // The node of a folder path, or null.
    QTreeWidgetItem* FindPath(const QString& path) const;
    // Ticks or clears a node and everything below it.
    void SetChecked(QTreeWidgetItem* item, bool checked);
    // The Notes name of a node (its text is the display name).
    static QString NotesName(const QTreeWidgetItem* item);
    static quint32 ItemData(const QTreeWidgetItem* item);
    static int ImageIndex(const QTreeWidgetItem* item);
    static QIcon FolderIcon(int image);

signals:
    // A label was clicked: the node's folder path.
    void folderClicked(const QString& path);

protected:
    void mousePressEvent(QMouseEvent* event) override;

private:
    void InsertOnUi(const QString& path, int image, quintptr id);
    void SetDataOnUi(quintptr id, quint32 data);
    void ExpandOnUi(quintptr id);
    void OnItemChanged(QTreeWidgetItem* item, int column);
    void OnItemClicked(QTreeWidgetItem* item, int column);
    QTreeWidgetItem* ChildByName(QTreeWidgetItem* parent, const QString& name) const;
    void Collect(const QTreeWidgetItem* item, QStringList& out) const;

    CPauseGate* m_gate = nullptr;
    std::atomic<quintptr> m_nextId{1};
    QHash<quintptr, QTreeWidgetItem*> m_nodes;
    bool m_bPropagating = false;
    bool m_bCheckToggled = false;
};
