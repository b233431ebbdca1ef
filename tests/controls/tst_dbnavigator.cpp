// SPDX-License-Identifier: MIT
#include "controls/dbnavigator.h"
#include "controls/messages.h"
#include "core/calculationstore.h"
#include "core/dates.h"
#include "core/errors.h"
#include "core/table.h"
#include "support/linetables.h"
#include "support/tempfolder.h"

#include <QHelpEvent>
#include <QTest>
#include <QToolTip>
#include <memory>

using Button = DBNavigator::Button;
Q_DECLARE_METATYPE(QVector<Button>)

namespace
{

constexpr Button kAll[] = {Button::First, Button::Prior,  Button::Next,
                           Button::Last,  Button::Insert, Button::Delete,
                           Button::Edit,  Button::Post,   Button::Cancel};

} // namespace

// The record navigator on a line table: hints, which buttons are enabled in which state, and
// each button's operation going through the table and its handlers.
class TestDBNavigator : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void cleanup();

    void hints_data();
    void hints();
    void enabledButtons_data();
    void enabledButtons();
    void buttonsRunTheirOperation_data();
    void buttonsRunTheirOperation();
    void deleteAsks_data();
    void deleteAsks();
    void aRefusalLeavesTheTable();
    void aFailedPostIsShownAndKeepsTheLine();
    void disabledButtonDoesNothing();
    void pressDraggedOffIsNoClick();
    void keyboardPicksAndPresses();

private:
    void addLines(int count);
    void clickButton(Button button);
    QVector<Button> enabled() const;

    std::unique_ptr<TempFolder> m_dir;
    std::unique_ptr<Table> m_lines;
    std::unique_ptr<DataSource> m_source;
    std::unique_ptr<DBNavigator> m_navigator;
    QStringList m_boxes;
    bool m_answer = true;
    bool m_refuseInsert = false;
};

void TestDBNavigator::init()
{
    m_boxes.clear();
    m_answer = true;
    m_refuseInsert = false;
    Messages::setSinkForTesting([this](Messages::Kind kind, const QString &text) {
        static const char *const prefix[] = {"error: ", "info: ", "confirm: "};
        m_boxes << QLatin1String(prefix[int(kind)]) + text;
        return m_answer;
    });
    m_dir = std::make_unique<TempFolder>();
    WriteEmptyTables(m_dir->path());
    m_lines = std::make_unique<Table>(QStringLiteral("Table2"));
    m_lines->setDatabaseName(m_dir->path());
    m_lines->setTableName(kLineTableName);
    DeclareLineFields(*m_lines);
    m_lines->setIndexFieldNames(QStringLiteral("COD;INCR"));
    m_lines->onNewRecord = [](Table &t) {
        t.fieldByName(QStringLiteral("COD")).setAsString(QStringLiteral("000001"));
        t.fieldByName(QStringLiteral("DATA")).setAsDate(DayNumber(QDate(2024, 5, 15)));
    };
    m_lines->beforeInsert = [this](Table &) {
        if (m_refuseInsert) {
            Messages::ShowMessage(QStringLiteral("refused"));
            throw Abort();
        }
    };
    m_lines->open();
    m_source = std::make_unique<DataSource>(m_lines.get());
    m_navigator = std::make_unique<DBNavigator>();
    m_navigator->setDataSource(m_source.get());
    m_navigator->resize(216, 28);
    m_navigator->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_navigator.get()));
}

void TestDBNavigator::cleanup()
{
    m_navigator.reset();
    m_source.reset();
    m_lines.reset();
    m_dir.reset();
    Messages::setSinkForTesting({});
}

void TestDBNavigator::addLines(int count)
{
    for (int i = 0; i < count; ++i) {
        m_lines->append();
        m_lines->fieldByName(QStringLiteral("VALOR")).setAsFloat(100 * (i + 1));
        m_lines->post();
    }
}

void TestDBNavigator::clickButton(Button button)
{
    QTest::mouseClick(m_navigator.get(), Qt::LeftButton, {},
                      m_navigator->buttonRect(button).center());
}

QVector<Button> TestDBNavigator::enabled() const
{
    QVector<Button> on;
    for (Button b : kAll)
        if (m_navigator->isButtonEnabled(b))
            on << b;
    return on;
}

void TestDBNavigator::hints_data()
{
    QTest::addColumn<Button>("button");
    QTest::addColumn<QString>("hint");
    QTest::newRow("first") << Button::First << "Posiciona no primeiro registro";
    QTest::newRow("prior") << Button::Prior << "Posiciona registro anterior";
    QTest::newRow("next") << Button::Next << "Posiciona no proximo registro";
    QTest::newRow("last") << Button::Last << "Posiciona no último registro";
    QTest::newRow("insert") << Button::Insert << "Insere um registro";
    QTest::newRow("delete") << Button::Delete << "Deleta um registro";
    QTest::newRow("edit") << Button::Edit << "Edita um registro";
    QTest::newRow("post") << Button::Post << "Grava o registro atual";
    QTest::newRow("cancel") << Button::Cancel << "Cancela Gravação";
}

void TestDBNavigator::hints()
{
    QFETCH(Button, button);
    QFETCH(QString, hint);
    QCOMPARE(DBNavigator::hint(button), hint);
    // The hint shows over its own button, enabled or not.
    const QPoint at = m_navigator->buttonRect(button).center();
    QHelpEvent help(QEvent::ToolTip, at, m_navigator->mapToGlobal(at));
    QCoreApplication::sendEvent(m_navigator.get(), &help);
    QTRY_COMPARE(QToolTip::text(), hint);
    QToolTip::hideText();
}

void TestDBNavigator::enabledButtons_data()
{
    QTest::addColumn<int>("lines");
    QTest::addColumn<QString>("situation");
    QTest::addColumn<QVector<Button>>("on");
    using V = QVector<Button>;
    QTest::newRow("empty") << 0 << "browse" << V{Button::Insert};
    QTest::newRow("one line") << 1 << "first" << V{Button::Insert, Button::Delete, Button::Edit};
    QTest::newRow("first of three")
        << 3 << "first"
        << V{Button::Next, Button::Last, Button::Insert, Button::Delete, Button::Edit};
    QTest::newRow("middle of three")
        << 3 << "middle" << V{Button::First,  Button::Prior,  Button::Next, Button::Last,
                              Button::Insert, Button::Delete, Button::Edit};
    QTest::newRow("last of three")
        << 3 << "last"
        << V{Button::First, Button::Prior, Button::Insert, Button::Delete, Button::Edit};
    QTest::newRow("inserting into an empty table")
        << 0 << "insert" << V{Button::Post, Button::Cancel};
    QTest::newRow("editing the middle line")
        << 3 << "edit" << V{Button::First, Button::Prior, Button::Next,
                            Button::Last,  Button::Post,  Button::Cancel};
}

void TestDBNavigator::enabledButtons()
{
    QFETCH(int, lines);
    QFETCH(QString, situation);
    QFETCH(QVector<Button>, on);
    addLines(lines);
    if (situation == QLatin1String("first"))
        m_lines->first();
    else if (situation == QLatin1String("middle") || situation == QLatin1String("edit"))
        m_lines->moveTo(1);
    else if (situation == QLatin1String("last"))
        m_lines->last();
    if (situation == QLatin1String("insert"))
        m_lines->append();
    if (situation == QLatin1String("edit"))
        m_lines->edit();
    QCOMPARE(enabled(), on);
}

void TestDBNavigator::buttonsRunTheirOperation_data()
{
    QTest::addColumn<Button>("button");
    QTest::addColumn<QString>("before"); // "middle", "insert" or "edit"
    QTest::addColumn<int>("row");        // afterwards
    QTest::addColumn<TableState>("state");
    QTest::addColumn<int>("stored");
    QTest::newRow("first") << Button::First << "middle" << 0 << TableState::Browse << 3;
    QTest::newRow("prior") << Button::Prior << "middle" << 0 << TableState::Browse << 3;
    QTest::newRow("next") << Button::Next << "middle" << 2 << TableState::Browse << 3;
    QTest::newRow("last") << Button::Last << "middle" << 2 << TableState::Browse << 3;
    QTest::newRow("insert") << Button::Insert << "middle" << 1 << TableState::Insert << 3;
    QTest::newRow("edit") << Button::Edit << "middle" << 1 << TableState::Edit << 3;
    QTest::newRow("post a new line") << Button::Post << "insert" << 3 << TableState::Browse << 4;
    QTest::newRow("cancel a new line")
        << Button::Cancel << "insert" << 1 << TableState::Browse << 3;
    QTest::newRow("post an edit") << Button::Post << "edit" << 1 << TableState::Browse << 3;
}

void TestDBNavigator::buttonsRunTheirOperation()
{
    QFETCH(Button, button);
    QFETCH(QString, before);
    QFETCH(int, row);
    QFETCH(TableState, state);
    QFETCH(int, stored);
    addLines(3);
    m_lines->moveTo(1);
    if (before == QLatin1String("insert")) {
        m_lines->append();
        m_lines->fieldByName(QStringLiteral("VALOR")).setAsFloat(7);
    } else if (before == QLatin1String("edit")) {
        m_lines->edit();
        m_lines->fieldByName(QStringLiteral("VALOR")).setAsFloat(250);
    }
    clickButton(button);
    QVERIFY2(m_boxes.isEmpty(), qPrintable(m_boxes.join('|')));
    QCOMPARE(m_lines->state(), state);
    QCOMPARE(m_lines->currentRow(), row);
    QCOMPARE(m_lines->recordCount(), stored);
    if (before == QLatin1String("edit")) {
        QCOMPARE(m_lines->fieldByName(QStringLiteral("VALOR")).asFloat(), 250.0);
        Table again;
        again.setDatabaseName(m_dir->path());
        again.setTableName(kLineTableName);
        again.setIndexFieldNames(QStringLiteral("COD;INCR"));
        again.open();
        again.moveTo(1);
        QCOMPARE(again.fieldByName(QStringLiteral("VALOR")).asFloat(), 250.0);
    }
}

void TestDBNavigator::deleteAsks_data()
{
    QTest::addColumn<bool>("answer");
    QTest::addColumn<int>("left");
    QTest::newRow("confirmed") << true << 2;
    QTest::newRow("declined") << false << 3;
}

void TestDBNavigator::deleteAsks()
{
    QFETCH(bool, answer);
    QFETCH(int, left);
    addLines(3);
    m_lines->moveTo(1);
    bool reached = false;
    m_lines->beforeDelete = [&reached](Table &) { reached = true; };
    m_answer = answer;
    clickButton(Button::Delete);
    QCOMPARE(m_boxes, QStringList{QStringLiteral("confirm: Delete record?")});
    QCOMPARE(m_lines->recordCount(), left);
    // A declined delete never reaches the table's handler.
    QCOMPARE(reached, answer);
}

void TestDBNavigator::aRefusalLeavesTheTable()
{
    addLines(2);
    m_refuseInsert = true;
    clickButton(Button::Insert);
    // The handler's own message only; the Abort itself is silent.
    QCOMPARE(m_boxes, QStringList{QStringLiteral("info: refused")});
    QCOMPARE(m_lines->state(), TableState::Browse);
    QCOMPARE(m_lines->rowCount(), 2);
    QCOMPARE(m_lines->currentRow(), 1);
    QCOMPARE(enabled(), (QVector<Button>{Button::First, Button::Prior, Button::Insert,
                                         Button::Delete, Button::Edit}));
}

void TestDBNavigator::aFailedPostIsShownAndKeepsTheLine()
{
    clickButton(Button::Insert);
    QCOMPARE(m_lines->state(), TableState::Insert);
    clickButton(Button::Post); // no value
    QCOMPARE(m_boxes, QStringList{QStringLiteral("error: Field 'VALOR' must have a value.")});
    QCOMPARE(m_lines->state(), TableState::Insert);
    QCOMPARE(enabled(), (QVector<Button>{Button::Post, Button::Cancel}));
}

void TestDBNavigator::disabledButtonDoesNothing()
{
    addLines(1);
    bool posted = false;
    m_lines->beforePost = [&posted](Table &) { posted = true; };
    QVERIFY(!m_navigator->isButtonEnabled(Button::Post));
    clickButton(Button::Post);
    clickButton(Button::Next);
    QVERIFY(!posted);
    QCOMPARE(m_lines->state(), TableState::Browse);
    QCOMPARE(m_lines->currentRow(), 0);
    QVERIFY(m_boxes.isEmpty());
}

void TestDBNavigator::pressDraggedOffIsNoClick()
{
    QTest::mousePress(m_navigator.get(), Qt::LeftButton, {},
                      m_navigator->buttonRect(Button::Insert).center());
    QTest::mouseMove(m_navigator.get(), m_navigator->buttonRect(Button::Cancel).center());
    QTest::mouseRelease(m_navigator.get(), Qt::LeftButton, {},
                        m_navigator->buttonRect(Button::Cancel).center());
    QCOMPARE(m_lines->state(), TableState::Browse);
}

void TestDBNavigator::keyboardPicksAndPresses()
{
    addLines(3);
    m_lines->first();
    m_navigator->setFocus(Qt::TabFocusReason);
    QVERIFY(m_navigator->hasFocus());
    // Right and Left pick the neighbouring button; Space presses it when it is enabled.
    QTest::keyClick(m_navigator.get(), Qt::Key_Right);
    QCOMPARE(m_navigator->focusedButton(), Button::Prior);
    QTest::keyClick(m_navigator.get(), Qt::Key_Space); // disabled on the first line
    QCOMPARE(m_lines->currentRow(), 0);
    QTest::keyClick(m_navigator.get(), Qt::Key_Right);
    QCOMPARE(m_navigator->focusedButton(), Button::Next);
    QTest::keyClick(m_navigator.get(), Qt::Key_Space);
    QCOMPARE(m_lines->currentRow(), 1);
    QTest::keyClick(m_navigator.get(), Qt::Key_Left);
    QTest::keyClick(m_navigator.get(), Qt::Key_Space);
    QCOMPARE(m_lines->currentRow(), 0);
}

QTEST_MAIN(TestDBNavigator)
#include "tst_dbnavigator.moc"
