#include "core/platform/notifyicondata.h"
#include "core/platform/str_directory.h"
#include "core/platform/str_memorystatus.h"
#include "ui/platform/nvo_sizeof.h"

#include "TestEnv.h"
#include "support/TestMain.h"

#include <QDate>
#include <QtTest>

namespace {

VariableDescription member(const QString &type, QList<ArrayDimension> dimensions = {})
{
    return {QStringLiteral("m"), type, std::move(dimensions)};
}

VariableDescription nestedMember(const StructureDescription *nested, QList<ArrayDimension> dimensions = {})
{
    return {QStringLiteral("n"), QStringLiteral("structure"), std::move(dimensions), nested};
}

StructureDescription structure(QList<VariableDescription> variables)
{
    return {QStringLiteral("s_test"), std::move(variables)};
}

const QString kErrorTitle = QStringLiteral("SizeOf error");
const QString kErrorText = QStringLiteral("Type is not supported, possibly variable sized or object type!");

} // namespace

class tst_nvo_sizeof : public QObject
{
    Q_OBJECT

private slots:
    void scalarValues();
    void stringsAreFourBytesWhateverTheirLength();
    void arrayOfValues_data();
    void arrayOfValues();
    void arrayOfValuesNeverComplains();
    void structureMembers_data();
    void structureMembers();
    void membersArePacked();
    void arraysCountByUpperBoundOfFirstDimension();
    void nestedStructureArray();
    void unsupportedMemberShowsOneMessage_data();
    void unsupportedMemberShowsOneMessage();
    void unsupportedMemberInNestedStructure();
    void systemStructures();
};

void tst_nvo_sizeof::scalarValues()
{
    const nvo_sizeof n;
    QCOMPARE(n.sizeof_(qint32(-7)), 4);
    QCOMPARE(n.sizeof_(quint32(7)), 4);
    QCOMPARE(n.sizeof_(qint16(7)), 2);
    QCOMPARE(n.sizeof_(quint16(7)), 2);
    QCOMPARE(n.sizeof_('x'), 1);
    QCOMPARE(n.sizeof_(true), 1);
    QCOMPARE(n.sizeof_(false), 1);
}

void tst_nvo_sizeof::stringsAreFourBytesWhateverTheirLength()
{
    const nvo_sizeof n;
    QCOMPARE(n.sizeof_(QString()), 4);
    QCOMPARE(n.sizeof_(QString(1000, QLatin1Char('a'))), 4);
    QCOMPARE(n.sizeof_(QStringLiteral("商品编码")), 4);
    QCOMPARE(n.sizeof_("a literal, not a boolean"), 4);
}

void tst_nvo_sizeof::arrayOfValues_data()
{
    QTest::addColumn<QVariantList>("values");
    QTest::addColumn<int>("size");
    QTest::newRow("empty") << QVariantList{} << 0;
    QTest::newRow("long, string and date") << QVariantList{qint32(1), QStringLiteral("abc"), QDate(2024, 1, 2)} << 8;
    QTest::newRow("ulong") << QVariantList{quint32(1)} << 4;
    QTest::newRow("integer and uint") << QVariantList{QVariant::fromValue(qint16(1)), QVariant::fromValue(quint16(2))} << 4;
    QTest::newRow("char kinds") << QVariantList{QVariant::fromValue('a'), QVariant::fromValue(QChar(u'b'))} << 2;
    QTest::newRow("boolean") << QVariantList{true, false} << 2;
    QTest::newRow("sizeless types add nothing")
        << QVariantList{3.5, qint64(1), QDateTime::currentDateTime(), QTime(1, 2), QByteArray("blob"), QVariant()}
        << 0;
    QTest::newRow("mixed") << QVariantList{qint32(1), QVariant::fromValue(qint16(2)), QVariant::fromValue('c'), QString(), true, 1.0} << 4 + 2 + 1 + 4 + 1;
}

void tst_nvo_sizeof::arrayOfValues()
{
    QFETCH(QVariantList, values);
    QFETCH(int, size);
    QCOMPARE(nvo_sizeof().sizeof_(values), size);
}

void tst_nvo_sizeof::arrayOfValuesNeverComplains()
{
    MessageRecorder recorder;
    QCOMPARE(nvo_sizeof().sizeof_(QVariantList{QDate(2024, 1, 1), 2.5, qint32(1)}), 4);
    QVERIFY(recorder.boxes().isEmpty());
}

void tst_nvo_sizeof::structureMembers_data()
{
    QTest::addColumn<QString>("type");
    QTest::addColumn<int>("size");
    for (const char *type : {"long", "ulong", "unsignedlong", "LONG"})
        QTest::newRow(type) << QString::fromLatin1(type) << 4;
    for (const char *type : {"int", "integer", "uint", "unsignedint", "unsignedinteger"})
        QTest::newRow(type) << QString::fromLatin1(type) << 2;
    for (const char *type : {"char", "character"})
        QTest::newRow(type) << QString::fromLatin1(type) << 1;
    QTest::newRow("string") << QStringLiteral("string") << 4;
}

void tst_nvo_sizeof::structureMembers()
{
    QFETCH(QString, type);
    QFETCH(int, size);
    MessageRecorder recorder;
    QCOMPARE(nvo_sizeof().sizeof_(structure({member(type)})), size);
    QCOMPARE(nvo_sizeof().sizeof_(structure({member(type), member(type), member(type)})), 3 * size);
    QVERIFY(recorder.boxes().isEmpty());
}

void tst_nvo_sizeof::membersArePacked()
{
    const nvo_sizeof n;
    QCOMPARE(n.sizeof_(structure({})), 0);
    // No padding: a char before a long would be padded to 8 by a C compiler.
    QCOMPARE(n.sizeof_(structure({member("char"), member("long")})), 5);
    QCOMPARE(n.sizeof_(structure({member("integer"), member("long"), member("char")})), 7);
    QCOMPARE(n.sizeof_(structure({member("char", {{1, 3}}), member("uint")})), 5);
    // A structure of one char array of 64.
    QCOMPARE(n.sizeof_(structure({member("character", {{1, 64}})})), 64);
}

void tst_nvo_sizeof::arraysCountByUpperBoundOfFirstDimension()
{
    const nvo_sizeof n;
    // [5 to 8]: the upper bound counts, not the number of elements.
    QCOMPARE(n.sizeof_(structure({member("long", {{5, 8}})})), 32);
    // [3, 4]: only the first dimension counts.
    QCOMPARE(n.sizeof_(structure({member("long", {{1, 3}, {1, 4}})})), 12);
    QCOMPARE(n.sizeof_(structure({member("char", {{1, 2}, {1, 100}, {1, 100}})})), 2);
}

void tst_nvo_sizeof::nestedStructureArray()
{
    const StructureDescription twoLongs = structure({member("long"), member("long")});
    const nvo_sizeof n;
    QCOMPARE(n.sizeof_(structure({nestedMember(&twoLongs, {{1, 3}})})), 24);
    QCOMPARE(n.sizeof_(structure({member("char"), nestedMember(&twoLongs), member("uint")})), 1 + 8 + 2);
    const StructureDescription deeper = structure({nestedMember(&twoLongs, {{1, 2}}), member("char")});
    QCOMPARE(n.sizeof_(structure({nestedMember(&deeper, {{1, 2}})})), 2 * (16 + 1));
}

void tst_nvo_sizeof::unsupportedMemberShowsOneMessage_data()
{
    QTest::addColumn<QString>("type");
    for (const char *type : {"boolean", "double", "real", "decimal", "date", "time", "datetime", "blob", "any",
                             "w_kiv", ""})
        QTest::newRow(type) << QString::fromLatin1(type);
    // A structure member without its structure's description cannot be measured either.
    QTest::newRow("structure without description") << QStringLiteral("structure");
}

void tst_nvo_sizeof::unsupportedMemberShowsOneMessage()
{
    QFETCH(QString, type);
    MessageRecorder recorder;
    // The walk stops at the first unsupported member: the second adds no message.
    const StructureDescription s = structure({member("long"), member(type), member("char"), member(type)});
    QCOMPARE(nvo_sizeof().sizeof_(s), -1);
    QCOMPARE(recorder.boxes().size(), 1);
    const runtime::MessageRequest &box = recorder.boxes().first();
    QCOMPARE(box.title, kErrorTitle);
    QCOMPARE(box.text, kErrorText);
    QCOMPARE(box.icon, runtime::MessageIcon::StopSign);
    QCOMPARE(box.buttons, runtime::MessageButtons::Ok);
}

void tst_nvo_sizeof::unsupportedMemberInNestedStructure()
{
    MessageRecorder recorder;
    const StructureDescription inner = structure({member("long"), member("boolean")});
    const StructureDescription middle = structure({member("char"), nestedMember(&inner, {{1, 4}})});
    const StructureDescription outer = structure({member("long"), nestedMember(&middle), member("long")});
    QCOMPARE(nvo_sizeof().sizeof_(outer), -1);
    QCOMPARE(recorder.boxes().size(), 1);
    QCOMPARE(recorder.boxes().first().title, kErrorTitle);
}

void tst_nvo_sizeof::systemStructures()
{
    MessageRecorder recorder;
    const nvo_sizeof n;
    // Six unsigned longs and a 64-character tip.
    QCOMPARE(n.sizeof_(notifyicondata{}), 88);
    QCOMPARE(n.sizeof_(str_memorystatus{}), 32);
    QCOMPARE(n.sizeof_(str_directory{}), 12);
    QVERIFY(recorder.boxes().isEmpty());
}

KIV_TEST_GUILESS_MAIN(tst_nvo_sizeof)
#include "tst_nvo_sizeof.moc"
