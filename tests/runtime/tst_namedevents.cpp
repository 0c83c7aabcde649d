#include "core/runtime/NamedEvents.h"
#include "support/TestMain.h"

#include <QtTest>

namespace {
class Receiver : public QObject
{
    Q_OBJECT
public:
    QStringList calls;
public slots:
    void ue_postopen() { calls << QStringLiteral("ue_postopen"); }
    void ue_refresh() { calls << QStringLiteral("ue_refresh"); }
    void ue_withArgument(int) { calls << QStringLiteral("ue_withArgument"); }
};
} // namespace

class tst_NamedEvents : public QObject
{
    Q_OBJECT
private slots:
    void triggerRunsAtOnceWhateverTheCase()
    {
        Receiver receiver;
        QCOMPARE(runtime::triggerEvent(&receiver, QStringLiteral("Ue_PostOpen")), 1);
        QCOMPARE(receiver.calls, QStringList{QStringLiteral("ue_postopen")});
    }

    void postRunsOnlyFromTheEventLoop()
    {
        Receiver receiver;
        QCOMPARE(runtime::postEvent(&receiver, QStringLiteral("UE_REFRESH")), 1);
        QVERIFY(receiver.calls.isEmpty());
        QTRY_COMPARE(receiver.calls, QStringList{QStringLiteral("ue_refresh")});
    }

    void postedEventsRunInOrder()
    {
        Receiver receiver;
        runtime::postEvent(&receiver, QStringLiteral("ue_refresh"));
        runtime::postEvent(&receiver, QStringLiteral("ue_postopen"));
        QTRY_COMPARE(receiver.calls.size(), 2);
        QCOMPARE(receiver.calls, (QStringList{QStringLiteral("ue_refresh"), QStringLiteral("ue_postopen")}));
    }

    void unknownEventsAnswerMinusOne()
    {
        Receiver receiver;
        QCOMPARE(runtime::triggerEvent(&receiver, QStringLiteral("ue_missing")), -1);
        QCOMPARE(runtime::postEvent(&receiver, QString()), -1);
        QCOMPARE(runtime::triggerEvent(nullptr, QStringLiteral("ue_postopen")), -1);
        // An event that takes arguments cannot be raised by name.
        QCOMPARE(runtime::triggerEvent(&receiver, QStringLiteral("ue_withArgument")), -1);
        QCoreApplication::processEvents();
        QVERIFY(receiver.calls.isEmpty());
    }

    void postedEventToDeletedObjectIsDropped()
    {
        auto *receiver = new Receiver;
        QCOMPARE(runtime::postEvent(receiver, QStringLiteral("ue_postopen")), 1);
        delete receiver;
        QCoreApplication::processEvents(); // must not crash
    }
};

KIV_TEST_GUILESS_MAIN(tst_NamedEvents)
#include "tst_namedevents.moc"
