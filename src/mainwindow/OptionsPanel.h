#pragma once

#include "workflow/ConversionOptions.h"
#include "workflow/CropDetect.h"
#include "workflow/SourceInfo.h"

#include <QStringList>
#include <QWidget>

#include <atomic>
#include <functional>
#include <memory>

class AsideWork;
class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;

// What goes into the file, for the sources in hand: sound and subtitle tracks (by number or by
// language; a language takes each file's own track), a subtitle burned in, the part of the time,
// the part of the picture, the source's metadata and its date. The sources are read (and their
// black bars measured) off the window's thread; the panel says so meanwhile and names a file that
// cannot be read. In the window's dark look, every control reached by Tab, named by its label
// and spoken with its value.
class OptionsPanel : public QWidget {
    Q_OBJECT
    Q_DISABLE_COPY(OptionsPanel)

public:
    using Reader = std::function<SourceInfo(const QString &path)>;
    using CropFinder = std::function<CropDetect::Found(const SourceInfo &info)>;

    explicit OptionsPanel(QWidget *parent = nullptr);
    ~OptionsPanel() override;

    // The files the options are for; reads them aside and refills the track lists, keeping
    // the choices made.
    void setSources(const QStringList &sources);
    ConversionOptions options() const;
    // Shows these options; a track the files do not hold stays chosen, marked so.
    void setOptions(const ConversionOptions &options);
    // A time chosen elsewhere (in the preview) as the start or the end of the part, as if typed.
    void setStart(qint64 ms);
    void setEnd(qint64 ms);
    // Why the options as typed cannot be used (a malformed time, an end not after the start, a
    // start past a file's end, a rectangle outside a picture); empty when they can.
    QString problem() const;
    // Shows the field at fault with the focus in it.
    void focusProblem();
    bool reading() const;
    // How a source is read and its black bars found; both run off the window's thread.
    void setTools(Reader reader, CropFinder finder);

protected:
    void paintEvent(QPaintEvent *event) override;

signals:
    // The user changed a choice.
    void optionsChanged();
    // The sources were read: the track lists are filled, or say what could not be read.
    void sourcesRead();
    // The black bars were measured for the crop's automatic choice.
    void cropFound();

private:
    void build();
    void fillTrackLists();
    void chooseTracks(QComboBox *box, const ConversionOptions::Tracks &tracks);
    void showCrop();
    void findCrop();
    void check();
    void userChanged();

    Reader m_reader;
    CropFinder m_finder;
    AsideWork *m_aside = nullptr;
    int m_generation = 0; // which setSources a result answers
    // Set: the reads of sources no longer in hand end at once.
    std::shared_ptr<std::atomic<bool>> m_stop = std::make_shared<std::atomic<bool>>(false);
    bool m_reading = false;
    bool m_filling = false; // the lists are being refilled, not chosen by the user
    QStringList m_paths;
    QList<SourceInfo> m_sources; // those read
    QString m_cropText;          // what the measure found, as shown
    bool m_cropMeasured = false;
    bool m_cropMeasuring = false;
    QString m_cropFirst; // the first file's rectangle, offered for a custom one
    std::optional<qint64> m_lengthMs; // kept while the end field is empty
    std::optional<bool> m_metadata;   // as given, while the box agrees
    std::optional<bool> m_keepDate;
    QString m_problem;
    QWidget *m_wrong = nullptr; // the field the problem is about

    QComboBox *m_sound = nullptr;
    QComboBox *m_subtitles = nullptr;
    QComboBox *m_burn = nullptr;
    QLineEdit *m_start = nullptr;
    QLineEdit *m_end = nullptr;
    QComboBox *m_crop = nullptr;
    QLineEdit *m_rectangle = nullptr;
    QLabel *m_found = nullptr;
    QCheckBox *m_metadataBox = nullptr;
    QCheckBox *m_dateBox = nullptr;
    QLabel *m_status = nullptr;
    QLabel *m_message = nullptr;
};
