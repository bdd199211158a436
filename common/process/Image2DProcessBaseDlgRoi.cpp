// The region list of the tool window: "Whole Image" first, then the source
// view's geometry drawables by id; the chosen one stays, marked deleted,
// when its drawable goes.
#include "common/process/Image2DProcessBaseDlg.h"

#include <QComboBox>

namespace
{
const int ROLE_UID = Qt::UserRole;
const int ROLE_NAME = Qt::UserRole + 1;
const int ROLE_DELETED = Qt::UserRole + 2;

QString EntryText(const QString& strName, bool bDeleted)
{
    return bDeleted ? QStringLiteral("%1 (deleted)").arg(strName) : strName;
}
} // namespace

int CImage2DProcessBaseDlg::FindSourceROI(unsigned int uid) const
{
    return m_pSourceROI->findData(uid, ROLE_UID);
}

void CImage2DProcessBaseDlg::AppendSourceROI(const SImage2DProcessRoi& roi, bool bDeleted)
{
    m_pSourceROI->addItem(QString(), roi.uid);
    const int nIndex = m_pSourceROI->count() - 1;
    m_pSourceROI->setItemData(nIndex, roi.strName, ROLE_NAME);
    MarkSourceROI(nIndex, bDeleted);
}

void CImage2DProcessBaseDlg::MarkSourceROI(int nIndex, bool bDeleted)
{
    m_pSourceROI->setItemData(nIndex, bDeleted, ROLE_DELETED);
    m_pSourceROI->setItemText(nIndex,
                              EntryText(m_pSourceROI->itemData(nIndex, ROLE_NAME).toString(), bDeleted));
}

void CImage2DProcessBaseDlg::SetSourceROITitle(const std::vector<SImage2DProcessRoi>& vctRois)
{
    const unsigned int uidChosen = GetSourceROIID();
    const QString strChosen = GetSourceROIName();
    while (m_pSourceROI->count() > 1)
        m_pSourceROI->removeItem(m_pSourceROI->count() - 1);
    for (const SImage2DProcessRoi& roi : vctRois)
        AppendSourceROI(roi, false);
    if (uidChosen == Optra::COptraObject::INVALID_UID)
        return;
    if (FindSourceROI(uidChosen) < 0)
        AppendSourceROI({uidChosen, strChosen}, true);
    m_pSourceROI->setCurrentIndex(FindSourceROI(uidChosen));
}

void CImage2DProcessBaseDlg::ClearSourceROI()
{
    SetSourceROITitle({});
}

void CImage2DProcessBaseDlg::AddSourceROI(const SImage2DProcessRoi& roi)
{
    const int nIndex = FindSourceROI(roi.uid);
    if (nIndex < 0)
    {
        AppendSourceROI(roi, false);
        return;
    }
    m_pSourceROI->setItemData(nIndex, roi.strName, ROLE_NAME);
    MarkSourceROI(nIndex, false);
}

void CImage2DProcessBaseDlg::DeleteSourceROI(unsigned int uid)
{
    const int nIndex = FindSourceROI(uid);
    if (nIndex <= 0)
        return;
    if (nIndex == m_pSourceROI->currentIndex())
        MarkSourceROI(nIndex, true);
    else
        m_pSourceROI->removeItem(nIndex);
}

void CImage2DProcessBaseDlg::RenameSourceROI(unsigned int uid, const QString& strName)
{
    const int nIndex = FindSourceROI(uid);
    if (nIndex <= 0 || m_pSourceROI->itemData(nIndex, ROLE_NAME).toString() == strName)
        return;
    m_pSourceROI->setItemData(nIndex, strName, ROLE_NAME);
    MarkSourceROI(nIndex, m_pSourceROI->itemData(nIndex, ROLE_DELETED).toBool());
}

void CImage2DProcessBaseDlg::slot_SourceROIActivated()
{
    for (int nIndex = m_pSourceROI->count() - 1; nIndex > 0; --nIndex)
    {
        if (nIndex != m_pSourceROI->currentIndex() && m_pSourceROI->itemData(nIndex, ROLE_DELETED).toBool())
            m_pSourceROI->removeItem(nIndex);
    }
}

void CImage2DProcessBaseDlg::SetSourceROIIndex(int nIndex)
{
    m_pSourceROI->setCurrentIndex(nIndex);
    slot_SourceROIActivated();
}

int CImage2DProcessBaseDlg::GetSourceROIIndex() const
{
    return m_pSourceROI->currentIndex();
}

QString CImage2DProcessBaseDlg::GetSourceROIName() const
{
    return GetSourceROIID() == Optra::COptraObject::INVALID_UID
               ? QString()
               : m_pSourceROI->currentData(ROLE_NAME).toString();
}

unsigned int CImage2DProcessBaseDlg::GetSourceROIID() const
{
    return m_pSourceROI->currentData(ROLE_UID).toUInt();
}

bool CImage2DProcessBaseDlg::IsSourceROIDeleted() const
{
    return m_pSourceROI->currentData(ROLE_DELETED).toBool();
}

QStringList CImage2DProcessBaseDlg::GetSourceROITexts() const
{
    QStringList lstTexts;
    for (int nIndex = 0; nIndex < m_pSourceROI->count(); ++nIndex)
        lstTexts << m_pSourceROI->itemText(nIndex);
    return lstTexts;
}
