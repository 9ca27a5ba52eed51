#include "app/CMessageBoxService.h"
#include "source/CDominoPasswordDlg.h"
#include "source/CPasswordKeychain.h"
#include "source/CServerPasswords.h"

#include <QCheckBox>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QTest>
#include <QThread>

#include <atomic>

#include <gtest/gtest.h>

namespace {

class ServerPasswordsTest : public ::testing::Test {
protected:
    void SetUp() override {
        CPasswordKeychain::SetDisabled(true);  // no desktop secret store in tests
        passwords().Clear();
        boxes().clear();
    }
    void TearDown() override {
        boxes().setDialogHandler(nullptr);
        passwords().Clear();
        boxes().clear();
    }
    static CServerPasswords& passwords() { return CServerPasswords::instance(); }
    static CMessageBoxService& boxes() { return CMessageBoxService::instance(); }

    // Answers the sign-in dialog with this name and password and counts how often it came.
    void answerWith(const QString& user, const QString& password, bool accept = true) {
        boxes().setDialogHandler([this, user, password, accept](QDialog& d) {
            ++asked;
            auto* dlg = qobject_cast<CDominoPasswordDlg*>(&d);
            if (!dlg) return int(QDialog::Rejected);
            offeredUser = dlg->UserEdit()->text();
            echo = dlg->PasswordEdit()->echoMode();
            dlg->SetAnswer(user, password, true);
            rememberOffered = dlg->findChild<QCheckBox*>()->isEnabled();
            return int(accept ? QDialog::Accepted : QDialog::Rejected);
        });
    }
    // Ask() on a worker thread, with the UI thread's events processed meanwhile.
    bool askFromWorker(bool refusedBefore, CServerPasswords::Login& login, std::function<bool()> stopped = {}) {
        std::atomic<bool> finished{false};
        bool ok = false;
        QThread* worker = QThread::create([&] {
            ok = passwords().Ask("MAIL01", "https://mail01", refusedBefore, login, stopped);
            finished = true;
        });
        worker->start();
        QElapsedTimer t;
        t.start();
        while (!finished && t.elapsed() < 5000) QTest::qWait(5);
        worker->wait();
        delete worker;
        return ok;
    }

    int asked = 0;
    QString offeredUser;
    QLineEdit::EchoMode echo = QLineEdit::Normal;
    bool rememberOffered = true;
};

}  // namespace

TEST_F(ServerPasswordsTest, AskedOnceFromAWorkerThenKeptInMemoryUntilRefused) {
    answerWith("ada", "s3cret");
    CServerPasswords::Login login{"configured", QString()};
    ASSERT_TRUE(askFromWorker(false, login));
    EXPECT_EQ(asked, 1);
    EXPECT_EQ(offeredUser, QStringLiteral("configured"));
    EXPECT_EQ(echo, QLineEdit::Password);
    EXPECT_FALSE(rememberOffered);  // no secret store: nothing to remember in
    EXPECT_EQ(login.user, QStringLiteral("ada"));
    EXPECT_EQ(login.password, QStringLiteral("s3cret"));

    CServerPasswords::Login again;
    ASSERT_TRUE(askFromWorker(false, again));
    EXPECT_EQ(asked, 1);
    EXPECT_EQ(again.password, QStringLiteral("s3cret"));

    // The server refused it: forgotten, and the next ask shows the dialog again.
    passwords().Refused("MAIL01", login);
    answerWith("ada", "better");
    CServerPasswords::Login retry{"ada", QString()};
    ASSERT_TRUE(askFromWorker(true, retry));
    EXPECT_EQ(asked, 2);
    EXPECT_EQ(retry.password, QStringLiteral("better"));
}

TEST_F(ServerPasswordsTest, CancelAndStopAnswerFalse) {
    answerWith("ada", "x", false);
    CServerPasswords::Login login;
    EXPECT_FALSE(askFromWorker(false, login));
    EXPECT_EQ(asked, 1);

    // A stop while the question waits for the UI thread gives up without asking.
    answerWith("ada", "x");
    asked = 0;
    std::atomic<bool> stop{false};
    bool ok = true;
    QThread* worker = QThread::create([&] { ok = passwords().Ask("APPS", "https://apps", false, login, [&] { return stop.load(); }); });
    worker->start();
    QThread::msleep(150);
    stop = true;
    worker->wait();
    delete worker;
    QTest::qWait(20);  // the queued ask now runs and finds itself abandoned
    EXPECT_FALSE(ok);
    EXPECT_EQ(asked, 0);
}
