#pragma once

#include "common/view3d/ImageView3DModel.h"

#include <QRunnable>

// One mesh build of a 3D model, run by Qt's global thread pool and deleted
// by it. Created on the model's thread with the image to build, which it
// takes from the view's image list there, so the pool thread never reads
// the list. Holds a ticket of the model from construction to destruction,
// so the model outlives it even when the pool drops it unrun.
class CInternalRunnable : public QRunnable
{
public:
    CInternalRunnable(CImageView3DModel* pModel, CImageView3DModel::ImagePtr pImage);
    ~CInternalRunnable() override;
    CInternalRunnable(const CInternalRunnable&) = delete;
    CInternalRunnable& operator=(const CInternalRunnable&) = delete;

    void run() override;

private:
    CImageView3DModel* m_pModel;
    CImageView3DModel::ImagePtr m_pImage;
    uint64_t m_nTicket = 0;
};
