#pragma once
// The real widgets behind the control interfaces.
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QListWidget>
#include <QPlainTextEdit>
#include <vector>
#include <QProgressBar>
#include <QPushButton>
#include <QTextBrowser>
#include <QTreeView>
#include <cmath>

#include "qt/qt_text.h"
#include "ui/platform.h"

namespace k7::qt {

// A window's twips to its pixels and back: 15 twips a pixel, or as the window's font needs.
class TwipScale {
public:
    explicit TwipScale(double pixelsPerTwip = 1.0 / 15) : pixelsPerTwip_(pixelsPerTwip) {}
    double pixelsPerTwip() const { return pixelsPerTwip_; }
    int px(int twips) const { return int(std::lround(twips * pixelsPerTwip_)); }
    int twips(int pixels) const { return int(std::lround(pixels / pixelsPerTwip_)); }
    // Each edge rounded on its own, so controls that meet in the design meet on the screen.
    QRect px(const Rect& r) const {
        return QRect(QPoint(px(r.left), px(r.top)), QPoint(px(r.left + r.width) - 1, px(r.top + r.height) - 1));
    }
private:
    double pixelsPerTwip_;
};
inline const TwipScale kFifteenTwipsAPixel;

// A caption broken into lines at blanks, each line as long as fits the width (a word
// longer than the width stands alone).
QStringList WrapLines(const QString& text, const QFont& font, int width);
// The caption's lines joined by line breaks when they fit the height; unchanged when not.
QString WrapToFit(const QString& text, const QFont& font, int width, int height);
// The room a button or check box has for its caption.
QSize CaptionRoom(const QAbstractButton* button);

// Common state handling for every wrapped widget.
template <class Base>
class Wrapped : public Base {
public:
    explicit Wrapped(QWidget* widget) : widget_(widget) {}
    // What the controls of one window share: its scale, and which of them had the focus
    // when it was turned off.
    void share(const TwipScale& scale, QPointer<QWidget>& focusBeforeOff) {
        scale_ = &scale;
        focusBeforeOff_ = &focusBeforeOff;
    }
    // Turned off, a control hands the focus to the next; turned on again, it takes it back.
    void setEnabled(bool on) override {
        if (!on && widget_->hasFocus() && focusBeforeOff_ && !*focusBeforeOff_) *focusBeforeOff_ = widget_;
        widget_->setEnabled(on);
        if (on && focusBeforeOff_ && *focusBeforeOff_ == widget_) {
            focusBeforeOff_->clear();
            widget_->setFocus();
        }
    }
    bool enabled() const override { return widget_->isEnabled(); }
    void setVisible(bool on) override { visible_ = on; widget_->setVisible(on); }
    bool visible() const override { return visible_; }
    void setGeometry(const Rect& r) override {
        geometry_ = r;
        widget_->setGeometry(scale_->px(r));
    }
    Rect geometry() const override { return geometry_; }
    void raise() override { widget_->raise(); }
    void setFocus() override {
        widget_->activateWindow();
        widget_->setFocus(Qt::OtherFocusReason);
    }
    void setToolTip(const std::string& text) override { widget_->setToolTip(ToQ(text)); }
    QWidget* widget() const { return widget_; }
private:
    QWidget* widget_;
    const TwipScale* scale_ = &kFifteenTwipsAPixel;
    QPointer<QWidget>* focusBeforeOff_ = nullptr;
    // Visibility as the program set it; a widget on a hidden window reports hidden.
    bool visible_ = true;
    Rect geometry_;
};

class QtFrame : public Wrapped<Control> {
public:
    explicit QtFrame(QGroupBox* box) : Wrapped(box) {}
};

class ClickableLabel : public QLabel {
    Q_OBJECT
public:
    using QLabel::QLabel;
signals:
    void clicked();
protected:
    void mouseReleaseEvent(QMouseEvent* e) override;
    void keyPressEvent(QKeyEvent* e) override;
    void paintEvent(QPaintEvent* e) override;
};

class QtLabel : public Wrapped<Label> {
public:
    explicit QtLabel(ClickableLabel* label);
    void setCaption(const std::string& text) override;
    std::string caption() const override { return FromQ(label_->text()); }
    void setFileName(const std::string& path) override;
private:
    void showText(const QString& text);
    ClickableLabel* label_;
};

// A caption too wide for its button or check box wraps onto more lines, as on a tall
// control it should; the control stays named by the caption.
template <class Base>
class WrappedCaption : public Wrapped<Base> {
public:
    explicit WrappedCaption(QAbstractButton* button) : Wrapped<Base>(button), button_(button) {}
    void setCaption(const std::string& text) {
        caption_ = text;
        const QSize room = CaptionRoom(button_);
        button_->setText(WrapToFit(ToQ(text), button_->font(), room.width(), room.height()));
        button_->setAccessibleName(ToQ(text));
    }
    void setGeometry(const Rect& r) override {
        Wrapped<Base>::setGeometry(r);
        setCaption(caption_);
    }
protected:
    QAbstractButton* button_;
    std::string caption_;
};

class QtButton : public WrappedCaption<Button> {
public:
    explicit QtButton(QPushButton* button);
    void setCaption(const std::string& text) override { WrappedCaption::setCaption(text); }
    std::string caption() const override { return caption_; }
};

class QtCheckBox : public WrappedCaption<CheckBox> {
public:
    explicit QtCheckBox(QCheckBox* box) : WrappedCaption(box) {}
    void setChecked(bool on) override { button_->setChecked(on); }
    bool checked() const override { return button_->isChecked(); }
};

class QtTextBox;

// A line edit that reports key-down, character and key-up with Windows key codes,
// and lets the handlers consume or replace them.
class KeyLineEdit : public QLineEdit {
    Q_OBJECT
public:
    using QLineEdit::QLineEdit;
    QtTextBox* owner = nullptr;
    void setCapturesKeys(bool on);
protected:
    bool event(QEvent* e) override;
    void keyPressEvent(QKeyEvent* e) override;
    void keyReleaseEvent(QKeyEvent* e) override;
    void focusInEvent(QFocusEvent* e) override;
    void mouseDoubleClickEvent(QMouseEvent* e) override;
private:
    // Tab reaches the handlers (Ctrl+Tab moves on), and nothing is pasted or dropped in.
    bool capturesKeys_ = false;
};

class QtTextBox : public Wrapped<TextBox> {
public:
    explicit QtTextBox(KeyLineEdit* edit);
    void setText(const std::string& text) override;
    std::string text() const override { return FromQ(edit_->text()); }
private:
    void refuseWide(const QString& text);
    KeyLineEdit* edit_;
};

class DoubleClickList : public QListWidget {
    Q_OBJECT
public:
    using QListWidget::QListWidget;
signals:
    void doubleClicked();
    void deletePressed();
protected:
    void mouseDoubleClickEvent(QMouseEvent* e) override;
    void keyPressEvent(QKeyEvent* e) override;
};

class QtListBox : public Wrapped<ListBox> {
public:
    explicit QtListBox(DoubleClickList* list);
    int count() const override { return list_->count(); }
    std::string item(int index) const override { return FromQ(list_->item(index)->text()); }
    void addItem(const std::string& text) override { list_->addItem(ToQ(text)); }
    void removeItem(int index) override { delete list_->takeItem(index); }
    void clear() override { list_->clear(); }
    int topIndex() const override;
    void setTopIndex(int index) override;
    int selectedIndex() const override;
    void setSelectedIndex(int index) override;
    void setTextColor(std::uint32_t rgb) override;
private:
    DoubleClickList* list_;
};

// The status log: a list of lines shown in a plain-text view, which appends in constant
// time however long the log grows. The first visible line is the scroll position.
class QtLogBox : public Wrapped<ListBox> {
public:
    explicit QtLogBox(QPlainTextEdit* view);
    int count() const override { return int(lines_.size()); }
    std::string item(int index) const override { return lines_.at(std::size_t(index)); }
    void addItem(const std::string& text) override;
    void removeItem(int index) override;
    void clear() override;
    int topIndex() const override;
    void setTopIndex(int index) override;
    int selectedIndex() const override { return -1; }
    void setSelectedIndex(int) override {}  // the log has no selection
    void setTextColor(std::uint32_t rgb) override;
private:
    QPlainTextEdit* view_;
    std::vector<std::string> lines_;
};

class QtComboBox : public Wrapped<ComboBox> {
public:
    explicit QtComboBox(QComboBox* box);
    void addItem(const std::string& text) override { box_->addItem(ToQ(text)); }
    void setItemDetail(int index, const std::string& detail) override;
    void clear() override { box_->clear(); }
    int count() const override { return box_->count(); }
    void setCurrentIndex(int index) override { box_->setCurrentIndex(index); }
    int currentIndex() const override { return box_->currentIndex(); }
    std::string currentText() const override { return box_->currentIndex() < 0 ? "" : FromQ(box_->currentText()); }
private:
    QComboBox* box_;
    QTreeView* columns_ = nullptr;  // the drop-down list, once an entry has a detail
};

class QtProgressBar : public Wrapped<ProgressBar> {
public:
    explicit QtProgressBar(QProgressBar* bar) : Wrapped(bar), bar_(bar) {}
    void setMaximum(int max) override { bar_->setMaximum(max); }
    int maximum() const override { return bar_->maximum(); }
    void setValue(int value) override;
    int value() const override { return bar_->value(); }
private:
    QProgressBar* bar_;
};

class QtPicture : public Wrapped<Picture> {
public:
    explicit QtPicture(QLabel* label) : Wrapped(label), label_(label) {}
    bool load(const std::string& path) override;
    std::string loadedPath() const override { return path_; }
private:
    QLabel* label_;
    std::string path_;
};

class QtHtmlView : public Wrapped<HtmlView> {
public:
    explicit QtHtmlView(QTextBrowser* browser) : Wrapped(browser), browser_(browser) {}
    void navigate(const std::string& path) override;
    std::string location() const override { return location_; }
private:
    QTextBrowser* browser_;
    std::string location_;
};

class QtMenuItem : public MenuItem {
public:
    explicit QtMenuItem(QAction* action);
    void setEnabled(bool on) override;
    bool enabled() const override;
private:
    QAction* action_;
};

}  // namespace k7::qt
