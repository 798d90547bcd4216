#pragma once

#include <QString>

// The window's message boxes, as the MessageBoxes service hands them over: the classic style
// value picks the buttons and the icon, the box is modal over the active window.
namespace MessageBoxPresenter {

// Shows the box and returns the answer as a MessageBoxes::Answer.
int present(const QString &text, int style, const QString &title);

// Answers No to every Yes/No question on show: for questions about something that has since
// ended on its own.
void dismissQuestions();

} // namespace MessageBoxPresenter
