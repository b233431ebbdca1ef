// SPDX-License-Identifier: MIT
#include "controls/dbgrid.h"
#include "controls/dbgridmodel.h"
#include "controls/maskedit.h"
#include "controls/messages.h"
#include "core/calculationstore.h"
#include "core/dates.h"
#include "core/errors.h"
#include "core/table.h"
#include "support/linetables.h"
#include "support/tempfolder.h"

#include <QAbstractButton>
#include <QApplication>
#include <QHeaderView>
#include <QLineEdit>
#include <QTest>
#include <QVBoxLayout>

#include <memory>

namespace
{

QFont sans(int pixels, bool bold)
{
    QFont font;
    font.setFamilies({QStringLiteral("Liberation Sans"), QStringLiteral("DejaVu Sans")});
    font.setPixelSize(pixels);
    font.setBold(bold);
    return font;
}

QFont serif(int pixels, bool bold)
{
    QFont font(QStringLiteral("Liberation Serif"));
    font.setPixelSize(pixels);
    font.setBold(bold);
    return font;
}

// The cheque grid's columns, as the main window lays them out.
QVector<DBGridColumn> lineColumns()
{
    const Qt::Alignment right = Qt::AlignRight | Qt::AlignVCenter;
    const Qt::Alignment left = Qt::AlignLeft | Qt::AlignVCenter;
    return {
        {"VALOR", "Valor", 87, false, {}, QColor(), left, QColor(128, 0, 0), {}},
        {"DATA", "Data", 81, false, left, QColor(), Qt::AlignCenter, QColor(), {}},
        {"DIAS", "Dias", 47, true, Qt::AlignCenter, QColor(), Qt::AlignCenter, QColor(), {}},
        {"JUROS", "Juros", 93, true, right, QColor(255, 255, 240), Qt::AlignCenter, QColor(),
         serif(15, true)},
        {"VALORDESC", "Vlr.Apurado", 101, true, {}, QColor(), Qt::AlignCenter, QColor(), {}},
    };
}

const QString kGuardMessage = QStringLiteral("Grave o cabeçário primeiro.");

enum Column { VALOR, DATA, DIAS, JUROS, VALORDESC };

} // namespace

// The data grid over a line table in a temporary folder, inside a small form with an input
// before and after it in the tab chain.
class TestDBGrid : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void columnsAndLook();
    void cellsShowTheFieldsThroughTheirFormats();
    void rowIndicator();
    void fixedCellsAreRaised_data();
    void fixedCellsAreRaised();
    void followsTheTable();
    void navigationKeys_data();
    void navigationKeys();
    void downOnTheLastLineAppends();
    void upAndEscapeDropAnUntouchedNewLine();
    void escapeCancelsAnEdit();
    void typingStartsEditing();
    void refusedCharactersBeepAndChangeNothing();
    void aNonNumberShowsTheErrorAndStaysEditing();
    void enterWritesTheFieldBeforeTheHook();
    void hooksRunTheQuickEntry();
    void keyDownHookSwallowsAKey();
    void readOnlyColumnsOnlyShowTheEditor();
    void dateColumnUsesTheFieldsMask();
    void leavingTheGrid_data();
    void leavingTheGrid();
    void leavingWithAnUnreadableValueKeepsTheEditor();
    void tabLeavesTheGrid();
    void ctrlDelete_data();
    void ctrlDelete();
    void refusalsLeaveGridAndTable_data();
    void refusalsLeaveGridAndTable();
    void mouseMovesTheTable();
    void aFailedStoreKeepsTheLine();

private:
    void addLine(double value, const QDate &date);
    void press(int key, Qt::KeyboardModifiers modifiers = Qt::NoModifier);
    void type(const QString &text);
    QWidget *focus() const { return QApplication::focusWidget(); }
    Field &field(const char *name) { return m_lines->fieldByName(QLatin1String(name)); }
    QString editorText() const;
    DBGridModel::Indicator indicatorOf(int row) const;

    std::unique_ptr<TempFolder> m_dir;
    std::unique_ptr<Table> m_lines;
    std::unique_ptr<DataSource> m_source;
    std::unique_ptr<QWidget> m_form;
    QLineEdit *m_before = nullptr;
    QLineEdit *m_after = nullptr;
    DBGrid *m_grid = nullptr;
    QStringList m_boxes;
    bool m_answer = true;
    QString m_refuse; // "insert", "edit" or "delete": that before-handler refuses like the guard
};

void TestDBGrid::init()
{
    m_boxes.clear();
    m_answer = true;
    m_refuse.clear();
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
    m_lines->onCalcFields = [](Table &t) {
        const double value = t.fieldByName(QStringLiteral("VALOR")).asFloat();
        t.fieldByName(QStringLiteral("DIAS")).setAsString(QStringLiteral("10"));
        t.fieldByName(QStringLiteral("JUROS")).setAsFloat(value / 10);
        t.fieldByName(QStringLiteral("VALORDESC")).setAsFloat(value - value / 10);
    };
    const auto guard = [this](const char *operation) {
        return [this, operation](Table &) {
            if (m_refuse == QLatin1String(operation)) {
                Messages::ShowMessage(kGuardMessage);
                throw Abort();
            }
        };
    };
    m_lines->beforeInsert = guard("insert");
    m_lines->beforeEdit = guard("edit");
    m_lines->beforeDelete = guard("delete");
    m_lines->onNewRecord = [](Table &t) {
        t.fieldByName(QStringLiteral("COD")).setAsString(QStringLiteral("000001"));
        t.fieldByName(QStringLiteral("DATA")).setAsDate(DayNumber(QDate(2024, 5, 15)));
    };
    m_lines->open();
    m_source = std::make_unique<DataSource>(m_lines.get());

    m_form = std::make_unique<QWidget>();
    auto *layout = new QVBoxLayout(m_form.get());
    m_before = new QLineEdit(m_form.get());
    m_grid = new DBGrid(m_form.get());
    m_after = new QLineEdit(m_form.get());
    layout->addWidget(m_before);
    layout->addWidget(m_grid);
    layout->addWidget(m_after);
    m_grid->setFont(sans(13, false));
    m_grid->setTitleFont(sans(11, true));
    m_grid->setColumns(lineColumns());
    m_grid->setDataSource(m_source.get());
    m_form->resize(560, 320);
    m_form->show();
    QVERIFY(QTest::qWaitForWindowActive(m_form.get()));
    m_grid->setFocus();
    QCOMPARE(focus(), m_grid);
}

void TestDBGrid::cleanup()
{
    m_form.reset();
    m_source.reset();
    m_lines.reset();
    m_dir.reset();
    Messages::setSinkForTesting({});
}

void TestDBGrid::addLine(double value, const QDate &date)
{
    m_lines->append();
    field("VALOR").setAsFloat(value);
    field("DATA").setAsDate(DayNumber(date));
    m_lines->post();
}

void TestDBGrid::press(int key, Qt::KeyboardModifiers modifiers)
{
    QWidget *target = focus();
    QVERIFY(target);
    QTest::keyClick(target, Qt::Key(key), modifiers);
}

void TestDBGrid::type(const QString &text)
{
    for (const QChar c : text) {
        QWidget *target = focus();
        QVERIFY(target);
        QTest::keyClick(target, c.toLatin1());
    }
}

QString TestDBGrid::editorText() const
{
    return m_grid->cellEditor() ? m_grid->cellEditor()->maskedText() : QString();
}

DBGridModel::Indicator TestDBGrid::indicatorOf(int row) const
{
    return m_grid->model()
        ->headerData(row, Qt::Vertical, DBGridModel::IndicatorRole)
        .value<DBGridModel::Indicator>();
}

// --- look ------------------------------------------------------------------------------------

void TestDBGrid::columnsAndLook()
{
    QAbstractItemModel *model = m_grid->model();
    QCOMPARE(model->columnCount(), 5);
    const QStringList titles = {"Valor", "Data", "Dias", "Juros", "Vlr.Apurado"};
    const int widths[] = {87, 81, 47, 93, 101};
    for (int c = 0; c < 5; ++c) {
        QCOMPARE(model->headerData(c, Qt::Horizontal).toString(), titles[c]);
        QCOMPARE(m_grid->columnWidth(c), widths[c]);
    }

    const auto titleAlignment = [&](int c) {
        return Qt::Alignment(model->headerData(c, Qt::Horizontal, Qt::TextAlignmentRole).toInt()) &
               Qt::AlignHorizontal_Mask;
    };
    QCOMPARE(titleAlignment(VALOR), Qt::AlignLeft);
    for (int c : {DATA, DIAS, JUROS, VALORDESC})
        QCOMPARE(titleAlignment(c), Qt::AlignHCenter);
    QCOMPARE(model->headerData(VALOR, Qt::Horizontal, Qt::ForegroundRole).value<QBrush>().color(),
             QColor(128, 0, 0));
    QVERIFY(!model->headerData(DATA, Qt::Horizontal, Qt::ForegroundRole).isValid());

    const QFont juros = model->headerData(JUROS, Qt::Horizontal, Qt::FontRole).value<QFont>();
    QCOMPARE(QFontInfo(juros).family(), QStringLiteral("Liberation Serif"));
    QCOMPARE(juros.pixelSize(), 15);
    QVERIFY(juros.bold());
    const QFont title = model->headerData(VALOR, Qt::Horizontal, Qt::FontRole).value<QFont>();
    QCOMPARE(title.pixelSize(), 11);
    QVERIFY(title.bold());
    QCOMPARE(m_grid->font().pixelSize(), 13);

    // Cells: VALOR and VALORDESC take the field's right alignment, DATA is put left although
    // its field centres, DIAS centred; JUROS on its own background.
    addLine(10, QDate(2024, 5, 20));
    const auto cellAlignment = [&](int c) {
        return Qt::Alignment(model->index(0, c).data(Qt::TextAlignmentRole).toInt()) &
               Qt::AlignHorizontal_Mask;
    };
    QCOMPARE(cellAlignment(VALOR), Qt::AlignRight);
    QCOMPARE(cellAlignment(DATA), Qt::AlignLeft);
    QCOMPARE(cellAlignment(DIAS), Qt::AlignHCenter);
    QCOMPARE(cellAlignment(JUROS), Qt::AlignRight);
    QCOMPARE(cellAlignment(VALORDESC), Qt::AlignRight);
    QCOMPARE(model->index(0, JUROS).data(Qt::BackgroundRole).value<QBrush>().color(),
             QColor(255, 255, 240));
    QVERIFY(!model->index(0, VALOR).data(Qt::BackgroundRole).isValid());

    QVERIFY(m_grid->showGrid());
    QVERIFY(m_grid->horizontalHeader()->isVisible());
    QVERIFY(m_grid->verticalHeader()->isVisible());
    QCOMPARE(m_grid->editTriggers(), QAbstractItemView::NoEditTriggers);
}

void TestDBGrid::cellsShowTheFieldsThroughTheirFormats()
{
    addLine(1250, QDate(2024, 5, 20));
    addLine(0.5, QDate(2024, 6, 3));
    QAbstractItemModel *model = m_grid->model();
    QCOMPARE(model->rowCount(), 2);
    QCOMPARE(model->index(0, VALOR).data().toString(), QStringLiteral("1.250,00"));
    QCOMPARE(model->index(0, DATA).data().toString(), QStringLiteral("20/05/2024"));
    QCOMPARE(model->index(0, DIAS).data().toString(), QStringLiteral("10"));
    QCOMPARE(model->index(0, JUROS).data().toString(), QStringLiteral("125,00"));
    QCOMPARE(model->index(0, VALORDESC).data().toString(), QStringLiteral("1.125,00"));
    QCOMPARE(model->index(1, VALOR).data().toString(), QStringLiteral("0,50"));

    // A new line counts as a row while it is typed; its calculated cells follow each change.
    m_lines->append();
    QCOMPARE(model->rowCount(), 3);
    QCOMPARE(model->index(2, VALOR).data().toString(), QString());
    field("VALOR").setAsFloat(20);
    QCOMPARE(model->index(2, JUROS).data().toString(), QStringLiteral("2,00"));
    m_lines->cancel();
    QCOMPARE(model->rowCount(), 2);

    m_lines->close();
    QCOMPARE(model->rowCount(), 0);
    m_lines->open();
    QCOMPARE(model->rowCount(), 2);
}

void TestDBGrid::rowIndicator()
{
    using I = DBGridModel::Indicator;
    addLine(10, QDate(2024, 5, 20));
    addLine(20, QDate(2024, 5, 21));
    m_lines->first();
    QCOMPARE(indicatorOf(0), I::Current);
    QCOMPARE(indicatorOf(1), I::None);

    // The glyph is drawn on the current row only; the cell's edges are no ink.
    const auto inkIn = [&](int row) {
        QHeaderView *header = m_grid->verticalHeader();
        const QImage shot = header->viewport()->grab().toImage();
        const int top = header->sectionViewportPosition(row);
        int dark = 0;
        for (int y = top + 1; y < top + header->sectionSize(row) - 2; ++y)
            for (int x = 1; x < shot.width() - 2; ++x)
                dark += qGray(shot.pixel(x, y)) < 80;
        return dark;
    };
    QVERIFY(inkIn(0) > 0);
    QCOMPARE(inkIn(1), 0);

    m_lines->edit();
    QCOMPARE(indicatorOf(0), I::Editing);
    const int editInk = inkIn(0);
    QVERIFY(editInk > 0);
    m_lines->cancel();
    QCOMPARE(indicatorOf(0), I::Current);

    m_lines->append();
    QCOMPARE(indicatorOf(2), I::Inserting);
    QCOMPARE(indicatorOf(0), I::None);
    QVERIFY(inkIn(2) > 0);
    m_lines->cancel();
    QCOMPARE(indicatorOf(0), I::Current);
}

void TestDBGrid::fixedCellsAreRaised_data()
{
    QTest::addColumn<QString>("cell");
    QTest::newRow("narrow title") << "Dias";
    QTest::newRow("wide title") << "Vlr.Apurado";
    QTest::newRow("indicator") << "indicator";
    QTest::newRow("corner") << "corner";
}

// The titles, the indicator column and the corner are button faces with a raised edge and a
// line to the next cell, flat inside, whatever their size.
void TestDBGrid::fixedCellsAreRaised()
{
    QFETCH(QString, cell);
    addLine(10, QDate(2024, 5, 20));
    QHeaderView *titles = m_grid->horizontalHeader();
    QHeaderView *indicator = m_grid->verticalHeader();
    QWidget *owner = titles;
    QRect rect;
    if (cell == QLatin1String("indicator")) {
        owner = indicator;
        rect = QRect(indicator->viewport()->mapTo(m_grid, QPoint(0, 0)),
                     QSize(indicator->width(), indicator->sectionSize(0)));
    } else if (cell == QLatin1String("corner")) {
        owner = m_grid->findChild<QAbstractButton *>(QString(), Qt::FindDirectChildrenOnly);
        QVERIFY(owner);
        rect = owner->geometry();
    } else {
        const int column = cell == QLatin1String("Dias") ? DIAS : VALORDESC;
        rect = QRect(
            titles->viewport()->mapTo(m_grid, QPoint(titles->sectionViewportPosition(column), 0)),
            QSize(titles->sectionSize(column), titles->height()));
    }
    QVERIFY(rect.width() > 4 && rect.height() > 4);
    const QImage shot = m_grid->grab().toImage();
    // The corner button is disabled: its cell is drawn in the disabled colours.
    const QPalette::ColorGroup group = owner->isEnabled() ? QPalette::Active : QPalette::Disabled;
    const auto colour = [&](QPalette::ColorRole role) {
        return owner->palette().color(group, role).rgb();
    };
    const auto at = [&](int x, int y) { return shot.pixel(x, y); };
    const int middleX = rect.center().x(), middleY = rect.center().y();
    QCOMPARE(at(rect.left(), middleY), colour(QPalette::Light));
    QCOMPARE(at(middleX, rect.top()), colour(QPalette::Light));
    QCOMPARE(at(rect.right() - 1, middleY), colour(QPalette::Dark));
    QCOMPARE(at(middleX, rect.bottom() - 1), colour(QPalette::Dark));
    QCOMPARE(at(rect.right(), middleY), colour(QPalette::Shadow));
    QCOMPARE(at(middleX, rect.bottom()), colour(QPalette::Shadow));
    // Flat inside, left of any title text.
    for (int y = rect.top() + 1; y < rect.bottom() - 1; ++y)
        QCOMPARE(at(rect.left() + 2, y), colour(QPalette::Button));
}

void TestDBGrid::followsTheTable()
{
    for (int i = 1; i <= 4; ++i)
        addLine(i * 10, QDate(2024, 5, i));
    m_grid->setSelectedIndex(DATA);
    m_lines->moveTo(2);
    QCOMPARE(m_grid->currentIndex().row(), 2);
    QCOMPARE(m_grid->currentIndex().column(), int(DATA));
    m_lines->first();
    QCOMPARE(m_grid->currentIndex().row(), 0);
    m_lines->append();
    QCOMPARE(m_grid->currentIndex().row(), 4);
    m_lines->cancel();
    QCOMPARE(m_grid->currentIndex().row(), 0);
    m_lines->close();
    QVERIFY(!m_grid->currentIndex().isValid());
}

// --- keys ------------------------------------------------------------------------------------

void TestDBGrid::navigationKeys_data()
{
    QTest::addColumn<int>("startRow");
    QTest::addColumn<int>("startColumn");
    QTest::addColumn<int>("key");
    QTest::addColumn<int>("modifiers");
    QTest::addColumn<int>("row");
    QTest::addColumn<int>("column");

    const int none = Qt::NoModifier, ctrl = Qt::ControlModifier;
    QTest::newRow("Down") << 0 << 0 << int(Qt::Key_Down) << none << 1 << 0;
    QTest::newRow("Up") << 3 << 2 << int(Qt::Key_Up) << none << 2 << 2;
    QTest::newRow("Up on the first line") << 0 << 0 << int(Qt::Key_Up) << none << 0 << 0;
    QTest::newRow("Right") << 1 << 0 << int(Qt::Key_Right) << none << 1 << 1;
    QTest::newRow("Right on the last column") << 1 << 4 << int(Qt::Key_Right) << none << 1 << 4;
    QTest::newRow("Left") << 1 << 3 << int(Qt::Key_Left) << none << 1 << 2;
    QTest::newRow("Left on the first column") << 1 << 0 << int(Qt::Key_Left) << none << 1 << 0;
    QTest::newRow("Home") << 2 << 3 << int(Qt::Key_Home) << none << 2 << 0;
    QTest::newRow("End") << 2 << 1 << int(Qt::Key_End) << none << 2 << 4;
    QTest::newRow("Ctrl+Home") << 3 << 2 << int(Qt::Key_Home) << ctrl << 0 << 2;
    QTest::newRow("Ctrl+End") << 0 << 2 << int(Qt::Key_End) << ctrl << 5 << 2;
    QTest::newRow("PgDown") << 0 << 0 << int(Qt::Key_PageDown) << none << -1 << 0;
    QTest::newRow("PgUp") << 5 << 0 << int(Qt::Key_PageUp) << none << -2 << 0;
}

void TestDBGrid::navigationKeys()
{
    QFETCH(int, startRow);
    QFETCH(int, startColumn);
    QFETCH(int, key);
    QFETCH(int, modifiers);
    QFETCH(int, row);
    QFETCH(int, column);

    for (int i = 1; i <= 6; ++i)
        addLine(i * 10, QDate(2024, 5, i));
    // Room for fewer rows than the table has.
    m_grid->setFixedHeight(m_grid->horizontalHeader()->height() +
                           3 * m_grid->verticalHeader()->defaultSectionSize() + 8);
    m_form->layout()->activate();
    m_lines->moveTo(startRow);
    m_grid->setSelectedIndex(startColumn);
    // A page is the rows in view: -1 the row a page down, -2 a page up from the last row.
    const int page = m_grid->visibleRowCount();
    QVERIFY(page > 1 && page < 6);
    if (row == -1)
        row = page;
    else if (row == -2)
        row = 5 - page;

    press(key, Qt::KeyboardModifiers(modifiers));
    QCOMPARE(m_lines->currentRow(), row);
    QCOMPARE(m_grid->selectedIndex(), column);
    QCOMPARE(m_grid->currentIndex(), m_grid->model()->index(row, column));
    QCOMPARE(m_lines->state(), TableState::Browse);
    QCOMPARE(m_lines->rowCount(), 6);
}

void TestDBGrid::downOnTheLastLineAppends()
{
    addLine(10, QDate(2024, 5, 20));
    addLine(20, QDate(2024, 5, 21));
    m_lines->last();
    press(Qt::Key_Down);
    QCOMPARE(m_lines->state(), TableState::Insert);
    QCOMPARE(m_lines->rowCount(), 3);
    QCOMPARE(m_lines->currentRow(), 2);
    QCOMPARE(m_grid->currentIndex().row(), 2);

    // Down again on the untouched new line: it stays, and no second one comes.
    press(Qt::Key_Down);
    QCOMPARE(m_lines->state(), TableState::Insert);
    QCOMPARE(m_lines->rowCount(), 3);

    // A touched one is stored by Down, and the next new line opens.
    type(QStringLiteral("30"));
    press(Qt::Key_Down);
    QCOMPARE(m_lines->recordCount(), 3);
    QCOMPARE(m_lines->rowCount(), 4);
    QCOMPARE(m_lines->state(), TableState::Insert);
    QCOMPARE(m_lines->rowValue(2, field("VALOR").index()).toDouble(), 30.0);

    // On an empty grid Down starts the first line.
    m_lines->cancel();
    m_lines->emptyTable();
    QCOMPARE(m_lines->rowCount(), 0);
    press(Qt::Key_Down);
    QCOMPARE(m_lines->state(), TableState::Insert);
    QCOMPARE(m_lines->rowCount(), 1);
    QVERIFY(m_boxes.isEmpty());
}

void TestDBGrid::upAndEscapeDropAnUntouchedNewLine()
{
    addLine(10, QDate(2024, 5, 20));
    addLine(20, QDate(2024, 5, 21));
    m_lines->last();
    press(Qt::Key_Down);
    QCOMPARE(m_lines->rowCount(), 3);
    press(Qt::Key_Up);
    QCOMPARE(m_lines->state(), TableState::Browse);
    QCOMPARE(m_lines->rowCount(), 2);
    QCOMPARE(m_lines->currentRow(), 1);

    press(Qt::Key_Down);
    QCOMPARE(m_lines->state(), TableState::Insert);
    press(Qt::Key_Escape);
    QCOMPARE(m_lines->state(), TableState::Browse);
    QCOMPARE(m_lines->rowCount(), 2);

    // Escape drops a new line that was typed into as well, and closes its editor.
    press(Qt::Key_Down);
    type(QStringLiteral("55"));
    QVERIFY(m_grid->editorMode());
    press(Qt::Key_Escape);
    QCOMPARE(m_lines->state(), TableState::Browse);
    QCOMPARE(m_lines->rowCount(), 2);
    QVERIFY(!m_grid->editorMode());
    QCOMPARE(focus(), m_grid);
    QCOMPARE(m_lines->recordCount(), 2);
}

void TestDBGrid::escapeCancelsAnEdit()
{
    addLine(10, QDate(2024, 5, 20));
    m_lines->first();
    type(QStringLiteral("77"));
    press(Qt::Key_Return);
    QCOMPARE(m_lines->state(), TableState::Edit);
    QCOMPARE(field("VALOR").asFloat(), 77.0);
    press(Qt::Key_Escape);
    QCOMPARE(m_lines->state(), TableState::Browse);
    QCOMPARE(field("VALOR").asFloat(), 10.0);
    QCOMPARE(m_grid->model()->index(0, VALOR).data().toString(), QStringLiteral("10,00"));
}

void TestDBGrid::typingStartsEditing()
{
    addLine(10, QDate(2024, 5, 20));
    m_lines->first();
    QStringList seen;
    m_grid->onKeyPress = [&](QChar &key) { seen << QString(key); };

    QTest::keyClick(m_grid, '7');
    QCOMPARE(m_lines->state(), TableState::Edit);
    QVERIFY(m_grid->editorMode());
    QCOMPARE(focus(), m_grid->cellEditor());
    // The character replaced the cell's text; the field takes it at Enter.
    QCOMPARE(editorText(), QStringLiteral("7"));
    QCOMPARE(field("VALOR").asFloat(), 10.0);
    type(QStringLiteral("5,5"));
    QCOMPARE(editorText(), QStringLiteral("75,5"));
    press(Qt::Key_Return);
    QCOMPARE(field("VALOR").asFloat(), 75.5);
    QVERIFY(!m_grid->editorMode());
    QCOMPARE(focus(), m_grid);
    QCOMPARE(seen, QStringList({"7", "5", ",", "5", "\r"}));

    // Backspace on the grid also opens the editor, emptying the cell.
    press(Qt::Key_Backspace);
    QVERIFY(m_grid->editorMode());
    QCOMPARE(editorText(), QString());
    press(Qt::Key_Return);
    QVERIFY(field("VALOR").isNull());
    QVERIFY(m_boxes.isEmpty());
}

void TestDBGrid::refusedCharactersBeepAndChangeNothing()
{
    addLine(10, QDate(2024, 5, 20));
    m_lines->first();
    // A letter is no part of a number: refused before the line opens.
    QTest::keyClick(m_grid, 'x');
    QCOMPARE(m_lines->state(), TableState::Browse);
    QVERIFY(!m_grid->editorMode());
    type(QStringLiteral("1"));
    QTest::keyClick(focus(), 'a');
    QCOMPARE(editorText(), QStringLiteral("1"));
    QVERIFY(m_boxes.isEmpty());
}

void TestDBGrid::aNonNumberShowsTheErrorAndStaysEditing()
{
    addLine(10, QDate(2024, 5, 20));
    m_lines->first();
    type(QStringLiteral("1-2"));
    press(Qt::Key_Return);
    QCOMPARE(m_boxes, QStringList{"error: '1-2' is not a valid floating point value."});
    QCOMPARE(m_lines->state(), TableState::Edit);
    QVERIFY(m_grid->editorMode());
    QCOMPARE(editorText(), QStringLiteral("1-2"));
    QCOMPARE(focus(), m_grid->cellEditor());
    QCOMPARE(field("VALOR").asFloat(), 10.0);

    // Nor can the line be left with it.
    press(Qt::Key_Down);
    QCOMPARE(m_boxes.size(), 2);
    QCOMPARE(m_lines->state(), TableState::Edit);
    QCOMPARE(m_lines->currentRow(), 0);

    // Corrected, Enter takes it.
    press(Qt::Key_End);
    press(Qt::Key_Backspace);
    press(Qt::Key_Backspace);
    press(Qt::Key_Return);
    QCOMPARE(field("VALOR").asFloat(), 1.0);
    QCOMPARE(m_boxes.size(), 2);
}

void TestDBGrid::enterWritesTheFieldBeforeTheHook()
{
    addLine(10, QDate(2024, 5, 20));
    m_lines->first();
    QVariant atHook;
    bool editorAtHook = false;
    m_grid->onKeyPress = [&](QChar &key) {
        if (key == QChar(13)) {
            atHook = field("VALOR").value();
            editorAtHook = m_grid->editorMode();
        }
    };
    type(QStringLiteral("42"));
    press(Qt::Key_Return);
    QCOMPARE(atHook.toDouble(), 42.0);
    QVERIFY(editorAtHook);
    QVERIFY(!m_grid->editorMode());

    // Enter on a closed editor opens it, the hook first.
    press(Qt::Key_Return);
    QVERIFY(!editorAtHook);
    QVERIFY(m_grid->editorMode());
    QCOMPARE(editorText(), QStringLiteral("42,00"));

    // The hook may swallow Enter: no toggle then.
    m_grid->onKeyPress = [](QChar &key) { key = QChar(); };
    press(Qt::Key_Return);
    QVERIFY(m_grid->editorMode());
}

void TestDBGrid::hooksRunTheQuickEntry()
{
    // The window's Enter rules, as the main window hangs them on the grid.
    m_grid->onKeyDown = [](int &key, Qt::KeyboardModifiers) {
        if (key == Qt::Key_F2)
            key = Qt::Key_Return;
    };
    m_grid->onKeyPress = [this](QChar &key) {
        if (key != QChar(13))
            return;
        const TableState state = m_lines->state();
        if (state == TableState::Insert || state == TableState::Edit) {
            if (m_grid->selectedIndex() == 0) {
                m_grid->setSelectedIndex(1);
            } else if (m_grid->selectedIndex() == 1) {
                m_lines->post();
                if (state == TableState::Insert)
                    m_lines->append();
            }
        } else if (state == TableState::Browse) {
            m_lines->edit();
        }
    };
    m_lines->onNewRecord = [this](Table &t) {
        t.fieldByName(QStringLiteral("COD")).setAsString(QStringLiteral("000001"));
        t.fieldByName(QStringLiteral("DATA")).setAsDate(DayNumber(QDate(2024, 5, 15)));
        m_grid->setSelectedIndex(0);
    };

    // Enter on the empty grid starts the first line with the editor open on the value.
    press(Qt::Key_Return);
    QCOMPARE(m_lines->state(), TableState::Insert);
    QVERIFY(m_grid->editorMode());
    type(QStringLiteral("100"));
    press(Qt::Key_Return);
    QCOMPARE(m_grid->selectedIndex(), 1);
    QVERIFY(!m_grid->editorMode());
    type(QStringLiteral("20052024"));
    QCOMPARE(editorText(), QStringLiteral("20/05/2024"));
    press(Qt::Key_Return);
    QCOMPARE(m_lines->recordCount(), 1);
    QCOMPARE(m_lines->state(), TableState::Insert);
    QCOMPARE(m_lines->currentRow(), 1);
    QCOMPARE(m_grid->selectedIndex(), 0);
    QVERIFY(m_grid->editorMode());
    QCOMPARE(m_lines->rowValue(0, field("VALOR").index()).toDouble(), 100.0);
    QCOMPARE(m_lines->rowValue(0, field("DATA").index()).toInt(), DayNumber(QDate(2024, 5, 20)));

    // F2 runs the same rules: the second value goes to the date column.
    type(QStringLiteral("5"));
    press(Qt::Key_F2);
    QCOMPARE(m_grid->selectedIndex(), 1);
    QCOMPARE(field("VALOR").asFloat(), 5.0);
    press(Qt::Key_F2);
    QCOMPARE(m_lines->recordCount(), 2);
    QCOMPARE(m_lines->rowValue(1, field("DATA").index()).toInt(), DayNumber(QDate(2024, 5, 15)));

    // Enter on the date of a stored line being edited stores it and opens no new line.
    m_lines->cancel();
    m_lines->first();
    m_grid->setSelectedIndex(1);
    press(Qt::Key_Return);
    QCOMPARE(m_lines->state(), TableState::Edit);
    press(Qt::Key_Return);
    QCOMPARE(m_lines->state(), TableState::Browse);
    QCOMPARE(m_lines->rowCount(), 2);
    QVERIFY(m_boxes.isEmpty());
}

void TestDBGrid::keyDownHookSwallowsAKey()
{
    addLine(10, QDate(2024, 5, 20));
    addLine(20, QDate(2024, 5, 21));
    m_lines->first();
    QList<int> seen;
    m_grid->onKeyDown = [&](int &key, Qt::KeyboardModifiers) {
        seen << key;
        if (key == Qt::Key_Down)
            key = 0;
    };
    press(Qt::Key_Down);
    QCOMPARE(m_lines->currentRow(), 0);
    type(QStringLiteral("3"));
    press(Qt::Key_Left); // from the editor too
    QCOMPARE(seen, QList<int>({Qt::Key_Down, Qt::Key_3, Qt::Key_Left}));
}

void TestDBGrid::readOnlyColumnsOnlyShowTheEditor()
{
    addLine(10, QDate(2024, 5, 20));
    m_lines->first();
    m_grid->setSelectedIndex(JUROS);
    QTest::keyClick(m_grid, '5');
    QCOMPARE(m_lines->state(), TableState::Browse);
    QVERIFY(!m_grid->editorMode());
    press(Qt::Key_Return);
    QVERIFY(m_grid->editorMode());
    QVERIFY(m_grid->cellEditor()->isReadOnly());
    QCOMPARE(editorText(), QStringLiteral("1,00"));
    press(Qt::Key_Delete);
    QCOMPARE(editorText(), QStringLiteral("1,00"));
    QCOMPARE(m_lines->state(), TableState::Browse);
    press(Qt::Key_Return);
    QVERIFY(!m_grid->editorMode());
}

void TestDBGrid::dateColumnUsesTheFieldsMask()
{
    addLine(10, QDate(2024, 5, 20));
    m_lines->first();
    m_grid->setSelectedIndex(DATA);
    m_grid->showEditor();
    MaskEdit *editor = m_grid->cellEditor();
    QCOMPARE(editor->editMask(), QStringLiteral("!99/99/9999;1;_"));
    QCOMPARE(editorText(), QStringLiteral("20/05/2024"));

    // Emptied, the date is no value at all: the field is cleared rather than refused.
    press(Qt::Key_A, Qt::ControlModifier);
    press(Qt::Key_Delete);
    QCOMPARE(editorText(), QStringLiteral("  /  /    "));
    QCOMPARE(m_lines->state(), TableState::Edit);
    press(Qt::Key_Return);
    QVERIFY(m_boxes.isEmpty());
    QVERIFY(field("DATA").isNull());

    // Back on the value column the editor is a plain one.
    m_grid->setSelectedIndex(VALOR);
    m_grid->showEditor();
    QCOMPARE(editor->editMask(), QString());
    QCOMPARE(editorText(), QStringLiteral("10,00"));

    // A date typed half is the conversion error.
    m_grid->setSelectedIndex(DATA);
    press(Qt::Key_A, Qt::ControlModifier);
    type(QStringLiteral("3104"));
    press(Qt::Key_Return);
    QCOMPARE(m_boxes, QStringList{"error: '31/04/    ' is not a valid date."});
    QVERIFY(m_grid->editorMode());
}

void TestDBGrid::leavingTheGrid_data()
{
    QTest::addColumn<QString>("line");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<int>("rows");
    QTest::addColumn<int>("state");
    QTest::addColumn<QVariant>("value");

    QTest::newRow("untouched new line is dropped")
        << "new"
        << "" << 1 << int(TableState::Browse) << QVariant(10.0);
    QTest::newRow("new line with typing stays in insert")
        << "new"
        << "25" << 2 << int(TableState::Insert) << QVariant(25.0);
    QTest::newRow("edited line keeps the typing")
        << "edit"
        << "33" << 1 << int(TableState::Edit) << QVariant(33.0);
    QTest::newRow("browsing line stays") << "browse"
                                         << "" << 1 << int(TableState::Browse) << QVariant(10.0);
}

void TestDBGrid::leavingTheGrid()
{
    QFETCH(QString, line);
    QFETCH(QString, typed);
    QFETCH(int, rows);
    QFETCH(int, state);
    QFETCH(QVariant, value);

    addLine(10, QDate(2024, 5, 20));
    m_lines->first();
    if (line == QLatin1String("new"))
        press(Qt::Key_Down);
    type(typed);
    if (line == QLatin1String("edit"))
        QCOMPARE(m_lines->state(), TableState::Edit);

    m_after->setFocus();
    QCOMPARE(focus(), m_after);
    QCOMPARE(m_lines->rowCount(), rows);
    QCOMPARE(int(m_lines->state()), state);
    QCOMPARE(field("VALOR").asFloat(), value.toDouble());
    QVERIFY(!m_grid->editorMode());
    QVERIFY(m_boxes.isEmpty());

    // A message box or another window taking the focus for a while is no leaving.
    m_grid->setFocus();
    press(Qt::Key_Down);
    QCOMPARE(m_lines->state(), TableState::Insert);
    QWidget other;
    other.show();
    other.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&other));
    QCOMPARE(m_lines->state(), TableState::Insert);
}

void TestDBGrid::leavingWithAnUnreadableValueKeepsTheEditor()
{
    addLine(10, QDate(2024, 5, 20));
    m_lines->first();
    type(QStringLiteral("1-"));
    m_after->setFocus();
    QTRY_COMPARE(focus(), m_grid->cellEditor());
    QCOMPARE(m_boxes, QStringList{"error: '1-' is not a valid floating point value."});
    QVERIFY(m_grid->editorMode());
    QCOMPARE(editorText(), QStringLiteral("1-"));
    QCOMPARE(m_lines->state(), TableState::Edit);
}

void TestDBGrid::tabLeavesTheGrid()
{
    addLine(10, QDate(2024, 5, 20));
    m_lines->first();
    press(Qt::Key_Tab);
    QCOMPARE(focus(), m_after);
    QCOMPARE(m_grid->selectedIndex(), 0);

    m_grid->setFocus();
    press(Qt::Key_Backtab, Qt::ShiftModifier);
    QCOMPARE(focus(), m_before);

    // From the open editor as well; what it holds is written on the way out.
    m_grid->setFocus();
    type(QStringLiteral("12"));
    QCOMPARE(focus(), m_grid->cellEditor());
    press(Qt::Key_Tab);
    QCOMPARE(focus(), m_after);
    QCOMPARE(field("VALOR").asFloat(), 12.0);
    QCOMPARE(m_grid->selectedIndex(), 0);
}

void TestDBGrid::ctrlDelete_data()
{
    QTest::addColumn<bool>("answer");
    QTest::addColumn<int>("rows");
    QTest::newRow("confirmed") << true << 1;
    QTest::newRow("declined") << false << 2;
}

void TestDBGrid::ctrlDelete()
{
    QFETCH(bool, answer);
    QFETCH(int, rows);

    addLine(10, QDate(2024, 5, 20));
    addLine(20, QDate(2024, 5, 21));
    m_lines->first();
    m_answer = answer;
    press(Qt::Key_Delete, Qt::ControlModifier);
    QCOMPARE(m_boxes, QStringList{"confirm: Delete record?"});
    QCOMPARE(m_lines->rowCount(), rows);
    QCOMPARE(field("VALOR").asFloat(), answer ? 20.0 : 10.0);

    // Delete alone does nothing; on an empty grid there is nothing to ask about.
    m_boxes.clear();
    press(Qt::Key_Delete);
    QCOMPARE(m_lines->rowCount(), rows);
    m_lines->emptyTable();
    press(Qt::Key_Delete, Qt::ControlModifier);
    QVERIFY(m_boxes.isEmpty());
}

void TestDBGrid::refusalsLeaveGridAndTable_data()
{
    QTest::addColumn<QString>("refuse");
    QTest::addColumn<QString>("action");
    QTest::newRow("typing on a line") << "edit"
                                      << "type";
    QTest::newRow("Backspace on a line") << "edit"
                                         << "backspace";
    QTest::newRow("Delete in an open editor") << "edit"
                                              << "delete in editor";
    QTest::newRow("Down on the last line") << "insert"
                                           << "down";
    QTest::newRow("Insert") << "insert"
                            << "insert";
    QTest::newRow("typing on the empty grid") << "insert"
                                              << "type on empty";
    QTest::newRow("Ctrl+Delete") << "delete"
                                 << "ctrl+delete";
}

void TestDBGrid::refusalsLeaveGridAndTable()
{
    QFETCH(QString, refuse);
    QFETCH(QString, action);

    addLine(10, QDate(2024, 5, 20));
    addLine(20, QDate(2024, 5, 21));
    m_lines->last();
    if (action == QLatin1String("type on empty"))
        m_lines->emptyTable();
    if (action == QLatin1String("delete in editor"))
        m_grid->showEditor();
    const int rows = m_lines->rowCount();
    const int row = m_lines->currentRow();
    m_refuse = refuse;

    if (action == QLatin1String("type") || action == QLatin1String("type on empty"))
        type(QStringLiteral("5"));
    else if (action == QLatin1String("backspace"))
        press(Qt::Key_Backspace);
    else if (action == QLatin1String("delete in editor"))
        press(Qt::Key_Delete);
    else if (action == QLatin1String("down"))
        press(Qt::Key_Down);
    else if (action == QLatin1String("insert"))
        press(Qt::Key_Insert);
    else if (action == QLatin1String("ctrl+delete"))
        press(Qt::Key_Delete, Qt::ControlModifier);

    QStringList expected = {"info: " + kGuardMessage};
    if (action == QLatin1String("ctrl+delete"))
        expected.prepend(QStringLiteral("confirm: Delete record?"));
    QCOMPARE(m_boxes, expected);
    QCOMPARE(m_lines->state(), TableState::Browse);
    QCOMPARE(m_lines->rowCount(), rows);
    QCOMPARE(m_lines->currentRow(), row);
    QCOMPARE(m_grid->model()->rowCount(), rows);
    QCOMPARE(m_grid->editorMode(), action == QLatin1String("delete in editor"));
    if (action == QLatin1String("delete in editor"))
        QCOMPARE(editorText(), QStringLiteral("20,00"));
    QVERIFY(!m_grid->editorModified());
    if (rows > 0)
        QCOMPARE(field("VALOR").asFloat(), 20.0);
}

void TestDBGrid::mouseMovesTheTable()
{
    for (int i = 1; i <= 3; ++i)
        addLine(i * 10, QDate(2024, 5, i));
    m_lines->first();
    QWidget *cells = m_grid->viewport();
    const auto centre = [&](int row, int column) {
        return m_grid->visualRect(m_grid->model()->index(row, column)).center();
    };
    QTest::mouseClick(cells, Qt::LeftButton, {}, centre(2, DATA));
    QCOMPARE(m_lines->currentRow(), 2);
    QCOMPARE(m_grid->selectedIndex(), int(DATA));
    QVERIFY(!m_grid->editorMode());
    // A second click on the current cell opens its editor.
    QTest::mouseClick(cells, Qt::LeftButton, {}, centre(2, DATA));
    QVERIFY(m_grid->editorMode());
    QCOMPARE(editorText(), QStringLiteral("03/05/2024"));

    // The indicator column moves the line too.
    QHeaderView *indicator = m_grid->verticalHeader();
    QTest::mouseClick(indicator->viewport(), Qt::LeftButton, {},
                      QPoint(indicator->width() / 2, indicator->sectionViewportPosition(1) +
                                                         indicator->sectionSize(1) / 2));
    QCOMPARE(m_lines->currentRow(), 1);
    QVERIFY(!m_grid->editorMode());

    // Clicking away from an untouched new line drops it.
    press(Qt::Key_Insert);
    QCOMPARE(m_lines->rowCount(), 4);
    QTest::mouseClick(cells, Qt::LeftButton, {}, centre(0, VALOR));
    QCOMPARE(m_lines->rowCount(), 3);
    QCOMPARE(m_lines->currentRow(), 0);
    QCOMPARE(m_lines->state(), TableState::Browse);
    QVERIFY(m_boxes.isEmpty());
}

void TestDBGrid::aFailedStoreKeepsTheLine()
{
    addLine(10, QDate(2024, 5, 20));
    m_lines->last();
    press(Qt::Key_Down);
    m_grid->setSelectedIndex(DATA);
    type(QStringLiteral("21052024"));
    QTest::mouseClick(m_grid->viewport(), Qt::LeftButton, {},
                      m_grid->visualRect(m_grid->model()->index(0, VALOR)).center());
    QCOMPARE(m_boxes, QStringList{"error: Field 'VALOR' must have a value."});
    QCOMPARE(m_lines->state(), TableState::Insert);
    QCOMPARE(m_lines->currentRow(), 1);
    QCOMPARE(m_grid->currentIndex(), m_grid->model()->index(1, DATA));
    QCOMPARE(field("DATA").asDate(), DayNumber(QDate(2024, 5, 21)));
}

int main(int argc, char **argv)
{
    // QLocale::system() follows LC_ALL even where the locale is not generated.
    qputenv("LC_ALL", "pt_BR.UTF-8");
    QApplication app(argc, argv);
    TestDBGrid test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_dbgrid.moc"
