// One QApplication for the whole test program.
#include "support/qtwidgetsapp.h"

namespace {

const auto *const kQtEnvironment =
    ::testing::AddGlobalTestEnvironment(new tally::testing_support::QtWidgetsEnvironment);

} // namespace
