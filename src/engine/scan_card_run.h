#pragma once

#include <optional>
#include <string>

#include "engine/run_context.h"

namespace tq {

// A scan-card run: the scan count once, then for every point the whole scan
// set-up, one scan, the wait for it, one fetch of all channels, the
// read-outs, the store, the math value and the plot.
class ScanCardRun {
  public:
    explicit ScanCardRun(RunContext& ctx) : ctx_(ctx) {}

    RunOutcome run();

    // Trigger delay, scan timer, the band and every channel's lines, then
    // the scan is started.
    void programPoint();
    // Waits for the scan, stamps the time, fetches, shows and stores the
    // readings and forms the math value.
    RunOutcome acquirePoint();
    // Cuts FetchLine into readings and shows and stores them in the
    // current point's row.
    void parseAndStore();

  private:
    // One past the last channel row the window shows.
    int rowsShown() const;
    void bandScan();
    // The range value sent; none where the row sends nothing.
    std::optional<double> programChannel(int row);
    RunOutcome waitForScan();
    void abandonPoint();
    // How long a scan of the point's settings may take before it is taken
    // as never completing.
    double scanLimitMs();
    // One scan-state query; true when the meter is taken as gone.
    bool pollScanState();
    RunOutcome fetch();
    void takeReading(int k, double reading, int row);

    RunContext& ctx_;
};

}  // namespace tq
