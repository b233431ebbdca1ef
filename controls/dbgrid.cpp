// SPDX-License-Identifier: MIT
#include "controls/dbgrid.h"

#include "controls/application.h"
#include "controls/dbgridindicator.h"
#include "controls/fixedcellstyle.h"
#include "controls/maskedit.h"
#include "controls/messages.h"
#include "controls/typedkeys.h"
#include "core/numbers.h"
#include "core/table.h"

#include <QAbstractButton>
#include <QApplication>
#include <QHeaderView>
#include <QKeyEvent>
#include <QScopedValueRollback>
#include <QTimer>
#include <QToolTip>
#include <algorithm>

namespace
{

using namespace TypedKeys;

// The one character a key event types, or a null character.
QChar typedCharacter(const QKeyEvent *event)
{
    const QString text = TypedCharacters(event);
    return text.size() == 1 ? text.at(0) : QChar();
}

bool isInside(const QWidget *grid, const QWidget *widget)
{
    return widget && (widget == grid || grid->isAncestorOf(widget));
}

} // namespace

DBGrid::DBGrid(QWidget *parent) : QTableView(parent)
{
    m_model = new DBGridModel(this);
    m_indicator = new DBGridIndicator(this);
    setVerticalHeader(m_indicator);
    setModel(m_model);
    connect(m_model, &DBGridModel::tableChanged, this, &DBGrid::tableChanged);
    connect(m_indicator, &DBGridIndicator::rowPressed, this, [this](int row) {
        if (!isInside(this, window()->focusWidget()))
            setFocus(Qt::MouseFocusReason);
        Application::runGuarded([&] { moveToRow(row); });
    });

    // The grid runs its own cell editor; the view's editors, Tab moves and drags stay off.
    setEditTriggers(NoEditTriggers);
    setTabKeyNavigation(false);
    setSelectionMode(SingleSelection);
    setSelectionBehavior(SelectItems);
    setDragEnabled(false);
    setAutoScroll(false);
    setShowGrid(true);
    setWordWrap(false);
    setCornerButtonEnabled(false);
    setFocusPolicy(Qt::StrongFocus);

    QHeaderView *titles = horizontalHeader();
    titles->setSectionsClickable(false);
    titles->setSectionsMovable(false);
    titles->setHighlightSections(false);
    titles->setStretchLastSection(false);
    titles->setSectionResizeMode(QHeaderView::Fixed);
    titles->setMinimumSectionSize(1);
    adjustRowHeight();

    // The titles, the indicator column and the corner button between them are the fixed cells.
    auto *fixedCells = new FixedCellStyle(this);
    titles->setStyle(fixedCells);
    m_indicator->setStyle(fixedCells);
    if (auto *corner = findChild<QAbstractButton *>(QString(), Qt::FindDirectChildrenOnly))
        corner->setStyle(fixedCells);

    connect(qApp, &QApplication::focusChanged, this, &DBGrid::focusChanged);
}

DBGrid::~DBGrid() = default;

// --- configuration ---------------------------------------------------------------------------

void DBGrid::setColumns(const QVector<DBGridColumn> &columns)
{
    hideEditor();
    m_model->setColumns(columns);
    for (int i = 0; i < columns.size(); ++i)
        setColumnWidth(i, columns[i].width);
    m_column = columns.isEmpty() ? 0 : std::clamp(m_column, 0, int(columns.size()) - 1);
    followTable();
}

const QVector<DBGridColumn> &DBGrid::columns() const
{
    return m_model->columns();
}

void DBGrid::setDataSource(DataSource *source)
{
    hideEditor();
    m_editorModified = false;
    m_model->setDataSource(source);
    followTable();
}

DataSource *DBGrid::dataSource() const
{
    return m_model->dataSource();
}

void DBGrid::setTitleFont(const QFont &font)
{
    m_model->setTitleFont(font);
}

QFont DBGrid::titleFont() const
{
    return m_model->titleFont(-1);
}

Table *DBGrid::table() const
{
    return m_model->activeTable();
}

Field *DBGrid::selectedField() const
{
    return m_model->field(m_column);
}

int DBGrid::visibleRowCount() const
{
    const int rowHeight = std::max(1, verticalHeader()->defaultSectionSize());
    return std::max(1, viewport()->height() / rowHeight);
}

void DBGrid::adjustRowHeight()
{
    verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 3);
}

void DBGrid::changeEvent(QEvent *event)
{
    QTableView::changeEvent(event);
    if (event->type() == QEvent::FontChange) {
        adjustRowHeight();
        if (m_editor)
            m_editor->setFont(font());
    }
}

// --- following the table ---------------------------------------------------------------------

QModelIndex DBGrid::tableIndex() const
{
    Table *t = table();
    if (!t || t->currentRow() < 0)
        return {};
    return m_model->index(t->currentRow(), m_column);
}

void DBGrid::followTable()
{
    QScopedValueRollback guard(m_following, true);
    const QModelIndex index = tableIndex();
    if (index.isValid()) {
        selectionModel()->setCurrentIndex(index, QItemSelectionModel::ClearAndSelect);
        scrollTo(index);
    } else {
        selectionModel()->clear();
    }
    Table *t = table();
    m_row = t ? t->currentRow() : -1;
    placeEditor();
    m_indicator->viewport()->update();
}

void DBGrid::tableChanged(DataSource::Change change, int)
{
    using C = DataSource::Change;
    Table *t = table();
    const int row = t ? t->currentRow() : -1;
    if (change == C::Opened || change == C::Closed || change == C::RowsReset || row != m_row) {
        // Another record: what the editor held belonged to the one before.
        m_editorModified = false;
        hideEditor();
    } else if (change == C::StateChanged && t && t->state() == TableState::Browse) {
        // Stored or cancelled: the editor shows the record as it now stands.
        m_editorModified = false;
        if (m_editorShown)
            loadEditor();
    } else if (m_editorShown && !m_editorModified &&
               (change == C::FieldChanged || change == C::RowChanged ||
                change == C::StateChanged)) {
        loadEditor();
    }
    followTable();
}

void DBGrid::currentChanged(const QModelIndex &current, const QModelIndex &previous)
{
    QTableView::currentChanged(current, previous);
    if (m_following)
        return;
    // Only the grid's own moves go to the table; a cell the view picked by itself (rows taken
    // away under it) is put back where the table stands.
    if (current != tableIndex())
        QMetaObject::invokeMethod(
            this, [this] { followTable(); }, Qt::QueuedConnection);
}

QModelIndex DBGrid::moveCursor(CursorAction, Qt::KeyboardModifiers)
{
    return tableIndex();
}

// --- focus -----------------------------------------------------------------------------------

void DBGrid::focusChanged(QWidget *old, QWidget *now)
{
    // Leaving means another control of this window takes the focus; a message box or another
    // window taking it for a while is no leaving.
    if (!isInside(this, old) || isInside(this, now) || !now || now->window() != window())
        return;
    Application::runGuarded([this] { leaveGrid(); });
}

void DBGrid::leaveGrid()
{
    Table *t = table();
    if (!t) {
        hideEditor();
        return;
    }
    if (untouchedInsert()) {
        hideEditor();
        t->cancel();
        return;
    }
    try {
        updateData();
    } catch (...) {
        // The text stays in the editor, which takes the focus back before the error shows.
        const std::exception_ptr error = std::current_exception();
        QTimer::singleShot(0, this, [this, error] {
            if (m_editorShown && m_editor)
                m_editor->setFocus(Qt::OtherFocusReason);
            else
                setFocus(Qt::OtherFocusReason);
            Application::reportException(error);
        });
        return;
    }
    hideEditor();
}

bool DBGrid::focusNextPrevChild(bool next)
{
    // Tab leaves the grid: the next control of the window's chain, never another column.
    if (m_editor && window()->focusWidget() == m_editor)
        setFocus(Qt::OtherFocusReason);
    return QWidget::focusNextPrevChild(next);
}

// --- the cell editor -------------------------------------------------------------------------

bool DBGrid::editorMode() const
{
    return m_editorShown;
}

void DBGrid::showEditor()
{
    const QModelIndex index = tableIndex();
    if (!index.isValid())
        return;
    if (!m_editor) {
        m_editor = new MaskEdit(viewport());
        m_editor->setFrame(false);
        m_editor->setFont(font());
        // Reached by the grid only, never by Tab.
        m_editor->setFocusPolicy(Qt::ClickFocus);
        m_editor->installEventFilter(this);
        m_editor->hide();
        connect(m_editor, &MaskEdit::maskedTextChanged, this, [this] {
            if (!m_loading)
                m_editorModified = true;
        });
    }
    if (!m_editorModified)
        loadEditor();
    m_editorShown = true;
    placeEditor();
    m_editor->show();
    if (isInside(this, window()->focusWidget()))
        m_editor->setFocus(Qt::OtherFocusReason);
    m_editor->selectAll();
}

void DBGrid::hideEditor()
{
    if (!m_editorShown)
        return;
    m_editorShown = false;
    // The grid takes the focus first, or hiding would hand it to the next control.
    if (window()->focusWidget() == m_editor)
        setFocus(Qt::OtherFocusReason);
    m_editor->hide();
}

void DBGrid::loadEditor()
{
    if (!m_editor)
        return;
    QScopedValueRollback guard(m_loading, true);
    const Field *f = selectedField();
    const QString mask = f ? f->def().editMask : QString();
    if (m_editor->editMask() != mask)
        m_editor->setEditMask(mask);
    m_editor->setReadOnly(!m_model->columnEditable(m_column));
    const QModelIndex index = tableIndex();
    const QVariant alignment =
        index.isValid() ? m_model->data(index, Qt::TextAlignmentRole) : QVariant();
    m_editor->setAlignment(alignment.isValid() ? Qt::Alignment(alignment.toInt())
                                               : Qt::AlignLeft | Qt::AlignVCenter);
    m_editor->setMaskedText(f && table() ? f->editText() : QString());
    m_editor->selectAll();
    m_editorModified = false;
}

void DBGrid::placeEditor()
{
    if (!m_editor || !m_editorShown)
        return;
    const QRect rect = visualRect(tableIndex());
    if (rect.isValid())
        m_editor->setGeometry(rect);
}

void DBGrid::updateGeometries()
{
    QTableView::updateGeometries();
    placeEditor();
}

void DBGrid::scrollContentsBy(int dx, int dy)
{
    QTableView::scrollContentsBy(dx, dy);
    placeEditor();
}

QString DBGrid::editorText() const
{
    if (!m_editor)
        return {};
    const QString text = m_editor->maskedText();
    const MaskEngine &engine = m_editor->engine();
    if (!engine.hasMask())
        return text;
    // A masked text with every open position blank is no value at all.
    const QString &all = engine.editText();
    for (int i = 0; i < all.size(); ++i) {
        if (!engine.isLiteral(i) && all.at(i) != QLatin1Char(' '))
            return text;
    }
    return {};
}

void DBGrid::updateData()
{
    if (!m_editorModified || !m_editor)
        return;
    Table *t = table();
    Field *f = selectedField();
    if (!t || !f || !m_model->columnEditable(m_column)) {
        m_editorModified = false;
        return;
    }
    const QString text = editorText();
    if (t->state() == TableState::Browse)
        t->edit();
    f->setAsString(text);
    m_editorModified = false;
}

void DBGrid::setSelectedIndex(int column)
{
    if (column < 0 || column >= m_model->columnCount() || column == m_column)
        return;
    updateData();
    m_column = column;
    if (m_editorShown) {
        loadEditor();
        if (isInside(this, window()->focusWidget()))
            m_editor->setFocus(Qt::OtherFocusReason);
    }
    followTable();
}

void DBGrid::deliverToEditor(QChar key)
{
    QScopedValueRollback guard(m_passThrough, true);
    const int code =
        key == QChar(kBackspace) ? int(Qt::Key_Backspace) : int(key.toUpper().unicode());
    QKeyEvent press(QEvent::KeyPress, code, Qt::NoModifier, QString(key));
    QCoreApplication::sendEvent(m_editor, &press);
}

// --- keys ------------------------------------------------------------------------------------

void DBGrid::keyPressEvent(QKeyEvent *event)
{
    bool used = true;
    Application::runGuarded([&] { used = handleKey(event, false); });
    event->setAccepted(used);
}

bool DBGrid::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_editor && !m_passThrough && event->type() == QEvent::KeyPress) {
        auto *key = static_cast<QKeyEvent *>(event);
        const bool chord = key->modifiers() & (Qt::ControlModifier | Qt::AltModifier);
        if (!chord && (key->key() == Qt::Key_Tab || key->key() == Qt::Key_Backtab)) {
            const bool back =
                key->key() == Qt::Key_Backtab || (key->modifiers() & Qt::ShiftModifier);
            focusNextPrevChild(!back);
            return true;
        }
        bool used = true;
        Application::runGuarded([&] { used = handleKey(key, true); });
        return used;
    }
    return QTableView::eventFilter(watched, event);
}

bool DBGrid::handleKey(QKeyEvent *event, bool inEditor)
{
    int key = event->key();
    const Qt::KeyboardModifiers modifiers = event->modifiers();
    if (onKeyDown) {
        onKeyDown(key, modifiers);
        if (key == 0)
            return true;
    }
    const bool replaced = key != event->key();
    if (navigationKey(key, modifiers, inEditor)) {
        if (key == Qt::Key_Escape && onKeyPress) {
            QChar escape(kEscape);
            onKeyPress(escape);
        }
        return true;
    }
    const QChar typed = replaced ? ControlCharacterOfKey(key) : typedCharacter(event);
    if (typed == QChar(kEnter)) {
        pressEnter();
        return true;
    }
    if (!typed.isNull())
        return typeCharacter(typed, inEditor && !replaced);
    if (inEditor && editorKeyModifies(event)) {
        // Delete, paste and cut change the text: the line must be open for editing first.
        if (!m_model->columnEditable(m_column))
            return true;
        startEditing();
        return false;
    }
    return false;
}

bool DBGrid::navigationKey(int key, Qt::KeyboardModifiers modifiers, bool inEditor)
{
    Table *t = table();
    const bool ctrl = modifiers & Qt::ControlModifier;
    const int lastColumn = m_model->columnCount() - 1;
    switch (key) {
    case Qt::Key_Up:
        lineUp();
        return true;
    case Qt::Key_Down:
        lineDown();
        return true;
    case Qt::Key_PageUp:
        moveRows(-visibleRowCount());
        return true;
    case Qt::Key_PageDown:
        moveRows(visibleRowCount());
        return true;
    case Qt::Key_Home:
    case Qt::Key_End:
        if (ctrl) {
            if (t) {
                updateData();
                key == Qt::Key_Home ? t->first() : t->last();
            }
            return true;
        }
        if (inEditor)
            return false;
        setSelectedIndex(key == Qt::Key_Home ? 0 : lastColumn);
        return true;
    case Qt::Key_Left:
        // In the editor the caret moves; at its left end the grid goes to the column before.
        if (inEditor && (ctrl || m_editor->hasSelectedText() || m_editor->cursorPosition() > 0))
            return false;
        setSelectedIndex(std::max(0, m_column - 1));
        return true;
    case Qt::Key_Right:
        if (inEditor && (ctrl || m_editor->hasSelectedText() ||
                         m_editor->cursorPosition() < m_editor->displayText().size()))
            return false;
        setSelectedIndex(std::min(lastColumn, m_column + 1));
        return true;
    case Qt::Key_Escape:
        cancelLine();
        return true;
    case Qt::Key_Insert:
        if (modifiers != Qt::NoModifier)
            return false;
        insertLine();
        return true;
    case Qt::Key_Delete:
        if (!ctrl)
            return false;
        deleteLine();
        return true;
    default:
        return false;
    }
}

bool DBGrid::typeCharacter(QChar key, bool editorTakesEvent)
{
    const QChar typed = key;
    if (onKeyPress)
        onKeyPress(key);
    if (key.isNull() || key == QChar(kEscape))
        return true;
    if (key == QChar(kEnter)) {
        // The hook turned the character into Enter: the toggle still follows it.
        if (m_editorShown)
            hideEditor();
        else
            showEditor();
        return true;
    }
    if (!key.isPrint() && key != QChar(kBackspace))
        return !editorTakesEvent;
    if (!m_model->columnEditable(m_column))
        return true;
    if (key.isPrint() && !acceptsCharacter(key)) {
        QApplication::beep();
        return true;
    }
    startEditing();
    if (!m_editorShown) {
        // A character typed on the grid opens the editor with the cell selected: it replaces it.
        showEditor();
        if (!m_editorShown)
            return true;
        deliverToEditor(key);
        return true;
    }
    if (editorTakesEvent && key == typed)
        return false;
    deliverToEditor(key);
    return true;
}

void DBGrid::pressEnter()
{
    // The field first, so that the form's handler sees the value typed.
    updateData();
    QChar key(kEnter);
    if (onKeyPress)
        onKeyPress(key);
    if (key != QChar(kEnter))
        return;
    if (m_editorShown)
        hideEditor();
    else
        showEditor();
}

bool DBGrid::editorKeyModifies(QKeyEvent *event) const
{
    if (event->key() == Qt::Key_Delete)
        return !(event->modifiers() & Qt::ControlModifier);
    return event == QKeySequence::Paste || event == QKeySequence::Cut;
}

bool DBGrid::acceptsCharacter(QChar key) const
{
    const Field *f = selectedField();
    if (!f)
        return false;
    switch (f->type()) {
    case FieldType::Float:
        return key.isDigit() || key == QLatin1Char('+') || key == QLatin1Char('-') ||
               key == QLatin1Char('.') || key == QLatin1Char(',') || key == QLatin1Char('e') ||
               key == QLatin1Char('E');
    case FieldType::Integer:
    case FieldType::AutoInc:
        return key.isDigit() || key == QLatin1Char('+') || key == QLatin1Char('-');
    default:
        return true;
    }
}

void DBGrid::startEditing()
{
    Table *t = table();
    if (t && t->state() == TableState::Browse)
        t->edit(); // the table's handlers and the line guard decide; Abort leaves all as it was
}

// --- line operations -------------------------------------------------------------------------

bool DBGrid::untouchedInsert() const
{
    Table *t = table();
    return t && t->state() == TableState::Insert && !t->modified() && !m_editorModified;
}

void DBGrid::moveToRow(int row)
{
    Table *t = table();
    if (!t || row < 0 || row == t->currentRow())
        return;
    updateData();
    t->moveTo(row); // stores a changed line, drops an untouched new one first
}

void DBGrid::moveRows(int delta)
{
    Table *t = table();
    if (!t || t->rowCount() == 0)
        return;
    moveToRow(std::clamp(t->currentRow() + delta, 0, t->rowCount() - 1));
}

void DBGrid::lineUp()
{
    Table *t = table();
    if (!t)
        return;
    if (untouchedInsert() && t->currentRow() == t->rowCount() - 1) {
        t->cancel();
        return;
    }
    updateData();
    t->prior();
}

void DBGrid::lineDown()
{
    Table *t = table();
    if (!t)
        return;
    if (untouchedInsert()) {
        // An untouched new line at the end stays where it is; one in between goes.
        if (t->currentRow() != t->rowCount() - 1)
            t->cancel();
        return;
    }
    updateData();
    t->next();
    if (t->eof())
        t->append();
}

void DBGrid::cancelLine()
{
    Table *t = table();
    m_editorModified = false;
    hideEditor();
    if (t && (t->state() == TableState::Insert || t->state() == TableState::Edit))
        t->cancel();
}

void DBGrid::insertLine()
{
    Table *t = table();
    if (!t)
        return;
    updateData();
    t->insert();
}

void DBGrid::deleteLine()
{
    Table *t = table();
    if (!t || t->rowCount() == 0)
        return;
    if (!Messages::Confirm(QStringLiteral("Delete record?")))
        return;
    t->deleteRecord();
}

// --- mouse -----------------------------------------------------------------------------------

void DBGrid::mousePressEvent(QMouseEvent *event)
{
    event->accept();
    if (!isInside(this, window()->focusWidget()))
        setFocus(Qt::MouseFocusReason);
    if (event->button() != Qt::LeftButton)
        return;
    const QModelIndex index = indexAt(event->position().toPoint());
    if (!index.isValid())
        return;
    Application::runGuarded([&] {
        Table *t = table();
        if (!t)
            return;
        if (index.row() == t->currentRow() && index.column() == m_column) {
            // A click on the current cell opens its editor.
            if (!m_editorShown)
                showEditor();
            return;
        }
        moveToRow(index.row());
        setSelectedIndex(index.column());
    });
}

// No drag selection or view editing: the current cell moves only with the table.
void DBGrid::mouseMoveEvent(QMouseEvent *event)
{
    event->accept();
}

void DBGrid::mouseReleaseEvent(QMouseEvent *event)
{
    event->accept();
}

void DBGrid::mouseDoubleClickEvent(QMouseEvent *event)
{
    event->accept();
}

bool DBGrid::viewportEvent(QEvent *event)
{
    // The grid's hint shows over the cells too.
    if (event->type() == QEvent::ToolTip && !toolTip().isEmpty()) {
        QToolTip::showText(static_cast<QHelpEvent *>(event)->globalPos(), toolTip(), this);
        return true;
    }
    return QTableView::viewportEvent(event);
}
