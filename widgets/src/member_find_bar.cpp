#include "member_find_bar.h"

#include "failure.h"
#include "tavrin_widgets/chan_save_list_model.h"
#include "tavrin_widgets/member_panel.h"
#include "uniform_row_list_view.h"

#include <QKeyEvent>
#include <QLineEdit>
#include <QShortcut>
#include <QVBoxLayout>

namespace tavrin::detail {

MemberFindBar::MemberFindBar(MemberPanel& panel, QLineEdit& field, QVBoxLayout& layout, int place,
                             UniformRowListView& list, ChanSaveListModel& model,
                             std::function<void()> searched)
    : QObject(&panel), panel_(panel), layout_(layout), place_(place), list_(list), model_(model),
      searched_(std::move(searched)), field_(&field) {
    field_->setObjectName("txtFind");
    field_->setPlaceholderText(MemberPanel::tr("Find member"));
    field_->setAccessibleName(MemberPanel::tr("Find member"));
    field_->setClearButtonEnabled(true);
    field_->installEventFilter(this);
    layout_.insertWidget(place_, field_);
    connect(field_, &QLineEdit::textChanged, this, [this](const QString& text) {
        try {
            find(text);
        } catch (...) {
            Q_EMIT panel_.failed(failureInWords());
        }
    });
    auto* shortcut = new QShortcut(QKeySequence::Find, &panel, this, [this] { open(); });
    shortcut->setContext(Qt::WidgetWithChildrenShortcut);
}

void MemberFindBar::setAlwaysShown(bool alwaysShown) {
    alwaysShown_ = alwaysShown;
    if (alwaysShown) {
        layout_.insertWidget(place_, field_);
        field_->show();
    } else {
        layout_.removeWidget(field_);
        field_->hide();
        place();
    }
}

void MemberFindBar::open() {
    if (!alwaysShown_) {
        place();
        field_->show();
        field_->raise();
    }
    field_->setFocus(Qt::ShortcutFocusReason);
    field_->selectAll();
}

void MemberFindBar::place() {
    if (!alwaysShown_) {
        const int height = field_->sizeHint().height();
        field_->setGeometry(0, panel_.height() - height, panel_.width(), height);
    }
}

void MemberFindBar::find(const QString& text) {
    model_.setSearch(text);
    searched_(); // narrowed or not, though no count changed
    const QModelIndex current = list_.currentIndex();
    if (current.isValid()) {
        list_.scrollTo(current);
    } else {
        list_.scrollToTop();
    }
}

bool MemberFindBar::eventFilter(QObject* watched, QEvent* event) {
    if (watched == field_ && event->type() == QEvent::KeyPress) {
        const auto* key = static_cast<QKeyEvent*>(event);
        if (key->modifiers() == Qt::NoModifier || key->modifiers() == Qt::KeypadModifier) {
            return keyPressed(key->key());
        }
    }
    return QObject::eventFilter(watched, event);
}

bool MemberFindBar::keyPressed(int key) {
    const QModelIndex first = list_.firstMember(); // never a heading
    switch (key) {
    case Qt::Key_Down:
        if (first.isValid()) {
            list_.setCurrentIndex(first);
        }
        list_.setFocus(Qt::OtherFocusReason);
        return true;
    case Qt::Key_Return:
    case Qt::Key_Enter:
        if (first.isValid()) {
            Q_EMIT panel_.memberActivated(first.data(ChanSaveListModel::NameRole).toString());
        }
        return true;
    case Qt::Key_Escape:
        field_->clear();
        if (!alwaysShown_) {
            field_->hide();
            list_.setFocus(Qt::OtherFocusReason);
        }
        return true;
    default:
        return false;
    }
}

} // namespace tavrin::detail
