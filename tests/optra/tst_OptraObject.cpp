#include "optra/OptraObject.h"
#include "tests/support/TestSupport.h"

#include <cmath>
#include <limits>
#include <set>
#include <thread>
#include <vector>

using Optra::COptraObject;

namespace
{
class CThing : public COptraObject
{
};
} // namespace

class TestOptraObject : public QObject
{
    Q_OBJECT

private slots:
    void idsAreUniqueAcrossThreads()
    {
        constexpr int PER_THREAD = 20000;
        std::vector<uint32_t> vctFirst;
        std::vector<uint32_t> vctSecond;
        auto make = [](std::vector<uint32_t>& vctIds)
        {
            for (int i = 0; i < PER_THREAD; ++i)
                vctIds.push_back(CThing().GetUID());
        };
        std::thread first(make, std::ref(vctFirst));
        std::thread second(make, std::ref(vctSecond));
        first.join();
        second.join();
        std::set<uint32_t> setIds(vctFirst.begin(), vctFirst.end());
        setIds.insert(vctSecond.begin(), vctSecond.end());
        QCOMPARE(setIds.size(), size_t(2 * PER_THREAD));
        QVERIFY(setIds.count(COptraObject::INVALID_UID) == 0);
    }

    void copiesGetTheirOwnIdAndAssignmentKeepsIt()
    {
        const CThing original;
        const CThing copy(original);
        QVERIFY(copy.GetUID() != original.GetUID());
        CThing target;
        const uint32_t nTargetId = target.GetUID();
        target = original;
        QCOMPARE(target.GetUID(), nTargetId);
    }

    void compareEqualDoubles_data()
    {
        QTest::addColumn<double>("a");
        QTest::addColumn<double>("b");
        QTest::addColumn<bool>("equal");
        QTest::newRow("identical") << 12.5 << 12.5 << true;
        QTest::newRow("rounding of a sum") << 0.1 + 0.2 << 0.3 << true;
        QTest::newRow("relative in large values") << 1e12 << 1e12 + 1e-1 << true;
        QTest::newRow("one pixel apart") << 100.0 << 101.0 << false;
        QTest::newRow("near zero") << 0.0 << 1e-13 << true;
        QTest::newRow("small but distinct") << 1e-6 << 2e-6 << false;
        QTest::newRow("signs differ") << 1e-3 << -1e-3 << false;
        QTest::newRow("nan never equal") << std::nan("") << std::nan("") << false;
        QTest::newRow("same infinity")
            << std::numeric_limits<double>::infinity() << std::numeric_limits<double>::infinity() << true;
    }

    void compareEqualDoubles()
    {
        QFETCH(double, a);
        QFETCH(double, b);
        QFETCH(bool, equal);
        QCOMPARE(COptraObject::CompareEqual(a, b), equal);
        QCOMPARE(COptraObject::CompareEqual(b, a), equal);
    }

    void compareEqualFloats_data()
    {
        QTest::addColumn<float>("a");
        QTest::addColumn<float>("b");
        QTest::addColumn<bool>("equal");
        QTest::newRow("identical") << -73.0f << -73.0f << true;
        QTest::newRow("float rounding") << 0.1f * 3 << 0.3f << true;
        QTest::newRow("a tenth apart") << 22.0f << 22.1f << false;
        QTest::newRow("near zero") << 0.0f << 1e-7f << true;
    }

    void compareEqualFloats()
    {
        QFETCH(float, a);
        QFETCH(float, b);
        QFETCH(bool, equal);
        QCOMPARE(COptraObject::CompareEqual(a, b), equal);
    }
};

OPTRA_TEST_MAIN(TestOptraObject)
#include "tst_OptraObject.moc"
