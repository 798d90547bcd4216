#include "controls/progressbar/model/ProBarDescriptors.h"

namespace {

using P = ProBarProperties;
using T = PropertyType;
using Id = ProBarProperty;

QVariant longValue(qint32 value) { return QVariant::fromValue<qint32>(value); }

std::array<ProBarDescriptor, ProBarPropertyCount> buildTable()
{
    const QVariant nothing = QVariant::fromValue(Picture());
    return {{
        {Id::BackColor, QLatin1String("BackColor"), T::Colour, longValue(qint32(0x8000000F)), &P::backColor},
        {Id::Enabled, QLatin1String("Enabled"), T::Boolean, true, &P::enabled},
        {Id::Font, QLatin1String("Font"), T::Font, QVariant(), &P::font},
        {Id::ProValue, QLatin1String("ProValue"), T::Variant, QVariant::fromValue<qint16>(50), &P::proValue},
        {Id::BarMode, QLatin1String("BarMode"), T::Long, longValue(0), &P::barMode},
        {Id::BlockSize, QLatin1String("BlockSize"), T::Long, longValue(6), &P::blockSize},
        {Id::BlockGap, QLatin1String("BlockGap"), T::Long, longValue(2), &P::blockGap},
        {Id::BlockMid, QLatin1String("BlockMid"), T::Long, longValue(20), &P::blockMid},
        {Id::BlockDepth, QLatin1String("BlockDepth"), T::Long, longValue(25), &P::blockDepth},
        {Id::BlockFeather, QLatin1String("BlockFeather"), T::Long, longValue(100), &P::blockFeather},
        {Id::ProMax, QLatin1String("ProMax"), T::Long, longValue(100), &P::proMax},
        {Id::BlockColor1, QLatin1String("BlockColor1"), T::Colour, longValue(0x2BD228), &P::blockColor1},
        {Id::BlockColor2, QLatin1String("BlockColor2"), T::Colour, longValue(0), &P::blockColor2},
        {Id::BlockColor3, QLatin1String("BlockColor3"), T::Colour, longValue(0), &P::blockColor3},
        {Id::BlockColor4, QLatin1String("BlockColor4"), T::Colour, longValue(0), &P::blockColor4},
        {Id::BlockStyle, QLatin1String("BlockStyle"), T::Long, longValue(0), &P::blockStyle},
        {Id::BarFlip, QLatin1String("BarFlip"), T::Boolean, false, &P::barFlip},
        {Id::BorderColor1, QLatin1String("BorderColor1"), T::Colour, longValue(0xBEBEBE), &P::borderColor1},
        {Id::BorderColor2, QLatin1String("BorderColor2"), T::Colour, longValue(0xF0F0F0), &P::borderColor2},
        {Id::BorderShow, QLatin1String("BorderShow"), T::Boolean, true, &P::borderShow},
        {Id::BorderRound, QLatin1String("BorderRound"), T::Long, longValue(5), &P::borderRound},
        {Id::BlockRound, QLatin1String("BlockRound"), T::Boolean, false, &P::blockRound},
        {Id::BlockRoundW, QLatin1String("BlockRoundW"), T::Long, longValue(15), &P::blockRoundW},
        {Id::BlockRoundH, QLatin1String("BlockRoundH"), T::Long, longValue(15), &P::blockRoundH},
        {Id::BusySpeed, QLatin1String("BusySpeed"), T::Long, longValue(25), &P::busySpeed},
        {Id::Busy, QLatin1String("Busy"), T::Boolean, false, &P::busy},
        {Id::CoverPic, QLatin1String("CoverPic"), T::Picture, nothing, &P::coverPic},
        {Id::CoverAlpha, QLatin1String("CoverAlpha"), T::Long, longValue(200), &P::coverAlpha},
        {Id::CoverShow, QLatin1String("CoverShow"), T::Boolean, false, &P::coverShow},
        {Id::BackPicture, QLatin1String("BackPicture"), T::Picture, nothing, &P::backPicture},
        {Id::Caption, QLatin1String("Caption"), T::String, QString(), &P::caption},
        {Id::CaptionAlignment, QLatin1String("CaptionAlignment"), T::Long, longValue(2), &P::captionAlignment},
        {Id::CaptionColor, QLatin1String("CaptionColor"), T::Colour, longValue(0), &P::captionColor},
        {Id::CaptionShadow, QLatin1String("CaptionShadow"), T::Boolean, false, &P::captionShadow},
        {Id::CaptionShadowColor, QLatin1String("CaptionShadowColor"), T::Colour, longValue(0), &P::captionShadowColor},
        {Id::ShowValue, QLatin1String("ShowValue"), T::Boolean, true, &P::showValue},
        {Id::CaptionAutoOrient, QLatin1String("CaptionAutoOrient"), T::Boolean, true, &P::captionAutoOrient},
        {Id::BlockPicture, QLatin1String("BlockPicture"), T::Picture, nothing, &P::blockPicture},
    }};
}

} // namespace

const ProBarDescriptorTable &proBarDescriptors()
{
    static const ProBarDescriptorTable table(buildTable());
    return table;
}
