#include "common/mvc/Interaction.h"

#include <QDialog>
#include <QInputDialog>

namespace
{
QMessageBox::StandardButton RealMessage(QWidget* pParent, QMessageBox::Icon icon, const QString& strTitle,
                                        const QString& strText, QMessageBox::StandardButtons buttons,
                                        QMessageBox::StandardButton defaultButton)
{
    QMessageBox box(icon, strTitle, strText, buttons, pParent);
    box.setDefaultButton(defaultButton);
    return static_cast<QMessageBox::StandardButton>(box.exec());
}

QString RealOpenFile(QWidget* pParent, const QString& strCaption, const QString& strDir,
                     const QString& strFilter)
{
    return QFileDialog::getOpenFileName(pParent, strCaption, strDir, strFilter);
}

QStringList RealOpenFiles(QWidget* pParent, const QString& strCaption, const QString& strDir,
                          const QString& strFilter)
{
    return QFileDialog::getOpenFileNames(pParent, strCaption, strDir, strFilter);
}

QString RealDirectory(QWidget* pParent, const QString& strCaption, const QString& strDir,
                      QFileDialog::Options options)
{
    return QFileDialog::getExistingDirectory(pParent, strCaption, strDir, options);
}

QString RealSaveFile(QWidget* pParent, const QString& strCaption, const QString& strDir,
                     const QString& strFilter, const QString& strDefaultSuffix)
{
    // The static QFileDialog helper cannot take a default suffix.
    QFileDialog dialog(pParent, strCaption, strDir, strFilter);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setDefaultSuffix(strDefaultSuffix);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return QString();
    return dialog.selectedFiles().first();
}

QString RealText(QWidget* pParent, const QString& strTitle, const QString& strLabel,
                 QLineEdit::EchoMode echoMode, bool& bOk)
{
    return QInputDialog::getText(pParent, strTitle, strLabel, echoMode, QString(), &bOk);
}

int RealExec(QDialog* pDialog)
{
    return pDialog->exec();
}

CInteraction::MessageHandler g_fnMessage = RealMessage;
CInteraction::OpenFileHandler g_fnOpenFile = RealOpenFile;
CInteraction::OpenFilesHandler g_fnOpenFiles = RealOpenFiles;
CInteraction::DirectoryHandler g_fnDirectory = RealDirectory;
CInteraction::SaveFileHandler g_fnSaveFile = RealSaveFile;
CInteraction::TextHandler g_fnText = RealText;
CInteraction::ExecHandler g_fnExec = RealExec;
} // namespace

QMessageBox::StandardButton CInteraction::Message(QWidget* pParent, QMessageBox::Icon icon,
                                                  const QString& strTitle, const QString& strText,
                                                  QMessageBox::StandardButtons buttons,
                                                  QMessageBox::StandardButton defaultButton)
{
    return g_fnMessage(pParent, icon, strTitle, strText, buttons, defaultButton);
}

bool CInteraction::AskYesNo(QWidget* pParent, const QString& strText)
{
    return Message(pParent, QMessageBox::Question, QString(), strText, QMessageBox::Yes | QMessageBox::No,
                   QMessageBox::No) == QMessageBox::Yes;
}

void CInteraction::Critical(QWidget* pParent, const QString& strText)
{
    Message(pParent, QMessageBox::Critical, QString(), strText, QMessageBox::Ok, QMessageBox::Ok);
}

QString CInteraction::GetOpenFileName(QWidget* pParent, const QString& strCaption, const QString& strDir,
                                      const QString& strFilter)
{
    return g_fnOpenFile(pParent, strCaption, strDir, strFilter);
}

QStringList CInteraction::GetOpenFileNames(QWidget* pParent, const QString& strCaption, const QString& strDir,
                                           const QString& strFilter)
{
    return g_fnOpenFiles(pParent, strCaption, strDir, strFilter);
}

QString CInteraction::GetExistingDirectory(QWidget* pParent, const QString& strCaption, const QString& strDir,
                                           QFileDialog::Options options)
{
    return g_fnDirectory(pParent, strCaption, strDir, options);
}

QString CInteraction::GetSaveFileName(QWidget* pParent, const QString& strCaption, const QString& strDir,
                                      const QString& strFilter, const QString& strDefaultSuffix)
{
    return g_fnSaveFile(pParent, strCaption, strDir, strFilter, strDefaultSuffix);
}

QString CInteraction::GetText(QWidget* pParent, const QString& strTitle, const QString& strLabel,
                              QLineEdit::EchoMode echoMode, bool& bOk)
{
    bOk = false;
    return g_fnText(pParent, strTitle, strLabel, echoMode, bOk);
}

int CInteraction::Exec(QDialog* pDialog)
{
    return pDialog ? g_fnExec(pDialog) : QDialog::Rejected;
}

void CInteraction::SetMessageHandler(MessageHandler fnHandler)
{
    g_fnMessage = fnHandler ? std::move(fnHandler) : RealMessage;
}

void CInteraction::SetOpenFileHandler(OpenFileHandler fnHandler)
{
    g_fnOpenFile = fnHandler ? std::move(fnHandler) : RealOpenFile;
}

void CInteraction::SetOpenFilesHandler(OpenFilesHandler fnHandler)
{
    g_fnOpenFiles = fnHandler ? std::move(fnHandler) : RealOpenFiles;
}

void CInteraction::SetDirectoryHandler(DirectoryHandler fnHandler)
{
    g_fnDirectory = fnHandler ? std::move(fnHandler) : RealDirectory;
}

void CInteraction::SetSaveFileHandler(SaveFileHandler fnHandler)
{
    g_fnSaveFile = fnHandler ? std::move(fnHandler) : RealSaveFile;
}

void CInteraction::SetTextHandler(TextHandler fnHandler)
{
    g_fnText = fnHandler ? std::move(fnHandler) : RealText;
}

void CInteraction::SetExecHandler(ExecHandler fnHandler)
{
    g_fnExec = fnHandler ? std::move(fnHandler) : RealExec;
}

void CInteraction::ResetHandlers()
{
    g_fnMessage = RealMessage;
    g_fnOpenFile = RealOpenFile;
    g_fnOpenFiles = RealOpenFiles;
    g_fnDirectory = RealDirectory;
    g_fnSaveFile = RealSaveFile;
    g_fnText = RealText;
    g_fnExec = RealExec;
}
