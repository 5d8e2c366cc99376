#pragma once

#include "res/DialogTemplates.h"

#include <vector>

class QWidget;

// Creates the controls of a dialog template on a parent widget, in template
// order, at the pixel rectangles their dialog units give, with the tab order
// of the template. Every control carries its id (GetDlgCtrlID) and, when it
// has one, the object name "IDC_<id>". Controls earlier in the template lie
// above later ones, as in the platform's dialogs; frames, group boxes and
// texts let mouse clicks through to what lies below.
//
// Kinds: push buttons are QPushButton (the default one marked as default),
// owner-drawn buttons CBitmapButton, check boxes QCheckBox, radio buttons
// QRadioButton or, push-like, a checkable QPushButton in an exclusive group;
// edits QLineEdit; texts QLabel; bitmap statics a QLabel showing the bitmap
// resource at its own size; frames QFrame; group boxes QGroupBox; up-downs
// CSpinButtonCtrl bound to the edit before them.
class CDialogBuilder {
public:
    struct Control {
        const DialogItem* item;
        QWidget* widget;
    };

    static constexpr const char* kIdProperty = "dlgCtrlId";

    // yOffset moves every control down (room for a menu bar).
    static std::vector<Control> Build(QWidget* parent, const DialogTemplate& t, int yOffset = 0);

    // The id of a control made here; 0 for other widgets.
    static int GetDlgCtrlID(const QWidget* widget);
};
