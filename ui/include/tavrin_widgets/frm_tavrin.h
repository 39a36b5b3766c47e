#pragma once

#include <QString>
#include <QWidget>

class ChanSaveListModel;
class QPushButton;
class UniformRowListView;

// The window that owns a channel's member list and shows it. A chat client
// calls TavrinAdd and TavrinDel as members join, change and leave; they work
// whether or not the window is shown. Closing the window destroys it and its
// list.
class frmTavrin : public QWidget {
    Q_OBJECT

public:
    explicit frmTavrin(QWidget* parent = nullptr);

    // Never fails: a newcomer to a full list is turned away.
    void TavrinAdd(const QString& username, const QString& Message, qint32 Flags, qint32 Ping);
    void TavrinDel(const QString& username);

    const ChanSaveListModel& model() const { return *model_; }

private:
    ChanSaveListModel* model_;
    UniformRowListView* lstChanSave;
    QPushButton* cmdClose;
};
