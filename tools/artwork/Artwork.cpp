#include "Artwork.h"

#include "AppEmblem.h"
#include "BackgroundArt.h"
#include "ButtonFaces.h"
#include "HandCursor.h"
#include "ProgressArt.h"
#include "Theme.h"
#include "VidomarResources.h"

namespace {

using FacePainter = QImage (*)(const QImage &, const QRect &, ButtonFaces::State);

struct PictureButton {
    const char *name;
    QRect place;
    FacePainter paint;
};

} // namespace

Artwork paintArtwork()
{
    Artwork art;
    const QImage background = BackgroundArt::paint();
    art.insert(QStringLiteral("art/background.png"), background);

    // cmdSource and cmdDest share the "browse" faces: they are the same size and their
    // backgrounds match at both places.
    const PictureButton buttons[] = {
        {"browse", Layout::CmdSource, ButtonFaces::browse},
        {"convert", Layout::CmdConvert, ButtonFaces::convert},
        {"stop", Layout::CmdConvert, ButtonFaces::stop},
        {"pause", Layout::CmdPause, ButtonFaces::pause},
        {"resume", Layout::CmdPause, ButtonFaces::resume},
        {"min", Layout::CmdMin, ButtonFaces::minimise},
        {"close", Layout::CmdClose, ButtonFaces::close},
    };
    const std::pair<const char *, ButtonFaces::State> states[] = {
        {"normal", ButtonFaces::State::Normal},
        {"over", ButtonFaces::State::Over},
        {"down", ButtonFaces::State::Down},
    };
    for (const PictureButton &button : buttons) {
        for (const auto &[stateName, state] : states) {
            art.insert(QStringLiteral("art/%1-%2.png").arg(QLatin1String(button.name), QLatin1String(stateName)),
                       button.paint(background, button.place, state));
        }
    }

    art.insert(QStringLiteral("art/spin-up.png"), ButtonFaces::spinArrow(true));
    art.insert(QStringLiteral("art/spin-down.png"), ButtonFaces::spinArrow(false));
    art.insert(QStringLiteral("art/probar-back.png"), ProgressArt::back(Layout::ProBar.size()));
    art.insert(QStringLiteral("art/probar-cover.png"), ProgressArt::cover(Layout::ProBar.size()));
    art.insert(QStringLiteral("cursors/hand.png"), HandCursor::paint());
    for (const int size : VidomarResources::IconSizes)
        art.insert(QStringLiteral("icons/aaa-%1.png").arg(size), AppEmblem::icon(size));
    return art;
}
