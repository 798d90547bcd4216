#include "common/Picture.h"

Picture Picture::empty()
{
    return Picture(std::make_shared<const Data>());
}

Picture Picture::fromImage(const QImage &image)
{
    return Picture(std::make_shared<const Data>(Data{image, QString()}));
}

Picture Picture::fromPath(const QString &path)
{
    const QImage image(path);
    if (image.isNull())
        return Picture();
    return Picture(std::make_shared<const Data>(Data{image, path}));
}

const QImage &Picture::image() const
{
    static const QImage none;
    return m_data ? m_data->image : none;
}

QString Picture::sourcePath() const
{
    return m_data ? m_data->sourcePath : QString();
}
