#pragma once

#include <QApplication>
#include <QGuiApplication>

#include <memory>

namespace tally::tool {

// The application object the Qt printer needs, made for this run unless one
// exists (then null). A command line run has no display, so the offscreen
// platform is used unless one is named.
std::unique_ptr<QGuiApplication> makeGuiApplication();

// As makeGuiApplication, for commands that draw with widgets.
std::unique_ptr<QApplication> makeWidgetApplication();

} // namespace tally::tool
