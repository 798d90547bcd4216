#include "ButtonSheets.h"

#include "ContactSheet.h"
#include "Stage.h"
#include "common/Picture.h"
#include "controls/button/TavloClick.h"
#include "mainwindow/Form1.h"

#include <QCoreApplication>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>

#include <cstdio>
#include <functional>

namespace {

using Setup = std::function<void(TavloClick &)>;

const char *const StateNames[] = {"Normal", "Over", "Down"};

// The button as it shows on the stage after Redraw(state): no fade, and no hover animation unless
// the setup turns it on.
QImage shot(Stage &stage, QSize size, const Setup &setup, int state = 0)
{
    TavloClick button(&stage);
    button.setGeometry(QRect(QPoint(12, 12), size));
    button.show();
    button.setFade(false);
    button.setEnableEffects(false);
    setup(button);
    button.Redraw(state);
    return stage.shoot(button);
}

void save(const ContactSheet &sheet, const QString &folder, const QString &name)
{
    if (!sheet.save(folder, name))
        std::fprintf(stderr, "cannot write %s\n", qPrintable(name));
}

void builtInTheme(TavloClick &button) { button.setButtonTheme(4); }

// Lets a running fade finish.
void settle(const TavloClick &button)
{
    while (button.tmrFade().isActive())
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
}

// A second palette: blue faces, warm extras, a plain dark border.
void bluePalette(TavloClick &button)
{
    button.setButtonColorNormal1(Color::RGB(30, 70, 170));
    button.setButtonColorNormal2(Color::RGB(130, 180, 250));
    button.setButtonColorOver1(Color::RGB(50, 110, 220));
    button.setButtonColorOver2(Color::RGB(170, 210, 255));
    button.setButtonColorDown1(Color::RGB(15, 40, 110));
    button.setButtonColorDown2(Color::RGB(80, 120, 190));
    button.setButtonColorExtra1(Color::RGB(255, 240, 210));
    button.setButtonColorExtra2(Color::RGB(200, 110, 40));
    button.setButtonColorSplitSize(45);
    button.setBorderStyle(1);
    button.setBorderColor1(Color::RGB(10, 20, 60));
    button.setCaptionColor(Color::RGB(255, 255, 255));
    button.setCaptionShadow(true);
}

QImage iconPicture()
{
    QImage icon(48, 48, QImage::Format_ARGB32_Premultiplied);
    icon.fill(Qt::transparent);
    QPainter painter(&icon);
    painter.setRenderHint(QPainter::Antialiasing);
    QRadialGradient ball(18, 18, 26);
    ball.setColorAt(0, QColor(255, 250, 200));
    ball.setColorAt(1, QColor(220, 120, 20));
    painter.setBrush(ball);
    painter.setPen(QPen(QColor(120, 60, 10), 2));
    painter.drawEllipse(4, 4, 40, 40);
    painter.setBrush(QColor(40, 40, 40));
    painter.setPen(Qt::NoPen);
    QPainterPath play;
    play.moveTo(19, 14);
    play.lineTo(35, 24);
    play.lineTo(19, 34);
    play.closeSubpath();
    painter.drawPath(play);
    return icon;
}

QImage texturePicture()
{
    QImage texture(64, 64, QImage::Format_RGB32);
    QPainter painter(&texture);
    for (int y = 0; y < 64; y += 8)
        for (int x = 0; x < 64; x += 8)
            painter.fillRect(x, y, 8, 8, ((x + y) / 8) % 2 ? QColor(240, 220, 160) : QColor(120, 70, 30));
    return texture;
}

void faceSheet(Stage &stage, const QString &folder, const QString &name, const QString &title, const Setup &palette)
{
    ContactSheet sheet(title, 9);
    for (int style = 0; style < 25; ++style)
        for (int state = 0; state < 3; ++state)
            sheet.add(QStringLiteral("%1 %2").arg(style).arg(QLatin1String(StateNames[state])),
                      shot(stage, QSize(120, 40), [&](TavloClick &b) {
                          palette(b);
                          b.setButtonStyleNormal(style);
                          b.setButtonStyleOver(style);
                          b.setButtonStyleDown(style);
                          b.setCaption(QStringLiteral("Style %1").arg(style));
                      }, state));
    save(sheet, folder, name);
}

void shapeSheet(Stage &stage, const QString &folder)
{
    ContactSheet sheet(QStringLiteral("ButtonShape (rows) x BorderStyle (columns), BorderSize 3"), 6);
    for (int shape = 0; shape <= 5; ++shape)
        for (int border = 0; border <= 5; ++border)
            sheet.add(QStringLiteral("shape %1 border %2").arg(shape).arg(border),
                      shot(stage, QSize(120, 40), [&](TavloClick &b) {
                          builtInTheme(b);
                          b.setButtonStyleNormal(12);
                          b.setRoundSizeAuto(true);
                          b.setBorderSize(3);
                          b.setBorderColor1(Color::RGB(20, 20, 20));
                          b.setBorderColor2(Color::RGB(250, 250, 250));
                          b.setBorderStyle(border);
                          b.setButtonShape(shape);
                          b.setCaption(QString());
                      }));
    save(sheet, folder, QStringLiteral("button-shapes-borders"));
}

void effectSheet(Stage &stage, const QString &folder)
{
    ContactSheet shadows(QStringLiteral("Shadow: ShadowStyle x ShadowSize"), 6);
    for (int style = 0; style <= 3; ++style)
        for (float size : {3.0f, 6.0f, 10.0f})
            shadows.add(QStringLiteral("style %1 size %2").arg(style).arg(size),
                        shot(stage, QSize(120, 50), [&](TavloClick &b) {
                            builtInTheme(b);
                            b.setButtonShape(1);
                            b.setShadowColor(Color::RGB(40, 40, 40));
                            b.setShadowStyle(style);
                            b.setShadowSize(size);
                            b.setShadow(true);
                            b.setCaption(QStringLiteral("Shadow"));
                        }));
    save(shadows, folder, QStringLiteral("button-shadows"));

    ContactSheet arrows(QStringLiteral("Arrows: ArrowPosition (rows) x ArrowDirection, split"), 4);
    for (int position = 0; position <= 4; ++position)
        for (int direction = 0; direction <= 3; ++direction)
            arrows.add(QStringLiteral("position %1 direction %2").arg(position).arg(direction),
                       shot(stage, QSize(120, 50), [&](TavloClick &b) {
                           builtInTheme(b);
                           b.setArrowSize(5);
                           b.setArrowPosition(position);
                           b.setArrowDirection(direction);
                           b.setArrowShow(true);
                           b.setCaptionAlignment(position == 1 ? 6 : 3);
                           b.setCaptionAutoAlign(false);
                       }));
    save(arrows, folder, QStringLiteral("button-arrows"));

    ContactSheet textures(QStringLiteral("Texture: TextureType (rows) x TextureAlpha"), 3);
    const Picture texture = Picture::fromImage(texturePicture());
    for (int type = 0; type <= 3; ++type)
        for (float alpha : {60.0f, 160.0f, 255.0f})
            textures.add(QStringLiteral("type %1 alpha %2").arg(type).arg(alpha),
                         shot(stage, QSize(120, 40), [&](TavloClick &b) {
                             builtInTheme(b);
                             b.setTextureImage(texture);
                             b.setTextureType(type);
                             b.setTextureAlpha(alpha);
                             b.setTexture(true);
                             b.setCaption(QStringLiteral("Texture"));
                         }));
    save(textures, folder, QStringLiteral("button-textures"));

    ContactSheet tints(QStringLiteral("Tint (bright, hue, saturation) and Alpha over the stage"), 6);
    const int tintValues[][3] = {{0, 0, 0}, {40, 0, 0}, {-40, 0, 0}, {0, 50, 0}, {0, -50, 0}, {0, 0, -100}, {0, 0, 80}};
    for (const auto &t : tintValues)
        tints.add(QStringLiteral("tint %1 %2 %3").arg(t[0]).arg(t[1]).arg(t[2]),
                  shot(stage, QSize(120, 40), [&](TavloClick &b) {
                      builtInTheme(b);
                      b.setTintBright(t[0]);
                      b.setTintHue(t[1]);
                      b.setTintSaturation(t[2]);
                      b.setTint(true);
                      b.setCaption(QStringLiteral("Tint"));
                  }));
    for (float alpha : {0.0f, 64.0f, 128.0f, 192.0f, 255.0f})
        tints.add(QStringLiteral("alpha %1").arg(alpha), shot(stage, QSize(120, 40), [&](TavloClick &b) {
                      builtInTheme(b);
                      b.setAlphaValue(alpha);
                      b.setAlpha(true);
                      b.setCaption(QStringLiteral("Alpha"));
                  }));
    save(tints, folder, QStringLiteral("button-tint-alpha"));

    ContactSheet hover(QStringLiteral("Hover effects: Normal, the last frame of the animation, Over after the fade"), 3);
    for (int effect = 0; effect <= 5; ++effect) {
        TavloClick button(&stage);
        button.setGeometry(QRect(QPoint(12, 12), QSize(120, 40)));
        button.show();
        TavloClick::setPointerQuery([&button] { return &button; }); // the pointer rests on it
        builtInTheme(button);
        button.setEffects(effect);
        button.setCaption(QStringLiteral("Effect %1").arg(effect));
        hover.add(QStringLiteral("Effects %1 Normal").arg(effect), stage.shoot(button));
        button.Redraw(1);
        hover.add(QStringLiteral("last frame"), stage.shoot(button));
        settle(button);
        hover.add(QStringLiteral("after the fade"), stage.shoot(button));
    }
    TavloClick::setPointerQuery({});
    save(hover, folder, QStringLiteral("button-hover-effects"));
}

void iconCaptionSheet(Stage &stage, const QString &folder)
{
    const Picture icon = Picture::fromImage(iconPicture());
    ContactSheet icons(QStringLiteral("Icons: ButtonIconPos x (glow, no glow, size 50), automatic caption"), 3);
    for (int position = 0; position <= 4; ++position)
        for (int variant = 0; variant < 3; ++variant)
            icons.add(QStringLiteral("position %1%2").arg(position).arg(variant == 1 ? " no glow" : variant == 2 ? " size 50" : ""),
                      // Icons above or below the caption take 9/10 of the width: a tall button.
                      shot(stage, position == 1 || position == 3 ? QSize(80, 130) : QSize(140, 60), [&](TavloClick &b) {
                          builtInTheme(b);
                          b.setButtonIcon(icon);
                          b.setButtonIconPos(position);
                          b.setButtonIconShadow(variant != 1);
                          b.setButtonIconSize(variant == 2 ? 50 : 80);
                          b.setButtonIconShow(true);
                          b.setCaption(QStringLiteral("Convert"));
                      }));
    save(icons, folder, QStringLiteral("button-icons"));

    ContactSheet captions(QStringLiteral("Captions: CaptionAlignment 0-8 (fixed), automatic, wrapped, shadow"), 3);
    for (int alignment = 0; alignment <= 8; ++alignment)
        captions.add(QStringLiteral("alignment %1").arg(alignment), shot(stage, QSize(140, 60), [&](TavloClick &b) {
                         builtInTheme(b);
                         b.setCaptionAutoAlign(false);
                         b.setCaptionAlignment(alignment);
                         b.setCaption(QStringLiteral("Caption"));
                     }));
    captions.add(QStringLiteral("automatic"), shot(stage, QSize(140, 60), [&](TavloClick &b) {
                     builtInTheme(b);
                     b.setCaption(QStringLiteral("Automatic"));
                 }));
    captions.add(QStringLiteral("automatic, wrapped"), shot(stage, QSize(140, 60), [&](TavloClick &b) {
                     builtInTheme(b);
                     b.setCaption(QStringLiteral("A caption long enough to wrap"));
                 }));
    captions.add(QStringLiteral("bold, shadow"), shot(stage, QSize(140, 60), [&](TavloClick &b) {
                     builtInTheme(b);
                     QFont font(QStringLiteral("Liberation Sans"));
                     font.setPointSizeF(11);
                     font.setBold(true);
                     b.setFont(font);
                     b.setCaptionShadow(true);
                     b.setCaptionShadowColor(Color::RGB(0, 0, 0));
                     b.setCaption(QStringLiteral("Shadow"));
                 }));
    save(captions, folder, QStringLiteral("button-captions"));
}

void windowSheet(const QString &folder)
{
    Form1 window;
    window.setAttribute(Qt::WA_DontShowOnScreen);
    window.show();
    ContactSheet sheet(QStringLiteral("The main window: logo button over the window art, Normal and Over"), 2);
    sheet.add(QStringLiteral("window"), window.grab().toImage());
    sheet.add(QStringLiteral("cmdLogo Normal, cmdLogo Over, cmdConvert Over"), [&] {
        TavloClick *logo = window.cmdLogo();
        const QRect logoArea = logo->geometry();
        QImage both(logoArea.width() * 2 + 8 + 130, logoArea.height(), QImage::Format_RGB32);
        both.fill(Qt::white);
        QPainter painter(&both);
        painter.drawImage(0, 0, window.grab(logoArea).toImage());
        TavloClick::setPointerQuery([logo] { return logo; });
        logo->Redraw(1);
        settle(*logo);
        painter.drawImage(logoArea.width() + 4, 0, window.grab(logoArea).toImage());
        TavloClick *convert = window.cmdConvert();
        TavloClick::setPointerQuery([convert] { return convert; });
        convert->Redraw(1);
        settle(*convert);
        painter.drawImage(2 * logoArea.width() + 8, 0, window.grab(convert->geometry()).toImage());
        TavloClick::setPointerQuery({});
        return both;
    }());
    save(sheet, folder, QStringLiteral("window"));
}

} // namespace

void writeButtonSheets(Stage &stage, const QString &folder)
{
    faceSheet(stage, folder, QStringLiteral("button-faces-theme"),
              QStringLiteral("Face styles 0-24 x Normal, Over, Down: built-in theme (ButtonTheme 4)"), builtInTheme);
    faceSheet(stage, folder, QStringLiteral("button-faces-palette"),
              QStringLiteral("Face styles 0-24 x Normal, Over, Down: blue palette, BorderStyle 1"), bluePalette);
    shapeSheet(stage, folder);
    effectSheet(stage, folder);
    iconCaptionSheet(stage, folder);
    windowSheet(folder);
}
