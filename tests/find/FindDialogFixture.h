#pragma once

// The find dialog over a small database of its own: both trees loaded, the dialog open.

#include "core/find/FindExpressionBuilder.h"
#include "core/runtime/DataView.h"
#include "core/runtime/Transaction.h"
#include "core/runtime/TreeModel.h"
#include "core/session/globals.h"
#include "support/ButtonDriver.h"
#include "support/RunningProgram.h"
#include "support/TestDatabase.h"
#include "support/TestEnv.h"
#include "ui/auxiliary/f_adjust_winpos.h"
#include "ui/auxiliary/w_help.h"
#include "ui/mainwin/w_kiv.h"
#include "ui/runtime/LayoutUnits.h"
#include "ui/tree/u_tv.h"
#include <QAbstractItemModelTester>
#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QFile>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPointer>
#include <QPushButton>
#include <QRadioButton>
#include <QRandomGenerator>
#include <QTimer>
#include <QtTest>
#include <algorithm>
#include <memory>
#include <tuple>
#include "ui/find/w_findats.h"

namespace {

// The entry prefixes: two blanks before the customs "@".
const QString C = QStringLiteral("海关商品  @");
const QString F = QStringLiteral("外经委商品@");

// Customs rows 1..11 and foreign-trade rows 1..4, in the views' order (by code).
const char *kRows =
    "INSERT INTO list_hscode(code, name, flag) VALUES"
    " ('01', '活动物', 'Y'), ('0101', '马、驴、骡', NULL), ('010121', '改良种用', NULL),"
    " ('0101210010', '其他马', NULL), ('0101210090', '其他马', NULL), ('0102', '牛', NULL),"
    " ('0102100000', 'O''Neil马', NULL), ('0102200000', '百分之5%牛_x', NULL),"
    " ('0102900000', '牛~其他', NULL), ('02', '肉', 'Y'), ('0201', '鲜牛肉', NULL);"
    "INSERT INTO list_jmwcode(jmw_code, name, flag) VALUES"
    " ('01', '活动物', 'Y'), ('0101', '马', NULL), ('010110', '其他马', NULL), ('0102', '牛', NULL);";

struct Fixture : RunningProgram {
    QPointer<w_findats> dialog;
    std::unique_ptr<QAbstractItemModelTester> tester;

    bool open(const QString &rows = QString::fromUtf8(kRows))
    {
        if (!makeDatabase(rows) || !connectDatabase())
            return false;
        window = std::make_unique<w_kiv>();
        window->show();
        window->ue_postopen();
        dialog = w_findats::openFor(window.get());
        tester = std::make_unique<QAbstractItemModelTester>(dialog->lb_1->model());
        return dialog && recorder.boxes().isEmpty();
    }
    ~Fixture() { tester.reset(); }

    QStringList entries() const
    {
        QStringList texts;
        for (int i = 0; i < dialog->lb_1->count(); ++i)
            texts.append(dialog->lb_1->item(i)->text());
        return texts;
    }
    // "[code]name" of a view's row, as its tree item reads.
    QString label(runtime::DataView *view, long row, const char *codeColumn) const
    {
        return QLatin1Char('[') + view->itemString(row, QLatin1String(codeColumn)) + QLatin1Char(']')
            + view->itemString(row, QStringLiteral("name"));
    }
    QString hs(long row) const { return C + label(window->dw_1, row, "code"); }
    QString jmw(long row) const { return F + label(window->dw_2, row, "jmw_code"); }
    long handle(runtime::DataView *view, long row) const
    {
        return long(view->itemNumber(row, QStringLiteral("handle")));
    }
    QStringList find(const QString &name)
    {
        dialog->sle_2->setText(name);
        dialog->cb_2->click();
        return entries();
    }
};

// Types a character as the keyboard (or an input method) delivers it.
inline void typeChar(QWidget *widget, const QString &character)
{
    QKeyEvent press(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier, character);
    QApplication::sendEvent(widget, &press);
    QKeyEvent release(QEvent::KeyRelease, Qt::Key_unknown, Qt::NoModifier, character);
    QApplication::sendEvent(widget, &release);
}

const QString kSorry = QStringLiteral("I'm Sorry,I Can't Help you!");
const QString kNeedName = QStringLiteral("您需要录入商品名称!");
const QString kNeedCode = QStringLiteral("您需要录入商品代码!");
const QString kHgError = QStringLiteral("Search HG K-I-V Occured Error!!");
const QString kJmwError = QStringLiteral("Search JMW K-I-V Occured Error!!");

} // namespace
