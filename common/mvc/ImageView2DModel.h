#pragma once

#include "optra/Image.h"

#include <QObject>
#include <QPointF>

#include <memory>
#include <vector>

// The images loaded into one image view, which of them is current, and the
// last mouse position over the image (image pixels). The one place that
// decides which image of a view is current; the 2D view, its controller,
// the frame and the 3D side react to its signals and query it. Owned by the
// view unit; images are shared with whoever displays them. GUI thread.
class CImageListModel : public QObject
{
    Q_OBJECT
public:
    using ImagePtr = std::shared_ptr<Optra::Algorithms::CImage>;

    explicit CImageListModel(QObject* pParent = nullptr);
    CImageListModel(const CImageListModel&) = delete;
    CImageListModel& operator=(const CImageListModel&) = delete;
    ~CImageListModel() override;

    // -1 after the last image was closed.
    int GetCurrentIndex() const { return m_nCurrentIndex; }
    size_t GetImageCount() const { return m_vctImages.size(); }
    // Empty for an index outside the list.
    ImagePtr GetImage(int nIndex) const;
    ImagePtr GetCurrentImage() const { return GetImage(m_nCurrentIndex); }
    QPointF GetMousePosition() const { return m_ptMousePosition; }

    // Appends the image and makes it current.
    void PushImage(ImagePtr pImage);
    // Replaces the whole list; the first image becomes current.
    void SetImages(const std::vector<ImagePtr>& vctImages);
    // Replaces one entry; ignored for an index outside the list.
    void SetImage(ImagePtr pImage, int nIndex);
    // Replaces the current image; with no current image the list becomes
    // exactly [image] and that image is current.
    void SetCurrentImage(ImagePtr pImage);
    void SetCurrentIndex(int nIndex);
    void Next();
    void Previous();
    void Clear();
    // Removes the current image; the next one becomes current, or the
    // previous one when it was the last (-1 when it was the only one).
    void CloseCurrentImage();
    // Stores the position unless it equals the stored one within Qt's fuzzy
    // point comparison.
    void SetMousePosition(QPointF ptPosition);

signals:
    void signal_ChangeImageList();
    void signal_ChangeCurrentIndex();
    void signal_ChangeCurrentImage();
    void signal_MousePositionChanged();

private:
    bool IsInside(int nIndex) const;

    std::vector<ImagePtr> m_vctImages;
    int m_nCurrentIndex = 0;
    QPointF m_ptMousePosition;
};
