#include "engine/chart_options.h"

namespace plotwise {

ChartOptions& chartOptions() {
    static ChartOptions options;
    return options;
}

}  // namespace plotwise
