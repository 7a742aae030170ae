#include "qt/qt_key_map_accessible.h"

#include <QAccessibleWidget>
#include <QPointer>
#include <map>

#include "qt/qt_key_map.h"
#include "qt/qt_text.h"

namespace k7::qt {
namespace {

class KeyAccessible : public QAccessibleInterface, public QAccessibleActionInterface {
public:
    KeyAccessible(KeyboardWidget* keyboard, int index) : keyboard_(keyboard), index_(index) {}
    bool isValid() const override { return keyboard_ && index_ < keyboard_->keyCount(); }
    QObject* object() const override { return nullptr; }
    QWindow* window() const override { return keyboard_ ? keyboard_->window()->windowHandle() : nullptr; }
    QAccessibleInterface* parent() const override { return QAccessible::queryAccessibleInterface(keyboard_); }
    QAccessibleInterface* child(int) const override { return nullptr; }
    int childCount() const override { return 0; }
    int indexOfChild(const QAccessibleInterface*) const override { return -1; }
    QAccessibleInterface* childAt(int, int) const override { return nullptr; }
    QAccessibleInterface* focusChild() const override { return nullptr; }
    QString text(QAccessible::Text t) const override {
        if (!isValid()) return {};
        if (t == QAccessible::Name) return keyboard_->accessibleName(index_);
        if (t == QAccessible::Description) return ToQ(keyboard_->mark(index_).accessibleDescription);
        return {};
    }
    void setText(QAccessible::Text, const QString&) override {}
    QRect rect() const override {
        if (!isValid()) return {};
        const QRect r = keyboard_->keyRect(index_).toAlignedRect();
        return {keyboard_->mapToGlobal(r.topLeft()), r.size()};
    }
    QAccessible::Role role() const override { return QAccessible::Button; }
    QAccessible::State state() const override {
        QAccessible::State s;
        if (!isValid()) return s;
        s.focusable = true;
        s.focused = keyboard_->hasFocus() && keyboard_->currentKey() == index_;
        s.disabled = !keyboard_->key(index_).pickable;
        return s;
    }
    void* interface_cast(QAccessible::InterfaceType t) override {
        return t == QAccessible::ActionInterface ? static_cast<QAccessibleActionInterface*>(this) : nullptr;
    }
    QStringList actionNames() const override {
        return isValid() && keyboard_->key(index_).pickable ? QStringList{pressAction()} : QStringList{};
    }
    void doAction(const QString& name) override {
        if (name == pressAction() && isValid()) keyboard_->pick(index_);
    }
    QStringList keyBindingsForAction(const QString&) const override { return {}; }

private:
    QPointer<KeyboardWidget> keyboard_;
    int index_;
};

class KeyboardAccessible : public QAccessibleWidget {
public:
    explicit KeyboardAccessible(KeyboardWidget* keyboard) : QAccessibleWidget(keyboard, QAccessible::Grouping) {}
    ~KeyboardAccessible() override {
        for (const auto& [index, id] : children_) QAccessible::deleteAccessibleInterface(id);
    }
    int childCount() const override { return keyboard()->keyCount(); }
    QAccessibleInterface* child(int index) const override {
        if (index < 0 || index >= childCount()) return nullptr;
        auto it = children_.find(index);
        if (it == children_.end())
            it = children_.emplace(index, QAccessible::registerAccessibleInterface(new KeyAccessible(keyboard(), index))).first;
        return QAccessible::accessibleInterface(it->second);
    }
    int indexOfChild(const QAccessibleInterface* child) const override {
        for (const auto& [index, id] : children_)
            if (QAccessible::accessibleInterface(id) == child) return index;
        return -1;
    }
    QAccessibleInterface* childAt(int x, int y) const override {
        return child(keyboard()->keyAt(keyboard()->mapFromGlobal(QPoint(x, y))));
    }
    QAccessibleInterface* focusChild() const override {
        return keyboard()->hasFocus() ? child(keyboard()->currentKey()) : nullptr;
    }

private:
    KeyboardWidget* keyboard() const { return static_cast<KeyboardWidget*>(widget()); }
    mutable std::map<int, QAccessible::Id> children_;
};

QAccessibleInterface* keyboardAccessibleFactory(const QString&, QObject* object) {
    if (auto* keyboard = qobject_cast<KeyboardWidget*>(object)) return new KeyboardAccessible(keyboard);
    return nullptr;
}

}  // namespace

void installKeyboardAccessibility() {
    static const bool installed = (QAccessible::installFactory(keyboardAccessibleFactory), true);
    (void)installed;
}

void notifyKeyAccessibility(KeyboardWidget* keyboard, QAccessible::Event event, int child) {
    if (!QAccessible::isActive()) return;
    QAccessibleEvent e(keyboard, event);
    e.setChild(child);
    QAccessible::updateAccessibility(&e);
}

}  // namespace k7::qt
