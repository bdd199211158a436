#include "optra/OptraObject.h"

#include <algorithm>
#include <atomic>
#include <cmath>

namespace Optra
{

namespace
{
std::atomic<uint32_t> g_nNextUID{0};

template <typename T>
bool CompareTolerant(T a, T b, T relative, T absolute)
{
    if (std::isnan(a) || std::isnan(b))
        return false;
    if (a == b)
        return true;
    const T diff = std::fabs(a - b);
    if (diff <= absolute)
        return true;
    return diff <= relative * std::max(std::fabs(a), std::fabs(b));
}
} // namespace

COptraObject::COptraObject() : m_nUID(NextUID()) {}

COptraObject::COptraObject(const COptraObject&) : m_nUID(NextUID()) {}

COptraObject& COptraObject::operator=(const COptraObject&)
{
    // An object keeps its identity when it is assigned another one's content.
    return *this;
}

COptraObject::~COptraObject() = default;

uint32_t COptraObject::NextUID()
{
    for (;;)
    {
        const uint32_t nUID = g_nNextUID.fetch_add(1, std::memory_order_relaxed);
        if (nUID != INVALID_UID)
            return nUID;
    }
}

bool COptraObject::CompareEqual(double a, double b)
{
    return CompareTolerant(a, b, 1e-9, 1e-12);
}

bool COptraObject::CompareEqual(float a, float b)
{
    return CompareTolerant(a, b, 1e-5f, 1e-6f);
}

} // namespace Optra
