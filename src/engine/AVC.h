#pragma once

#include "engine/EncoderSettings.h"
#include "protocol/Protocol.h"

#include <QObject>
#include <QPointer>
#include <QProcess>
#include <QString>
#include <QStringDecoder>

#include <optional>

class QTimer;

// The conversion job: the caller writes the encoder settings, the two paths and the ratio, then
// calls ConvertMedia. The job builds the encoder's command line, starts "avformat.dll" from the
// program folder, polls its output on the host's timer and reports through its events. Failures
// are events, never exceptions.
class AVC : public QObject {
    Q_OBJECT
    Q_DISABLE_COPY(AVC)

public:
    enum class State { Idle, Polling, Stopped };

    static constexpr const char *EncoderName = Protocol::AdapterName;
    static constexpr int ChunkSize = 256;
    // How long a cancelled encoder has to clean up before it is killed.
    static constexpr int StopGraceMs = 3000;
    // The FileSize of a source without a length (a named pipe, a device), for the estimate while
    // the encoder gives no time report.
    static constexpr qint64 StreamSize = 100'000'000;

    // Binds to the host's poll timer; the job alone sets its interval and switches it.
    explicit AVC(QTimer *hostTimer, QObject *parent = nullptr);
    // Stops a running encoder as CancelConvert does, without waiting for it to go.
    ~AVC() override;

    // The setting writers: each only stores its value.
    void setVideoBitrate(const QString &StrValue) { setSetting(Setting::VideoBitrate, StrValue); }
    void setVideoFrameRate(const QString &StrValue) { setSetting(Setting::VideoFrameRate, StrValue); }
    void setVideoSize(const QString &StrValue) { setSetting(Setting::VideoSize, StrValue); }
    void setVideoCodec(const QString &StrValue) { setSetting(Setting::VideoCodec, StrValue); }
    void setVideoFourCCTag(const QString &StrValue) { setSetting(Setting::VideoFourCCTag, StrValue); }
    void setVideoAspectRatio(const QString &StrValue) { setSetting(Setting::VideoAspectRatio, StrValue); }
    void setVideoBitrateTolerance(const QString &StrValue) { setSetting(Setting::VideoBitrateTolerance, StrValue); }
    void setForceFormat(const QString &StrValue) { setSetting(Setting::ForceFormat, StrValue); }
    void setTargetFormat(const QString &StrValue) { setSetting(Setting::TargetFormat, StrValue); }
    void setRateControlBuffer(const QString &StrValue) { setSetting(Setting::RateControlBuffer, StrValue); }
    void setGroupOfPictureSize(const QString &StrValue) { setSetting(Setting::GroupOfPictureSize, StrValue); }
    void setVideoQuantiserScale(const QString &StrValue) { setSetting(Setting::VideoQuantiserScale, StrValue); }
    void setMaxVideoBitrate(const QString &StrValue) { setSetting(Setting::MaxVideoBitrate, StrValue); }
    void setDeInterlace(bool on) { m_settings.setFlag(Setting::DeInterlace, on); }
    void setSameQuality(bool on) { m_settings.setFlag(Setting::SameQuality, on); }
    void setAudioCodec(const QString &StrValue) { setSetting(Setting::AudioCodec, StrValue); }
    void setAudioFourCCTag(const QString &StrValue) { setSetting(Setting::AudioFourCCTag, StrValue); }
    void setAudioBitrate(const QString &StrValue) { setSetting(Setting::AudioBitrate, StrValue); }
    void setAudioSamples(const QString &StrValue) { setSetting(Setting::AudioSamples, StrValue); }
    void setAudioChannels(const QString &StrValue) { setSetting(Setting::AudioChannels, StrValue); }
    // Command-line text that goes on as it is: quote each argument (CommandLine::joinCommandLine).
    void setExtraOptions(const QString &StrValue) { setSetting(Setting::ExtraOptions, StrValue); }
    // The options are today's syntax (a preset for today's devices, the user's): the command line
    // is marked so that the adapter passes them on as written. Cleared with the settings.
    void setAsWritten(bool on) { m_settings.setAsWritten(on); }
    // The options block ahead of the line (EncoderSettings::setOptionArguments). Cleared with the
    // settings.
    void setOptionArguments(const QStringList &pairs) { m_settings.setOptionArguments(pairs); }
    // The trimmed length for the adapter's check (SpanMarker); nothing: the source's own. Kept
    // until the run ends, whatever preset is applied meanwhile.
    void setExpectedSpan(std::optional<double> seconds) { m_span = seconds; }
    void setSourceFile(const QString &StrValue) { m_sourceFile = StrValue; }
    void setDestFile(const QString &StrValue) { m_destFile = StrValue; }

    // Generic writers, for tables of settings; a flag setting takes setFlag.
    void setSetting(Setting setting, const QString &value) { m_settings.set(setting, value); }
    void setFlag(Setting setting, bool on) { m_settings.setFlag(setting, on); }
    // Every setting back to empty, as a completed run leaves them.
    void clearSettings() { m_settings.clear(); }

    int SizeRatio() const { return m_sizeRatio; }
    void setSizeRatio(int ratio) { m_sizeRatio = ratio; }
    qint64 FileSize() const { return m_fileSize; }

    void ConvertMedia(bool OverWrite);
    // Stops the encoder this job started, and nothing else: SIGTERM, so that it removes its partial
    // output, then a kill if it is still there after StopGraceMs. Returns at once; the run ends with
    // Cancelled (or Complete, had it just finished) on a later tick.
    void CancelConvert();
    // Suspends the running encoder (the adapter and its ffmpeg, by their process group, nothing
    // else) and lets it go on again. False when there is nothing to pause or resume. A cancel or
    // the job's end resumes a paused encoder first, so that it can exit and remove its partial file.
    bool pauseEncoder();
    bool resumeEncoder();
    bool paused() const { return m_paused; }

    // Where "avformat.dll" is looked for; the program's own folder unless set.
    QString programFolder() const;
    void setProgramFolder(const QString &folder) { m_programFolder = folder; }

    // What the job holds, for its owner's display and for checks.
    const EncoderSettings &settings() const { return m_settings; }
    QString sourceFile() const { return m_sourceFile; }
    QString destFile() const { return m_destFile; }
    QString commandLine() const { return m_commandLine; }
    State state() const { return m_state; }
    bool encoderRunning() const;
    qint64 encoderProcessId() const { return m_process ? m_process->processId() : 0; }

signals:
    void DataOutput(const QString &strData, qint64 FileSize);
    void Converting();
    void Complete();
    // The encoder failed (non-zero exit, crash, or could not be started); ErrorEvent precedes it.
    void Failed();
    // The run ended because CancelConvert stopped it.
    void Cancelled();
    void ErrorEvent(const QString &ErrorMessage);

private:
    void StartEncoder(const QString &commandLine);
    void tick();
    void handOn(const QByteArray &bytes);
    QString failureReason() const;
    void endRun();
    void dropProcess();
    void continueEncoder();
    static void stopWithGrace(QProcess *process);

    QPointer<QTimer> m_timer;
    EncoderSettings m_settings;
    QString m_sourceFile;
    QString m_destFile;
    std::optional<double> m_span;
    int m_sizeRatio = 0;
    qint64 m_fileSize = 0;
    QString m_programFolder;
    QString m_commandLine;
    State m_state = State::Idle;
    QProcess *m_process = nullptr;
    QStringDecoder m_decoder;
    QString m_tail; // the latest output, for the failure message
    bool m_inTick = false;
    bool m_cancelRequested = false;
    bool m_paused = false;
};
