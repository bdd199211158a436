#pragma once

#include "common/mvc/CenterModel.h"

#include <QString>
#include <QStringList>

// The parameters of the OCR tool: the language code ("eng", or several
// joined by "+"), the folder holding the language data files
// ("<code>.traineddata", Tesseract's tessdata folder) and the resolution the
// text was scanned at. Owned by whoever opened the tool. GUI thread.
class CImage2DProcessOCRModel : public CModel
{
    Q_OBJECT
public:
    static constexpr int MIN_DPI = 1;
    static constexpr int MAX_DPI = 1024;

    explicit CImage2DProcessOCRModel(QObject* pParent = nullptr);
    ~CImage2DProcessOCRModel() override;

    const QString& GetLanguageCode() const { return m_strLanguageCode; }
    const QString& GetLanguagePath() const { return m_strLanguagePath; }
    int GetUserDefinedDpi() const { return m_nUserDefinedDpi; }
    // Each setter logs what it stores; false, and nothing stored, for an
    // empty code or a resolution out of range.
    bool SetLanguageCode(const QString& strCode);
    void SetLanguagePath(const QString& strPath);
    bool SetUserDefinedDpi(int nDpi);

    // The data files of the chosen languages that the folder lacks (full
    // paths); empty when everything is there.
    QStringList GetMissingLanguageFiles() const;
    // The tessdata folder of Debian's tesseract-ocr language packages.
    static QString DefaultLanguagePath();

private:
    QString m_strLanguageCode = QStringLiteral("eng");
    QString m_strLanguagePath;
    int m_nUserDefinedDpi = 144;
};
