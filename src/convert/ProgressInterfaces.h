#pragma once

#include <QString>

#include <cstdint>

// Small interfaces through which the core reports to whatever shows it (the
// GUI's widgets, the command line, or a recorder in tests). Implementations
// are called on the worker thread and must marshal to their own thread.

// A progress bar with a text: the please-wait dialog, the item bars.
class IProgressBar {
public:
    virtual ~IProgressBar() = default;
    // False when the bar has no window (nothing is shown then).
    virtual bool hasWindow() const { return true; }
    virtual void setPosition(int percent) = 0;  // 0..100
    virtual void setText(const QString& text) = 0;
    virtual void repaint() {}
};

// The folder tree of the browse step.
class IFolderTree {
public:
    virtual ~IFolderTree() = default;
    // Inserts a backslash-separated path below the root ("NSF File\\($Inbox)\\"),
    // creating missing levels with `image`; returns a handle of the last node.
    virtual quintptr insertPath(const QString& path, int image) = 0;
    virtual void setItemData(quintptr node, quint32 data) = 0;
    virtual void expand(quintptr node) = 0;
};

// The item list (grid) of the browse step.
class IItemList {
public:
    virtual ~IItemList() = default;
    // Adds a row of the given kind with column 0; returns the row index.
    virtual int addRow(int kind, const QString& column0) = 0;
    virtual void setColumn(int row, int column, const QString& text) = 0;
    virtual void setRowNoteId(int row, quint32 noteId) = 0;
};
