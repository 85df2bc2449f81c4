#include "profile/profile_state.h"

std::mutex& ProfileDataLock() {
    static std::mutex lock;
    return lock;
}
