#include "common/log/Logger.h"
#include "trainer/mainwindow.h"

#include <QApplication>

#include <exception>

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    int nResult = 0;
    {
        // The window goes before the application object, also after an exception.
        MainWindow window(nullptr);
        window.ShowRestored();
        try
        {
            nResult = QApplication::exec();
            CLog::Write(ELogLevel::DEBUG, "Application is ended");
        }
        catch (const std::exception& e)
        {
            CLog::Write(ELogLevel::DEBUG, "Application error: %s", e.what());
            nResult = 0;
        }
    }
    return nResult;
}
