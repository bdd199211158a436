#include "trainer/AboutDlg.h"

#include "common/setting/SettingManager.h"

#include <QLabel>
#include <QVBoxLayout>

namespace
{
const char* const CONTACT_LINE = "Contact: optratrainer@example.org";
}

CAboutView::CAboutView(QWidget* pParent) : QDialog(pParent)
{
    setWindowTitle(QStringLiteral("About"));
    auto* pLayout = new QVBoxLayout(this);
    pLayout->setContentsMargins(20, 20, 20, 20);

    const QString strName =
        CSetting::GetString(QStringLiteral("GENERAL_PROGRAME_NAME"), QStringLiteral("Name"));
    const QString strVersion =
        CSetting::GetString(QStringLiteral("GENERAL_PROGRAME_VERSION"), QStringLiteral("Version"));
    pLayout->addWidget(new QLabel(
        QString::asprintf("%s v%s", strName.toUtf8().constData(), strVersion.toUtf8().constData()), this));
    pLayout->addWidget(new QLabel(QString::fromLatin1(CONTACT_LINE), this));
}
