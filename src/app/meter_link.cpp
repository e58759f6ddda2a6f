#include "app/meter_link.h"

#include <QFile>

#include "app/options.h"
#include "common/log.h"

namespace tq {

namespace {

std::filesystem::path localPath(const QString& path) {
    return std::filesystem::path(QFile::encodeName(path).toStdString());
}

}  // namespace

visa::LinkOptions linkOptions(const Options& options, Clock& clock) {
    visa::LinkOptions link;
    link.visaLibrary = QFile::encodeName(options.visaLibrary).toStdString();
    if (options.simulate) {
        sim::Options meter;
        meter.card = !options.simulateNoCard;
        link.simulator = meter;
    }
    link.clock = &clock;
    link.resource = options.resource.toStdString();
    if (!options.traceFile.isEmpty()) {
        link.traceFile = localPath(options.traceFile);
    }
    return link;
}

visa::Link openMeterLink(const Options& options, Clock& clock) {
    visa::Link link = visa::openLink(linkOptions(options, clock));
    // The program never reads the simulated meter's own record of the wire
    // (--trace writes it out); kept, it would grow with every line of a
    // simulated meter left running overnight.
    if (link.meter != nullptr) {
        link.meter->setTranscriptKept(false);
    }
    qCInfo(lcInstrument, "instrument link: %s", link.description.c_str());
    for (const std::string& problem : link.problems) {
        qCWarning(lcInstrument, "%s", problem.c_str());
    }
    return link;
}

}  // namespace tq
