#pragma once

#include <cstdint>

namespace Optra
{

// Base of every object of the imaging layer that needs an identity (images,
// shapes, drawables). Each instance, copies included, gets its own id; the
// value 0xFFFFFFFF is reserved to mean "none" and is never handed out.
// Ids are drawn from one process-wide counter and are safe to create on any thread.
class COptraObject
{
public:
    static constexpr uint32_t INVALID_UID = 0xFFFFFFFFu;

    COptraObject();
    COptraObject(const COptraObject& other);
    COptraObject& operator=(const COptraObject& other);
    virtual ~COptraObject();

    uint32_t GetUID() const { return m_nUID; }

    // Tolerant equality: equal within a small relative tolerance, or both
    // within an absolute epsilon of zero. NaN never compares equal.
    static bool CompareEqual(double a, double b);
    static bool CompareEqual(float a, float b);

private:
    static uint32_t NextUID();

    uint32_t m_nUID;
};

} // namespace Optra
