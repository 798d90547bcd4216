#include <QApplication>

int runProBarModelTests(int argc, char **argv);
int runProBarPaintTests(int argc, char **argv);

// One executable for the progress bar: the property model, then the painting.
int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    int failures = runProBarModelTests(argc, argv);
    failures += runProBarPaintTests(argc, argv);
    return failures;
}
