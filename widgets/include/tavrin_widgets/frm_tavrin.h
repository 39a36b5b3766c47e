#pragma once

#include "tavrin_widgets/export.h"

#include "tavrin_widgets/member_panel.h"

#include <QString>
#include <QWidget>

#include <memory>

class ChanSaveListModel;
class frmTavrinPrivate;

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
    ~frmTavrin() override;

    DisplayMode displayMode() const;
    void setDisplayMode(DisplayMode mode);

    // Never throws; a failure is told through the panel's failed().
    void TavrinAdd(const QString& username, const QString& Message, qint32 Flags, qint32 Ping);
    // Unlike everything else in this library, throws when it fails, with the
    // failure's own words: the program's test window reports it so. The list
    // is then as it was.
    void TavrinDel(const QString& username);

    MemberPanel& panel();
    const ChanSaveListModel& model() const;
    ChanSaveListModel& model();

Q_SIGNALS:
    void displayModeChanged(MemberPanel::DisplayMode mode);
    // A member's row was double-clicked, or Return was pressed on it: a chat
    // client may open a private conversation with that member.
    void memberActivated(const QString& username);

private:
    std::unique_ptr<frmTavrinPrivate> const d;
};
