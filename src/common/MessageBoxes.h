#pragma once

#include "common/ReplaceableHandler.h"

#include <QString>

// Every message box the program shows goes through this service, so that the command-line mode
// can print them and tests can record and answer them. Style values follow the classic message
// box flags: 0 OK only, 16 critical, 32 question, 48 exclamation, 64 information. The installed
// handler presents a box and returns the answer; without one, boxes are printed on stderr.
class MessageBoxes
    : public ReplaceableHandler<MessageBoxes, int(const QString &text, int style, const QString &title)> {
public:
    enum Style : int { OkOnly = 0, Critical = 16, Question = 32, Exclamation = 48, Information = 64 };
    // The buttons of the question about existing destinations of a batch: "Replace all" answers
    // Yes, "Keep all" No, "Ask for each" Cancel.
    static constexpr int ReplaceKeepAsk = 3;
    // The buttons of the question where a folder's results go: "Into a folder…" answers Yes,
    // "Beside the sources" No, Cancel Cancel.
    static constexpr int FolderOrBeside = 5;
    // The Yes and No buttons, and the question box that has them.
    static constexpr int YesNo = 4;
    static constexpr int YesNoQuestion = YesNo + Question;
    // The second button (No) is the default: for a question whose Yes loses something.
    static constexpr int DefaultButton2 = 256;
    enum Answer : int { Ok = 1, Cancel = 2, Yes = 6, No = 7 };

    MessageBoxes() = delete;

    // Shows a box; an empty title means the application's title. Returns the answer.
    static int show(const QString &text, int style = OkOnly, const QString &title = QString());

    // The application's title, used for boxes without a title of their own.
    static QString applicationTitle();
};
