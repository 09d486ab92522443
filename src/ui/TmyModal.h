#pragma once
// Shows a dialog modally in a loop that the program's end ends too: a close from the desktop or a
// signal reaches the window while the box waits for its OK, and the program must not wait with it.
class QDialog;
class TmyApplication;

class TmyModal {
public:
    // Shows the dialog over every window and waits until it is answered or the program ends;
    // returns its result, rejected when it was not answered. Once the program is ending no dialog
    // is shown at all.
    static int Exec(QDialog& dialog, TmyApplication& app);
    static int Exec(QDialog& dialog);  // in the process's own loop
};
