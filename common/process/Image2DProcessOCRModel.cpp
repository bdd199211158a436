#include "common/process/Image2DProcessOCRModel.h"

#include "common/log/Logger.h"

#include <QDir>
#include <QFileInfo>

CImage2DProcessOCRModel::CImage2DProcessOCRModel(QObject* pParent)
    : CModel(pParent), m_strLanguagePath(DefaultLanguagePath())
{
}

CImage2DProcessOCRModel::~CImage2DProcessOCRModel() = default;

bool CImage2DProcessOCRModel::SetLanguageCode(const QString& strCode)
{
    if (strCode.trimmed().isEmpty())
        return false;
    m_strLanguageCode = strCode.trimmed();
    CLog::Write(ELogLevel::NORMAL, "Image2DProcessOCRModel: SetLanguageCode(%s)",
                m_strLanguageCode.toUtf8().constData());
    return true;
}

void CImage2DProcessOCRModel::SetLanguagePath(const QString& strPath)
{
    m_strLanguagePath = strPath;
    CLog::Write(ELogLevel::NORMAL, "Image2DProcessOCRModel: SetLanguagePath(%s)",
                m_strLanguagePath.toUtf8().constData());
}

bool CImage2DProcessOCRModel::SetUserDefinedDpi(int nDpi)
{
    if (nDpi < MIN_DPI || nDpi > MAX_DPI)
        return false;
    m_nUserDefinedDpi = nDpi;
    CLog::Write(ELogLevel::NORMAL, "Image2DProcessOCRModel: SetUserDefinedDpi(%d)", m_nUserDefinedDpi);
    return true;
}

QStringList CImage2DProcessOCRModel::GetMissingLanguageFiles() const
{
    QStringList lstMissing;
    const QDir folder(m_strLanguagePath);
    for (const QString& strLanguage : m_strLanguageCode.split('+', Qt::SkipEmptyParts))
    {
        const QString strFile = folder.filePath(strLanguage + ".traineddata");
        if (m_strLanguagePath.isEmpty() || !QFileInfo(strFile).isFile())
            lstMissing << QDir::toNativeSeparators(strFile);
    }
    return lstMissing;
}

QString CImage2DProcessOCRModel::DefaultLanguagePath()
{
    // Tesseract 5 (Debian 12 and later), then 4 (Debian 10 and 11).
    const QString strCurrent = QStringLiteral("/usr/share/tesseract-ocr/5/tessdata");
    const QString strOlder = QStringLiteral("/usr/share/tesseract-ocr/4.00/tessdata");
    return !QFileInfo(strCurrent).isDir() && QFileInfo(strOlder).isDir() ? strOlder : strCurrent;
}
