#pragma once

#include "common/mvc/Command.h"

#include <QPointer>
#include <QRectF>
#include <QSize>

#include <map>

class CProjectController;

// Accepting the new size of a replaced image file as one undo step of the
// view showing it: the image's size and its boxes go to the new values,
// and back on undo. A run the project cannot store is withdrawn by the
// controller. Borrows the controller; owned by the view's undo stack. GUI
// thread.
class CImageSizeCommand : public CCommand
{
public:
    using Boxes = std::map<int, QRectF>;

    CImageSizeCommand(CProjectController* pController, int nProjectID, int nImageID, const QSize& sizeOld,
                      const Boxes& mapOld, const QSize& sizeNew, const Boxes& mapNew);

    void exec() override;
    void undo() override;

private:
    void Apply(const QSize& size, const Boxes& mapBoxes);

    QPointer<CProjectController> m_pController;
    int m_nProjectID;
    int m_nImageID;
    QSize m_sizeOld;
    Boxes m_mapOld;
    QSize m_sizeNew;
    Boxes m_mapNew;
};
