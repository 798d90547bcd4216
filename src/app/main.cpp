#include <QCoreApplication>

#include <cstdio>

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("Zorvik Vidomar"));
    QCoreApplication::setApplicationVersion(QStringLiteral("1.0"));
    std::printf("Zorvik Vidomar 1.0\n");
    return 0;
}
