#pragma once

#include <QAbstractButton>
#include <QFrame>
#include <QStringList>

class QLabel;

namespace velloran {

// The small controls of the drawer's sleeve back, all in its dark scheme.

// A rounded text button; the primary one is printed in cream.
class PillButton : public QAbstractButton {
    Q_OBJECT

public:
    PillButton(const QString &title, bool primary, QWidget *parent = nullptr);
    bool isPrimary() const { return m_primary; }
    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent *event) override;
    void enterEvent(QEnterEvent *event) override;
    void leaveEvent(QEvent *event) override;

private:
    bool m_primary;
    bool m_hovered = false;
};

// A boxed message, with a button when there is something to do about it.
class Notice : public QFrame {
    Q_OBJECT

public:
    Notice(const QString &text, const QString &button, QWidget *parent = nullptr);
    QString text() const;
    PillButton *button() const { return m_button; }

Q_SIGNALS:
    void performed();

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    QLabel *m_label;
    PillButton *m_button = nullptr;
};

// A row of mutually exclusive text segments.
class Segmented : public QWidget {
    Q_OBJECT

public:
    Segmented(QStringList options, int selection, QWidget *parent = nullptr);
    int selection() const { return m_selection; }
    void setSelection(int index);
    const QStringList &options() const { return m_options; }
    QSize sizeHint() const override;

Q_SIGNALS:
    void chosen(int index);

protected:
    void paintEvent(QPaintEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;

private:
    QRectF segment(int index) const;

    QStringList m_options;
    int m_selection;
};

// A list row: a button whose label is laid out inside it; it shows a background when
// highlighted, hovered or pressed.
class RowButton : public QAbstractButton {
    Q_OBJECT

public:
    explicit RowButton(bool highlighted, QWidget *parent = nullptr);
    bool isHighlighted() const { return m_highlighted; }
    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

protected:
    void paintEvent(QPaintEvent *event) override;
    void enterEvent(QEnterEvent *event) override;
    void leaveEvent(QEvent *event) override;

private:
    bool m_highlighted;
    bool m_hovered = false;
};

// The small round glass buttons of the panel's headers.
class GlassIconButton : public QAbstractButton {
    Q_OBJECT

public:
    enum class Icon { pin, pinFill, chevronLeft, chevronRight, reload };

    GlassIconButton(Icon icon, bool on, const QString &tip, QWidget *parent = nullptr);
    Icon icon() const { return m_icon; }
    QSize sizeHint() const override { return {28, 28}; }

protected:
    void paintEvent(QPaintEvent *event) override;
    void enterEvent(QEnterEvent *event) override;
    void leaveEvent(QEvent *event) override;

private:
    Icon m_icon;
    bool m_on;
    bool m_hovered = false;
};

// A text label in one of the panel's faces.
QLabel *panelLabel(const QString &text, const QFont &font, const QColor &colour, QWidget *parent = nullptr);

// A one-line panel label whose fractions ("33⅓") are set from its own face's figures.
class FractionLabel : public QWidget {
public:
    FractionLabel(const QString &text, const QFont &font, const QColor &colour, QWidget *parent = nullptr);
    const QString &text() const { return m_text; }
    QSize sizeHint() const override;
    QSize minimumSizeHint() const override { return sizeHint(); }

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    QString m_text;
    QColor m_colour;
};

} // namespace velloran
