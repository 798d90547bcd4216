#pragma once

#include <QList>
#include <QString>
#include <QStringList>

#include <sys/types.h>

// One conversion through the job with the real adapter and ffmpeg, cancelled with CancelConvert
// once the encoder has written part of its output, and what the cancellation left behind. Shared
// by the end-to-end test and the cancellation benchmark.
namespace CancelledConversion {

struct Request {
    QString programFolder;   // holds "avformat.dll"
    QString preset;
    QString source;          // long enough that the encoder is still at work when cancelled
    QString destination;     // alone in its folder, holding earlier content
    int cancelAtPercent = 10; // the measured progress at which to cancel
    // Also look for processes named "avformat.dll" or ffmpeg anywhere, not only for those this
    // conversion started: only meaningful where nothing else converts (a process namespace of
    // our own).
    bool wholeSystem = false;
};

struct Outcome {
    bool midRun = false;            // cancelled while the encoder was at work
    bool cancelReported = false;    // the job ended with Cancelled, not Complete or Failed
    int percentAtCancel = 0;
    qint64 msToCancel = 0;          // from ConvertMedia to the cancel
    qint64 msInCancelConvert = 0;   // CancelConvert's own time
    qint64 msToEnd = 0;             // from the cancel to the job's end event
    QList<pid_t> encoderProcesses;  // the adapter and its ffmpeg, as seen while converting
    QList<pid_t> survivors;         // of those, any still there after the end event
    QList<pid_t> namedLeft;         // wholeSystem: any process named "avformat.dll" or ffmpeg left
    QStringList strayFiles;         // anything beside the destination afterwards
    bool destinationIntact = false;
    QString error;                  // what went wrong before the cancel, if anything
    QString endMessage;             // a message of the job about the cancelled run (there should be none)

    bool clean() const
    {
        return error.isEmpty() && midRun && cancelReported && endMessage.isEmpty() && survivors.isEmpty()
            && namedLeft.isEmpty() && strayFiles.isEmpty() && destinationIntact;
    }
};

Outcome run(const Request &request);

} // namespace CancelledConversion
