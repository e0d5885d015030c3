#pragma once

#include "printing/printcontext.h"

#include <string>

class QWidget;

namespace tally::printing {

class QtPrinter;
class QtSettingsStore;
class QtUserMessages;

// A print context over the Qt adapters: the printer, its print dialog
// (parented to dialogParent), the settings store, message boxes, event
// processing between pages and the running program's name. Nothing is
// owned; all must outlive the bills that use the context. The preview
// window is added by whoever provides it.
PrintContext MakeQtPrintContext(QtPrinter &printer, QtSettingsStore &settings,
                                QtUserMessages &messages, QWidget *dialogParent);

// The host name for a bill's settings key: the component name of the
// nearest ordinary window (a top-level widget) above the widget that shows
// the bill, or of its direct parent when there is none. UTF-8.
std::string SettingsHostName(const QWidget *billWidget);

} // namespace tally::printing
