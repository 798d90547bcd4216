#pragma once

#include "ErrorCode.h"
#include "common/RuntimeError.h"
#include "controls/button/TavloClick.h"
#include "controls/button/model/ButtonDescriptors.h"
#include "controls/button/model/ButtonFieldText.h"

#include <QFile>
#include <QImage>
#include <QStringList>

#include <functional>

namespace ButtonTest {

inline QStringList settingsFields(TavloClick &button)
{
    return ButtonFieldText::split(button.SaveButtonSettings(QString()));
}

// The line with one field replaced.
inline QString withField(const QString &line, int index, const QString &value)
{
    QStringList fields = ButtonFieldText::split(line);
    fields[index] = value;
    return fields.join(ButtonFieldText::Separator);
}

inline void writeFile(const QString &name, const QByteArray &content)
{
    QFile file(name);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        qFatal("cannot write %s", qPrintable(name));
    file.write(content);
}

inline QByteArray readFile(const QString &name)
{
    QFile file(name);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// A button whose every text-carried property differs from its default.
inline void makeDistinct(TavloClick &button)
{
    button.setAlpha(true);
    button.setAlphaValue(99);
    button.setArrowColor(0x123456);
    button.setArrowDirection(2);
    button.setArrowPosition(3);
    button.setArrowShow(true);
    button.setArrowSize(9);
    button.setArrowSplit(false);
    button.setBorderColor1(0x010203);
    button.setBorderColor2(0x040506);
    button.setBorderSize(3);
    button.setBorderStyle(2);
    button.setButtonColorBlendSize(4);
    button.setButtonColorDown1(0x111111);
    button.setButtonColorDown2(0x222222);
    button.setButtonColorExtra1(0x333333);
    button.setButtonColorExtra2(0x444444);
    button.setButtonColorNormal1(0x555555);
    button.setButtonColorNormal2(0x666666);
    button.setButtonColorOver1(0x777777);
    button.setButtonColorOver2(0x888888);
    button.setButtonColorSplitSize(35);
    button.setButtonIconPos(3);
    button.setButtonIconShadow(false);
    button.setButtonIconShow(true);
    button.setButtonIconSize(55);
    button.setButtonShape(2);
    button.setButtonStyleDown(7);
    button.setButtonStyleNormal(8);
    button.setButtonStyleOver(9);
    button.setButtonTheme(3);
    button.setCaption(QStringLiteral("Convert"));
    button.setCaptionAlignment(5);
    button.setCaptionAutoAlign(false);
    button.setCaptionColor(0x00FF00);
    button.setCaptionShadow(true);
    button.setCaptionShadowColor(0x0000FF);
    button.setDoubleClickEnable(true);
    button.setEffects(3);
    button.setEnableEffects(false);
    button.setFade(false);
    button.setFadeDelay(40);
    button.setMaskColor(0xFF00FF);
    button.setRoundHeight(7);
    button.setRoundSizeAuto(false);
    button.setRoundWidth(8);
    button.setShadow(true);
    button.setShadowColor(0x0A0B0C);
    button.setShadowSize(6.5f);
    button.setShadowStyle(2);
    button.setShowFocusRect(false);
    button.setSound(true);
    button.setSoundClick(3);
    button.setSoundCustom1(QStringLiteral("/sounds/one.wav"));
    button.setSoundCustom2(QStringLiteral("/sounds/two.wav"));
    button.setSoundDown(4);
    button.setSoundIn(5);
    button.setSoundOut(6);
    button.setSoundUp(7);
    button.setTexture(true);
    button.setTextureAlpha(200);
    button.setTextureType(2);
    button.setTint(true);
    button.setTintBright(10);
    button.setTintHue(-20);
    button.setTintSaturation(30);
    button.setUpMotion(true);
    button.setUserDrag(true);
    button.resize(120, 40);
    QFont font(QStringLiteral("Liberation Serif"));
    font.setPointSizeF(13.5);
    font.setBold(true);
    font.setItalic(true);
    button.setFont(font);
}

} // namespace ButtonTest
