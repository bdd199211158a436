#pragma once

#include "common/log/LogModel.h"
#include "common/mvc/Interaction.h"

#include <QApplication>
#include <QDialog>
#include <QImage>
#include <QObject>
#include <QSqlDatabase>
#include <QString>
#include <QtTest>

#include <functional>
#include <list>
#include <vector>

namespace OptraTest
{

// Points HOME and the XDG folders at a fresh temporary folder (removed at
// exit) and turns on QStandardPaths' test mode, so no test touches the real
// home. Must run before the QApplication is created.
void PrepareEnvironment();
// The temporary home of this test process.
QString HomeDir();
// Makes connection typos fatal: Qt's "QObject::connect" warnings abort the
// test; also installs the non-blocking dialogs below.
void InstallMessageGuard();
// Every message box is answered with its default button (and warned about),
// file dialogs and text prompts are cancelled and modal dialogs rejected at once, so no test
// can hang on a dialog it did not expect. Tests install their own handlers
// for the dialogs they drive.
void InstallNonBlockingDialogs();

// The bytes of a file; empty when it cannot be read.
QByteArray ReadBytes(const QString& strPath);
// A JPEG of the image with an EXIF block holding only the orientation tag
// (1 to 8), as a phone writes it; the pixels stay as given.
QByteArray JpegWithOrientation(const QImage& image, int nOrientation);
// The name of a new, unused Qt SQL connection.
QString NewConnectionName();

// Runs fnUse with a connection of its own to an SQLite file, so tests look at
// what is on disk independently of the program's connections.
template <typename Fn>
void WithSqliteFile(const QString& strPath, Fn fnUse)
{
    const QString strName = NewConnectionName();
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), strName);
        db.setDatabaseName(strPath);
        db.open();
        fnUse(db);
    }
    QSqlDatabase::removeDatabase(strName);
}

// Records every log message that the logger hands out while it lives.
class CLogCapture : public QObject
{
    Q_OBJECT
public:
    CLogCapture();

    // Drains the logger's queue now, so recent Write calls are recorded.
    void Flush();
    void Clear() { m_vctMessages.clear(); }
    const std::vector<SLogMessage>& Messages() const { return m_vctMessages; }
    bool Contains(ELogLevel level, const QString& strText) const;
    int Count(ELogLevel level, const QString& strText) const;
    QStringList Texts() const;

private:
    std::vector<SLogMessage> m_vctMessages;
};

// Answers every message box through the interaction seam and remembers what
// was asked. Restores the real dialogs when it goes.
class CMessageRecorder
{
public:
    struct SMessage
    {
        QMessageBox::Icon icon;
        QString strText;
    };

    explicit CMessageRecorder(QMessageBox::StandardButton answer = QMessageBox::Ok);
    ~CMessageRecorder();

    void SetAnswer(QMessageBox::StandardButton answer) { m_answer = answer; }
    const std::vector<SMessage>& Messages() const { return m_vctMessages; }
    QStringList Texts() const;
    void Clear() { m_vctMessages.clear(); }

private:
    QMessageBox::StandardButton m_answer;
    std::vector<SMessage> m_vctMessages;
};

} // namespace OptraTest

// Like QTEST_MAIN, with the private home prepared before the application exists.
#define OPTRA_TEST_MAIN(TestObject)                                                                          \
    int main(int argc, char* argv[])                                                                         \
    {                                                                                                        \
        OptraTest::PrepareEnvironment();                                                                     \
        QApplication app(argc, argv);                                                                        \
        app.setAttribute(Qt::AA_Use96Dpi, true);                                                             \
        OptraTest::InstallMessageGuard();                                                                    \
        TestObject testObject;                                                                               \
        return QTest::qExec(&testObject, argc, argv);                                                        \
    }

namespace OptraTest
{

// Answers modal dialog runs (CInteraction::Exec) with scripted steps, one per
// run, in order: each step gets the dialog shown on screen, acts on it like a
// user and returns the dialog's result. Runs nobody scripted are rejected and
// counted. Restores the non-blocking defaults when it goes.
class CDialogScript
{
public:
    using Step = std::function<int(QDialog*)>;

    CDialogScript();
    ~CDialogScript();

    void Then(Step fnStep) { m_lstSteps.push_back(std::move(fnStep)); }
    int Unexpected() const { return m_nUnexpected; }
    bool Done() const { return m_lstSteps.empty(); }

private:
    std::list<Step> m_lstSteps;
    int m_nUnexpected = 0;
};

} // namespace OptraTest
