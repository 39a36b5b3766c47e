#pragma once

#include <QObject>

#include <functional>

class ChanSaveListModel;
class MemberPanel;
class QLineEdit;
class QVBoxLayout;

namespace tavrin::detail {

class UniformRowListView;

// "Find member": the field that narrows the list, as it is typed in, to the
// members whose name holds the text. It stands above the list, or, when not
// always shown, opens over the list's lower edge with Ctrl+F and closes with
// Escape. Down goes to the first member shown, Return activates them, and
// Escape empties the field. What fails is told through the panel's failed().
class MemberFindBar : public QObject {
public:
    // The field is the panel's, made before the list so that Tab goes from
    // the field to the list, as they stand on screen. It goes into the layout
    // at this place while always shown; searched() follows each search, for
    // the counts it changes.
    MemberFindBar(MemberPanel& panel, QLineEdit& field, QVBoxLayout& layout, int place,
                  UniformRowListView& list, ChanSaveListModel& model, std::function<void()> searched);

    bool isAlwaysShown() const { return alwaysShown_; }
    void setAlwaysShown(bool alwaysShown);
    void open();
    // Over the list's lower edge, after the panel's size changed.
    void place();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void find(const QString& text);
    bool keyPressed(int key);

    MemberPanel& panel_;
    QVBoxLayout& layout_;
    const int place_;
    UniformRowListView& list_;
    ChanSaveListModel& model_;
    std::function<void()> searched_;
    QLineEdit* const field_;
    bool alwaysShown_ = true;
};

} // namespace tavrin::detail
