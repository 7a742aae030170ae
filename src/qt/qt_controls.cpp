#include "qt/qt_controls.h"

#include <algorithm>

#include <QAccessible>
#include <QAction>
#include <QHeaderView>
#include <QKeyEvent>
#include <QPixmap>
#include <QScrollBar>
#include <QStyleOptionButton>
#include <QStyleOptionFocusRect>
#include <QStylePainter>
#include <QStandardItemModel>
#include <QUrl>

#include "qt/qt_keys.h"

namespace k7::qt {

// A click: the left button let go over the label.
void ClickableLabel::mouseReleaseEvent(QMouseEvent* e) {
    QLabel::mouseReleaseEvent(e);
    if (isEnabled() && e->button() == Qt::LeftButton && rect().contains(e->position().toPoint())) emit clicked();
}

void ClickableLabel::keyPressEvent(QKeyEvent* e) {
    if (e->key() == Qt::Key_Space || e->key() == Qt::Key_Return || e->key() == Qt::Key_Enter) emit clicked();
    else QLabel::keyPressEvent(e);
}

void ClickableLabel::paintEvent(QPaintEvent* e) {
    QLabel::paintEvent(e);
    if (!hasFocus()) return;
    QStylePainter painter(this);
    QStyleOptionFocusRect option;
    option.initFrom(this);
    painter.drawPrimitive(QStyle::PE_FrameFocusRect, option);
}

QtLabel::QtLabel(ClickableLabel* label) : Wrapped(label), label_(label) {
    QObject::connect(label, &ClickableLabel::clicked, [this] { if (onClick) onClick(); });
}

void QtLabel::setCaption(const std::string& text) { showText(ToQ(text)); }

void QtLabel::setFileName(const std::string& path) { showText(PathToQ(path)); }

// A label is named by the text it shows: screen readers are told of each new one.
void QtLabel::showText(const QString& text) {
    if (text == label_->text()) return;
    label_->setText(text);
    QAccessibleEvent changed(label_, QAccessible::NameChanged);
    QAccessible::updateAccessibility(&changed);
}

QtButton::QtButton(QPushButton* button) : WrappedCaption(button) {
    QObject::connect(button, &QPushButton::clicked, [this] { if (onClick) onClick(); });
}

QStringList WrapLines(const QString& text, const QFont& font, int width) {
    const QFontMetrics metrics(font);
    QStringList lines;
    for (const QString& word : text.split(' ')) {
        if (!lines.isEmpty() && metrics.horizontalAdvance(lines.last() + ' ' + word) <= width)
            lines.last() += ' ' + word;
        else
            lines << word;
    }
    return lines;
}

QString WrapToFit(const QString& text, const QFont& font, int width, int height) {
    const QStringList lines = WrapLines(text, font, width);
    const int fit = std::max(1, height / QFontMetrics(font).height());
    return lines.size() <= fit ? lines.join('\n') : text;
}

QSize CaptionRoom(const QAbstractButton* button) {
    if (!qobject_cast<const QCheckBox*>(button)) return button->size() - QSize(8, 4);
    QStyleOptionButton option;
    option.initFrom(button);
    return button->style()->subElementRect(QStyle::SE_CheckBoxContents, &option, button).size();
}

// ---- text box ----

void KeyLineEdit::setCapturesKeys(bool on) {
    capturesKeys_ = on;
    setAcceptDrops(!on);
    setContextMenuPolicy(on ? Qt::NoContextMenu : Qt::DefaultContextMenu);
    setAttribute(Qt::WA_InputMethodEnabled, !on);
}

bool KeyLineEdit::event(QEvent* e) {
    if (!capturesKeys_) return QLineEdit::event(e);
    switch (e->type()) {
        case QEvent::KeyPress: {
            auto* key = static_cast<QKeyEvent*>(e);
            if (key->key() != Qt::Key_Tab && key->key() != Qt::Key_Backtab) break;
            if (key->modifiers() & Qt::ControlModifier)
                return focusNextPrevChild(key->key() == Qt::Key_Tab && !(key->modifiers() & Qt::ShiftModifier));
            keyPressEvent(key);
            return true;
        }
        case QEvent::DragEnter:
        case QEvent::DragMove:
        case QEvent::Drop:
        case QEvent::ContextMenu:
            e->ignore();
            return true;
        case QEvent::MouseButtonRelease:  // the middle button pastes the selection
            if (static_cast<QMouseEvent*>(e)->button() == Qt::MiddleButton) return true;
            break;
        default:
            break;
    }
    return QLineEdit::event(e);
}

void KeyLineEdit::keyPressEvent(QKeyEvent* e) {
    if (!owner) return QLineEdit::keyPressEvent(e);
    int key = VirtualKeyFromQt(e->key(), e->modifiers(), e->nativeVirtualKey(), e->nativeScanCode());
    const bool hadKey = key != 0;
    if (owner->onKeyDown && hadKey) owner->onKeyDown(key);
    const bool keyConsumed = hadKey && key == 0;

    // The character the key types, if any: Tab types character 9.
    int ch = 0;
    if (e->key() == Qt::Key_Tab) ch = 9;
    else if (e->text().size() == 1 && e->text()[0].unicode() >= 0x20 && e->text()[0].unicode() <= 0xFF &&
             e->text()[0].unicode() != 0x7F)
        ch = e->text()[0].unicode();
    if (ch == 0) {
        if (!keyConsumed) QLineEdit::keyPressEvent(e);
        return;
    }
    const int typed = ch;
    if (owner->onKeyPress) owner->onKeyPress(ch);
    if (ch == 0) return;
    if (ch == typed && !keyConsumed && ch != 9) return QLineEdit::keyPressEvent(e);
    insert(QString(QChar(ch)));
}

void KeyLineEdit::keyReleaseEvent(QKeyEvent* e) {
    if (owner && owner->onKeyUp && !e->isAutoRepeat()) {
        // Print Screen often arrives only on release; it is reported as key code 44.
        int key = e->key() == Qt::Key_Print
                      ? 44
                      : VirtualKeyFromQt(e->key(), e->modifiers(), e->nativeVirtualKey(), e->nativeScanCode());
        if (key != 0) owner->onKeyUp(key);
    }
    QLineEdit::keyReleaseEvent(e);
}

void KeyLineEdit::focusInEvent(QFocusEvent* e) {
    QLineEdit::focusInEvent(e);
    if (!owner || !owner->onGotFocus) return;
    const Qt::FocusReason r = e->reason();
    const bool moved = r == Qt::MouseFocusReason || r == Qt::TabFocusReason || r == Qt::BacktabFocusReason ||
                       r == Qt::ShortcutFocusReason;
    owner->onGotFocus(moved ? FocusReason::UserMovedIn : FocusReason::GivenBack);
}

void KeyLineEdit::mouseDoubleClickEvent(QMouseEvent* e) {
    QLineEdit::mouseDoubleClickEvent(e);
    if (owner && owner->onDoubleClick && e->button() == Qt::LeftButton) owner->onDoubleClick();
}

QtTextBox::QtTextBox(KeyLineEdit* edit) : Wrapped(edit), edit_(edit) {
    edit->owner = this;
    QObject::connect(edit, &QLineEdit::textChanged, [this](const QString& text) {
        if (std::any_of(text.begin(), text.end(), [](QChar c) { return c.unicode() > 0xFF; })) return refuseWide(text);
        if (onChange) onChange();
    });
    QObject::connect(edit, &QLineEdit::textEdited, [this] { if (onEdited) onEdited(); });
}

// The text crosses as bytes, so a character above 0xFF would become "?": it is taken out
// at once, and putting the rest back fires the change handler with it.
void QtTextBox::refuseWide(const QString& text) {
    QString kept;
    int cursor = edit_->cursorPosition();
    for (int i = 0; i < text.size(); ++i) {
        if (text[i].unicode() <= 0xFF) kept += text[i];
        else if (i < edit_->cursorPosition()) --cursor;
    }
    edit_->setText(kept);
    edit_->setCursorPosition(cursor);
    if (onRefused) onRefused();
}

void QtTextBox::setText(const std::string& text) {
    const QString q = ToQ(text);
    if (q != edit_->text()) edit_->setText(q);
}

// ---- list box ----

void DoubleClickList::mouseDoubleClickEvent(QMouseEvent* e) {
    QListWidget::mouseDoubleClickEvent(e);
    if (e->button() == Qt::LeftButton && itemAt(e->position().toPoint())) emit doubleClicked();
}

void DoubleClickList::keyPressEvent(QKeyEvent* e) {
    if (e->key() == Qt::Key_Delete && !selectedItems().isEmpty()) emit deletePressed();
    else QListWidget::keyPressEvent(e);
}

QtListBox::QtListBox(DoubleClickList* list) : Wrapped(list), list_(list) {
    list->setVerticalScrollMode(QAbstractItemView::ScrollPerItem);
    list->setUniformItemSizes(true);
    list->setSelectionMode(QAbstractItemView::SingleSelection);
    QObject::connect(list, &DoubleClickList::doubleClicked, [this] { if (onDoubleClick) onDoubleClick(); });
    QObject::connect(list, &DoubleClickList::deletePressed, [this] { if (onDeleteKey) onDeleteKey(); });
}

int QtListBox::topIndex() const { return list_->verticalScrollBar()->value(); }

void QtListBox::setTopIndex(int index) {
    // Scroll ranges are brought up to date lazily; a list filled a moment ago must know its size.
    list_->doItemsLayout();
    list_->verticalScrollBar()->setValue(index);
}

int QtListBox::selectedIndex() const {
    const auto selected = list_->selectedItems();
    return selected.isEmpty() ? -1 : list_->row(selected.first());
}

void QtListBox::setSelectedIndex(int index) {
    list_->setCurrentRow(index);
    if (QListWidgetItem* item = list_->item(index)) list_->scrollToItem(item);
}

void QtListBox::setTextColor(std::uint32_t rgb) {
    QPalette p = list_->palette();
    p.setColor(QPalette::Text, QColor::fromRgb(rgb));
    list_->setPalette(p);
}

// ---- status log ----

namespace {
// A line break inside a line would start a new visible line: show it as a blank.
QString OneLine(const std::string& text) {
    QString line = ToQ(text);
    line.replace('\r', ' ').replace('\n', ' ');
    return line;
}
}  // namespace

QtLogBox::QtLogBox(QPlainTextEdit* view) : Wrapped(view), view_(view) {
    view->setReadOnly(true);
    view->setLineWrapMode(QPlainTextEdit::NoWrap);
    view->setUndoRedoEnabled(false);
    view->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
}

void QtLogBox::addItem(const std::string& text) {
    lines_.push_back(text);
    view_->appendPlainText(OneLine(text));
}

void QtLogBox::removeItem(int index) {
    lines_.erase(lines_.begin() + index);
    QStringList all;
    for (const auto& line : lines_) all << OneLine(line);
    view_->setPlainText(all.join('\n'));
}

void QtLogBox::clear() {
    lines_.clear();
    view_->clear();
}

int QtLogBox::topIndex() const { return view_->verticalScrollBar()->value(); }

void QtLogBox::setTopIndex(int index) { view_->verticalScrollBar()->setValue(index); }

void QtLogBox::setTextColor(std::uint32_t rgb) {
    QPalette p = view_->palette();
    p.setColor(QPalette::Text, QColor::fromRgb(rgb));
    view_->setPalette(p);
}

// ---- progress bar ----

QtComboBox::QtComboBox(QComboBox* box) : Wrapped(box), box_(box) {
    QObject::connect(box, &QComboBox::currentIndexChanged, [this] { if (onChange) onChange(); });
}

void QtComboBox::setItemDetail(int index, const std::string& detail) {
    auto* model = qobject_cast<QStandardItemModel*>(box_->model());
    if (!model || index < 0 || index >= box_->count()) return;
    if (!columns_) {
        columns_ = new QTreeView;
        columns_->setHeaderHidden(true);
        columns_->setRootIsDecorated(false);
        columns_->setAllColumnsShowFocus(true);
        columns_->setUniformRowHeights(true);
        columns_->header()->setSectionResizeMode(QHeaderView::ResizeToContents);
        model->setColumnCount(2);
        box_->setView(columns_);
    }
    model->setItem(index, 1, new QStandardItem(ToQ(detail)));
    // The drop-down list is as wide as its two columns, however narrow the closed box.
    const QFontMetrics metrics(columns_->font());
    int widest[2] = {0, 0};
    for (int row = 0; row < model->rowCount(); ++row)
        for (int column : {0, 1})
            widest[column] = std::max(widest[column], metrics.horizontalAdvance(model->index(row, column).data().toString()));
    columns_->setMinimumWidth(widest[0] + widest[1] + 4 * metrics.averageCharWidth() + 24);
}

// QProgressBar repaints at once on every visible step; with updates held off for the
// change it is painted with the rest of the window on the next pass of the event loop.
void QtProgressBar::setValue(int value) {
    if (value == bar_->value()) return;
    const bool updating = bar_->updatesEnabled();
    bar_->setUpdatesEnabled(false);
    bar_->setValue(value);
    bar_->setUpdatesEnabled(updating);
}

// ---- picture, html view, menu, timer ----

bool QtPicture::load(const std::string& path) {
    QPixmap pixmap;
    if (!pixmap.load(PathToQ(path))) {
        label_->clear();
        path_.clear();
        return false;
    }
    label_->setPixmap(pixmap.scaled(label_->size(), Qt::KeepAspectRatio, Qt::SmoothTransformation));
    path_ = path;
    return true;
}

void QtHtmlView::navigate(const std::string& path) {
    location_ = path;
    browser_->setSource(QUrl::fromLocalFile(PathToQ(path)));
}

QtMenuItem::QtMenuItem(QAction* action) : action_(action) {
    QObject::connect(action, &QAction::triggered, [this] { if (onClick) onClick(); });
}
void QtMenuItem::setEnabled(bool on) { action_->setEnabled(on); }
bool QtMenuItem::enabled() const { return action_->isEnabled(); }

}  // namespace k7::qt
