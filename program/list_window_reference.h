#pragma once

#include "tavrin_widgets/frm_tavrin.h"

#include <QPointer>

// The program's one list window. It comes into being, hidden and empty, the
// first time something needs it, and empties itself when the window closes.
class ListWindowReference {
public:
    ListWindowReference() = default;
    ~ListWindowReference() { delete window_; }
    ListWindowReference(const ListWindowReference&) = delete;
    ListWindowReference& operator=(const ListWindowReference&) = delete;

    frmTavrin& ensureExists() {
        if (window_.isNull()) {
            window_ = new frmTavrin;
        }
        return *window_;
    }

    frmTavrin* window() const { return window_.data(); }

private:
    QPointer<frmTavrin> window_;
};
