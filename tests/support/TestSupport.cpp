#include "tests/support/TestSupport.h"

#include <QBuffer>
#include <QDialog>
#include <QFile>
#include <QPointer>
#include <QStandardPaths>

#include <atomic>
#include <cstdlib>
#include <filesystem>
#include <string>

#include <sys/stat.h>

namespace OptraTest
{

namespace
{
std::string g_strRoot;
QtMessageHandler g_fnPreviousHandler = nullptr;

void RemoveRoot()
{
    if (g_strRoot.empty())
        return;
    std::error_code error;
    std::filesystem::remove_all(g_strRoot, error);
}

void GuardedHandler(QtMsgType type, const QMessageLogContext& context, const QString& strMessage)
{
    if (g_fnPreviousHandler)
        g_fnPreviousHandler(type, context, strMessage);
    if (type == QtWarningMsg && strMessage.contains(QLatin1String("QObject::connect")))
        std::abort();
}
} // namespace

QByteArray JpegWithOrientation(const QImage& image, int nOrientation)
{
    QByteArray baJpeg;
    QBuffer buffer(&baJpeg);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "JPEG", 100);
    // APP1 "Exif": a big-endian TIFF header and one IFD entry, tag 0x0112
    // (orientation), type SHORT, count 1, then no further IFD.
    const char szExif[] = {'\xFF', '\xE1', 0, 34, 'E', 'x', 'i', 'f', 0, 0,
                           'M',    'M',    0, 42, 0,   0,   0,   8,   0, 1,
                           1,      0x12,   0, 3,  0,   0,   0,   1,   0, char(nOrientation),
                           0,      0,      0, 0,  0,   0};
    baJpeg.insert(2, QByteArray(szExif, sizeof(szExif)));
    return baJpeg;
}

QByteArray ReadBytes(const QString& strPath)
{
    QFile file(strPath);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

QString NewConnectionName()
{
    static std::atomic<int> s_nConnection{0};
    return QStringLiteral("test-side-%1").arg(++s_nConnection);
}

void PrepareEnvironment()
{
    const char* szTmp = std::getenv("TMPDIR");
    std::string strTemplate = std::string(szTmp && *szTmp ? szTmp : "/tmp") + "/optra-test-XXXXXX";
    if (!mkdtemp(strTemplate.data()))
        std::abort();
    g_strRoot = strTemplate;
    std::atexit(RemoveRoot);

    const std::string strHome = g_strRoot + "/home";
    const std::string strRuntime = g_strRoot + "/runtime";
    std::filesystem::create_directories(strHome);
    std::filesystem::create_directories(strRuntime);
    chmod(strRuntime.c_str(), 0700);
    setenv("HOME", strHome.c_str(), 1);
    setenv("XDG_CONFIG_HOME", (strHome + "/.config").c_str(), 1);
    setenv("XDG_DATA_HOME", (strHome + "/.local/share").c_str(), 1);
    setenv("XDG_CACHE_HOME", (strHome + "/.cache").c_str(), 1);
    setenv("XDG_RUNTIME_DIR", strRuntime.c_str(), 1);
    QStandardPaths::setTestModeEnabled(true);
}

QString HomeDir()
{
    return QString::fromStdString(g_strRoot + "/home");
}

void InstallMessageGuard()
{
    g_fnPreviousHandler = qInstallMessageHandler(GuardedHandler);
    InstallNonBlockingDialogs();
}

void InstallNonBlockingDialogs()
{
    // A test that does not expect a dialog must not hang on one.
    CInteraction::SetMessageHandler(
        [](QWidget*, QMessageBox::Icon, const QString&, const QString& strText, QMessageBox::StandardButtons,
           QMessageBox::StandardButton defaultButton)
        {
            qWarning("Unanswered message box: %s", qPrintable(strText));
            return defaultButton == QMessageBox::NoButton ? QMessageBox::Ok : defaultButton;
        });
    CInteraction::SetOpenFileHandler([](auto...) { return QString(); });
    CInteraction::SetOpenFilesHandler([](auto...) { return QStringList(); });
    CInteraction::SetDirectoryHandler([](auto...) { return QString(); });
    CInteraction::SetSaveFileHandler([](auto...) { return QString(); });
    CInteraction::SetTextHandler(
        [](QWidget*, const QString&, const QString&, QLineEdit::EchoMode, bool& bOk)
        {
            bOk = false;
            return QString();
        });
    CInteraction::SetExecHandler([](QDialog*) { return int(QDialog::Rejected); });
}

CLogCapture::CLogCapture()
{
    connect(CLogger::GetInstance(), &CLogger::signal_NewMessage, this,
            [this](const SLogMessage& message) { m_vctMessages.push_back(message); });
}

void CLogCapture::Flush()
{
    CLogger::GetInstance()->Flush();
}

int CLogCapture::Count(ELogLevel level, const QString& strText) const
{
    int nCount = 0;
    for (const SLogMessage& message : m_vctMessages)
    {
        if (message.level == level && message.text == strText)
            ++nCount;
    }
    return nCount;
}

bool CLogCapture::Contains(ELogLevel level, const QString& strText) const
{
    return Count(level, strText) > 0;
}

QStringList CLogCapture::Texts() const
{
    QStringList lstTexts;
    for (const SLogMessage& message : m_vctMessages)
        lstTexts << message.text;
    return lstTexts;
}

CMessageRecorder::CMessageRecorder(QMessageBox::StandardButton answer) : m_answer(answer)
{
    CInteraction::SetMessageHandler(
        [this](QWidget*, QMessageBox::Icon icon, const QString&, const QString& strText,
               QMessageBox::StandardButtons, QMessageBox::StandardButton)
        {
            m_vctMessages.push_back(SMessage{icon, strText});
            return m_answer;
        });
}

CMessageRecorder::~CMessageRecorder()
{
    InstallNonBlockingDialogs();
}

QStringList CMessageRecorder::Texts() const
{
    QStringList lstTexts;
    for (const SMessage& message : m_vctMessages)
        lstTexts << message.strText;
    return lstTexts;
}

CDialogScript::CDialogScript()
{
    CInteraction::SetExecHandler(
        [this](QDialog* pDialog)
        {
            if (m_lstSteps.empty())
            {
                ++m_nUnexpected;
                qWarning("Unscripted dialog: %s", qPrintable(pDialog->windowTitle()));
                return int(QDialog::Rejected);
            }
            const Step fnStep = m_lstSteps.front();
            m_lstSteps.pop_front();
            const QPointer<QDialog> pGuard(pDialog);
            pDialog->show();
            if (!QTest::qWaitForWindowExposed(pDialog))
                qWarning("Dialog %s was not shown", qPrintable(pDialog->windowTitle()));
            const int nResult = fnStep(pDialog);
            // A step may have closed (and so deleted) a delete-on-close dialog.
            if (pGuard)
                pGuard->hide();
            return nResult;
        });
}

CDialogScript::~CDialogScript()
{
    InstallNonBlockingDialogs();
}

} // namespace OptraTest
