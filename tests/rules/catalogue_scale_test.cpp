#include <gtest/gtest.h>

#include "catalogue/catalogue.h"
#include "rules/scale.h"

namespace tq {
namespace {

// Every range the catalogue offers translates into the value the catalogue
// says it stands for, under the same function name.
TEST(CatalogueAndScale, AgreeOnEveryRange) {
    for (const catalogue::Function& f : catalogue::functions()) {
        for (auto mode : {RunMode::ScanCard, RunMode::MainUnit}) {
            for (std::string_view range : catalogue::rangeList(f, mode)) {
                const auto expected = catalogue::rangeValue(range);
                if (!expected) {
                    continue;
                }
                ScaleState s;
                TransRange(s, f.name, range);
                EXPECT_EQ(sentRangeValue(s, f.name), *expected) << f.name << " " << range;
                EXPECT_GT(*fullScale(s, f.name), 0) << f.name << " " << range;
            }
        }
    }
}

}  // namespace
}  // namespace tq
