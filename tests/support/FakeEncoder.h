#pragma once

#include <QDir>
#include <QFile>
#include <QString>
#include <QTemporaryDir>
#include <QtTest>

#include <initializer_list>
#include <utility>

// Sets environment variables for the fake encoder and removes them again.
class Env {
public:
    Env(std::initializer_list<std::pair<const char *, QByteArray>> values)
    {
        for (const auto &[name, value] : values) {
            qputenv(name, value);
            m_names << name;
        }
    }
    ~Env()
    {
        for (const char *name : m_names)
            qunsetenv(name);
    }

private:
    QList<const char *> m_names;
};

// A temporary program folder holding the fake encoder as "avformat.dll" (and, when asked, a
// copy of the program), for tests that run conversions without a real encoder.
class FakeProgramFolder {
public:
    explicit FakeProgramFolder(bool withProgram = false)
    {
        const QString bin = qEnvironmentVariable("VIDOMAR_BIN_DIR");
        m_ok = m_dir.isValid() && QFile::copy(bin + QLatin1String("/fake_encoder"), encoder())
            && (!withProgram || QFile::copy(bin + QLatin1String("/vidomar"), program()));
    }

    bool isValid() const { return m_ok; }
    QString path() const { return m_dir.path(); }
    QString file(const QString &name) const { return m_dir.filePath(name); }
    QString encoder() const { return m_dir.filePath(QStringLiteral("avformat.dll")); }
    QString program() const { return m_dir.filePath(QStringLiteral("vidomar")); }

    // A source file of the given size.
    QString makeSource(const QString &name, qint64 size) const
    {
        QFile file(m_dir.filePath(name));
        if (file.open(QIODevice::WriteOnly))
            file.write(QByteArray(size, 'v'));
        return file.fileName();
    }

private:
    QTemporaryDir m_dir;
    bool m_ok = false;
};
