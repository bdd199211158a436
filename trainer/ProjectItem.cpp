#include "trainer/ProjectItem.h"

#include "trainer/ProjectImage.h"

CProjectItem::CProjectItem(int nType, const QIcon& icon, const QString& strText)
    : QStandardItem(icon, strText), m_nType(nType)
{
}

CProjectItem::CProjectItem(int nType, const QIcon& iconValid, const QIcon& iconInvalid)
    : m_nType(nType), m_iconValid(iconValid), m_iconInvalid(iconInvalid)
{
}

void CProjectItem::SetImage(const std::shared_ptr<CProjectImage>& pImage, int nPosition)
{
    if (pImage == m_pImage)
        return;
    QObject::disconnect(m_validation);
    m_validation = QMetaObject::Connection();
    m_pImage = pImage;
    if (!m_pImage)
        return;
    setText(QString::asprintf("[%d] %s", nPosition, m_pImage->GetName().toUtf8().constData()));
    m_validation = connect(m_pImage.get(), &CProjectImage::signal_ChangeValidation, this,
                           &CProjectItem::slot_ChangeValidation);
    slot_ChangeValidation();
}

void CProjectItem::slot_ChangeValidation()
{
    if (!m_pImage)
        return;
    setIcon(m_pImage->GetValidate() ? m_iconValid : m_iconInvalid);
}
