#pragma once
// How the plant view's subscription fares: the broker connection and whether the broker has
// anything of the monitors at all.

#include "broker/BrokerState.h"

namespace qavix::plant {

struct PlantConnection {
    broker::BrokerState state;
    bool noTopics = false;  // subscribed, and no monitor's message came within kNoTopicsWait

    // Rows show the present only while subscribed: otherwise they are what was last known.
    bool live() const { return state.phase == broker::BrokerState::Phase::Subscribed; }
};

}  // namespace qavix::plant
