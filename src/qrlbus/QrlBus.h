// The planner reached over the D-Bus session bus: the application and plan objects of the
// interchange's planner interfaces as calls on the service "QRL.Application" (QrlWire.h has the
// object model and its encoding). Calls block as the interchange expects of one synchronous step:
// without the caller's event loop, or, once a waiting hook is given (IQrlApp::WhileWaiting), in an
// event loop of their own that calls the hook and gives up when it says so. Each call has a time
// limit, and so has the command between two progress marks (IQrlApp::Progressed); a call that
// reaches either fails as stalled. A planner that failed to answer, went away or was started anew
// is done with: every later call of the session fails at once as that first one did.
#pragma once

#include <memory>

#include "interchange/QrlLink.h"

// Time limits, in milliseconds.
struct TQrlBusTimeouts {
  int Start = 30000;   // activating the service
  int Cell = 30000;    // a cell, a row count, a check, the file version
  // The longest a command goes without progress: no call waits beyond it. Making, opening,
  // expanding, saving and exporting a plan are steps of their own and may take all of it.
  int Stall = 120000;
};

// Reaches the planner on the session bus, activating the service when its name has no owner; null
// when there is no session bus or the name cannot be activated (no service file, the service
// failed to start).
std::unique_ptr<IQrlApp> StartQrlOnBus(const TQrlBusTimeouts& timeouts = {});

// The starter the desktop program and the command-line tool hand to the interchange.
TQrlStarter QrlBusStarter();
