#pragma once

#include <QElapsedTimer>
#include <QList>
#include <QObject>
#include <QPointer>
#include <QProcess>
#include <QSize>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

#include <functional>
#include <memory>
#include <optional>



// A few short samples of a source, encoded the way its conversion would be and measured: the
// bytes each stream takes, the time this machine needs, and the picture's SSIM and PSNR against
// the source at the output's size. Everything runs from the event loop, one process at a time,
// in a private temporary folder; cancel() stops it at once.
//
// The encodes go through the encoder adapter, like every conversion; the analysis (ffprobe, and
// ffmpeg's ssim and psnr filters to the null muxer) runs those tools directly, each within a
// bounded time.
class Samples : public QObject {
    Q_OBJECT
    Q_DISABLE_COPY(Samples)

public:
    // What the samples know of the source.
    struct Source {
        double duration = 0; // of the converted span, in seconds
        QSize size;
        double frameRate = 0;
        bool sound = false;
        qint64 soundBitrate = 0; // as the source states it, 0 when it does not
        qint64 fileBytes = 0;
        double fileDuration = 0; // of the whole source
    };
    struct Span {
        double start = 0; // in the source, seconds
        double seconds = 0;
    };
    // One encode of every sample with one line.
    struct Measure {
        QStringList arguments;
        double seconds = 0;       // of content, every sample together
        double encodeSeconds = 0; // wall time of the encodes
        double startSeconds = 0;  // wall time of an encode of a tenth of a second: what any run costs
        qint64 fileBytes = 0;
        qint64 firstKeyBytes = 0; // each sample's first picture, a key frame the full file has fewer of
        qint64 otherVideoBytes = 0;
        qint64 soundBytes = 0;
        int videoFrames = 0;
        QSize outputSize;
        // Means over the samples' pictures; nothing when not scored or without a picture.
        std::optional<double> ssim;
        std::optional<double> psnr;
    };

    static constexpr double SampleSeconds = 2;
    static constexpr int MostSamples = 3;
    // The part a picture encodes: a few pictures, so that an encoder's first one is not all it is
    // judged by.
    static constexpr double PictureSeconds = 0.2;
    // The encode that tells what starting a run costs.
    static constexpr double StartSeconds = 0.1;

    // The conversion's options made concrete for each sample's own span (OptionPlan), which the
    // adapter joins into each sample's line as it does for the conversion: the block then seeks.
    // Empty blocks: the options change nothing but the span.
    struct OptionBlocks {
        QList<QStringList> samples; // one for each of spans()
        QStringList timing;         // for the encode that tells what a run costs
        QString crop;               // "W:H:X:Y" the blocks crop to; the reference is cropped alike
        bool isEmpty() const { return samples.isEmpty(); }
    };

    explicit Samples(QObject *parent = nullptr);
    ~Samples() override;

    // Where the encoder adapter is; the program's own folder unless set.
    void setProgramFolder(const QString &folder) { m_programFolder = folder; }

    // Looks at the source and lays the samples over [from, to) (to < 0: its end): ready() or
    // failed() follows. A source that cannot be read twice (a pipe, /dev/stdin) is refused.
    void open(const QString &source, double from = 0, double to = -1);
    // Encodes every sample with a line (what follows the source on the conversion's line: the
    // preset's arguments and, joined as the conversion joins them, its options' arguments), and
    // scores each unless told not to: measured() or failed() follows. asWritten: the line is in
    // today's syntax, as the presets for today's devices and the user's are. timed: an encode of a
    // tenth of a second comes first, to tell the cost of any run from that of each second.
    // The extension (".mp4") picks the samples' container, as the destination's picks the
    // conversion's.
    void measure(const QStringList &arguments, const QString &extension, bool asWritten = true, bool score = true,
                 bool timed = false);
    // The options' blocks the next measures use; forgotten by open().
    void setOptionBlocks(const OptionBlocks &blocks) { m_blocks = blocks; }
    // One picture of the source at a time, and the same picture as the conversion's line makes
    // it, each written as a PNG in the private folder: pictured() or failed() follows. For a
    // preview beside the estimate. optionBlock: the conversion's options made concrete for a
    // short part starting at that time (OptionPlan), which the adapter joins into the line as it
    // does for the conversion; the block then seeks, and the picture shows its crop and burned
    // subtitles too. Without arguments only the source's picture is made (the output's is named
    // empty): for a line that writes no picture.
    void picture(double at, const QStringList &arguments, const QString &extension, bool asWritten = true,
                 const QStringList &optionBlock = {});
    // Stops what runs; cancelled() follows from the event loop.
    void cancel();
    bool busy() const { return m_process != nullptr || !m_steps.empty(); }

    const Source &source() const { return m_source; }
    const QList<Span> &spans() const { return m_spans; }

    // How the samples lie over a span of that length: up to MostSamples of SampleSeconds spread
    // evenly, fewer for a short span, one as long as the span for a span shorter than a sample.
    static QList<Span> layOut(double from, double duration);

signals:
    // percent of the current open or measure; step says what runs ("encoding sample 2 of 3").
    void progressed(int percent, const QString &step);
    void ready();
    void measured(const Samples::Measure &measure);
    // The files stay until the next open() or the end of this object.
    void pictured(const QString &sourcePicture, const QString &outputPicture);
    void failed(const QString &reason);
    void cancelled();

private:
    struct Step {
        QString text;
        QString program;
        std::function<QStringList()> arguments; // made when the step starts, from what earlier steps found
        bool outputOnly = false;                 // the tool's error output is not read
        int limitMs = 0;
        std::function<std::optional<QString>(const QByteArray &output, int exitCode)> done;
    };

    void runNext();
    void fail(const QString &reason);
    QString encoderPath() const;

    QString m_programFolder;
    QString m_sourcePath;
    Source m_source;
    QList<Span> m_spans;
    OptionBlocks m_blocks;
    std::unique_ptr<QTemporaryDir> m_folder;
    QList<Step> m_steps;
    int m_stepCount = 0;
    int m_stepsDone = 0;
    Measure m_measure;
    double m_ssimWeight = 0;
    QPointer<QProcess> m_process;
    QElapsedTimer m_clock;
    enum class Work { Opening, Measuring, Picturing };
    Work m_work = Work::Opening;
    QString m_pictures[2]; // the source's and the output's
    int m_run = 0; // counts measures, so that each names its files apart
};

Q_DECLARE_METATYPE(Samples::Measure)
