#pragma once

#include <QString>
#include <QWidget>

#include <functional>

class ListWindowReference;
class QLineEdit;
class QPushButton;

// The start-up window: four fields describe a member, and the buttons add that
// member to the list window, delete a member by name, and show the list.
class frmTavrinTest : public QWidget {
    Q_OBJECT

public:
    // Told, in words a user understands, when a click cannot be carried out.
    using ErrorReporter = std::function<void(const QString& message)>;

    // Without a reporter, problems are shown in a message box.
    explicit frmTavrinTest(ListWindowReference& listWindow, ErrorReporter reportError = {},
                           QWidget* parent = nullptr);

    // Runs a click's work. A failure of any kind is reported as what the click
    // was doing and why it failed, and the program carries on.
    static void runClick(const QString& action, const std::function<void()>& work,
                         const ErrorReporter& reportError);

private:
    void cmdAdd_Click();
    void cmdDel_Click();
    void cmdShowWeb_Click();

    ListWindowReference& listWindow_;
    ErrorReporter reportError_;
    QLineEdit* txtName;
    QLineEdit* txtProd;
    QLineEdit* txtFlag;
    QLineEdit* txtPing;
    QPushButton* cmdAdd;
    QPushButton* cmdDel;
    QPushButton* cmdShowWeb;
};
