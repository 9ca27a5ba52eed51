// A server with a certificate the system does not trust, added by address in
// the server browser: the certificate is shown once, trusted and kept in the
// settings, and the server is browsed; one for another name is refused with
// the reason. Against the loopback stand-in over TLS (needs openssl).
#ifdef TESSELDOC_HAVE_FAKE_DOMINO

#include "GuiTestSupport.h"

#include "fake/FakeDomino.h"
#include "source/CDominoServerFileDlg.h"
#include "source/CServerTrust.h"

#include <QElapsedTimer>
#include <QFile>
#include <QLineEdit>
#include <QProcess>
#include <QSettings>
#include <QSslCertificate>
#include <QStandardPaths>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTest>

namespace {

// A self-signed certificate for `name` (an IP address or a host name).
bool makeCertificate(const QString& dir, const QString& name, QByteArray& cert, QByteArray& key) {
    if (QStandardPaths::findExecutable(QStringLiteral("openssl")).isEmpty()) return false;
    const bool ip = name.front().isDigit();
    QProcess p;
    p.setWorkingDirectory(dir);
    p.start(QStringLiteral("openssl"),
            {QStringLiteral("req"), QStringLiteral("-x509"), QStringLiteral("-newkey"), QStringLiteral("rsa:2048"),
             QStringLiteral("-nodes"), QStringLiteral("-keyout"), QStringLiteral("key.pem"), QStringLiteral("-out"),
             QStringLiteral("cert.pem"), QStringLiteral("-days"), QStringLiteral("2"), QStringLiteral("-subj"),
             QStringLiteral("/CN=%1/O=Loopback Test").arg(name), QStringLiteral("-addext"),
             QStringLiteral("subjectAltName=%1:%2").arg(ip ? QStringLiteral("IP") : QStringLiteral("DNS"), name)});
    if (!p.waitForFinished(60000) || p.exitCode() != 0) return false;
    QFile c(dir + QStringLiteral("/cert.pem")), k(dir + QStringLiteral("/key.pem"));
    if (!c.open(QIODevice::ReadOnly) || !k.open(QIODevice::ReadOnly)) return false;
    cert = c.readAll();
    key = k.readAll();
    return true;
}

class DominoTrustTest : public FrameFixture {
protected:
    // Serves the demo over TLS with a certificate for `name`; false (skipped) without openssl.
    bool serve(const QString& name) {
        QByteArray cert, key;
        if (!makeCertificate(dir.path(), name, cert, key)) return false;
        certificate = QSslCertificate(cert, QSsl::Pem);
        fakedomino::Profile profile;
        profile.certificatePem = cert;
        profile.keyPem = key;
        server = std::make_unique<fakedomino::Server>(profile);
        QString why;
        EXPECT_TRUE(server->addDatabaseFile(QStringLiteral("mail/demo.nsf"),
                                            QStringLiteral(TESSELDOC_SOURCE_DIR "/res/demo/demo-mail.dxl"), &why))
            << why.toStdString();
        return server->start() != 0;
    }
    void TearDown() override {
        if (server) server->stop();
        FrameFixture::TearDown();
    }
    bool waitIdle(CDominoServerFileDlg& dlg) {
        QElapsedTimer t;
        t.start();
        while (dlg.IsSearching() && t.elapsed() < 30000) QTest::qWait(10);
        return !dlg.IsSearching();
    }
    // Typed as a user types it, then clicked.
    QString addAndClick(CDominoServerFileDlg& dlg) {
        const QString typed = QStringLiteral("127.0.0.1:%1").arg(server->port());
        dlg.ServerEdit()->setText(typed);
        dlg.OnAddServer();
        const int row = int(dlg.ServerNames().indexOf(typed));
        EXPECT_GE(row, 0);
        dlg.ServerList()->selectRow(row);
        dlg.OnServerClicked();
        EXPECT_TRUE(waitIdle(dlg));
        return typed;
    }
    QString caFileOf(const QString& name) const {
        return QSettings(QStringLiteral("tesseldoc"), QStringLiteral("tesseldoc"))
            .value(QStringLiteral("DominoServers/%1/caFile").arg(name))
            .toString();
    }

    QTemporaryDir dir;
    QSslCertificate certificate;
    std::unique_ptr<fakedomino::Server> server;
};

}  // namespace

TEST_F(DominoTrustTest, AnUntrustedCertificateIsShownTrustedOnceAndTheServerBrowsed) {
    if (!serve(QStringLiteral("127.0.0.1"))) GTEST_SKIP() << "no TLS test server (openssl missing?)";
    CDominoServerFileDlg dlg(frame.get(), frame.get());
    dlg.show();

    // Declined: nothing is kept and nothing listed.
    boxes().queueAnswer(false);
    const QString name = addAndClick(dlg);
    ASSERT_EQ(boxes().shown().last().kind, QStringLiteral("question"));
    const QString question = boxes().shown().last().text;
    EXPECT_TRUE(question.contains(CServerTrust::Fingerprint(certificate))) << question.toStdString();
    EXPECT_TRUE(question.contains(QStringLiteral("CN=127.0.0.1, O=Loopback Test"))) << question.toStdString();
    EXPECT_TRUE(question.contains(name)) << question.toStdString();
    EXPECT_TRUE(dlg.DatabasePaths().isEmpty());
    EXPECT_TRUE(caFileOf(name).isEmpty());

    // Trusted: kept as the server's caFile, and the databases are listed.
    boxes().clear();
    boxes().queueAnswer(true);
    dlg.OnServerClicked();
    ASSERT_TRUE(waitIdle(dlg));
    EXPECT_EQ(dlg.DatabasePaths(), QStringList{QStringLiteral("mail/demo.nsf")});
    const QString caFile = caFileOf(name);
    ASSERT_FALSE(caFile.isEmpty());
    EXPECT_TRUE(QSslCertificate::fromPath(caFile).contains(certificate));

    // Asked once: the next lookup asks nothing.
    boxes().clear();
    dlg.OnServerClicked();
    ASSERT_TRUE(waitIdle(dlg));
    EXPECT_EQ(dlg.DatabasePaths(), QStringList{QStringLiteral("mail/demo.nsf")});
    for (const auto& shown : boxes().shown()) EXPECT_NE(shown.kind, QStringLiteral("question")) << shown.text.toStdString();
}

TEST_F(DominoTrustTest, ACertificateForAnotherNameIsRefusedWithItsReason) {
    if (!serve(QStringLiteral("mail.example.test"))) GTEST_SKIP() << "no TLS test server (openssl missing?)";
    CDominoServerFileDlg dlg(frame.get(), frame.get());
    dlg.show();
    const QString name = addAndClick(dlg);
    ASSERT_FALSE(boxes().shown().isEmpty());
    EXPECT_EQ(boxes().shown().last().kind, QStringLiteral("info"));
    const QString said = boxes().shown().last().text;
    EXPECT_TRUE(said.contains(name)) << said.toStdString();
    EXPECT_TRUE(said.contains(QStringLiteral("mail.example.test"))) << said.toStdString();
    EXPECT_TRUE(caFileOf(name).isEmpty());
    EXPECT_TRUE(dlg.DatabasePaths().isEmpty());
}

#endif
