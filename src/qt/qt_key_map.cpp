#include "qt/qt_key_map.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QGuiApplication>
#include <QHelpEvent>
#include <QPainter>
#include <QPainterPath>
#include <QScreen>
#include <QToolTip>
#include <QVBoxLayout>
#include <algorithm>
#include <cmath>

#include "qt/qt_controls.h"
#include "qt/qt_key_map_accessible.h"

namespace k7::qt {
namespace {

constexpr double kMargin = 0.3;     // around the keyboard, in key widths
constexpr double kNamesRow = 0.9;   // the row of mark names below the keyboard
constexpr double kKeyGap = 0.06;    // between two keys

struct KeyColours {
    QColor face, border, text;
    double borderWidth = 1;
};

KeyColours coloursOf(KeyMarkKind kind, bool pickable) {
    if (!pickable) return {QColor(0xdc, 0xdc, 0xdc), QColor(0xa0, 0xa0, 0xa0), QColor(0x6a, 0x6a, 0x6a)};
    switch (kind) {
    case KeyMarkKind::Customised: return {QColor(0xd4, 0xe6, 0xff), QColor(0x2f, 0x6f, 0xc0), QColor(0x0b, 0x3d, 0x91), 1.5};
    case KeyMarkKind::Different: return {QColor(0xff, 0xd9, 0xd4), QColor(0xc0, 0x39, 0x2b), QColor(0x8a, 0x1c, 0x12), 2};
    case KeyMarkKind::Unknown: return {QColor(0xff, 0xf1, 0xb8), QColor(0xb5, 0x89, 0x00), QColor(0x6b, 0x50, 0x00), 2};
    case KeyMarkKind::None: break;
    }
    return {QColor(0xf7, 0xf7, 0xf7), QColor(0x8a, 0x8a, 0x8a), QColor(0x1a, 0x1a, 0x1a)};
}

// The symbol in the corner of a key that the keyboard answered otherwise, so that the
// mark does not rest on its colour alone.
QString badgeOf(KeyMarkKind kind) {
    return kind == KeyMarkKind::Different ? "!" : kind == KeyMarkKind::Unknown ? "?" : "";
}

// The largest font up to `pixels` high in which `text` fits `width`.
QFont fittingFont(QFont font, double pixels, const QString& text, double width) {
    font.setPixelSize(std::max(1, int(pixels)));
    const double needed = QFontMetricsF(font).horizontalAdvance(text);
    if (needed > width && needed > 0) font.setPixelSize(std::max(1, int(pixels * width / needed)));
    return font;
}

}  // namespace

// ---- the keyboard ----

KeyboardWidget::KeyboardWidget(QWidget* parent) : QWidget(parent) {
    installKeyboardAccessibility();
    setObjectName("Keyboard");
    setAccessibleName("Keys");
    setFocusPolicy(Qt::StrongFocus);
    setMouseTracking(true);
    setMinimumSize(360, 120);
}

void KeyboardWidget::setKeys(const std::vector<KeyMapKey>& keys) {
    keys_ = keys;
    marks_.assign(keys_.size(), KeyMark{});
    layoutWidth_ = layoutHeight_ = 1;
    for (const KeyMapKey& k : keys_) {
        layoutWidth_ = std::max(layoutWidth_, k.left + k.width);
        layoutHeight_ = std::max(layoutHeight_, k.top + k.height);
    }
    current_ = 0;
    hovered_ = pressed_ = -1;
    update();
}

void KeyboardWidget::setMarks(const std::vector<KeyMark>& marks) {
    for (std::size_t i = 0; i < marks_.size() && i < marks.size(); ++i) {
        if (marks_[i] == marks[i]) continue;
        const bool renamed = marks_[i].accessibleName != marks[i].accessibleName;
        const bool redescribed = marks_[i].accessibleDescription != marks[i].accessibleDescription;
        marks_[i] = marks[i];
        if (renamed) notifyKeyAccessibility(this, QAccessible::NameChanged, int(i));
        if (redescribed) notifyKeyAccessibility(this, QAccessible::DescriptionChanged, int(i));
    }
    update();
}

QString KeyboardWidget::accessibleName(int index) const {
    const KeyMark& m = mark(index);
    return ToQ(m.accessibleName.empty() ? key(index).label : m.accessibleName);
}

QString KeyboardWidget::toolTipOf(int index) const {
    const KeyMark& m = mark(index);
    return ToQ(m.toolTip.empty() ? key(index).label : m.toolTip);
}

double KeyboardWidget::unit() const {
    return std::min(width() / (layoutWidth_ + 2 * kMargin), height() / (layoutHeight_ + kNamesRow + 2 * kMargin));
}

QPointF KeyboardWidget::origin() const {
    const double u = unit();
    return {(width() - layoutWidth_ * u) / 2, (height() - (layoutHeight_ + kNamesRow) * u) / 2};
}

QRectF KeyboardWidget::keyRect(int index) const {
    const KeyMapKey& k = key(index);
    const double u = unit();
    const QPointF o = origin();
    const double gap = kKeyGap * u / 2;
    return QRectF(o.x() + k.left * u, o.y() + k.top * u, k.width * u, k.height * u).adjusted(gap, gap, -gap, -gap);
}

int KeyboardWidget::keyAt(const QPointF& point) const {
    for (int i = 0; i < keyCount(); ++i)
        if (keyRect(i).contains(point)) return i;
    return -1;
}

void KeyboardWidget::pick(int index) {
    if (index < 0 || index >= keyCount() || !key(index).pickable) return;
    setCurrent(index);
    if (onPicked) onPicked(index);
}

void KeyboardWidget::setCurrent(int index) {
    if (index < 0 || index == current_) return;
    current_ = index;
    update();
    if (hasFocus()) notifyKeyAccessibility(this, QAccessible::Focus, index);
}

// The nearest key in the direction (dx, dy): straight on counts more than sideways.
int KeyboardWidget::neighbour(int from, int dx, int dy) const {
    const KeyMapKey& f = key(from);
    const double fx = f.left + f.width / 2, fy = f.top + f.height / 2;
    int best = from;
    double bestScore = 1e9;
    for (int i = 0; i < keyCount(); ++i) {
        const KeyMapKey& k = key(i);
        const double kx = k.left + k.width / 2, ky = k.top + k.height / 2;
        const double ahead = (kx - fx) * dx + (ky - fy) * dy;
        // A key counts only when it lies wholly beyond the current one's edge.
        const double apart = dx != 0 ? (f.width + k.width) / 2 : (f.height + k.height) / 2;
        if (ahead < apart - 0.01) continue;
        const double sideways = dx != 0 ? std::abs(ky - fy) : std::abs(kx - fx);
        const double score = ahead + 3 * sideways;
        if (score < bestScore) {
            bestScore = score;
            best = i;
        }
    }
    return best;
}

bool KeyboardWidget::event(QEvent* e) {
    if (e->type() == QEvent::ToolTip) {
        auto* help = static_cast<QHelpEvent*>(e);
        const int index = keyAt(help->pos());
        if (index < 0) QToolTip::hideText();
        else QToolTip::showText(help->globalPos(), toolTipOf(index), this, keyRect(index).toAlignedRect());
        return true;
    }
    return QWidget::event(e);
}

void KeyboardWidget::mousePressEvent(QMouseEvent* e) {
    pressed_ = e->button() == Qt::LeftButton ? keyAt(e->position()) : -1;
    setCurrent(pressed_);
}

void KeyboardWidget::mouseReleaseEvent(QMouseEvent* e) {
    const int index = keyAt(e->position());
    if (e->button() == Qt::LeftButton && index >= 0 && index == pressed_) pick(index);
    pressed_ = -1;
}

void KeyboardWidget::mouseDoubleClickEvent(QMouseEvent* e) {
    const int index = keyAt(e->position());
    pressed_ = -1;
    if (e->button() == Qt::LeftButton && index >= 0 && key(index).pickable && onActivated) onActivated(index);
}

void KeyboardWidget::mouseMoveEvent(QMouseEvent* e) {
    const int index = keyAt(e->position());
    if (index == hovered_) return;
    hovered_ = index;
    update();
}

void KeyboardWidget::leaveEvent(QEvent*) {
    hovered_ = -1;
    update();
}

void KeyboardWidget::keyPressEvent(QKeyEvent* e) {
    if (keys_.empty()) return QWidget::keyPressEvent(e);
    switch (e->key()) {
    case Qt::Key_Left: return setCurrent(neighbour(current_, -1, 0));
    case Qt::Key_Right: return setCurrent(neighbour(current_, 1, 0));
    case Qt::Key_Up: return setCurrent(neighbour(current_, 0, -1));
    case Qt::Key_Down: return setCurrent(neighbour(current_, 0, 1));
    case Qt::Key_Return:
    case Qt::Key_Enter:
    case Qt::Key_Space: return pick(current_);
    default: QWidget::keyPressEvent(e);
    }
}

void KeyboardWidget::focusInEvent(QFocusEvent* e) {
    QWidget::focusInEvent(e);
    update();
    if (!keys_.empty()) notifyKeyAccessibility(this, QAccessible::Focus, current_);
}

void KeyboardWidget::focusOutEvent(QFocusEvent* e) {
    QWidget::focusOutEvent(e);
    update();
}

void KeyboardWidget::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::TextAntialiasing);
    for (int i = 0; i < keyCount(); ++i) drawKey(p, i);
    drawMarkNames(p);
}

void KeyboardWidget::drawKey(QPainter& p, int index) const {
    const KeyMapKey& k = key(index);
    const KeyMark& m = mark(index);
    const double u = unit();
    const QRectF r = keyRect(index);
    KeyColours c = coloursOf(m.kind, k.pickable);
    if (index == hovered_ && k.pickable) c.face = c.face.darker(108);
    p.setPen(QPen(c.border, c.borderWidth));
    p.setBrush(c.face);
    p.drawRoundedRect(r, u * 0.1, u * 0.1);

    const double pad = u * 0.08;
    const QRectF inner = r.adjusted(pad, pad, -pad, -pad);
    const QString label = ToQ(k.label);
    const QString text = ToQ(m.text);
    p.setPen(c.text);
    QFont labelFont = fittingFont(font(), u * 0.27, label, inner.width());
    if (text.isEmpty()) {
        // A name of two words too long for one line goes on two.
        QString lines = label;
        if (const int space = label.indexOf(' '); space > 0 && labelFont.pixelSize() < int(u * 0.2)) {
            lines[space] = '\n';
            const QString longer = std::max(label.left(space), label.mid(space + 1), [](const QString& a, const QString& b) {
                return a.size() < b.size();
            });
            labelFont = fittingFont(font(), u * 0.24, longer, inner.width());
        }
        p.setFont(labelFont);
        p.drawText(inner, Qt::AlignCenter, lines);
    } else {
        p.setFont(labelFont);
        p.drawText(inner, Qt::AlignHCenter | Qt::AlignTop, label);
        QFont small = font();
        small.setPixelSize(std::max(1, int(u * 0.19)));
        p.setFont(small);
        // The string on at most two lines below the label, cut short when it is longer.
        const QFontMetricsF metrics(small);
        int fits = int(text.size());
        while (fits > 1 && metrics.horizontalAdvance(text.left(fits)) > inner.width()) --fits;
        // A line breaks before a {..} group rather than inside it.
        if (const int open = int(text.lastIndexOf('{', fits - 1)); open > 0 && text.lastIndexOf('}', fits - 1) < open &&
                                                                   fits < text.size())
            fits = open;
        QString shown = metrics.elidedText(text.mid(fits), Qt::ElideRight, inner.width());
        shown = shown.isEmpty() ? text.left(fits) : text.left(fits) + '\n' + shown;
        p.drawText(inner, Qt::AlignHCenter | Qt::AlignBottom, shown);
    }

    if (const QString badge = badgeOf(m.kind); !badge.isEmpty()) {
        const double d = u * 0.26;
        const QRectF circle(r.right() - d - u * 0.03, r.top() + u * 0.03, d, d);
        p.setPen(Qt::NoPen);
        p.setBrush(c.border);
        p.drawEllipse(circle);
        QFont bold = font();
        bold.setBold(true);
        bold.setPixelSize(std::max(1, int(d * 0.8)));
        p.setFont(bold);
        p.setPen(Qt::white);
        p.drawText(circle, Qt::AlignCenter, badge);
    }
    if (index == current_ && hasFocus()) {
        p.setPen(QPen(QColor(0x1a, 0x1a, 0x1a), std::max(1.0, u * 0.04), Qt::DashLine));
        p.setBrush(Qt::NoBrush);
        p.drawRoundedRect(r.adjusted(u * 0.05, u * 0.05, -u * 0.05, -u * 0.05), u * 0.08, u * 0.08);
    }
}

// A sample key of each mark with what it means, in a row below the keyboard.
void KeyboardWidget::drawMarkNames(QPainter& p) const {
    const double u = unit();
    const QPointF o = origin();
    const KeyMarkKind kinds[] = {KeyMarkKind::Customised, KeyMarkKind::Different, KeyMarkKind::Unknown};
    QFont f = font();
    f.setPixelSize(std::max(1, int(u * 0.26)));
    const QFontMetricsF metrics(f);
    double x = o.x();
    const double top = o.y() + (layoutHeight_ + 0.35) * u;
    for (int i = 0; i < markNames_.size() && i < 3; ++i) {
        const KeyColours c = coloursOf(kinds[i], true);
        const QRectF swatch(x, top, u * 0.45, u * 0.45);
        p.setPen(QPen(c.border, c.borderWidth));
        p.setBrush(c.face);
        p.drawRoundedRect(swatch, u * 0.06, u * 0.06);
        p.setFont(f);
        p.setPen(palette().color(QPalette::WindowText));
        const QString badge = badgeOf(kinds[i]);
        if (!badge.isEmpty()) p.drawText(swatch, Qt::AlignCenter, badge);
        const QRectF textArea(swatch.right() + u * 0.15, top, metrics.horizontalAdvance(markNames_[i]) + 1, swatch.height());
        p.drawText(textArea, Qt::AlignVCenter | Qt::AlignLeft, markNames_[i]);
        x = textArea.right() + u * 0.6;
    }
}

// ---- the window ----

KeyMapWindowWidget::KeyMapWindowWidget(QWidget* parent) : QWidget(parent, Qt::Window), keyboard_(new KeyboardWidget) {
    setObjectName("KeyMap");
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(keyboard_);
    resize(keyboard_->sizeHint());
}

void KeyMapWindowWidget::closeEvent(QCloseEvent* e) {
    QWidget::closeEvent(e);
    if (onClosed) onClosed();
}

QtKeyMapView::QtKeyMapView(QWidget* parent) : window_(new KeyMapWindowWidget(parent)) {
    auto* keyboard = window_->keyboard();
    keyboard->onPicked = [this](int index) { if (onKeyPicked) onKeyPicked(index); };
    keyboard->onActivated = [this](int index) { if (onKeyActivated) onKeyActivated(index); };
    window_->onClosed = [this] { if (onClosed) onClosed(); };
    // The program ends with its main window: the key map's place is kept then too.
    QObject::connect(QCoreApplication::instance(), &QCoreApplication::aboutToQuit, window_, [this] {
        if (shown() && onClosed) onClosed();
    });
}

QtKeyMapView::~QtKeyMapView() { delete window_.data(); }

void QtKeyMapView::setCaption(const std::string& text) { window_->setWindowTitle(ToQ(text)); }

void QtKeyMapView::setMarkNames(const std::string& customised, const std::string& different, const std::string& unknown) {
    window_->keyboard()->setMarkNames({ToQ(customised), ToQ(different), ToQ(unknown)});
}

void QtKeyMapView::setPlacement(const Rect& r) {
    placed_ = true;
    QScreen* screen = QGuiApplication::screenAt(QPoint(kFifteenTwipsAPixel.px(r.left) + kFifteenTwipsAPixel.px(r.width) / 2, kFifteenTwipsAPixel.px(r.top) + 10));
    const bool onScreen = screen != nullptr;
    if (!screen) screen = QGuiApplication::primaryScreen();
    const QRect available = screen ? screen->availableGeometry() : QRect(0, 0, 1024, 768);
    const QSize size = QSize(kFifteenTwipsAPixel.px(r.width), kFifteenTwipsAPixel.px(r.height))
                           .expandedTo(window_->minimumSizeHint())
                           .boundedTo(available.size());
    window_->resize(size);
    // A place on a screen that is no longer there puts the window in the middle of the main screen.
    window_->move(onScreen ? QPoint(kFifteenTwipsAPixel.px(r.left), kFifteenTwipsAPixel.px(r.top)) : available.center() - QPoint(size.width() / 2, size.height() / 2));
}

Rect QtKeyMapView::placement() const {
    return {kFifteenTwipsAPixel.twips(window_->x()), kFifteenTwipsAPixel.twips(window_->y()), kFifteenTwipsAPixel.twips(window_->width()), kFifteenTwipsAPixel.twips(window_->height())};
}

void QtKeyMapView::show() {
    if (!placed_) {
        // Shown the first time without a place of its own: below the main window when it fits there.
        placed_ = true;
        if (const QWidget* owner = window_->parentWidget(); owner && owner->screen()) {
            const QPoint below(owner->frameGeometry().left(), owner->frameGeometry().bottom() + 1);
            if (owner->screen()->availableGeometry().contains(QRect(below, window_->frameSize()))) window_->move(below);
        }
    }
    window_->show();
    window_->raise();
    window_->activateWindow();
}

}  // namespace k7::qt
