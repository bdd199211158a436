// Leaks on purpose, from a slot run by the event loop of a shown widget, the
// way a leak in a view's handler would happen. CTest expects the leak checker
// to name LeakFromEventLoop: if it ever stops doing so (a suppression that
// matches the event loop, a changed unwinder), the suite fails.
#include "tests/support/TestSupport.h"

#include <QApplication>
#include <QTimer>
#include <QWidget>

namespace
{
struct SLeakCanary
{
    char szData[40];
};

SLeakCanary* volatile g_pCanary = nullptr;

Q_NEVER_INLINE void LeakFromEventLoop()
{
    g_pCanary = new SLeakCanary{};
    g_pCanary = nullptr;
}
} // namespace

int main(int argc, char* argv[])
{
    OptraTest::PrepareEnvironment();
    QApplication app(argc, argv);
    QWidget window;
    window.show();
    QTimer::singleShot(0, &app,
                       []
                       {
                           LeakFromEventLoop();
                           QApplication::quit();
                       });
    return app.exec();
}
