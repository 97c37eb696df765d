// The planner reached over the D-Bus session bus: the application and plan objects of the
// interchange's planner interfaces as calls on the service "QRL.Application" (QrlWire.h has the
// object model and its encoding). Calls block without running the caller's event loop, as the
// interchange expects of one synchronous step; each has a time limit, after which it fails with the
// bus's NoReply error as the planner's error.
#pragma once

#include <memory>

#include "interchange/QrlLink.h"

// Time limits of the calls, in milliseconds.
struct TQrlBusTimeouts {
  int Start = 30000;   // activating the service
  int Cell = 30000;    // a cell, a row count, a check, the file version
  int File = 300000;   // making, opening, expanding, saving, exporting and closing a plan
};

// Reaches the planner on the session bus, activating the service when its name has no owner; null
// when there is no session bus or the name cannot be activated (no service file, the service
// failed to start).
std::unique_ptr<IQrlApp> StartQrlOnBus(const TQrlBusTimeouts& timeouts = {});

// The starter the desktop program and the command-line tool hand to the interchange.
TQrlStarter QrlBusStarter();
