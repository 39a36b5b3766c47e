#pragma once

#include "tavrin_widgets/export.h"

#include "tavrin_widgets/member_panel.h"

#include <QString>
#include <QWidget>

class ChanSaveListModel;
class QPushButton;

// The window that owns a channel's member list and shows it. A chat client
// calls TavrinAdd and TavrinDel as members join, change and leave; they work
// whether or not the window is shown. Closing the window destroys it and its
// list. The list is a MemberPanel, without its header, in a fixed layout.
class TAVRIN_WIDGETS_EXPORT frmTavrin : public QWidget {
    Q_OBJECT
    Q_PROPERTY(
        MemberPanel::DisplayMode displayMode READ displayMode WRITE setDisplayMode NOTIFY displayModeChanged)

public:
    using DisplayMode = MemberPanel::DisplayMode;

    explicit frmTavrin(QWidget* parent = nullptr);

    DisplayMode displayMode() const { return panel_->displayMode(); }
    void setDisplayMode(DisplayMode mode) { panel_->setDisplayMode(mode); }

    // Never fails: a newcomer to a full list is turned away.
    void TavrinAdd(const QString& username, const QString& Message, qint32 Flags, qint32 Ping);
    void TavrinDel(const QString& username);

    MemberPanel& panel() { return *panel_; }
    const ChanSaveListModel& model() const { return panel_->model(); }

signals:
    void displayModeChanged(MemberPanel::DisplayMode mode);
    // A member's row was double-clicked, or Return was pressed on it: a chat
    // client may open a private conversation with that member.
    void memberActivated(const QString& username);

private:
    MemberPanel* panel_;
    QPushButton* cmdClose;
};
