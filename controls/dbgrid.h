// SPDX-License-Identifier: MIT
#pragma once

#include "controls/dbgridmodel.h"

#include <QTableView>
#include <functional>

class DBGridIndicator;
class MaskEdit;

// A data-bound grid: the records of a table through a DataSource, one column per DBGridColumn,
// titles, a row indicator on the left, column and row lines. Every insert, edit, post, cancel,
// delete and move goes through the table, so its handlers run for them.
//
// The keys a user of such a grid expects: arrows, Page Up/Down, Ctrl+Home/Ctrl+End move between
// lines and columns (Home/End to the first/last column); Down on the last line appends a new
// line; Up or Escape drop an untouched new line; Escape cancels the line being edited; Insert
// starts a new line; a typed character starts editing the line with that character; Ctrl+Delete
// deletes the line after "Delete record?". Tab leaves the grid. Enter and F2 do nothing of their
// own but toggle the cell editor; the form gives them their meaning through the hooks.
//
// When the focus leaves the grid, a new line that was never touched is dropped; anything else
// typed into the cell editor is written into the field.
//
// Public operations throw what the table throws; the grid's own event handlers show it in the
// error box (an Abort stays silent) and leave grid and table as they were.
class DBGrid : public QTableView
{
    Q_OBJECT
public:
    explicit DBGrid(QWidget *parent = nullptr);
    ~DBGrid() override;

    void setColumns(const QVector<DBGridColumn> &columns);
    const QVector<DBGridColumn> &columns() const;
    void setDataSource(DataSource *source);
    DataSource *dataSource() const;
    DBGridModel *gridModel() const { return m_model; }

    // The font of the titles (the cells use the grid's font).
    void setTitleFont(const QFont &font);
    QFont titleFont() const;

    // Called for every key pressed in the grid or its cell editor, before the grid handles it
    // (Tab excepted). The hook may set `key` to another Qt key code, which the grid then handles
    // as if that key had been pressed (Qt::Key_Return also types Enter), or to 0 to swallow it.
    std::function<void(int &key, Qt::KeyboardModifiers modifiers)> onKeyDown;
    // Called for every character typed in the grid or its cell editor: Enter (13), Escape (27)
    // and Backspace (8) included. For Enter, the grid first writes the cell editor's text into
    // the field, then calls the hook, then hides the editor if it is shown and shows it if it is
    // hidden. The hook may change the character or set it to QChar() to swallow it.
    std::function<void(QChar &key)> onKeyPress;

    // The current column, counted in grid columns.
    int selectedIndex() const { return m_column; }
    void setSelectedIndex(int column);
    Field *selectedField() const;

    bool editorMode() const;
    void showEditor();
    void hideEditor();
    // The cell editor, once it has been shown; null before.
    MaskEdit *cellEditor() const { return m_editor; }
    // Writes the text typed into the cell editor into the current record's field, starting an
    // edit when the table is browsing. Nothing when nothing was typed.
    void updateData();
    // Whether the cell editor holds typing that has not been written into the field yet.
    bool editorModified() const { return m_editorModified; }

    // The rows that fit in the grid, for Page Up and Page Down.
    int visibleRowCount() const;

protected:
    void keyPressEvent(QKeyEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void mouseDoubleClickEvent(QMouseEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;
    bool focusNextPrevChild(bool next) override;
    QModelIndex moveCursor(CursorAction cursorAction, Qt::KeyboardModifiers modifiers) override;
    void currentChanged(const QModelIndex &current, const QModelIndex &previous) override;
    void updateGeometries() override;
    void scrollContentsBy(int dx, int dy) override;
    bool viewportEvent(QEvent *event) override;
    void changeEvent(QEvent *event) override;

private:
    Table *table() const;
    void tableChanged(DataSource::Change change, int arg);
    void focusChanged(QWidget *old, QWidget *now);
    void leaveGrid();
    void followTable();
    QModelIndex tableIndex() const;

    // The key handling shared by the grid and its editor; returns whether the key was used.
    bool handleKey(QKeyEvent *event, bool inEditor);
    bool navigationKey(int key, Qt::KeyboardModifiers modifiers, bool inEditor);
    bool typeCharacter(QChar key, bool editorTakesEvent);
    void pressEnter();
    bool editorKeyModifies(QKeyEvent *event) const;
    bool acceptsCharacter(QChar key) const;
    void startEditing();

    void moveRows(int delta);
    void lineDown();
    void lineUp();
    void cancelLine();
    void insertLine();
    void deleteLine();
    void moveToRow(int row);
    bool untouchedInsert() const;

    void loadEditor();
    void placeEditor();
    QString editorText() const;
    void deliverToEditor(QChar key);
    void adjustRowHeight();

    DBGridModel *m_model = nullptr;
    DBGridIndicator *m_indicator = nullptr;
    MaskEdit *m_editor = nullptr;
    int m_column = 0;
    int m_row = -1; // the table row the grid last followed
    bool m_editorShown = false;
    bool m_editorModified = false;
    bool m_following = false;   // the view is being set from the table
    bool m_passThrough = false; // a key is being handed to the editor itself
    bool m_loading = false;     // the editor is being filled from the field
};
