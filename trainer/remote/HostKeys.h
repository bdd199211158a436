#pragma once

#include "trainer/remote/RemoteHost.h"

#include <QString>
#include <QStringList>

// The first connection to a host whose key the user's known_hosts does not
// hold: the keys the host offers are read with ssh-keyscan, their
// fingerprints shown, and only when the user trusts them are they added to
// known_hosts; ssh itself keeps checking them strictly from then on.
// Blocks for the few seconds a scan takes. GUI thread (it asks through the
// interaction seam).
class CHostKeys
{
public:
    explicit CHostKeys(const STrainingTarget& target) : m_host(target) {}

    // Asks the user whether to trust the host's keys and adds them when the
    // answer is yes. False when refused or the keys cannot be read (strError
    // then says why).
    bool AskToTrust(QString& strError);
    // The known_hosts lines the host offers and their fingerprints.
    bool Scan(QStringList& lstLines, QStringList& lstFingerprints, QString& strError) const;
    bool Trust(const QStringList& lstLines, QString& strError) const;

private:
    CRemoteHost m_host;
};
