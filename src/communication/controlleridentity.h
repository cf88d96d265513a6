#pragma once

#include <QPair>

// Which controller a password clear is owed to and paid to: its kernel serial number, then its
// type. Null (0, 0) stands for no controller read.
using ControllerIdentity = QPair<quint32, quint32>;
