#pragma once

#include "optra/Image.h"
#include "optra/geometry/Shape.h"

#include <QMetaEnum>
#include <QString>
#include <QStringList>

#include <memory>
#include <vector>

class CDrawableObject;

// One region a tool can run on: a geometry drawable of the source view,
// known by its id (names repeat: every box of one class has its name).
struct SImage2DProcessRoi
{
    unsigned int uid = 0;
    QString strName;
};

// What the image tools share that needs no widget: the regions a view
// offers, the region of a run, the working copy of the source image, and
// the key names of the tools' registered enumerations. Stateless. Any
// thread, as long as the drawables are not changed meanwhile.
class CImage2DProcessBase
{
public:
    using ObjectPtr = std::shared_ptr<CDrawableObject>;
    using ImagePtr = std::shared_ptr<Optra::Algorithms::CImage>;
    using ShapePtr = std::shared_ptr<Optra::Geometry::CShape>;

    // The geometry drawables (measuring lines and other kinds excluded),
    // oldest first, as they were drawn: the order in which a list kept up
    // to date by additions has them. vctObjects is the geometry model's
    // list, which holds the newest first.
    static std::vector<SImage2DProcessRoi> CollectRois(const std::vector<ObjectPtr>& vctObjects);
    // The shape of the geometry drawable with that id; empty when there is
    // none (or it has no shape).
    static ShapePtr FindRegion(const std::vector<ObjectPtr>& vctObjects, unsigned int uid);
    // A deep copy to run a filter on; empty when the source is empty or the
    // copy fails.
    static ImagePtr CopyImage(const Optra::Algorithms::CImage& source);
    // Why a filter or the OCR engine failed, for the user.
    static QString DescribeResult(int nResult);

    // The key names of a registered enumeration, in declaration order.
    template <typename E>
    static QStringList EnumKeys()
    {
        const QMetaEnum metaEnum = QMetaEnum::fromType<E>();
        QStringList lstKeys;
        for (int i = 0; i < metaEnum.keyCount(); ++i)
            lstKeys << QString::fromLatin1(metaEnum.key(i));
        return lstKeys;
    }
    // Empty for a value outside the enumeration.
    template <typename E>
    static QString EnumKey(int nValue)
    {
        return QString::fromLatin1(QMetaEnum::fromType<E>().valueToKey(nValue));
    }
    // -1 for a text that is not a key.
    template <typename E>
    static int EnumValue(const QString& strKey)
    {
        bool bOk = false;
        const int nValue = QMetaEnum::fromType<E>().keyToValue(strKey.toLatin1().constData(), &bOk);
        return bOk ? nValue : -1;
    }
};
