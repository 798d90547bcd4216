#pragma once

#include <QString>

#include <optional>

// How far a conversion is, from the encoder's text. Two figures: the estimate from the amount of
// text against the source size, and the measured share of the input's "Duration:" that the
// latest "time=" has reached. The measured figure wins when both are known. Capped at 99 until
// the job completes.
class ProgressMeter {
public:
    static constexpr int Cap = 99;

    // Starts a new conversion of a source of fileSize bytes with the preset's ratio.
    void reset(int ratio);

    // Takes one chunk of encoder text with the job's FileSize; returns the percent to show.
    int feed(const QString &chunk, qint64 fileSize);

    int value() const;
    int estimate() const;
    std::optional<double> duration() const { return m_duration; }
    std::optional<double> time() const { return m_time; }

    // The percent one chunk of text is worth: length / (fileSize * ratio / 8200) * 100, in 64-bit
    // and double arithmetic. The bar shows whole percents; fractions carry over to the next chunk,
    // so that large sources still move the bar.
    static double estimateShare(qsizetype length, qint64 fileSize, int ratio);

    // "HH:MM:SS.ss" in seconds; nothing for "N/A" or anything malformed.
    static std::optional<double> parseClock(QStringView text);

private:
    void scanLine(QStringView line);

    int m_ratio = 1;
    double m_estimate = 0;
    std::optional<double> m_duration;
    std::optional<double> m_time;
    QString m_partial; // a line the last chunk cut in two
};
