#include "start_window.h"

#include "list_window_reference.h"
#include "whole_number.h"

#include <QApplication>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>

#include <exception>
#include <limits>

namespace {

QString needsWholeNumber(const QString& fieldName) {
    return QObject::tr("%1 must be a whole number from -2147483648 to 2147483647.").arg(fieldName);
}

QLineEdit* makeField(QWidget* window, const char* objectName, const QString& label, const QString& text,
                     const QRect& geometry) {
    auto* field = new QLineEdit(text, window);
    field->setObjectName(objectName);
    field->setAccessibleName(label);
    field->setPlaceholderText(label);
    field->setGeometry(geometry);
    // Nothing typed or pasted is cut short: the list takes names of any length.
    field->setMaxLength(std::numeric_limits<int>::max());
    return field;
}

QPushButton* makeButton(QWidget* window, const char* objectName, const QString& caption,
                        const QRect& geometry) {
    auto* button = new QPushButton(caption, window);
    button->setObjectName(objectName);
    button->setGeometry(geometry);
    button->setAutoDefault(true); // Return and Enter press it, as Space does
    return button;
}

} // namespace

frmTavrinTest::frmTavrinTest(ListWindowReference& listWindow, ErrorReporter reportError, QWidget* parent)
    : QWidget(parent), listWindow_(listWindow), reportError_(std::move(reportError)) {
    setObjectName("frmTavrinTest");
    setWindowTitle(tr("Test"));
    resize(115, 179);
    // The small face the fixed layout was drawn for; larger ones clip the captions.
    QFont windowFont("Arial");
    windowFont.setPointSizeF(8.25);
    setFont(windowFont);
    if (!reportError_) {
        reportError_ = [this](const QString& message) {
            QMessageBox::warning(this, QApplication::applicationName(), message);
        };
    }

    // Fixed positions; the creation order is the tab order.
    txtName = makeField(this, "txtName", tr("Name"), "Zorv", {24, 8, 65, 19});
    txtProd = makeField(this, "txtProd", tr("Status"), "RATS", {24, 32, 65, 19});
    txtFlag = makeField(this, "txtFlag", tr("Flags"), "16", {24, 56, 65, 19});
    txtPing = makeField(this, "txtPing", tr("Ping"), "47", {24, 80, 65, 19});
    cmdAdd = makeButton(this, "cmdAdd", tr("Add"), {24, 104, 65, 17});
    cmdDel = makeButton(this, "cmdDel", tr("Delete"), {24, 120, 65, 17});
    cmdShowWeb = makeButton(this, "cmdShowWeb", tr("Show Tavrin"), {24, 136, 65, 33});

    connect(cmdAdd, &QPushButton::clicked, this, &frmTavrinTest::cmdAdd_Click);
    connect(cmdDel, &QPushButton::clicked, this, &frmTavrinTest::cmdDel_Click);
    connect(cmdShowWeb, &QPushButton::clicked, this, &frmTavrinTest::cmdShowWeb_Click);
}

void frmTavrinTest::cmdAdd_Click() {
    runClick(
        tr("Adding the member"),
        [this] {
            const QString username = txtName->text();
            const QString Message = txtProd->text();
            const QString flagText = txtFlag->text();
            frmTavrin& list = listWindow_.ensureExists();
            // Ping is converted first, so it is the one reported when both are wrong.
            const auto Ping = parseWholeNumber(txtPing->text());
            if (!Ping) {
                return reportError_(needsWholeNumber(tr("Ping")));
            }
            const auto Flags = parseWholeNumber(flagText);
            if (!Flags) {
                return reportError_(needsWholeNumber(tr("Flags")));
            }
            list.TavrinAdd(username, Message, *Flags, *Ping);
        },
        reportError_);
}

void frmTavrinTest::cmdDel_Click() {
    runClick(
        tr("Deleting the member"), [this] { listWindow_.ensureExists().TavrinDel(txtName->text()); },
        reportError_);
}

void frmTavrinTest::cmdShowWeb_Click() {
    runClick(
        tr("Showing the list"),
        [this] {
            frmTavrin& list = listWindow_.ensureExists();
            list.show();
            list.raise();
            list.activateWindow();
        },
        reportError_);
}

void frmTavrinTest::runClick(const QString& action, const std::function<void()>& work,
                             const ErrorReporter& reportError) {
    try {
        work();
    } catch (const std::exception& error) {
        reportError(tr("%1 failed: %2").arg(action, QString::fromLocal8Bit(error.what())));
    } catch (...) {
        reportError(tr("%1 failed.").arg(action));
    }
}
