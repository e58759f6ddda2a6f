#include <QApplication>

#include "app/form1.h"
#include "app/options.h"
#include "app/snapshot.h"

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("tq4700"));
    QApplication::setApplicationVersion(QStringLiteral(TQ_VERSION));

    const tq::Options options = tq::parseOptions(app);
    tq::Form1 form;
    if (options.writesFilesOnly()) {
        return tq::writeRequestedFiles(form, options);
    }
    form.show();
    return QApplication::exec();
}
