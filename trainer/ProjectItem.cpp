#include "trainer/ProjectItem.h"

#include "trainer/ProjectImage.h"

#include <QLocale>
#include <QTimer>

CProjectItem::CProjectItem(int nType, const QIcon& icon, const QString& strText)
    : QStandardItem(icon, strText), m_nType(nType), m_strLabel(strText)
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
    if (auto* pGroup = dynamic_cast<CProjectItem*>(QStandardItem::parent()))
        pGroup->ScheduleValidCount();
}

void CProjectItem::ScheduleValidCount()
{
    if (m_bCountPending)
        return;
    m_bCountPending = true;
    QTimer::singleShot(0, this, &CProjectItem::UpdateValidCount);
}

void CProjectItem::UpdateValidCount()
{
    m_bCountPending = false;
    int nValid = 0;
    for (int nRow = 0; nRow < rowCount(); ++nRow)
    {
        const auto* pItem = dynamic_cast<const CProjectItem*>(child(nRow));
        if (pItem && pItem->GetImage() && pItem->GetImage()->GetValidate())
            ++nValid;
    }
    // With separators, as people read large counts: "(1,234 / 1,500)".
    const QLocale numbers(QLocale::English, QLocale::UnitedStates);
    const QString strText =
        rowCount() == 0 ? m_strLabel
                        : QStringLiteral("%1 (%2 / %3)")
                              .arg(m_strLabel, numbers.toString(nValid), numbers.toString(rowCount()));
    if (text() != strText)
        setText(strText);
}
