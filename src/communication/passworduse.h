#pragma once

// What the controller's password is sent for; the user is asked about each in its own words.
enum class PasswordUse { Write, Rewrite, MonitoringStart, MonitoringStop };
