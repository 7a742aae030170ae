#pragma once
// The key map window on Qt: a keyboard drawn with QPainter at any size, each key an
// accessible element, the arrow keys moving between keys and Enter or Space picking one.
#include <QPointer>
#include <QWidget>
#include <functional>
#include <vector>

#include "ui/key_map_view.h"

namespace k7::qt {

class KeyboardWidget : public QWidget {
    Q_OBJECT
public:
    explicit KeyboardWidget(QWidget* parent = nullptr);

    void setKeys(const std::vector<KeyMapKey>& keys);
    void setMarks(const std::vector<KeyMark>& marks);
    void setMarkNames(const QStringList& names) { markNames_ = names; update(); }

    int keyCount() const { return int(keys_.size()); }
    const KeyMapKey& key(int index) const { return keys_[std::size_t(index)]; }
    const KeyMark& mark(int index) const { return marks_[std::size_t(index)]; }
    QString accessibleName(int index) const;
    QString toolTipOf(int index) const;
    int currentKey() const { return current_; }
    // Where the key is drawn, in the widget's coordinates.
    QRectF keyRect(int index) const;
    int keyAt(const QPointF& point) const;
    void pick(int index);

    std::function<void(int)> onPicked;
    std::function<void(int)> onActivated;

    QSize sizeHint() const override { return {1080, 340}; }

protected:
    bool event(QEvent* e) override;
    void paintEvent(QPaintEvent* e) override;
    void mousePressEvent(QMouseEvent* e) override;
    void mouseReleaseEvent(QMouseEvent* e) override;
    void mouseDoubleClickEvent(QMouseEvent* e) override;
    void mouseMoveEvent(QMouseEvent* e) override;
    void leaveEvent(QEvent* e) override;
    void keyPressEvent(QKeyEvent* e) override;
    void focusInEvent(QFocusEvent* e) override;
    void focusOutEvent(QFocusEvent* e) override;

private:
    void setCurrent(int index);
    int neighbour(int from, int dx, int dy) const;
    void drawKey(QPainter& p, int index) const;
    void drawMarkNames(QPainter& p) const;
    double unit() const;
    QPointF origin() const;

    std::vector<KeyMapKey> keys_;
    std::vector<KeyMark> marks_;
    QStringList markNames_;
    double layoutWidth_ = 1, layoutHeight_ = 1;
    int current_ = 0;
    int hovered_ = -1;
    int pressed_ = -1;
};

class KeyMapWindowWidget : public QWidget {
    Q_OBJECT
public:
    explicit KeyMapWindowWidget(QWidget* parent);
    KeyboardWidget* keyboard() const { return keyboard_; }
    std::function<void()> onClosed;

protected:
    void closeEvent(QCloseEvent* e) override;

private:
    KeyboardWidget* keyboard_;
};

class QtKeyMapView : public KeyMapView {
public:
    // The window belongs to `parent`'s window and goes with it.
    explicit QtKeyMapView(QWidget* parent);
    ~QtKeyMapView() override;
    void setCaption(const std::string& text) override;
    void setKeys(const std::vector<KeyMapKey>& keys) override { window_->keyboard()->setKeys(keys); }
    void setMarks(const std::vector<KeyMark>& marks) override { window_->keyboard()->setMarks(marks); }
    void setMarkNames(const std::string& customised, const std::string& different, const std::string& unknown) override;
    void setPlacement(const Rect& r) override;
    Rect placement() const override;
    void show() override;
    bool shown() const override { return window_ && window_->isVisible(); }

    KeyMapWindowWidget* window() const { return window_; }

private:
    QPointer<KeyMapWindowWidget> window_;
    bool placed_ = false;
};

}  // namespace k7::qt
