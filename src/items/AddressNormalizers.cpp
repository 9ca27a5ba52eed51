#include "items/AddressNormalizers.h"

#include "items/ItemFieldReaders.h"

namespace {

const QString kCN = QStringLiteral("CN=");
const QString kSlashO = QStringLiteral("/O=");

// Removes `pattern` until it no longer occurs (a removal may join a new one).
void removeAll(QString& text, const QString& pattern) {
    while (text.contains(pattern)) text.remove(pattern);
}

// One group of the recipient block: present when any of the three items
// reads non-empty and is not exactly "."; "" when absent or nothing remains.
QString recipientGroup(const LNNote& document, const char* a, const char* b, const char* c,
                       const QString& prefix) {
    const QString va = ReadTextItem(document, QLatin1String(a));
    const QString vb = ReadTextItem(document, QLatin1String(b));
    const QString vc = ReadTextItem(document, QLatin1String(c));
    auto counts = [](const QString& v) { return !v.isEmpty() && v != QLatin1String("."); };
    if (!counts(va) && !counts(vb) && !counts(vc)) return QString();
    const QString group = prefix + PickRecipientList(va, vb, vc);
    return group == prefix ? QString() : group;
}

}  // namespace

QString NormalizeSender(const QString& text) {
    if (!text.startsWith(kCN) || !text.contains(kSlashO)) return text;
    QString result = text.left(text.indexOf(kSlashO));
    result.remove(kCN);
    return result;
}

QString NormalizeRecipient(const QString& text) {
    if (text.startsWith(kCN) && text.contains(kSlashO)) {
        QString result = text;
        result.remove(kCN);
        result.replace(kSlashO, QStringLiteral("/"));
        return result;
    }
    const int close = text.indexOf(QLatin1Char('>'));
    const int open = text.indexOf(QLatin1Char('<'));
    if (open >= 0 && close > open) return text.mid(open, close - open + 1);
    return text;
}

QString NormalizeAddressList(const QString& text) {
    QString result = text;
    removeAll(result, QStringLiteral(" ."));
    removeAll(result, QStringLiteral(". "));
    removeAll(result, QStringLiteral("CN="));
    removeAll(result, QStringLiteral("O="));
    removeAll(result, QStringLiteral("OU="));
    removeAll(result, QStringLiteral(".;"));
    if (result.size() > 32) result.replace(QLatin1Char(';'), QStringLiteral(" ; "));
    return result;
}

QString PickRecipientList(const QString& a, const QString& b, const QString& c) {
    const QString na = NormalizeAddressList(a);
    const QString nb = NormalizeAddressList(b);
    const QString nc = NormalizeAddressList(c);
    if (na.size() >= nb.size() && na.size() >= nc.size()) return na;
    if (nb.size() >= na.size() && nb.size() >= nc.size()) return nb;
    return nc;
}

QString ReadRecipientBlock(const LNNote& document) {
    QString cc = recipientGroup(document, "CopyTo", "InetCopyTo", "EnterCopyTo", QStringLiteral("CC:"));
    const QString bcc = recipientGroup(document, "BlindCopyTo", "InetBlindCopyTo", "EnterBlindCopyTo",
                                       QStringLiteral("BCC:"));
    const QString to = recipientGroup(document, "SendTo", "InetSendTo", "EnterSendTo", QString());
    if (!cc.isEmpty() && !bcc.isEmpty()) cc += QStringLiteral("\r\n");
    if (to.isEmpty()) return cc + bcc;
    if (cc.isEmpty() && bcc.isEmpty()) return to;
    return to + QStringLiteral("\r\n") + cc + bcc;
}
