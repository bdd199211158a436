#pragma once

#include "common/mvc/Command.h"

#include "optra/Image.h"

#include <QPointer>

#include <memory>

class CGeometryModel;
class CImageListModel;

// Replaces the current image of a view (a rotation, a filter's result) by
// a new one; undo puts back a deep copy of the image current at
// construction, so later changes to that image's pixels cannot reach the
// history. Either way the view's drawables are cleared: their coordinates
// belong to the other image. Holds both images (see GetHeldBytes); the
// image list and geometry model are borrowed. Owned by the undo stack. GUI
// thread.
class CChangeImageCommand : public CCommand
{
public:
    using ImagePtr = std::shared_ptr<Optra::Algorithms::CImage>;

    CChangeImageCommand(CImageListModel* pImageList, CGeometryModel* pGeometryModel, ImagePtr pNewImage);

    // False when there was no current image to copy; such a command has
    // nothing to go back to and must not be pushed.
    bool IsValid() const { return m_pNewImage && !m_pPrevious->IsEmpty(); }
    // The pixel bytes this command keeps alive.
    size_t GetHeldBytes() const;

    void exec() override;
    void undo() override;

private:
    void Show(const ImagePtr& pImage);

    QPointer<CImageListModel> m_pImageList;
    QPointer<CGeometryModel> m_pGeometryModel;
    ImagePtr m_pNewImage;
    ImagePtr m_pPrevious;
};
