#pragma once

#include <QImage>
#include <QString>

#include <memory>

// A picture object held by reference, as the controls' picture properties hold them. A
// default-constructed Picture is Nothing; empty() is an object that exists but holds no image,
// which painters treat differently from Nothing. Copies share the same object.
class Picture {
public:
    Picture() = default;

    static Picture empty();
    static Picture fromImage(const QImage &image);
    // Loads a resource (":/...") or file; the path is kept so the picture is stored by reference.
    // Returns Nothing when the path cannot be read.
    static Picture fromPath(const QString &path);

    bool isNothing() const { return !m_data; }
    bool hasImage() const { return m_data && !m_data->image.isNull(); }
    // The image, or a null image for Nothing and empty pictures.
    const QImage &image() const;
    // The path the picture was loaded from, empty for pictures built from an image.
    QString sourcePath() const;

    // Identity: the same object, or both Nothing.
    bool operator==(const Picture &other) const { return m_data == other.m_data; }

private:
    struct Data {
        QImage image;
        QString sourcePath;
    };
    explicit Picture(std::shared_ptr<const Data> data) : m_data(std::move(data)) {}

    std::shared_ptr<const Data> m_data;
};
