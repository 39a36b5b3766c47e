#pragma once

#include <QString>
#include <QWidget>

class ChanSaveListModel;
class QAbstractItemDelegate;
class QPushButton;
class UniformRowListView;

// The window that owns a channel's member list and shows it. A chat client
// calls TavrinAdd and TavrinDel as members join, change and leave; they work
// whether or not the window is shown. Closing the window destroys it and its
// list.
class frmTavrin : public QWidget {
    Q_OBJECT
    Q_PROPERTY(DisplayMode displayMode READ displayMode WRITE setDisplayMode NOTIFY displayModeChanged)

public:
    // How the list shows each member: its whole entry text, or a badge, the
    // name and a connection meter. Either way a row's tooltip, spoken text and
    // copied text stay the same.
    enum class DisplayMode { EntryText, Members };
    Q_ENUM(DisplayMode)

    explicit frmTavrin(QWidget* parent = nullptr);

    DisplayMode displayMode() const { return displayMode_; }
    void setDisplayMode(DisplayMode mode);

    // Never fails: a newcomer to a full list is turned away.
    void TavrinAdd(const QString& username, const QString& Message, qint32 Flags, qint32 Ping);
    void TavrinDel(const QString& username);

    const ChanSaveListModel& model() const { return *model_; }

signals:
    void displayModeChanged(frmTavrin::DisplayMode mode);
    // A member's row was double-clicked, or Return was pressed on it: a chat
    // client may open a private conversation with that member.
    void memberActivated(const QString& username);

private:
    ChanSaveListModel* model_;
    QAbstractItemDelegate* entryTextDelegate_;
    QAbstractItemDelegate* membersDelegate_;
    DisplayMode displayMode_ = DisplayMode::EntryText;
    UniformRowListView* lstChanSave;
    QPushButton* cmdClose;
};
