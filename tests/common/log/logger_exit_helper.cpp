// Logs N numbered messages into the folder given and returns at once, without
// running an event loop: the messages can only reach the file through the
// logger's shutdown path. Usage: logger_exit_helper <log dir> <count> [noapp]
#include "common/log/Logger.h"
#include "common/setting/SettingManager.h"

#include <QCoreApplication>
#include <QString>

#include <cstdlib>
#include <cstring>
#include <memory>

int main(int argc, char* argv[])
{
    if (argc < 3)
        return 2;
    const bool bWithApp = argc < 4 || std::strcmp(argv[3], "noapp") != 0;
    std::unique_ptr<QCoreApplication> pApp;
    if (bWithApp)
        pApp = std::make_unique<QCoreApplication>(argc, argv);
    CSetting::Set("GENERAL_LOG_DIR", QString::fromLocal8Bit(argv[1]));
    const int nCount = std::atoi(argv[2]);
    for (int i = 0; i < nCount; ++i)
        CLog::Write(ELogLevel::NORMAL, "exit message %d", i);
    return 0;
}
