#include "app/GuiResources.h"

#include <QApplication>
#include <QStyle>

static void InitGuiQrc() { Q_INIT_RESOURCE(gui); }

void InitGuiResources() {
    static bool done = false;
    if (done) return;
    done = true;
    InitGuiQrc();
}

QIcon ProductIcon() {
    InitGuiResources();
    QIcon icon(QStringLiteral(":/tesseldoc/tesseldoc-48.png"));
    icon.addFile(QStringLiteral(":/tesseldoc/tesseldoc-128.png"));
    return icon;
}

QIcon CommandIcon(const QString& name) {
    QStyle* st = QApplication::style();
    struct Entry {
        const char* name;
        QStyle::StandardPixmap pixmap;
    };
    static const Entry entries[] = {
        {"add", QStyle::SP_FileDialogNewFolder},   {"domino", QStyle::SP_DriveNetIcon},
        {"export", QStyle::SP_DialogSaveButton},   {"help", QStyle::SP_DialogHelpButton},
        {"remove", QStyle::SP_DialogDiscardButton}, {"removeall", QStyle::SP_TrashIcon},
        {"next", QStyle::SP_ArrowForward},         {"back", QStyle::SP_ArrowBack},
        {"exit", QStyle::SP_DialogCloseButton},    {"stop", QStyle::SP_BrowserStop},
        {"preview", QStyle::SP_FileDialogContentsView}, {"browse", QStyle::SP_DirOpenIcon},
    };
    for (const Entry& e : entries) {
        if (name != QLatin1String(e.name)) continue;
        QIcon icon = st->standardIcon(e.pixmap);
        // Some styles only carry small pictures; the toolbar shows 32 x 32.
        const QPixmap large = icon.pixmap(32, 32);
        if (!large.isNull() && large.width() < 32)
            icon.addPixmap(large.scaled(32, 32, Qt::KeepAspectRatio, Qt::SmoothTransformation));
        return icon;
    }
    return QIcon();
}
