#pragma once

#include "common/PropertyBag.h"
#include "controls/progressbar/ProBarProperties.h"

#include <array>
#include <variant>

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
inline constexpr int proBarPropertyCount = int(ProBarProperty::BlockPicture) + 1;

using ProBarField = std::variant<bool ProBarProperties::*, int32_t ProBarProperties::*,
                                 QString ProBarProperties::*, Picture ProBarProperties::*,
                                 QFont ProBarProperties::*, QVariant ProBarProperties::*>;

struct ProBarDescriptor {
    ProBarProperty id;
    QLatin1String name; // also the property-bag key
    PropertyType type;
    // The default of a new instance and of the bag. Font has none here: its default is the
    // container's ambient font. Pictures default to Nothing in the bag; a new instance gets
    // empty pictures.
    QVariant defaultValue;
    ProBarField field;
};

const std::array<ProBarDescriptor, proBarPropertyCount> &proBarDescriptors();

inline const ProBarDescriptor &proBarDescriptor(ProBarProperty id)
{
    return proBarDescriptors()[static_cast<size_t>(id)];
}

// The field as the QVariant carrier of its PropertyType, and back.
QVariant proBarFieldValue(const ProBarProperties &properties, const ProBarDescriptor &descriptor);
void setProBarFieldValue(ProBarProperties &properties, const ProBarDescriptor &descriptor,
                         const QVariant &value);
