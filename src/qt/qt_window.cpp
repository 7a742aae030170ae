#include "qt/qt_window.h"

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

// The scale at which the font in use has the design font's average letter and line.
TwipScale FontScale(const FormDesign& design, const QFont& base) {
    static const QString letters = QStringLiteral("abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ");
    const QFontMetricsF metrics(DesignFont(ControlDesign{}, base));
    const double letter = metrics.horizontalAdvance(letters) / letters.size();
    return TwipScale(std::max(letter / design.letterTwips, metrics.height() / design.lineTwips));
}

// A caption with an '&' before its access key, and any '&' of its own doubled.
QString WithAccessKey(const MenuDesign& m) {
    QString text = ToQ(m.caption).replace('&', "&&");
    const qsizetype key = m.accessKey ? text.indexOf(QChar(m.accessKey)) : -1;
    if (key >= 0) text.insert(key, '&');
    return text;
}

}  // namespace

QtControls::QtControls(const FormDesign& design, QWidget* surface) {
    const QFont base = surface->font();
    for (const auto& c : design.controls) add(design, c, c.container.empty() ? surface : widgets_.at(c.container), base);
    fitCaptions(design, base);
    relateLabels(design);
    if (!design.firstFocus.empty()) widgets_.at(design.firstFocus)->setFocus();
}

QtControls::Made QtControls::create(const ControlDesign& c, QWidget* parent) {
    switch (c.kind) {
        case ControlKind::Label: {
            auto* l = new ClickableLabel(ToQ(c.caption), parent);
            l->setTextFormat(Qt::PlainText);
            if (c.centred) l->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
            if (c.bordered) l->setFrameStyle(QFrame::Panel | QFrame::Sunken);
            if (c.clickable) l->setFocusPolicy(Qt::StrongFocus);
            l->setWordWrap(c.position.height >= 450);
            return {l, wrap<QtLabel>(l)};
        }
        case ControlKind::Button: {
            auto* b = new QPushButton(parent);
            b->setAutoDefault(false);
            b->setDefault(c.isDefault);
            return {b, wrap<QtButton>(b)};
        }
        case ControlKind::CheckBox: {
            auto* b = new QCheckBox(parent);
            b->setChecked(c.checked);
            return {b, wrap<QtCheckBox>(b)};
        }
        case ControlKind::TextBox: {
            auto* e = new KeyLineEdit(parent);
            e->setCapturesKeys(c.capturesKeys);
            return {e, wrap<QtTextBox>(e)};
        }
        case ControlKind::ListBox: {
            if (c.logOnly) {
                auto* view = new QPlainTextEdit(parent);
                return {view, wrap<QtLogBox>(view)};
            }
            auto* l = new DoubleClickList(parent);
            return {l, wrap<QtListBox>(l)};
        }
        case ControlKind::ComboBox: {
            auto* b = new QComboBox(parent);
            b->setEditable(false);
            return {b, wrap<QtComboBox>(b)};
        }
        case ControlKind::ProgressBar: {
            auto* b = new QProgressBar(parent);
            b->setRange(0, 100);
            b->setValue(0);
            b->setTextVisible(false);
            return {b, wrap<QtProgressBar>(b)};
        }
        case ControlKind::Picture: {
            auto* l = new QLabel(parent);
            l->setAlignment(Qt::AlignCenter);
            return {l, wrap<QtPicture>(l)};
        }
        case ControlKind::HtmlView: {
            auto* b = new QTextBrowser(parent);
            b->setOpenLinks(true);
            return {b, wrap<QtHtmlView>(b)};
        }
        case ControlKind::Frame: {
            auto* g = new QGroupBox(ToQ(c.caption), parent);
            g->setFlat(c.flat);
            return {g, wrap<QtFrame>(g)};
        }
    }
    throw std::logic_error("a control of no known kind: " + c.name);
}

void QtControls::add(const FormDesign& design, const ControlDesign& c, QWidget* parent, const QFont& base) {
    auto [w, control] = create(c, parent);
    w->setObjectName(ToQ(c.name));
    w->setFont(DesignFont(c, base));
    if (!c.tooltip.empty()) w->setToolTip(ToQ(c.tooltip));
    // A label is named by the text it shows now, which Qt reads from it as it changes.
    if (c.kind != ControlKind::Label) {
        const ControlDesign* label = design.find(c.labelledBy);
        w->setAccessibleName(ToQ(!c.accessibleName.empty() ? c.accessibleName : label ? label->caption : c.caption));
    }
    control->setVisible(c.visible);
    widgets_[c.name] = w;
    controls_[c.name] = std::move(control);
    // A caption is wrapped to fit in the control's font.
    if (c.kind == ControlKind::Button) static_cast<QtButton&>(*controls_[c.name]).setCaption(c.caption);
    if (c.kind == ControlKind::CheckBox) static_cast<QtCheckBox&>(*controls_[c.name]).setCaption(c.caption);
}

void QtControls::fitCaptions(const FormDesign& design, const QFont& base) {
    scale_ = FontScale(design, base);
    place(design);
    for (int round = 0; round < 8; ++round) {  // each round makes room for the worst caption; one or two do
        const double shortfall = captionShortfall(design);
        if (shortfall <= 1) break;
        scale_ = TwipScale(scale_.pixelsPerTwip() * shortfall);
        place(design);
    }
}

// The label that names a control is its buddy: screen readers relate the two.
void QtControls::relateLabels(const FormDesign& design) {
    for (const auto& c : design.controls)
        if (!c.labelledBy.empty()) static_cast<QLabel*>(widgets_.at(c.labelledBy))->setBuddy(widgets_.at(c.name));
}

void QtControls::place(const FormDesign& design) {
    std::map<std::string, int> frameOffsets;
    for (const auto& c : design.controls) {
        Control& control = *controls_.at(c.name);
        Rect position = c.position;
        if (!c.container.empty()) position.top += frameOffsets[c.container];
        if (c.kind == ControlKind::Frame) {
            // Children placed over a frame's caption move down below it, and the frame grows.
            int top = c.position.height;
            for (const auto& child : design.controls)
                if (child.container == c.name) top = std::min(top, child.position.top);
            const int title = scale_.twips(widgets_.at(c.name)->fontMetrics().height()) + 30;
            frameOffsets[c.name] = std::max(0, title - top);
            position.height += frameOffsets[c.name];
        }
        control.setGeometry(position);
    }
}

double QtControls::captionShortfall(const FormDesign& design) const {
    double worst = 0;
    for (const auto& c : design.controls) {
        if (c.caption.empty()) continue;
        QWidget* w = widgets_.at(c.name);
        const QFontMetrics metrics(w->font());
        QSize room, need;
        if (auto* label = qobject_cast<QLabel*>(w); label && c.kind == ControlKind::Label) {
            room = label->contentsRect().size();
            const int flags = int(label->alignment()) | (label->wordWrap() ? Qt::TextWordWrap : 0);
            need = metrics.boundingRect(QRect(QPoint(0, 0), QSize(room.width(), 1 << 20)), flags, label->text()).size();
        } else if (auto* button = qobject_cast<QAbstractButton*>(w)) {
            room = CaptionRoom(button);
            const QStringList lines = WrapLines(ToQ(c.caption), w->font(), room.width());
            for (const QString& line : lines) need.setWidth(std::max(need.width(), metrics.horizontalAdvance(line)));
            need.setHeight(int(lines.size()) * metrics.height());
        }
        if (room.isEmpty()) continue;
        worst = std::max({worst, double(need.width()) / room.width(), double(need.height()) / room.height()});
    }
    return worst;
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
    // No minimum size: the window narrows as the user likes, and the program follows it.
    auto* surface = new QWidget(&window_);
    window_.setCentralWidget(surface);
    controls_ = std::make_unique<QtControls>(design, surface);

    std::map<std::string, QMenu*> submenus;
    for (const auto& m : design.menus) {
        const bool hasItems = std::any_of(design.menus.begin(), design.menus.end(),
                                          [&](const MenuDesign& other) { return other.parent == m.name; });
        if (m.parent.empty() && hasItems) {
            submenus[m.name] = window_.menuBar()->addMenu(WithAccessKey(m));
            menus_[m.name] = std::make_unique<QtMenuItem>(submenus[m.name]->menuAction());
            continue;
        }
        QAction* action = m.parent.empty() ? window_.menuBar()->addAction(WithAccessKey(m))
                                           : submenus.at(m.parent)->addAction(WithAccessKey(m));
        action->setObjectName(ToQ(m.name));
        menus_[m.name] = std::make_unique<QtMenuItem>(action);
    }
    window_.onResize = [this] { if (onResize) onResize(); };
    const TwipScale& scale = controls_->scale();
    window_.resize(scale.px(design.clientWidth), scale.px(design.clientHeight) + window_.menuBar()->sizeHint().height());
}

MenuItem& QtMainWindow::menu(const std::string& name) {
    auto it = menus_.find(name);
    if (it == menus_.end()) throw std::out_of_range("no menu item " + name);
    return *it->second;
}

QtDialogWindow::QtDialogWindow(const FormDesign& design, QWidget* parent) : dialog_(parent) {
    dialog_.setObjectName(ToQ(design.name));
    dialog_.setWindowTitle(ToQ(design.caption));
    if (design.backgroundRgb != 0) {
        QPalette p = dialog_.palette();
        p.setColor(QPalette::Window, QColor::fromRgb(design.backgroundRgb));
        dialog_.setPalette(p);
        dialog_.setAutoFillBackground(true);
    }
    controls_ = std::make_unique<QtControls>(design, &dialog_);
    dialog_.setFixedSize(controls_->scale().px(design.clientWidth), controls_->scale().px(design.clientHeight));
    QObject::connect(&dialog_, &QDialog::finished, [this] { if (onClosed) onClosed(); });
}

MenuItem& QtDialogWindow::menu(const std::string& name) {
    throw std::out_of_range("the dialog has no menu item " + name);
}

}  // namespace k7::qt
