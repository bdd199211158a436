#pragma once

#include <QFileDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QString>
#include <QStringList>

#include <functional>

class QDialog;
class QWidget;

// The one seam through which the program asks the user something: message
// boxes, native file dialogs and modal dialog runs. Tests replace the handlers
// so nothing blocks; the program uses the defaults, which call Qt directly.
// GUI thread only.
class CInteraction
{
public:
    using MessageHandler = std::function<QMessageBox::StandardButton(
        QWidget* pParent, QMessageBox::Icon icon, const QString& strTitle, const QString& strText,
        QMessageBox::StandardButtons buttons, QMessageBox::StandardButton defaultButton)>;
    using OpenFileHandler = std::function<QString(QWidget* pParent, const QString& strCaption,
                                                  const QString& strDir, const QString& strFilter)>;
    using OpenFilesHandler = std::function<QStringList(QWidget* pParent, const QString& strCaption,
                                                       const QString& strDir, const QString& strFilter)>;
    using DirectoryHandler = std::function<QString(QWidget* pParent, const QString& strCaption,
                                                   const QString& strDir, QFileDialog::Options options)>;
    using SaveFileHandler =
        std::function<QString(QWidget* pParent, const QString& strCaption, const QString& strDir,
                              const QString& strFilter, const QString& strDefaultSuffix)>;
    // Returns the text entered; bOk false when the user cancelled.
    using TextHandler =
        std::function<QString(QWidget* pParent, const QString& strTitle, const QString& strLabel,
                              QLineEdit::EchoMode echoMode, bool& bOk)>;
    using ExecHandler = std::function<int(QDialog* pDialog)>;

    static QMessageBox::StandardButton
    Message(QWidget* pParent, QMessageBox::Icon icon, const QString& strTitle, const QString& strText,
            QMessageBox::StandardButtons buttons = QMessageBox::Ok,
            QMessageBox::StandardButton defaultButton = QMessageBox::NoButton);
    // Yes/No question with No as default; true only for Yes.
    static bool AskYesNo(QWidget* pParent, const QString& strText);
    static void Critical(QWidget* pParent, const QString& strText);

    static QString GetOpenFileName(QWidget* pParent, const QString& strCaption, const QString& strDir,
                                   const QString& strFilter);
    static QStringList GetOpenFileNames(QWidget* pParent, const QString& strCaption, const QString& strDir,
                                        const QString& strFilter);
    static QString GetExistingDirectory(QWidget* pParent, const QString& strCaption, const QString& strDir,
                                        QFileDialog::Options options);
    // A save dialog; the default suffix is appended to a name typed without
    // one. Empty when cancelled.
    static QString GetSaveFileName(QWidget* pParent, const QString& strCaption, const QString& strDir,
                                   const QString& strFilter, const QString& strDefaultSuffix);
    // One line of text (a password with QLineEdit::Password); bOk false when
    // the user cancelled.
    static QString GetText(QWidget* pParent, const QString& strTitle, const QString& strLabel,
                           QLineEdit::EchoMode echoMode, bool& bOk);
    // Runs a modal dialog and returns its result code.
    static int Exec(QDialog* pDialog);

    static void SetMessageHandler(MessageHandler fnHandler);
    static void SetOpenFileHandler(OpenFileHandler fnHandler);
    static void SetOpenFilesHandler(OpenFilesHandler fnHandler);
    static void SetDirectoryHandler(DirectoryHandler fnHandler);
    static void SetSaveFileHandler(SaveFileHandler fnHandler);
    static void SetTextHandler(TextHandler fnHandler);
    static void SetExecHandler(ExecHandler fnHandler);
    // Back to the real dialogs.
    static void ResetHandlers();
};
