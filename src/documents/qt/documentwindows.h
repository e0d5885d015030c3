#pragma once

namespace tally::service {
class TMainForm;
}

namespace tally::documents {

// Plugs the launchers of the ten document types into the service's dispatch
// table: each request code opens its TPrintDocument window.
void registerDocumentWindows(service::TMainForm &mainForm);

} // namespace tally::documents
