#pragma once

namespace tally::service {
class TMainForm;
}

namespace tally::host {

// Plugs every window the program opens for a request (the ten documents and
// the generic list) into
// the service's dispatch table, with the main window's activity log as their
// log.
void registerHostWindows(service::TMainForm &mainForm);

} // namespace tally::host
