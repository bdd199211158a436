#pragma once

#include "common/mvc/CenterModel.h"
#include "common/view2d/ImageView2DDrawableObject.h"

#include <QPointF>
#include <QVector>

#include <memory>
#include <vector>

// The drawables of one 2D view: the committed ones (newest first) and the
// pieces of a drawing in progress with the preview piece that follows the
// mouse. Every change is announced; the view, its controller and, through
// the view manager, the project side listen. Committed drawables enter only
// through AddObject and leave through DeleteObject or ClearObject; an
// operation on a drawable that is not (or already) there changes nothing and
// emits nothing, so undo commands replayed over newer edits stay harmless.
// Owned by the view unit; no Qt parent. GUI thread.
class CGeometryModel : public CModel
{
    Q_OBJECT
public:
    using ObjectPtr = std::shared_ptr<CDrawableObject>;

    explicit CGeometryModel(QObject* pParent = nullptr);
    ~CGeometryModel() override;

    // Adds the drawable at the front, selected, and relays its property
    // changes. False (and nothing at all) for an empty pointer or a drawable
    // already in the list.
    bool AddObject(const ObjectPtr& pObject);
    // AddObject after unselecting every other drawable, so the new one is
    // the only selection; nothing at all when AddObject would refuse it.
    bool AddObjectSelected(const ObjectPtr& pObject);
    // False when the drawable is not in the list.
    bool DeleteObject(const ObjectPtr& pObject);
    bool DeleteObject(unsigned int uid);
    // Releases every committed and drawing-in-progress drawable.
    void ClearObject();
    // Moves a drawable of the list so that its boundary's (x, y) lands on
    // the point (image pixels); false and nothing for one not in the list.
    bool MoveObject(const ObjectPtr& pObject, const QPointF& ptTopLeft);
    // Moves the drawable's resize handle within dTolerance (image pixels) of
    // ptFrom to ptTo; false and nothing when the drawable is not in the list
    // or has no handle there.
    bool ResizeObject(const ObjectPtr& pObject, double dTolerance, const QPointF& ptFrom,
                      const QPointF& ptTo);
    // Announces that an edit of these drawables' geometry is complete (a
    // move or resize command ran, was undone or redone), as one signal for
    // all of them; drawables not in the list are left out, and nothing is
    // sent when none is left. Listeners that store geometry write here, not
    // on every property change a drag in progress makes.
    void CommitGeometry(const std::vector<ObjectPtr>& vctObjects);

    bool Contains(const ObjectPtr& pObject) const;
    ObjectPtr FindObject(unsigned int uid) const;
    // Empty for an index outside the list.
    ObjectPtr GetAt(int nIndex) const;
    size_t Size() const { return m_vctObjects.size(); }
    std::vector<ObjectPtr> GetObjects() const { return m_vctObjects; }

    void SetSelectedObject(unsigned int uid, bool bSelected, double dOffsetX, double dOffsetY);
    void UnSelectedAll();

    void AddObjectDrawing(const ObjectPtr& pObject);
    void ClearObjectDrawing();
    // The preview piece; it never shows its name.
    void AddObjectDrawingWaiting(const ObjectPtr& pObject);
    void ClearObjectDrawingWaiting();
    std::vector<ObjectPtr> GetObjectDrawing() const { return m_vctObjectsDrawing; }
    ObjectPtr GetObjectDrawingWaiting() const { return m_pObjectDrawingWaiting; }

signals:
    void signal_AddDrawableObject(unsigned int uid, QString name);
    void signal_BeforeDeleteDrawableObject(unsigned int uid, QString name);
    void signal_DeleteDrawableObject(unsigned int uid, QString name);
    void signal_ChangeDrawableObjectProperty(unsigned int uid);
    void signal_CommitDrawableObjectGeometry(const QVector<unsigned int>& vctUIDs);
    void signal_ChangeDrawingObject();
    void signal_ClearObject();

private:
    std::vector<ObjectPtr>::const_iterator Find(const CDrawableObject* pObject) const;
    void Relay(const ObjectPtr& pObject);
    void StopRelay(const ObjectPtr& pObject);

    std::vector<ObjectPtr> m_vctObjects;
    std::vector<ObjectPtr> m_vctObjectsDrawing;
    ObjectPtr m_pObjectDrawingWaiting;
    // Drawables whose before-delete signal is being sent.
    std::vector<ObjectPtr> m_vctDeleting;
};
