#include "support/TestMain.h"
#include "ui/find/FieldWidthValidator.h"

#include <QApplication>
#include <QClipboard>
#include <QLineEdit>
#include <QtTest>

namespace {
// Types a character as the keyboard (or an input method) delivers it.
void typeChar(QWidget *widget, const QString &character)
{
    QKeyEvent press(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier, character);
    QApplication::sendEvent(widget, &press);
    QKeyEvent release(QEvent::KeyRelease, Qt::Key_unknown, Qt::NoModifier, character);
    QApplication::sendEvent(widget, &release);
}

} // namespace

class tst_fieldwidthvalidator : public QObject
{
    Q_OBJECT
private slots:
    void init()
    {
        field = std::make_unique<QLineEdit>();
        field->resize(120, 24);
        validator = new FieldWidthValidator(field.get());
        field->show();
    }
    void cleanup() { field.reset(); }

    void typingStopsAtTheRightEdge()
    {
        QTest::keyClicks(field.get(), QString(QLatin1Char('W')).repeated(100));
        const QString full = field->text();
        QVERIFY(full.size() > 3 && full.size() < 100);
        QVERIFY(validator->fits(full));
        QVERIFY(!validator->fits(full + QLatin1Char('W')));
        // A narrower character may still find room; a wide one does not.
        typeChar(field.get(), QStringLiteral("马"));
        QVERIFY(!field->text().endsWith(QStringLiteral("马")));
    }

    void pastingKeepsTheBeginningThatFitsAndTheTextAround()
    {
        field->setText(QStringLiteral("ab"));
        field->setCursorPosition(1);
        QGuiApplication::clipboard()->setText(QStringLiteral("一二三四五六七八九十").repeated(20));
        field->paste();
        const QString text = field->text();
        QVERIFY(text.startsWith(QLatin1Char('a')));
        QVERIFY(text.endsWith(QLatin1Char('b')));
        QVERIFY(text.size() > 4);
        QVERIFY(QStringLiteral("一二三四五六七八九十").repeated(20).startsWith(text.mid(1, text.size() - 2)));
        QVERIFY(validator->fits(text));
        QCOMPARE(field->cursorPosition(), text.size() - 1);
    }

    void neverSplitsACharacterOutsideTheBasicPlane()
    {
        const QString wide = QString::fromUcs4(U"\U00020000").repeated(50); // CJK extension B
        field->setText(wide);
        const QString text = field->text();
        QVERIFY(!text.isEmpty() && text.size() < wide.size());
        QVERIFY(!text.back().isHighSurrogate());
    }

private:
    std::unique_ptr<QLineEdit> field;
    FieldWidthValidator *validator = nullptr;
};

KIV_TEST_MAIN(tst_fieldwidthvalidator)
#include "tst_fieldwidthvalidator.moc"
