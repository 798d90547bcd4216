#include "app/ProgressBoard.h"

#include "workflow/FileNameBytes.h"

#include <sys/ioctl.h>
#include <unistd.h>

ProgressBoard::ProgressBoard(std::FILE *stream)
    : m_stream(stream)
{
}

ProgressBoard::~ProgressBoard()
{
    hide();
    std::fflush(m_stream);
}

int ProgressBoard::width() const
{
    winsize size{};
    if (::ioctl(::fileno(m_stream), TIOCGWINSZ, &size) == 0 && size.ws_col > 1)
        return size.ws_col;
    return 80;
}

// Back to the board's first line, then clear to the end of the screen.
void ProgressBoard::hide()
{
    if (m_drawn > 0)
        std::fprintf(m_stream, "\r\033[%dA\033[J", int(m_drawn));
    m_drawn = 0;
}

void ProgressBoard::show()
{
    const int columns = width() - 1;
    for (const auto &[key, text] : std::as_const(m_lines))
        std::fprintf(m_stream, "%s\n", FileNameBytes::encode(text.left(columns)).constData());
    m_drawn = m_lines.size();
    std::fflush(m_stream);
}

void ProgressBoard::setLine(qsizetype key, const QString &text)
{
    const auto it = std::find_if(m_lines.begin(), m_lines.end(), [key](const auto &line) { return line.first == key; });
    if (it == m_lines.end())
        m_lines.append({key, text});
    else if (it->second == text)
        return;
    else
        it->second = text;
    hide();
    show();
}

void ProgressBoard::removeLine(qsizetype key)
{
    hide();
    m_lines.removeIf([key](const auto &line) { return line.first == key; });
    show();
}

void ProgressBoard::print(const QString &line)
{
    hide();
    std::fprintf(m_stream, "%s\n", FileNameBytes::encode(line).constData());
    show();
}
