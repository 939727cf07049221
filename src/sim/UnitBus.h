#pragma once
// The controllers on one line: the options' unit and its more units, each a controller of
// its own that started alike. A request goes to the controller of its unit; one for a unit
// nobody has gets kBadUnit, which the frame server leaves unanswered as a bus does.

#include <memory>
#include <string>
#include <vector>

#include "sim/Controller.h"
#include "sim/Options.h"

namespace qavix::sim {

class UnitBus {
  public:
    // nullptr and a message when a controller cannot be made or a unit is given twice.
    static std::unique_ptr<UnitBus> create(const Options& options, std::string& error);

    Response execute(const Command& command);

    size_t size() const { return m_controllers.size(); }
    // In the order of the options: the --unit one first.
    Controller& controller(size_t index) { return *m_controllers.at(index); }

  private:
    std::vector<std::unique_ptr<Controller>> m_controllers;
};

}  // namespace qavix::sim
