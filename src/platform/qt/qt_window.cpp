#include "platform/qt/qt_window.h"

#include <QMenuBar>
#include <algorithm>
#include <stdexcept>

namespace k7::qt {
namespace {

QFont DesignFont(const ControlDesign& c, const QFont& base) {
    QFont font = base;
    // The designed faces are Windows fonts; elsewhere a face of the same metrics stands in.
    if (c.fontFamily == "Comic Sans MS")
        font.setFamilies({"Comic Sans MS", "Comic Neue", "URW Chancery L", "Z003"});
    else
        font.setFamilies({"MS Sans Serif", "Microsoft Sans Serif", "Liberation Sans", "Arial", "Nimbus Sans",
                          "DejaVu Sans"});
    font.setPointSizeF(c.fontPoints);
    font.setBold(c.bold);
    return font;
}

}  // namespace

QtControls::QtControls(const FormDesign& design, QWidget* surface) {
    const QFont base = surface->font();
    for (const auto& c : design.controls) {
        QWidget* parent = c.container.empty() ? surface : widgets_.at(c.container);
        const QString caption = ToQ(c.caption);
        std::unique_ptr<Control> control;
        QWidget* w = nullptr;
        switch (c.kind) {
            case ControlKind::Label: {
                auto* l = new ClickableLabel(caption, parent);
                if (c.centred) l->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
                if (c.bordered) l->setFrameStyle(QFrame::Panel | QFrame::Sunken);
                l->setWordWrap(c.position.height >= 450);
                w = l;
                control = std::make_unique<QtLabel>(l);
                break;
            }
            case ControlKind::Button: {
                auto* b = new QPushButton(caption, parent);
                w = b;
                control = std::make_unique<QtButton>(b);
                break;
            }
            case ControlKind::CheckBox: {
                auto* b = new QCheckBox(caption, parent);
                b->setChecked(c.checked);
                w = b;
                control = std::make_unique<QtCheckBox>(b);
                break;
            }
            case ControlKind::TextBox: {
                auto* e = new KeyLineEdit(parent);
                e->captureTab = c.capturesTab;
                w = e;
                control = std::make_unique<QtTextBox>(e);
                break;
            }
            case ControlKind::ListBox: {
                if (c.logOnly) {
                    auto* view = new QPlainTextEdit(parent);
                    w = view;
                    control = std::make_unique<QtLogBox>(view);
                    break;
                }
                auto* l = new DoubleClickList(parent);
                w = l;
                control = std::make_unique<QtListBox>(l);
                break;
            }
            case ControlKind::ComboBox: {
                auto* b = new QComboBox(parent);
                b->setEditable(false);
                w = b;
                control = std::make_unique<QtComboBox>(b);
                break;
            }
            case ControlKind::ProgressBar: {
                auto* b = new QProgressBar(parent);
                b->setRange(0, 100);
                b->setValue(0);
                b->setTextVisible(false);
                w = b;
                control = std::make_unique<QtProgressBar>(b);
                break;
            }
            case ControlKind::Picture: {
                auto* l = new QLabel(parent);
                l->setAlignment(Qt::AlignCenter);
                w = l;
                control = std::make_unique<QtPicture>(l);
                break;
            }
            case ControlKind::HtmlView: {
                auto* b = new QTextBrowser(parent);
                b->setOpenLinks(true);
                w = b;
                control = std::make_unique<QtHtmlView>(b);
                break;
            }
            case ControlKind::Frame: {
                auto* g = new QGroupBox(caption, parent);
                g->setFlat(c.flat);
                w = g;
                control = std::make_unique<QtFrame>(g);
                break;
            }
        }
        w->setObjectName(ToQ(c.name));
        w->setFont(DesignFont(c, base));
        if (!c.tooltip.empty()) w->setToolTip(ToQ(c.tooltip));
        w->setAccessibleName(ToQ(c.accessibleName.empty() ? c.caption : c.accessibleName));
        Rect position = c.position;
        if (!c.container.empty()) position.top += frameOffsets_[c.container];
        control->setGeometry(position);
        control->setVisible(c.visible);
        if (c.kind == ControlKind::Frame) {
            // Children placed over a frame's caption move down below it, and the frame grows.
            int top = c.position.height;
            for (const auto& child : design.controls)
                if (child.container == c.name) top = std::min(top, child.position.top);
            const int title = Twips(w->fontMetrics().height()) + 30;
            frameOffsets_[c.name] = std::max(0, title - top);
            position.height += frameOffsets_[c.name];
            control->setGeometry(position);
        }
        if (c.kind == ControlKind::Button) static_cast<QtButton&>(*control).setCaption(c.caption);
        if (c.kind == ControlKind::CheckBox)
            static_cast<QCheckBox*>(w)->setText(WrapToFit(caption, w->font(), w->width() - 24, w->height()));
        widgets_[c.name] = w;
        controls_[c.name] = std::move(control);
    }
    // A label whose text names another control is that control's buddy.
    for (const auto& c : design.controls) {
        if (c.accessibleName.empty()) continue;
        for (const auto& l : design.controls)
            if (l.kind == ControlKind::Label && l.caption == c.accessibleName)
                static_cast<QLabel*>(widgets_[l.name])->setBuddy(widgets_[c.name]);
    }
}

Control& QtControls::control(const std::string& name) {
    auto it = controls_.find(name);
    if (it == controls_.end()) throw std::out_of_range("no control " + name);
    return *it->second;
}

QWidget* QtControls::widget(const std::string& name) { return widgets_.at(name); }

void MainWindowWidget::resizeEvent(QResizeEvent* e) {
    QMainWindow::resizeEvent(e);
    if (onResize) onResize();
}

QtMainWindow::QtMainWindow(const FormDesign& design) {
    window_.setObjectName(ToQ(design.name));
    window_.setWindowTitle(ToQ(design.caption));
    auto* surface = new QWidget(&window_);
    surface->setMinimumSize(Px(design.clientWidth), Px(design.clientHeight));
    window_.setCentralWidget(surface);
    controls_ = std::make_unique<QtControls>(design, surface);

    std::map<std::string, QMenu*> submenus;
    for (const auto& m : design.menus) {
        const bool hasItems = std::any_of(design.menus.begin(), design.menus.end(),
                                          [&](const MenuDesign& other) { return other.parent == m.name; });
        if (m.parent.empty() && hasItems) {
            submenus[m.name] = window_.menuBar()->addMenu(ToQ(m.caption));
            menus_[m.name] = std::make_unique<QtMenuItem>(submenus[m.name]->menuAction());
            continue;
        }
        QAction* action = m.parent.empty() ? window_.menuBar()->addAction(ToQ(m.caption))
                                           : submenus.at(m.parent)->addAction(ToQ(m.caption));
        action->setObjectName(ToQ(m.name));
        menus_[m.name] = std::make_unique<QtMenuItem>(action);
    }
    window_.onResize = [this] { if (onResize) onResize(); };
    window_.resize(Px(design.clientWidth), Px(design.clientHeight) + window_.menuBar()->sizeHint().height());
}

MenuItem& QtMainWindow::menu(const std::string& name) {
    auto it = menus_.find(name);
    if (it == menus_.end()) throw std::out_of_range("no menu item " + name);
    return *it->second;
}

QtDialogWindow::QtDialogWindow(const FormDesign& design, QWidget* parent) : dialog_(parent) {
    dialog_.setObjectName(ToQ(design.name));
    dialog_.setWindowTitle(ToQ(design.caption));
    dialog_.setFixedSize(Px(design.clientWidth), Px(design.clientHeight));
    if (design.backgroundRgb != 0) {
        QPalette p = dialog_.palette();
        p.setColor(QPalette::Window, QColor::fromRgb(design.backgroundRgb));
        dialog_.setPalette(p);
        dialog_.setAutoFillBackground(true);
    }
    controls_ = std::make_unique<QtControls>(design, &dialog_);
    QObject::connect(&dialog_, &QDialog::finished, [this] { if (onClosed) onClosed(); });
}

MenuItem& QtDialogWindow::menu(const std::string& name) {
    throw std::out_of_range("the dialog has no menu item " + name);
}

}  // namespace k7::qt
