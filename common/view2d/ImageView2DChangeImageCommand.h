#pragma once

#include "common/mvc/Command.h"

#include "optra/Image.h"

#include <QPointer>

#include <memory>
#include <vector>

class CDrawableObject;
class CGeometryModel;
class CImageListModel;

// Replaces the current image of a view (a rotation, a filter's result) by
// a new one; undo puts back the very image object that was current at
// construction (images in a view's list are never changed in place), so
// whoever knows that image by its id (the project side) finds it again.
// The drawables go with their image: each direction takes away those of
// the image it leaves and brings back those the other image had when it
// was left. Undo brings them back before the earlier image shows again, so
// a host that knows that image finds them there when it hears of it; a
// forward run brings them after the new image is announced, so nothing
// drawn on the new image is ever taken for a drawing on the earlier one. Holds both images (see GetHeldBytes)
// and those drawables; the image list and geometry model are borrowed. Owned by the undo stack. GUI thread.
class CChangeImageCommand : public CCommand
{
public:
    using ImagePtr = std::shared_ptr<Optra::Algorithms::CImage>;

    CChangeImageCommand(CImageListModel* pImageList, CGeometryModel* pGeometryModel, ImagePtr pNewImage);

    // False when there was no current image to copy; such a command has
    // nothing to go back to and must not be pushed.
    bool IsValid() const { return m_pNewImage && m_pPrevious && !m_pPrevious->IsEmpty(); }
    // The pixel bytes this command keeps alive.
    size_t GetHeldBytes() const;

    void exec() override;
    void undo() override;

private:
    using Drawables = std::vector<std::shared_ptr<CDrawableObject>>;

    // Leaves the current image with its drawables in vctLeft and shows
    // pImage with vctBack, brought back before or after the image changes.
    void Show(const ImagePtr& pImage, Drawables& vctLeft, const Drawables& vctBack, bool bDrawablesFirst);
    void AddBack(const Drawables& vctBack);

    QPointer<CImageListModel> m_pImageList;
    QPointer<CGeometryModel> m_pGeometryModel;
    ImagePtr m_pNewImage;
    ImagePtr m_pPrevious;
    Drawables m_vctPreviousDrawables;
    Drawables m_vctNewDrawables;
};
