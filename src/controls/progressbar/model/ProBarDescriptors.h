#pragma once

#include "common/PropertyBag.h"
#include "controls/DescriptorTable.h"
#include "controls/progressbar/model/ProBarProperties.h"

#include <QLatin1String>
#include <QVariant>

// Every property of TavloProBar in interface order. InitProperties, ReadProperties,
// WriteProperties and the setters all walk this one table.
enum class ProBarProperty {
    BackColor, Enabled, Font, ProValue, BarMode, BlockSize, BlockGap, BlockMid, BlockDepth,
    BlockFeather, ProMax, BlockColor1, BlockColor2, BlockColor3, BlockColor4, BlockStyle,
    BarFlip, BorderColor1, BorderColor2, BorderShow, BorderRound, BlockRound, BlockRoundW,
    BlockRoundH, BusySpeed, Busy, CoverPic, CoverAlpha, CoverShow, BackPicture, Caption,
    CaptionAlignment, CaptionColor, CaptionShadow, CaptionShadowColor, ShowValue,
    CaptionAutoOrient, BlockPicture,
};
inline constexpr int ProBarPropertyCount = int(ProBarProperty::BlockPicture) + 1;

struct ProBarDescriptor {
    ProBarProperty id;
    QLatin1String name; // also the property-bag key
    PropertyType type;
    // The default of a new instance and of the bag. Font has none here: its default is the
    // container's ambient font. Pictures default to Nothing in the bag; a new instance gets
    // empty pictures.
    QVariant defaultValue;
    PropertyField<ProBarProperties> field;
};

using ProBarDescriptorTable = DescriptorTable<ProBarProperties, ProBarDescriptor, ProBarPropertyCount>;
const ProBarDescriptorTable &proBarDescriptors();
