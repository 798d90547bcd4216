#pragma once

#include <QString>

#include <optional>

// How far a conversion is, from the encoder's text. The figure follows the share of the input's
// "Duration:" that the latest "time=" has reached. Text before the "Duration:" line is the
// encoder's start-up and counts for nothing; an encoder that prints EstimateAfter characters
// without one (or gives no usable duration) is measured by the text-volume estimate instead,
// counted from its first character. The figure shown never goes back, and stays at Cap or below
// until the job completes.
class ProgressMeter {
public:
    static constexpr int Cap = 99;
    static constexpr qsizetype EstimateAfter = 4096;

    // Starts a new conversion with the preset's ratio.
    void reset(int ratio);

    // The length the encoder will write, when it is known to differ from the input's "Duration:"
    // (a trimmed part): the figure follows "time=" against it from the start.
    void expectSpan(double seconds);

    // Takes one chunk of encoder text with the job's FileSize; returns the percent to show.
    int feed(const QString &chunk, qint64 fileSize);

    int value() const { return m_shown; }
    // The text-volume figure, whether shown or not.
    int estimate() const;
    std::optional<double> duration() const { return m_duration; }
    std::optional<double> time() const { return m_time; }

    // The time left once the encoder has reported how far it is, when reaching that took elapsedMs
    // of wall time; nothing before it has converted 5 % or half a minute of the source.
    std::optional<qint64> timeLeftMs(qint64 elapsedMs) const;

    // The percent one chunk of text is worth: length / (fileSize * ratio / 8200) * 100, in 64-bit
    // and double arithmetic. The bar shows whole percents; fractions carry over to the next chunk,
    // so that large sources still move the bar.
    static double estimateShare(qsizetype length, qint64 fileSize, int ratio);

    // "HH:MM:SS.ss" in seconds; nothing for "N/A" or anything malformed.
    static std::optional<double> parseClock(QStringView text);

private:
    enum class Basis { Waiting, Measured, Estimate };

    void scanLine(QStringView line);
    int current() const;

    int m_ratio = 1;
    Basis m_basis = Basis::Waiting;
    qsizetype m_textWaiting = 0; // text seen while waiting for "Duration:"
    double m_estimate = 0;
    int m_shown = 0;
    std::optional<double> m_duration;
    std::optional<double> m_time;
    QString m_partial; // a line the last chunk cut in two
};
