#pragma once

#include "drawing/Color.h"

#include <QFont>
#include <QString>

// lblCap: the invisible label that carries the caption text, the caption font and the caption
// colour. It sizes itself to its text, so its width and height are the caption's extent.
class CaptionLabel {
public:
    const QString &caption() const { return m_caption; }
    void setCaption(const QString &caption) { m_caption = caption; }
    const QFont &font() const { return m_font; }
    void setFont(const QFont &font) { m_font = font; }
    // The text colour as given (an OleColor, possibly a system colour).
    OleColor foreColor() const { return m_foreColor; }
    void setForeColor(OleColor colour) { m_foreColor = colour; }

    // The caption's extent in pixels in the label's font: widest line, lines × line height.
    int width() const;
    int height() const;

private:
    QString m_caption;
    QFont m_font;
    OleColor m_foreColor = 0;
};
