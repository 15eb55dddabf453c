#pragma once

#include <QObject>

// What the user did to a numeric field.
namespace Operations {
Q_NAMESPACE

enum Operation { Increment = 0, Decrement = 1, Commit = 2 };
Q_ENUM_NS(Operation)
} // namespace Operations
