#pragma once
// One look at the plant for scripts and SSH sessions: subscribes as the plant window does,
// takes the retained messages (and, with --wait, what comes meanwhile), prints the table and
// says with its exit status whether every controller is online and well.

#include <string>

namespace qavix::cli {

struct PlantStatusArgs {
    std::string mqtt;  // empty: [Plant] BrokerUrl of Qavix.ini
    std::string caFile;
    std::string username;
    std::string passwordFile;
    std::string topicRoot;
    double waitSeconds = 0;  // 0: the retained messages only
    bool json = false;
};

// 0 all online and well, 1 otherwise (or none found), 3 the broker could not be reached or
// refused, 64 bad options.
int runPlantStatus(const PlantStatusArgs& args);

}  // namespace qavix::cli
