#include "trainer/ImageSizeCommand.h"

#include "trainer/ProjectCtrl.h"

CImageSizeCommand::CImageSizeCommand(CProjectController* pController, int nProjectID, int nImageID,
                                     const QSize& sizeOld, const Boxes& mapOld, const QSize& sizeNew,
                                     const Boxes& mapNew)
    : m_pController(pController), m_nProjectID(nProjectID), m_nImageID(nImageID), m_sizeOld(sizeOld),
      m_mapOld(mapOld), m_sizeNew(sizeNew), m_mapNew(mapNew)
{
}

void CImageSizeCommand::Apply(const QSize& size, const Boxes& mapBoxes)
{
    // Another project is open by now: its image of that ID is not this one.
    if (m_pController && m_pController->GetProjectID() == m_nProjectID)
        m_pController->ApplyImageSize(m_nImageID, size, mapBoxes);
}

void CImageSizeCommand::exec()
{
    Apply(m_sizeNew, m_mapNew);
}

void CImageSizeCommand::undo()
{
    Apply(m_sizeOld, m_mapOld);
}
