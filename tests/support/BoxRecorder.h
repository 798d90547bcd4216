#pragma once

#include "common/MessageBoxes.h"

#include <QStringList>

#include <functional>

// Answers every message box while it lives, and records each: as "text|style|title" in boxes,
// and its text alone in texts. The answer is answer()'s when set, else OK.
struct BoxRecorder {
    BoxRecorder()
    {
        m_previous = MessageBoxes::install([this](const QString &text, int style, const QString &title) {
            boxes << QStringLiteral("%1|%2|%3").arg(text).arg(style).arg(title);
            texts << text;
            titles << title;
            return answer ? answer() : int(MessageBoxes::Ok);
        });
    }
    ~BoxRecorder() { MessageBoxes::install(m_previous); }
    Q_DISABLE_COPY(BoxRecorder)

    // The same answer to every box from now on.
    void answerAlways(int given)
    {
        answer = [given] { return given; };
    }

    QStringList boxes;
    QStringList texts;
    QStringList titles;
    std::function<int()> answer;

private:
    MessageBoxes::Handler m_previous;
};
