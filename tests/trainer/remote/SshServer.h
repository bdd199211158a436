#pragma once

#include "trainer/remote/TrainingTarget.h"

#include <QProcess>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

#include <memory>

namespace OptraTest
{
class CProjectOnDisk;

// A TCP port on 127.0.0.1 that nothing listens on right now.
int FreePort();
// Runs a helper to its end; its exit code, -1 when it did not run.
int RunTool(const QString& strProgram, const QStringList& lstArguments, QByteArray* pOutput = nullptr);
// The ids of the processes whose working folder lies in strFolder or whose
// command line names it.
QList<qint64> ProcessesUsing(const QString& strFolder);
// Whether the server tests of this executable must run: as root (and so in
// CI) a fixture that cannot start is a failure, otherwise a skip.
bool MustRun();
// Prints the line CTest counts as a skip, then the reason.
void ReportSkip(const QString& strReason);
// The project's training has ended and no remote run is followed any more.
bool RunEnded(CProjectOnDisk& project);
// Quick state polls and retries for the tests, and the arguments the stand-in expects.
void UseTestTimings();

} // namespace OptraTest

// Starts a server fixture in initTestCase: a failure fails the test where
// it must run (MustRun) and skips it, counted by CTest, elsewhere.
#define OPTRA_START_SERVER(fixture, what)                                                                    \
    do                                                                                                       \
    {                                                                                                        \
        QString strReason;                                                                                   \
        if (!(fixture).Start(strReason))                                                                     \
        {                                                                                                    \
            if (OptraTest::MustRun())                                                                        \
                QFAIL(                                                                                       \
                    qPrintable(QString("The %1 of the tests cannot be started: %2").arg(what, strReason)));  \
            OptraTest::ReportSkip(strReason);                                                                \
            QSKIP(qPrintable(strReason));                                                                    \
        }                                                                                                    \
        OptraTest::UseTestTimings();                                                                         \
    } while (false)

namespace OptraTest
{
// A "remote" Darknet: a script that reads strEnvironmentFile, then runs the stand-in.
void WriteDarknetWrapper(const QString& strPath, const QString& strEnvironmentFile);
// The environment file of such a wrapper: the sanitizer options of this
// process and the assignments ("NAME=value").
void WriteEnvironment(const QString& strEnvironmentFile, const QStringList& lstAssignments);

// An OpenSSH server of the test's own on 127.0.0.1 at a free port: a
// throwaway host key, a throwaway user key (in a folder whose name holds a
// space and a quote) allowed to log in as the current user, and a "remote"
// Darknet that is the stand-in, run through a wrapper that first reads the
// environment the test wrote with SetEnvironment (sshd hands none over).
// The remote folder's name holds a space, a quote and a "$".
class CSshServer
{
public:
    CSshServer();
    ~CSshServer();

    // False with the reason when the server could not be started.
    bool Start(QString& strReason);
    void Stop();

    int Port() const { return m_nPort; }
    QString Root() const { return m_dir.path(); }
    QString IdentityFile() const;
    QString OtherIdentityFile() const;
    QString RemoteFolder() const;
    QString Darknet() const;
    // The known_hosts line that trusts the server's key.
    QString KnownHostsLine() const;
    // The target of a run over SSH on this server, as the settings hold it.
    STrainingTarget Target() const;
    // Writes the target into the settings store.
    static void StoreTarget(const STrainingTarget& target);
    // What the stand-in sees in its environment on the next runs.
    void SetEnvironment(const QStringList& lstAssignments);

private:
    bool WriteConfig(QString& strReason);

    QTemporaryDir m_dir;
    int m_nPort = 0;
    std::unique_ptr<QProcess> m_pServer;
};

} // namespace OptraTest
