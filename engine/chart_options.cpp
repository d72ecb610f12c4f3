#include "engine/chart_options.h"

namespace plotwise {

ChartOptions& chartOptions() {
    thread_local ChartOptions options;  // each thread draws with its own
    return options;
}

}  // namespace plotwise
