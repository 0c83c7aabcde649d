#include "ui/runtime/MessageBox.h"

#include "support/TestEnv.h"
#include "support/TestMain.h"

#include <QAbstractButton>
#include <QApplication>
#include <QMessageBox>
#include <QPushButton>
#include <QLabel>
#include <QTimer>
#include <QtTest>

using namespace runtime;

class tst_MessageBox : public QObject
{
    Q_OBJECT
private slots:
    void handlerReceivesTheRequestAndAnswers()
    {
        MessageRecorder recorder;
        recorder.answer(2);
        const int answer = messageBox(QStringLiteral("提 示 信 息"), QStringLiteral("是否真的退出 [Kivtree] 吗?"),
                                      MessageIcon::Exclamation, MessageButtons::YesNo, 2);
        QCOMPARE(answer, 2);
        QCOMPARE(recorder.boxes().size(), 1);
        const MessageRequest &box = recorder.boxes().first();
        QCOMPARE(box.title, QStringLiteral("提 示 信 息"));
        QCOMPARE(box.icon, MessageIcon::Exclamation);
        QCOMPARE(box.buttons, MessageButtons::YesNo);
        QCOMPARE(box.defaultButton, 2);
    }

    void unscriptedBoxesTakeTheirDefault()
    {
        MessageRecorder recorder;
        QCOMPARE(messageBox(QStringLiteral("t"), QStringLiteral("x"), MessageIcon::Question,
                            MessageButtons::YesNoCancel, 3),
                 3);
        // A default beyond the buttons falls back to the first one.
        QCOMPARE(messageBox(QStringLiteral("t"), QStringLiteral("x"), MessageIcon::Information,
                            MessageButtons::Ok, 5),
                 1);
    }

    void answersOutOfRangeBecomeTheDefault()
    {
        MessageRecorder recorder;
        recorder.answer(7);
        QCOMPARE(messageBox(QStringLiteral("t"), QStringLiteral("x"), MessageIcon::Information,
                            MessageButtons::YesNo, 2),
                 2);
    }

    void beepsAreCounted()
    {
        MessageRecorder recorder;
        QCOMPARE(recorder.beeps(), 0);
        beep();
        beep();
        QCOMPARE(recorder.beeps(), 2);
    }

    void realBoxShowsTextAndDefaultButton()
    {
        // Without a handler a real modal box appears; press its default button with Enter.
        QString seenText;
        bool noWasDefault = false;
        QTimer::singleShot(0, [&] {
            auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
            QVERIFY(box);
            seenText = box->text();
            noWasDefault = static_cast<QAbstractButton *>(box->defaultButton()) == box->button(QMessageBox::No);
            QTest::keyClick(box, Qt::Key_Return);
        });
        const int answer = messageBox(QStringLiteral("提 示 信 息"), QStringLiteral("是否真的退出 [Kivtree] 吗?"),
                                      MessageIcon::Exclamation, MessageButtons::YesNo, 2);
        QCOMPARE(seenText, QStringLiteral("是否真的退出 [Kivtree] 吗?"));
        QVERIFY(noWasDefault);
        QCOMPARE(answer, 2);
    }

    // A name a colleague typed with markup in it is shown as typed, not rendered.
    void markupInATextIsShownAsWritten()
    {
        const QString text = QStringLiteral("<b>改良种用</b><img src=x>&amp;");
        QString shown;
        QTimer::singleShot(0, [&] {
            auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
            QVERIFY(box);
            for (const QLabel *label : box->findChildren<QLabel *>()) {
                if (label->text() == text && label->textFormat() == Qt::PlainText)
                    shown = label->text();
            }
            QTest::keyClick(box, Qt::Key_Return);
        });
        messageBox(QStringLiteral("t"), text, MessageIcon::Information, MessageButtons::Ok, 1);
        QCOMPARE(shown, text);
    }

    void escapeAnswersNoOnYesNo()
    {
        QTimer::singleShot(0, [] {
            QWidget *box = QApplication::activeModalWidget();
            QVERIFY(box);
            QTest::keyClick(box, Qt::Key_Escape);
        });
        QCOMPARE(messageBox(QStringLiteral("t"), QStringLiteral("x"), MessageIcon::Exclamation,
                            MessageButtons::YesNo, 1),
                 2);
    }
};

KIV_TEST_MAIN(tst_MessageBox)
#include "tst_messagebox.moc"
