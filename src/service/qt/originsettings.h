#pragma once

#include "service/originpolicy.h"

#include <QString>

namespace tally::service {

// Name of the settings value and of the environment variable holding the
// origin allow-list.
inline constexpr char kAllowedOriginsValue[] = "AllowedOrigins";
inline constexpr char kAllowedOriginsVariable[] = "TALLY_ALLOWED_ORIGINS";

// The origin allow-list the service runs with: the environment variable
// TALLY_ALLOWED_ORIGINS when it is set and not empty, else the value
// "AllowedOrigins" of the current user's settings store (on Windows
// HKEY_CURRENT_USER\SOFTWARE\VAZ\Tallyhost, a string or multi-string; elsewhere
// the user's configuration file of organisation "VAZ", application
// "Tallyhost"). Neither set: no restriction. Never fails.
OriginPolicy originPolicyFromSettings();

// The list as one line for the activity log.
QString describeOriginPolicy(const OriginPolicy &policy);

} // namespace tally::service
