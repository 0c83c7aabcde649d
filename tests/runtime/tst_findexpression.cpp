#include "core/runtime/FindExpression.h"
#include "core/runtime/LikePattern.h"
#include "support/TestMain.h"

#include <QTest>

using runtime::ColumnDefinition;
using runtime::ColumnType;
using runtime::FindExpression;
using runtime::LikePattern;

namespace {

QList<ColumnDefinition> columns()
{
    QList<ColumnDefinition> list;
    auto add = [&list](const char *name, ColumnType type) {
        ColumnDefinition c;
        c.name = QString::fromLatin1(name);
        c.type = type;
        list.append(c);
    };
    add("code", ColumnType::String);
    add("name", ColumnType::String);
    add("tsl", ColumnType::Number);
    add("handle", ColumnType::Long);
    return list;
}

QVector<QVariant> row(const QVariant &code, const QVariant &name, const QVariant &tsl = QVariant(),
                      const QVariant &handle = QVariant())
{
    return {code, name, tsl, handle};
}

bool holds(const QString &expression, const QVector<QVariant> &r)
{
    const FindExpression e(expression, columns());
    if (!e.isValid())
        qWarning("invalid: %s: %s", qPrintable(expression), qPrintable(e.errorText()));
    return e.isValid() && e.matches(r);
}

} // namespace

class TestFindExpression : public QObject
{
    Q_OBJECT
private slots:
    void literalsAndEscapes_data();
    void literalsAndEscapes();
    void textComparisons();
    void numbersAndMixedTypes();
    void nulls();
    void likePatterns_data();
    void likePatterns();
    void logicAndPrecedence();
    void expressionsOfTheFindDialog();
    void invalidExpressions_data();
    void invalidExpressions();
    void longAndNestedExpressions();
};

void TestFindExpression::literalsAndEscapes_data()
{
    QTest::addColumn<QString>("expression");
    QTest::addColumn<QString>("name");
    QTest::newRow("single quotes") << "name = 'a b'" << "a b";
    QTest::newRow("double quotes") << "name = \"a b\"" << "a b";
    QTest::newRow("escaped single") << "name = 'it~'s'" << "it's";
    QTest::newRow("escaped double") << "name = \"say ~\"hi~\"\"" << "say \"hi\"";
    QTest::newRow("other quote inside") << "name = \"it's\"" << "it's";
    QTest::newRow("tilde") << "name = 'a~~b'" << "a~b";
    QTest::newRow("tab") << "name = 'a~tb'" << "a\tb";
    QTest::newRow("newline") << "name = 'a~nb'" << "a\nb";
    QTest::newRow("chinese") << "name = '其他动物'" << "其他动物";
    QTest::newRow("empty") << "name = ''" << "";
}

void TestFindExpression::literalsAndEscapes()
{
    QFETCH(QString, expression);
    QFETCH(QString, name);
    QVERIFY(holds(expression, row("01", name)));
    QVERIFY(!holds(expression, row("01", name + QStringLiteral("x"))));
}

void TestFindExpression::textComparisons()
{
    const auto r = row("0101", "Horse");
    // Equality is exact: case, blanks and length count.
    QVERIFY(holds("name = 'Horse'", r));
    QVERIFY(!holds("name = 'horse'", r));
    QVERIFY(!holds("name = 'Horse '", r));
    QVERIFY(!holds("name = ' Horse'", r));
    QVERIFY(holds("name <> 'horse'", r));
    // Keywords and column names without regard to case.
    QVERIFY(holds("NAME = 'Horse' AND Code = '0101'", r));
    QVERIFY(holds("Name= 'Horse' aNd cOdE='0101'", r));
    // Order of the database: by code point.
    QVERIFY(holds("code < '0102'", r));
    QVERIFY(holds("code >= '0101' and code <= '0101'", r));
    QVERIFY(holds("code > '01'", r));
    QVERIFY(holds("name < 'a'", r)); // upper case before lower case
    // A character beyond the BMP sorts after U+E000..U+FFFF, as in UTF-8 byte order.
    const QString clef = QString::fromUcs4(U"\U0001D11E");
    QVERIFY(holds("name > '\uFFFD'", row("1", clef)));
    QVERIFY(holds("name > '\uE000'", row("1", clef)));
    QVERIFY(!holds("name < '\uE000'", row("1", clef)));
    // Two columns can be compared.
    QVERIFY(holds("code <> name", r));
    QVERIFY(holds("code = name", row("x", "x")));
}

void TestFindExpression::numbersAndMixedTypes()
{
    const auto r = row("0101", "12", 0.13, 7);
    QVERIFY(holds("tsl = 0.13", r));
    QVERIFY(holds("tsl > 0.1 and tsl < .2", r));
    QVERIFY(holds("handle = 7", r));
    QVERIFY(holds("handle >= 7.0", r));
    QVERIFY(holds("handle > -1", r));
    QVERIFY(holds("handle <> 8", r));
    QVERIFY(holds("tsl = 13e-2", r));
    QVERIFY(!holds("handle < 7", r));
    // Numbers compare numerically, not as text.
    QVERIFY(holds("handle < 10", r));
    // A text that reads as a number compares with a number as a number ...
    QVERIFY(holds("name = 12", r));
    QVERIFY(holds("code = 101", r));
    QVERIFY(holds("handle = '7'", r));
    QVERIFY(holds("name > 9", r));
    // ... and a text that does not is never equal, unequal or ordered.
    QVERIFY(!holds("name = 5", row("1", "abc")));
    QVERIFY(!holds("name <> 5", row("1", "abc")));
    QVERIFY(!holds("name > 5", row("1", "abc")));
    QVERIFY(!holds("name = 0", row("1", "")));
    // like works on a number's text.
    QVERIFY(holds("tsl like '0.1%'", r));
    QVERIFY(holds("handle like '7'", r));
}

void TestFindExpression::nulls()
{
    const auto r = row(QVariant(), QVariant(QMetaType::fromType<QString>()), QVariant(), QVariant());
    QVERIFY(!holds("code = 'x'", r));
    QVERIFY(!holds("code <> 'x'", r));
    QVERIFY(!holds("code = ''", r));
    QVERIFY(!holds("name = ''", r));
    QVERIFY(!holds("name like '%'", r));
    QVERIFY(!holds("name not like '%'", r));
    QVERIFY(!holds("tsl = 0", r));
    QVERIFY(!holds("handle < 1", r));
    QVERIFY(holds("not (code = 'x')", r));
    // A row shorter than the view (a missing item) is null too.
    const FindExpression e("handle = 1", columns());
    QVERIFY(e.isValid());
    QVERIFY(!e.matches({QString("1")}));
}

void TestFindExpression::likePatterns_data()
{
    QTest::addColumn<QString>("pattern");
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("matches");
    const QString clef = QString::fromUcs4(U"\U0001D11E");
    QTest::newRow("contains") << "%其他%" << "活动物其他" << true;
    QTest::newRow("contains middle") << "%其他%" << "其他动物其他" << true;
    QTest::newRow("not contained") << "%其他%" << "其它动物" << false;
    QTest::newRow("exact") << "abc" << "abc" << true;
    QTest::newRow("exact longer") << "abc" << "abcd" << false;
    QTest::newRow("prefix") << "ab%" << "abcd" << true;
    QTest::newRow("prefix no") << "ab%" << "xabcd" << false;
    QTest::newRow("suffix") << "%cd" << "abcd" << true;
    QTest::newRow("suffix no") << "%cd" << "abcdx" << false;
    QTest::newRow("percent alone") << "%" << "" << true;
    QTest::newRow("two percents") << "%%" << "x" << true;
    QTest::newRow("one char") << "a_c" << "abc" << true;
    QTest::newRow("one char not two") << "a_c" << "abbc" << false;
    QTest::newRow("one char not none") << "a_c" << "ac" << false;
    QTest::newRow("one chinese char") << "_" << "马" << true;
    QTest::newRow("one astral char") << "_" << clef << true;
    QTest::newRow("astral is one char") << "a_b" << "a" + clef + "b" << true;
    QTest::newRow("astral not two") << "__" << clef << false;
    QTest::newRow("suffix with one") << "%_b" << "a" + clef + "b" << true;
    QTest::newRow("at least two") << "_%_" << "ab" << true;
    QTest::newRow("at least two no") << "_%_" << "a" << false;
    QTest::newRow("backtracking") << "a%b" << "aXbYb" << true;
    QTest::newRow("repeats") << "%ab%ab" << "ababab" << true;
    QTest::newRow("order") << "%a%b%" << "xbxa" << false;
    QTest::newRow("order ok") << "%a%b%" << "xaxb" << true;
    QTest::newRow("overlap") << "%aa%aa%" << "aaa" << false;
    QTest::newRow("case") << "%Horse%" << "horse" << false;
    QTest::newRow("middle with one") << "%a_c%" << "xxabcxx" << true;
    QTest::newRow("empty pattern") << "" << "" << true;
    QTest::newRow("empty pattern text") << "" << "a" << false;
}

void TestFindExpression::likePatterns()
{
    QFETCH(QString, pattern);
    QFETCH(QString, text);
    QFETCH(bool, matches);
    QCOMPARE(LikePattern(pattern).matches(text), matches);
    QString quoted = pattern;
    quoted.replace(u'~', QStringLiteral("~~")).replace(u'\'', QStringLiteral("~'"));
    QCOMPARE(holds("name like '" + quoted + "'", row("1", text)), matches);
    QCOMPARE(holds("name not like '" + quoted + "'", row("1", text)), !matches);
    QCOMPARE(holds("name LIKE '" + quoted + "'", row("1", text)), matches);
}

void TestFindExpression::logicAndPrecedence()
{
    const auto r = row("01", "a");
    // and binds tighter than or.
    QVERIFY(holds("code = 'x' and name = 'x' or name = 'a'", r));
    QVERIFY(holds("name = 'a' or code = 'x' and name = 'x'", r));
    QVERIFY(!holds("(name = 'a' or code = 'x') and name = 'x'", r));
    QVERIFY(holds("not code = 'x'", r));
    QVERIFY(holds("not not code = '01'", r));
    QVERIFY(!holds("not (code = '01' and name = 'a')", r));
    QVERIFY(holds("((code = '01'))", r));
    QVERIFY(holds("(code) = '01'", r));
    QVERIFY(holds("code = '01' OR code = '02' OR code = '03'", r));
    QVERIFY(!holds("code = '01' AND name = 'b' AND code = '01'", r));
}

void TestFindExpression::expressionsOfTheFindDialog()
{
    // The texts the find dialog builds, exactly as it joins them.
    const auto r = row("0101909000", "其他马、驴、骡");
    QVERIFY(holds("Name= '其他马、驴、骡'", r));
    QVERIFY(holds("Code= '0101909000'", r));
    QVERIFY(holds(" (Name like '%其他%')", r));
    QVERIFY(holds("(Name like '%马%') And(Name like '%驴%') And (Name like '%骡%')", r));
    QVERIFY(!holds("(Name like '%马%') And(Name like '%牛%') And (Name like '%骡%')", r));
    QVERIFY(holds(" (Code like '%01%') And (Code like '%90%')", r));
    QVERIFY(holds("(Name like '%马%') And (Name like '%%')", r)); // a trailing "+"
    QVERIFY(holds(" (Name like '%+马%')", row("1", "a+马")));
    QVERIFY(!holds("jmw_code= '01'", r) ); // no such column here: invalid, so no match
}

void TestFindExpression::invalidExpressions_data()
{
    QTest::addColumn<QString>("expression");
    QTest::newRow("empty") << "";
    QTest::newRow("blanks") << "   ";
    QTest::newRow("missing value") << "code =";
    QTest::newRow("missing column") << "= '01'";
    QTest::newRow("unterminated quote") << "code = '01";
    QTest::newRow("unterminated double quote") << "code = \"01";
    QTest::newRow("tilde at end") << "code = '01~";
    QTest::newRow("quote in input") << "name = 'it's'";
    QTest::newRow("open parenthesis") << "(code = '01'";
    QTest::newRow("close parenthesis") << "code = '01')";
    QTest::newRow("empty parentheses") << "()";
    QTest::newRow("unknown column") << "colour = 'red'";
    QTest::newRow("column alone") << "code";
    QTest::newRow("number alone") << "1";
    QTest::newRow("text alone") << "'x'";
    QTest::newRow("garbage") << "$$$ %%% !!!";
    QTest::newRow("two values") << "code = '01' '02'";
    QTest::newRow("double operator") << "code = = '01'";
    QTest::newRow("bang equal") << "code != '01'";
    QTest::newRow("dangling and") << "code = '01' and";
    QTest::newRow("leading or") << "or code = '01'";
    QTest::newRow("not alone") << "not";
    QTest::newRow("like without pattern") << "name like";
    QTest::newRow("not without like") << "name not '01'";
    QTest::newRow("comparison of conditions") << "(code = '1') = (code = '1')";
    QTest::newRow("and of values") << "code and name";
    QTest::newRow("function") << "len(code) = 2";
    QTest::newRow("bad number") << "handle = 12abc";
    QTest::newRow("keyword as column") << "and = 1";
    QTest::newRow("long garbage") << QString(10000, u'x') + "@";
    QTest::newRow("long unterminated") << "name = '" + QString(10000, u'a');
    QTest::newRow("deep parentheses") << QString(10000, u'(') + "code = '1'" + QString(10000, u')');
    QTest::newRow("deep not") << QString("not ").repeated(5000) + "code = '1'";
    QTest::newRow("only parentheses") << QString(10000, u'(');
}

void TestFindExpression::invalidExpressions()
{
    QFETCH(QString, expression);
    const FindExpression e(expression, columns());
    QVERIFY(!e.isValid());
    QVERIFY(!e.errorText().isEmpty());
    QVERIFY(!e.matches(row("1", "code")));
}

void TestFindExpression::longAndNestedExpressions()
{
    // A long chain of or is kept flat and evaluates without deep recursion.
    QStringList terms;
    for (int i = 0; i < 3000; ++i)
        terms.append(QStringLiteral("code = '%1'").arg(i));
    const FindExpression chain(terms.join(QStringLiteral(" or ")), columns());
    QVERIFY2(chain.isValid(), qPrintable(chain.errorText()));
    QVERIFY(chain.matches(row("2999", "x")));
    QVERIFY(!chain.matches(row("3000", "x")));

    // Nesting up to the limit is fine.
    const int depth = FindExpression::maxDepth - 1;
    const FindExpression nested(QString(depth, u'(') + "code = '1'" + QString(depth, u')'), columns());
    QVERIFY2(nested.isValid(), qPrintable(nested.errorText()));
    QVERIFY(nested.matches(row("1", "x")));

    // A long literal is no problem.
    const QString longName(10000, u'马');
    const FindExpression literal("name = '" + longName + "'", columns());
    QVERIFY(literal.isValid());
    QVERIFY(literal.matches(row("1", longName)));
}

KIV_TEST_GUILESS_MAIN(TestFindExpression)
#include "tst_findexpression.moc"
