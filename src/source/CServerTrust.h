#pragma once

#include <QSslCertificate>
#include <QSslError>
#include <QString>
#include <QStringList>

// Trusting a Domino server whose certificate the system does not trust
// (self-signed, or signed by a private authority): the certificate is
// fetched with a TLS handshake that sends nothing, shown to the user, and,
// when the user agrees, kept in a file of the program's settings folder
// that the server's settings name as their caFile. Probe() blocks and may
// run on any thread; the rest is quick.
class CServerTrust {
public:
    struct Peer {
        bool reached = false;                // the handshake got as far as a certificate
        QString failure;                     // why not, when not
        QList<QSslCertificate> chain;        // as the server sent it, its own certificate first
        QList<QSslError::SslError> problems; // what verifying it against the trusted authorities found
        QStringList problemTexts;
        // Something is wrong with the certificate.
        bool untrusted() const { return reached && !problems.isEmpty(); }
        // Trusting the certificate would cure every problem found: no other
        // name, no expired or revoked certificate.
        bool trustable() const;
        // The certificate to trust: the top of the chain the server sent
        // (the server's own when it signed it itself).
        QSslCertificate anchor() const { return chain.isEmpty() ? QSslCertificate() : chain.last(); }
    };

    // Connects to the server configured (or typed) as `server` and reads
    // its certificate, verified against the system's authorities and the
    // server's caFile. Nothing is sent once connected. A server reached over
    // http is never probed (reached stays false).
    static Peer Probe(const QString& server, int timeoutMs = 8000);

    // The words of the trust question: the server, its address, the
    // problems, and the certificate's subject, issuer, validity and SHA-256
    // fingerprint.
    static QString Question(const QString& server, const Peer& peer);
    // What is said when the certificate has problems trusting cannot cure.
    static QString Refusal(const QString& server, const Peer& peer);
    // "AB:CD:..." of the certificate's DER form.
    static QString Fingerprint(const QSslCertificate& certificate);

    // Keeps `certificate` (beside the certificates of an earlier caFile) in
    // a file of the settings folder and stores that file as the server's
    // caFile. False, with `error`, when either cannot be written.
    static bool Trust(const QString& server, const QSslCertificate& certificate, QString* error = nullptr);
};
