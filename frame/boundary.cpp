#include "frame/boundary.h"

namespace plotwise {

std::recursive_mutex& pluginLock() {
    static std::recursive_mutex lock;
    return lock;
}

}  // namespace plotwise
