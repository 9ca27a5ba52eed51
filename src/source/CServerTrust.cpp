#include "source/CServerTrust.h"

#include "files/UserSettings.h"
#include "notes/das/DominoServerConfig.h"
#include "source/DominoBrowserTexts.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFileInfo>
#include <QNetworkProxy>
#include <QSaveFile>
#include <QSettings>
#include <QSslConfiguration>
#include <QSslSocket>

namespace {

QString NameOf(const QSslCertificate& c, QSslCertificate::SubjectInfo what, bool issuer) {
    const QStringList parts = issuer ? c.issuerInfo(what) : c.subjectInfo(what);
    return parts.join(QStringLiteral(", "));
}

// "CN=..., O=..." of the subject or the issuer, the parts a user recognises.
QString Distinguished(const QSslCertificate& c, bool issuer) {
    QStringList parts;
    const std::pair<QSslCertificate::SubjectInfo, const char*> fields[] = {
        {QSslCertificate::CommonName, "CN"},
        {QSslCertificate::OrganizationalUnitName, "OU"},
        {QSslCertificate::Organization, "O"},
        {QSslCertificate::CountryName, "C"},
    };
    for (const auto& [what, label] : fields) {
        const QString value = NameOf(c, what, issuer);
        if (!value.isEmpty()) parts << QStringLiteral("%1=%2").arg(QLatin1String(label), value);
    }
    return parts.isEmpty() ? QStringLiteral("(none)") : parts.join(QStringLiteral(", "));
}

QString Address(const QString& server) {
    const auto resolved = das::DominoServerConfig().resolve(server);
    return resolved ? resolved->url.toString(QUrl::RemoveUserInfo) : server;
}

}  // namespace

bool CServerTrust::Peer::trustable() const {
    if (!untrusted() || chain.isEmpty()) return false;
    for (QSslError::SslError e : problems) {
        switch (e) {
        case QSslError::SelfSignedCertificate:
        case QSslError::SelfSignedCertificateInChain:
        case QSslError::UnableToGetLocalIssuerCertificate:
        case QSslError::UnableToGetIssuerCertificate:
        case QSslError::UnableToVerifyFirstCertificate:
        case QSslError::CertificateUntrusted:
            break;
        default:
            return false;  // another name, expired, revoked...: trust would not cure it
        }
    }
    return true;
}

CServerTrust::Peer CServerTrust::Probe(const QString& server, int timeoutMs) {
    Peer peer;
    QString why;
    const auto resolved = das::DominoServerConfig().resolve(server, &why);
    if (!resolved) {
        peer.failure = why;
        return peer;
    }
    const QUrl url = resolved->url;
    if (url.scheme() != QLatin1String("https")) return peer;

    QSslSocket socket;
    QSslConfiguration conf = QSslConfiguration::defaultConfiguration();
    if (!resolved->caFile.isEmpty()) {
        QList<QSslCertificate> cas = conf.caCertificates();
        cas += QSslCertificate::fromPath(resolved->caFile, QSsl::Pem);
        conf.setCaCertificates(cas);
    }
    socket.setSslConfiguration(conf);
    // The proxy the server's settings name; none for a loopback address.
    const QString proxy = resolved->proxy.trimmed();
    if (proxy == QLatin1String("none") || url.host() == QLatin1String("127.0.0.1") ||
        url.host() == QLatin1String("localhost") || url.host() == QLatin1String("::1")) {
        socket.setProxy(QNetworkProxy::NoProxy);
    } else if (proxy.startsWith(QLatin1String("http://"))) {
        const QUrl p(proxy);
        socket.setProxy(QNetworkProxy(QNetworkProxy::HttpProxy, p.host(), quint16(p.port(8080))));
    }
    // The handshake is let through whatever it finds, to read the
    // certificate; the connection is closed before anything is sent.
    QObject::connect(&socket, &QSslSocket::sslErrors, &socket, [&socket, &peer](const QList<QSslError>& errors) {
        for (const QSslError& e : errors) {
            if (!peer.problems.contains(e.error())) peer.problems << e.error();
            if (!peer.problemTexts.contains(e.errorString())) peer.problemTexts << e.errorString();
        }
        socket.ignoreSslErrors();
    });
    socket.connectToHostEncrypted(url.host(), quint16(url.port(443)));
    if (!socket.waitForEncrypted(timeoutMs)) {
        peer.failure = socket.errorString();
        peer.chain = socket.peerCertificateChain();
        peer.reached = !peer.chain.isEmpty();
        socket.abort();
        return peer;
    }
    peer.chain = socket.peerCertificateChain();
    if (peer.chain.isEmpty() && !socket.peerCertificate().isNull()) peer.chain << socket.peerCertificate();
    peer.reached = !peer.chain.isEmpty();
    socket.abort();
    return peer;
}

QString CServerTrust::Fingerprint(const QSslCertificate& certificate) {
    const QByteArray hex = certificate.digest(QCryptographicHash::Sha256).toHex().toUpper();
    QStringList pairs;
    for (int i = 0; i + 1 < hex.size(); i += 2) pairs << QString::fromLatin1(hex.mid(i, 2));
    return pairs.join(QLatin1Char(':'));
}

static QString Describe(const QSslCertificate& c) {
    return DominoBrowserTexts::kCertDetails.arg(Distinguished(c, false), Distinguished(c, true),
                                                c.effectiveDate().toString(Qt::ISODate),
                                                c.expiryDate().toString(Qt::ISODate), CServerTrust::Fingerprint(c));
}

QString CServerTrust::Question(const QString& server, const Peer& peer) {
    namespace T = DominoBrowserTexts;
    const QString gap = QStringLiteral("\r\n\r\n");
    QString text = T::kCertUntrusted.arg(server, Address(server), peer.problemTexts.join(QStringLiteral("; "))) + gap;
    const QSslCertificate anchor = peer.anchor();
    if (peer.chain.size() > 1 && anchor != peer.chain.first())
        text += T::kCertIssuedBy.arg(Distinguished(peer.chain.first(), false)) + gap;
    text += Describe(anchor) + gap + T::kCertAskTrust.arg(server);
    return text;
}

QString CServerTrust::Refusal(const QString& server, const Peer& peer) {
    namespace T = DominoBrowserTexts;
    QString text = T::kCertRefused.arg(server, Address(server), peer.problemTexts.join(QStringLiteral("; ")));
    if (peer.problems.contains(QSslError::HostNameMismatch) && !peer.chain.isEmpty())
        text += QLatin1Char(' ') +
                T::kCertOtherName.arg(peer.chain.first().subjectInfo(QSslCertificate::CommonName).join(QStringLiteral(", ")));
    if (!peer.chain.isEmpty()) text += QStringLiteral("\r\n\r\n") + Describe(peer.chain.first());
    return text;
}

bool CServerTrust::Trust(const QString& server, const QSslCertificate& certificate, QString* error) {
    const auto fail = [error](const QString& why) {
        if (error) *error = why;
        return false;
    };
    if (certificate.isNull()) return fail(DominoBrowserTexts::kCertNone);
    das::DominoServerConfig config;
    QString why;
    std::optional<das::DominoServer> resolved = config.resolve(server, &why);
    if (!resolved) return fail(why);
    das::DominoServer entry = *resolved;
    // A server typed as an address is kept under the name the browser lists.
    if (!config.find(server)) entry.name = server;

    // Beside the settings file, one file per trust: a file's certificates
    // are never rewritten under the same name, so nothing that read it
    // earlier keeps an old copy.
    const QString settingsFile = UserSettings::filePath();
    QDir dir(QFileInfo(settingsFile).absolutePath());
    const QString sub = QStringLiteral("trusted-certificates");
    if (!dir.mkpath(sub) || !dir.cd(sub)) return fail(DominoBrowserTexts::kCertFolderNotMade.arg(dir.filePath(sub)));
    QString stem = server.toLower();
    for (QChar& ch : stem)
        if (!ch.isLetterOrNumber() && ch != QLatin1Char('.') && ch != QLatin1Char('-')) ch = QLatin1Char('_');
    const QString path =
        dir.filePath(QStringLiteral("%1-%2.pem").arg(stem, Fingerprint(certificate).remove(QLatin1Char(':')).left(16)));

    QList<QSslCertificate> all;
    if (!entry.caFile.isEmpty() && QFileInfo(entry.caFile).absoluteFilePath() != path)
        all = QSslCertificate::fromPath(entry.caFile, QSsl::Pem);
    if (!all.contains(certificate)) all << certificate;
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) return fail(QStringLiteral("%1: %2").arg(path, file.errorString()));
    for (const QSslCertificate& c : all) file.write(c.toPem());
    if (!file.commit()) return fail(QStringLiteral("%1: %2").arg(path, file.errorString()));

    entry.caFile = path;
    if (!config.saveServer(entry)) return fail(DominoBrowserTexts::kCertSettingsNotWritten);
    return true;
}
