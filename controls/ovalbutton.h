// SPDX-License-Identifier: MIT
#pragma once

#include "controls/ovalbuttonlayout.h"

#include <QColor>
#include <QFont>
#include <QImage>
#include <QPointer>
#include <QString>
#include <QWidget>
#include <functional>

// The program's own push button: an oval filled with Color, a bevel of BevelWidth concentric
// arcs lit from the upper left, an optional glyph from a strip of NumGlyphs images and a
// one-line caption whose mnemonic is underlined. Raised, pressed, flat (bevel only while the
// pointer is over the oval), disabled and toggle (GroupIndex not 0) use; Transparent leaves the
// parent's surface showing around glyph and caption.
//
// The button paints no rectangle of its own: outside the oval, and everywhere when Transparent,
// the parent's pixels show. It never takes the keyboard focus; Alt with its mnemonic, or the
// plain mnemonic while the focused widget takes no text, clicks it.
//
// Every setter of a visible attribute compares, stores and asks for a repaint (update()).
// The press, release and drag looks of an opaque button are drawn at once, straight over what
// the button showed last, without repainting the parent (see drawNow()).
class TOvalButton : public QWidget
{
    Q_OBJECT
public:
    enum TBevelState : int { Sunken = -1, NoBevel = 0, Raised = 1 };

    // The keys and mouse buttons held at a mouse event; doubleClick marks the second press of a
    // double click.
    struct ShiftState {
        Qt::KeyboardModifiers modifiers;
        Qt::MouseButtons buttons;
        bool doubleClick = false;
    };

    using NotifyHandler = std::function<void(TOvalButton *sender)>;
    using MouseHandler = std::function<void(TOvalButton *sender, Qt::MouseButton button,
                                            const ShiftState &shift, int x, int y)>;
    using MouseMoveHandler =
        std::function<void(TOvalButton *sender, const ShiftState &shift, int x, int y)>;

    explicit TOvalButton(QWidget *parent = nullptr);
    ~TOvalButton() override;

    // Published properties.
    int bevelWidth() const { return m_bevelWidth; }
    void setBevelWidth(int rings); // 0..10 rings
    QString caption() const { return m_caption; }
    void setCaption(const QString &caption);
    QColor color() const { return m_color; }
    void setColor(const QColor &color); // a palette colour is taken at its present value
    bool down() const { return m_down; }
    void setDown(bool down);
    bool flat() const { return m_flat; }
    void setFlat(bool flat);
    // The caption's own font; the parent's font never reaches it. These replace QWidget's.
    const QFont &font() const { return m_font; }
    void setFont(const QFont &font);
    QColor fontColor() const { return m_fontColor; } // the caption's letters
    void setFontColor(const QColor &color);
    const QImage &glyph() const { return m_glyph; }
    void setGlyph(const QImage &glyph); // also takes TransparentColor from its bottom-left pixel
    int groupIndex() const { return m_groupIndex; }
    void setGroupIndex(int groupIndex); // not 0: a toggle button
    TButtonLayout buttonLayout() const { return m_layout; }
    void setButtonLayout(TButtonLayout layout);
    int margin() const { return m_margin; }
    void setMargin(int margin);
    int numGlyphs() const { return m_numGlyphs; }
    void setNumGlyphs(int count); // 0..4 cells; 0 draws no glyph
    int spacing() const { return m_spacing; }
    void setSpacing(int spacing);
    bool transparent() const { return m_transparent; }
    void setTransparent(bool transparent);
    QColor transparentColor() const { return m_transparentColor; }
    void setTransparentColor(const QColor &color);

    // State the mouse drives.
    TBevelState bevelState() const { return m_bevelState; }
    bool downAtPress() const { return m_downAtPress; }
    bool buttonHeld() const { return m_buttonHeld; }
    bool mouseInside() const { return m_mouseInside; }
    QColor highlightColor() const { return m_highlightColor; }
    QColor shadowColor() const { return m_shadowColor; }

    // True when the point, in button coordinates, lies in the elliptic region of the button's
    // rectangle.
    bool isInOval(const QPoint &point) const;
    // The caption's mnemonic: the character after the last single ampersand; null when none.
    static QChar mnemonicOf(const QString &caption);

    // Raises OnClick.
    void click();

    // Events, each raised only when assigned.
    NotifyHandler onClick;
    NotifyHandler onDblClick;
    MouseHandler onMouseDown;
    MouseMoveHandler onMouseMove;
    MouseHandler onMouseUp;
    NotifyHandler onMouseEnter;
    NotifyHandler onMouseExit;

protected:
    bool event(QEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;
    void paintEvent(QPaintEvent *event) override;
    void changeEvent(QEvent *event) override;
    void showEvent(QShowEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void mouseDoubleClickEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void enterEvent(QEnterEvent *event) override;
    void leaveEvent(QEvent *event) override;

    // The button's reactions, called from the Qt events above.
    virtual void mouseDown(Qt::MouseButton button, const ShiftState &shift, int x, int y);
    virtual void mouseUp(Qt::MouseButton button, const ShiftState &shift, int x, int y);
    virtual void mouseMove(const ShiftState &shift, int x, int y);
    virtual void dblClick();
    virtual void mouseEntered();
    virtual void mouseLeft();
    // The accelerator character: clicks and returns true when it is the caption's mnemonic and
    // the button can be used.
    virtual bool acceleratorChar(QChar character);

private:
    enum class DirectDraw { None, Face, Bevel };

    void updateShades();
    void drawNow(DirectDraw what);
    void drawBevel(QPainter &painter) const;
    void drawFace(QPainter &painter) const;
    void drawGlyphCell(QPainter &painter, const QRect &source, const QPoint &target) const;
    void updateMnemonic();
    void watchWindow();

    // The button's fields.
    int m_bevelWidth = 0;
    QColor m_color;
    QColor m_highlightColor;
    QColor m_shadowColor;
    bool m_down = false;
    bool m_downAtPress = false;
    bool m_flat = false;
    QFont m_font;
    QImage m_glyph;
    int m_groupIndex = 0;
    TButtonLayout m_layout = blGlyphBottom;
    int m_margin = 0;
    int m_numGlyphs = 0;
    int m_spacing = 4;
    TBevelState m_bevelState = Raised;
    bool m_transparent = false;
    QColor m_transparentColor = QColor(0, 0, 0);
    bool m_buttonHeld = false;
    bool m_mouseInside = false;

    QString m_caption;
    QColor m_fontColor;
    QChar m_mnemonic;
    int m_shortcutId = 0;              // Alt + mnemonic
    QPointer<QWidget> m_watchedWindow; // where a plain mnemonic key arrives
    bool m_clicked = false;            // a left press on the button, not yet released
    DirectDraw m_directDraw = DirectDraw::None;
};
