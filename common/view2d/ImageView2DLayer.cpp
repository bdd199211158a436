#include "common/view2d/ImageView2DLayer.h"

#include "common/view2d/ImageView2DGeometryModel.h"

CLayerDrawing::CLayerDrawing(int nId, QWidget* pParent) : CGeometryLayer(pParent), m_nId(nId)
{
    setWindowFlags(Qt::FramelessWindowHint);
    setAttribute(Qt::WA_NoSystemBackground);
    setAttribute(Qt::WA_TranslucentBackground);
    setAttribute(Qt::WA_TransparentForMouseEvents);
}

void CLayerDrawing::SetGeometryModel(CGeometryModel* pModel)
{
    if (m_pGeometryModel)
        disconnect(m_pGeometryModel, nullptr, this, nullptr);
    m_pGeometryModel = pModel;
    if (!pModel)
        return;
    connect(pModel, &CGeometryModel::signal_ChangeDrawingObject, this,
            &CLayerDrawing::slot_ChangeDrawingObject);
    connect(pModel, &CGeometryModel::signal_AddDrawableObject, this,
            &CLayerDrawing::slot_ChangeDrawingObject);
    connect(pModel, &CGeometryModel::signal_DeleteDrawableObject, this,
            &CLayerDrawing::slot_ChangeDrawingObject);
}

void CLayerDrawing::slot_ChangeDrawingObject()
{
    Clear();
    if (!m_pGeometryModel)
        return;
    for (const ObjectPtr& pObject : m_pGeometryModel->GetObjectDrawing())
        DrawObject(pObject);
    DrawObject(m_pGeometryModel->GetObjectDrawingWaiting());
}
