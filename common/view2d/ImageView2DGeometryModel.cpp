#include "common/view2d/ImageView2DGeometryModel.h"

#include "common/log/Logger.h"

#include <algorithm>

CGeometryModel::CGeometryModel(QObject* pParent) : CModel(pParent) {}

CGeometryModel::~CGeometryModel()
{
    // Drawables outlive the model in undo commands and on the project side.
    for (const ObjectPtr& pObject : m_vctObjects)
        StopRelay(pObject);
}

std::vector<CGeometryModel::ObjectPtr>::const_iterator
CGeometryModel::Find(const CDrawableObject* pObject) const
{
    return std::find_if(m_vctObjects.begin(), m_vctObjects.end(),
                        [pObject](const ObjectPtr& pEntry) { return pEntry.get() == pObject; });
}

bool CGeometryModel::Contains(const ObjectPtr& pObject) const
{
    return pObject && Find(pObject.get()) != m_vctObjects.end();
}

void CGeometryModel::Relay(const ObjectPtr& pObject)
{
    // Unique, so a drawable that came and went several times still sends
    // one notification per change.
    connect(pObject.get(), &CDrawableObject::signal_ChangeDrawableObjectProperty, this,
            &CGeometryModel::signal_ChangeDrawableObjectProperty, Qt::UniqueConnection);
}

void CGeometryModel::StopRelay(const ObjectPtr& pObject)
{
    disconnect(pObject.get(), &CDrawableObject::signal_ChangeDrawableObjectProperty, this,
               &CGeometryModel::signal_ChangeDrawableObjectProperty);
}

bool CGeometryModel::AddObject(const ObjectPtr& pObject)
{
    if (!pObject || Contains(pObject))
        return false;
    m_vctObjects.insert(m_vctObjects.begin(), pObject);
    pObject->SetSelected(true);
    pObject->SetMouseOffset(QPointF(0, 0));
    Relay(pObject);
    CLog::Write(ELogLevel::DEBUG, "AddObject(%u)", pObject->GetUID());
    emit signal_AddDrawableObject(pObject->GetUID(), pObject->GetName());
    return true;
}

bool CGeometryModel::AddObjectSelected(const ObjectPtr& pObject)
{
    if (!pObject || Contains(pObject))
        return false;
    UnSelectedAll();
    return AddObject(pObject);
}

bool CGeometryModel::DeleteObject(const ObjectPtr& pObject)
{
    // A listener of the before-delete signal that deletes the same drawable
    // again is answered by the delete already under way.
    if (!Contains(pObject) ||
        std::find(m_vctDeleting.begin(), m_vctDeleting.end(), pObject) != m_vctDeleting.end())
        return false;
    // Held here: a listener of the signals below may drop the last other
    // reference.
    const ObjectPtr pKeep = pObject;
    const unsigned int uid = pKeep->GetUID();
    const QString strName = pKeep->GetName();
    m_vctDeleting.push_back(pKeep);
    emit signal_BeforeDeleteDrawableObject(uid, strName);
    m_vctDeleting.erase(std::find(m_vctDeleting.begin(), m_vctDeleting.end(), pKeep));
    // A listener may have cleared the list meanwhile; that was announced.
    const auto it = Find(pKeep.get());
    if (it == m_vctObjects.end())
        return true;
    m_vctObjects.erase(it);
    StopRelay(pKeep);
    CLog::Write(ELogLevel::DEBUG, "DeleteObject(%u)", uid);
    emit signal_DeleteDrawableObject(uid, strName);
    return true;
}

bool CGeometryModel::DeleteObject(unsigned int uid)
{
    return DeleteObject(FindObject(uid));
}

void CGeometryModel::ClearObject()
{
    // Released drawables may come back through undo; they must not reach
    // this model's listeners while they are out.
    for (const ObjectPtr& pObject : m_vctObjects)
        StopRelay(pObject);
    m_vctObjects.clear();
    m_vctObjectsDrawing.clear();
    emit signal_ClearObject();
}

bool CGeometryModel::MoveObject(const ObjectPtr& pObject, const QPointF& ptTopLeft)
{
    if (!Contains(pObject))
        return false;
    pObject->MoveTopLeftTo(ptTopLeft);
    return true;
}

bool CGeometryModel::ResizeObject(const ObjectPtr& pObject, double dTolerance, const QPointF& ptFrom,
                                  const QPointF& ptTo)
{
    QPointF ptHandle;
    if (!Contains(pObject) || !pObject->FindResizePoint(dTolerance, ptFrom, ptHandle))
        return false;
    pObject->MoveResizePoint(ptHandle, ptTo);
    return true;
}

void CGeometryModel::CommitGeometry(const std::vector<ObjectPtr>& vctObjects)
{
    QVector<unsigned int> vctUIDs;
    for (const ObjectPtr& pObject : vctObjects)
    {
        if (Contains(pObject))
            vctUIDs.push_back(pObject->GetUID());
    }
    if (!vctUIDs.isEmpty())
        emit signal_CommitDrawableObjectGeometry(vctUIDs);
}

CGeometryModel::ObjectPtr CGeometryModel::FindObject(unsigned int uid) const
{
    const auto it = std::find_if(m_vctObjects.begin(), m_vctObjects.end(),
                                 [uid](const ObjectPtr& pEntry) { return pEntry->GetUID() == uid; });
    return it == m_vctObjects.end() ? nullptr : *it;
}

CGeometryModel::ObjectPtr CGeometryModel::GetAt(int nIndex) const
{
    if (nIndex < 0 || size_t(nIndex) >= m_vctObjects.size())
        return nullptr;
    return m_vctObjects[size_t(nIndex)];
}

void CGeometryModel::SetSelectedObject(unsigned int uid, bool bSelected, double dOffsetX, double dOffsetY)
{
    const ObjectPtr pObject = FindObject(uid);
    if (!pObject)
        return;
    pObject->SetSelected(bSelected);
    pObject->SetMouseOffset(QPointF(dOffsetX, dOffsetY));
    CLog::Write(ELogLevel::DEBUG, "SetSelectedObject(%u, %d, %f, %f)", uid, int(bSelected), dOffsetX,
                dOffsetY);
}

void CGeometryModel::UnSelectedAll()
{
    // A copy: a listener of the property signal may change the list.
    for (const ObjectPtr& pObject : GetObjects())
        pObject->SetSelected(false);
}

void CGeometryModel::AddObjectDrawing(const ObjectPtr& pObject)
{
    if (!pObject)
        return;
    m_vctObjectsDrawing.push_back(pObject);
    CLog::Write(ELogLevel::DEBUG, "Add Object %u", pObject->GetUID());
    emit signal_ChangeDrawingObject();
}

void CGeometryModel::ClearObjectDrawing()
{
    m_vctObjectsDrawing.clear();
    CLog::Write(ELogLevel::DEBUG, "Clear Object");
    emit signal_ChangeDrawingObject();
}

void CGeometryModel::AddObjectDrawingWaiting(const ObjectPtr& pObject)
{
    if (!pObject || pObject == m_pObjectDrawingWaiting)
        return;
    m_pObjectDrawingWaiting = pObject;
    pObject->SetDisplayName(false);
    CLog::Write(ELogLevel::DEBUG, "Add Object Waiting %u", pObject->GetUID());
    emit signal_ChangeDrawingObject();
}

void CGeometryModel::ClearObjectDrawingWaiting()
{
    m_pObjectDrawingWaiting.reset();
    CLog::Write(ELogLevel::DEBUG, "Clear Object Waiting ");
    emit signal_ChangeDrawingObject();
}
