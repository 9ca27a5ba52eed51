#pragma once

#include <QEvent>
#include <QVariant>

// Messages between the frame, the page host and the step pages. Each is a
// custom event type, delivered synchronously with QCoreApplication::sendEvent
// on the UI thread.
constexpr int WM_USER_BASE = QEvent::User;
constexpr int WM_STEP_ACTIVATE = WM_USER_BASE + 100;         // host -> new page
constexpr int WM_SELECT_STEP = WM_USER_BASE + 101;           // frame -> host, wParam: page index
constexpr int WM_FOLDER_CLICKED = WM_USER_BASE + 102;        // folder tree -> Step 2, wParam: folder path
constexpr int WM_ITEM_CLICKED = WM_USER_BASE + 103;          // item list -> Step 2, wParam: note ID, lParam: row
constexpr int WM_STEP_STOP = WM_USER_BASE + 104;             // wait dialog -> frame -> host -> current page
constexpr int WM_CMD_ADD_FILES = WM_USER_BASE + 109;         // menu "Add File(s)"
constexpr int WM_CMD_ADD_DOMINO_FILES = WM_USER_BASE + 110;  // menu "Add Domino File(s)"
constexpr int WM_CMD_EXPORT = WM_USER_BASE + 111;            // menu "Export"
constexpr int WM_STEP_KEY = WM_USER_BASE + 121;              // wParam: WM_KEYDOWN/WM_SYSKEYDOWN, lParam: key
constexpr int WM_ADD_SERVER_FILES = WM_USER_BASE + 123;      // wParam: server name, lParam: QStringList of paths

// The two kinds of key press forwarded as WM_STEP_KEY.
constexpr int WM_KEYDOWN = 0x0100;
constexpr int WM_SYSKEYDOWN = 0x0104;

// One message with its two parameters and a result the receiver may set.
class CStepEvent : public QEvent {
public:
    explicit CStepEvent(int type, QVariant w = QVariant(), QVariant l = QVariant())
        : QEvent(static_cast<QEvent::Type>(type)), wParam(std::move(w)), lParam(std::move(l)) {}
    QVariant wParam;
    QVariant lParam;
    int result = 0;
};
