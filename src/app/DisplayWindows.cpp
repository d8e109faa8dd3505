#include "app/Display.hpp"

// A Windows desktop always has its screen; there is nothing to check.
DisplayConnection::DisplayConnection() = default;

DisplayConnection::~DisplayConnection() = default;
