#pragma once

#include "trainer/remote/RemoteHost.h"

#include <QByteArray>
#include <QObject>
#include <QPointer>
#include <QProcess>
#include <QTimer>

// Follows one output file of a remote run (tail -F over ssh, or here) and
// hands out its bytes in whole lines, counting how many it handed out: the
// offset to continue from after a lost connection or a reattach, so no line
// is lost or given twice. A helper that ends while it should follow (a lost
// connection, a killed ssh) is started again after a growing pause.
// Owned by the remote run; GUI thread.
class CRemoteLogStream : public QObject
{
    Q_OBJECT
public:
    static constexpr int FIRST_RETRY_MS = 1000;
    static constexpr int MAX_RETRY_MS = 30000;
    // A rest this long without a line feed is handed out as it is.
    static constexpr int MAX_REST_BYTES = 64 * 1024;

    CRemoteLogStream(const CRemoteHost& host, const QString& strFile, bool bError, QObject* pParent);
    ~CRemoteLogStream() override;

    // Follows the file from nOffset on.
    void Start(qint64 nOffset);
    // Ends the helper; the offset stays where it is.
    void Stop();
    // Bytes of the file handed out so far.
    qint64 Offset() const { return m_nOffset; }
    bool IsFollowing() const { return m_bFollowing; }
    // The local helper process (ssh or tail), 0 when none runs.
    qint64 ProcessId() const;
    void SetRetryDelay(int nFirstMs) { m_nFirstRetryMs = nFirstMs; }

signals:
    void signal_Data(const QByteArray& baChunk, bool bError);
    // The helper ended by itself; it is started again in nRetryMs.
    void signal_Lost(int nRetryMs, const QString& strReason);

private:
    void Launch();
    void Read();
    void Ended();
    void Deliver(const QByteArray& baChunk);

    CRemoteHost m_host;
    QString m_strFile;
    bool m_bError = false;
    QPointer<QProcess> m_pProcess;
    QTimer m_retryTimer;
    QByteArray m_baRest;
    qint64 m_nOffset = 0;
    bool m_bFollowing = false;
    int m_nFirstRetryMs = FIRST_RETRY_MS;
    int m_nRetryMs = FIRST_RETRY_MS;
};
