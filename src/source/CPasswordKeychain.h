#pragma once

#include <QString>

// Passwords in the desktop's secret store (Secret Service or KWallet through
// QtKeychain). Every call runs on the UI thread and waits at most a few
// seconds; once the store has failed to answer, it is not asked again in
// this process and callers keep passwords in memory instead.
class CPasswordKeychain {
public:
    enum class Result { Found, NotFound, Unavailable };

    static Result Read(const QString& key, QString& password);
    static bool Write(const QString& key, const QString& password);
    static void Remove(const QString& key);
    // False once the store did not answer, or when switched off.
    static bool Available();
    // Switches the store off (tests, or TESSELDOC_NO_KEYRING=1 in the environment).
    static void SetDisabled(bool disabled);

    static constexpr int kTimeoutMs = 4000;
};
