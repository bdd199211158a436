#pragma once

#include "optra/OptraObject.h"

#include <cstdint>
#include <memory>

namespace Optra::Algorithms
{
class CImage;
}

namespace Optra::Geometry
{

class CPoint;
class CPointSet;
class CRectangle;

// Type codes of the shapes; stored and compared as plain integers by callers.
enum EShapeType : int
{
    EShapeType_Point = 0,
    EShapeType_Line = 1,
    EShapeType_Rectangle = 2,
    EShapeType_Circle = 3,
    EShapeType_Ellipse = 4,
    EShapeType_Polygon = 6,
    EShapeType_GeometryArray = 7,
};

// Base of the geometry primitives. Coordinates are image pixels as double,
// origin at the image's top-left corner, y growing downwards. Shapes are
// plain values owned by whoever holds them (usually a std::shared_ptr);
// containers own their elements through shared pointers. Not synchronised.
class CShape : public COptraObject
{
public:
    ~CShape() override;

    virtual EShapeType GetType() const = 0;
    // Whether the point belongs to the shape: inside or on the outline of
    // an area (rectangle, ellipse, polygon), on a line, or at a point, all
    // within a tolerance of 1e-9 pixels.
    virtual bool Contained(const CPoint& point) const = 0;
    // Moves the shape so that its boundary's (x, y) lands on the point.
    virtual void MoveTopLeftTo(const CPoint& point);
    virtual void Translate(double dDx, double dDy) = 0;
    // Rectangles and ellipses report their box as stored, negative sizes
    // included; every other shape reports its extent with x, y the minimum
    // corner and non-negative sizes.
    virtual CRectangle GetBoundary() const = 0;
    // Deep copies duplicate contained shapes; shallow copies share them.
    // For shapes without children both are the same full copy.
    virtual std::shared_ptr<CShape> CopyDeep() const = 0;
    virtual std::shared_ptr<CShape> CopyShallow() const = 0;
    // Distance from the point to the nearest point of the outline (the
    // point itself, the segment, the edges, the curve); also measured to
    // the outline for points inside an area. Infinite for an empty shape.
    virtual double GetOrthogonalDistance(const CPoint& point) const = 0;
    // Whether the two shapes share at least one point, areas counting with
    // their inside. Ellipses are approximated by 64-sided polygons.
    virtual bool Intersect(const CShape& other) const;
    // Clears both sets and fills them with the outline as CLine edges and
    // the handles a user drags as CPoint elements: a point's is itself, a
    // line's its start and end, a rectangle's and an ellipse's the box
    // corners top-left, top-right, bottom-right, bottom-left, a polygon's its
    // vertices in order. Returns 0, or EOptraResult_EmptyRegion for a shape
    // without points.
    virtual int Segmentize(CPointSet& edges, CPointSet& handles) const = 0;
    // Writes nValue into every sample of each image pixel whose centre lies
    // in the shape or closer than half a pixel to its outline, so lines and
    // points mark the pixels they pass through. Returns 0 or an EOptraResult.
    virtual int Rasterize(Algorithms::CImage& image, uint8_t nValue = 255) const;

protected:
    CShape() = default;
    CShape(const CShape&) = default;
    CShape& operator=(const CShape&) = default;
};

} // namespace Optra::Geometry
