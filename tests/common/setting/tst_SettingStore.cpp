#include "common/setting/SettingManager.h"
#include "common/setting/SettingModel.h"
#include "tests/support/TestSupport.h"

#include <QSignalSpy>

class TestSettingStore : public QObject
{
    Q_OBJECT

private slots:
    void changeEmitsOnce()
    {
        QSignalSpy spy(CSettingParameters::GetInstance(), &CSettingParameters::signal_UpdateSettingParameter);
        CSetting::Set("KEY_CHANGE", 5);
        CSetting::Set("KEY_CHANGE", 6);
        QCOMPARE(spy.count(), 2);
        QCOMPARE(spy.at(1).at(0).toString(), QString("KEY_CHANGE"));
        QCOMPARE(spy.at(1).at(1).toInt(), 6);
    }

    void equalValuesAcrossTypesEmitNothing_data()
    {
        QTest::addColumn<QVariant>("first");
        QTest::addColumn<QVariant>("second");
        QTest::newRow("text then double") << QVariant("144") << QVariant(144.0);
        QTest::newRow("double then text") << QVariant(144.0) << QVariant("144");
        QTest::newRow("int then text") << QVariant(7) << QVariant("7");
        QTest::newRow("same text") << QVariant("abc") << QVariant("abc");
        QTest::newRow("bool then text") << QVariant(true) << QVariant("true");
    }

    void equalValuesAcrossTypesEmitNothing()
    {
        QFETCH(QVariant, first);
        QFETCH(QVariant, second);
        const QString strKey = QString("KEY_EQUAL_%1").arg(QTest::currentDataTag());
        CSetting::Set(strKey, first);
        QSignalSpy spy(CSettingParameters::GetInstance(), &CSettingParameters::signal_UpdateSettingParameter);
        CSetting::Set(strKey, second);
        QCOMPARE(spy.count(), 0);
    }

    void invalidValueOnNewKeyIsSilent()
    {
        QSignalSpy spy(CSettingParameters::GetInstance(), &CSettingParameters::signal_UpdateSettingParameter);
        QVERIFY(CSetting::Set("KEY_INVALID", QVariant()));
        QCOMPARE(spy.count(), 0);
        QVERIFY(!CSettingParameters::GetInstance()->Get("KEY_INVALID").isValid());
        QCOMPARE(CSetting::GetString("KEY_INVALID", "dflt"), QString("dflt"));
        // A real value afterwards is a change.
        CSetting::Set("KEY_INVALID", "now");
        QCOMPARE(spy.count(), 1);
    }

    void typedGetters()
    {
        CSetting::Set("KEY_TEXT_NUMBER", "144");
        CSetting::Set("KEY_TEXT_WORD", "abc");
        CSetting::Set("KEY_INT", 42);
        CSetting::Set("KEY_DOUBLE_TEXT", "144.5");
        QCOMPARE(CSetting::GetInt("KEY_TEXT_NUMBER", 0), 144);
        QCOMPARE(CSetting::GetDouble("KEY_TEXT_NUMBER", 0), 144.0);
        QCOMPARE(CSetting::GetInt("KEY_TEXT_WORD", 7), 7);
        QCOMPARE(CSetting::GetDouble("KEY_TEXT_WORD", 2.5), 2.5);
        QCOMPARE(CSetting::GetString("KEY_INT", ""), QString("42"));
        QCOMPARE(CSetting::GetInt("KEY_DOUBLE_TEXT", 3), 3);
        QCOMPARE(CSetting::GetDouble("KEY_DOUBLE_TEXT", 0), 144.5);
        QCOMPARE(CSetting::GetInt("KEY_ABSENT", -4), -4);
        QCOMPARE(CSetting::GetString("KEY_ABSENT", "none"), QString("none"));
    }

    void typedGettersIgnoreTheLocale()
    {
        // Stored texts come from the settings file and always use a decimal point.
        const QLocale previous;
        QLocale::setDefault(QLocale(QLocale::German));
        CSetting::Set("KEY_LOCALE", "0.25");
        QCOMPARE(CSetting::GetDouble("KEY_LOCALE", 0), 0.25);
        QLocale::setDefault(previous);
    }
};

OPTRA_TEST_MAIN(TestSettingStore)
#include "tst_SettingStore.moc"
