#pragma once
// Windows built from a design: the main window with its menus, and modal dialogs.
#include <QDialog>
#include <QMainWindow>
#include <map>
#include <memory>

#include "qt/qt_controls.h"
#include "ui/platform.h"

namespace k7::qt {

// The controls of one design, created as children of `surface` and laid out at the
// scale the font in use needs: the scale at which it has the design's letter and line,
// and larger still while a caption does not fit its control.
class QtControls {
public:
    QtControls(const FormDesign& design, QWidget* surface);
    Control& control(const std::string& name);
    QWidget* widget(const std::string& name);
    const TwipScale& scale() const { return scale_; }
private:
    struct Made {
        QWidget* widget;
        std::unique_ptr<Control> control;
    };
    // The widget a control of the design needs, and the control that wraps it.
    Made create(const ControlDesign& c, QWidget* parent);
    void add(const FormDesign& design, const ControlDesign& c, QWidget* parent, const QFont& base);
    // Sets the scale and lays the controls out at it.
    void fitCaptions(const FormDesign& design, const QFont& base);
    void relateLabels(const FormDesign& design);
    void place(const FormDesign& design);
    // How many times its room the caption that fits worst needs: at most 1 when all fit.
    double captionShortfall(const FormDesign& design) const;
    template <class Wrapper, class Widget>
    std::unique_ptr<Control> wrap(Widget* widget) {
        auto control = std::make_unique<Wrapper>(widget);
        control->share(scale_, focusBeforeOff_);
        return control;
    }
    TwipScale scale_;
    QPointer<QWidget> focusBeforeOff_;
    std::map<std::string, std::unique_ptr<Control>> controls_;
    std::map<std::string, QWidget*> widgets_;
};

class MainWindowWidget : public QMainWindow {
    Q_OBJECT
public:
    std::function<void()> onResize;
protected:
    void resizeEvent(QResizeEvent* e) override;
};

class QtMainWindow : public ControlSet, public Window {
public:
    explicit QtMainWindow(const FormDesign& design);
    Control& control(const std::string& name) override { return controls_->control(name); }
    MenuItem& menu(const std::string& name) override;
    Window& window() override { return *this; }
    QWidget* widget(const std::string& name) { return controls_->widget(name); }

    void setCaption(const std::string& text) override { window_.setWindowTitle(ToQ(text)); }
    std::string caption() const override { return FromQ(window_.windowTitle()); }
    int outerWidth() const override { return controls_->scale().twips(window_.frameGeometry().width()); }
    int outerHeight() const override { return controls_->scale().twips(window_.frameGeometry().height()); }

    QMainWindow& qwindow() { return window_; }
private:
    MainWindowWidget window_;
    std::unique_ptr<QtControls> controls_;
    std::map<std::string, std::unique_ptr<QtMenuItem>> menus_;
};

class QtDialogWindow : public DialogWindow, public Window {
public:
    QtDialogWindow(const FormDesign& design, QWidget* parent);
    Control& control(const std::string& name) override { return controls_->control(name); }
    MenuItem& menu(const std::string& name) override;
    Window& window() override { return *this; }
    void showModal() override { dialog_.exec(); }
    void close() override { dialog_.done(0); }

    void setCaption(const std::string& text) override { dialog_.setWindowTitle(ToQ(text)); }
    std::string caption() const override { return FromQ(dialog_.windowTitle()); }
    int outerWidth() const override { return controls_->scale().twips(dialog_.frameGeometry().width()); }
    int outerHeight() const override { return controls_->scale().twips(dialog_.frameGeometry().height()); }
    QDialog& qdialog() { return dialog_; }
private:
    QDialog dialog_;
    std::unique_ptr<QtControls> controls_;
};

}  // namespace k7::qt
